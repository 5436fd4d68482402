#pragma once

#include <QString>

// File names that programs get wrong: accents in both Unicode normal forms, emoji, a leading
// dash, quotes and a backslash, wildcard and URL characters, and a very long one.
class UnusualNames
{
public:
    // One QTest row per name in the column "name" (a stem without extension); the long stem
    // has `longLength` characters, so the caller chooses how close to 255 bytes it comes.
    static void addRows(int longLength);
};
