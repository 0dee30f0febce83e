#include "admin/servicejob.h"
#include "platform/apperror.h"

ServiceJob::ServiceJob(QObject* parent) : QObject(parent) {}

ServiceJob::~ServiceJob() {
    if (!running()) return;
    m_abandon = true;
    m_cancel = true;
    m_thread.join();
}

void ServiceJob::start(Work work, Done done) {
    if (running()) throw AppError(QStringLiteral("Uma tarefa já está em execução nesta janela"));
    m_cancel = false;
    m_abandon = false;
    m_bytes = 0;
    m_error = nullptr;
    m_done = std::move(done);
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        m_linesPosted = false;
    }
    m_thread = std::thread([this, work = std::move(work)] {
        try {
            work(*this);
        } catch (...) {
            m_error = std::current_exception();
        }
        if (!m_abandon) QMetaObject::invokeMethod(this, [this] { deliverEnd(); }, Qt::QueuedConnection);
    });
}

void ServiceJob::postLine(const QString& line) {
    std::lock_guard lock(m_mutex);
    m_pending.append(line);
    if (m_linesPosted || m_abandon) return;
    m_linesPosted = true;
    QMetaObject::invokeMethod(this, [this] { deliverLines(); }, Qt::QueuedConnection);
}

void ServiceJob::postNote(const QString& note) {
    if (m_abandon) return;
    QMetaObject::invokeMethod(this, [this, note] { emit noteArrived(note); }, Qt::QueuedConnection);
}

void ServiceJob::deliverLines() {
    QStringList lines;
    {
        std::lock_guard lock(m_mutex);
        lines.swap(m_pending);
        m_linesPosted = false;
    }
    if (!lines.isEmpty()) emit linesArrived(lines);
}

void ServiceJob::finishNow() {
    if (running()) deliverEnd();
}

void ServiceJob::deliverEnd() {
    if (!running()) return; // already delivered by finishNow()
    m_thread.join();
    deliverLines(); // the last lines come before the end
    const Done done = std::move(m_done);
    m_done = nullptr;
    const std::exception_ptr error = m_error;
    m_error = nullptr;
    if (done) done(error);
}
