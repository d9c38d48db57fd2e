// The sign lore from the command line: "traits SIGN" and "compatibility SIGN SIGN".
// A SIGN is a name in any case, an index 0..11 or a birthday MM-DD.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

// The facts of the traits box, one "Label: value" line each, ending in a newline.
std::string traitsReport(Sign sign);

// `args` are the words after the command name. Both return 0, or 2 after one line on `err`
// for a wrong number of words or a sign they cannot read.
int runTraitsCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int runCompatibilityCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace zodiara
