#include "ConversionWizard.h"

#include "ui_ConversionWizard.h"

#include "Item.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibrarySettings.h"
#include "Logging.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

ConversionWizard::ConversionWizard(QWidget* parent)
    : QWizard(parent), process(new QProcess(this)), ui(std::make_unique<Ui::ConversionWizard>())
{
    ui->setupUi(this);
    // Once the converter has started there is no way back, and none from the last page either.
    ui->wizardPage1->setCommitPage(true);
    ui->wizardPage->setCommitPage(true);
    setButtonText(QWizard::CommitButton, buttonText(QWizard::NextButton));
    connect(this, &QWizard::currentIdChanged, this, &ConversionWizard::next);
    connect(process, &QProcess::readyReadStandardOutput, this, &ConversionWizard::bytesWrite);
    connect(process, &QProcess::finished, this, &ConversionWizard::processFinished);
    connect(process, &QProcess::errorOccurred, this, &ConversionWizard::processFailedToStart);
}

ConversionWizard::~ConversionWizard()
{
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(3000);
    }
}

QString ConversionWizard::outputPathFor(const QString& path)
{
    static const QRegularExpression pdfSuffix(QStringLiteral("\\.pdf$"), QRegularExpression::CaseInsensitiveOption);
    if (!pdfSuffix.match(path).hasMatch()) {
        return QString();
    }
    return QString(path).replace(pdfSuffix, QStringLiteral(".epub"));
}

bool ConversionWizard::fitsFileSystem(const QString& path)
{
    // ".epub" is one byte longer than ".pdf", so a PDF with the longest name allowed has no
    // EPUB sibling; better said before Calibre runs than as its error afterwards.
    const QFileInfo info(path);
    long limit = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    if (limit <= 0) {
        limit = 255;
    }
    return QFile::encodeName(info.fileName()).size() <= limit;
}

QString ConversionWizard::converterPath()
{
    const QString configured = LibrarySettings().calibreConvertorPath();
    if (!configured.isEmpty() && QFileInfo(configured).isExecutable()) {
        return configured;
    }
    return QStandardPaths::findExecutable(QStringLiteral("ebook-convert"));
}

void ConversionWizard::convert(const QList<Item*>& records)
{
    items = records;
    success = false;
    inputPath.clear();
    outputPath.clear();
    ui->plainTextEdit->clear();
    ui->wizardPage2->setTitle(tr("Conversion Successful"));
    ui->wizardPage2->setSubTitle(tr("File was successfully converted to the target format."));
    // Only the first record is converted; it needs a file ending in ".pdf".
    QString problem;
    Item* item = items.value(0, nullptr);
    ItemFile* file = item ? item->getFiles()->getFirstFile() : nullptr;
    if (!file) {
        problem = tr("Choose one book with a PDF file to convert.");
    } else {
        inputPath = file->getAbsoluteFilePath();
        if (inputPath.isEmpty()) {
            inputPath = QFileInfo(file->getFilePath()).absoluteFilePath();
        }
        outputPath = outputPathFor(inputPath);
        if (outputPath.isEmpty()) {
            problem = tr("The book's file %1 is not a PDF file.").arg(inputPath);
        } else if (!fitsFileSystem(outputPath)) {
            problem = tr("The EPUB file's name would be longer than the file system allows. "
                         "Give %1 a shorter name, then convert it.")
                          .arg(inputPath);
        }
    }
    QString notice;
    if (problem.isEmpty() && QFileInfo::exists(outputPath) && !hasFile(item, outputPath)) {
        // Someone else's EPUB at that path is never overwritten: the new one takes a free name.
        const QString taken = outputPath;
        outputPath = freeOutputPath(taken);
        notice = tr("%1 is already there and stays as it is; the new EPUB will be %2.").arg(taken, outputPath);
    }
    ui->problemLabel->setText(problem.isEmpty() ? notice : problem);
    ui->wizardPage->setComplete(false);
    restart();
    // Without a PDF to convert there is nothing to go on to.
    ui->wizardPage1->setFinalPage(!problem.isEmpty());
    button(QWizard::CommitButton)->setEnabled(problem.isEmpty());
    exec();
}

void ConversionWizard::next()
{
    qCDebug(lcTools) << inputPath << outputPath << convertorPath;
    if (currentId() != 1) {
        return;
    }
    ui->wizardPage->setComplete(false);
    // Read now, so a location chosen in the preferences since start-up is used.
    convertorPath = converterPath();
    if (convertorPath.isEmpty()) {
        showOutcome(false, tr("Calibre's ebook-convert was not found. Set Calibre's location in the preferences."));
        return;
    }
    process->setWorkingDirectory(QFileInfo(convertorPath).absolutePath());
    qCDebug(lcTools) << "run";
    // Both paths are absolute, so neither can be taken for an option.
    process->start(convertorPath, {QFileInfo(inputPath).absoluteFilePath(), QFileInfo(outputPath).absoluteFilePath()},
                   QIODevice::ReadWrite);
}

void ConversionWizard::bytesWrite()
{
    const QByteArray bytes = process->readAllStandardOutput();
    const int zero = bytes.indexOf('\0');
    const QString text = QString::fromLatin1(zero < 0 ? bytes : bytes.left(zero)).trimmed();
    if (!text.isEmpty()) {
        ui->plainTextEdit->appendPlainText(text);
    }
}

void ConversionWizard::processFailedToStart(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart) {
        showOutcome(false, tr("The converter %1 could not be started: %2").arg(convertorPath, process->errorString()));
    }
}

void ConversionWizard::processFinished(int exitCode, QProcess::ExitStatus status)
{
    qCDebug(lcTools) << "process finished" << outputPath;
    bytesWrite();
    const bool ok = status == QProcess::NormalExit && exitCode == 0 && QFileInfo::exists(outputPath);
    if (!ok) {
        const QString errors = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        showOutcome(false, tr("The converter ended with exit status %1.%2")
                               .arg(status == QProcess::NormalExit ? exitCode : -1)
                               .arg(errors.isEmpty() ? QString() : QStringLiteral("\n") + errors.right(2000)));
        return;
    }
    Item* item = items.first();
    // Converting again refreshes the book's EPUB row instead of adding a second one.
    ItemFile* file = fileAt(item, outputPath);
    const bool added = !file;
    if (added) {
        file = item->addFile(outputPath);
    } else {
        file->setFileInfo(outputPath);
        file->getFileMd5(); // the digest of the new content, not the stored one
    }
    if (!file->saveFile()) {
        if (added) {
            item->removeFile(file);
        }
        showOutcome(false,
                    tr("The EPUB %1 was made, but it could not be added to the book in the library.").arg(outputPath));
        return;
    }
    showOutcome(true, QString());
    Q_EMIT itemChanged(item);
}

ItemFile* ConversionWizard::fileAt(Item* item, const QString& path)
{
    ItemFiles* files = item ? item->getFiles() : nullptr;
    for (int i = 0; files && i < files->count(); ++i) {
        if (QFileInfo(files->getFile(i)->getFilePath()).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) {
            return files->getFile(i);
        }
    }
    return nullptr;
}

bool ConversionWizard::hasFile(Item* item, const QString& path)
{
    return fileAt(item, path) != nullptr;
}

QString ConversionWizard::freeOutputPath(const QString& taken)
{
    const QFileInfo info(taken);
    const QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    QString path;
    for (int n = 2;; ++n) {
        path = base + QStringLiteral(" (%1).epub").arg(n);
        if (!QFileInfo::exists(path)) {
            return path;
        }
    }
}

void ConversionWizard::showOutcome(bool ok, const QString& detail)
{
    success = ok;
    if (!ok) {
        ui->plainTextEdit->appendPlainText(detail);
        ui->wizardPage2->setTitle(tr("Conversion Failed"));
        ui->wizardPage2->setSubTitle(detail.left(300));
    }
    ui->wizardPage->setComplete(true);
}

void ConversionWizard::done(int result)
{
    // Closing the wizard stops a conversion still running.
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(3000);
    }
    QWizard::done(result);
}
