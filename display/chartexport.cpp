#include "chartexport.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "chartcanvas.h"
#include "chartpaint.h"

namespace zodiara {

namespace {

bool validSize(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxExportSide
           && size.height() <= MaxExportSide;
}

QString sizeError(QSize size)
{
    return QStringLiteral("Cannot draw a chart of %1 x %2 pixels: each side must be 1 to %3.")
        .arg(size.width())
        .arg(size.height())
        .arg(MaxExportSide);
}

QString writeError(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(path), reason);
}

// Writes `bytes` through a temporary file renamed over `path` only when all went well.
QString saveBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeError(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return writeError(path, reason);
    }
    if (!file.commit())
        return writeError(path, file.errorString());
    return {};
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

QString exportChartPng(const QString& path, const Chart& chart, const DerivedTables& tables, QSize size,
                       bool showAspects)
{
    if (!validSize(size))
        return sizeError(size);
    const QImage image = renderChartImage(chart, tables, size, showAspects);
    if (image.isNull())
        return writeError(path, QStringLiteral("not enough memory for the image"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return writeError(path, QStringLiteral("the PNG encoder failed"));
    return saveBytes(path, bytes);
}

QString exportChartSvg(const QString& path, const Chart& chart, const DerivedTables& tables, QSize size,
                       bool showAspects)
{
    if (!validSize(size))
        return sizeError(size);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setResolution(96);  // so a browser shows it at its pixel size
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Chart"));
    QPainter painter;
    if (!painter.begin(&svg))
        return writeError(path, QStringLiteral("the SVG generator could not start"));
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    {
        // Vector glyphs: an SVG is meant to scale.
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintChartView(canvas, chart, tables, size, showAspects);
    }
    painter.end();
    return saveBytes(path, bytes);
}

QString exportChartPdf(const QString& path, const Chart& chart, const DerivedTables& tables, PaperSize paper,
                       bool withAspects)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(PrintResolutionDpi);
    pdf.setTitle(QStringLiteral("Chart"));
    pdf.setCreator(QStringLiteral("Zodiara"));
    const QPageSize pageSize(paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4);
    if (!pdf.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0))))
        return writeError(path, QStringLiteral("the page size was refused"));

    QPainter painter;
    if (!painter.begin(&pdf))
        return writeError(path, QStringLiteral("the PDF writer could not start"));
    const QRect pageRect = pdf.pageLayout().paintRectPixels(pdf.resolution());
    const IntRect page{0, 0, pageRect.width(), pageRect.height()};
    {
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintChartPage(canvas, chart, tables.sortedBodies, page);
    }
    if (withAspects) {
        if (!pdf.newPage()) {
            painter.end();
            return writeError(path, QStringLiteral("the PDF writer could not start a second page"));
        }
        PainterCanvas canvas(painter, GlyphStyle::Vector);
        paintAspectsPage(canvas, chart, tables.aspectGrid, page);
    }
    if (!painter.end())
        return writeError(path, QStringLiteral("the PDF writer failed"));
    return saveBytes(path, bytes);
}

}  // namespace zodiara
