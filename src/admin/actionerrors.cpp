#include "admin/actionerrors.h"
#include "admin/serviceconnection.h"
#include "connection/fberror.h"

namespace {
bool serverAnswers(const ServiceLogin& login) {
    try {
        ServiceConnection again(login);
        return true;
    } catch (...) {
        return false;
    }
}
} // namespace

void raiseWithLead(std::exception_ptr error, const QString& lead, const QString& lostLead,
                   const ServiceLogin* recheck) {
    const QString sep = QStringLiteral("\r\n");
    try {
        std::rethrow_exception(error);
    } catch (const ActionCancelled&) {
        throw;
    } catch (const DbError& e) {
        const bool lost = e.connectionLost() && !(recheck && serverAnswers(*recheck));
        throw DbError((lost ? lostLead : lead) + sep + e.message(), e.sqlCode(), e.engineCode(), lost);
    } catch (const AppError& e) {
        throw AppError(lead + sep + e.message());
    } catch (const std::exception& e) {
        throw AppError(lead + sep + errorMessage(e));
    }
}

bool isCancellation(std::exception_ptr error) {
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const ActionCancelled&) {
        return true;
    } catch (...) {
        return false;
    }
}
