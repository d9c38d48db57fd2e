#include "app/platformservices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace zodiara {

namespace {

void configureCommon(QFileDialog& dialog)
{
    dialog.setNameFilter(QString::fromLatin1(ChartFileFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(ChartFileSuffix));
    // The remembered file name is never offered; the dialog starts where it likes.
    dialog.selectFile(QString());
}

QString runDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

void configureOpenDialog(QFileDialog& dialog)
{
    configureCommon(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
}

void configureSaveDialog(QFileDialog& dialog)
{
    configureCommon(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing a file is a question, never a silent default.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
}

QString QtPlatformServices::openChartFileName(QWidget* parent)
{
    QFileDialog dialog(parent);
    configureOpenDialog(dialog);
    return runDialog(dialog);
}

QString QtPlatformServices::saveChartFileName(QWidget* parent)
{
    QFileDialog dialog(parent);
    configureSaveDialog(dialog);
    return runDialog(dialog);
}

bool QtPlatformServices::setUpPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    // Pages are chosen by the chart, not the user.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatformServices::openWebLink(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace zodiara
