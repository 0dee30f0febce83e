#include "connection/connectionjob.h"
#include "connection/database.h"
#include "connection/fberror.h"
#include <QTimer>

namespace {
constexpr int kCancelAgainMs = 100;
} // namespace

ConnectionJob::ConnectionJob(Database* db, QObject* parent) : QObject(parent), m_db(db) {}

ConnectionJob::~ConnectionJob() {
    if (!running()) return;
    cancel();
    m_thread.join();
    m_done = nullptr; // nobody is left to be told
    if (m_db) m_db->release(this);
}

void ConnectionJob::start(Work work, Done done) {
    if (!m_db) throw AppError(QStringLiteral("Database not assigned"));
    m_db->checkFree();
    m_db->checkConnected();
    m_db->hold(this);
    m_error = nullptr;
    m_cancel = false;
    m_done = std::move(done);
    Database* db = m_db;
    try {
        m_thread = std::thread([this, db, work = std::move(work)] {
            Database::setWorkingThread(db);
            try {
                work();
            } catch (...) {
                m_error = std::current_exception();
            }
            Database::setWorkingThread(nullptr);
            QMetaObject::invokeMethod(
                this, [this] { deliver(); }, Qt::QueuedConnection);
        });
    } catch (...) {
        m_done = nullptr;
        db->release(this);
        throw;
    }
}

void ConnectionJob::cancel() {
    if (!running() || !m_db) return;
    m_cancel = true;
    m_db->cancelOperation();
    if (!m_cancelAgain) {
        m_cancelAgain = new QTimer(this);
        m_cancelAgain->setInterval(kCancelAgainMs);
        connect(m_cancelAgain, &QTimer::timeout, this, [this] {
            if (running() && m_db) m_db->cancelOperation();
        });
    }
    m_cancelAgain->start();
}

void ConnectionJob::throwIfCancelled() const {
    if (m_cancel.load()) throw DbError(QStringLiteral("operation was cancelled"), -901, isc_cancelled);
}

void ConnectionJob::finishNow() {
    if (running()) deliver();
}

void ConnectionJob::deliver() {
    if (!running()) return; // already delivered by finishNow()
    m_thread.join();
    if (m_cancelAgain) m_cancelAgain->stop();
    if (m_db) m_db->release(this);
    const Done done = std::move(m_done);
    m_done = nullptr;
    const std::exception_ptr error = m_error;
    m_error = nullptr;
    if (done) done(error);
}

bool ConnectionJob::isCancellation(std::exception_ptr error) {
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        return e.engineCode() == isc_cancelled;
    } catch (...) {
        return false;
    }
}
