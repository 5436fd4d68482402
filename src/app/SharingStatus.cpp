#include "SharingStatus.h"

#include "LibraryDatabase.h"
#include "LibraryServer.h"
#include "LibrarySettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRandomGenerator>
#include <QToolButton>

SharingStatus::SharingStatus(LibraryDatabase& library, QWidget* parent)
    : QWidget(parent), library(library), sharing(new LibraryServer(library, this)), label(new QLabel(this))
{
    setObjectName(QStringLiteral("sharingStatus"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* off = new QToolButton(this);
    off->setObjectName(QStringLiteral("stopSharing"));
    off->setText(tr("Stop Sharing"));
    off->setAutoRaise(true);
    layout->addWidget(label);
    layout->addWidget(off);
    connect(off, &QToolButton::clicked, this, [this] {
        LibrarySettings().setSharingOn(false);
        apply();
    });
    apply();
}

SharingStatus::~SharingStatus() = default;

QString SharingStatus::apply()
{
    LibrarySettings settings;
    QString problem;
    if (settings.sharingOn() && library.isOpen() && !library.isReadOnly()) {
        if (settings.sharingPassword().isEmpty()) {
            settings.setSharingPassword(LibraryServer::newPassword());
        }
        const LibraryServer::Reach reach =
            settings.sharingPublic() ? LibraryServer::Reach::PublicToo : LibraryServer::Reach::LocalNetwork;
        if (!sharing->isRunning() || sharing->port() != settings.sharingPort() ||
            !sharing->hasPassword(settings.sharingPassword()) || sharing->reach() != reach) {
            sharing->start(quint16(settings.sharingPort()), settings.sharingPassword(), &problem, reach);
        }
    } else {
        sharing->stop();
    }
    label->setText(sharing->reach() == LibraryServer::Reach::PublicToo
                       ? tr("Sharing at %1, public addresses too").arg(address())
                       : tr("Sharing at %1").arg(address()));
    setVisible(sharing->isRunning());
    return problem;
}

QString SharingStatus::address() const
{
    const LibrarySettings settings;
    const LibraryServer::Reach reach =
        settings.sharingPublic() ? LibraryServer::Reach::PublicToo : LibraryServer::Reach::LocalNetwork;
    return QStringLiteral("http://%1:%2/").arg(LibraryServer::localAddress(reach)).arg(settings.sharingPort());
}
