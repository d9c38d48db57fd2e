#include "entry/daylightsaving.h"

#include "ui/textconversion.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace zodiara {

namespace {

int zoneOffsetEastSeconds(int zone)
{
    const TimeOfDay& offset = TimeZoneOffsets[static_cast<std::size_t>(zone)];
    return -(offset.hour * 3600 + offset.minute * 60);
}

int zoneWithOffset(int eastSeconds)
{
    for (int zone = 0; zone < ZoneCount; ++zone)
        if (zoneOffsetEastSeconds(zone) == eastSeconds)
            return zone;
    return -1;
}

bool isZoneNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'/' || c == u'_'
           || c == u'-' || c == u'+';
}

QString utcOffsetText(int eastSeconds)
{
    const int minutes = std::abs(eastSeconds) / 60;
    return QStringLiteral("UTC%1%2:%3")
        .arg(QChar(eastSeconds < 0 ? u'-' : u'+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString atlasZoneName(QStringView line)
{
    // Walk the fields the lookup reads: spaces, "074W00", spaces, "40N43"; the name follows.
    qsizetype pos = line.indexOf(u"  ");
    if (pos < 0)
        return {};
    for (const int width : {6, 5}) {
        while (pos < line.size() && line.at(pos) == u' ')
            ++pos;
        pos += width;
    }
    // The name is a field of its own, after a space.
    if (pos >= line.size() || line.at(pos) != u' ')
        return {};
    const QStringView rest = line.mid(pos).trimmed();
    const QStringView name = rest.mid(rest.lastIndexOf(u' ') + 1);
    // Abbreviations such as "EST" are zone names too, but an atlas line names its IANA zone as Area/Place.
    if (!name.contains(u'/') || !std::all_of(name.begin(), name.end(), isZoneNameChar))
        return {};
    return name.toString();
}

DaylightSavingCheck checkDaylightSaving(const QString& ianaZone, const CalendarDate& date, bool beforeChrist, int hour,
                                        int minute, int zone, bool daylightSaving)
{
    DaylightSavingCheck check;
    if (beforeChrist || date.year < FirstCheckedYear || zone < 0 || zone >= ZoneCount)
        return check;
    const QDate day(date.year, date.month, date.day);
    const QTime time(hour, minute);
    const QTimeZone place(ianaZone.toUtf8());
    if (!day.isValid() || !time.isValid() || !place.isValid())
        return check;

    // The instants whose offset turns them into this clock time: normally one, none in the hour
    // skipped when clocks go forward, two in the hour repeated when they go back.
    const qint64 clockAsUtc = QDateTime(day, time, Qt::UTC).toSecsSinceEpoch();
    std::vector<QTimeZone::OffsetData> fits;
    for (const qint64 probe : {clockAsUtc - 86400, clockAsUtc, clockAsUtc + 86400}) {
        const int offset = place.offsetFromUtc(QDateTime::fromSecsSinceEpoch(probe, Qt::UTC));
        const QTimeZone::OffsetData data =
            place.offsetData(QDateTime::fromSecsSinceEpoch(clockAsUtc - offset, Qt::UTC));
        if (data.offsetFromUtc != offset)
            continue;
        if (std::none_of(fits.begin(), fits.end(), [offset](const auto& f) { return f.offsetFromUtc == offset; }))
            fits.push_back(data);
    }
    if (fits.size() != 1)
        return check;
    const QTimeZone::OffsetData& data = fits.front();

    // The database calls some winters negative saving time (Ireland); to the table, the lower
    // offset is the standard one.
    int standard = data.standardTimeOffset;
    if (standard == std::numeric_limits<int>::min() || data.offsetFromUtc < standard)
        standard = data.offsetFromUtc;
    check.known = true;
    check.inForce = data.offsetFromUtc > standard;
    check.standardOffsetSeconds = standard;
    check.standardZone = zoneWithOffset(standard);

    // Only a wrong Universal Time is worth a question: Irish summer time is UT with saving to
    // the user but standard time to the database, and either entry gives the same chart.
    if (zoneOffsetEastSeconds(zone) + (daylightSaving ? 3600 : 0) == data.offsetFromUtc)
        return check;
    if (check.standardZone < 0
        || zoneOffsetEastSeconds(check.standardZone) + (check.inForce ? 3600 : 0) != data.offsetFromUtc)
        return check;  // no zone of the table, or a saving other than one hour: nothing to offer
    if (check.standardZone != zone)
        check.zone = check.standardZone;
    if (check.inForce != daylightSaving)
        check.daylightSaving = check.inForce;
    return check;
}

QString daylightSavingQuestion(const QString& ianaZone, const CalendarDate& date, const DaylightSavingCheck& check)
{
    if (!check.disagrees())
        return {};
    const std::string_view month = MonthNames[static_cast<std::size_t>(date.month - 1)];
    const QString when = QStringLiteral("%1 %2, %3").arg(toQString(month)).arg(date.day).arg(date.year);
    const QString box = QStringLiteral("\"Daylight Savings ?\"");
    const QString tick = check.inForce ? QStringLiteral("check %1").arg(box) : QStringLiteral("uncheck %1").arg(box);
    if (!check.zone) {
        return QStringLiteral("Daylight saving time was %1in force in %2 on %3. %4?")
            .arg(check.inForce ? QString() : QStringLiteral("not "), ianaZone, when,
                 tick.left(1).toUpper() + tick.mid(1));
    }
    const std::string_view zoneName = TimeZoneNames[static_cast<std::size_t>(*check.zone)];
    QString text = QStringLiteral("The standard time in %1 on %2 was %3")
                       .arg(ianaZone, when, utcOffsetText(check.standardOffsetSeconds));
    if (check.daylightSaving)
        text += check.inForce ? QStringLiteral(", and daylight saving time was in force")
                              : QStringLiteral(", and daylight saving time was not in force");
    text += QStringLiteral(". Choose the time zone \"%1\"").arg(toQString(zoneName));
    if (check.daylightSaving)
        text += QStringLiteral(" and %1").arg(tick);
    return text + u'?';
}

}  // namespace zodiara
