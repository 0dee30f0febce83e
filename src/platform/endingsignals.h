#pragma once
#include <QObject>
#include <csignal>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session's logout or the system's shutdown, Ctrl+C in a terminal)
// become a request to end, delivered through the event loop of the thread that made this object:
// the handler only writes the signal's number to a pipe. From its making to its end the three
// signals no longer stop the process by themselves. A library that installs its own handler later
// keeps calling this one (Firebird's client library does so, see keepEngineOnSignals).
class EndingSignals : public QObject {
    Q_OBJECT
public:
    explicit EndingSignals(QObject* parent = nullptr);
    // The handlers found before come back, where this object's are still the ones installed.
    ~EndingSignals() override;

    static constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

signals:
    void endRequested(int signal);

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_before[3] = {};
};
