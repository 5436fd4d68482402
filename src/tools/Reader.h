#pragma once

#include "EpubPackage.h"
#include "ReaderTab.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <memory>

namespace Ui {
class Reader;
}

class ItemFile;
class ReaderRequestGuard;

// Shows one book file in a tab: an EPUB chapter by chapter with its table of contents, or a
// text or HTML file as it is.
class Reader : public ReaderTab
{
    Q_OBJECT

public:
    Reader(QWidget* parent, const QString& path);
    ~Reader() override;

    void open(const QString& path);
    void loadEpub(const QString& path);
    void parseNCX(const QString& ncxPath);
    void loadTxt(const QString& path);

    QStringList getChapters() const { return chapters; }
    QStringList getTocFiles() const { return tocFiles; }
    int getChapterIndex() const { return chapterIndex; }
    QString getExtractionFolder() const { return extractionFolder; }
    // Why the book could not be shown; empty when it could.
    QString getProblem() const { return problem; }
    QUrl currentUrl() const;
    qreal zoomFactor() const;
    // How far down the chapter on screen its top edge is, 0 to 1.
    double scrollPosition() const;
    void keepPosition() override;
    // Shows the chapter at this place of the reading order with `words` marked.
    void showChapterAt(int index, const QString& words);

    // Tab title for a file name: short names whole, long ones shortened around a ".".
    // Where books are unpacked (created private), or empty when it cannot be made.
    static QString extractionBase();
    static QString tabTitle(const QString& fileName);

public Q_SLOTS:
    void tocClicked(const QUrl& link);

private Q_SLOTS:
    void on_btnLeft_clicked();
    void on_btnRight_clicked();
    void on_toolButton_2_clicked();
    void on_horizontalSlider_valueChanged(int value);
    void on_horizontalSlider_actionTriggered(int action);

private:
    void showFile(const QString& file);
    void followChapter(const QUrl& url);
    void resume(const QString& path);
    void showToc(const QStringList& links);
    void showProblem(const QString& text);
    void showPackageToc(const EpubPackage::Package& package);
    // The file a contents entry names, its percent-encoding decoded and its fragment dropped.
    static QString fileOf(const QString& reference);
    static QString tocLink(const EpubPackage::TocEntry& entry);

    std::unique_ptr<Ui::Reader> ui;
    std::unique_ptr<ItemFile> probe;
    QString extractionFolder;
    QStringList tocFiles;
    QStringList chapters;
    QStringList tocAnchors;
    int chapterIndex = 0;
    QString linkBaseFolder;
    QString problem;
    // While the book opens, the page to show is noted here and loaded once at the end.
    bool holdingLoads = false;
    QUrl heldUrl;
    ReaderRequestGuard* guard = nullptr;
};
