// Batch rows one at a time: what the batch command runs on each CSV record, and the fuzzer too.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "chart/pipeline.h"

namespace zodiara::cli {

inline constexpr std::string_view BatchHeader = "name,place,date,time,zone,dst,bc,lon,lat";
// The optional last column chooses the ephemeris of each row (classic when empty).
inline constexpr std::string_view BatchEphemerisColumn = ",ephemeris";

class BatchRows {
public:
    // `withEphemeris`: the header has the ephemeris column. `now` is the run's instant.
    BatchRows(bool withEphemeris, std::chrono::sys_seconds now);

    // Appends the chart of one CSV record (without its line end) as one line of JSON without the
    // newline, or {"line": line, "error": "..."}; false for the error.
    [[nodiscard]] bool append(std::string& out, std::string_view record, long long line);

private:
    static constexpr std::size_t MaxColumns = 10;
    [[nodiscard]] std::string birthFromRow(std::string_view record, BirthData& birth, Ephemeris& ephemeris);

    std::size_t m_columns;
    std::chrono::sys_seconds m_now;
    std::vector<std::string_view> m_fields;
    std::array<std::string, MaxColumns> m_storage;  // quoted fields, unescaped
};

}  // namespace zodiara::cli
