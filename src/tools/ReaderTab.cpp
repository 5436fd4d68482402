#include "ReaderTab.h"

#include "ReadingPosition.h"

#include <QFileInfo>

ReaderTab::ReaderTab(QWidget* parent, const QString& path) : QWidget(parent), path(QFileInfo(path).absoluteFilePath())
{
    iid = ReadingPosition::itemOf(path, &title);
}
