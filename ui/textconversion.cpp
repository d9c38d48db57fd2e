#include "ui/textconversion.h"

#include "chart/text1252.h"

namespace zodiara {

QString toQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string toUtf8(const QString& text) { return text.toStdString(); }

bool fitsChartFile(const QString& text) { return windows1252FromUtf8(toUtf8(text)).has_value(); }

}  // namespace zodiara
