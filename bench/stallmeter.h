#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

// The longest gap between two ticks of a timer on the interface thread's event loop while work
// runs there: how long the windows would have stood still. Started just before the work.
class StallMeter {
public:
    explicit StallMeter(int tickMs) {
        m_ticks.setInterval(tickMs);
        QObject::connect(&m_ticks, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
    }
    void start() {
        m_sinceTick.start();
        m_ticks.start();
    }
    // So far, the gap still open included.
    qint64 longestMs() const { return std::max(m_longest, m_sinceTick.elapsed()); }

private:
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// "# name runs (wall s): 1.234 1.200; best 1.200"
inline void printRuns(const char* name, const std::vector<double>& runs) {
    std::printf("# %s runs (wall s):", name);
    for (double r : runs)
        std::printf(" %.3f", r);
    std::printf("; best %.3f\n", *std::min_element(runs.begin(), runs.end()));
}
