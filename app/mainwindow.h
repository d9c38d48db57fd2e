// The main window: the menu and its commands, with the questions, dialogs and boxes they
// bring, around the chart view.
#pragma once

#include <QDateTime>
#include <QKeySequence>
#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>

#include "app/chartdocument.h"

class QAction;
class QDockWidget;
class QLabel;
class QPrinter;
class QSettings;
class QUrl;

namespace zodiara {

class ChartView;
class MessageService;
class PlatformServices;
class PositionsPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Starts on the chart of the clock time `now`; `programDirectory` holds atlas.txt and the
    // user guide zodiara.html. The menu's actions carry object names ("openAction", ...).
    // `settings`, where given, keep the window's place and size, the view's toggles, the recent
    // charts and the last folder from one session to the next.
    MainWindow(MessageService& messages, PlatformServices& platform, const QString& programDirectory,
               const QDateTime& now, QSettings* settings = nullptr);
    ~MainWindow() override;

    const ChartDocument& document() const { return m_document; }
    ChartView* chartView() const { return m_view; }
    // Made on first use, since asking the print system for its printers slows the start.
    // Null when no printer object can be made.
    QPrinter* printer();

    // Reads a chart file named on the command line as Open does after its dialog; called before
    // show(). A failure is reported once the window system shows the window, so that the box
    // comes over it rather than where the window has yet to be placed.
    void openAtStart(const QString& path);

signals:
    // A page of a print job is about to be drawn (page from 1).
    void printingPage(int page);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    QAction* makeAction(const char* objectName, const char* text, void (MainWindow::*slot)(),
                        QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey);
    // After anything changed the document or a view setting: the menu, the title, the status bar
    // and the positions table follow.
    void updateActions();
    void restoreSettings();
    void remember(const QString& key, const QVariant& value);

    // The questions: true to go on, when nothing is unsaved or the user answered Yes.
    bool confirmDiscard();
    bool queryClose();
    // Asks `question` with No as the default; true when the user answered Yes.
    bool askBeforeDiscarding(const QString& question);

    void newChart();
    void modifyChart();
    void editBirthData(bool newChart);
    void open();
    void openFile(const QString& path);
    void openRecent();
    void save();
    void saveAs();
    void exportPicture();
    // A chart file opened or written: first in the recent list, its folder the dialogs' start.
    void addRecentFile(const QString& path);
    void updateRecentActions();
    QStringList recentFiles() const;
    QString lastFolder() const;
    void printerSetup();
    void print();
    void toggleShowAspects();
    void togglePrecisePositions();
    void togglePositions();
    void traits();
    void compatibility();
    void helpTopics();
    // A link activated in the user guide.
    void followHelpLink(const QUrl& link);
    void about();
    // After the chart was computed anew: repaint, and tell of a classic or Porphyry fallback.
    void chartComputed(ComputeOutcome outcome);

    MessageService& m_messages;
    PlatformServices& m_platform;
    QString m_programDirectory;
    ChartDocument m_document;
    ChartView* m_view;
    std::unique_ptr<QPrinter> m_printer;
    QString m_startError;       // the command line's file, not yet reported
    QWidget* m_help = nullptr;  // the user guide's window, made on first use

    QSettings* m_settings;
    PositionsPanel* m_positions = nullptr;
    QDockWidget* m_positionsDock = nullptr;
    QLabel* m_status = nullptr;

    static constexpr int MaxRecentFiles = 5;
    std::array<QAction*, MaxRecentFiles> m_recentActions{};
    QAction* m_recentSeparator = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_showAspectsAction = nullptr;
    QAction* m_precisePositionsAction = nullptr;
    QAction* m_positionsAction = nullptr;
};

}  // namespace zodiara
