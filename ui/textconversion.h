// Between the engine's texts (UTF-8 std::string, Windows-1252 chart fields) and QString.
#pragma once

#include <QString>

#include <string_view>

#include "chart/text1252.h"

namespace zodiara {

// A table text or an engine message, UTF-8 (the tables are ASCII).
QString toQString(std::string_view utf8);

// A chart's NUL-terminated 50-byte text field.
QString chartFieldText(const char (&field)[50]);

// Stores `text` into a chart's text field as setChartText does; the field is untouched unless
// the result is Ok.
SetTextResult setChartField(char (&field)[50], const QString& text);

// True when a chart file can hold every character of `text`.
bool fitsChartFile(const QString& text);

}  // namespace zodiara
