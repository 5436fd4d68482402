#include "UnusualNames.h"

QStringList UnusualNames::stems(int longLength)
{
    return {QString::fromUtf8("Caf\u00e9 NFC"),
            QString::fromUtf8("Cafe\u0301 NFD"),
            QString::fromUtf8("\U0001F4DA Books"),
            QStringLiteral("-rf --help"),
            QStringLiteral("quote \" and ' here \\ too"),
            QStringLiteral("100% _under_ #hash ?"),
            QString(longLength, 'n')};
}
