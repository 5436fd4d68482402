#include "TestEnvironment.h"
#include "searchbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class TestSearchbox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typing_emitsTheTextUnchanged();
    void setTerms_isReadBackAndEmitted();
};

void TestSearchbox::typing_emitsTheTextUnchanged()
{
    searchbox box;
    auto* field = box.findChild<QLineEdit*>("searchBox");
    QVERIFY(field);
    QCOMPARE(field->placeholderText(), QString("Search..."));
    QSignalSpy texts(&box, &searchbox::searchText);
    QTest::keyClicks(field, " ab");
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.last().first().toString(), QString(" ab"));
}

void TestSearchbox::setTerms_isReadBackAndEmitted()
{
    searchbox box;
    QSignalSpy texts(&box, &searchbox::searchText);
    box.setTerms("dune");
    QCOMPARE(box.getTerms(), QString("dune"));
    QCOMPARE(texts.size(), 1);
}

LIRENTA_TEST_MAIN(TestSearchbox)
#include "TestSearchbox.moc"
