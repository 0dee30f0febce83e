#pragma once
#include <QObject>
#include <QPointer>
#include <atomic>
#include <exception>
#include <functional>
#include <thread>

class Database;
class QTimer;

// One piece of server work (prepare, execute, first rows...) run on a thread of its own, so that
// the windows keep drawing and answering while the server works.
//
// The rule for the one attachment that every window shares: a job holds the connection from
// start() until its end has been delivered back on the thread that started it. Meanwhile any other
// thread's use of the connection is refused with the busy message (Database::checkFree), so only
// one statement runs per connection at a time; the only call made alongside the job is
// fb_cancel_operation. The work itself must leave alone everything that the windows read.
class ConnectionJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void()>;
    // On the starting thread, after the job has let go of the connection. Null: the work succeeded.
    using Done = std::function<void(std::exception_ptr error)>;

    explicit ConnectionJob(Database* db, QObject* parent = nullptr);
    // A job still running is cancelled and waited for; its end is not delivered.
    ~ConnectionJob() override;

    Database* database() const { return m_db; }

    // A short job of courtesy (names for completion) is waited for by whoever needs the connection
    // on the job's own thread, instead of refusing them.
    void setYields(bool on) { m_yields = on; }
    bool yields() const { return m_yields; }

    // Raises the busy message when the connection is already held, "Cannot perform operation --
    // DB is not open" when it is not connected.
    void start(Work work, Done done);
    bool running() const { return m_thread.joinable(); }

    // Stops the running work on the server (fb_cancel_operation, asked again until the work has
    // ended, since a request made between two calls finds nothing to cancel). The work then fails
    // with the server's "operation was cancelled" error.
    void cancel();
    bool cancelRequested() const { return m_cancel.load(); }
    // For the work, between its calls: raises the cancelled error when cancel() was asked.
    void throwIfCancelled() const;

    // Waits for the work and delivers its end now (the connection is about to go away).
    void finishNow();

    // Whether an error is the server's answer to a cancel.
    static bool isCancellation(std::exception_ptr error);

private:
    void deliver();

    QPointer<Database> m_db;
    std::thread m_thread;
    std::exception_ptr m_error;
    Done m_done;
    std::atomic<bool> m_cancel{false};
    bool m_yields = false;
    QTimer* m_cancelAgain = nullptr;
};
