// The one chart of the running program and the file it belongs to: what Open, Save, Save As
// and the chart data dialog change, with no window involved.
#pragma once

#include <QDateTime>
#include <QString>

#include "chart/chart.h"
#include "chart/pipeline.h"

namespace zodiara {

// What a computation gave: the house system, and whether precise positions had to give way to
// the classic tables because they do not reach the chart's date.
struct ComputeOutcome {
    HouseSystem houses = HouseSystem::Placidus;
    bool preciseUnavailable = false;
    std::string preciseError;  // the ephemeris library's own reason, where it gave one
};

class ChartDocument {
public:
    // The start-up chart for the instant `now`, on the clock of zone 6 (EST) at 49W00, 24N00,
    // computed; no file, no chart present, not saved.
    explicit ChartDocument(const QDateTime& now);

    const Chart& chart() const { return m_chart; }
    const DerivedTables& tables() const { return m_tables; }
    // The remembered file; empty for none.
    const QString& fileName() const { return m_fileName; }
    // The chart is what was last read from or written to fileName().
    bool saved() const { return m_saved; }
    // A chart was made in the chart data dialog or read from a file.
    bool chartPresent() const { return m_chartPresent; }
    Ephemeris ephemeris() const { return m_ephemeris; }
    // The positions shown are those a file held, not computed here.
    bool positionsAsStored() const { return m_asStored; }

    // The unsaved-changes questions are asked exactly then.
    bool hasUnsavedChanges() const { return m_chartPresent && !m_saved; }
    // Whether Save has something to write and somewhere to write it.
    bool canSave() const { return !m_saved && !m_fileName.isEmpty(); }

    // Create New Chart confirmed: the chart of `birth`, present and unsaved. The file is
    // forgotten, so Save cannot put the new chart over the previous one's file.
    ComputeOutcome create(const BirthData& birth);
    // Modify Chart Info confirmed, changed or not: as create, keeping the file.
    ComputeOutcome modify(const BirthData& birth);
    // Recomputes with `ephemeris`; the positions are then no longer those of any file. Where
    // precise positions do not reach the date, the classic tables are used and kept.
    ComputeOutcome setEphemeris(Ephemeris ephemeris);

    // Each returns the message for the user on failure, empty on success; a failure changes
    // nothing. Open shows the stored positions as stored.
    QString open(const QString& path);
    // Does nothing unless canSave().
    QString save();
    QString saveAs(const QString& path);

private:
    ComputeOutcome takeBirthData(const BirthData& birth);
    ComputeOutcome recompute();
    QString writeTo(const QString& path);

    Chart m_chart;
    DerivedTables m_tables;
    QString m_fileName;
    bool m_saved = false;
    bool m_chartPresent = false;
    bool m_asStored = false;
    Ephemeris m_ephemeris = Ephemeris::Classic;
};

}  // namespace zodiara
