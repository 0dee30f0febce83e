#pragma once
#include <QObject>
#include <QStringList>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// One piece of administration work (a backup, a restore, statistics...) run on a thread of its
// own. A service attachment is apart from the database connection, so the browse and SQL windows
// stay usable meanwhile and the window that started the work keeps drawing. What the work
// reports (output lines, notes) and its end come back on the thread that started it; lines are
// gathered and handed over together, so a chatty action never floods that thread.
class ServiceJob : public QObject {
    Q_OBJECT
public:
    // Runs on the job's thread; raises to report a failure.
    using Work = std::function<void(ServiceJob& job)>;
    // On the starting thread once the work has ended. Null: it succeeded.
    using Done = std::function<void(std::exception_ptr error)>;

    explicit ServiceJob(QObject* parent = nullptr);
    // A job still running is told to let go (the server may go on with the action alone) and
    // waited for; its end is not delivered.
    ~ServiceJob() override;

    void start(Work work, Done done);
    bool running() const { return m_thread.joinable(); }

    // Asks the work to stop the action; it looks between two reads of the output.
    void cancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel.load(); }
    // The job's owner is going away: the work returns at once.
    bool abandoned() const { return m_abandon.load(); }

    // From the work's thread.
    void postLine(const QString& line);
    void postNote(const QString& note);
    // Bytes moved so far (a backup streamed to this machine); read by the window when it likes.
    void addBytes(qint64 n) { m_bytes += n; }
    qint64 bytes() const { return m_bytes.load(); }

    // Waits for the work and delivers its end now (tests, and a window that must close).
    void finishNow();

signals:
    void linesArrived(const QStringList& lines);
    void noteArrived(const QString& note);

private:
    void deliverLines();
    void deliverEnd();

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_abandon{false};
    std::atomic<qint64> m_bytes{0};
    std::exception_ptr m_error;
    Done m_done;
    std::mutex m_mutex;
    QStringList m_pending;
    bool m_linesPosted = false;
};
