#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class IndexingStatus;
}

class ContentIndexer;
class MainWindow;

// The status bar's word on reading the books' words for searching inside them: how far it
// got ("Indexing books: 1,234 of 10,000"), with Pause and Resume. Hidden when all is read.
class IndexingStatus : public QWidget
{
    Q_OBJECT

public:
    // Books the window adds or deletes are taken in (or dropped) as they come.
    IndexingStatus(ContentIndexer& indexer, MainWindow* window);
    ~IndexingStatus() override;

    QString text() const;

private:
    void update();

    std::unique_ptr<Ui::IndexingStatus> ui;
    ContentIndexer& indexer;
};
