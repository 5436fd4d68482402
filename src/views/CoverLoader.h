#pragma once

#include <QFutureWatcher>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QStringList>

// Turns cover files into grid icons 128 pixels high. Decoding and scaling run on the thread
// pool, once per file version; the answer comes back as coverReady on the GUI thread.
class CoverLoader : public QObject
{
    Q_OBJECT

public:
    explicit CoverLoader(QObject* parent = nullptr);
    ~CoverLoader() override;

    // The icon when it is known already (the placeholder for an empty path or a resource that
    // does not load); otherwise a null icon, and coverReady(path, icon) follows.
    QIcon cover(const QString& path);
    static QIcon placeholder();
    // Decodes and scales one cover; a null image when the file is not a readable image.
    static QImage scaledCover(const QString& path);
    static constexpr int coverHeight = 128;

Q_SIGNALS:
    void coverReady(const QString& path, const QIcon& icon);

private:
    void startNextBatch();
    void takeResult(int index);

    struct Decoded
    {
        QString path;
        QImage image;
    };

    QStringList queue;
    QSet<QString> queued;
    QStringList batch;
    bool busy = false;
    QFutureWatcher<Decoded>* watcher;
};
