#include "display/chartpaint.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <ranges>
#include <vector>

#include "display/aspecttablelayout.h"
#include "display/bodyspread.h"
#include "ui/textconversion.h"

namespace zodiara {

namespace {

constexpr int half(int n) { return n / 2; }

const QString AspectTableTitle = QStringLiteral("Aspect Table");

// The box of the ink of a text drawn in `box`, its ink being `ink` from the text's top-left corner.
IntRect inkRect(const IntRect& box, const IntRect& ink)
{
    return {box.left + ink.left, box.top + ink.top, box.left + ink.right, box.top + ink.bottom};
}

// `text` as it is where it fits in `width`, otherwise its longest start that fits with an ellipsis
// after it, never cutting a character in two; empty where not even the ellipsis fits.
QString elidedText(ChartCanvas& canvas, const QString& text, int width)
{
    if (canvas.textExtent(text).width <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    std::vector<qsizetype> ends;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype end = graphemes.toNextBoundary(); end > 0 && end < text.size(); end = graphemes.toNextBoundary())
        ends.push_back(end);
    const auto shortened = [&](std::size_t n) {
        return n == 0 ? ellipsis : text.left(ends[n - 1]).trimmed() + ellipsis;
    };
    // The number of characters kept: the largest whose text fits, by bisection.
    std::size_t fits = 0, fails = ends.size() + 1;
    while (fails - fits > 1) {
        const std::size_t mid = (fits + fails) / 2;
        (canvas.textExtent(shortened(mid)).width <= width ? fits : fails) = mid;
    }
    return fits > 0 || canvas.textExtent(ellipsis).width <= width ? shortened(fits) : QString();
}

void paintWheel(ChartCanvas& canvas, const Chart& chart, const SortedBodies& sorted, const WheelLayout& layout,
                const ChartFonts& fonts, HitAreas* hits)
{
    // The reference wheel's glyphs stay as they always were.
    canvas.setGlyphEnlarging(layout.outerRadius > ReferenceOuterRadius ? GlyphEnlarging::Smooth
                                                                       : GlyphEnlarging::RepeatPixels);
    // Each smaller circle paints over the inside of the one before.
    for (const IntRect& circle : {layout.outerSquare, layout.signCircle, layout.numberCircle, layout.hubCircle})
        canvas.drawEllipse(circle);
    for (int k = 0; k < 12; ++k) {
        const Segment line = houseLine(layout, k);
        canvas.drawLine(line.from, line.to, Qt::black);
    }

    // The numbers keep to their band: smaller only where their font would cross its circles.
    ChartFont number = fonts.number;
    number.height = std::min(number.height, 2 * (layout.numberRadius - layout.hubRadius));
    for (;; --number.height) {
        canvas.setFont(number);
        bool inside = true;
        for (int i = 0; i < 12 && inside; ++i) {
            const QString label = houseNumberText(i + 1);
            inside = houseNumberInsideBand(layout, i, canvas.textExtent(label), canvas.inkPixels(label));
        }
        if (number.height <= 1 || inside)
            break;
    }
    for (int i = 0; i < 12; ++i) {
        const QString label = houseNumberText(i + 1);
        canvas.drawText(houseNumberTopLeft(layout, i, canvas.textExtent(label)), label, TextAlign::LeftTop);
    }

    canvas.setFont(fonts.name);
    const HubAnchors hub = hubAnchors(layout, canvas.textExtent(QStringLiteral("W")).height);
    const BirthData& birth = chart.birth;
    const QString name = chartName(chart);
    const int nameWidth = hubLineWidth(layout, hub.name, canvas.textExtent(name).height);
    canvas.drawText(hub.name, elidedText(canvas, name, nameWidth), TextAlign::CentreTop);
    canvas.setFont(fonts.data);
    canvas.drawText(hub.date, hubDateText(birth.birthDate, birth.beforeChrist), TextAlign::CentreTop);
    canvas.drawText(hub.time, hubTimeText(birth.localTime), TextAlign::CentreTop);
    canvas.drawText(hub.coordinates, hubCoordinatesText(birth.longitude, birth.latitude), TextAlign::CentreTop);

    // The cusps' labels, measured, and what their glyphs and labels cover, which bodies keep off.
    canvas.setFont(fonts.cusp);
    struct CuspLabels {
        QString degrees, minutes;
        CuspLabelAnchors anchors;
    };
    std::vector<CuspLabels> cuspLabels;
    std::vector<WheelObstacle> obstacles;
    for (int j = 0; j < 12; ++j) {
        const HouseCusp& cusp = chart.cusps[j];
        CuspLabels texts{degreeText(cusp.degrees), minuteText(cusp.minutes), {}};
        const TextExtent degreeExtent = canvas.textExtent(texts.degrees);
        const TextExtent minuteExtent = canvas.textExtent(texts.minutes);
        texts.anchors = cuspLabelAnchors(layout, j, degreeExtent, minuteExtent);
        const IntRect glyph = cuspGlyphRect(layout, j);
        obstacles.push_back({glyph, glyph});
        for (const auto& [anchor, text, extent] : {std::tuple{texts.anchors.degree, texts.degrees, degreeExtent},
                                                   {texts.anchors.minute, texts.minutes, minuteExtent}}) {
            const IntRect box = labelRect(anchor, extent);
            obstacles.push_back({box, inkRect(box, canvas.inkBounds(text))});
        }
        cuspLabels.push_back(std::move(texts));
    }

    // The bodies in wheel order, house by house, with their labels measured.
    canvas.setFont(fonts.label);
    struct BodyLabels {
        std::size_t sortedIndex;
        QString degrees, minutes;
    };
    std::vector<BodyToPlace> bodies;
    std::vector<BodyLabels> labels;
    for (int j = 0; j < 12; ++j) {
        const auto count = std::ranges::count(chart.bodies, j, &BodyPosition::house);
        int m = 0;
        for (std::size_t s = 0; s < sorted.size(); ++s) {
            const BodyPosition& position = sorted[s].position;
            if (position.house != j)
                continue;
            BodyLabels texts{s, degreeText(position.degrees), minuteText(position.minutes)};
            const double ring =
                longitudeAngle(j, chart.cusps[j].longitude, chart.cusps[(j + 1) % 12].longitude, position.longitude);
            bodies.push_back({j, bodySlotAngle(j, ++m, int(count)), ring, canvas.textExtent(texts.degrees),
                              canvas.textExtent(texts.minutes)});
            labels.push_back(std::move(texts));
        }
    }
    const std::vector<PlacedBody> placed = spreadBodies(layout, bodies, obstacles);

    // A glyph pushed aside from its slot points to where its longitude lies on the ring; the
    // glyphs are drawn over the ticks.
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (placed[i].spread())
            canvas.drawPolyline(placed[i].tick, elementInk(sorted[labels[i].sortedIndex].position.sign));

    // Where a line runs under a label, a halo in the background colour lifts the label off it. The
    // reference wheel has them only for spread bodies, and keeps its look elsewhere.
    const auto linedUnder = [&](const IntRect& r) {
        for (int k = 0; k < 12; ++k) {
            const Segment line = houseLine(layout, k);
            if (polylineMeets(std::array{line.from, line.to}, r))
                return true;
        }
        if (std::ranges::any_of(placed, [&](const PlacedBody& body) { return polylineMeets(body.tick, r); }))
            return true;
        const double cx = layout.centre.x - 0.5, cy = layout.centre.y - 0.5;
        const double nearX = std::max({r.left - cx, 0.0, cx - (r.right - 1)});
        const double nearY = std::max({r.top - cy, 0.0, cy - (r.bottom - 1)});
        const double farX = std::max(std::abs(r.left - cx), std::abs(r.right - 1 - cx));
        const double farY = std::max(std::abs(r.top - cy), std::abs(r.bottom - 1 - cy));
        const double nearest = std::hypot(nearX, nearY), farthest = std::hypot(farX, farY);
        return std::ranges::any_of(
            std::array{layout.outerRadius, layout.signRadius, layout.numberRadius, layout.hubRadius},
            [&](int radius) { return nearest <= radius - 0.5 && radius - 0.5 <= farthest; });
    };
    const bool largerThanReference = layout.outerRadius > ReferenceOuterRadius;
    const int halo = scaledUnits(layout, 3);
    const auto drawLabel = [&](Point anchor, const QString& text, bool haloAllowed) {
        if (haloAllowed && linedUnder(inkRect(labelRect(anchor, canvas.textExtent(text)), canvas.inkBounds(text))))
            canvas.drawTextHalo(anchor, text, TextAlign::CentreTop, halo);
        canvas.drawText(anchor, text, TextAlign::CentreTop);
    };

    std::size_t next = 0;
    for (int j = 0; j < 12; ++j) {
        const HouseCusp& cusp = chart.cusps[j];
        canvas.setFont(fonts.cusp);
        canvas.drawGlyph(signGlyphId(cusp.sign), cuspGlyphRect(layout, j), elementInk(cusp.sign));
        const CuspLabels& texts = cuspLabels[std::size_t(j)];
        drawLabel(texts.anchors.degree, texts.degrees, largerThanReference);
        drawLabel(texts.anchors.minute, texts.minutes, largerThanReference);

        for (; next < bodies.size() && bodies[next].house == j; ++next) {
            const BodyToPlace& body = bodies[next];
            const SortedBody& entry = sorted[labels[next].sortedIndex];
            const PlacedBody& at = placed[next];
            const IntRect glyph = bodyGlyphRect(layout, at.angleDeg, at.inset);
            const Sign sign = entry.position.sign;
            canvas.drawGlyph(bodyGlyphId(entry.body), glyph, elementInk(sign));
            if (hits)
                hits->bodyGlyphs[labels[next].sortedIndex] = glyph;

            canvas.setFont(fonts.label);
            const bool haloAllowed = largerThanReference || at.spread();
            drawLabel(bodyDegreeAnchor(layout, j, at.angleDeg, body.degreeLabel, at.inset), labels[next].degrees,
                      haloAllowed);
            canvas.drawGlyph(signGlyphId(sign), bodySignGlyphRect(layout, j, at.angleDeg, body.degreeLabel, at.inset),
                             elementInk(sign));
            drawLabel(bodyMinuteAnchor(layout, j, at.angleDeg, body.degreeLabel, body.minuteLabel, at.inset),
                      labels[next].minutes, haloAllowed);
        }
    }
    canvas.setGlyphEnlarging(GlyphEnlarging::RepeatPixels);
}

}  // namespace

QColor elementInk(Sign sign)
{
    // In the order of ElementNames: fire, earth, air, water.
    switch (signElement(sign)) {
    case 0: return QColor(255, 61, 1);
    case 1: return QColor(128, 128, 0);
    case 2: return QColor(0, 128, 128);
    default: return QColor(0, 0, 255);
    }
}

QColor aspectInk(Aspect aspect)
{
    switch (aspect) {
    // clang-format off
    case Aspect::Conjunction: case Aspect::Square: case Aspect::Opposition:
        return QColor(255, 0, 0);
    case Aspect::SemiSextile: case Aspect::Biquintile: case Aspect::Quintile:
        return QColor(0, 128, 255);
    case Aspect::Sextile: case Aspect::Trine:
        return QColor(0, 0, 255);
    case Aspect::SemiSquare: case Aspect::Sesquiquadrate: case Aspect::Inconjunct:
        break;
        // clang-format on
    }
    return QColor(255, 128, 128);
}

ChartFonts screenFonts(int clientWidth)
{
    // clang-format off
    return {{"Arial", 13, 400}, {"Arial", 14, 400}, {"Arial", 14, 600}, {"Arial", 16, 400},
            {"System", clientWidth / 40, 400}};
    // clang-format on
}

ChartFonts wheelFonts(const ChartFonts& view, const WheelLayout& layout)
{
    if (layout.scale <= 1)
        return view;
    // The house numbers of the 580-wide view.
    constexpr int ReferenceNumberHeight = 580 / 40;
    ChartFonts fonts = view;
    for (ChartFont* font : {&fonts.label, &fonts.data, &fonts.name, &fonts.cusp})
        font->height = scaledUnits(layout, font->height);
    fonts.number.height = std::max(view.number.height, scaledUnits(layout, ReferenceNumberHeight));
    return fonts;
}

ChartFonts pageFonts(int pageWidth)
{
    const int u = pageWidth / 40;
    const int small = static_cast<int>(u * 0.8);
    const int medium = static_cast<int>(u * 0.9);
    return {
        {"Arial", small, 400}, {"Arial", medium, 400}, {"Arial", medium, 600}, {"Arial", u, 400}, {"System", u, 400}};
}

QString houseNumberText(int house) { return QString::asprintf("%2d", house); }

QString degreeText(int degrees) { return QString::asprintf(degrees > 9 ? "%d\u00ba" : "0%d\u00ba", degrees); }

QString minuteText(int minutes) { return QString::asprintf(minutes > 9 ? "%d'" : "0%d'", minutes); }

QString hubDateText(const CalendarDate& date, bool beforeChrist)
{
    const std::string_view month = monthName(date.month - 1);
    // Without the era a year before Christ reads as a year after.
    return QString::asprintf("%.*s %d, %d%s", static_cast<int>(month.size()), month.data(), int(date.day),
                             int(date.year), beforeChrist ? " BC" : "");
}

QString hubTimeText(const TimeOfDay& time)
{
    const QString hour = QString::asprintf(time.hour >= 1 ? "%dh" : "0%d", time.hour);
    const QString minute = QString::asprintf(time.minute < 10 ? "0%dm" : "%dm", time.minute);
    const QString second = QString::asprintf(time.second < 10 ? "0%ds" : "%ds", time.second);
    return hour + QLatin1Char(' ') + minute + QLatin1Char(' ') + second;
}

QString hubCoordinatesText(const GeoAngle& longitude, const GeoAngle& latitude)
{
    return QString::asprintf("%d%c%d,%d%c%d", int(longitude.degrees), compassLetter(longitude.direction),
                             int(longitude.minutes), int(latitude.degrees), compassLetter(latitude.direction),
                             int(latitude.minutes));
}

QString legendText(Aspect aspect)
{
    const std::string_view name = aspectName(aspect);
    return QString::asprintf(" = %.*s, %3.0f degrees", static_cast<int>(name.size()), name.data(),
                             aspectAngleDeg(aspect));
}

QString chartName(const Chart& chart) { return toQString(chart.birth.name); }

int drawAspectTable(ChartCanvas& canvas, const Chart& chart, const AspectGrid& grid, Point origin, int textHeight,
                    const ChartFont& titleFont, const ChartFont& bodyFont, HitAreas* hits)
{
    canvas.setFont(bodyFont);
    const int nmWidth = canvas.textExtent(QStringLiteral("nm")).width;
    const int wWidth = canvas.textExtent(QStringLiteral("W")).width;
    const AspectTableLayout table(origin.x, origin.y, nmWidth, wWidth, textHeight);

    canvas.setFont(titleFont);
    canvas.drawText(table.titleAnchor(), AspectTableTitle, TextAlign::CentreTop);
    canvas.setFont(bodyFont);

    for (const Body columnBody : AllBodies) {
        const ChartPoint column = chartPoint(columnBody);
        canvas.drawGlyph(bodyGlyphId(columnBody), table.headerGlyphRect(column),
                         elementInk(chart.body(columnBody).sign));
        for (int j = index(column) + 1; j < ChartPointCount; ++j) {
            const ChartPoint row = AllChartPoints[j];
            // The first column's pass labels the rows.
            if (column == ChartPoint::Moon) {
                if (j < BodyCount) {
                    canvas.drawGlyph(bodyGlyphId(j), table.rowLabelGlyphRect(row), elementInk(chart.bodies[j].sign));
                } else {
                    canvas.drawText(table.rowLabelTextAnchor(row),
                                    row == ChartPoint::Ascendant ? QStringLiteral("Asc") : QStringLiteral("MC"),
                                    TextAlign::LeftTop);
                }
            }
            const std::optional<Aspect> aspect = grid[index(column)][j];
            if (!aspect) {
                canvas.drawText(table.dashAnchor(column, row), QStringLiteral("-"), TextAlign::CentreTop);
                continue;
            }
            const IntRect cell = table.cellGlyphRect(column, row);
            canvas.drawGlyph(aspectGlyphId(index(*aspect)), cell, aspectInk(*aspect));
            if (hits)
                hits->aspectCells[index(column)][j] = cell;
        }
    }
    return origin.y + table.height();
}

HitAreas paintChartView(ChartCanvas& canvas, const Chart& chart, const DerivedTables& tables, QSize client,
                        bool showAspects)
{
    HitAreas hits;
    const ChartFonts fonts = screenFonts(client.width());
    const IntRect area{0, 0, client.width(), client.height()};
    if (!showAspects) {
        const WheelLayout layout = computeWheelLayout(area, false, false);
        paintWheel(canvas, chart, tables.sortedBodies, layout, wheelFonts(fonts, layout), &hits);
        return hits;
    }
    canvas.setFont(fonts.cusp);
    const int textHeight = canvas.textExtent(degreeText(0)).height;
    const AspectTableLayout table(0, 0, canvas.textExtent(QStringLiteral("nm")).width,
                                  canvas.textExtent(QStringLiteral("W")).width, textHeight);
    canvas.setFont(fonts.name);
    const auto covered = table.footprint(canvas.textExtent(AspectTableTitle));
    const WheelLayout layout = wheelLayoutBesideTable(area, covered);
    paintWheel(canvas, chart, tables.sortedBodies, layout, wheelFonts(fonts, layout), &hits);
    drawAspectTable(canvas, chart, tables.aspectGrid, {0, 0}, textHeight, fonts.name, fonts.cusp, &hits);
    return hits;
}

void paintChartPage(ChartCanvas& canvas, const Chart& chart, const SortedBodies& sortedBodies, const IntRect& page)
{
    const WheelLayout layout = computeWheelLayout(page, false, true);
    // One printer dot is a faint hairline on paper.
    canvas.setMinimumLineWidth(MinimumPaperLinePt);
    paintWheel(canvas, chart, sortedBodies, layout, pageFonts(page.right - page.left), nullptr);
}

void paintAspectsPage(ChartCanvas& canvas, const Chart& chart, const AspectGrid& grid, const IntRect& page)
{
    const int pageWidth = page.right - page.left;
    const ChartFonts fonts = pageFonts(pageWidth);
    const ChartFont titleFont{"Arial", pageWidth / 40, 600};

    canvas.setFont(fonts.cusp);
    const TextExtent w = canvas.textExtent(QStringLiteral("W"));
    int left = page.left + 3 * w.width;
    int top =
        drawAspectTable(canvas, chart, grid, {left, page.top + 3 * w.height}, w.height, titleFont, fonts.cusp, nullptr);

    top += w.height;
    const int legendTop = top;
    for (const Aspect aspect : AllAspects) {
        canvas.drawGlyph(aspectGlyphId(index(aspect)), {left, top, left + w.width, top + w.height}, Qt::black);
        canvas.drawText({left + w.width, top}, legendText(aspect), TextAlign::LeftTop);
        // Two columns of the legend, the second from the Square on.
        if (aspect == Aspect::Quintile) {
            left = page.left + half(pageWidth);
            top = legendTop;
        } else {
            top += w.height + 5;
        }
    }
}

}  // namespace zodiara
