#pragma once

#include <QTextBrowser>

struct ViewItem;

// The information panel: shows the selected item. Descriptions are HTML from outside, so the
// panel loads no files but the item's cover and the program's own resources, and follows no
// link itself; web links go to the desktop's browser.
class InformationPanel : public QTextBrowser
{
    Q_OBJECT

public:
    explicit InformationPanel(QWidget* parent = nullptr);

    void showItem(const ViewItem* item);
    QVariant loadResource(int type, const QUrl& name) override;

private Q_SLOTS:
    void followLink(const QUrl& link);

private:
    QString coverFile;
};
