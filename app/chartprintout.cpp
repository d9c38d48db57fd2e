#include "app/chartprintout.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "display/chartcanvas.h"
#include "display/chartpaint.h"
#include "ui/textconversion.h"

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

namespace {

// The "Printing" box: the job's title, the page being drawn and Cancel. Escape and the close
// box cancel too; the box itself stays until the run ends.
class PrintProgress final : public QDialog {
public:
    PrintProgress(QWidget* parent, const QString& title, int pages) : QDialog(parent), m_title(title), m_pages(pages)
    {
        setObjectName(QStringLiteral("printProgress"));
        setWindowTitle(QStringLiteral("Printing"));
        setWindowModality(Qt::WindowModal);
        m_label = new QLabel(this);
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setTextFormat(Qt::PlainText);
        // Wide enough for the caption "Printing" beside the title bar's buttons.
        m_label->setMinimumWidth(m_label->fontMetrics().averageCharWidth() * 32);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        connect(cancel, &QPushButton::clicked, this, &PrintProgress::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_label);
        layout->addWidget(cancel, 0, Qt::AlignHCenter);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        setPage(pages);
    }

    void setPage(int page)
    {
        m_label->setText(QStringLiteral("%1\nPage %2 of %3").arg(m_title).arg(page).arg(m_pages));
    }
    bool canceled() const { return m_canceled; }
    void reject() override { m_canceled = true; }

    // Shows the box centred over its parent's window and returns once it has been painted (or
    // after a second), so that it is seen before the pages, which take a while, are drawn.
    void showPainted()
    {
        adjustSize();
        if (const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr)
            move(over->frameGeometry().center() - QPoint(width() / 2, height() / 2));
        QEventLoop waiting;
        m_waiting = &waiting;
        QTimer::singleShot(1000, &waiting, &QEventLoop::quit);
        show();
        if (!m_painted)
            waiting.exec(QEventLoop::ExcludeUserInputEvents);
        m_waiting = nullptr;
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QDialog::paintEvent(event);
        m_painted = true;
        if (m_waiting)
            m_waiting->quit();
    }

private:
    QString m_title;
    int m_pages;
    QLabel* m_label = nullptr;
    bool m_canceled = false;
    bool m_painted = false;
    QEventLoop* m_waiting = nullptr;
};

// A new engine of the same kind; Qt hands the old engine's settings to the new one.
void restartEngine(QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        const QString name = printer.printerName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPrinterName(name);
        return;
    }
    const QPrinter::PdfVersion version = printer.pdfVersion();
    printer.setPdfVersion(version == QPrinter::PdfVersion_1_4 ? QPrinter::PdfVersion_1_6 : QPrinter::PdfVersion_1_4);
    printer.setPdfVersion(version);
}

QString cancel(QPrinter& printer, QPainter& painter)
{
    printer.abort();
    painter.end();
    // Half a chart in a file would pass for a printout.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return QStringLiteral("Printing canceled");
}

}  // namespace

QString printJobTitle(const Chart& chart)
{
    return QStringLiteral("Natal Chart for %1").arg(toQString(chart.birth.name));
}

IntRect printableArea(const QPrinter& printer)
{
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    return {0, 0, area.width(), area.height()};
}

QString printErrorText(const QString& title, const QString& reason)
{
    return QStringLiteral("'%1' not printed. %2.").arg(title, reason);
}

QString printChart(QPrinter& printer, const ChartPrintout& printout, QWidget* parent, const PageHook& beforePage)
{
    printer.setDocName(printout.title());
    printer.setFullPage(false);

    QPainter painter;
    if (!painter.begin(&printer)) {
        // An engine whose start failed can stay "active" and then refuses every setting, Printer
        // Setup's included. Switching engines, each taking over the other's settings, frees it.
        if (printer.printerState() == QPrinter::Active)
            restartEngine(printer);
        return QStringLiteral("Printer error");
    }

    PrintProgress progress(parent, printout.title(), printout.pageCount());
    progress.showPainted();
    const IntRect page = printableArea(printer);
    for (int number = 1; number <= printout.pageCount(); ++number) {
        progress.setPage(number);
        QCoreApplication::processEvents();
        if (progress.canceled())
            return cancel(printer, painter);
        if (number > 1 && !printer.newPage()) {
            painter.end();
            return QStringLiteral("Error encountered during print");
        }
        if (beforePage)
            beforePage(number);
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        printout.paintPage(canvas, number, page);
    }
    QCoreApplication::processEvents();
    if (progress.canceled())
        return cancel(printer, painter);
    if (!painter.end())
        return QStringLiteral("Error encountered during print");
    return {};
}

}  // namespace zodiara
