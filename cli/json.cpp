#include "cli/json.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "chart/text1252.h"

namespace zodiara::cli {

namespace {

// The length of the well-formed UTF-8 sequence that `text` starts with (its first byte 0x80 or
// above), or 0 when it starts with none: no overlong forms, surrogates or values past U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text)
{
    const auto at = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = at(0);
    const auto continuation = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xbf) {
        return at(i) >= low && at(i) <= high;
    };
    if (lead >= 0xc2 && lead <= 0xdf)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xe0 && lead <= 0xef) {
        const unsigned low = lead == 0xe0 ? 0xa0 : 0x80, high = lead == 0xed ? 0x9f : 0xbf;
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        const unsigned low = lead == 0xf0 ? 0x90 : 0x80, high = lead == 0xf4 ? 0x8f : 0xbf;
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

// Writes through a raw pointer into room the caller has made: the batch writes hundreds of
// megabytes, and growing a string a character at a time was a tenth of its time.
struct Cursor {
    char* p;

    void put(char c) { *p++ = c; }
    void put(std::string_view text)
    {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    }
    void integer(long long value) { p = std::to_chars(p, p + 24, value).ptr; }
    void number(double value)
    {
        if (std::isfinite(value))
            p = std::to_chars(p, p + 32, value).ptr;
        else
            put("null");
    }
    // At most 6 bytes per input byte. A byte that is not part of well-formed UTF-8 (an error
    // quoting raw input) becomes U+FFFD: JSON is UTF-8.
    void string(std::string_view utf8)
    {
        static constexpr char Hex[] = "0123456789abcdef";
        put('"');
        for (std::size_t i = 0; i < utf8.size();) {
            const char c = utf8[i];
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                const std::size_t length = utf8SequenceLength(utf8.substr(i));
                if (length == 0) {
                    put("\xef\xbf\xbd");
                    ++i;
                } else {
                    put(utf8.substr(i, length));
                    i += length;
                }
                continue;
            }
            if (c == '"' || c == '\\') {
                put('\\');
                put(c);
            } else if (byte < 0x20) {
                put("\\u00");
                put(Hex[byte >> 4]);
                put(Hex[byte & 15]);
            } else {
                put(c);
            }
            ++i;
        }
        put('"');
    }
};

// Runs `write` on a cursor with `room` bytes reserved at the end of `out`, then trims.
template <typename Write>
void appendWithRoom(std::string& out, std::size_t room, Write write)
{
    const std::size_t start = out.size();
    out.resize(start + room);
    Cursor cursor{out.data() + start};
    write(cursor);
    out.resize(std::size_t(cursor.p - out.data()));
}

// `"key":` with the separating comma where one is due.
class ObjectWriter {
public:
    explicit ObjectWriter(Cursor& out) : m_out(out) { m_out.put('{'); }
    ObjectWriter(const ObjectWriter&) = delete;
    ~ObjectWriter() { m_out.put('}'); }

    Cursor& key(std::string_view name)
    {
        if (!m_first)
            m_out.put(',');
        m_first = false;
        m_out.put('"');
        m_out.put(name);
        m_out.put("\":");
        return m_out;
    }
    void integer(std::string_view name, long long value) { key(name).integer(value); }
    void number(std::string_view name, double value) { key(name).number(value); }
    void boolean(std::string_view name, bool value) { key(name).put(value ? "true" : "false"); }
    void string(std::string_view name, std::string_view value) { key(name).string(value); }

private:
    Cursor& m_out;
    bool m_first = true;
};

void appendDate(Cursor& out, const CalendarDate& date)
{
    ObjectWriter o(out);
    o.integer("year", date.year);
    o.integer("month", date.month);
    o.integer("day", date.day);
}

void appendTime(Cursor& out, const TimeOfDay& time)
{
    ObjectWriter o(out);
    o.integer("hour", time.hour);
    o.integer("minute", time.minute);
    o.integer("second", time.second);
}

void appendGeoAngle(Cursor& out, const GeoAngle& angle)
{
    ObjectWriter o(out);
    o.integer("degrees", angle.degrees);
    o.integer("minutes", angle.minutes);
    const char letter[2] = {compassLetter(angle.direction), '\0'};
    o.string("direction", letter);
}

// Everything but the two texts fits in well under this; the texts add 6 bytes per byte.
inline constexpr std::size_t ChartJsonRoom = 12288;

}  // namespace

void appendJsonNumber(std::string& out, double value)
{
    appendWithRoom(out, 32, [&](Cursor& c) { c.number(value); });
}

void appendJsonString(std::string& out, std::string_view utf8)
{
    appendWithRoom(out, 6 * utf8.size() + 2, [&](Cursor& c) { c.string(utf8); });
}

void appendChartJson(std::string& out, const Chart& chart, const DerivedTables& tables,
                     std::optional<Computation> computation)
{
    const BirthData& birth = chart.birth;
    const ChartTimes& times = chart.times;
    const ChartAngles& angles = chart.angles;
    const std::string& name = birth.name;
    const std::string& place = birth.place;
    appendWithRoom(out, ChartJsonRoom + 6 * (name.size() + place.size()), [&](Cursor& cursor) {
        ObjectWriter o(cursor);
        o.string("name", name);
        o.string("place", place);
        appendDate(o.key("birthDate"), birth.birthDate);
        o.boolean("beforeChrist", birth.beforeChrist);
        appendTime(o.key("localTime"), birth.localTime);
        o.integer("zone", birth.zone);
        o.boolean("daylightSaving", birth.daylightSaving);
        appendGeoAngle(o.key("longitude"), birth.longitude);
        appendGeoAngle(o.key("latitude"), birth.latitude);
        appendDate(o.key("utDate"), times.utDate);
        appendTime(o.key("universalTime"), times.universalTime);
        appendTime(o.key("siderealTime"), times.siderealTime);
        appendTime(o.key("localSiderealTime"), times.localSiderealTime);
        o.number("julianDate", times.julianDate);
        o.number("julianDate0h", times.julianDate0h);
        o.number("ascendant", angles.ascendant);
        o.number("midheaven", angles.midheaven);
        o.number("ramc", angles.ramc);
        o.number("obliquity", angles.obliquity);
        o.number("centuries1900", times.centuries1900);
        o.number("longitudeDeg", angles.longitudeDeg);
        o.number("utHours", times.utHours);
        o.number("latitudeDeg", angles.latitudeDeg);
        o.number("dayNumber", times.dayNumber);
        if (computation) {
            o.string("houseSystem", houseSystemName(computation->houseSystem));
            o.string("ephemeris", ephemerisName(computation->ephemeris));
        }

        Cursor& cusps = o.key("cusps");
        cusps.put('[');
        for (int i = 0; i < 12; ++i) {
            if (i)
                cusps.put(',');
            const HouseCusp& cusp = chart.cusps[i];
            ObjectWriter c(cusps);
            c.integer("house", cusp.house);
            c.number("longitude", cusp.longitude);
            c.integer("sign", index(cusp.sign));
            c.integer("degrees", cusp.degrees);
            c.integer("minutes", cusp.minutes);
        }
        cusps.put(']');

        Cursor& bodies = o.key("bodies");
        bodies.put('[');
        for (const Body which : AllBodies) {
            if (which != Body::Moon)
                bodies.put(',');
            const BodyPosition& body = chart.body(which);
            ObjectWriter b(bodies);
            b.integer("body", index(which));
            b.string("name", bodyName(which));
            b.number("longitude", body.longitude);
            b.integer("sign", index(body.sign));
            b.integer("degrees", body.degrees);
            b.integer("minutes", body.minutes);
            b.integer("house", body.house);
        }
        bodies.put(']');

        Cursor& sorted = o.key("sortedBodies");
        sorted.put('[');
        for (std::size_t i = 0; i < tables.sortedBodies.size(); ++i) {
            if (i)
                sorted.put(',');
            sorted.integer(index(tables.sortedBodies[i].body));
        }
        sorted.put(']');

        Cursor& aspects = o.key("aspects");
        aspects.put('[');
        bool first = true;
        for (const auto& [a, b] : ChartPointPairs) {
            const std::optional<Aspect> aspect = tables.aspectGrid[index(a)][index(b)];
            if (!aspect)
                continue;
            if (!first)
                aspects.put(',');
            first = false;
            ObjectWriter e(aspects);
            e.integer("a", index(a));
            e.integer("b", index(b));
            e.integer("aspect", index(*aspect));
            e.string("name", aspectName(*aspect));
        }
        aspects.put(']');
    });
}

void appendErrorJson(std::string& out, long long line, std::string_view error)
{
    appendWithRoom(out, 64 + 6 * error.size(), [&](Cursor& cursor) {
        ObjectWriter o(cursor);
        o.integer("line", line);
        o.string("error", error);
    });
}

}  // namespace zodiara::cli
