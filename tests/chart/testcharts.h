// Charts the engine tests share.
#pragma once

#include <cmath>
#include <cstdint>
#include <ostream>

#include "chart/chart.h"
#include "chart/pipeline.h"

namespace zodiara {

// Failures name what the enums stand for.
inline std::ostream& operator<<(std::ostream& os, Sign sign) { return os << signName(sign); }
inline std::ostream& operator<<(std::ostream& os, Body body) { return os << bodyName(body); }
inline std::ostream& operator<<(std::ostream& os, Aspect aspect) { return os << aspectName(aspect); }

}  // namespace zodiara

namespace zodiara::test {

struct Place {
    int lonDeg = 0, lonMin = 0;
    CompassDirection ew = West;
    int latDeg = 0, latMin = 0;
    CompassDirection ns = North;
};

inline BirthData birth(int year, int month, int day, int hour, int minute, int zone, Place place = {}, bool dst = false,
                       bool bc = false)
{
    BirthData b;
    b.birthDate = {year, std::int8_t(month), std::int8_t(day)};
    b.localTime = {hour, minute, 0};
    b.zone = zone;
    b.daylightSaving = dst;
    b.beforeChrist = bc;
    b.longitude = {std::int16_t(place.lonDeg), std::int16_t(place.lonMin), place.ew};
    b.latitude = {std::int16_t(place.latDeg), std::int16_t(place.latMin), place.ns};
    return b;
}

// 1990-01-01 12:00 EST, 74W00 40N43: the chart every published figure refers to.
inline BirthData referenceBirth() { return birth(1990, 1, 1, 12, 0, 6, {74, 0, West, 40, 43, North}); }

// The classic or precise chart of a birth that both cover.
inline Chart chartOf(const BirthData& b, Ephemeris ephemeris = Ephemeris::Classic)
{
    return computeChart(b, ephemeris).value().chart;
}

// Separation of two longitudes folded onto 0..180 degrees.
inline double separation(double a, double b)
{
    const double d = std::fabs(a - b);
    return d > 180 ? 360 - d : d;
}

}  // namespace zodiara::test
