#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a book file says about itself: the information dictionary of a PDF, the package
// document of an EPUB, the EXTH header of a MOBI, the title of an HTML or text file. Values
// that say nothing ("Untitled", "Microsoft Word - report.doc", the file's own name, an author
// "Administrator") are left out. A file that cannot be read gives nothing and a note why;
// reading never runs away with a hostile file (sizes are capped).
struct BookMetadata
{
    struct Author
    {
        QString name;
        QString fileAs; // "Last, First" where the file says so
    };

    QString title;
    QList<Author> authors; // authors only: editors, translators and illustrators are left out
    QString pages;
    QString isbn10;
    QString isbn13;
    QString publisher;
    QString date;
    QString language;    // ISO 639 code, "en"
    QString description; // plain text
    QStringList tags;
    QString series;
    double seriesNumber = 0;
    QString note; // why nothing (or little) could be read, for the user

    bool isEmpty() const;
    // The first author's name, or nothing.
    QString firstAuthor() const { return authors.isEmpty() ? QString() : authors.first().name; }

    // Reads the file by its kind (its suffix and its first bytes).
    static BookMetadata read(const QString& path);
    static BookMetadata fromPdf(const QString& path);
    static BookMetadata fromEpub(const QString& path);
    // The package document (OPF) of an EPUB, as bytes.
    static BookMetadata fromPackageDocument(const QByteArray& opf);
    // The start of a MOBI file (the PalmDB header and the first record).
    static BookMetadata fromMobi(const QByteArray& bytes);
    // An HTML file's <title>, or a text file's first line that says something.
    static BookMetadata fromText(const QByteArray& bytes, bool html);

    // A title or author that tells nothing about the book: left out.
    static bool titleSaysNothing(const QString& title, const QString& fileName = QString());
    static bool authorSaysNothing(const QString& name);
    // The ISBN-10 or ISBN-13 an identifier holds ("urn:isbn:...", "ISBN 0-7475-3269-9", or
    // bare digits), with a valid check digit; empty when it holds none.
    static QString isbnIn(const QString& identifier);
    static bool hasValidCheckDigit(const QString& isbn);

private:
    void dropWhatSaysNothing(const QString& fileName);
};
