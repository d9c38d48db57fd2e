// The line batch keeps up to date on a terminal.
#pragma once

#include <cstdint>
#include <string>

namespace zodiara::cli {

struct BatchProgress {
    long long rows = 0;            // answered
    double seconds = 0;            // since the input was opened
    std::uint64_t bytesDone = 0;   // of a regular input file, read up to the last row answered
    std::uint64_t bytesTotal = 0;  // its size; 0 when the input is no regular file
    bool finished = false;
};

// "12345 rows, 6170 rows/s, 42%, 0:07 left"; without the share and the time left for a pipe;
// "12345 rows, 6170 rows/s, done in 0:02" at the end.
std::string progressText(const BatchProgress& progress);

}  // namespace zodiara::cli
