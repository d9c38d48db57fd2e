// The printout: a frozen copy of the chart and the aspects flag, and the page rule.
#pragma once

#include <QString>

#include <functional>

#include "chart/chart.h"
#include "chart/pipeline.h"
#include "display/wheellayout.h"

class QPrinter;
class QWidget;

namespace zodiara {

class ChartCanvas;

class ChartPrintout {
public:
    // Copies `chart`, its tables and the flag; later changes to the originals never reach it.
    ChartPrintout(const QString& title, const Chart& chart, const DerivedTables& tables, bool showAspects);

    const QString& title() const { return m_title; }
    const Chart& chart() const { return m_chart; }
    bool showAspects() const { return m_showAspects; }

    // The wheel, and the aspect table on a second page when aspects are shown.
    int pageCount() const { return m_showAspects ? 2 : 1; }
    // Page `page` from 1: the wheel, or the aspect table for page 2; `pageRect` is the printable
    // area in device units.
    void paintPage(ChartCanvas& canvas, int page, const IntRect& pageRect) const;

private:
    QString m_title;
    Chart m_chart;
    DerivedTables m_tables;
    bool m_showAspects;
};

// "Natal Chart for %s" with the chart's name.
QString printJobTitle(const Chart& chart);

// The printable area of `printer`'s page in its device units (dots at its resolution), from (0, 0):
// the page rectangle printChart gives paintPage.
IntRect printableArea(const QPrinter& printer);

// Called before each page is drawn, with the page number from 1.
using PageHook = std::function<void(int page)>;

// Prints every page of `printout` on `printer` as it is set up, showing progress with a Cancel
// button over `parent`. Returns an empty string on success, otherwise the reason ("Printer
// error", "Printing canceled", "Error encountered during print"); after a failure the printer
// takes new settings and prints again. A canceled job leaves no PDF file behind.
QString printChart(QPrinter& printer, const ChartPrintout& printout, QWidget* parent, const PageHook& beforePage = {});

// The text of the "Print Error" box.
QString printErrorText(const QString& title, const QString& reason);

}  // namespace zodiara
