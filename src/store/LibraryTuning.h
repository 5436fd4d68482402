#pragma once

#include <QtGlobal>

// Thresholds and delays of the library's background work. The defaults suit a user's library;
// tests hand in smaller ones to reach the large-library paths with a few books.
struct LibraryTuning
{
    // How long opening waits for a lock another program holds.
    int busyTimeoutMs = 3000;
    // Libraries with more books have their title index made in the background, a part at a
    // time (about 20 ms of work each: the window stays responsive).
    qint64 titleIndexInBackgroundAbove = 20000;
    int titleIndexPart = 2000;
    // How long after opening the Everything index starts being made, and items per part of it.
    int everythingBuildDelayMs = 3000;
    int everythingPart = 250;
    // From how many books a whole library is put together in two threads.
    qsizetype assembleInTwoFrom = 2000;
};
