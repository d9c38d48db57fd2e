// The sign lore from the command line: "traits SIGN" and "compatibility SIGN SIGN".
// A SIGN is a name in any case, an index 0..11 or a birthday MM-DD.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

inline constexpr int LoreUsageError = 2;

// What a lore command answers: its output, or why it refused the words it was given.
struct LoreAnswer {
    int status = 0;       // 0, or LoreUsageError with a refusal
    std::string output;   // every line ends in a newline; empty when refused
    std::string refusal;  // "traits: ..." or "compatibility: ...", quoting the words as given
};

// The facts of the traits box, one "Label: value" line each, ending in a newline.
std::string traitsReport(Sign sign);

// `args` are the words after the command name; a wrong number of words or a sign they cannot
// read is refused.
[[nodiscard]] LoreAnswer runTraitsCommand(std::span<const std::string_view> args);
[[nodiscard]] LoreAnswer runCompatibilityCommand(std::span<const std::string_view> args);

}  // namespace zodiara
