#pragma once

#include <QtGlobal>

#include <future>

// Runs work(from, to) over the items 0 to count: from splitFrom items on, the second half in a
// second thread while the first runs here (below it a thread costs more than it saves). The
// work must touch nothing one half shares with the other.
template <typename Work> void inTwoHalves(qsizetype count, qsizetype splitFrom, const Work& work)
{
    const qsizetype half = count >= splitFrom ? count / 2 : count;
    std::future<void> secondHalf;
    if (half < count) {
        secondHalf = std::async(std::launch::async, [&work, half, count] { work(half, count); });
    }
    work(0, half);
    if (secondHalf.valid()) {
        secondHalf.get();
    }
}
