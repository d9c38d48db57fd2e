// The 78 compatibility texts, one for each unordered pair of signs.
#pragma once

#include <array>
#include <string_view>

#include "lore/signtexts.h"

namespace zodiara {

// Position of the pair a <= b (both 0..11) in the table, which runs in id order.
constexpr int compatibilityIndex(int a, int b) { return a * 12 - a * (a - 1) / 2 + (b - a); }
static_assert(compatibilityIndex(0, 0) == 0 && compatibilityIndex(1, 1) == 12);
static_assert(compatibilityIndex(11, 11) == CompatibilityTextCount - 1);

const std::array<std::string_view, CompatibilityTextCount>& compatibilityTexts();

}  // namespace zodiara
