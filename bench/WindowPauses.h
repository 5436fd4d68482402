#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// How long this thread's event loop stood still: a timer ticks every `intervalMs`, and the
// longest gap between two ticks, or since the last one, is the longest pause the window saw.
class WindowPauses
{
public:
    explicit WindowPauses(int intervalMs = 5)
    {
        clock.start();
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed();
            longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
        });
        ticker.start(intervalMs);
    }
    // Counts from now on.
    void restart()
    {
        clock.restart();
        lastTick = 0;
        longestGap = 0;
    }
    qint64 longest() const { return std::max(longestGap, clock.elapsed() - lastTick); }

private:
    QElapsedTimer clock;
    QTimer ticker;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
};
