#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3_vfs;

// A disk that stops giving one file's pages: while this lives, SQLite's reads of that file fail
// with an I/O error, as on a failing drive. Everything else is read as usual; the file itself is
// left as it is.
class FailingReads
{
public:
    explicit FailingReads(const QString& path);
    ~FailingReads();
    FailingReads(const FailingReads&) = delete;
    FailingReads& operator=(const FailingReads&) = delete;

private:
    sqlite3_vfs* previous = nullptr;
};
