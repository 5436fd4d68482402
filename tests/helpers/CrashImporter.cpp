// Changes a library one book after another and reports each committed change on stdout,
// until it is killed. The crash-safety test kills it at random moments.
//   CrashImporter DATADIR FILESDIR COUNT [import|edit|cover|delete]
#include "Authors.h"
#include "Book.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "TemporaryCover.h"

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        return 2;
    }
    const QString dataDir = QString::fromLocal8Bit(argv[1]);
    const QString filesDir = QString::fromLocal8Bit(argv[2]);
    const int count = atoi(argv[3]);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase library;
    if (!library.open(dataDir).isOpen()) {
        return 1;
    }
    QDir().mkpath(filesDir);
    QImage cover(120, 180, QImage::Format_RGB32);
    const QString mode = argc > 4 ? QString::fromLatin1(argv[4]) : QStringLiteral("import");
    if (mode != QLatin1String("import")) {
        QList<int> ids;
        QSqlQuery query("SELECT iid FROM books ORDER BY iid");
        while (query.next()) {
            ids << query.value(0).toInt();
        }
        for (int round = 0; round < count; ++round) {
            for (int iid : std::as_const(ids)) {
                Book book(nullptr, iid);
                bool ok = false;
                if (mode == QLatin1String("edit")) {
                    book.setTitle(QString("Edited book %1 round %2").arg(iid).arg(round));
                    book.getAuthors()->removeAuthors();
                    book.addAuthor(QString("Editor %1").arg(round % 3));
                    book.addAuthor(QString("Other Editor %1").arg(iid));
                    ok = book.insertBook();
                } else if (mode == QLatin1String("cover")) {
                    cover.fill(QColor::fromHsv((iid + round) * 13 % 360, 200, 200));
                    const QString coverPath = TemporaryCover::newPath();
                    cover.save(coverPath, "JPG");
                    book.setCoverFile(coverPath);
                    ok = book.insertBook();
                } else if (mode == QLatin1String("delete")) {
                    ok = book.deleteBook();
                }
                if (ok) {
                    std::printf("committed %d\n", iid);
                    std::fflush(stdout);
                }
            }
        }
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        const QString name = QString("crash-%1-%2.pdf").arg(QCoreApplication::applicationPid()).arg(i);
        QFile file(filesDir + name);
        file.open(QIODevice::WriteOnly);
        file.write("%PDF-1.4 " + name.toUtf8() + QByteArray(2000, 'x'));
        file.close();
        cover.fill(QColor::fromHsv(i * 37 % 360, 200, 200));
        const QString coverPath = TemporaryCover::newPath();
        cover.save(coverPath, "JPG");

        Book book(nullptr, 0);
        book.setTitle(QString("Crash book %1").arg(i));
        book.addAuthor(QString("Shared Author %1").arg(i % 5));
        book.addAuthor(QString("Own Author %1").arg(i));
        book.addFile(file.fileName());
        book.setCoverFile(coverPath);
        if (book.insertBook()) {
            std::printf("committed %d\n", book.getId());
            std::fflush(stdout);
        }
    }
    return 0;
}
