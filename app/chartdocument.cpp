#include "chartdocument.h"

#include <QDir>
#include <QFile>

#include <filesystem>

#include "chartfile.h"

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
    const QDate date = now.date();
    const QTime time = now.time();
    m_chart.birthDate.year = date.year();
    m_chart.birthDate.day = static_cast<std::int8_t>(date.day());
    m_chart.birthDate.month = static_cast<std::int8_t>(date.month());
    m_chart.longitude.degrees = 49;
    m_chart.latitude.degrees = 24;
    m_chart.zone = 6;
    m_chart.localTime = {time.hour(), time.minute(), time.second(), 0};
    m_chart.daylightSaving = 0;
    m_chart.beforeChrist = 0;
    computeChart(m_chart, m_tables, m_ephemeris);
}

HouseSystem ChartDocument::create(const BirthData& birth)
{
    m_fileName.clear();
    return takeBirthData(birth);
}

HouseSystem ChartDocument::modify(const BirthData& birth)
{
    return takeBirthData(birth);
}

HouseSystem ChartDocument::takeBirthData(const BirthData& birth)
{
    m_saved = false;
    setBirthData(m_chart, birth);
    m_chartPresent = true;
    return computeChart(m_chart, m_tables, m_ephemeris);
}

HouseSystem ChartDocument::setEphemeris(Ephemeris ephemeris)
{
    m_ephemeris = ephemeris;
    m_saved = false;
    return computeChart(m_chart, m_tables, m_ephemeris);
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
