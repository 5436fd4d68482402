#include "CoverMaker.h"

#include "BookCovers.h"
#include "Item.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "TemporaryCover.h"
#include "ZipEntries.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QPainter>
#include <QPdfDocument>
#include <QProgressDialog>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtConcurrent>
#include <quazip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
const int coverHeight = 600;
const qint64 maxEntryBytes = 20 * 1024 * 1024;

// A pixel a reader would call paper.
bool isPaper(QRgb pixel)
{
    return qRed(pixel) > 235 && qGreen(pixel) > 235 && qBlue(pixel) > 235;
}
} // namespace

CoverMaker::CoverMaker(QObject* parent) : QObject(parent)
{
    // A thread for PDFs, whose library takes one caller at a time anyway, and one for the rest.
    for (QThreadPool& pool : pools) {
        pool.setMaxThreadCount(1);
    }
}

CoverMaker::~CoverMaker()
{
    queue.clear();
    held.reset();
    for (QThreadPool& pool : pools) {
        pool.waitForDone();
    }
}

QImage CoverMaker::coverImage(const QString& path, QString* problem)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        return firstPage(path, problem);
    }
    if (suffix == QLatin1String("epub")) {
        return epubCover(path, problem);
    }
    *problem = QStringLiteral("no cover can be made from a .%1 file").arg(suffix);
    return QImage();
}

QImage CoverMaker::firstPage(const QString& path, QString* problem)
{
    QPdfDocument document;
    document.load(path);
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() < 1) {
        *problem = QStringLiteral("the file is not a readable PDF");
        return QImage();
    }
    const QSizeF points = document.pagePointSize(0);
    if (points.isEmpty()) {
        *problem = QStringLiteral("the first page has no size");
        return QImage();
    }
    const QSize size = (points * (coverHeight / points.height())).toSize().boundedTo(QSize(2000, coverHeight));
    const QImage drawn = document.render(0, size);
    if (drawn.isNull()) {
        *problem = QStringLiteral("the first page could not be drawn");
        return QImage();
    }
    // Pages without a background of their own come out transparent: on paper, they are white.
    QImage page(drawn.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(0, 0, drawn);
    const QImage cover = trimmed(page);
    if (cover.isNull()) {
        *problem = QStringLiteral("the first page is empty");
    }
    return cover;
}

QImage CoverMaker::trimmed(const QImage& page)
{
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    const auto line = [&image](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); };
    const auto paperRow = [&](int y) { return std::all_of(line(y), line(y) + image.width(), isPaper); };
    // The margins only are read: rows from the top and the bottom until the first one with ink,
    // then each row from either side until its first ink.
    int top = 0;
    while (top < image.height() && paperRow(top)) {
        ++top;
    }
    if (top == image.height()) {
        return QImage(); // nothing but paper
    }
    int bottom = image.height() - 1;
    while (paperRow(bottom)) {
        --bottom;
    }
    int left = image.width() - 1;
    int right = 0;
    for (int y = top; y <= bottom; ++y) {
        const QRgb* pixels = line(y);
        int x = 0;
        while (x < left && isPaper(pixels[x])) {
            ++x;
        }
        left = std::min(left, x);
        x = image.width() - 1;
        while (x > right && isPaper(pixels[x])) {
            --x;
        }
        right = std::max(right, x);
    }
    return image.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}

QImage CoverMaker::epubCover(const QString& path, QString* problem)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        *problem = QStringLiteral("the EPUB cannot be opened");
        return QImage();
    }
    QString opf;
    const std::optional<QByteArray> package = ZipEntries::packageDocument(zip, maxEntryBytes, &opf);
    if (opf.isEmpty()) {
        *problem = QStringLiteral("the EPUB names no package document");
        return QImage();
    }
    // EPUB 3 marks the cover in the manifest; EPUB 2 names its manifest item in a <meta>.
    QXmlStreamReader xml(package.value_or(QByteArray()));
    QHash<QString, QString> hrefs;
    QString coverHref;
    QString coverId;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("item")) {
            const QString href = attributes.value(QLatin1String("href")).toString();
            hrefs.insert(attributes.value(QLatin1String("id")).toString(), href);
            if (attributes.value(QLatin1String("properties"))
                    .split(QLatin1Char(' '))
                    .contains(QLatin1String("cover-image"))) {
                coverHref = href;
            }
        } else if (xml.name() == QLatin1String("meta") &&
                   attributes.value(QLatin1String("name")) == QLatin1String("cover")) {
            coverId = attributes.value(QLatin1String("content")).toString();
        }
    }
    if (coverHref.isEmpty()) {
        coverHref = hrefs.value(coverId);
    }
    if (coverHref.isEmpty()) {
        *problem = QStringLiteral("the EPUB names no cover image");
        return QImage();
    }
    // The href is a URI reference relative to the package document.
    const QString base = opf.contains(QLatin1Char('/')) ? opf.left(opf.lastIndexOf(QLatin1Char('/')) + 1) : QString();
    const QString entry = QUrl(base).resolved(QUrl(coverHref)).path(QUrl::FullyDecoded);
    const QImage image = QImage::fromData(
        ZipEntries::read(zip, entry.startsWith(QLatin1Char('/')) ? entry.mid(1) : entry, maxEntryBytes).value_or(""));
    if (image.isNull()) {
        *problem = QStringLiteral("the cover image %1 cannot be read").arg(coverHref);
    }
    return image;
}

void CoverMaker::request(int iid)
{
    if (!queue.contains(iid)) {
        queue.enqueue(iid);
    }
    startNext();
}

CoverMaker::Lane CoverMaker::laneOf(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0 ? Lane::Pdf : Lane::Other;
}

// Books are taken in the order asked; each goes to its lane's thread when that is free. A book
// whose lane is busy waits at the head, so the other lane runs ahead by one book at most.
void CoverMaker::startNext()
{
    while (true) {
        if (!held) {
            if (queue.isEmpty()) {
                break;
            }
            const int iid = queue.dequeue();
            QString path;
            if (!BookCovers::needsCover(iid, &path)) {
                Q_EMIT jobEnded(iid);
                continue;
            }
            held = Job{iid, path};
        }
        const Lane lane = laneOf(held->path);
        if (laneBusy[int(lane)]) {
            return;
        }
        launch(*held, lane);
        held.reset();
    }
    if (!laneBusy[0] && !laneBusy[1]) {
        Q_EMIT idle();
    }
}

void CoverMaker::launch(const Job& job, Lane lane)
{
    laneBusy[int(lane)] = true;
    auto* watcher = new QFutureWatcher<bool>(this);
    // The picture is made, encoded and written to a file of its own on the lane's thread; the
    // window's thread only checks the book still wants it and moves it into place.
    const QString written = TemporaryCover::newPath();
    connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher, job, lane, written] {
        watcher->deleteLater();
        laneBusy[int(lane)] = false;
        if (watcher->result()) {
            store(job.iid, written);
        }
        Q_EMIT jobEnded(job.iid);
        startNext();
    });
    const QString path = job.path;
    watcher->setFuture(
        QtConcurrent::run(&pools[int(lane)], [path, written] {
            QString problem;
            const QImage image = coverImage(path, &problem);
            if (image.isNull()) {
                qCWarning(lcTools).noquote()
                    << QStringLiteral("No cover could be made for %1: %2.").arg(QFileInfo(path).fileName(), problem);
                return false;
            }
            QSaveFile file(written);
            if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "JPG", 90) || !file.commit()) {
                qCWarning(lcTools) << "cover not stored:" << written << file.errorString();
                return false;
            }
            return true;
        }));
}

void CoverMaker::store(int iid, const QString& written)
{
    QString path;
    // Checked again: a cover downloaded or chosen meanwhile wins.
    if (!BookCovers::needsCover(iid, &path)) {
        QFile::remove(written);
        return;
    }
    const QString target = LibrarySettings().dataDir() + QString::number(iid) + QStringLiteral(".jpg");
    if (std::rename(QFile::encodeName(written).constData(), QFile::encodeName(target).constData()) != 0) {
        qCWarning(lcTools) << "cover not stored:" << target << std::strerror(errno);
        QFile::remove(written);
        return;
    }
    if (!BookCovers::record(iid, target)) {
        qCWarning(lcTools) << "cover not recorded:" << target;
        QFile::remove(target);
        return;
    }
    Q_EMIT coverMade(iid);
}

int CoverMaker::makeMissing(QWidget* parent)
{
    const QList<int> books = BookCovers::withoutCover();
    QProgressDialog progress(tr("Making covers from the books' files..."), tr("Cancel"), 0, books.size(), parent);
    progress.setWindowTitle(tr("Make Missing Covers"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    int made = 0;
    int ended = 0;
    QEventLoop loop;
    const QList<QMetaObject::Connection> connections = {
        connect(this, &CoverMaker::coverMade, this, [&made] { ++made; }),
        connect(this, &CoverMaker::jobEnded, &progress, [&] { progress.setValue(++ended); }),
        connect(this, &CoverMaker::idle, &loop, &QEventLoop::quit),
        // What is not started yet is dropped; the picture being made is finished.
        connect(&progress, &QProgressDialog::canceled, this,
                [this] {
                    queue.clear();
                    held.reset();
                }),
    };
    for (int iid : books) {
        if (!queue.contains(iid)) {
            queue.enqueue(iid);
        }
    }
    startNext();
    if (!isIdle()) {
        loop.exec();
    }
    progress.setValue(books.size());
    for (const QMetaObject::Connection& connection : connections) {
        disconnect(connection);
    }
    return made;
}
