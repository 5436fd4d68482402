#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TableButton;
}

// The buttons of one import row: take part in the import, download its data, import it as it
// is, open its file.
class TableButton : public QWidget
{
    Q_OBJECT

public:
    explicit TableButton(QWidget* parent = nullptr);
    ~TableButton() override;

    void setChecked(bool value) { checked = value; }
    bool getChecked() const { return checked; }
    void toggleChecked();
    void setRow(int value) { row = value; }
    int getRow() const { return row; }
    void setFilePath(const QString& path) { filePath = path; }
    QString getFilePath() const { return filePath; }

Q_SIGNALS:
    void downloadData(int row);
    void importWithoutLookUp(int row);

public Q_SLOTS:
    void on_btnChecked_toggled(bool isChecked);
    void on_toolButton_clicked();
    void on_importPlain_clicked();
    void on_bookOpen_clicked();

private:
    std::unique_ptr<Ui::TableButton> ui;
    QString filePath;
    int row = -1;
    bool checked = true;
};
