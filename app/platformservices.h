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
    // The chosen path of an existing chart file, or an empty string when cancelled.
    virtual QString openChartFileName(QWidget* parent) = 0;
    // The chosen path to write, or an empty string when cancelled; an existing file is only
    // offered after the user agreed to replace it.
    virtual QString saveChartFileName(QWidget* parent) = 0;
    // Lets the user choose printer and paper into `printer`; false when cancelled.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer) = 0;
    // Shows `url` in the desktop's web browser; false when none could be started.
    virtual bool openWebLink(const QUrl& url) = 0;
};

// The filter, default suffix and checks of the two chart file dialogs.
void configureOpenDialog(QFileDialog& dialog);
void configureSaveDialog(QFileDialog& dialog);

inline constexpr auto ChartFileFilter = "Chart Data Files (*.cht)";
inline constexpr auto ChartFileSuffix = "cht";

class QtPlatformServices final : public PlatformServices {
public:
    QString openChartFileName(QWidget* parent) override;
    QString saveChartFileName(QWidget* parent) override;
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override;
    bool openWebLink(const QUrl& url) override;
};

}  // namespace zodiara
