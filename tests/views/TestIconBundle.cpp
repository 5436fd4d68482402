#include "TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

// Every icon the program names by resource path is there and is a real picture.
class TestIconBundle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyMappedAlias_loadsAtItsSize_data();
    void everyMappedAlias_loadsAtItsSize();
};

void TestIconBundle::everyMappedAlias_loadsAtItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    QFile map(LIRENTA_ICON_MAP);
    QVERIFY(map.open(QIODevice::ReadOnly | QIODevice::Text));
    const QRegularExpression line("^(\\S+)\\s+(\\d+)\\s+(\\S+)\\s*$");
    int rows = 0;
    while (!map.atEnd()) {
        const QString text = QString::fromUtf8(map.readLine()).trimmed();
        const QRegularExpressionMatch match = line.match(text);
        if (text.startsWith('#') || !match.hasMatch()) {
            continue;
        }
        QTest::newRow(qPrintable(match.captured(1))) << ":/" + match.captured(1) << match.captured(2).toInt();
        ++rows;
    }
    QVERIFY(rows > 50);
}

void TestIconBundle::everyMappedAlias_loadsAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(qMax(image.width(), image.height()), size);
    bool inked = false;
    for (int y = 0; y < image.height() && !inked; ++y) {
        for (int x = 0; x < image.width() && !inked; ++x) {
            inked = qAlpha(image.pixel(x, y)) > 0;
        }
    }
    QVERIFY2(inked, "the icon must not be blank");
}

LIRENTA_TEST_MAIN(TestIconBundle)
#include "TestIconBundle.moc"
