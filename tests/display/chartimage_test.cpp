// The reference chart (1990-01-01 12:00 EST, 74W00 40N43) against its stored pictures, the files made
// of it, and where the placement rules alone leave the wheel unreadable; checked on what the paint
// really draws, through a canvas that notes every call.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <random>
#include <ranges>
#include <tuple>

#include "chart/angles.h"
#include "chart/houses.h"
#include "chart/pipeline.h"
#include "display/chartcanvas.h"
#include "display/chartexport.h"
#include "display/chartpaint.h"
#include "display/glyphbitmap.h"
#include "recordingcanvas.h"

using namespace zodiara;
using namespace zodiara::test;

namespace {

struct Painted {
    QImage image;
    HitAreas hits;
    std::vector<Item> items;
};

enum class Texts { Drawn, Left, OnlyTheirHalos };

Painted paintView(const Chart& chart, const DerivedTables& tables, QSize size, bool aspects, qreal ratio = 1,
                  Texts texts = Texts::Drawn)
{
    Painted p{QImage(size * ratio, QImage::Format_RGB32), {}, {}};
    p.image.setDevicePixelRatio(ratio);
    p.image.fill(Qt::white);
    QPainter painter(&p.image);
    RecordingCanvas canvas(painter, GlyphStyle::Bitmap);
    canvas.textsShown = texts == Texts::Drawn;
    canvas.halosShown = texts != Texts::Left;
    p.hits = paintChartView(canvas, chart, tables, size, aspects);
    p.items = std::move(canvas.items);
    return p;
}

constexpr CalendarDate ReferenceDate{1990, 1, 1};

Chart computed(const BirthData& birth, DerivedTables& tables)
{
    ComputedChart computed = computeChart(birth).value();
    tables = computed.tables;
    return computed.chart;
}

// Born at noon EST in 74W00 40N43.
Chart chartOf(CalendarDate date, DerivedTables& tables)
{
    BirthData birth;
    birth.name = "Reference";
    birth.birthDate = date;
    birth.localTime = {12, 0, 0};
    birth.zone = 6;
    birth.longitude = {74, 0, West};
    birth.latitude = {40, 43, North};
    return computed(birth, tables);
}

// Delhi, 1962-02-04 17:30 IST, 77E13 28N36: seven bodies within 17 degrees of Aquarius.
Chart delhiChart(DerivedTables& tables)
{
    BirthData birth;
    birth.name = "Delhi";
    birth.birthDate = {1962, 2, 4};
    birth.localTime = {17, 30, 0};
    birth.zone = 22;  // IST
    birth.longitude = {77, 13, East};
    birth.latitude = {28, 36, North};
    return computed(birth, tables);
}

// The reference chart's cusps with its ten bodies at first, first + step, ...
Chart clusterChart(double firstDeg, double stepDeg, DerivedTables& tables)
{
    Chart chart = chartOf(ReferenceDate, tables);
    for (int b = 0; b < BodyCount; ++b) {
        splitBody(chart.bodies[b], reduce360(firstDeg + b * stepDeg));
        chart.bodies[b].house = houseOf(chart.bodies[b].longitude, chart.cusps);
    }
    tables = derivedTables(chart);
    return chart;
}

bool meet(const IntRect& a, const IntRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

double distanceToRect(QPointF c, const IntRect& r)
{
    return std::hypot(std::max({r.left - c.x(), 0.0, c.x() - (r.right - 1)}),
                      std::max({r.top - c.y(), 0.0, c.y() - (r.bottom - 1)}));
}

// The i-th circle drawn (0 outer, 1 sign, 2 number, 3 hub): its centre and radius.
std::pair<QPointF, double> circle(const std::vector<Item>& items, int i)
{
    const auto ellipse = [&](const Item& it) { return it.kind == Kind::Ellipse && !i--; };
    const IntRect r = std::ranges::find_if(items, ellipse)->rect;
    return {QPointF(r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2), (r.right - r.left) / 2.0};
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReferenceImage : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    DerivedTables tables;
    const Chart chart = chartOf(ReferenceDate, tables);
};

// The view is the picture of the placement rules (stored before the glyphs were redrawn) except inside
// the boxes of the small glyphs, now drawn from pixel masters; the exported image is the same picture,
// whether its glyph bitmaps were kept from before or drawn afresh.
TEST_F(ReferenceImage, ViewChangesOnlyInsideTheSmallGlyphs)
{
    for (const auto& [file, aspects] : {std::pair{"reference-view.png", false}, {"reference-view-aspects.png", true}}) {
        const QImage want = QImage(QDir(ZODIARA_TEST_DATA).filePath(file)).convertToFormat(QImage::Format_RGB32);
        clearScreenGlyphCache();
        const Painted p = paintView(chart, tables, DefaultViewSize, aspects);
        EXPECT_EQ(renderChartImage(chart, tables, DefaultViewSize, aspects).convertToFormat(QImage::Format_RGB32),
                  p.image);
        std::vector<IntRect> small;
        for (const Item& item : p.items)
            if (item.kind == Kind::Glyph && item.rect.right - item.rect.left <= 10
                && item.rect.bottom - item.rect.top <= 10)
                small.push_back(item.rect);
        EXPECT_EQ(small.size(), 20u) << "ten bodies and the signs they are in";
        ASSERT_EQ(want.size(), p.image.size());
        int inside = 0, outside = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                if (p.image.pixel(x, y) != want.pixel(x, y))
                    ++(std::ranges::any_of(small, [&](const IntRect& r) { return r.contains(x, y); }) ? inside
                                                                                                      : outside);
        EXPECT_GT(inside, 0);
        EXPECT_EQ(outside, 0) << file;
    }
}

// At a device pixel ratio of 2 each glyph is drawn at the device's resolution, not doubled from a
// ratio-1 picture (nor from the cache that picture filled), and everything keeps its place in
// logical pixels.
TEST_F(ReferenceImage, RatioTwoDrawsGlyphsSharpInTheSamePlaces)
{
    clearScreenGlyphCache();
    const Painted one = paintView(chart, tables, DefaultViewSize, true);
    const Painted two = paintView(chart, tables, DefaultViewSize, true, 2);
    EXPECT_EQ(one.hits.bodyGlyphs, two.hits.bodyGlyphs);
    EXPECT_EQ(one.hits.aspectCells, two.hits.aspectCells);
    ASSERT_EQ(one.items.size(), two.items.size());
    int glyphs = 0;
    for (std::size_t i = 0; i < one.items.size(); ++i) {
        const IntRect& r = one.items[i].rect;
        ASSERT_EQ(r, two.items[i].rect);
        if (one.items[i].kind != Kind::Glyph)
            continue;
        ++glyphs;
        const QRect box(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
        const QImage doubled = one.image.copy(box).scaled(box.size() * 2);
        const QImage sharp = two.image.copy(QRect(box.topLeft() * 2, box.size() * 2));
        QImage blank(sharp.size(), sharp.format());
        blank.fill(Qt::white);
        EXPECT_TRUE(sharp != doubled && sharp != blank) << "glyph " << one.items[i].glyph << " at " << box.x();
    }
    EXPECT_GT(glyphs, 80);  // the wheel's and the table's
}

#ifdef ZODIARA_CHART_EXE
// The exit status (-2 or -1 if the program could not start or crashed); its messages go to the
// test's own. The reference chart is REF, the test's directory DIR.
int runChart(QString args, const QTemporaryDir& dir)
{
    args.replace("REF", "compute --name Reference --date 1990-01-01 --time 12:00 --zone 6 --lon 074W00 --lat 40N43");
    return QProcess::execute(ZODIARA_CHART_EXE, args.replace("DIR", dir.path()).split(' '));
}

// The PNG is what the window shows. The SVG is at 96 dpi, so a viewer shows the drawing at its pixel
// size. Glyphs are paths, never images: with none in the PDF, coloured ink on the rasterised page can
// only be vector glyphs.
TEST_F(ReferenceImage, CommandImagesPngIsTheWindowSvgAtPixelSizePdfOnePageOrTwoWithVectorGlyphs)
{
    ASSERT_EQ(runChart("REF --save DIR/ref.cht --png DIR/computed.png --svg DIR/chart.svg --aspects", dir), 0);
    const QByteArray svg = fileBytes(path("chart.svg"));
    for (const char* part :
         {"width=\"153.458mm\" height=\"111.125mm\"", "viewBox=\"0 0 580 420\"", "Aspect Table", "<path"})
        EXPECT_TRUE(svg.contains(part)) << part;
    EXPECT_FALSE(svg.contains("<image"));
    ASSERT_EQ(runChart("show DIR/ref.cht --png DIR/shown.png --size 800x500", dir), 0);
    EXPECT_EQ(QImage(path("computed.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, DefaultViewSize, true));
    EXPECT_EQ(QImage(path("shown.png")).convertToFormat(QImage::Format_RGB32),
              renderChartImage(chart, tables, {800, 500}, false));
    static const QRegularExpression page("/Type\\s*/Page(?!s)");
    for (const bool aspects : {false, true}) {
        ASSERT_EQ(runChart(aspects ? "REF --pdf DIR/two.pdf --aspects --paper letter" : "REF --pdf DIR/one.pdf", dir),
                  0);
        const QByteArray pdf = fileBytes(path(aspects ? "two.pdf" : "one.pdf"));
        EXPECT_EQ(QString::fromLatin1(pdf).count(page), aspects ? 2 : 1);
        EXPECT_TRUE(pdf.contains(aspects ? "/MediaBox [0 0 612" : "/MediaBox [0 0 595"));
        EXPECT_FALSE(pdf.contains("/Subtype /Image"));
    }
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "50", "-png", "-singlefile", path("one.pdf"), path("page")}), 0);
    const QImage raster(path("page.png"));
    ASSERT_FALSE(raster.isNull());
    int coloured = 0;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            coloured += QColor(raster.pixel(x, y)).saturation() > 150 && QColor(raster.pixel(x, y)).value() > 100;
    EXPECT_GT(coloured, 200);
}

#endif

// How far apart two boxes are along the axis that parts them most; negative where they overlap.
int boxGap(const IntRect& a, const IntRect& b)
{
    return std::max({a.left - b.right, b.left - a.right, a.top - b.bottom, b.top - a.bottom});
}

// Whether the segment from a to b passes over a pixel of r (clipped against the box of the pixels'
// centres).
bool crosses(Point a, Point b, const IntRect& r)
{
    if (r.left >= r.right || r.top >= r.bottom)
        return false;
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    for (const auto& [p, q] : {std::pair{-dx, double(a.x - r.left)},
                               {dx, double(r.right - 1 - a.x)},
                               {-dy, double(a.y - r.top)},
                               {dy, double(r.bottom - 1 - a.y)}}) {
        if (p == 0) {
            if (q < 0)
                return false;
        } else if (p < 0) {
            t0 = std::max(t0, q / p);
        } else {
            t1 = std::min(t1, q / p);
        }
    }
    return t0 <= t1;
}

bool crosses(const std::vector<Point>& line, const IntRect& r)
{
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (crosses(line[i], line[i + 1], r))
            return true;
    return false;
}

// What a paint drew for the bodies, the cusps and the ticks.
struct DrawnWheel {
    std::vector<std::array<const Item*, 4>> bodies;  // glyph, degree label, sign glyph, minute label
    std::vector<std::array<const Item*, 3>> cusps;   // glyph, degree label, minute label
    std::vector<const Item*> ticks;
};

DrawnWheel drawnWheel(const std::vector<Item>& items)
{
    DrawnWheel wheel;
    std::vector<const Item*> drawn;  // the halos left out
    for (const Item& item : items) {
        if (item.text == QStringLiteral("Aspect Table"))
            break;
        if (item.kind == Kind::Tick)
            wheel.ticks.push_back(&item);
        else if (item.kind != Kind::Halo)
            drawn.push_back(&item);
    }
    for (std::size_t i = 0; i + 2 < drawn.size(); ++i) {
        if (drawn[i]->kind != Kind::Glyph)
            continue;
        if (drawn[i]->glyph >= bodyGlyphId(0) && drawn[i]->glyph < bodyGlyphId(BodyCount)) {
            if (i + 3 < drawn.size())
                wheel.bodies.push_back({drawn[i], drawn[i + 1], drawn[i + 2], drawn[i + 3]});
        } else if (drawn[i + 1]->kind == Kind::Text && drawn[i + 2]->kind == Kind::Text)
            wheel.cusps.push_back({drawn[i], drawn[i + 1], drawn[i + 2]});
    }
    return wheel;
}

// What is wrong with how a paint of `chart` on `layout` laid out its bodies: a body's glyph or labels
// meeting another's, or a cusp glyph or label that they do not meet at the body's slot; a tick not
// running from the ring to the edge of its own glyph, or crossing a glyph or label of another body
// or the ink of a cusp's; a glyph not in the ink of its sign, or (on screen) not where a click
// finds its body. Counts the ticks.
std::vector<std::string> spreadFaults(const std::vector<Item>& items, const HitAreas* hits, const WheelLayout& layout,
                                      const DerivedTables& tables, int& ticks)
{
    const DrawnWheel wheel = drawnWheel(items);
    ticks = int(wheel.ticks.size());
    if (wheel.bodies.size() != std::size_t(BodyCount) || wheel.cusps.size() != 12u)
        return {"not ten bodies and twelve cusps"};
    std::vector<std::string> faults;
    const auto bodyOf = [](const Item* glyph) { return Body(glyph->glyph - bodyGlyphId(0)); };
    const auto name = [&](const Item* glyph) { return std::string(bodyName(bodyOf(glyph))); };
    const auto extent = [](const IntRect& r) { return TextExtent{r.right - r.left, r.bottom - r.top}; };
    for (std::size_t b = 0; b < wheel.bodies.size(); ++b) {
        const auto& body = wheel.bodies[b];
        const Body which = bodyOf(body[0]);
        const auto sorted = std::ranges::find(tables.sortedBodies, which, &SortedBody::body);
        if ((hits && hits->bodyGlyphs[std::size_t(sorted - tables.sortedBodies.begin())] != body[0]->rect)
            || body[0]->ink != elementInk(sorted->position.sign))
            faults.push_back(name(body[0]) + " not found by a click or not in its ink");
        // Its slot: the m-th of the n bodies of its house.
        const int j = sorted->position.house;
        int m = 0, n = 0;
        for (const SortedBody& s : tables.sortedBodies)
            if (s.position.house == j && (++n, s.body == which))
                m = n;
        const BodyFootprint slot =
            bodyFootprint(layout, j, bodySlotAngle(j, m, n), extent(body[1]->rect), extent(body[3]->rect));
        const std::array atSlot{slot.glyph, slot.degree, slot.sign, slot.minute};
        for (const auto& cusp : wheel.cusps)
            for (const Item* c : cusp)
                for (const Item* part : body)
                    if (meet(part->rect, c->rect)
                        && std::ranges::none_of(atSlot, [&](const IntRect& r) { return meet(r, c->rect); }))
                        faults.push_back(name(body[0]) + " meets cusp item " + c->text.toStdString());
        for (std::size_t other = b + 1; other < wheel.bodies.size(); ++other)
            for (const Item* x : body)
                for (const Item* y : wheel.bodies[other])
                    if (meet(x->rect, y->rect))
                        faults.push_back(name(body[0]) + " meets " + name(wheel.bodies[other][0]));
    }
    const auto [centre, outer] = circle(items, 0);
    const double ring = circle(items, 1).second;
    for (const Item* tick : wheel.ticks) {
        const std::vector<Point>& line = tick->line;
        const auto ends = [&](const auto& body) {
            const IntRect& g = body[0]->rect;
            const Point q = line.back();
            return g.contains(q.x, q.y);
        };
        const auto own = std::ranges::find_if(wheel.bodies, ends);
        // On the ring, or just under a cusp label that reaches over the ring there.
        const double a = std::atan2(line[0].y - centre.y(), line[0].x - centre.x());
        const QPointF onRing = centre + ring * QPointF(std::cos(a), std::sin(a));
        const bool fromRing = std::abs(std::hypot(line[0].x - centre.x(), line[0].y - centre.y()) - ring) <= 1.5
                              || std::ranges::any_of(wheel.cusps, [&](const auto& cusp) {
                                     return std::ranges::any_of(cusp, [&](const Item* c) {
                                         const IntRect& r = c->kind == Kind::Text ? c->inked : c->rect;
                                         return onRing.x() >= r.left - 3 && onRing.x() <= r.right + 2
                                                && onRing.y() >= r.top - 3 && onRing.y() <= r.bottom + 2;
                                     });
                                 });
        if (line.size() < 2 || !fromRing || own == wheel.bodies.end()) {
            faults.push_back("a tick not from the ring to a glyph");
            continue;
        }
        for (const auto& body : wheel.bodies)
            for (const Item* part : body)
                if (&body != &*own && crosses(line, part->rect))
                    faults.push_back("the tick of " + name((*own)[0]) + " crosses " + name(body[0]));
        for (const auto& cusp : wheel.cusps)
            for (const Item* c : cusp)
                if (crosses(line, c->kind == Kind::Text ? c->inked : c->rect))
                    faults.push_back("the tick of " + name((*own)[0]) + " crosses cusp item " + c->text.toStdString());
    }
    return faults;
}

// The same for the view of `chart` in a client area of `size`.
std::vector<std::string> spreadFaults(const Chart& chart, const DerivedTables& tables, QSize size, int& ticks)
{
    const Painted p = paintView(chart, tables, size, false);
    return spreadFaults(p.items, &p.hits, computeWheelLayout({0, 0, size.width(), size.height()}, false, false), tables,
                        ticks);
}

// A random birth between 1900 and 2050, anywhere below the polar circles.
BirthData randomBirth(std::mt19937& random)
{
    std::uniform_int_distribution<int> year(1900, 2050), month(1, 12), day(1, 28), hour(0, 23), minute(0, 59);
    std::uniform_int_distribution<int> longitude(0, 179), latitude(0, 65), side(0, 1);
    const auto draw = [&](std::uniform_int_distribution<int>& d) { return static_cast<std::int8_t>(d(random)); };
    const auto wide = [&](std::uniform_int_distribution<int>& d) { return static_cast<std::int16_t>(d(random)); };
    BirthData birth;
    birth.name = "Random";
    birth.birthDate = {year(random), draw(month), draw(day)};
    birth.localTime = {hour(random), minute(random), 0};
    birth.zone = 6;
    birth.longitude = {wide(longitude), wide(minute), side(random) ? East : West};
    birth.latitude = {wide(latitude), wide(minute), side(random) ? North : South};
    return birth;
}

// Crowded bodies are pushed apart, each clear of the others, off the cusp glyphs and labels it did
// not meet at its slot, with a tick from the ring that crosses nothing; a click finds each body where
// its glyph is drawn, in the ink of its sign's element.
TEST(CrowdedHouses, SpreadApartClearOfEachOtherAndOfTheCuspsWithTicksFromTheRing)
{
    DerivedTables t;
    const auto born = [&](CalendarDate date, TimeOfDay time, GeoAngle longitude, GeoAngle latitude) {
        BirthData birth;
        birth.birthDate = date;
        birth.localTime = time;
        birth.zone = 6;
        birth.longitude = longitude;
        birth.latitude = latitude;
        return computed(birth, t);
    };
    // Ten bodies 0.6 degrees apart in one house, then across the cusp of the tenth house; then 0.1
    // apart. Spread from its slot, Uranus came to meet the cusp label "03º" of the 1944 chart.
    // clang-format off
    for (const auto& [name, make, size, spread] : {
             std::tuple<const char*, std::function<Chart()>, QSize, bool>{"reference", [&] { return chartOf(ReferenceDate, t); }, {580, 420}, false},
             {"stellium", [&] { return chartOf({1962, 4, 2}, t); }, {580, 420}, true},
             {"ten bodies in a house", [&] { return clusterChart(284, 0.6, t); }, {580, 420}, true},
             {"ten bodies across a cusp", [&] { return clusterChart(278.2, 0.6, t); }, {580, 420}, true},
             {"ten bodies on one degree", [&] { return clusterChart(100, 0.1, t); }, {800, 600}, true},
             {"ten bodies on one degree", [&] { return clusterChart(100, 0.1, t); }, {400, 300}, true},
             {"Delhi", [&] { return delhiChart(t); }, {580, 420}, true},
             {"Delhi", [&] { return delhiChart(t); }, {1600, 1200}, true},
             {"Delhi", [&] { return delhiChart(t); }, {400, 300}, true},
             {"Uranus by a cusp label", [&] { return born({1944, 6, 9}, {17, 37, 0}, {122, 10, West}, {22, 54, South}); }, {580, 420}, true}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << name << " " << size.width() << "x" << size.height());
        const Chart chart = make();
        int ticks = 0;
        for (const std::string& fault : spreadFaults(chart, t, size, ticks))
            ADD_FAILURE() << fault;
        EXPECT_EQ(ticks > 0, spread) << ticks << " ticks";
    }
}

// The same over the charts of random births, at the reference size, smaller and larger.
TEST(CrowdedHouses, RandomChartsSpreadClearOfEverythingTheyDidNotMeetAtTheirSlots)
{
    std::mt19937 random(19620204);
    std::vector<BirthData> births;
    while (births.size() < 150)
        births.push_back(randomBirth(random));
    for (const QSize size : {QSize(580, 420), QSize(400, 300), QSize(800, 600), QSize(1600, 1200)}) {
        int spread = 0, failed = 0;
        for (const BirthData& birth : births) {
            DerivedTables tables;
            const Chart chart = computed(birth, tables);
            int ticks = 0;
            const std::vector<std::string> faults = spreadFaults(chart, tables, size, ticks);
            spread += ticks > 0;
            if (!faults.empty() && ++failed <= 5)
                ADD_FAILURE() << size.width() << "x" << size.height() << " " << birth.birthDate.year << "-"
                              << int(birth.birthDate.month) << "-" << int(birth.birthDate.day) << " "
                              << int(birth.localTime.hour) << ":" << int(birth.localTime.minute) << ": "
                              << faults.front() << " (" << faults.size() << " faults)";
        }
        EXPECT_EQ(failed, 0) << size.width() << "x" << size.height() << ": " << failed << " of " << births.size()
                             << " charts, " << spread << " spread";
        // Enough of them crowd for the sweep to mean something.
        EXPECT_GT(spread, int(births.size()) / 5) << size.width() << "x" << size.height();
    }
}

// Nothing the table draws lies inside the wheel's outer circle, and the wheel stays in the window;
// only where that needs it does the wheel leave the place the placement rules give it. A click on
// an aspect's cell finds the glyph drawn there.
TEST(TableBesideWheel, KeepsClearOfTheWheelWithClicksOnTheAspectsAsDrawn)
{
    DerivedTables tables;
    const Chart chart = chartOf(ReferenceDate, tables);
    // clang-format off
    for (const auto& [w, h, standard] : {std::tuple{600, 600, false}, {470, 420, false}, {500, 480, false},
                                         {1100, 1000, true}, {420, 580, true}, {1200, 800, true}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const Painted p = paintView(chart, tables, {w, h}, true);
        const auto [centre, radius] = circle(p.items, 0);
        const auto table = std::ranges::find(p.items, QStringLiteral("Aspect Table"), &Item::text);
        ASSERT_NE(table, p.items.end());
        for (auto it = table; it != p.items.end(); ++it)
            EXPECT_GE(distanceToRect(centre, it->rect), radius) << it->text.toStdString() << " glyph " << it->glyph;
        const IntRect outer = std::ranges::find(p.items, Kind::Ellipse, &Item::kind)->rect;
        EXPECT_EQ(outer == computeWheelLayout({0, 0, w, h}, true, false).outerSquare, standard);
        EXPECT_TRUE(outer.left >= 0 && outer.top >= 0 && outer.right <= w && outer.bottom <= h);

        for (int i = 0; i < ChartPointCount; ++i)
            for (int j = i + 1; j < ChartPointCount; ++j)
                if (const std::optional<Aspect> aspect = tables.aspectGrid[i][j]) {
                    const auto cell = std::ranges::find(table, p.items.end(), p.hits.aspectCells[i][j], &Item::rect);
                    EXPECT_TRUE(cell != p.items.end() && cell->glyph == aspectGlyphId(index(*aspect))) << i << "," << j;
                }
    }
}

// The house numbers' ink (what they darken, by half or more) lies between the hub circle and the
// number circle, off both outlines; their font is the one the window's width or the wheel's radius
// gives wherever that fits, and smaller only where it would not (at 1600 x 400 it would be 40 high,
// the band 18 wide).
TEST(HouseNumbers, StayInsideTheirBandAndAreCappedOnlyWhereTheyWouldLeaveIt)
{
    DerivedTables tables;
    const Chart chart = chartOf(ReferenceDate, tables);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter measuring(&scratch);
    PainterCanvas metrics(measuring, GlyphStyle::Bitmap);
    // clang-format off
    for (const auto& [w, h, capped] : {std::tuple{600, 420, false}, {630, 420, false}, {720, 480, false},
                                       {790, 480, false}, {920, 600, false}, {990, 600, false}, {1208, 768, false},
                                       {1318, 768, false}, {1000, 1000, false}, {1600, 1200, false},
                                       {1600, 400, true}, {2400, 300, true}, {800, 420, true}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const Painted p = paintView(chart, tables, {w, h}, false);
        const QImage untexted = paintView(chart, tables, {w, h}, false, 1, Texts::Left).image;
        const auto [centre, numberRadius] = circle(p.items, 2);
        const double hubRadius = circle(p.items, 3).second;
        metrics.setFont(wheelFonts(screenFonts(w), computeWheelLayout({0, 0, w, h}, false, false)).number);
        int house = 0;
        for (const Item& item : p.items) {
            if (item.kind != Kind::Text || ++house > 12)  // the numbers are the first texts
                continue;
            ASSERT_EQ(item.text.toInt(), house);
            EXPECT_EQ(item.rect.bottom - item.rect.top < metrics.textExtent(item.text).height, capped)
                << "house " << house << " " << item.rect.bottom - item.rect.top << " high";
            int ink = 0, outside = 0;
            for (int y = item.rect.top; y < item.rect.bottom; ++y) {
                for (int x = item.rect.left; x < item.rect.right; ++x) {
                    if (p.image.pixel(x, y) == untexted.pixel(x, y) || qGray(p.image.pixel(x, y)) >= 128)
                        continue;
                    ++ink;
                    // The outlines' pixels are centred half a unit inside each circle.
                    const double r = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                    outside += r < hubRadius || r > numberRadius - 1;
                }
            }
            EXPECT_GT(ink, 0) << "house " << house;
            EXPECT_EQ(outside, 0) << "house " << house;
        }
    }
}

// On a wheel smaller than the reference one, where the labels keep their size, each cusp label
// keeps at least the room from its sign glyph that it has on the reference wheel.
TEST(SmallWheel, CuspLabelsKeepTheReferenceRoomFromTheirGlyphs)
{
    DerivedTables tables;
    const Chart chart = chartOf(ReferenceDate, tables);
    const Painted atReference = paintView(chart, tables, DefaultViewSize, false);
    const auto reference = drawnWheel(atReference.items).cusps;
    ASSERT_EQ(reference.size(), 12u);
    for (const auto& [w, h, aspects] : {std::tuple{1600, 400, false}, {470, 420, true}, {400, 300, false}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const Painted painted = paintView(chart, tables, {w, h}, aspects);
        const auto small = drawnWheel(painted.items).cusps;
        ASSERT_EQ(small.size(), 12u);
        for (std::size_t j = 0; j < 12; ++j)
            for (const int label : {1, 2})
                EXPECT_GE(boxGap(small[j][0]->rect, small[j][label]->rect),
                          boxGap(reference[j][0]->rect, reference[j][label]->rect))
                    << "cusp " << j + 1 << (label == 1 ? " degrees" : " minutes");
    }
}

// Where a line runs under a label, the line stops short of the label's ink: a halo in the
// background colour lifts the label off it. Labels no line runs under have none.
TEST(LabelHalos, LinesStopShortOfTheLabelsTheyRunUnder)
{
    DerivedTables tables;
    for (const QSize size : {QSize(580, 420), QSize(1600, 1200)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const Chart chart = delhiChart(tables);
        const Painted p = paintView(chart, tables, size, false);
        const QImage bare = paintView(chart, tables, size, false, 1, Texts::Left).image;
        const QImage haloed = paintView(chart, tables, size, false, 1, Texts::OnlyTheirHalos).image;
        std::vector<IntRect> glyphs;
        for (const Item& item : p.items)
            if (item.kind == Kind::Glyph)
                glyphs.push_back(item.rect);
        const auto onGlyph = [&](int x, int y) {
            return std::ranges::any_of(glyphs, [&](const IntRect& g) { return g.contains(x, y); });
        };
        int halos = 0;
        for (auto it = p.items.begin(); it + 1 < p.items.end(); ++it) {
            if (it->kind != Kind::Halo)
                continue;
            ++halos;
            const Item& label = it[1];
            ASSERT_EQ(label.text, it->text);
            // A line runs through the box of the label's ink, give or take the shading of its edges; the
            // halo leaves none of it beside the ink.
            const IntRect& box = label.inked;
            int through = 0, left = 0;
            for (int y = box.top - 2; y <= box.bottom + 1; ++y)
                for (int x = box.left - 2; x <= box.right + 1; ++x)
                    through += qGray(bare.pixel(x, y)) < 128 && !onGlyph(x, y);
            for (const Point ink : label.line) {
                for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    const int x = ink.x + dx, y = ink.y + dy;
                    left += qGray(bare.pixel(x, y)) < 128 && !onGlyph(x, y) && qGray(haloed.pixel(x, y)) < 192;
                }
            }
            EXPECT_GT(through, 0) << label.text.toStdString() << ": no line runs under it";
            EXPECT_EQ(left, 0) << label.text.toStdString();
        }
        EXPECT_GE(halos, 2);
        const auto hasHalo = [&](const QString& t) {
            return std::ranges::any_of(p.items, [&](const Item& i) { return i.kind == Kind::Halo && i.text == t; });
        };
        EXPECT_TRUE(hasHalo(QStringLiteral("19\u00ba"))) << "Mercury's, on the line of the eighth house";
        EXPECT_FALSE(hasHalo(QStringLiteral("13\u00ba"))) << "Neptune's, in the open";
    }
}

// A name too long for the hub is cut after a whole character and ends in an ellipsis, its box inside
// the hub circle; one that fits is drawn whole.
TEST(HubName, IsElidedInsideTheHubCircle)
{
    DerivedTables tables;
    // clang-format off
    for (const auto& [name, size, cut] : {
             std::tuple<std::string, QSize, bool>{"Maximilian Alexander von Hohenzollern-Sigmaringen", {580, 420}, true},
             {"Maximilian Alexander von Hohenzollern-Sigmaringen", {1600, 1200}, true},
             {"Maximilian Alexander von Hohenzollern-Sigmaringen", {400, 300}, true},
             {"Rene\u0301e Rene\u0301e Rene\u0301e Rene\u0301e Rene\u0301e", {580, 420}, true},  // combining accents
             {"Reference", {400, 300}, false}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << name << " " << size.width() << "x" << size.height());
        Chart chart = chartOf(ReferenceDate, tables);
        chart.birth.name = name;
        const Painted p = paintView(chart, tables, size, false);
        const auto [centre, hubRadius] = circle(p.items, 3);
        // The name is the text after the twelve house numbers.
        auto texts = p.items | std::views::filter([](const Item& i) { return i.kind == Kind::Text; });
        const Item& drawn = *std::ranges::next(texts.begin(), 12);
        const QString whole = QString::fromStdString(name);
        EXPECT_EQ(drawn.text.endsWith(QChar(0x2026)), cut) << drawn.text.toStdString();
        if (cut) {
            const QString kept = drawn.text.chopped(1);
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, whole);
            graphemes.setPosition(kept.size());
            EXPECT_TRUE(kept.size() > 3 && whole.startsWith(kept) && graphemes.isAtBoundary()) << kept.toStdString();
        } else {
            EXPECT_EQ(drawn.text, whole);
        }
        const IntRect& r = drawn.rect;
        for (const auto& [x, y] : {std::pair{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}})
            EXPECT_LT(std::hypot(x - centre.x(), y - centre.y()), hubRadius) << x << "," << y;
    }
}

// Neither white nor `ink` but a mix of the two, as antialiasing makes at a glyph's edges.
bool inkOnWhite(QRgb pixel, QColor ink)
{
    if (pixel == qRgb(255, 255, 255) || pixel == ink.rgb())
        return false;
    const double a = double(255 - qRed(pixel) + 255 - qGreen(pixel) + 255 - qBlue(pixel))
                     / (255 - ink.red() + 255 - ink.green() + 255 - ink.blue());
    return a > 0 && a < 1 && std::abs(255 - a * (255 - ink.red()) - qRed(pixel)) <= 3
           && std::abs(255 - a * (255 - ink.green()) - qGreen(pixel)) <= 3
           && std::abs(255 - a * (255 - ink.blue()) - qBlue(pixel)) <= 3;
}

// On a wheel larger than the reference one, a glyph drawn wider or taller than its image is drawn
// from its vector master, antialiased: its edges mix its ink with the white. The others keep their
// one-bit images and pixel masters, ink or white.
TEST(LargeWheel, EnlargedGlyphsAreSmoothOthersKeepTheirBitmaps)
{
    DerivedTables tables;
    // clang-format off
    for (const auto& [name, chart, size] : {
             std::tuple<const char*, Chart, QSize>{"Delhi", delhiChart(tables), {1600, 1200}},
             {"reference", chartOf(ReferenceDate, tables), {800, 600}},
             {"reference", chartOf(ReferenceDate, tables), {1280, 1000}}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << name << " " << size.width() << "x" << size.height());
        const Painted p = paintView(chart, derivedTables(chart), size, false);
        int smooth = 0, bitmaps = 0;
        for (const Item& glyph : p.items) {
            if (glyph.kind != Kind::Glyph)
                continue;
            const QSize natural = glyphNaturalSize(glyph.glyph);
            const bool enlarged = glyph.rect.right - glyph.rect.left > natural.width()
                                  || glyph.rect.bottom - glyph.rect.top > natural.height();
            int mixed = 0;
            for (int y = glyph.rect.top; y < glyph.rect.bottom; ++y)
                for (int x = glyph.rect.left; x < glyph.rect.right; ++x)
                    mixed += inkOnWhite(p.image.pixel(x, y), glyph.ink);
            ++(enlarged ? smooth : bitmaps);
            if (enlarged)
                EXPECT_GT(mixed, 8) << "glyph " << glyph.glyph << " at " << glyph.rect.left;
            else
                EXPECT_EQ(mixed, 0) << "glyph " << glyph.glyph << " at " << glyph.rect.left;
        }
        EXPECT_GT(smooth, 12);
        EXPECT_GT(bitmaps, 0);
    }
}

// On paper crowded bodies are spread, and labels lifted off the lines under them, as on screen.
TEST(PrintedPage, SpreadsCrowdedBodiesAndHalosLabelsAsTheScreenDoes)
{
    DerivedTables t;
    for (const auto& [name, chart, spread] : {std::tuple<const char*, Chart, bool>{"Delhi", delhiChart(t), false},
                                              {"ten bodies on one degree", clusterChart(100, 0.1, t), true}}) {
        SCOPED_TRACE(name);
        const DerivedTables tables = derivedTables(chart);
        QImage paper(1400, 1800, QImage::Format_RGB32);
        paper.setDotsPerMeterX(qRound(600 / 0.0254));
        paper.setDotsPerMeterY(qRound(600 / 0.0254));
        paper.fill(Qt::white);
        QPainter painter(&paper);
        RecordingCanvas canvas(painter, GlyphStyle::Vector);
        const IntRect page{0, 0, 1400, 1800};
        paintChartPage(canvas, chart, tables.sortedBodies, page);
        int ticks = 0;
        for (const std::string& fault :
             spreadFaults(canvas.items, nullptr, computeWheelLayout(page, false, true), tables, ticks))
            ADD_FAILURE() << fault;
        EXPECT_EQ(ticks > 0, spread);
        EXPECT_TRUE(std::ranges::any_of(canvas.items, [](const Item& i) { return i.kind == Kind::Halo; }));
    }
}

// At 600 dpi the wheel's lines are a quarter point (about two dots) wide, where one dot would be faint.
TEST(PrintedPage, LinesAreAQuarterPointWide)
{
    DerivedTables tables;
    QImage paper(1400, 1800, QImage::Format_RGB32);
    paper.setDotsPerMeterX(qRound(600 / 0.0254));
    paper.fill(Qt::white);
    QPainter painter(&paper);
    RecordingCanvas canvas(painter, GlyphStyle::Vector);
    paintChartPage(canvas, chartOf(ReferenceDate, tables), tables.sortedBodies, {0, 0, 1400, 1800});
    // Across the outer circle on the row through the centre, outside the first house's cusp glyph.
    const auto [centre, radius] = circle(canvas.items, 0);
    int dark = 0;
    for (int x = int(centre.x() - radius) - 4; x <= int(centre.x() - radius) + 4; ++x)
        dark += qGray(paper.pixel(x, int(centre.y()))) < 128;
    EXPECT_GE(dark, 2);
}

}  // namespace
