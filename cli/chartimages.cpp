#include "chartimages.h"

#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "chartexport.h"

namespace zodiara::cli {

namespace {

QtMessageHandler previousHandler = nullptr;

// A command-line run has no use for Qt's note that it made itself a runtime directory.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::string writeChartImages(const ChartImageOptions& options, const ChartView& view)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    previousHandler = qInstallMessageHandler(quietHandler);
    int argc = 1;
    char name[] = "zodiara-chart";
    char* argv[] = {name, nullptr};
    const QGuiApplication app(argc, argv);

    const QSize size(options.width, options.height);
    QString error;
    if (options.pngPath)
        error = exportChartPng(QString::fromStdString(*options.pngPath), view.chart, view.tables, size,
                               options.aspects);
    if (error.isEmpty() && options.svgPath)
        error = exportChartSvg(QString::fromStdString(*options.svgPath), view.chart, view.tables, size,
                               options.aspects);
    if (error.isEmpty() && options.pdfPath)
        error = exportChartPdf(QString::fromStdString(*options.pdfPath), view.chart, view.tables,
                               options.letterPaper ? PaperSize::Letter : PaperSize::A4, options.aspects);
    qInstallMessageHandler(previousHandler);
    // One line on stderr: the export's reason reads "Cannot write file X:\nreason."
    return error.replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
}

}  // namespace zodiara::cli
