// The 78 compatibility texts, one for each unordered pair of signs.
#pragma once

#include <array>
#include <string_view>

#include "chart/chart.h"

namespace zodiara {

inline constexpr int CompatibilityTextCount = SignCount * (SignCount + 1) / 2;

// The pair's text, the same in either order: headed "<earlier sign> and <later sign>:" and a
// line feed, in the order Aries to Pisces.
std::string_view compatibilityText(Sign a, Sign b);

// Every text, for a box that must hold the longest.
const std::array<std::string_view, CompatibilityTextCount>& compatibilityTexts();

}  // namespace zodiara
