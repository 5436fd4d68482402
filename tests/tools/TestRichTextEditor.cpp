#include "LibraryFixture.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "TestEnvironment.h"
#include "ViewItem.h"

class TestRichTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void formatting_survivesSaveAndReload();

private:
    ViewItem item(int id, const QString& title);
    QTextEdit* edit(RichTextEditor& editor) { return editor.findChild<QTextEdit*>("textEdit"); }
    void click(RichTextEditor& editor, const char* name) { editor.findChild<QToolButton*>(name)->click(); }
    std::unique_ptr<LibraryFixture> library;
};

void TestRichTextEditor::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestRichTextEditor::cleanup()
{
    library.reset();
}

ViewItem TestRichTextEditor::item(int id, const QString& title)
{
    ViewItem vi;
    vi.id = id;
    vi.title = title;
    return vi;
}

void TestRichTextEditor::formatting_survivesSaveAndReload()
{
    RichTextEditor editor;
    ViewItem a = item(5, "Alpha");
    ViewItem b = item(6, "Beta");
    editor.loadNoteItem(&a);
    QTextEdit* text = edit(editor);
    text->setPlainText("Heading\nbold words\nitem one\nright\nE=mc2");
    QTextDocument* document = text->document();
    const auto selectLine = [&](int line) {
        QTextCursor cursor(document->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
    };
    selectLine(0);
    click(editor, "btnH1");
    selectLine(1);
    click(editor, "btnBold");
    click(editor, "btnIltalic");
    click(editor, "btnUnderline");
    selectLine(2);
    click(editor, "btnUl");
    selectLine(3);
    click(editor, "btnAlignRight");
    QTextCursor two(document->findBlockByNumber(4));
    two.movePosition(QTextCursor::EndOfBlock);
    two.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
    text->setTextCursor(two);
    click(editor, "btnSuperscript");

    editor.loadNoteItem(&b);
    editor.loadNoteItem(&a);
    document = text->document();
    QCOMPARE(document->findBlockByNumber(0).blockFormat().headingLevel(), 1);
    QTextCursor inBold(document->findBlockByNumber(1));
    inBold.movePosition(QTextCursor::Right);
    QVERIFY(inBold.charFormat().fontWeight() >= QFont::Bold);
    QVERIFY(inBold.charFormat().fontItalic());
    QVERIFY(inBold.charFormat().fontUnderline());
    QVERIFY(document->findBlockByNumber(2).textList());
    QCOMPARE(document->findBlockByNumber(2).textList()->format().style(), QTextListFormat::ListDisc);
    QVERIFY(document->findBlockByNumber(3).blockFormat().alignment() & Qt::AlignRight);
    QTextCursor last(document->findBlockByNumber(4));
    last.movePosition(QTextCursor::EndOfBlock);
    QCOMPARE(last.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
}

LIRENTA_TEST_MAIN(TestRichTextEditor)
#include "TestRichTextEditor.moc"
