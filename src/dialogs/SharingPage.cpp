#include "SharingPage.h"

#include "ui_SharingPage.h"

#include "LibraryServer.h"
#include "LibrarySettings.h"

#include <QPainter>
#include <QPixmap>
#include <qrencode.h>

SharingPage::SharingPage(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::SharingPage>())
{
    ui->setupUi(this);
    LibrarySettings settings;
    if (settings.sharingPassword().isEmpty()) {
        settings.setSharingPassword(LibraryServer::newPassword());
    }
    ui->shareCheck->setChecked(settings.sharingOn());
    ui->portField->setValue(settings.sharingPort());
    ui->passwordField->setText(settings.sharingPassword());
    ui->publicCheck->setChecked(settings.sharingPublic());
    showAddress();
    connect(ui->shareCheck, &QCheckBox::toggled, this, &SharingPage::save);
    connect(ui->publicCheck, &QCheckBox::toggled, this, &SharingPage::save);
    connect(ui->portField, &QSpinBox::editingFinished, this, &SharingPage::save);
    connect(ui->passwordField, &QLineEdit::editingFinished, this, &SharingPage::save);
    connect(ui->newPasswordButton, &QPushButton::clicked, this, [this] {
        ui->passwordField->setText(LibraryServer::newPassword());
        save();
    });
}

SharingPage::~SharingPage() = default;

void SharingPage::save()
{
    LibrarySettings settings;
    settings.setSharingOn(ui->shareCheck->isChecked());
    settings.setSharingPort(ui->portField->value());
    settings.setSharingPublic(ui->publicCheck->isChecked());
    if (!ui->passwordField->text().trimmed().isEmpty()) {
        settings.setSharingPassword(ui->passwordField->text().trimmed());
    }
    // The window's sharing takes the change at once; it says when the port cannot be had.
    QString problem;
    QWidget* mainWindow = window()->parentWidget() ? window()->parentWidget()->window() : window();
    if (QObject* status = mainWindow->findChild<QObject*>(QStringLiteral("sharingStatus"))) {
        QMetaObject::invokeMethod(status, "apply", Q_RETURN_ARG(QString, problem));
    }
    ui->sharingProblem->setText(problem);
    showAddress();
}

void SharingPage::showAddress()
{
    const QString address =
        QStringLiteral("http://%1:%2/")
            .arg(LibraryServer::localAddress(ui->publicCheck->isChecked() ? LibraryServer::Reach::PublicToo
                                                                          : LibraryServer::Reach::LocalNetwork))
            .arg(ui->portField->value());
    ui->addressField->setText(address);
    ui->qrCode->setPixmap(QPixmap::fromImage(qrCode(address)));
    ui->qrCode->setEnabled(ui->shareCheck->isChecked());
    ui->publicWarning->setVisible(ui->publicCheck->isChecked());
}

QImage SharingPage::qrCode(const QString& text, int scale)
{
    QRcode* code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) {
        return QImage();
    }
    const int quiet = 4;
    const int side = (code->width + 2 * quiet) * scale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                painter.fillRect((x + quiet) * scale, (y + quiet) * scale, scale, scale, Qt::black);
            }
        }
    }
    painter.end();
    QRcode_free(code);
    return image;
}
