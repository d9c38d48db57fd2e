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
    m_metrics.reset();
}

const QFontMetrics& PainterCanvas::metrics()
{
    if (!m_metrics) {
        m_metrics.emplace(m_painter.fontMetrics());
        const QPaintDevice* device = m_painter.device();
        m_fontKey = m_painter.font().key() + QLatin1Char('|') + QString::number(device ? device->logicalDpiY() : 0);
    }
    return *m_metrics;
}

PainterCanvas::Measured PainterCanvas::measured(const QString& text)
{
    // Shaping a text to measure it costs more than drawing it, and the same texts come back.
    const QFontMetrics& fm = metrics();
    const QString key = m_fontKey + QLatin1Char('|') + text;
    thread_local QHash<QString, Measured> kept;
    auto it = kept.constFind(key);
    if (it == kept.constEnd()) {
        if (kept.size() >= 4096)
            kept.clear();
        const QRect ink = fm.tightBoundingRect(text).translated(0, fm.ascent());
        it = kept.insert(key, {fm.horizontalAdvance(text), {ink.left(), ink.top(), ink.right() + 1, ink.bottom() + 1}});
    }
    return it.value();
}

TextExtent PainterCanvas::textExtent(const QString& text)
{
    return {measured(text).advance, metrics().ascent() + metrics().descent()};
}

std::vector<Point> PainterCanvas::inkPixels(const QString& text)
{
    const QFontMetrics& fm = metrics();
    // Drawing a text to find its ink takes longer than the rest of its use: every paint asks again.
    const QFont font = m_painter.font();
    const QString key = m_fontKey + QLatin1Char('|') + text;
    thread_local QHash<QString, std::vector<Point>> kept;
    if (const auto it = kept.constFind(key); it != kept.constEnd())
        return it.value();
    // A margin for what overhangs the advance or the descent.
    const int margin = fm.height() / 2 + 2;
    QImage coverage(measured(text).advance + 2 * margin, fm.height() + 2 * margin, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(margin, margin + fm.ascent()), text);
    }
    std::vector<Point> ink;
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* row = coverage.constScanLine(y);
        for (int x = 0; x < coverage.width(); ++x)
            if (row[x] >= 128)
                ink.push_back({x - margin, y - margin});
    }
    if (kept.size() >= 1024)
        kept.clear();
    kept.insert(key, ink);
    return ink;
}

IntRect PainterCanvas::inkBounds(const QString& text)
{
    const IntRect r = measured(text).ink;
    return {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
}

void PainterCanvas::drawText(Point anchor, const QString& text, TextAlign align)
{
    int left = anchor.x;
    if (align == TextAlign::CentreTop)
        left -= measured(text).advance / 2;
    m_painter.setPen(QPen(Qt::black, 1));
    m_painter.drawText(QPoint(left, anchor.y + metrics().ascent()), text);
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
    const QFontMetrics& fm = metrics();
    int left = anchor.x;
    if (align == TextAlign::CentreTop)
        left -= measured(text).advance / 2;
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
        m_painter.strokePath(outline(QPointF(left, anchor.y + fm.ascent())), pen);
        m_painter.restore();
        return;
    }
    // On screen and in images the same halos come back paint after paint: stroking outlines is slow.
    const int margin = static_cast<int>(std::ceil(penWidth / 2)) + 1;
    const qreal ratio = m_painter.device()->devicePixelRatio();
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(m_fontKey, text).arg(penWidth).arg(qRound(ratio * 100));
    thread_local QHash<QString, QImage> halos;
    auto it = halos.constFind(key);
    if (it == halos.constEnd()) {
        const QSize size(measured(text).advance + 2 * margin, fm.height() + 2 * margin);
        QImage halo(size * ratio, QImage::Format_ARGB32_Premultiplied);
        halo.setDevicePixelRatio(ratio);
        halo.fill(Qt::transparent);
        QPainter painter(&halo);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.strokePath(outline(QPointF(margin, margin + fm.ascent())), pen);
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
