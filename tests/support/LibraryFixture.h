#pragma once

#include "LibraryDatabase.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh library for one test: its own data directory (recorded as "dataDir" in the
// settings) and a real data.db opened on the default connection with the full schema.
class LibraryFixture
{
public:
    explicit LibraryFixture(const LibraryTuning& tuning = LibraryTuning());
    ~LibraryFixture();

    bool isOpen() const { return open; }
    LibraryDatabase& library() { return database; }
    // Closes the library as the program does at quitting, and opens it again.
    bool reopen();
    QString dataDir() const { return dir.path() + "/data/"; }
    QString filesDir() const { return dir.path() + "/files/"; }
    QString databasePath() const { return dataDir() + "data.db"; }

    // Writes a file under filesDir() (sub-folders made as needed) and returns its path.
    QString writeFile(const QString& relativePath, const QByteArray& content) const;
    // Runs one statement and returns the first column of the first row.
    static QVariant scalar(const QString& statement);
    static int rowCount(const QString& table);
    // Adds `count` bare books in one transaction, titled "<word> <n>" for n from 1 (the number
    // zero-padded to `digits`), each rated n % 6.
    static bool addNumberedBooks(const QString& word, int count, int digits = 0);

private:
    QTemporaryDir dir;
    LibraryDatabase database;
    bool open = false;
};
