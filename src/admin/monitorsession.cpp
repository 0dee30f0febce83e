#include "admin/monitorsession.h"
#include "admin/backgroundtask.h"
#include "connection/fberror.h"
#include "connection/transaction.h"
#include <QElapsedTimer>

MonitorSession::MonitorSession(const AdminLogin& login, QObject* parent)
    : QObject(parent), m_conn(login), m_task(new BackgroundTask(this)) {}

MonitorSession::~MonitorSession() {
    m_queue.clear();
    if (m_task->running()) {
        m_conn.cancel();
        delete m_task; // waits; the end is not delivered
        m_task = nullptr;
    }
}

bool MonitorSession::busy() const {
    return (m_task && m_task->running()) || !m_queue.empty();
}

void MonitorSession::submit(Request r) {
    m_queue.push_back(std::move(r));
    startNext();
}

void MonitorSession::startNext() {
    if (m_task->running() || m_queue.empty()) return;
    Request r = std::move(m_queue.front());
    m_queue.pop_front();
    m_runningRefresh = r.refresh;
    AdminConnection* conn = &m_conn;
    m_task->start(
        [conn, work = std::move(r.work)] {
            try {
                work();
            } catch (const DbError& e) {
                // A lost attachment is let go, so that the next request attaches again.
                if (e.connectionLost()) conn->close();
                throw;
            }
        },
        [this, onSuccess = std::move(r.onSuccess)](std::exception_ptr error) {
            const bool wasRefresh = m_runningRefresh;
            m_runningRefresh = false;
            if (error) {
                try {
                    std::rethrow_exception(error);
                } catch (const std::exception& e) {
                    emit failed(errorMessage(e), wasRefresh);
                } catch (...) {
                    emit failed(QStringLiteral("Unknown error"), wasRefresh);
                }
            } else if (onSuccess) {
                onSuccess();
            }
            startNext();
            if (!busy()) emit busyChanged(false);
        });
    emit busyChanged(true);
}

void MonitorSession::refresh() {
    if (!m_queue.empty() && m_queue.back().refresh) return; // the one waiting last reads what this one would
    Request r;
    r.refresh = true;
    r.work = [this] {
        QElapsedTimer clock;
        clock.start();
        m_conn.readOnly([this](Transaction& tr) {
            m_reading = readMonitorSnapshot(&m_conn.db(), &tr, m_conn.login().programAttachment);
        });
        m_lastReadMs = clock.elapsed();
    };
    r.onSuccess = [this] {
        m_snapshot = std::move(m_reading);
        m_reading = MonitorSnapshot();
        m_hasSnapshot = true;
        emit refreshed();
    };
    submit(std::move(r));
}

void MonitorSession::endAttachment(qint64 attachmentId) {
    if (const MonAttachment* a = m_snapshot.attachment(attachmentId)) checkCanEnd(*a);
    submit({false, [this, attachmentId] { ::endAttachment(m_conn, attachmentId); }, nullptr});
    refresh();
}

void MonitorSession::cancelStatement(qint64 statementId) {
    submit({false, [this, statementId] { ::cancelStatement(m_conn, statementId); }, nullptr});
    refresh();
}

void MonitorSession::readPlan(qint64 statementId) {
    submit({false, [this, statementId] { m_plan = readStatementPlan(m_conn, statementId); },
            [this, statementId] { emit planRead(statementId, std::exchange(m_plan, QString())); }});
}
