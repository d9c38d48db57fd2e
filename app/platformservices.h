// The desktop services the main window asks for: file dialogs, the printer set-up dialog and the
// web browser. Tests put a scripted stand-in in their place.
#pragma once

#include <QString>

class QFileDialog;
class QPrinter;
class QUrl;
class QWidget;

namespace zodiara {

class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    // The chosen path of an existing chart file, or an empty string when cancelled. The dialog
    // starts in `directory` (where the last chart file was) when it is given.
    virtual QString openChartFileName(QWidget* parent, const QString& directory) = 0;
    // The chosen path to write, or an empty string when cancelled; an existing file is only
    // offered after the user agreed to replace it. `proposed` is the path first offered.
    virtual QString saveChartFileName(QWidget* parent, const QString& proposed) = 0;
    // Where to export the chart's picture (a PNG, SVG or PDF file, told by its suffix), or an
    // empty string when cancelled; as saveChartFileName.
    virtual QString exportPictureFileName(QWidget* parent, const QString& proposed) = 0;
    // Lets the user choose printer and paper into `printer`; false when cancelled.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer) = 0;
    // Shows `url` in the desktop's web browser; false when none could be started.
    virtual bool openWebLink(const QUrl& url) = 0;
};

// The filter, default suffix and checks of the two chart file dialogs, with the folder or file
// first offered.
void configureOpenDialog(QFileDialog& dialog, const QString& directory = {});
void configureSaveDialog(QFileDialog& dialog, const QString& proposed = {});

inline constexpr auto ChartFileFilter = "Chart Data Files (*.cht)";
inline constexpr auto PictureFileFilters = "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)";
inline constexpr auto ChartFileSuffix = "cht";

class QtPlatformServices final : public PlatformServices {
public:
    QString openChartFileName(QWidget* parent, const QString& directory) override;
    QString saveChartFileName(QWidget* parent, const QString& proposed) override;
    QString exportPictureFileName(QWidget* parent, const QString& proposed) override;
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override;
    bool openWebLink(const QUrl& url) override;
};

}  // namespace zodiara
