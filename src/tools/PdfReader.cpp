#include "PdfReader.h"

#include "ui_PdfReader.h"

#include "ItemFile.h"
#include "Logging.h"
#include "PdfPageView.h"
#include "Prompt.h"
#include "ReadingPosition.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfLink>
#include <QPdfSearchModel>
#include <QScrollBar>
#include <QShortcut>

PdfReader::PdfReader(QWidget* parent, const QString& path)
    : ReaderTab(parent, path), ui(std::make_unique<Ui::PdfReader>()), pdf(new QPdfDocument(this))
{
    ui->setupUi(this);
    ui->splitter->setStretchFactor(1, 1);
    ui->splitter->setSizes({220, 700});
    ui->outline->hide();
    load();
    if (!problem.isEmpty()) {
        return;
    }
    ui->pdfView->setDocument(pdf);
    bookmarks = new QPdfBookmarkModel(this);
    bookmarks->setDocument(pdf);
    ui->outline->setModel(bookmarks);
    const bool hasContents = bookmarks->rowCount() > 0;
    ui->btnContents->setEnabled(hasContents);
    ui->btnContents->setChecked(hasContents);
    ui->outline->setVisible(hasContents);
    connect(ui->btnContents, &QToolButton::toggled, ui->outline, &QWidget::setVisible);
    connect(ui->outline, &QTreeView::activated, this, &PdfReader::outlineClicked);
    connect(ui->outline, &QTreeView::clicked, this, &PdfReader::outlineClicked);

    search = new QPdfSearchModel(this);
    search->setDocument(pdf);
    ui->pdfView->setSearchModel(search);
    // The model finds matches page by page in the background; the count follows it.
    connect(search, &QAbstractItemModel::rowsInserted, this, &PdfReader::updateHitCount);
    connect(search, &QAbstractItemModel::modelReset, this, &PdfReader::updateHitCount);
    connect(ui->findField, &QLineEdit::textChanged, this, &PdfReader::find);
    connect(ui->findField, &QLineEdit::returnPressed, this, &PdfReader::findNext);
    connect(ui->btnFindNext, &QToolButton::clicked, this, &PdfReader::findNext);
    connect(ui->btnFindPrevious, &QToolButton::clicked, this, &PdfReader::findPrevious);
    const auto inTab = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    inTab(QKeySequence::FindNext, &PdfReader::findNext);
    inTab(QKeySequence::FindPrevious, &PdfReader::findPrevious);

    ui->pageBox->setMaximum(pdf->pageCount());
    ui->pageBox->setSuffix(QStringLiteral(" / %1").arg(pdf->pageCount()));
    connect(ui->pageBox, &QSpinBox::valueChanged, this, [this](int number) {
        if (number - 1 != currentPage()) {
            showPage(number - 1);
        }
    });
    connect(ui->pdfView, &PdfPageView::placeChanged, this, &PdfReader::updatePageBox);
    connect(ui->btnPreviousPage, &QToolButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(ui->btnNextPage, &QToolButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(ui->btnZoomIn, &QToolButton::clicked, this, [this] { ui->pdfView->zoomBy(1.25); });
    connect(ui->btnZoomOut, &QToolButton::clicked, this, [this] { ui->pdfView->zoomBy(0.8); });
    connect(ui->btnFitWidth, &QToolButton::clicked, this,
            [this] { ui->pdfView->zoomTo(QPdfView::ZoomMode::FitToWidth); });
    connect(ui->btnFitPage, &QToolButton::clicked, this,
            [this] { ui->pdfView->zoomTo(QPdfView::ZoomMode::FitInView); });
    connect(ui->pdfView, &QPdfView::zoomModeChanged, this, &PdfReader::updateZoom);
    connect(ui->pdfView, &QPdfView::zoomFactorChanged, this, &PdfReader::updateZoom);
    resume();
    updateZoom();
    updatePageBox();
    ui->pdfView->setFocus();
}

PdfReader::~PdfReader()
{
    keepPosition();
    // The view's renderer works on the document in a thread of its own: it goes first.
    delete ui->pdfView;
    delete search;
    delete bookmarks;
    delete pdf;
}

PdfPageView* PdfReader::view() const
{
    return ui->pdfView;
}

// A locked file asks for its password until it opens or the reader gives up; anything that
// is not a PDF Lirenta can show says so in the tab.
void PdfReader::load()
{
    QPdfDocument::Error error = pdf->load(bookPath());
    QString question =
        tr("%1 is protected by a password. Type it to open the book:").arg(QFileInfo(bookPath()).fileName());
    while (error == QPdfDocument::Error::IncorrectPassword) {
        const QString password = Prompt::password(this, tr("Password"), question);
        if (password.isEmpty()) {
            showProblem(tr("This PDF is protected by a password, and none was given."));
            return;
        }
        pdf->setPassword(password);
        error = pdf->load(bookPath());
        question = tr("That password did not open %1. Try again:").arg(QFileInfo(bookPath()).fileName());
    }
    switch (error) {
    case QPdfDocument::Error::None:
        if (pdf->pageCount() < 1) {
            showProblem(tr("This PDF has no pages to show."));
        }
        return;
    case QPdfDocument::Error::FileNotFound:
        showProblem(tr("The file %1 was not found.").arg(bookPath()));
        return;
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        showProblem(tr("This PDF is locked in a way Lirenta cannot open."));
        return;
    default:
        showProblem(tr("This PDF cannot be shown: the file is damaged, cut short or empty."));
        return;
    }
}

void PdfReader::showProblem(const QString& text)
{
    problem = text;
    qCDebug(lcTools) << "cannot show PDF:" << bookPath() << text;
    pdf->close();
    ui->problemLabel->setText(text);
    ui->pages->setCurrentWidget(ui->problemLabel);
    const QList<QWidget*> controls = {ui->btnContents, ui->btnPreviousPage, ui->pageBox,     ui->btnNextPage,
                                      ui->btnZoomOut,  ui->btnZoomIn,       ui->btnFitWidth, ui->btnFitPage,
                                      ui->findField,   ui->btnFindPrevious, ui->btnFindNext};
    for (QWidget* control : controls) {
        control->setEnabled(false);
    }
}

void PdfReader::focusFind()
{
    ui->findField->setFocus();
    ui->findField->selectAll();
}

int PdfReader::currentPage() const
{
    return std::max(ui->pdfView->readingPage(), 0);
}

void PdfReader::showPage(int page)
{
    if (problem.isEmpty()) {
        ui->pdfView->showPlace(std::clamp(page, 0, pdf->pageCount() - 1));
    }
}

void PdfReader::updatePageBox()
{
    const QSignalBlocker quiet(ui->pageBox);
    ui->pageBox->setValue(currentPage() + 1);
}

void PdfReader::updateZoom()
{
    const QPdfView::ZoomMode mode = ui->pdfView->zoomMode();
    ui->btnFitWidth->setChecked(mode == QPdfView::ZoomMode::FitToWidth);
    ui->btnFitPage->setChecked(mode == QPdfView::ZoomMode::FitInView);
    ui->zoomLabel->setText(QStringLiteral("%1%").arg(qRound(ui->pdfView->effectiveZoom() * 100)));
}

void PdfReader::outlineClicked(const QModelIndex& index)
{
    const int page = index.data(int(QPdfBookmarkModel::Role::Page)).toInt();
    const QPointF location = index.data(int(QPdfBookmarkModel::Role::Location)).toPointF();
    const QSizeF size = pdf->pagePointSize(page);
    ui->pdfView->showPlace(page, size.height() > 0 ? location.y() / size.height() : 0);
}

void PdfReader::find(const QString& text)
{
    currentHit = -1;
    ui->pdfView->setCurrentHit(-1);
    if (search) {
        search->setSearchString(text);
    }
    updateHitCount();
}

void PdfReader::findOnPage(const QString& text, int page)
{
    showPage(page);
    pendingHitPage = page;
    ui->findField->setText(text); // finds, and the first match on the page is shown as it comes
    updateHitCount();
}

int PdfReader::hitCount() const
{
    return search && !search->searchString().isEmpty() ? search->rowCount(QModelIndex()) : 0;
}

void PdfReader::updateHitCount()
{
    // The search runs page by page: a match on the page asked for becomes current once found.
    if (pendingHitPage >= 0 && search) {
        for (int index = 0; index < hitCount(); ++index) {
            if (search->resultAtIndex(index).page() == pendingHitPage) {
                pendingHitPage = -1;
                showHit(index);
                return;
            }
        }
    }
    const bool searching = search && !search->searchString().isEmpty();
    ui->findCount->setText(!searching ? QString()
                           : hitCount() == 0
                               ? tr("No matches")
                               : tr("%1 of %2")
                                     .arg(currentHit < 0 ? QStringLiteral("–") : QString::number(currentHit + 1))
                                     .arg(hitCount()));
    ui->pdfView->viewport()->update();
}

void PdfReader::findNext()
{
    if (hitCount() > 0) {
        showHit((currentHit + 1) % hitCount());
    }
}

void PdfReader::findPrevious()
{
    if (hitCount() > 0) {
        showHit(currentHit <= 0 ? hitCount() - 1 : currentHit - 1);
    }
}

void PdfReader::showHit(int index)
{
    currentHit = index;
    const QPdfLink hit = search->resultAtIndex(index);
    ui->pdfView->setCurrentHit(index);
    if (hit.isValid() && !hit.rectangles().isEmpty()) {
        ui->pdfView->showArea(hit.page(), hit.rectangles().first());
    }
    updateHitCount();
}

// The place kept is the page on top and how far down it, with the zoom or the fit chosen.
void PdfReader::resume()
{
    if (itemId() < 1) {
        return;
    }
    md5 = ItemFile(nullptr, bookPath()).getFileMd5();
    const ReadingPosition position = ReadingPosition::load(bookPath(), md5);
    if (!position.isValid()) {
        return;
    }
    if (position.zoom == ReadingPosition::FitPage) {
        ui->pdfView->setZoomMode(QPdfView::ZoomMode::FitInView);
    } else if (position.zoom > 0) {
        ui->pdfView->setZoomFactor(position.zoom);
        ui->pdfView->setZoomMode(QPdfView::ZoomMode::Custom);
    }
    ui->pdfView->showPlace(position.chapter.toInt(), position.scroll);
}

void PdfReader::keepPosition()
{
    if (itemId() < 1 || !problem.isEmpty() || md5.isEmpty()) {
        return;
    }
    ReadingPosition position;
    position.chapter = QString::number(std::max(ui->pdfView->topPage(), 0));
    position.scroll = ui->pdfView->placeOnTopPage();
    const QPdfView::ZoomMode mode = ui->pdfView->zoomMode();
    position.zoom = mode == QPdfView::ZoomMode::FitToWidth  ? ReadingPosition::FitWidth
                    : mode == QPdfView::ZoomMode::FitInView ? ReadingPosition::FitPage
                                                            : ui->pdfView->zoomFactor();
    ReadingPosition::save(bookPath(), md5, position);
}
