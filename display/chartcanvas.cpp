#include "display/chartcanvas.h"

#include <QHash>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>

#include "display/glyphbitmap.h"
#include "resources/glyphs.h"

namespace zodiara {

namespace {

QFont makeFont(const ChartFont& choice, int pixelSize)
{
    QFont font(QString::fromLatin1(choice.face));
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(choice.weight));
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

int cellHeight(const ChartFont& font, int pixelSize, const QPaintDevice* device)
{
    // QFontMetrics wants a mutable device pointer but only reads its resolution.
    const QFontMetrics fm(makeFont(font, pixelSize), const_cast<QPaintDevice*>(device));
    return fm.ascent() + fm.descent();
}

int pixelSizeForCellHeight(const ChartFont& font, const QPaintDevice* device)
{
    const int target = std::max(1, font.height);
    // Sans faces are about 1.15 em from ascent to descent; start there and walk.
    int px = std::max(1, static_cast<int>(target / 1.15));
    const int limit = 4 * target + 4;
    while (px > 1 && cellHeight(font, px, device) > target)
        --px;
    while (px < limit && cellHeight(font, px + 1, device) <= target)
        ++px;
    return px;
}

}  // namespace

QFont fontForCellHeight(const ChartFont& font, const QPaintDevice* device)
{
    const int dpi = device ? device->logicalDpiY() : 0;
    const QString key =
        QStringLiteral("%1|%2|%3|%4").arg(QString::fromLatin1(font.face)).arg(font.weight).arg(font.height).arg(dpi);
    thread_local QHash<QString, int> sizes;
    auto it = sizes.constFind(key);
    if (it == sizes.constEnd())
        it = sizes.insert(key, pixelSizeForCellHeight(font, device));
    return makeFont(font, it.value());
}

PainterCanvas::PainterCanvas(QPainter& painter, GlyphStyle style) : m_painter(painter), m_style(style)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setPen(QPen(Qt::black, 1));
    m_painter.setBrush(Qt::white);
}

PainterCanvas::~PainterCanvas() { m_painter.restore(); }

void PainterCanvas::setFont(const ChartFont& font)
{
    const QFont f = fontForCellHeight(font, m_painter.device());
    m_painter.setFont(f);
    m_metrics.emplace(m_painter.fontMetrics());
}

TextExtent PainterCanvas::textExtent(const QString& text)
{
    if (!m_metrics)
        m_metrics.emplace(m_painter.fontMetrics());
    return {m_metrics->horizontalAdvance(text), m_metrics->ascent() + m_metrics->descent()};
}

std::vector<Point> PainterCanvas::inkPixels(const QString& text)
{
    if (!m_metrics)
        m_metrics.emplace(m_painter.fontMetrics());
    // A margin for what overhangs the advance or the descent.
    const int margin = m_metrics->height() / 2 + 2;
    QImage coverage(m_metrics->horizontalAdvance(text) + 2 * margin, m_metrics->height() + 2 * margin,
                    QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(m_painter.font());
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(margin, margin + m_metrics->ascent()), text);
    }
    std::vector<Point> ink;
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* row = coverage.constScanLine(y);
        for (int x = 0; x < coverage.width(); ++x)
            if (row[x] >= 128)
                ink.push_back({x - margin, y - margin});
    }
    return ink;
}

IntRect PainterCanvas::inkBounds(const QString& text)
{
    if (!m_metrics)
        m_metrics.emplace(m_painter.fontMetrics());
    const QRect r = m_metrics->tightBoundingRect(text).translated(0, m_metrics->ascent());
    return {r.left() - 1, r.top() - 1, r.right() + 2, r.bottom() + 2};
}

void PainterCanvas::drawText(Point anchor, const QString& text, TextAlign align)
{
    if (!m_metrics)
        m_metrics.emplace(m_painter.fontMetrics());
    int left = anchor.x;
    if (align == TextAlign::CentreTop)
        left -= m_metrics->horizontalAdvance(text) / 2;
    m_painter.setPen(QPen(Qt::black, 1));
    m_painter.drawText(QPoint(left, anchor.y + m_metrics->ascent()), text);
}

void PainterCanvas::drawEllipse(const IntRect& bounds)
{
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0)
        return;
    m_painter.setPen(QPen(Qt::black, m_lineWidth));
    m_painter.setBrush(Qt::white);
    // An aliased one-unit outline of QRect(x, y, w, h) covers w + 1 pixels.
    m_painter.drawEllipse(QRect(bounds.left, bounds.top, w - 1, h - 1));
}

void PainterCanvas::drawLine(Point from, Point to, QColor colour)
{
    m_painter.setPen(QPen(colour, m_lineWidth));
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

void PainterCanvas::drawPolyline(std::span<const Point> points, QColor colour)
{
    QPolygon polygon;
    polygon.reserve(qsizetype(points.size()));
    for (const Point p : points)
        polygon << QPoint(p.x, p.y);
    m_painter.setPen(QPen(colour, m_lineWidth));
    m_painter.drawPolyline(polygon);
}

void PainterCanvas::drawTextHalo(Point anchor, const QString& text, TextAlign align, int width)
{
    if (!m_metrics)
        m_metrics.emplace(m_painter.fontMetrics());
    int left = anchor.x;
    if (align == TextAlign::CentreTop)
        left -= m_metrics->horizontalAdvance(text) / 2;
    const qreal penWidth = std::max<qreal>(width, 3 * m_lineWidth);
    const QPen pen(Qt::white, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QFont font = m_painter.font();
    const auto outline = [&](QPointF baseline) {
        QPainterPath path;
        path.addText(baseline, font, text);
        return path;
    };
    const QPaintEngine* engine = m_painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.strokePath(outline(QPointF(left, anchor.y + m_metrics->ascent())), pen);
        m_painter.restore();
        return;
    }
    // On screen and in images the same halos come back paint after paint: stroking outlines is slow.
    const int margin = static_cast<int>(std::ceil(penWidth / 2)) + 1;
    const qreal ratio = m_painter.device()->devicePixelRatio();
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(font.key(), text).arg(penWidth).arg(qRound(ratio * 100));
    thread_local QHash<QString, QImage> halos;
    auto it = halos.constFind(key);
    if (it == halos.constEnd()) {
        const QSize size(m_metrics->horizontalAdvance(text) + 2 * margin, m_metrics->height() + 2 * margin);
        QImage halo(size * ratio, QImage::Format_ARGB32_Premultiplied);
        halo.setDevicePixelRatio(ratio);
        halo.fill(Qt::transparent);
        QPainter painter(&halo);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.strokePath(outline(QPointF(margin, margin + m_metrics->ascent())), pen);
        painter.end();
        if (halos.size() >= 1024)
            halos.clear();
        it = halos.insert(key, halo);
    }
    m_painter.drawImage(QPointF(left - margin, anchor.y - margin), it.value());
}

void PainterCanvas::setMinimumLineWidth(double points)
{
    const QPaintDevice* device = m_painter.device();
    const int dpi = device ? device->logicalDpiX() : 72;
    m_lineWidth = std::max(1.0, points * dpi / 72.0);
}

void PainterCanvas::drawGlyph(int id, const IntRect& target, QColor ink)
{
    const int w = target.right - target.left;
    const int h = target.bottom - target.top;
    if (w <= 0 || h <= 0)
        return;
    if (m_style == GlyphStyle::Vector) {
        drawGlyphVector(m_painter, id, QRectF(target.left, target.top, w, h), ink);
        return;
    }
    const QPaintDevice* device = m_painter.device();
    const QImage image = screenGlyph(id, QSize(w, h), ink, device ? device->devicePixelRatio() : 1.0, m_enlarging);
    if (!image.isNull())
        m_painter.drawImage(QRectF(target.left, target.top, w, h), image);
}

}  // namespace zodiara
