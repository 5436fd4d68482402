#include "WindowState.h"

#include "ui_MainWindow.h"

#include "ItemViews.h"
#include "LibrarySettings.h"

#include <QScreen>
#include <QStyle>

void WindowState::restore(QMainWindow* window, Ui::MainWindow* ui)
{
    LibrarySettings settings;
    if (!window->restoreGeometry(settings.windowGeometry())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            const QSize size = available.size() * 2 / 3;
            window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
        }
    }
    ui->splitter->restoreState(settings.splitterState());
    ui->vSplitter->restoreState(settings.vSplitterState());
    auto* books = qobject_cast<ItemViews*>(ui->tabWidget->widget(0));
    if (!books) {
        return;
    }
    QList<int> widths;
    for (const QVariant& width : settings.columnWidths()) {
        widths << width.toInt();
    }
    books->setColumnWidths(widths);
    if (settings.viewMode() == 1 && books->getCurrentView() != 1) {
        ui->actionView->setChecked(false);
        ui->actionView->trigger(); // checks it, and the window switches the view
    }
}

void WindowState::save(const QMainWindow* window, const Ui::MainWindow* ui)
{
    LibrarySettings settings;
    settings.setWindowGeometry(window->saveGeometry());
    settings.setSplitterState(ui->splitter->saveState());
    settings.setVSplitterState(ui->vSplitter->saveState());
    if (auto* books = qobject_cast<ItemViews*>(ui->tabWidget->widget(0))) {
        QVariantList widths;
        for (int width : books->columnWidths()) {
            widths << width;
        }
        settings.setColumnWidths(widths);
        settings.setViewMode(books->getCurrentView());
    }
}
