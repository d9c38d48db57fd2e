#include "display/chartexport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>

#include "display/chartcanvas.h"
#include "display/chartpaint.h"

namespace zodiara {

namespace {

bool validSize(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxExportSide && size.height() <= MaxExportSide;
}

QString sizeError(QSize size)
{
    return QStringLiteral("Cannot draw a chart of %1 x %2 pixels: each side must be 1 to %3.")
        .arg(size.width())
        .arg(size.height())
        .arg(MaxExportSide);
}

// XML 1.0 has no place, not even escaped, for the control characters other than tab and line
// ends, which a stored chart's texts may hold: each becomes U+FFFD. Below 0x20 a byte of UTF-8
// is always a character of its own.
QByteArray withoutControlCharacters(const QByteArray& xml)
{
    const auto forbidden = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
    };
    if (std::none_of(xml.begin(), xml.end(), forbidden))
        return xml;
    QByteArray clean;
    clean.reserve(xml.size() + 64);
    for (const char c : xml) {
        if (forbidden(c))
            clean.append("\xef\xbf\xbd");
        else
            clean.append(c);
    }
    return clean;
}

}  // namespace

QImage renderChartImage(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects)
{
    if (!validSize(size))
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        PainterCanvas canvas(painter, GlyphStyle::Bitmap);
        paintChartView(canvas, chart, tables, size, showAspects);
    }
    painter.end();
    return image;
}

QString encodeChartPng(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects, QByteArray& bytes)
{
    if (!validSize(size))
        return sizeError(size);
    const QImage image = renderChartImage(chart, tables, size, showAspects);
    if (image.isNull())
        return QStringLiteral("not enough memory for the image");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QStringLiteral("the PNG encoder failed");
    return {};
}

QString encodeChartSvg(const Chart& chart, const DerivedTables& tables, QSize size, bool showAspects, QByteArray& bytes)
{
    if (!validSize(size))
        return sizeError(size);
    QByteArray xml;
    QBuffer buffer(&xml);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setResolution(96);  // so a browser shows it at its pixel size
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Chart"));
    QPainter painter;
    if (!painter.begin(&svg))
        return QStringLiteral("the SVG generator could not start");
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    {
        // Vector glyphs: an SVG is meant to scale.
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintChartView(canvas, chart, tables, size, showAspects);
    }
    painter.end();
    bytes = withoutControlCharacters(xml);
    return {};
}

QString encodeChartPdf(const Chart& chart, const DerivedTables& tables, PaperSize paper, bool withAspects,
                       QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(PrintResolutionDpi);
    pdf.setTitle(QStringLiteral("Chart"));
    pdf.setCreator(QStringLiteral("Zodiara"));
    const QPageSize pageSize(paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4);
    if (!pdf.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0))))
        return QStringLiteral("the page size was refused");

    QPainter painter;
    if (!painter.begin(&pdf))
        return QStringLiteral("the PDF writer could not start");
    const QRect pageRect = pdf.pageLayout().paintRectPixels(pdf.resolution());
    const IntRect page{0, 0, pageRect.width(), pageRect.height()};
    {
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintChartPage(canvas, chart, tables.sortedBodies, page);
    }
    if (withAspects) {
        if (!pdf.newPage()) {
            painter.end();
            return QStringLiteral("the PDF writer could not start a second page");
        }
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintAspectsPage(canvas, chart, tables.aspectGrid, page);
    }
    if (!painter.end())
        return QStringLiteral("the PDF writer failed");
    return {};
}

}  // namespace zodiara
