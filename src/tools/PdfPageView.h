#pragma once

#include <QList>
#include <QPdfSelection>
#include <QPdfView>
#include <QRect>

#include <optional>

class QPdfSearchModel;

// The pages of a PDF one below the other, as QPdfView draws them, with what it leaves out:
// the hits of a search and a text selection drawn over the pages, copying, zoom with Ctrl and
// the wheel, and Page Up/Down, Home and End turning whole pages.
class PdfPageView : public QPdfView
{
    Q_OBJECT

public:
    explicit PdfPageView(QWidget* parent = nullptr);

    // Where a page lies in the scrolled document, in pixels; empty when there is no such page.
    QRect pageRect(int page) const;
    // The page under the top edge of the view, and how far down it that edge lies (0 to 1).
    int topPage() const;
    double placeOnTopPage() const;
    // The page being read: the one across the line two fifths down the view.
    int readingPage() const;
    // Scrolls so the top edge of the view lies `fraction` of the way down `page`.
    void showPlace(int page, double fraction = 0);
    // Brings a rectangle of a page (in points) into view.
    void showArea(int page, const QRectF& area);
    // Pixels per point on screen now, whatever the zoom mode.
    qreal effectiveZoom() const;
    // Changes the zoom keeping the place on the page on top.
    void zoomTo(ZoomMode mode, qreal factor = 1);
    void zoomBy(qreal factor);

    void setSearchModel(QPdfSearchModel* model);
    void setCurrentHit(int index)
    {
        currentHit = index;
        viewport()->update();
    }
    QString selectedText() const { return selection ? selection->text() : QString(); }
    void copySelection() const;
    void clearSelection();

Q_SIGNALS:
    void placeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Layout
    {
        QSize viewport;
        ZoomMode mode = ZoomMode::Custom;
        qreal zoom = 0;
        int pageCount = -1;
        QList<QRect> pages;
    };
    const QList<QRect>& pages() const;
    int pageAt(const QPoint& viewportPos) const;
    QPointF toPagePoints(int page, const QPoint& viewportPos) const;
    QPolygonF toViewport(int page, const QPolygonF& points) const;

    mutable Layout layout;
    qreal screenResolution = 1;
    // The place kept across zoom and size changes; followed while the reader scrolls.
    int anchorPage = 0;
    double anchorFraction = 0;
    bool tracking = true;
    QPdfSearchModel* search = nullptr;
    int currentHit = -1;
    int selectionPage = -1;
    QPointF selectionStart;
    std::optional<QPdfSelection> selection;
};
