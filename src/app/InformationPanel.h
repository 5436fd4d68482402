#pragma once

#include <QTextBrowser>

class ContentIndex;
struct ViewItem;

// The information panel: shows the selected item. Descriptions are HTML from outside, so the
// panel loads no files but the item's cover and the program's own resources, and follows no
// link itself; web links go to the desktop's browser.
class InformationPanel : public QTextBrowser
{
    Q_OBJECT

public:
    explicit InformationPanel(QWidget* parent = nullptr);

    // With `insideTerms`, the places in the book's file that hold them follow, up to three, each
    // a link to its page or chapter; a book whose words cannot be searched says so. True when
    // places were found.
    bool showItem(const ViewItem* item, ContentIndex* index = nullptr, const QString& insideTerms = QString());
    QVariant loadResource(int type, const QUrl& name) override;

Q_SIGNALS:
    // A place found inside a book was clicked: its page or chapter (from 0), and the words.
    void foundPlaceChosen(const QString& path, int number, const QStringList& words);

private Q_SLOTS:
    void followLink(const QUrl& link);

private:
    QString foundInside(const ViewItem* item, ContentIndex& index, const QString& terms) const;

    QString coverFile;
};
