// Files of the chart for the command line: the view as PNG or SVG, the printed pages as PDF.
// Each writer returns an empty string on success and the reason, naming the file, otherwise;
// a failed write leaves no partial file behind.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "chart.h"
#include "pipeline.h"

namespace zodiara {

inline constexpr QSize DefaultViewSize{580, 420};
inline constexpr int MaxExportSide = 8192;
inline constexpr int PrintResolutionDpi = 600;

enum class PaperSize { A4, Letter };

// The view as the main window would show it in a client area of `size`, on white.
// Null when the size is empty or larger than MaxExportSide.
QImage renderChartImage(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects);

QString exportChartPng(const QString& path, const Chart& chart, const DerivedTables& tables, QSize size,
                       bool showAspects);
QString exportChartSvg(const QString& path, const Chart& chart, const DerivedTables& tables, QSize size,
                       bool showAspects);
// The chart page at 600 dpi, and the aspects page after it when `withAspects`.
QString exportChartPdf(const QString& path, const Chart& chart, const DerivedTables& tables, PaperSize paper,
                       bool withAspects);

}  // namespace zodiara
