#pragma once

#include <QList>
#include <QProcess>
#include <QWizard>

#include <memory>

namespace Ui {
class ConversionWizard;
}

class Item;
class ItemFile;

// Converts a book's PDF to EPUB with Calibre's ebook-convert, shows what the converter says,
// and attaches the new EPUB to the book.
class ConversionWizard : public QWizard
{
    Q_OBJECT
    Q_MOC_INCLUDE("Item.h")

public:
    explicit ConversionWizard(QWidget* parent = nullptr);
    ~ConversionWizard() override;

    // The output for an input path: its final ".pdf" (any case) becomes ".epub"; empty when
    // the path does not end in ".pdf".
    static QString outputPathFor(const QString& inputPath);
    // Whether the file system can hold a file of that name in that folder.
    static bool fitsFileSystem(const QString& path);
    // The converter: the preferences' location, else ebook-convert found on the PATH.
    static QString converterPath();
    QString getOutputPath() const { return outputPath; }
    bool succeeded() const { return success; }

Q_SIGNALS:
    void itemChanged(Item* item);

public Q_SLOTS:
    void convert(const QList<Item*>& items);
    void done(int result) override;

protected Q_SLOTS:
    void next();
    void bytesWrite();

private Q_SLOTS:
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processFailedToStart(QProcess::ProcessError error);

private:
    static ItemFile* fileAt(Item* item, const QString& path);
    static bool hasFile(Item* item, const QString& path);
    // "name (2).epub", "name (3).epub", ...: the first that is not there yet.
    static QString freeOutputPath(const QString& taken);

    void showOutcome(bool ok, const QString& detail);

    QProcess* process;
    QString convertorPath;
    QList<Item*> items;
    QString inputPath;
    QString outputPath;
    std::unique_ptr<Ui::ConversionWizard> ui;
    bool success = false;
};
