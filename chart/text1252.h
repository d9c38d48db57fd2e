// Chart texts are single-byte Windows-1252 in the file and UTF-8 everywhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zodiara {

std::string utf8FromWindows1252(std::string_view text);
// Nullopt when the UTF-8 text is malformed or holds a character that has no Windows-1252 byte.
std::optional<std::string> windows1252FromUtf8(std::string_view text);
// True when `text` is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// The text of a NUL-terminated 50-byte field, as UTF-8.
std::string chartText(const char (&field)[50]);

inline constexpr int ChartTextMaxChars = 49;
enum class SetTextResult { Ok, NotRepresentable, TooLong };
// Stores UTF-8 text into a field: the bytes after the terminator are kept as they were, so an
// untouched remainder survives a round trip. Leaves the field alone unless the result is Ok.
SetTextResult setChartText(char (&field)[50], std::string_view utf8);

}  // namespace zodiara
