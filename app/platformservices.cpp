#include "app/platformservices.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace zodiara {

namespace {

void configureCommon(QFileDialog& dialog)
{
    dialog.setNameFilter(QString::fromLatin1(ChartFileFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(ChartFileSuffix));
    dialog.selectFile(QString());
}

// A proposed path: its folder to start in, its name to offer.
void propose(QFileDialog& dialog, const QString& proposed)
{
    if (proposed.isEmpty())
        return;
    const QFileInfo info(proposed);
    if (info.dir().exists())
        dialog.setDirectory(info.dir());
    dialog.selectFile(info.fileName());
}

QString runDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

void configureOpenDialog(QFileDialog& dialog, const QString& directory)
{
    configureCommon(dialog);
    if (!directory.isEmpty() && QDir(directory).exists())
        dialog.setDirectory(directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
}

void configureSaveDialog(QFileDialog& dialog, const QString& proposed)
{
    configureCommon(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing a file is a question, never a silent default.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    propose(dialog, proposed);
}

QString QtPlatformServices::openChartFileName(QWidget* parent, const QString& directory)
{
    QFileDialog dialog(parent);
    configureOpenDialog(dialog, directory);
    return runDialog(dialog);
}

QString QtPlatformServices::saveChartFileName(QWidget* parent, const QString& proposed)
{
    QFileDialog dialog(parent);
    configureSaveDialog(dialog, proposed);
    return runDialog(dialog);
}

QString QtPlatformServices::exportPictureFileName(QWidget* parent, const QString& proposed)
{
    QFileDialog dialog(parent, QStringLiteral("Export Picture"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setNameFilter(QString::fromLatin1(PictureFileFilters));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    // The suffix follows the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QStringLiteral("*."), 1).left(3));
    });
    propose(dialog, proposed);
    return runDialog(dialog);
}

bool QtPlatformServices::setUpPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    // The platform's print dialog, titled and buttoned for what it does here: a setting, not a print.
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    for (auto* buttons : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    // Pages are chosen by the chart, not the user.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatformServices::openWebLink(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace zodiara
