#include "json.h"

#include <charconv>
#include <cmath>

#include "text1252.h"

namespace zodiara::cli {

void appendJsonNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendJsonString(std::string& out, std::string_view utf8)
{
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

namespace {

// Appends `"key":` with the separating comma where one is due.
class ObjectWriter {
public:
    explicit ObjectWriter(std::string& out) : m_out(out) { m_out += '{'; }
    ObjectWriter(const ObjectWriter&) = delete;
    ~ObjectWriter() { m_out += '}'; }

    std::string& key(std::string_view name)
    {
        if (!m_first)
            m_out += ',';
        m_first = false;
        m_out += '"';
        m_out += name;
        m_out += "\":";
        return m_out;
    }
    void integer(std::string_view name, long long value)
    {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        key(name).append(buffer, result.ptr);
    }
    void number(std::string_view name, double value) { appendJsonNumber(key(name), value); }
    void boolean(std::string_view name, bool value) { key(name) += value ? "true" : "false"; }
    void string(std::string_view name, std::string_view value) { appendJsonString(key(name), value); }

private:
    std::string& m_out;
    bool m_first = true;
};

void appendDate(std::string& out, const CalendarDate& date)
{
    ObjectWriter o(out);
    o.integer("year", date.year);
    o.integer("month", date.month);
    o.integer("day", date.day);
}

void appendTime(std::string& out, const TimeOfDay& time)
{
    ObjectWriter o(out);
    o.integer("hour", time.hour);
    o.integer("minute", time.minute);
    o.integer("second", time.second);
}

void appendGeoAngle(std::string& out, const GeoAngle& angle)
{
    ObjectWriter o(out);
    o.integer("degrees", angle.degrees);
    o.integer("minutes", angle.minutes);
    const char letter[2] = {compassLetter(angle.direction), '\0'};
    o.string("direction", letter);
}

}  // namespace

void appendChartJson(std::string& out, const Chart& chart, const DerivedTables& tables,
                     std::optional<HouseSystem> houseSystem)
{
    ObjectWriter o(out);
    o.string("name", chartText(chart.name));
    o.string("place", chartText(chart.place));
    appendDate(o.key("birthDate"), chart.birthDate);
    o.boolean("beforeChrist", chart.beforeChrist != 0);
    appendTime(o.key("localTime"), chart.localTime);
    o.integer("zone", chart.zone);
    o.boolean("daylightSaving", chart.daylightSaving != 0);
    appendGeoAngle(o.key("longitude"), chart.longitude);
    appendGeoAngle(o.key("latitude"), chart.latitude);
    appendDate(o.key("utDate"), chart.utDate);
    appendTime(o.key("universalTime"), chart.universalTime);
    appendTime(o.key("siderealTime"), chart.siderealTime);
    appendTime(o.key("localSiderealTime"), chart.localSiderealTime);
    o.number("julianDate", chart.julianDate);
    o.number("julianDate0h", chart.julianDate0h);
    o.number("ascendant", chart.ascendant);
    o.number("midheaven", chart.midheaven);
    o.number("ramc", chart.ramc);
    o.number("obliquity", chart.obliquity);
    o.number("centuries1900", chart.centuries1900);
    o.number("longitudeDeg", chart.longitudeDeg);
    o.number("utHours", chart.utHours);
    o.number("latitudeDeg", chart.latitudeDeg);
    o.number("dayNumber", chart.dayNumber);
    if (houseSystem)
        o.string("houseSystem", houseSystemName(*houseSystem));

    std::string& cusps = o.key("cusps");
    cusps += '[';
    for (int i = 0; i < 12; ++i) {
        if (i)
            cusps += ',';
        const HouseCusp& cusp = chart.cusps[i];
        ObjectWriter c(cusps);
        c.integer("house", cusp.house);
        c.number("longitude", cusp.longitude);
        c.integer("sign", cusp.sign);
        c.integer("degrees", cusp.degrees);
        c.integer("minutes", cusp.minutes);
    }
    cusps += ']';

    std::string& bodies = o.key("bodies");
    bodies += '[';
    for (int i = 0; i < 10; ++i) {
        if (i)
            bodies += ',';
        const BodyPosition& body = chart.bodies[i];
        ObjectWriter b(bodies);
        b.integer("body", i);
        b.string("name", BodyNames[std::size_t(i)]);
        b.number("longitude", body.longitude);
        b.integer("sign", body.sign);
        b.integer("degrees", body.degrees);
        b.integer("minutes", body.minutes);
        b.integer("house", body.house);
    }
    bodies += ']';

    std::string& sorted = o.key("sortedBodies");
    sorted += '[';
    for (std::size_t i = 0; i < tables.sortedBodies.size(); ++i) {
        if (i)
            sorted += ',';
        sorted += std::to_string(tables.sortedBodies[i].body);
    }
    sorted += ']';

    std::string& aspects = o.key("aspects");
    aspects += '[';
    bool first = true;
    for (int a = 0; a < ChartPointCount; ++a) {
        for (int b = a + 1; b < ChartPointCount; ++b) {
            const int aspect = tables.aspectGrid[std::size_t(a)][std::size_t(b)].aspect;
            if (aspect < 0 || aspect >= int(AspectNames.size()))
                continue;
            if (!first)
                aspects += ',';
            first = false;
            ObjectWriter e(aspects);
            e.integer("a", a);
            e.integer("b", b);
            e.integer("aspect", aspect);
            e.string("name", AspectNames[std::size_t(aspect)]);
        }
    }
    aspects += ']';
}

void appendErrorJson(std::string& out, long long line, std::string_view error)
{
    ObjectWriter o(out);
    o.integer("line", line);
    o.string("error", error);
}

}  // namespace zodiara::cli
