#include "PdfPageView.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfLink>
#include <QPdfSearchModel>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

PdfPageView::PdfPageView(QWidget* parent) : QPdfView(parent)
{
    // QPdfView sizes pages by the primary screen's logical resolution; so do the overlays.
    screenResolution = QGuiApplication::primaryScreen()->logicalDotsPerInch() / 72.0;
    setPageMode(PageMode::MultiPage);
    setZoomMode(ZoomMode::FitToWidth);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
}

// The same arithmetic QPdfView lays its pages out with: each page scaled by the zoom mode and
// rounded to whole pixels, centred across the widest page, one below the other.
const QList<QRect>& PdfPageView::pages() const
{
    QPdfDocument* pdf = document();
    const int count = pdf && pdf->status() == QPdfDocument::Status::Ready ? pdf->pageCount() : 0;
    const QSize size = viewport()->size();
    if (layout.pageCount == count && layout.viewport == size && layout.mode == zoomMode() &&
        layout.zoom == zoomFactor()) {
        return layout.pages;
    }
    layout = Layout{size, zoomMode(), zoomFactor(), count, {}};
    const QMargins margins = documentMargins();
    int widest = 0;
    QList<QSize> sizes;
    sizes.reserve(count);
    for (int page = 0; page < count; ++page) {
        const QSizeF points = pdf->pagePointSize(page) * screenResolution;
        QSize pageSize;
        if (zoomMode() == ZoomMode::Custom) {
            pageSize = QSizeF(points * zoomFactor()).toSize();
        } else if (zoomMode() == ZoomMode::FitToWidth) {
            pageSize = points.toSize();
            pageSize *= qreal(size.width() - margins.left() - margins.right()) / qreal(pageSize.width());
        } else {
            const QSize room = size + QSize(-margins.left() - margins.right(), -pageSpacing());
            pageSize = points.toSize().scaled(room, Qt::KeepAspectRatio);
        }
        widest = std::max(widest, pageSize.width());
        sizes << pageSize;
    }
    const int width = std::max(widest + margins.left() + margins.right(), size.width());
    int y = margins.top();
    layout.pages.reserve(count);
    for (const QSize& pageSize : std::as_const(sizes)) {
        layout.pages << QRect(QPoint((width - pageSize.width()) / 2, y), pageSize);
        y += pageSize.height() + pageSpacing();
    }
    return layout.pages;
}

QRect PdfPageView::pageRect(int page) const
{
    const QList<QRect>& all = pages();
    return page >= 0 && page < all.size() ? all.at(page) : QRect();
}

// The top edge is read a margin's height down, so a page scrolled to with its margin showing
// counts as the page on top.
int PdfPageView::topPage() const
{
    const QList<QRect>& all = pages();
    const int probe = verticalScrollBar()->value() + documentMargins().top();
    const auto below =
        std::lower_bound(all.cbegin(), all.cend(), probe, [](const QRect& rect, int y) { return rect.bottom() < y; });
    return all.isEmpty() ? -1 : int(std::min<qsizetype>(below - all.cbegin(), all.size() - 1));
}

int PdfPageView::readingPage() const
{
    const QList<QRect>& all = pages();
    const int line = verticalScrollBar()->value() + viewport()->height() * 2 / 5;
    const auto below =
        std::lower_bound(all.cbegin(), all.cend(), line, [](const QRect& rect, int y) { return rect.bottom() < y; });
    return all.isEmpty() ? -1 : int(std::min<qsizetype>(below - all.cbegin(), all.size() - 1));
}

double PdfPageView::placeOnTopPage() const
{
    const QRect rect = pageRect(topPage());
    if (rect.isEmpty()) {
        return 0;
    }
    const int probe = verticalScrollBar()->value() + documentMargins().top();
    return std::clamp(double(probe - rect.top()) / rect.height(), 0.0, 1.0);
}

void PdfPageView::showPlace(int page, double fraction)
{
    const QRect rect = pageRect(std::clamp(page, 0, int(pages().size()) - 1));
    if (rect.isEmpty()) {
        return;
    }
    anchorPage = std::clamp(page, 0, int(pages().size()) - 1);
    anchorFraction = std::clamp(fraction, 0.0, 1.0);
    {
        const QSignalBlocker quiet(this);
        verticalScrollBar()->setValue(rect.top() + qRound(anchorFraction * rect.height()) - documentMargins().top());
    }
    Q_EMIT placeChanged();
}

void PdfPageView::showArea(int page, const QRectF& area)
{
    const QRect rect = pageRect(page);
    const QSizeF points = document() ? document()->pagePointSize(page) : QSizeF();
    if (rect.isEmpty() || points.isEmpty()) {
        return;
    }
    const int top = rect.top() + qRound(area.top() * rect.height() / points.height());
    const int bottom = rect.top() + qRound(area.bottom() * rect.height() / points.height());
    QScrollBar* bar = verticalScrollBar();
    if (top < bar->value() || bottom > bar->value() + viewport()->height()) {
        // The hit goes a third of the way down, with the lines before it in sight.
        bar->setValue(top - viewport()->height() / 3);
    }
    const int left = rect.left() + qRound(area.left() * rect.width() / points.width());
    if (left < horizontalScrollBar()->value() || left > horizontalScrollBar()->value() + viewport()->width()) {
        horizontalScrollBar()->setValue(left - viewport()->width() / 3);
    }
}

qreal PdfPageView::effectiveZoom() const
{
    const int page = std::max(topPage(), 0);
    const QRect rect = pageRect(page);
    if (rect.isEmpty() || !document()) {
        return zoomFactor();
    }
    return rect.width() / (document()->pagePointSize(page).width() * screenResolution);
}

void PdfPageView::zoomTo(ZoomMode mode, qreal factor)
{
    const int page = anchorPage;
    const double fraction = anchorFraction;
    tracking = false;
    setZoomFactor(std::clamp(factor, 0.1, 8.0));
    setZoomMode(mode);
    tracking = true;
    showPlace(page, fraction);
}

void PdfPageView::zoomBy(qreal factor)
{
    zoomTo(ZoomMode::Custom, effectiveZoom() * factor);
}

void PdfPageView::setSearchModel(QPdfSearchModel* model)
{
    search = model;
    currentHit = -1;
    viewport()->update();
}

void PdfPageView::copySelection() const
{
    if (selection && !selection->text().isEmpty()) {
        selection->copyToClipboard();
    }
}

void PdfPageView::clearSelection()
{
    selection.reset();
    selectionPage = -1;
    viewport()->update();
}

int PdfPageView::pageAt(const QPoint& viewportPos) const
{
    const QPoint at = viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QList<QRect>& all = pages();
    const auto below =
        std::lower_bound(all.cbegin(), all.cend(), at.y(), [](const QRect& rect, int y) { return rect.bottom() < y; });
    return below != all.cend() && below->contains(at) ? int(below - all.cbegin()) : -1;
}

QPointF PdfPageView::toPagePoints(int page, const QPoint& viewportPos) const
{
    const QRect rect = pageRect(page);
    const QSizeF points = document()->pagePointSize(page);
    const QPointF at =
        viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()) - rect.topLeft();
    return QPointF(at.x() * points.width() / rect.width(), at.y() * points.height() / rect.height());
}

QPolygonF PdfPageView::toViewport(int page, const QPolygonF& points) const
{
    const QRect rect = pageRect(page);
    const QSizeF size = document()->pagePointSize(page);
    QTransform transform;
    transform.translate(rect.left() - horizontalScrollBar()->value(), rect.top() - verticalScrollBar()->value());
    transform.scale(rect.width() / size.width(), rect.height() / size.height());
    return transform.map(points);
}

void PdfPageView::paintEvent(QPaintEvent* event)
{
    QPdfView::paintEvent(event);
    if (!document() || (!search && !selection)) {
        return;
    }
    QPainter painter(viewport());
    painter.setPen(Qt::NoPen);
    const int first = std::max(topPage() - 1, 0);
    const int visibleBottom = verticalScrollBar()->value() + viewport()->height();
    const QPdfLink current = search && currentHit >= 0 ? search->resultAtIndex(currentHit) : QPdfLink();
    for (int page = first; page < pages().size() && pages().at(page).top() <= visibleBottom; ++page) {
        if (search) {
            const QList<QPdfLink> hits = search->resultsOnPage(page);
            for (const QPdfLink& hit : hits) {
                const bool isCurrent =
                    current.isValid() && current.page() == page && current.rectangles() == hit.rectangles();
                painter.setBrush(isCurrent ? QColor(255, 140, 0, 140) : QColor(255, 230, 0, 110));
                for (const QRectF& area : hit.rectangles()) {
                    painter.drawPolygon(toViewport(page, QPolygonF(area)));
                }
            }
        }
        if (selection && selectionPage == page) {
            painter.setBrush(QColor(48, 140, 198, 90));
            for (const QPolygonF& area : selection->bounds()) {
                painter.drawPolygon(toViewport(page, area));
            }
        }
    }
}

void PdfPageView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            zoomBy(std::pow(1.1, steps));
        }
        event->accept();
        return;
    }
    QPdfView::wheelEvent(event);
}

void PdfPageView::keyPressEvent(QKeyEvent* event)
{
    const int page = readingPage();
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->key() == Qt::Key_PageDown) {
        showPlace(page + 1);
    } else if (event->key() == Qt::Key_PageUp) {
        // Back to the top of this page first, as a reader turning back expects.
        showPlace(topPage() == page && placeOnTopPage() > 0.01 ? page : page - 1);
    } else if (event->key() == Qt::Key_Home && !(event->modifiers() & Qt::ShiftModifier)) {
        showPlace(0);
    } else if (event->key() == Qt::Key_End && !(event->modifiers() & Qt::ShiftModifier)) {
        showPlace(int(pages().size()) - 1);
    } else {
        QPdfView::keyPressEvent(event);
    }
}

void PdfPageView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QPdfView::mousePressEvent(event);
        return;
    }
    clearSelection();
    selectionPage = pageAt(event->position().toPoint());
    if (selectionPage >= 0) {
        selectionStart = toPagePoints(selectionPage, event->position().toPoint());
    }
}

void PdfPageView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || selectionPage < 0 || !document()) {
        return;
    }
    // A selection stays on the page it began on.
    const QPdfSelection chosen = document()->getSelection(selectionPage, selectionStart,
                                                          toPagePoints(selectionPage, event->position().toPoint()));
    if (chosen.isValid()) {
        selection = chosen;
    } else {
        selection.reset();
    }
    viewport()->update();
}

void PdfPageView::mouseReleaseEvent(QMouseEvent* event)
{
    mouseMoveEvent(event);
}

void PdfPageView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("Copy"), this, &PdfPageView::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(!selectedText().isEmpty());
    menu.exec(event->globalPos());
}

void PdfPageView::resizeEvent(QResizeEvent* event)
{
    // The place on the page stays in view whatever the new width makes of the pages.
    const int page = anchorPage;
    const double fraction = anchorFraction;
    tracking = false;
    QPdfView::resizeEvent(event);
    tracking = true;
    showPlace(page, fraction);
}

void PdfPageView::scrollContentsBy(int dx, int dy)
{
    QPdfView::scrollContentsBy(dx, dy);
    if (tracking && !pages().isEmpty()) {
        anchorPage = topPage();
        anchorFraction = placeOnTopPage();
        Q_EMIT placeChanged();
    }
}
