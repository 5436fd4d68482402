#include "UnusualNames.h"

#include "QtModules.h"

void UnusualNames::addRows(int longLength)
{
    QTest::addColumn<QString>("name");
    QTest::newRow("NFC accent") << QString::fromUtf8("Caf\u00e9 NFC");
    QTest::newRow("NFD accent") << QString::fromUtf8("Cafe\u0301 NFD");
    QTest::newRow("emoji") << QString::fromUtf8("\U0001F4DA Books");
    QTest::newRow("leading dash") << "-rf --help";
    QTest::newRow("quotes and backslash") << "quote \" and ' here \\ too";
    QTest::newRow("percent, underscore, hash") << "100% _under_ #hash ?";
    QTest::newRow(qPrintable(QString("%1 characters").arg(longLength))) << QString(longLength, 'n');
}
