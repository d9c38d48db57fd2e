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

inline constexpr int ChartTextMaxChars = 49;
// The Windows-1252 bytes of UTF-8 text, at most `maxBytes`: a character without one, malformed
// UTF-8 and NUL become '?'. Exact for every text the birth rules accept.
std::string windows1252Lossy(std::string_view utf8, std::size_t maxBytes);

}  // namespace zodiara
