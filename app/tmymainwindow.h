// The view: owns the one chart, paints it, explains clicks on it and runs the menu's commands.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QWidget>

#include <memory>

#include "chart.h"
#include "chartpaint.h"
#include "pipeline.h"

class QAction;
class QPrinter;

namespace zodiara {

class MessageService;
class PlatformServices;

class TMyMainWindow : public QWidget {
    Q_OBJECT
public:
    // Fills and computes the start-up chart for `now` (zone 6, 49W00, 24N00) at once, so the
    // first paint has a chart. `programDirectory` holds atlas.txt and the user guide.
    TMyMainWindow(MessageService& messages, PlatformServices& platform, const QString& programDirectory,
                  const QDateTime& now, QWidget* parent = nullptr);
    ~TMyMainWindow() override;

    // The menu item of a command, owned by the view; null for an unknown id.
    QAction* action(int commandId) const;
    // Runs a command as its menu item would.
    void command(int commandId);

    const Chart& chart() const { return m_chart; }
    const DerivedTables& tables() const { return m_tables; }
    const HitAreas& hitAreas() const { return m_hitAreas; }
    // Made on first use, since asking the print system for its printers slows the start.
    // Null when no printer object can be made.
    QPrinter* printer();
    const QString& fileName() const { return m_fileName; }
    bool saved() const { return m_saved; }
    bool chartPresent() const { return m_chartPresent; }
    bool showAspects() const { return m_showAspects; }
    Ephemeris ephemeris() const { return m_ephemeris; }

    // Whether the unsaved-changes question may be skipped or was answered Yes.
    bool QueryClose();
    // The frame's close: asks QueryClose unless Exit already did.
    bool canCloseFrame();

    // Reads a chart file as Open does after its dialog; returns the message shown on failure
    // (empty on success) without showing it.
    QString loadChartFile(const QString& path);

    QSize sizeHint() const override { return {580, 420}; }

signals:
    // A page of a print job is about to be drawn (page from 1).
    void printingPage(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void createActions();
    void updateCommands();
    bool ConfirmDiscard();
    // `newDocument`: Create New Chart, which also forgets the file name.
    void EditBirthData(bool newDocument);
    void Open();
    void Save();
    void SaveAs();
    void writeTo(const QString& path, bool remember);
    void ToggleShowAspects();
    void TogglePrecise();
    void PrinterSetup();
    void Print();
    void HelpTopics();
    void About();
    void Traits();
    void Compatibility();
    void Exit();
    // Runs the computation with the current ephemeris and reports a Porphyry fallback.
    void recompute();

    MessageService& m_messages;
    PlatformServices& m_platform;
    QString m_programDirectory;

    Chart m_chart;
    DerivedTables m_tables;
    HitAreas m_hitAreas;
    std::unique_ptr<QPrinter> m_printer;
    QString m_fileName;
    bool m_saved = false;
    bool m_chartPresent = false;
    bool m_showAspects = false;
    bool m_exitApproved = false;
    Ephemeris m_ephemeris = Ephemeris::Classic;
    QHash<int, QAction*> m_actions;
};

// The Porphyry notice for a chart at `latitude`, e.g. "... at 70°N at this time; ...".
QString porphyryMessage(const GeoAngle& latitude);

}  // namespace zodiara
