#include "CoverMaker.h"

#include "BookCovers.h"
#include "Item.h"
#include "LibrarySettings.h"
#include "Logging.h"

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
#include <quazipfile.h>

namespace {
const int coverHeight = 600;
const qint64 maxEntryBytes = 20 * 1024 * 1024;

// A pixel a reader would call paper.
bool isPaper(QRgb pixel)
{
    return qRed(pixel) > 235 && qGreen(pixel) > 235 && qBlue(pixel) > 235;
}

QByteArray readEntry(QuaZip& zip, const QString& name)
{
    if (!zip.setCurrentFile(name)) {
        return QByteArray();
    }
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::ReadOnly) || entry.usize() > maxEntryBytes) {
        return QByteArray();
    }
    return entry.read(maxEntryBytes);
}

// The path of the package document, from META-INF/container.xml.
QString packagePath(QuaZip& zip)
{
    QXmlStreamReader xml(readEntry(zip, QStringLiteral("META-INF/container.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("rootfile")) {
            return xml.attributes().value(QLatin1String("full-path")).toString();
        }
    }
    return QString();
}
} // namespace

CoverMaker::CoverMaker(QObject* parent) : QObject(parent)
{
    // One picture at a time: the PDF library is not to be used from two threads at once.
    pool.setMaxThreadCount(1);
}

CoverMaker::~CoverMaker()
{
    queue.clear();
    pool.waitForDone();
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
    int top = image.height();
    int bottom = -1;
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!isPaper(line[x])) {
                top = qMin(top, y);
                bottom = qMax(bottom, y);
                left = qMin(left, x);
                right = qMax(right, x);
            }
        }
    }
    if (bottom < 0) {
        return QImage(); // nothing but paper
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
    const QString opf = packagePath(zip);
    if (opf.isEmpty()) {
        *problem = QStringLiteral("the EPUB names no package document");
        return QImage();
    }
    // EPUB 3 marks the cover in the manifest; EPUB 2 names its manifest item in a <meta>.
    QXmlStreamReader xml(readEntry(zip, opf));
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
    const QImage image = QImage::fromData(readEntry(zip, entry.startsWith(QLatin1Char('/')) ? entry.mid(1) : entry));
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
    if (!busy) {
        startNext();
    }
}

void CoverMaker::startNext()
{
    while (!queue.isEmpty()) {
        const int iid = queue.dequeue();
        QString path;
        if (!BookCovers::needsCover(iid, &path)) {
            Q_EMIT jobEnded(iid);
            continue;
        }
        busy = true;
        auto* watcher = new QFutureWatcher<QImage>(this);
        connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, iid, path] {
            watcher->deleteLater();
            store(iid, watcher->result());
            Q_EMIT jobEnded(iid);
            busy = false;
            startNext();
        });
        watcher->setFuture(QtConcurrent::run(&pool, [path] {
            QString problem;
            const QImage image = coverImage(path, &problem);
            if (image.isNull()) {
                qCWarning(lcTools).noquote()
                    << QStringLiteral("No cover could be made for %1: %2.").arg(QFileInfo(path).fileName(), problem);
            }
            return image;
        }));
        return;
    }
    busy = false;
    Q_EMIT idle();
}

void CoverMaker::store(int iid, const QImage& image)
{
    QString path;
    // Checked again: a cover downloaded or chosen meanwhile wins.
    if (image.isNull() || !BookCovers::needsCover(iid, &path)) {
        return;
    }
    const QString target = LibrarySettings().dataDir() + QString::number(iid) + QStringLiteral(".jpg");
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "JPG", 90) || !file.commit()) {
        qCWarning(lcTools) << "cover not stored:" << target << file.errorString();
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
        connect(&progress, &QProgressDialog::canceled, this, [this] { queue.clear(); }),
    };
    for (int iid : books) {
        if (!queue.contains(iid)) {
            queue.enqueue(iid);
        }
    }
    if (!busy) {
        startNext();
    }
    if (!isIdle()) {
        loop.exec();
    }
    progress.setValue(books.size());
    for (const QMetaObject::Connection& connection : connections) {
        disconnect(connection);
    }
    return made;
}
