// The few drawing operations the chart needs, so the view, images, SVG and paper share one
// drawing routine. Coordinates are device units with no scaling.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <optional>
#include <span>
#include <vector>

#include "display/glyphbitmap.h"
#include "display/wheellayout.h"

class QPainter;
class QPaintDevice;

namespace zodiara {

// A font by face, cell height (ascent + descent) in device units and weight (400 or 600).
struct ChartFont {
    const char* face = "Arial";
    int height = 16;
    int weight = 400;
    bool operator==(const ChartFont&) const = default;
};

enum class TextAlign { LeftTop, CentreTop };

class ChartCanvas {
public:
    virtual ~ChartCanvas() = default;
    virtual void setFont(const ChartFont& font) = 0;
    virtual TextExtent textExtent(const QString& text) = 0;
    // The pixels that drawing the text darkens by half or more, from its top-left corner.
    virtual std::vector<Point> inkPixels(const QString& text) = 0;
    // The box of the text's ink, from its top-left corner, a unit wider all round for the shading
    // of its edges.
    virtual IntRect inkBounds(const QString& text) = 0;
    // Black text with a transparent background, `anchor` being its top-left or top-centre.
    virtual void drawText(Point anchor, const QString& text, TextAlign align) = 0;
    // A white disc with a black outline filling `bounds` (right and bottom exclusive).
    virtual void drawEllipse(const IntRect& bounds) = 0;
    // A line in `colour`, as wide as the outlines.
    virtual void drawLine(Point from, Point to, QColor colour) = 0;
    // Lines in `colour` from each point to the next, as wide as the outlines.
    virtual void drawPolyline(std::span<const Point> points, QColor colour) = 0;
    // The background colour, `width` units wide (at least three lines' width), around the outline of
    // the text drawText would draw: what lies beneath stays clear of the text.
    virtual void drawTextHalo(Point anchor, const QString& text, TextAlign align, int width) = 0;
    // From now on lines and outlines are at least `points` (1/72 inch) wide, never under one unit.
    virtual void setMinimumLineWidth(double points) = 0;
    // Glyph `id` stretched into `target`, ink in `ink`, its background transparent.
    virtual void drawGlyph(int id, const IntRect& target, QColor ink) = 0;
    // How bitmap glyphs larger than their natural images are drawn from now on.
    virtual void setGlyphEnlarging(GlyphEnlarging enlarging) = 0;
};

// Bitmap glyphs keep thin strokes on screen at small sizes; vector glyphs stay sharp on paper.
enum class GlyphStyle { Bitmap, Vector };

class PainterCanvas final : public ChartCanvas {
public:
    // The painter must be active; its state is saved here and restored on destruction.
    PainterCanvas(QPainter& painter, GlyphStyle style);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    void setFont(const ChartFont& font) override;
    TextExtent textExtent(const QString& text) override;
    std::vector<Point> inkPixels(const QString& text) override;
    IntRect inkBounds(const QString& text) override;
    void drawText(Point anchor, const QString& text, TextAlign align) override;
    void drawEllipse(const IntRect& bounds) override;
    void drawLine(Point from, Point to, QColor colour) override;
    void drawPolyline(std::span<const Point> points, QColor colour) override;
    void drawTextHalo(Point anchor, const QString& text, TextAlign align, int width) override;
    void setMinimumLineWidth(double points) override;
    void drawGlyph(int id, const IntRect& target, QColor ink) override;
    void setGlyphEnlarging(GlyphEnlarging enlarging) override { m_enlarging = enlarging; }

private:
    QPainter& m_painter;
    GlyphStyle m_style;
    GlyphEnlarging m_enlarging = GlyphEnlarging::RepeatPixels;
    qreal m_lineWidth = 1;
    struct Measured {
        int advance;
        IntRect ink;  // from the top-left corner
    };
    // The current font's metrics, and the measures of a text in it.
    const QFontMetrics& metrics();
    Measured measured(const QString& text);

    std::optional<QFontMetrics> m_metrics;
    QString m_fontKey;  // the current font on this device
};

// The Qt font for `font` whose ascent + descent on `device` equals its cell height, or the largest
// one below it where no pixel size hits it exactly. Cached per face, weight, height and dpi.
QFont fontForCellHeight(const ChartFont& font, const QPaintDevice* device);

}  // namespace zodiara
