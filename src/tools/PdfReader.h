#pragma once

#include "ReaderTab.h"

#include <memory>

namespace Ui {
class PdfReader;
}

class PdfPageView;
class QModelIndex;
class QPdfBookmarkModel;
class QPdfDocument;
class QPdfSearchModel;

// Shows a PDF in a tab: its pages one below the other, the page box, zoom, the PDF's own
// contents where it has them, and find with every match marked. A book of the library opens
// at the page, place and zoom it was left at.
class PdfReader : public ReaderTab
{
    Q_OBJECT

public:
    PdfReader(QWidget* parent, const QString& path);
    ~PdfReader() override;

    PdfPageView* view() const;
    QPdfDocument* document() const { return pdf; }
    QPdfBookmarkModel* contents() const { return bookmarks; }
    // Why the file could not be shown; empty when it could.
    QString getProblem() const { return problem; }
    // Counted from 0.
    int currentPage() const;
    void showPage(int page);

    // Edit > Find (Ctrl+F) while the tab is on screen.
    void focusFind();
    void find(const QString& text);
    // Shows the page (from 0) with the matches of `text` marked, the first one on it current.
    void findOnPage(const QString& text, int page);
    int hitCount() const;
    int currentHitIndex() const { return currentHit; }
    void findNext();
    void findPrevious();

    void keepPosition() override;

private:
    void load();
    void showProblem(const QString& text);
    void resume();
    void showHit(int index);
    void updatePageBox();
    void updateZoom();
    void updateHitCount();
    void outlineClicked(const QModelIndex& index);

    std::unique_ptr<Ui::PdfReader> ui;
    QPdfDocument* pdf = nullptr;
    QPdfBookmarkModel* bookmarks = nullptr;
    QPdfSearchModel* search = nullptr;
    QString md5;
    QString problem;
    int currentHit = -1;
    int pendingHitPage = -1;
};
