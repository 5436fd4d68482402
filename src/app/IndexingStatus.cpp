#include "IndexingStatus.h"

#include "ui_IndexingStatus.h"

#include "Book.h"
#include "ContentIndexer.h"
#include "MainWindow.h"
#include "WebPage.h"

#include <QLocale>
#include <QTimer>

IndexingStatus::IndexingStatus(ContentIndexer& indexer, MainWindow* window)
    : QWidget(window), ui(std::make_unique<Ui::IndexingStatus>()), indexer(indexer)
{
    ui->setupUi(this);
    connect(ui->pauseButton, &QToolButton::clicked, this, [this] {
        this->indexer.setPaused(!this->indexer.isPaused());
        update();
    });
    connect(&indexer, &ContentIndexer::progress, this, &IndexingStatus::update);
    connect(&indexer, &ContentIndexer::finished, this, &IndexingStatus::update);
    connect(window, &MainWindow::bookAdded, &indexer, &ContentIndexer::rescan);
    connect(window, &MainWindow::webPageAdded, &indexer, &ContentIndexer::rescan);
    connect(window, &MainWindow::deleteItemFromViews, &indexer, &ContentIndexer::rescan);
    // Files changed by other programs, or through a book's properties, are found too.
    auto* rescan = new QTimer(this);
    connect(rescan, &QTimer::timeout, &indexer, &ContentIndexer::rescan);
    rescan->start(60000);
    update();
}

IndexingStatus::~IndexingStatus() = default;

QString IndexingStatus::text() const
{
    return ui->label->text();
}

void IndexingStatus::update()
{
    const int done = indexer.doneCount();
    const int total = indexer.totalCount();
    const bool paused = indexer.isPaused();
    const QLocale locale;
    if (paused) {
        ui->label->setText(tr("Indexing books paused: %1 of %2").arg(locale.toString(done), locale.toString(total)));
    } else {
        ui->label->setText(tr("Indexing books: %1 of %2").arg(locale.toString(done), locale.toString(total)));
    }
    ui->pauseButton->setText(paused ? tr("Resume") : tr("Pause"));
    setVisible(indexer.isRunning() && (paused || done < total));
}
