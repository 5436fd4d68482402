#include "LibraryStartup.h"

#include "LibraryBackup.h"
#include "LibrarySettings.h"
#include "Prompt.h"

#include <QLocale>

namespace {
QString holdings(const LibraryBackup::Contents& backup)
{
    return (backup.books == 1 ? LibraryStartup::tr("1 book") : LibraryStartup::tr("%1 books").arg(backup.books)) +
           LibraryStartup::tr(" and ") +
           (backup.webPages == 1 ? LibraryStartup::tr("1 web page")
                                 : LibraryStartup::tr("%1 web pages").arg(backup.webPages));
}

QString when(const LibraryBackup::Contents& backup)
{
    return QLocale().toString(backup.takenAt.toLocalTime(), QLocale::LongFormat);
}
} // namespace

bool LibraryStartup::open(const QString& dataDir, bool checkEveryPage)
{
    return settle(library.open(dataDir, checkEveryPage), dataDir, checkEveryPage);
}

bool LibraryStartup::recoverFromDamage(const QString& error)
{
    const QString dataDir = library.dataDir();
    library.close();
    LibraryDatabase::Outcome outcome;
    outcome.path = LibraryDatabase::databasePath(dataDir);
    outcome.error = error;
    outcome.movedTo = LibraryFile::moveAside(outcome.path);
    outcome.status = outcome.movedTo.isEmpty() ? LibraryDatabase::Status::CannotOpen : LibraryDatabase::Status::Damaged;
    if (outcome.status == LibraryDatabase::Status::Damaged) {
        SearchIndexFile::remove(dataDir);
    }
    return settle(outcome, dataDir, false);
}

bool LibraryStartup::settle(const LibraryDatabase::Outcome& first, const QString& dataDir, bool checkEveryPage)
{
    const QString title = tr("Library database");
    LibraryDatabase::Outcome outcome = first;
    for (;;) {
        switch (outcome.status) {
        case LibraryDatabase::Status::Opened:
        case LibraryDatabase::Status::Created:
            if (outcome.readOnly) {
                Prompt::information(parent, title,
                                    tr("The library %1 can be read but not changed (it or its folder is "
                                       "read-only).\n\nYou can browse and read your books, but nothing you "
                                       "change can be saved.")
                                            .arg(outcome.path) +
                                        tr("\n\nAdding and importing books, deleting, rating, converting, "
                                           "capturing web pages and writing notes are switched off."));
            }
            return !Prompt::questionsEnded();
        case LibraryDatabase::Status::CannotOpen:
            Prompt::critical(parent, title,
                             tr("The library database %1 could not be opened.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::CannotRead:
            Prompt::critical(parent, title,
                             tr("The library database %1 could not be read: the disk did not give its contents "
                                "(%2).\n\nNothing was changed. Check the disk or drive it is on, then start "
                                "Lirenta again.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::InUse:
            Prompt::critical(parent, title,
                             tr("The library database %1 is in use by another program and cannot be read now "
                                "(%2).\n\nNothing was changed. Close the other program, or wait a moment, and "
                                "start Lirenta again.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::CannotCreate:
            Prompt::critical(parent, title,
                             tr("The library database %1 could not be created.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::Damaged:
            if (!offerBackups(outcome, dataDir) || Prompt::questionsEnded()) {
                return false;
            }
            break; // opens the restored library, or a new one where the file was
        }
        outcome = library.open(dataDir, checkEveryPage);
    }
}

bool LibraryStartup::offerBackups(const LibraryDatabase::Outcome& outcome, const QString& dataDir)
{
    const QString title = tr("Library database");
    const QList<LibraryBackup::Contents> backups = LibraryBackup::goodBackups(dataDir);
    const QString lastLibrary = LibrarySettings().libraryIdentity();
    const QString damage = tr("The library file is damaged or is not a Lirenta library. It was moved aside and "
                              "kept as %1; nothing in it was changed.")
                               .arg(outcome.movedTo);
    const QString details = tr("SQLite's report on %1:\n%2").arg(outcome.path, outcome.error);
    const LibraryBackup::Contents* chosen = nullptr;
    if (backups.size() == 1) {
        // The offer says what the backup holds, so nobody restores an empty library by mistake.
        const LibraryBackup::Contents& only = backups.first();
        const QString offer = tr("Restore the backup taken on %1? It holds %2.").arg(when(only), holdings(only));
        if (Prompt::ask(parent, QMessageBox::Warning, title, damage, QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::Yes, offer, details) == QMessageBox::Yes) {
            chosen = &only;
        }
    } else if (backups.size() > 1) {
        QStringList items;
        for (const LibraryBackup::Contents& backup : backups) {
            QString item = tr("Taken on %1, with %2").arg(when(backup), holdings(backup));
            // Backups of a library given up earlier are kept, and said to be another library's.
            if (!backup.library.isEmpty() && !lastLibrary.isEmpty() && backup.library != lastLibrary) {
                item += tr(" (another library)");
            }
            items << item;
        }
        const int index =
            Prompt::chooseItem(parent, title, damage + tr("\n\nChoose a backup to restore, or Cancel:"), items);
        if (index >= 0) {
            chosen = &backups.at(index);
        }
    }
    if (chosen && LibraryDatabase::restore(chosen->path, dataDir)) {
        restored = tr("Restored the backup taken on %1, holding %2.").arg(when(*chosen), holdings(*chosen));
        return true;
    }
    if (Prompt::questionsEnded()) {
        return false;
    }
    // The path is free now: a new library can be made there.
    return Prompt::ask(parent, QMessageBox::Warning, title, damage, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                       tr("Start with a new, empty library? Choose No to quit."), details) == QMessageBox::Yes;
}
