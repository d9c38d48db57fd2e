#include "chartprintout.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>

#include "chartcanvas.h"
#include "chartpaint.h"
#include "textconversion.h"

namespace zodiara {

ChartPrintout::ChartPrintout(const QString& title, const Chart& chart, const DerivedTables& tables, bool showAspects)
    : m_title(title), m_chart(chart), m_tables(tables), m_showAspects(showAspects)
{
}

void ChartPrintout::paintPage(ChartCanvas& canvas, int page, const IntRect& pageRect) const
{
    if (m_showAspects && page == 2)
        paintAspectsPage(canvas, m_chart, m_tables.aspectGrid, pageRect);
    else
        paintChartPage(canvas, m_chart, m_tables.sortedBodies, pageRect);
}

QString printJobTitle(const Chart& chart)
{
    return QStringLiteral("Natal Chart for %1").arg(chartFieldText(chart.name));
}

QString printErrorText(const QString& title, const QString& reason)
{
    return QStringLiteral("'%1' not printed. %2.").arg(title, reason);
}

QString printChart(QPrinter& printer, const ChartPrintout& printout, QWidget* parent, const PageHook& beforePage)
{
    printer.setDocName(printout.title());
    printer.setFullPage(false);

    QProgressDialog progress(parent);
    progress.setWindowTitle(QStringLiteral("Printing"));
    progress.setCancelButtonText(QStringLiteral("Cancel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setRange(0, 0);

    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("Printer error");

    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const IntRect page{0, 0, area.width(), area.height()};
    for (int number = 1; number <= printout.pageCount(); ++number) {
        progress.setLabelText(QStringLiteral("%1\nPage %2").arg(printout.title()).arg(number));
        progress.setValue(0);
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            printer.abort();
            painter.end();
            return QStringLiteral("Printing canceled");
        }
        if (number > 1 && !printer.newPage()) {
            painter.end();
            return QStringLiteral("Error encountered during print");
        }
        if (beforePage)
            beforePage(number);
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        printout.paintPage(canvas, number, page);
    }
    if (!painter.end())
        return QStringLiteral("Error encountered during print");
    return {};
}

}  // namespace zodiara
