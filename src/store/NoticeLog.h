#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// What the user may want to look back on: the update check's answer and the warnings of this
// session (a failed save, a reply that could not be read). Kept in memory, newest last, at
// most a few hundred lines.
class NoticeLog
{
public:
    struct Notice
    {
        QDateTime when;
        QString text;
    };

    static void add(const QString& text);
    // A log line as a sentence for the user: quoted texts unquoted, paths as file names, a
    // capital first and a full stop last.
    static QString asSentence(const QString& message);
    static QList<Notice> notices();
    static void clear();
    // From now on warnings and errors logged anywhere in the program are kept too.
    static void catchWarnings();
};
