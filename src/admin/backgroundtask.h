#pragma once
#include <QObject>
#include <exception>
#include <functional>
#include <thread>

// One piece of work on a thread of its own, its end delivered back on the thread that started it
// (through the event loop), so that a window keeps drawing while the server works. One piece at a
// time. The work must leave alone everything the windows read; whoever owns the connection it uses
// stops the server's part (fb_cancel_operation) before the task is destroyed.
class BackgroundTask : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void()>;
    // Null: the work succeeded.
    using Done = std::function<void(std::exception_ptr error)>;

    explicit BackgroundTask(QObject* parent = nullptr);
    ~BackgroundTask() override; // waits for running work; its end is not delivered

    // Raises AppError when a piece of work is still running.
    void start(Work work, Done done);
    bool running() const { return m_thread.joinable(); }
    // Waits for the work and delivers its end now.
    void finishNow();

private:
    void deliver();

    std::thread m_thread;
    std::exception_ptr m_error;
    Done m_done;
};
