#include "ui/textconversion.h"

namespace zodiara {

namespace {

std::string_view view(const QByteArray& bytes) { return {bytes.constData(), static_cast<std::size_t>(bytes.size())}; }

}  // namespace

QString toQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QString chartFieldText(const char (&field)[50]) { return QString::fromStdString(chartText(field)); }

SetTextResult setChartField(char (&field)[50], const QString& text) { return setChartText(field, view(text.toUtf8())); }

bool fitsChartFile(const QString& text) { return windows1252FromUtf8(view(text.toUtf8())).has_value(); }

}  // namespace zodiara
