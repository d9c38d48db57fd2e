// The images module: PNG and SVG of the view, PDF of the printed pages, through the painting code
// of the window. It starts a GUI application that always draws offscreen, whatever display the
// environment names.
#include "cli/modules.h"

#include <QGuiApplication>
#include <QString>

#include <clocale>
#include <cstdio>

#include "display/chartexport.h"

using namespace zodiara;
using namespace zodiara::cli;

namespace {

// A command-line run speaks in one line per refusal: Qt's own notes (a runtime directory made,
// a font substituted) would only lengthen it.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "zodiara-chart: %s\n", qPrintable(QString(message).replace(u'\n', u' ')));
}

}  // namespace

void zodiaraDrawChartImages(const ChartImageOptions& options, const ChartView& view, std::vector<OutputFile>& files,
                            std::string& error)
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
    error = encode(options.pngPath, [&](QByteArray& bytes) {
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
}
