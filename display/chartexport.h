// Files of the chart for the command line: the view as PNG or SVG, the printed pages as PDF.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "chart/chart.h"
#include "chart/pipeline.h"

namespace zodiara {

inline constexpr QSize DefaultViewSize{580, 420};
inline constexpr int MaxExportSide = 8192;
inline constexpr int PrintResolutionDpi = 600;

enum class PaperSize { A4, Letter };

// The view as the main window would show it in a client area of `size`, on white.
// Null when the size is empty or larger than MaxExportSide.
QImage renderChartImage(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects);

// The files' bytes, for a caller that writes several files together: the reason on failure,
// empty on success. The SVG is well-formed XML whatever the chart's texts hold.
[[nodiscard]] QString encodeChartPng(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects,
                                     QByteArray& bytes);
[[nodiscard]] QString encodeChartSvg(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects,
                                     QByteArray& bytes);
// The chart page at 600 dpi, and the aspects page after it when `withAspects`.
[[nodiscard]] QString encodeChartPdf(const Chart& chart, const DerivedTables& tables, PaperSize paper, bool withAspects,
                                     QByteArray& bytes);

}  // namespace zodiara
