// Names of parameterised GoogleTest cases: the same in every build, so `ctest --rerun-failed` finds them again.
#pragma once

#include <string>
#include <string_view>

namespace zodiara::test {

// "EST new year, daylight saving" -> "EST_new_year_daylight_saving": GoogleTest takes letters, digits and '_' only.
inline std::string testName(std::string_view text)
{
    std::string name;
    for (const char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    if (!name.empty() && name.back() == '_')
        name.pop_back();
    return name;
}

}  // namespace zodiara::test
