#include "Preferences.h"

#include "ConfigApps.h"
#include "ConfigDialog.h"
#include "PathsPage.h"
#include "Prompt.h"
#include "ReadingPage.h"
#include "SharingPage.h"
#include "Version.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLayout>
#include <QPushButton>

void Preferences::run(QWidget* parent)
{
    ConfigDialog dialog(parent);
    dialog.setWindowTitle(tr("Preferences"));
    dialog.addPage(new ConfigApps(&dialog), QIcon(":/icons/icons/48x48/apps.png"), tr("Apps"));
    dialog.addPage(new PathsPage(&dialog), QIcon(":/icons/icons/48x48/folder.png"), tr("Paths"));
    dialog.addPage(new ReadingPage(&dialog), QIcon(":/icons/icons/48x48/reading.png"), tr("Reading"));
    dialog.addPage(new SharingPage(&dialog), QIcon(":/icons/icons/48x48/sharing.png"), tr("Sharing"));
    for (int i = 0; i < dialog.count(); ++i) {
        dialog.page(i)->layout()->setContentsMargins(0, 0, 0, 0);
        dialog.page(i)->layout()->setSpacing(0);
    }
    QDialogButtonBox* buttons = dialog.dialogButtonBox();
    buttons->removeButton(buttons->button(QDialogButtonBox::Ok));
    QObject::connect(buttons->addButton(QDialogButtonBox::Save), &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.setMinimumSize(700, 500);
    dialog.exec();
}

void Preferences::showCredits(QWidget* parent)
{
    Prompt::about(parent, tr("Credits"),
                  tr("<p>Lirenta is built with these free parts, thanks to their authors:</p><ul>"
                     "<li><b>Qt 6</b> (Widgets, SQL, Network, WebEngine, PDF): LGPL 3</li>"
                     "<li><b>Chromium</b>, inside Qt WebEngine: BSD and other free licences</li>"
                     "<li><b>SQLite</b>: public domain</li>"
                     "<li><b>QuaZip</b> and <b>zlib</b>: LGPL 2.1 with static linking exception; zlib licence</li>"
                     "<li><b>Breeze icons</b> from KDE: LGPL 3</li>"
                     "<li><b>Calibre</b>'s ebook-convert, run as a separate program for conversions: GPL 3</li></ul>"));
}

void Preferences::showAbout(QWidget* parent)
{
    Prompt::about(parent, tr("About Lirenta"),
                  tr("<center><b>Lirenta</b> by Quemark<hr>Version %1<hr><a href=\"%2\">Website</a></center>")
                      .arg(QStringLiteral(LIRENTA_VERSION_LABEL), QStringLiteral("https://lirenta.org/")));
}
