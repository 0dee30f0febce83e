#include "admin/backgroundtask.h"
#include "platform/apperror.h"

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {}

BackgroundTask::~BackgroundTask() {
    if (m_thread.joinable()) m_thread.join();
}

void BackgroundTask::start(Work work, Done done) {
    if (running()) throw AppError(QStringLiteral("Aguarde: o servidor ainda está respondendo ao pedido anterior."));
    m_error = nullptr;
    m_done = std::move(done);
    m_thread = std::thread([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            m_error = std::current_exception();
        }
        QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
    });
}

void BackgroundTask::finishNow() {
    deliver();
}

void BackgroundTask::deliver() {
    if (!m_thread.joinable()) return; // already delivered by finishNow()
    m_thread.join();
    const Done done = std::move(m_done);
    m_done = nullptr;
    const std::exception_ptr error = std::exchange(m_error, nullptr);
    if (done) done(error);
}
