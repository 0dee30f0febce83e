#pragma once
#include "admin/adminconnection.h"
#include "admin/monitorsnapshot.h"
#include <QObject>
#include <deque>
#include <functional>

class BackgroundTask;

// The monitor's side of the server: an attachment of its own (so a refresh never waits behind a
// statement of the SQL command window, and a statement of the shared connection can be cancelled
// while it runs) whose work all goes on off the interface thread, one request at a time. Each
// refresh reads the monitoring tables in a new short read-only transaction.
class MonitorSession : public QObject {
    Q_OBJECT
public:
    explicit MonitorSession(const AdminLogin& login, QObject* parent = nullptr);
    ~MonitorSession() override; // stops the server's part, waits for it and detaches

    bool busy() const;
    // Requests asked while another is with the server wait for it, in order.
    // A new snapshot: refreshed() or failed() afterwards (one refresh waiting is enough).
    void refresh();
    // After a question: end an attachment, cancel a statement (refused at once for the program's
    // own attachments). A refresh follows by itself, also when the server refused.
    void endAttachment(qint64 attachmentId);
    void cancelStatement(qint64 statementId);
    // The plan of a running statement: planRead() or failed().
    void readPlan(qint64 statementId);

    const MonitorSnapshot& snapshot() const { return m_snapshot; }
    bool hasSnapshot() const { return m_hasSnapshot; }
    // The server's part of the last refresh (attach included the first time).
    qint64 lastReadMs() const { return m_lastReadMs; }
    AdminConnection& connection() { return m_conn; }

signals:
    void refreshed();
    // duringRefresh: the failed request was a refresh (an automatic one may then stop).
    void failed(const QString& message, bool duringRefresh);
    void planRead(qint64 statementId, const QString& plan);
    void busyChanged(bool busy);

private:
    struct Request {
        bool refresh = false;
        std::function<void()> work;      // on the worker thread
        std::function<void()> onSuccess; // back on this thread
    };
    void submit(Request r);
    void startNext();

    AdminConnection m_conn;
    BackgroundTask* m_task;
    MonitorSnapshot m_snapshot;
    MonitorSnapshot m_reading; // written by the worker, handed over when its end is delivered
    QString m_plan;
    bool m_hasSnapshot = false;
    std::deque<Request> m_queue;
    bool m_runningRefresh = false;
    qint64 m_lastReadMs = 0;
};
