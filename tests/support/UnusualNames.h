#pragma once

#include <QStringList>

// File names that programs get wrong: accents in both Unicode normal forms, emoji, a leading
// dash, quotes and a backslash, wildcard and URL characters, and a very long one.
class UnusualNames
{
public:
    // Stems without an extension; the long one has `longLength` characters, so the caller
    // chooses how close to 255 bytes it comes.
    static QStringList stems(int longLength);
};
