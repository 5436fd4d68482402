#include "Prompt.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPushButton>

bool Prompt::s_scripted = false;
bool Prompt::s_ended = false;
QQueue<QMessageBox::StandardButton> Prompt::s_answers;
QStringList Prompt::s_shown;
QQueue<QString> Prompt::s_fileNames;
QQueue<QString> Prompt::s_texts;
QQueue<int> Prompt::s_choices;
QQueue<std::function<void(QDialog*)>> Prompt::s_dialogAnswers;

QWidget* Prompt::shownOwner(QWidget* parent)
{
    // A dialog centres on its parent: one not on screen yet (a dialog about to open) gives
    // way to the window under it.
    QWidget* owner = parent;
    while (owner && !owner->isVisible() && owner->parentWidget()) {
        owner = owner->parentWidget();
    }
    return owner && owner->isVisible() ? owner : parent;
}

QMessageBox::StandardButton Prompt::ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton, const QString& informativeText,
                                        const QString& detailedText,
                                        const QMap<QMessageBox::StandardButton, QString>& buttonTexts)
{
    if (s_ended) {
        return defaultButton;
    }
    if (s_scripted) {
        s_shown << (informativeText.isEmpty() ? text : text + QLatin1Char('\n') + informativeText);
        if (!s_answers.isEmpty()) {
            return s_answers.dequeue();
        }
        return defaultButton != QMessageBox::NoButton ? defaultButton : QMessageBox::NoButton;
    }
    QMessageBox box(icon, title, text, buttons, shownOwner(parent));
    box.setInformativeText(informativeText);
    box.setDetailedText(detailedText);
    // Buttons named for what they do; a scripted answer names the standard button.
    for (auto it = buttonTexts.cbegin(); it != buttonTexts.cend(); ++it) {
        if (QAbstractButton* button = box.button(it.key())) {
            button->setText(it.value());
        }
    }
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    return QMessageBox::StandardButton(box.exec());
}

QMessageBox::StandardButton Prompt::confirm(QWidget* parent, const QString& title, const QString& text,
                                            const QString& informativeText, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Question, title, text, buttons, defaultButton, informativeText);
}

bool Prompt::proceed(QWidget* parent, const QString& title, const QString& text, const QString& proceedText)
{
    if (s_scripted || s_ended) {
        return ask(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::Cancel,
                   QMessageBox::Cancel) == QMessageBox::Yes;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, shownOwner(parent));
    QPushButton* go = box.addButton(proceedText, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == go;
}

QMessageBox::StandardButton Prompt::question(QWidget* parent, const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Question, title, text, buttons, defaultButton);
}

bool Prompt::confirmDelete(QWidget* parent, const QStringList& titles)
{
    // The question names what goes: the item, or how many.
    QString text = tr("You have requested to delete one or more items.");
    if (titles.size() == 1) {
        text += QStringLiteral("\n\n\u201C") + titles.first() + QStringLiteral("\u201D");
    } else if (titles.size() > 1) {
        text += QStringLiteral("\n\n") + tr("%1 items").arg(titles.size());
    }
    return confirm(parent, tr("Delete"), text,
                   tr("Are you sure you want to delete these items? No files will be deleted!"),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void Prompt::information(QWidget* parent, const QString& title, const QString& text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompt::about(QWidget* parent, const QString& title, const QString& text)
{
    if (s_scripted || s_ended) {
        ask(parent, QMessageBox::NoIcon, title, text, QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    QMessageBox::about(shownOwner(parent), title, text);
}

void Prompt::warning(QWidget* parent, const QString& title, const QString& text)
{
    ask(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompt::critical(QWidget* parent, const QString& title, const QString& text)
{
    ask(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

QString Prompt::openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (s_ended) {
        return QString();
    }
    if (s_scripted) {
        s_shown << caption;
        return s_fileNames.isEmpty() ? QString() : s_fileNames.dequeue();
    }
    return QFileDialog::getOpenFileName(shownOwner(parent), caption, dir, filter);
}

QString Prompt::existingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    if (s_ended) {
        return QString();
    }
    if (s_scripted) {
        s_shown << caption;
        return s_fileNames.isEmpty() ? QString() : s_fileNames.dequeue();
    }
    // A file's path (as older settings kept) starts in the file's folder.
    const QFileInfo start(dir);
    return QFileDialog::getExistingDirectory(shownOwner(parent), caption, start.isFile() ? start.absolutePath() : dir);
}

QString Prompt::password(QWidget* parent, const QString& title, const QString& label)
{
    if (s_ended) {
        return QString();
    }
    if (s_scripted) {
        s_shown << label;
        return s_texts.isEmpty() ? QString() : s_texts.dequeue();
    }
    bool ok = false;
    const QString text = QInputDialog::getText(shownOwner(parent), title, label, QLineEdit::Password, QString(), &ok);
    return ok ? text : QString();
}

void Prompt::queueText(const QString& text)
{
    s_texts.enqueue(text);
}

int Prompt::chooseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items)
{
    if (s_ended) {
        return -1;
    }
    if (s_scripted) {
        s_shown << label + QLatin1Char('\n') + items.join(QLatin1Char('\n'));
        return s_choices.isEmpty() ? 0 : s_choices.dequeue();
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(shownOwner(parent), title, label, items, 0, false, &ok);
    return ok ? int(items.indexOf(chosen)) : -1;
}

int Prompt::exec(QDialog* dialog)
{
    if (s_ended) {
        return QDialog::Rejected;
    }
    if (!s_scripted) {
        return dialog->exec();
    }
    s_shown << dialog->windowTitle();
    if (s_dialogAnswers.isEmpty()) {
        return QDialog::Rejected;
    }
    const std::function<void(QDialog*)> answer = s_dialogAnswers.dequeue();
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->show();
    answer(dialog);
    if (dialog->isVisible()) {
        loop.exec();
    }
    return dialog->result();
}

void Prompt::queueDialogAnswer(const std::function<void(QDialog*)>& answer)
{
    s_dialogAnswers.enqueue(answer);
}

void Prompt::endQuestions()
{
    s_ended = true;
    // Each open question runs a loop of its own; closing the innermost lets the asker go on,
    // and the askers below it find every later question answered.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal) {
            modal->hide();
        }
    }
}

void Prompt::queueChoice(int index)
{
    s_choices.enqueue(index);
}

void Prompt::queueFileName(const QString& path)
{
    s_fileNames.enqueue(path);
}

void Prompt::setScripted(bool scripted)
{
    s_scripted = scripted;
}

void Prompt::queueAnswer(QMessageBox::StandardButton answer)
{
    s_answers.enqueue(answer);
}

QStringList Prompt::shownTexts()
{
    return s_shown;
}

void Prompt::clearShownTexts()
{
    s_shown.clear();
}
