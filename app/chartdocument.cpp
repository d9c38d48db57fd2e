#include "app/chartdocument.h"

#include <QDir>
#include <QFile>

#include <filesystem>

#include "chart/chartfile.h"
#include "chart/zoneclock.h"

namespace zodiara {

namespace {

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// "Error reading file" or "Error writing file", then the file and why, as a second line.
QString fileError(const char* firstLine, const QString& path, const std::string& reason)
{
    QString why = QString::fromStdString(reason);
    if (!why.endsWith(u'.'))
        why += u'.';
    return QStringLiteral("%1\n%2: %3").arg(QLatin1String(firstLine), QDir::toNativeSeparators(path), why);
}

}  // namespace

ChartDocument::ChartDocument(const QDateTime& now)
{
    m_chart.zone = 6;
    const std::chrono::sys_seconds instant(std::chrono::seconds(now.toSecsSinceEpoch()));
    const ZoneClock clock = zoneClockAt(instant, m_chart.zone);
    m_chart.birthDate = clock.date;
    m_chart.localTime = clock.time;
    m_chart.longitude.degrees = 49;
    m_chart.latitude.degrees = 24;
    m_chart.daylightSaving = 0;
    m_chart.beforeChrist = 0;
    computeChart(m_chart, m_tables, m_ephemeris);
}

ComputeOutcome ChartDocument::create(const BirthData& birth)
{
    m_fileName.clear();
    return takeBirthData(birth);
}

ComputeOutcome ChartDocument::modify(const BirthData& birth) { return takeBirthData(birth); }

ComputeOutcome ChartDocument::takeBirthData(const BirthData& birth)
{
    m_saved = false;
    setBirthData(m_chart, birth);
    m_chartPresent = true;
    return recompute();
}

ComputeOutcome ChartDocument::setEphemeris(Ephemeris ephemeris)
{
    m_ephemeris = ephemeris;
    m_saved = false;
    return recompute();
}

ComputeOutcome ChartDocument::recompute()
{
    if (const std::optional<HouseSystem> houses = computeChart(m_chart, m_tables, m_ephemeris))
        return {*houses, false};
    m_ephemeris = Ephemeris::Classic;
    return {computeChart(m_chart, m_tables, m_ephemeris).value_or(HouseSystem::Placidus), true};
}

QString ChartDocument::open(const QString& path)
{
    ChartReadResult result = readChartFile(nativePath(path));
    if (!result.chart)
        return fileError("Error reading file", path, result.error);
    m_chart = *result.chart;
    m_saved = true;
    m_fileName = path;
    rebuildDerivedTables(m_chart, m_tables);
    m_chartPresent = true;
    return {};
}

QString ChartDocument::save()
{
    if (!canSave())
        return {};
    return writeTo(m_fileName);
}

QString ChartDocument::saveAs(const QString& path)
{
    const QString error = writeTo(path);
    if (error.isEmpty())
        m_fileName = path;
    return error;
}

QString ChartDocument::writeTo(const QString& path)
{
    const std::string error = writeChartFile(nativePath(path), m_chart);
    if (!error.empty())
        return fileError("Error writing file", path, error);
    m_saved = true;
    return {};
}

}  // namespace zodiara
