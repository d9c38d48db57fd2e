// A canvas for the drawing tests: paints through a PainterCanvas and notes every call, so that a
// test checks what the paint really drew and where.
#pragma once

#include "display/chartcanvas.h"

#include <QPainter>

#include <vector>

namespace zodiara::test {

enum class Kind { Text, Glyph, Line, Ellipse };
struct Item {
    Kind kind;
    IntRect rect;  // a line runs from (left, top) to (right, bottom)
    int glyph = -1;
    QColor ink{};
    QString text{};
};

class RecordingCanvas final : public ChartCanvas {
public:
    RecordingCanvas(QPainter& painter, GlyphStyle style) : m_canvas(painter, style) {}
    void setFont(const ChartFont& font) override { m_canvas.setFont(font); }
    TextExtent textExtent(const QString& text) override { return m_canvas.textExtent(text); }
    void drawText(Point anchor, const QString& text, TextAlign align) override
    {
        const TextExtent e = textExtent(text);
        const int left = align == TextAlign::CentreTop ? anchor.x - e.width / 2 : anchor.x;
        record({Kind::Text, {left, anchor.y, left + e.width, anchor.y + e.height}, -1, {}, text})
            .drawText(anchor, text, align);
    }
    void drawEllipse(const IntRect& r) override { record({Kind::Ellipse, r}).drawEllipse(r); }
    void drawLine(Point a, Point b, QColor c) override { record({Kind::Line, {a.x, a.y, b.x, b.y}}).drawLine(a, b, c); }
    void setMinimumLineWidth(double points) override { m_canvas.setMinimumLineWidth(points); }
    void drawGlyph(int id, const IntRect& r, QColor c) override { record({Kind::Glyph, r, id, c}).drawGlyph(id, r, c); }
    std::vector<Item> items;

private:
    PainterCanvas& record(Item item)
    {
        items.push_back(std::move(item));
        return m_canvas;
    }
    PainterCanvas m_canvas;
};

}  // namespace zodiara::test
