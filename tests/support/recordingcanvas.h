// A canvas for the drawing tests: paints through a PainterCanvas and notes every call, so that a
// test checks what the paint really drew and where.
#pragma once

#include "display/chartcanvas.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <span>
#include <vector>

namespace zodiara::test {

enum class Kind { Text, Glyph, Line, Ellipse, Tick, Halo };
struct Item {
    Kind kind;
    IntRect rect;  // a line runs from (left, top) to (right, bottom)
    int glyph = -1;
    QColor ink{};
    QString text{};
    IntRect inked{};            // a text's: the box of the pixels it darkens by half or more
    std::vector<Point> line{};  // a tick's; a text's: the pixels it darkens by half or more
};

class RecordingCanvas final : public ChartCanvas {
public:
    RecordingCanvas(QPainter& painter, GlyphStyle style) : m_canvas(painter, style) {}
    void setFont(const ChartFont& font) override { m_canvas.setFont(font); }
    TextExtent textExtent(const QString& text) override { return m_canvas.textExtent(text); }
    std::vector<Point> inkPixels(const QString& text) override { return m_canvas.inkPixels(text); }
    IntRect inkBounds(const QString& text) override { return m_canvas.inkBounds(text); }
    void drawText(Point anchor, const QString& text, TextAlign align) override
    {
        const TextExtent e = textExtent(text);
        const int left = align == TextAlign::CentreTop ? anchor.x - e.width / 2 : anchor.x;
        IntRect inked{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        std::vector<Point> ink;
        for (const Point p : inkPixels(text)) {
            ink.push_back({left + p.x, anchor.y + p.y});
            inked = {std::min(inked.left, ink.back().x), std::min(inked.top, ink.back().y),
                     std::max(inked.right, ink.back().x + 1), std::max(inked.bottom, ink.back().y + 1)};
        }
        record({Kind::Text, {left, anchor.y, left + e.width, anchor.y + e.height}, -1, {}, text, inked, ink});
        if (textsShown)
            m_canvas.drawText(anchor, text, align);
    }
    void drawTextHalo(Point anchor, const QString& text, TextAlign align, int width) override
    {
        record({Kind::Halo, {anchor.x, anchor.y, anchor.x, anchor.y}, -1, {}, text});
        if (halosShown)
            m_canvas.drawTextHalo(anchor, text, align, width);
    }
    void drawPolyline(std::span<const Point> points, QColor c) override
    {
        record({Kind::Tick, {}, -1, c, {}, {}, {points.begin(), points.end()}}).drawPolyline(points, c);
    }
    void drawEllipse(const IntRect& r) override { record({Kind::Ellipse, r}).drawEllipse(r); }
    void drawLine(Point a, Point b, QColor c) override { record({Kind::Line, {a.x, a.y, b.x, b.y}}).drawLine(a, b, c); }
    void setMinimumLineWidth(double points) override { m_canvas.setMinimumLineWidth(points); }
    void drawGlyph(int id, const IntRect& r, QColor c) override { record({Kind::Glyph, r, id, c}).drawGlyph(id, r, c); }
    void setGlyphEnlarging(GlyphEnlarging enlarging) override { m_canvas.setGlyphEnlarging(enlarging); }
    std::vector<Item> items;
    bool textsShown = true;
    bool halosShown = true;

private:
    PainterCanvas& record(Item item)
    {
        items.push_back(std::move(item));
        return m_canvas;
    }
    PainterCanvas m_canvas;
};

}  // namespace zodiara::test
