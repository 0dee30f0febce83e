#include "platform/endingsignals.h"
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The writing end of the pipe of the object alive, -1 when there is none: a handler still called
// afterwards (by a library that chained it) then writes nowhere.
std::atomic<int> g_writeEnd{-1};

void onEndingSignal(int signal) {
    const int saved = errno;
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        const char number = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = saved;
}
} // namespace

EndingSignals::EndingSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_pipe) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return; // the signals keep what they had
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { readPipe(); });
    g_writeEnd.store(m_pipe[1]);
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Handled); ++i)
        sigaction(Handled[i], &action, &m_before[i]);
}

EndingSignals::~EndingSignals() {
    if (m_pipe[0] < 0) return;
    for (size_t i = 0; i < std::size(Handled); ++i) {
        struct sigaction now = {};
        sigaction(Handled[i], nullptr, &now);
        if (now.sa_handler == onEndingSignal) sigaction(Handled[i], &m_before[i], nullptr);
    }
    g_writeEnd.store(-1);
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void EndingSignals::readPipe() {
    char numbers[16];
    for (;;) {
        const ssize_t n = ::read(m_pipe[0], numbers, sizeof numbers);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i)
            emit endRequested(numbers[i]);
    }
}
