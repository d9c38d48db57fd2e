// Between the engine's texts (UTF-8 std::string) and QString.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zodiara {

// A table text, an engine message or a chart text, UTF-8 (the tables are ASCII).
QString toQString(std::string_view utf8);
std::string toUtf8(const QString& text);

// True when a chart file can hold every character of `text`.
bool fitsChartFile(const QString& text);

}  // namespace zodiara
