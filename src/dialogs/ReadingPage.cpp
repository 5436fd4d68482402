#include "ReadingPage.h"

#include "ui_ReadingPage.h"

#include "LibrarySettings.h"

ReadingPage::ReadingPage(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::ReadingPage>())
{
    ui->setupUi(this);
    const bool desktop = LibrarySettings().pdfInDesktopViewer();
    ui->readerButton->setChecked(!desktop);
    ui->desktopButton->setChecked(desktop);
    connect(ui->desktopButton, &QRadioButton::toggled, this,
            [](bool checked) { LibrarySettings().setPdfInDesktopViewer(checked); });
}

ReadingPage::~ReadingPage() = default;
