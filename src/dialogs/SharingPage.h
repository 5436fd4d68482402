#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

namespace Ui {
class SharingPage;
}

// Preferences: sharing the library on the local network, off until turned on. The port, the
// password (made at first use, shown, changeable), and the address to type on the other
// device as text and as a QR code. A change takes effect at once.
class SharingPage : public QWidget
{
    Q_OBJECT

public:
    explicit SharingPage(QWidget* parent = nullptr);
    ~SharingPage() override;

    // `text` as a QR code, each module `scale` pixels, with a quiet zone.
    static QImage qrCode(const QString& text, int scale = 4);

private:
    void save();
    void showAddress();

    std::unique_ptr<Ui::SharingPage> ui;
};
