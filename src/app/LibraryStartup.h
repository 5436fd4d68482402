#pragma once

#include "LibraryDatabase.h"

#include <QCoreApplication>
#include <QString>

class QWidget;

// Opens the library for the window, asking the user what each situation needs: a library that
// is damaged (its backups offered), in use by another program, unreadable, or read-only.
class LibraryStartup
{
    Q_DECLARE_TR_FUNCTIONS(LibraryStartup)

public:
    LibraryStartup(LibraryDatabase& library, QWidget* parent) : library(library), parent(parent) {}

    // Opens the library in `dataDir`; false when there is none to work on and the program ends.
    bool open(const QString& dataDir, bool checkEveryPage = false);
    // Damage found after opening (a failed read, a backup that did not check out): the library
    // is closed and moved aside, and the user is offered its backups as at opening.
    bool recoverFromDamage(const QString& error);
    // After a backup was restored: which one, for the status bar.
    QString restoredNote() const { return restored; }

private:
    bool settle(const LibraryDatabase::Outcome& first, const QString& dataDir, bool checkEveryPage);
    // The damaged file is moved aside: a backup restored, a new library, or quitting.
    bool offerBackups(const LibraryDatabase::Outcome& outcome, const QString& dataDir);

    LibraryDatabase& library;
    QWidget* parent;
    QString restored;
};
