#pragma once

#include "ContentText.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The words inside the library's books, in a file of its own beside the library
// ("content-index.db"). It is a cache: tied to the library by its identity, made again when
// it is missing, damaged or another library's, and filled in the background.
//
// The words are an FTS5 table with the unicode61 tokenizer and remove_diacritics 2: capitals
// and accents of every script are ignored. Chinese, Japanese and Korean run together without
// spaces, so every ideograph, kana and hangul syllable is made a word of its own, and a CJK
// word searched is a phrase of them: unlike a trigram table, this finds words of one or two
// characters and keeps one table and one query syntax for every script. The table keeps no
// copy of the text (it is contentless), which keeps it small; snippets are read from the book.
// Each row is a run of up to ten pages, a chapter or a whole file, listed in "parts": pages
// indexed one by one would make the index half the size of the text, runs of ten a third
// or so (every word costs a little per row that holds it). So every word searched must be
// within ten pages of the others, and the snippets find the page itself. A book indexed
// again or gone leaves rows no part names, which searches never see, until the index is
// made afresh.
class ContentIndex
{
public:
    enum class State { Indexed = 1, NoText = 2, Skipped = 3 };
    struct Fingerprint
    {
        qint64 size = -1;
        qint64 modified = -1; // seconds since the epoch
        QString md5;
        bool operator==(const Fingerprint& other) const = default;
    };
    struct Entry
    {
        State state = State::Indexed;
        Fingerprint fingerprint;
        QString note; // why a book was skipped
    };
    struct Hit
    {
        int iid = 0;
        ContentText::Kind kind = ContentText::Kind::Whole;
        int number = 0;
        int pages = 1; // a run of pages from `number`
    };

    explicit ContentIndex(const QString& connectionName);
    ~ContentIndex();
    ContentIndex(const ContentIndex&) = delete;
    ContentIndex& operator=(const ContentIndex&) = delete;

    static QString pathIn(const QString& dataDir);

    // Opens the index at `path` for the library `identity`, starting a fresh one when there is
    // none, or it cannot be read, or it belongs to another library.
    bool open(const QString& path, const QString& identity);
    void close();
    bool isOpen() const { return opened; }
    // The file was deleted or replaced under the open connection: a fresh one takes its place.
    bool reopenIfGone();

    QHash<int, Entry> entries() const;
    // What the index knows of one book; nothing when it has not read it yet.
    std::optional<Entry> entry(int iid) const;
    // Replaces what the index holds for the book; false when it could not be written.
    bool store(int iid, const Fingerprint& fingerprint, const ContentText::Result& result);
    bool drop(const QList<int>& iids);
    // Rows no part names any more, and all rows: when most are dead, the index is made afresh.
    bool wantsFreshStart() const;
    bool startAfresh();
    // Merges the table's pieces into one: smaller, and faster to search.
    void optimize();

    // At most `limit` books whose pages (or chapters) hold every word of `terms`, best first
    // (bm25), of those `wanted` lets through.
    QList<int> find(const QString& terms, int limit = 500, const std::function<bool(int)>& wanted = {});
    // Past this many matching rows, find() gives books unranked, and bestParts() a book's
    // places in page order: ranking them all would be slow.
    void setRankedRows(int rows) { rankedRows = rows; }
    // The book's best runs of pages, chapters or whole text for `terms`.
    QList<Hit> bestParts(int iid, const QString& terms, int limit = 3);

    // `terms` as an FTS5 query: every word must be there, "quoted words" are a phrase; empty
    // when there is nothing to look for.
    static QString matchExpression(const QString& terms);
    // The words and phrases of `terms`, as a user typed them, to mark in the text.
    static QStringList wordsOf(const QString& terms);

private:
    bool affordsRanking(const QString& expression) const;
    bool createSchema();
    bool openFile();
    void discardFile();

    QString connection;
    QString filePath;
    QString libraryIdentity;
    quint64 fileInode = 0;
    bool opened = false;
    int rankedRows = 10000;
};
