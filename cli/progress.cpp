#include "cli/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zodiara::cli {

namespace {

// "0:07", "12:34", "1:02:03".
std::string durationText(double seconds)
{
    const long long whole = std::llround(std::clamp(seconds, 0.0, 1e9));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

}  // namespace

std::string progressText(const BatchProgress& progress)
{
    std::string text = std::to_string(progress.rows) + (progress.rows == 1 ? " row" : " rows");
    if (progress.seconds > 0)
        text += ", " + std::to_string(std::llround(double(progress.rows) / progress.seconds)) + " rows/s";
    if (progress.finished)
        return text + ", done in " + durationText(progress.seconds);
    if (progress.bytesTotal > 0) {
        const double share = std::min(1.0, double(progress.bytesDone) / double(progress.bytesTotal));
        text += ", " + std::to_string(int(share * 100)) + "%";
        if (share > 0 && progress.seconds > 0)
            text += ", " + durationText(progress.seconds * (1 - share) / share) + " left";
    }
    return text;
}

}  // namespace zodiara::cli
