#pragma once
#include "admin/serviceconnection.h"
#include <QByteArray>
#include <QString>
#include <functional>

class ServiceJob;
class ServiceParams;

// Ends an action that the server runs, from outside it; false when it could not.
using ActionStopper = std::function<bool()>;

// What a cancel that the server cannot honour tells the user.
QString cannotStopNote();

// Runs one action of the service manager to its end, on the job's thread: attaches with `login`,
// starts `request` and reads all of its output, handing each complete line to `onLine` (or, for a
// backup streamed to the client, every byte to `onBytes`). When the job is cancelled, `stop` is
// asked to end the action on the server, again at every read until it succeeds (when it keeps
// failing, or there is none, the job notes that the action goes on); the output is still read
// until the server says the action has ended. When
// the job is abandoned it returns at once. Raises the server's error (DbError) when the action
// fails.
void runServiceAction(ServiceJob& job, const ServiceLogin& login, const ServiceParams& request,
                      const std::function<void(const QString&)>& onLine,
                      const std::function<void(const QByteArray&)>& onBytes = {},
                      const ActionStopper& stop = {});

// Splits the service's text output into lines: UTF-8, line breaks and trailing blanks removed.
class LineSplitter {
public:
    template <class F> void feed(const QByteArray& bytes, F&& onLine) {
        m_rest += bytes;
        qsizetype from = 0;
        for (qsizetype nl = m_rest.indexOf('\n'); nl >= 0; nl = m_rest.indexOf('\n', from)) {
            onLine(decode(m_rest.mid(from, nl - from)));
            from = nl + 1;
        }
        m_rest.remove(0, from);
    }
    template <class F> void finish(F&& onLine) {
        if (!m_rest.isEmpty()) onLine(decode(m_rest));
        m_rest.clear();
    }

private:
    static QString decode(const QByteArray& line);
    QByteArray m_rest;
};
