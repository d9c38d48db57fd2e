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
    BirthData birth;
    birth.zone = 6;
    const std::chrono::sys_seconds instant(std::chrono::seconds(now.toSecsSinceEpoch()));
    const ZoneClock clock = zoneClockAt(instant, birth.zone);
    birth.birthDate = clock.date;
    birth.localTime = clock.time;
    birth.longitude = {49, 0, West};
    birth.latitude = {24, 0, North};
    m_chart.birth = birth;
    recompute();
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
    m_chart.birth = birth;
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
    m_asStored = false;
    const auto take = [this](ComputedChart&& computed) {
        m_chart = std::move(computed.chart);
        m_tables = computed.tables;
        return computed.houseSystem;
    };
    std::string preciseError;
    if (std::optional<ComputedChart> computed =
            computeChart(m_chart.birth, m_ephemeris, m_chart.remnants, &preciseError))
        return {take(std::move(*computed)), false, {}};
    m_ephemeris = Ephemeris::Classic;
    // The classic theory covers every date the birth rules allow.
    return {take(*computeChart(m_chart.birth, m_ephemeris, m_chart.remnants)), true, preciseError};
}

QString ChartDocument::open(const QString& path)
{
    ChartReadResult result = readChartFile(nativePath(path));
    if (!result.chart)
        return fileError("Error reading file", path, result.error);
    m_chart = *result.chart;
    m_saved = true;
    m_fileName = path;
    m_tables = derivedTables(m_chart);
    m_chartPresent = true;
    m_asStored = true;
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
