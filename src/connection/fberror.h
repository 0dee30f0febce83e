#pragma once
#include "platform/apperror.h"
#include <ibase.h>

// An error reported by the server or the client library: the message built from the status
// vector (fb_interpret lines joined by CR LF, a final "." removed), the SQL code and the engine code.
class DbError : public AppError {
public:
    DbError(QString message, int sqlCode, long engineCode, bool connectionLost = false)
        : AppError(std::move(message)), m_sqlCode(sqlCode), m_engineCode(engineCode),
          m_connectionLost(connectionLost) {}
    int sqlCode() const { return m_sqlCode; }
    long engineCode() const { return m_engineCode; }
    // The server can no longer be reached through this attachment (network failure, server gone
    // or shut down): nothing sent on it can succeed any more.
    bool connectionLost() const { return m_connectionLost; }

private:
    int m_sqlCode;
    long m_engineCode;
    bool m_connectionLost;
};

bool statusFailed(const ISC_STATUS* status);
QString statusMessage(const ISC_STATUS* status);
bool statusConnectionLost(const ISC_STATUS* status);
[[noreturn]] void raiseStatus(const ISC_STATUS* status);
// Raises DbError when the status vector holds an error.
inline void checkStatus(const ISC_STATUS* status) {
    if (statusFailed(status)) raiseStatus(status);
}
