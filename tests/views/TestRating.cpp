#include "OpenedUrls.h"
#include "Rating.h"
#include "TableButton.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {
QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

const QImage& fullStar()
{
    static const QImage image = iconImage(QIcon(":/icons/icons/16x16/001_15.png"));
    return image;
}

const QImage& emptyStar()
{
    static const QImage image = iconImage(QIcon(":/icons/icons/16x16/001_17.png"));
    return image;
}
} // namespace

// The rating stars and the import row buttons.
class TestRating : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void starIcons_fullLooksFullerThanEmpty();
    void setRating_showsFullStarsAndReports_data();
    void setRating_showsFullStarsAndReports();
    void clickingStarFiveAfterTwo_reportsFive();
    void clearButton_reportsZero();
    void tableButton_defaults();
    void tableButton_toggledTwice_isCheckedAgain();
    void tableButton_downloadReportsItsRow();
    void tableButton_openPassesTheFileUrl();

private:
    static int fullStarsOf(Rating& rating);
};

int TestRating::fullStarsOf(Rating& rating)
{
    int full = 0;
    for (int i = 1; i <= 5; ++i) {
        auto* star = rating.findChild<QToolButton*>(QString("btnRating%1").arg(i));
        const QImage shown = iconImage(star->icon());
        if (shown == fullStar()) {
            ++full;
        } else if (shown != emptyStar()) {
            return -1;
        }
    }
    return full;
}

void TestRating::starIcons_fullLooksFullerThanEmpty()
{
    QVERIFY(!fullStar().isNull());
    QVERIFY(!emptyStar().isNull());
    const auto inked = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            }
        }
        return count;
    };
    QVERIFY2(inked(fullStar()) > inked(emptyStar()) * 3 / 2, "a full star must be visibly filled");
}

void TestRating::setRating_showsFullStarsAndReports_data()
{
    QTest::addColumn<int>("rating");
    QTest::addColumn<int>("fullStars");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("5") << 5 << 5;
    QTest::newRow("7 is out of range") << 7 << 0;
    QTest::newRow("-1") << -1 << 0;
}

void TestRating::setRating_showsFullStarsAndReports()
{
    QFETCH(int, rating);
    QFETCH(int, fullStars);
    Rating widget(nullptr, 42);
    QSignalSpy reported(&widget, &Rating::ratingSet);
    widget.setRating(rating);
    QCOMPARE(fullStarsOf(widget), fullStars);
    QCOMPARE(widget.getRating(), rating);
    QCOMPARE(reported.size(), 1);
    QCOMPARE(reported.first(), QVariantList({42, rating}));
}

void TestRating::clickingStarFiveAfterTwo_reportsFive()
{
    Rating widget(nullptr, 7);
    widget.setRating(2);
    QSignalSpy reported(&widget, &Rating::ratingSet);
    QTest::mouseClick(widget.findChild<QToolButton*>("btnRating5"), Qt::LeftButton);
    QCOMPARE(fullStarsOf(widget), 5);
    QCOMPARE(reported.size(), 1);
    QCOMPARE(reported.first(), QVariantList({7, 5}));
}

void TestRating::clearButton_reportsZero()
{
    Rating widget(nullptr, 9);
    widget.setRating(4);
    QSignalSpy reported(&widget, &Rating::ratingSet);
    QTest::mouseClick(widget.findChild<QToolButton*>("btnRating0"), Qt::LeftButton);
    QCOMPARE(fullStarsOf(widget), 0);
    QCOMPARE(reported.first(), QVariantList({9, 0}));
}

void TestRating::tableButton_defaults()
{
    TableButton buttons;
    QCOMPARE(buttons.getRow(), -1);
    QVERIFY(buttons.getChecked());
    QCOMPARE(buttons.getFilePath(), QString());
    auto* check = buttons.findChild<QToolButton*>("btnChecked");
    QCOMPARE(iconImage(check->icon()), iconImage(QIcon(":/images/icons/16x16/tick.png")));
    QVERIFY(!iconImage(check->icon()).isNull());
    QCOMPARE(buttons.findChild<QToolButton*>("toolButton")->toolTip(), QString("Download from Google"));
}

void TestRating::tableButton_toggledTwice_isCheckedAgain()
{
    TableButton buttons;
    auto* check = buttons.findChild<QToolButton*>("btnChecked");
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!buttons.getChecked());
    QCOMPARE(iconImage(check->icon()), iconImage(QIcon(":/images/icons/16x16/cross.png")));
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(buttons.getChecked());
    buttons.toggleChecked();
    QVERIFY(!buttons.getChecked());
    // setChecked only records the value.
    buttons.setChecked(true);
    QVERIFY(buttons.getChecked());
    QVERIFY(!check->isChecked());
}

void TestRating::tableButton_downloadReportsItsRow()
{
    TableButton buttons;
    buttons.setRow(12);
    QSignalSpy download(&buttons, &TableButton::downloadData);
    QTest::mouseClick(buttons.findChild<QToolButton*>("toolButton"), Qt::LeftButton);
    QCOMPARE(download.size(), 1);
    QCOMPARE(download.first().first().toInt(), 12);
}

void TestRating::tableButton_openPassesTheFileUrl()
{
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    TableButton buttons;
    buttons.setFilePath("/books/My #1 Book?.pdf");
    QTest::mouseClick(buttons.findChild<QToolButton*>("bookOpen"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.first().toLocalFile(), QString("/books/My #1 Book?.pdf"));
}

LIRENTA_TEST_MAIN(TestRating)
#include "TestRating.moc"
