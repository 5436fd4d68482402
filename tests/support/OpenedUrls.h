#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Records what the desktop opener was asked to open (install with QDesktopServices::setUrlHandler).
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};
