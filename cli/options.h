// Command-line options and the value forms shared by the options and the batch CSV columns.
// Every parser returns an error text for a person, empty on success, and leaves its output
// alone on failure. The parsers check forms; birthDataFrom applies the birth rules.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart.h"
#include "chart/pipeline.h"

namespace zodiara::cli {

// "YYYY-MM-DD", the year as entered (up to four digits, month and day up to two).
[[nodiscard]] std::string parseDate(std::string_view text, CalendarDate& date);
// "HH:MM" or "HH:MM:SS", two digits at most each.
[[nodiscard]] std::string parseTime(std::string_view text, TimeOfDay& time);
// A zone index (up to three digits), or the abbreviation before the first comma of a zone
// line (first in table order, so "NST" is 4).
[[nodiscard]] std::string parseZone(std::string_view text, std::int32_t& zone);
// "DDD(E|W)MM" and "DD(N|S)MM".
[[nodiscard]] std::string parseLongitude(std::string_view text, GeoAngle& angle);
[[nodiscard]] std::string parseLatitude(std::string_view text, GeoAngle& angle);
// "0" or "1".
[[nodiscard]] std::string parseFlag(std::string_view text, bool& flag);
// "classic" or "precise".
[[nodiscard]] std::string parseEphemeris(std::string_view text, Ephemeris& ephemeris);

// The texts of a birth's options or batch columns, as given; an absent field takes the default
// (this moment, zone 6, 49W00, 24N00). This moment is the clock time of the chart's zone, so that
// its Universal Time is `now`.
struct BirthArgs {
    std::optional<std::string_view> name, place, date, time, zone, lon, lat;
    bool dst = false;
    bool bc = false;
};

inline constexpr std::int32_t DefaultZone = 6;
inline constexpr GeoAngle DefaultLongitude{49, 0, West};
inline constexpr GeoAngle DefaultLatitude{24, 0, North};

// The birth that `args` give, when their forms and the birth rules allow; `birth` is untouched on
// failure. `now` is read once by main, so one run agrees with itself and the parsing never reads
// the clock.
[[nodiscard]] std::string birthDataFrom(const BirthArgs& args, std::chrono::sys_seconds now, BirthData& birth);

// A small table-driven parser for "--name VALUE", "--name=VALUE" and "--flag". Commands and
// output options register handlers; a handler returns an error text, empty on success.
class OptionParser {
public:
    using ValueHandler = std::function<std::string(std::string_view)>;
    using FlagHandler = std::function<void()>;

    void addValue(std::string_view name, ValueHandler handler);
    void addFlag(std::string_view name, FlagHandler handler);

    // Options may stand anywhere; other arguments are collected as positionals ("--" ends the
    // options). An option given twice is refused: a script that does so is mistaken.
    std::string parse(std::span<const std::string_view> args, std::vector<std::string_view>& positionals) const;

private:
    struct Option {
        std::string name;  // without the leading "--"
        ValueHandler onValue;
        FlagHandler onFlag;
    };
    std::vector<Option> m_options;
};

}  // namespace zodiara::cli
