#include "LibrarySeeder.h"

#include "Book.h"
#include "QtModules.h"
#include "WebPage.h"

QString LibrarySeeder::writeCover(const QColor& color, const QString& label) const
{
    QImage image(300, 450, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(36);
    painter.setFont(font);
    painter.drawRect(20, 20, 260, 410);
    painter.drawText(QRect(30, 30, 240, 390), Qt::AlignCenter | Qt::TextWordWrap, label);
    painter.end();
    const QString path = dataDir + "cover-" + QUuid::createUuid().toString(QUuid::WithoutBraces) + ".jpg";
    image.save(path, "JPG", 85);
    return path;
}

int LibrarySeeder::addBook(const BookEntry& entry) const
{
    Book book(nullptr, 0);
    book.setTitle(entry.title);
    book.setDescription(entry.description);
    book.setDatePublished(entry.datePublished);
    book.setPageCount(entry.pageCount);
    book.setPublisher(entry.publisher);
    book.setAverageRating(entry.rating);
    for (const QString& name : entry.authors) {
        book.addAuthor(name);
    }
    QDir().mkpath(filesDir);
    for (const QString& fileName : entry.fileNames) {
        QFile file(filesDir + fileName);
        QDir().mkpath(QFileInfo(file).absolutePath());
        file.open(QIODevice::WriteOnly);
        file.write("%PDF-1.4\n% " + fileName.toUtf8() + "\n");
        file.close();
        book.addFile(file.fileName());
    }
    if (entry.coverColor.isValid()) {
        book.setCoverFile(writeCover(entry.coverColor, entry.title));
    }
    return book.insertBook() ? book.getId() : -1;
}

int LibrarySeeder::addWebPage(const QString& title, const QString& url, const QString& description) const
{
    WebPage page(nullptr, -1);
    page.setTitle(title);
    page.setUrl(url);
    page.setDescription(description);
    return page.insertWebPage() ? page.getId() : -1;
}
