#include "cli/chartimages.h"

#include <QGuiApplication>
#include <QString>

#include <clocale>
#include <cstdio>

#include "display/chartexport.h"

namespace zodiara::cli {

namespace {

// A command-line run speaks in one line per refusal: Qt's own notes (a runtime directory made,
// a font substituted) would only lengthen it.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "zodiara-chart: %s\n", qPrintable(QString(message).replace(u'\n', u' ')));
}

}  // namespace

std::string encodeChartImages(const ChartImageOptions& options, const ChartView& view, std::vector<OutputFile>& files)
{
    const QtMessageHandler previousHandler = qInstallMessageHandler(quietHandler);
    // The platform named on the command line wins over QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY.
    int argc = 3;
    char name[] = "zodiara-chart", platformOption[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {name, platformOption, offscreen, nullptr};
    const QGuiApplication app(argc, argv);
    // QGuiApplication takes the environment's locale; the report's numbers must not.
    std::setlocale(LC_NUMERIC, "C");

    const QSize size(options.width, options.height);
    const auto encode = [&files](const std::optional<std::string>& path, auto draw) -> std::string {
        if (!path)
            return {};
        QByteArray bytes;
        if (const QString reason = draw(bytes); !reason.isEmpty())
            return "cannot draw " + *path + ": " + reason.toStdString();
        files.push_back({*path, bytes.toStdString()});
        return {};
    };
    std::string error = encode(options.pngPath, [&](QByteArray& bytes) {
        return encodeChartPng(view.chart, view.tables, size, options.aspects, bytes);
    });
    if (error.empty())
        error = encode(options.svgPath, [&](QByteArray& bytes) {
            return encodeChartSvg(view.chart, view.tables, size, options.aspects, bytes);
        });
    if (error.empty())
        error = encode(options.pdfPath, [&](QByteArray& bytes) {
            return encodeChartPdf(view.chart, view.tables, options.letterPaper ? PaperSize::Letter : PaperSize::A4,
                                  options.aspects, bytes);
        });
    qInstallMessageHandler(previousHandler);
    return error;
}

}  // namespace zodiara::cli
