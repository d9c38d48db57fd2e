#include "display/bodyspread.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace zodiara {

namespace {

constexpr int half(int n) { return n / 2; }

// The positions tried for a body are this far apart; a first, coarse search tries every eighth.
constexpr double GridStepDeg = 0.25;
constexpr int CoarseStride = 8;
// What leaving the slot costs, weighed against the squared shift in degrees: a body stays put
// rather than move by less than a degree for its neighbours.
constexpr double SpreadCost = 1.0;
// Each round widens the positions tried or parts a pair the previous round let meet.
constexpr int MaxRounds = 8;
// Cusp glyphs and labels are kept a unit from.
constexpr int ObstacleGap = 1;
// A tick bends every so often, each straight piece within this of the curve it follows.
constexpr double TickSagitta = 0.3;

constexpr double degrees(double radians) { return radians * 180 / std::numbers::pi; }
// An angle in degrees brought into -180..180.
double turn(double deg) { return deg - 360 * std::round(deg / 360); }
constexpr double radians(double degrees) { return degrees * std::numbers::pi / 180; }

IntRect boundsOf(std::span<const IntRect> rects)
{
    IntRect b{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), std::numeric_limits<int>::min(),
              std::numeric_limits<int>::min()};
    for (const IntRect& r : rects)
        b = {std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right),
             std::max(b.bottom, r.bottom)};
    return b;
}

IntRect boundsOf(std::span<const Point> points)
{
    IntRect b{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), std::numeric_limits<int>::min(),
              std::numeric_limits<int>::min()};
    for (const Point p : points)
        b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x + 1), std::max(b.bottom, p.y + 1)};
    return b;
}

// Whether the segment passes over a pixel of r: clipped against the box of the pixels' centres.
bool segmentMeets(Point a, Point b, const IntRect& r)
{
    if (std::max(a.x, b.x) < r.left || std::min(a.x, b.x) >= r.right || std::max(a.y, b.y) < r.top
        || std::min(a.y, b.y) >= r.bottom)
        return false;
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const std::array<std::array<double, 2>, 4> edges{{{-dx, double(a.x - r.left)},
                                                      {dx, double(r.right - 1 - a.x)},
                                                      {-dy, double(a.y - r.top)},
                                                      {dy, double(r.bottom - 1 - a.y)}}};
    for (const auto& [p, q] : edges) {
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

double nearestRadius(const WheelLayout& layout, const IntRect& r)
{
    const Point c = layout.centre;
    return std::hypot(std::max({r.left - c.x, 0, c.x - (r.right - 1)}),
                      std::max({r.top - c.y, 0, c.y - (r.bottom - 1)}));
}

// An obstacle's ink as the ticks see it: the angles it spans from the centre and how near it comes.
struct InkSpan {
    double midDeg;
    double halfWidthDeg;
    double nearest;
};

InkSpan inkSpan(const WheelLayout& layout, const IntRect& ink)
{
    const Point c = layout.centre;
    const double mid = degrees(std::atan2((ink.top + ink.bottom) / 2.0 - c.y, (ink.left + ink.right) / 2.0 - c.x));
    double widest = 0;
    for (const auto& [x, y] :
         {std::pair{ink.left, ink.top}, {ink.right, ink.top}, {ink.left, ink.bottom}, {ink.right, ink.bottom}})
        widest = std::max(widest, std::abs(turn(degrees(std::atan2(y - c.y, x - c.x)) - mid)));
    return {mid, widest, nearestRadius(layout, ink)};
}

// The tick of a body drawn at phi, `inset` deep: from `start` on the radius at ringDeg, straight down
// to `drop`, then on to the edge of the glyph, away from the ring evenly with the angle.
std::vector<Point> tickLine(const WheelLayout& layout, double phi, int inset, double ringDeg, int start, int drop)
{
    // The ring's angle taken on the glyph's turn of the circle.
    ringDeg = phi + turn(ringDeg - phi);
    const Point c = layout.centre;
    // Where the glyph's box crosses its radius: the tick stops on the last unit inside.
    const double a = radians(phi);
    const double hx = half(layout.bandHalf) - 1, hy = half(layout.bandHalf + 1) - 1;
    const double cosA = std::cos(a), sinA = std::sin(a);
    const double edge = std::max(0.0, std::min(std::abs(cosA) > 1e-9 ? hx / std::abs(cosA) : hy,
                                               std::abs(sinA) > 1e-9 ? hy / std::abs(sinA) : hx));
    const Point glyph = polarPoint(c, bodyGlyphRadius(layout, inset), phi);
    const Point end{glyph.x + static_cast<int>(std::lround(edge * cosA)),
                    glyph.y + static_cast<int>(std::lround(edge * sinA))};
    const double to = std::hypot(end.x - c.x, end.y - c.y);

    std::vector<Point> line{polarPoint(c, start, ringDeg)};
    const double from = std::max(std::min(start, drop), static_cast<int>(std::ceil(to)));
    if (from < start)
        line.push_back(polarPoint(c, static_cast<int>(from), ringDeg));
    const double arc = radians(std::abs(phi - ringDeg)) * from;
    const int steps = std::max(1, static_cast<int>(std::ceil(arc / std::sqrt(8 * from * TickSagitta))));
    for (int step = 1; step < steps; ++step) {
        const double f = double(step) / steps;
        const Point p =
            polarPoint(c, static_cast<int>(std::lround(from + (to - from) * f)), ringDeg + (phi - ringDeg) * f);
        if (!(line.back() == p))
            line.push_back(p);
    }
    if (!(line.back() == end))
        line.push_back(end);
    return line;
}

// The bodies in the order they run along the band, unrolled at the widest gap between slots into
// positions that grow as the angle falls (counter-clockwise on the page, the wheel's order). Each
// body is tried at offsets from its slot in grid steps; offset 0 is the slot itself, drawn as the
// placement rules say, any other is spread: inset, with a tick.
class Spreader {
public:
    Spreader(const WheelLayout& layout, std::span<const BodyToPlace> bodies, std::span<const WheelObstacle> obstacles);
    std::vector<PlacedBody> run();

private:
    struct Candidate {
        bool valid = false;
        BodyFootprint footprint;
        IntRect bounds;
        std::vector<Point> tick;
        IntRect tickBounds;
    };
    using Offsets = std::vector<int>;

    double position(std::size_t k, int i) const { return m_target[k] + i * GridStepDeg; }
    double angle(std::size_t k, int i) const { return m_wrap[k] - position(k, i); }
    int insetAt(int i) const { return i == 0 ? 0 : m_inset; }
    const Candidate& candidate(std::size_t k, int i);
    bool clear(std::size_t k, int i, std::size_t m, int im);
    bool tickMisses(const Candidate& ticked, const Candidate& other) const;
    void widen(double reachDeg);
    std::optional<Offsets> solve(int stride);
    std::optional<Offsets> search(double reachDeg);
    std::vector<PlacedBody> placed(const Offsets& offsets);

    const WheelLayout& m_layout;
    std::span<const BodyToPlace> m_bodies;
    std::span<const WheelObstacle> m_obstacles;
    std::vector<InkSpan> m_inkSpans;
    std::size_t m_n;
    int m_gap;
    int m_inset;
    std::vector<std::size_t> m_order;
    std::vector<double> m_wrap;
    std::vector<double> m_target;
    std::vector<int> m_tickStart;  // where a body's tick leaves its ring angle
    std::vector<std::unordered_map<int, Candidate>> m_candidates;
    std::vector<std::vector<bool>> m_metAtSlot;  // by body, by obstacle
    std::vector<bool> m_crowded;                 // at the slots
    std::vector<int> m_lo, m_hi;                 // the offsets tried
    std::vector<double> m_minSeparation;         // from each body to the next
};

Spreader::Spreader(const WheelLayout& layout, std::span<const BodyToPlace> bodies,
                   std::span<const WheelObstacle> obstacles)
    : m_layout(layout), m_bodies(bodies), m_obstacles(obstacles), m_n(bodies.size()), m_gap(bodySpacing(layout)),
      m_inset(spreadInset(layout, obstacles))
{
    std::size_t first = 0;
    double widest = -1;
    for (std::size_t i = 0; i < m_n; ++i) {
        const double gap =
            i + 1 < m_n ? bodies[i].slotDeg - bodies[i + 1].slotDeg : bodies[m_n - 1].slotDeg + 360 - bodies[0].slotDeg;
        if (gap > widest) {
            widest = gap;
            first = (i + 1) % m_n;
        }
    }
    for (std::size_t k = 0; k < m_n; ++k) {
        m_order.push_back((first + k) % m_n);
        m_wrap.push_back(m_order[k] < first ? 360 : 0);
        m_target.push_back(m_wrap[k] - bodies[m_order[k]].slotDeg);
    }
    m_candidates.resize(m_n);
    m_lo.assign(m_n, 0);
    m_hi.assign(m_n, 0);
    m_minSeparation.assign(m_n, GridStepDeg);
}

const Spreader::Candidate& Spreader::candidate(std::size_t k, int i)
{
    auto& cache = m_candidates[k];
    if (const auto it = cache.find(i); it != cache.end())
        return it->second;
    const BodyToPlace& body = m_bodies[m_order[k]];
    const double phi = angle(k, i);
    Candidate c;
    c.footprint = bodyFootprint(m_layout, body.house, phi, body.degreeLabel, body.minuteLabel, insetAt(i));
    const std::array parts{c.footprint.glyph, c.footprint.degree, c.footprint.sign, c.footprint.minute};
    c.bounds = boundsOf(parts);
    c.valid = true;
    if (i != 0) {
        // Down below the ink of every obstacle over the angles the tick runs through.
        const double way = turn(body.ringDeg - phi);
        const double mid = phi + way / 2, halfSpan = std::abs(way) / 2 + 1;
        double drop = m_layout.signRadius;
        for (const InkSpan& span : m_inkSpans)
            if (std::abs(turn(span.midDeg - mid)) <= span.halfWidthDeg + halfSpan)
                drop = std::min(drop, std::floor(span.nearest) - 1);
        c.tick = tickLine(m_layout, phi, insetAt(i), body.ringDeg, m_tickStart[k], static_cast<int>(drop));
        c.tickBounds = boundsOf(c.tick);
        for (std::size_t o = 0; o < m_obstacles.size() && c.valid; ++o) {
            const WheelObstacle& obstacle = m_obstacles[o];
            if (!m_metAtSlot[k][o] && crowded(c.bounds, obstacle.box, ObstacleGap))
                c.valid = std::ranges::none_of(parts,
                                               [&](const IntRect& r) { return crowded(r, obstacle.box, ObstacleGap); });
            if (c.valid && crowded(c.tickBounds, obstacle.ink, 0))
                c.valid = !polylineMeets(c.tick, obstacle.ink);
        }
    }
    return cache.emplace(i, std::move(c)).first->second;
}

bool Spreader::tickMisses(const Candidate& ticked, const Candidate& other) const
{
    if (ticked.tick.empty() || !crowded(ticked.tickBounds, other.bounds, 0))
        return true;
    const BodyFootprint& f = other.footprint;
    return std::ranges::none_of(std::array{f.glyph, f.degree, f.sign, f.minute},
                                [&](const IntRect& r) { return polylineMeets(ticked.tick, r); });
}

bool Spreader::clear(std::size_t k, int i, std::size_t m, int im)
{
    const Candidate& a = candidate(k, i);
    const Candidate& b = candidate(m, im);
    return !(crowded(a.bounds, b.bounds, m_gap) && a.footprint.crowds(b.footprint, m_gap)) && tickMisses(a, b)
           && tickMisses(b, a);
}

// Lets the bodies crowded at their slots, and those within `reachDeg` of them, move that far either
// way, in coarse steps.
void Spreader::widen(double reachDeg)
{
    const int steps = CoarseStride * static_cast<int>(std::ceil(reachDeg / (CoarseStride * GridStepDeg)));
    for (std::size_t k = 0; k < m_n; ++k) {
        bool near = false;
        for (std::size_t m = 0; m < m_n && !near; ++m)
            near = m_crowded[m] && std::abs(m_target[k] - m_target[m]) <= reachDeg;
        m_lo[k] = near ? -steps : 0;
        m_hi[k] = near ? steps : 0;
    }
}

// The least-cost offsets, every `stride`-th in the ranges, under the rules between neighbours, by
// dynamic programming along the order. For each offset of the next body, the offsets of a body that
// fit with it are taken to run from the first of each of its three kinds (spread back, at the slot,
// spread on) up to a bound that grows with the next body's offset while that one keeps its kind;
// the cheapest is checked, and where it does not fit the others of its kind are.
std::optional<Spreader::Offsets> Spreader::solve(int stride)
{
    constexpr double Infinite = std::numeric_limits<double>::infinity();
    const auto cost = [&](int i) { return (i * GridStepDeg) * (i * GridStepDeg) + (i != 0 ? SpreadCost : 0); };
    const auto kind = [](int i) { return (i > 0) - (i < 0) + 1; };
    std::vector<std::vector<int>> offsets(m_n);
    std::vector<std::vector<double>> best(m_n);
    std::vector<std::vector<int>> from(m_n);
    for (std::size_t k = 0; k < m_n; ++k) {
        for (int i = m_lo[k]; i <= m_hi[k]; i += stride)
            offsets[k].push_back(i);
        best[k].assign(offsets[k].size(), Infinite);
        from[k].assign(offsets[k].size(), 0);
    }
    for (std::size_t x = 0; x < offsets[0].size(); ++x)
        if (candidate(0, offsets[0][x]).valid)
            best[0][x] = cost(offsets[0][x]);

    for (std::size_t k = 0; k + 1 < m_n; ++k) {
        const auto fits = [&](int i, int i2) {
            return position(k + 1, i2) - position(k, i) >= m_minSeparation[k] && clear(k, i, k + 1, i2);
        };
        // Body k's offsets by kind, with the least cost up to each and where it is reached.
        struct Run {
            std::vector<std::size_t> at;  // indexes into offsets[k]
            std::vector<double> least;
            std::vector<std::size_t> argLeast;
            std::size_t bound = 0;
        };
        std::array<Run, 3> runs;
        for (std::size_t x = 0; x < offsets[k].size(); ++x) {
            Run& run = runs[std::size_t(kind(offsets[k][x]))];
            const bool better = run.at.empty() || best[k][x] < run.least.back();
            run.argLeast.push_back(better ? x : run.argLeast.back());
            run.least.push_back(better ? best[k][x] : run.least.back());
            run.at.push_back(x);
        }
        int lastKind = -1;
        for (std::size_t x2 = 0; x2 < offsets[k + 1].size(); ++x2) {
            const int i2 = offsets[k + 1][x2];
            if (kind(i2) != lastKind) {
                lastKind = kind(i2);
                for (Run& run : runs)
                    run.bound = 0;
            }
            if (!candidate(k + 1, i2).valid)
                continue;
            double cheapest = Infinite;
            std::size_t chosen = 0;
            for (Run& run : runs) {
                while (run.bound < run.at.size() && fits(offsets[k][run.at[run.bound]], i2))
                    ++run.bound;
                if (run.bound == 0 || run.least[run.bound - 1] >= cheapest)
                    continue;
                std::size_t x = run.argLeast[run.bound - 1];
                double least = run.least[run.bound - 1];
                if (!fits(offsets[k][x], i2)) {
                    least = Infinite;
                    for (std::size_t y = 0; y < run.bound; ++y)
                        if (best[k][run.at[y]] < least && fits(offsets[k][run.at[y]], i2)) {
                            least = best[k][run.at[y]];
                            x = run.at[y];
                        }
                }
                if (least < cheapest) {
                    cheapest = least;
                    chosen = x;
                }
            }
            if (cheapest == Infinite)
                continue;
            best[k + 1][x2] = cheapest + cost(i2);
            from[k + 1][x2] = int(chosen);
        }
    }
    const auto last = std::ranges::min_element(best[m_n - 1]);
    if (*last == Infinite)
        return std::nullopt;
    Offsets result(m_n);
    std::size_t x = std::size_t(last - best[m_n - 1].begin());
    for (std::size_t k = m_n; k-- > 0;) {
        result[k] = offsets[k][x];
        x = std::size_t(from[k][x]);
    }
    return result;
}

// A coarse search over offsets within `reachDeg`, widened while its best lies at the edge of what it
// tried, then a fine one about what it found.
std::optional<Spreader::Offsets> Spreader::search(double reachDeg)
{
    std::optional<Offsets> coarse;
    for (;;) {
        widen(reachDeg);
        coarse = solve(CoarseStride);
        bool atEdge = false;
        for (std::size_t k = 0; coarse && k < m_n; ++k)
            atEdge = atEdge || (m_lo[k] != m_hi[k] && ((*coarse)[k] == m_lo[k] || (*coarse)[k] == m_hi[k]));
        if ((coarse && !atEdge) || reachDeg >= 180)
            break;
        reachDeg = std::min(180.0, reachDeg * 1.6);
    }
    if (!coarse)
        return std::nullopt;
    for (std::size_t k = 0; k < m_n; ++k) {
        if (m_lo[k] == m_hi[k])
            continue;
        m_lo[k] = (*coarse)[k] - CoarseStride + 1;
        m_hi[k] = (*coarse)[k] + CoarseStride - 1;
    }
    const std::optional<Offsets> fine = solve(1);
    return fine ? fine : coarse;
}

std::vector<PlacedBody> Spreader::placed(const Offsets& offsets)
{
    std::vector<PlacedBody> result(m_n);
    for (std::size_t k = 0; k < m_n; ++k)
        result[m_order[k]] = {angle(k, offsets[k]), insetAt(offsets[k]), candidate(k, offsets[k]).tick};
    return result;
}

std::vector<PlacedBody> Spreader::run()
{
    const Offsets slots(m_n, 0);
    m_metAtSlot.assign(m_n, std::vector<bool>(m_obstacles.size(), false));
    m_crowded.assign(m_n, false);
    for (std::size_t k = 0; k < m_n; ++k) {
        const BodyFootprint& f = candidate(k, 0).footprint;
        for (std::size_t o = 0; o < m_obstacles.size(); ++o)
            m_metAtSlot[k][o] =
                std::ranges::any_of(std::array{f.glyph, f.degree, f.sign, f.minute},
                                    [&](const IntRect& r) { return crowded(r, m_obstacles[o].box, ObstacleGap); });
        for (std::size_t m = k + 1; m < m_n; ++m)
            if (!clear(k, 0, m, 0))
                m_crowded[k] = m_crowded[m] = true;
    }
    if (std::ranges::none_of(m_crowded, std::identity{}))
        return placed(slots);

    for (const WheelObstacle& o : m_obstacles)
        m_inkSpans.push_back(inkSpan(m_layout, o.ink));
    // A tick leaves the ring, or where an obstacle reaches over the ring, from just under its ink.
    for (std::size_t k = 0; k < m_n; ++k) {
        int start = m_layout.signRadius;
        const double ringDeg = m_bodies[m_order[k]].ringDeg;
        for (;;) {
            const Point p = polarPoint(m_layout.centre, start, ringDeg);
            if (start <= bodyGlyphRadius(m_layout, m_inset)
                || std::ranges::none_of(m_obstacles, [&](const WheelObstacle& o) { return o.ink.contains(p.x, p.y); }))
                break;
            --start;
        }
        m_tickStart.push_back(start);
    }

    // The first reach: a quarter of the crowded bodies' widths along the band, laid end to end.
    double reach = 0;
    for (std::size_t k = 0; k < m_n; ++k) {
        if (!m_crowded[k])
            continue;
        const IntRect& b = candidate(k, 0).bounds;
        const double x = (b.left + b.right) / 2.0 - m_layout.centre.x, y = (b.top + b.bottom) / 2.0 - m_layout.centre.y;
        const double r = std::max(1.0, std::hypot(x, y));
        const double along = (std::abs(y) * (b.right - b.left) + std::abs(x) * (b.bottom - b.top)) / r;
        reach += degrees((along + m_gap) / r) / 4;
    }
    reach = std::clamp(reach, 2.0, 180.0);

    std::optional<Offsets> found;
    for (int round = 0; round < MaxRounds; ++round) {
        const std::optional<Offsets> offsets = search(reach);
        if (!offsets)
            break;
        found = offsets;
        // The rules between neighbours hold; those between bodies further apart are checked here.
        bool parted = true;
        for (std::size_t k = 0; k < m_n; ++k) {
            for (std::size_t m = k + 2; m < m_n; ++m) {
                if (clear(k, (*offsets)[k], m, (*offsets)[m]))
                    continue;
                parted = false;
                const double now = position(m, (*offsets)[m]) - position(m - 1, (*offsets)[m - 1]);
                m_minSeparation[m - 1] = std::max(m_minSeparation[m - 1], now + GridStepDeg);
            }
        }
        if (parted)
            break;
    }
    return placed(found ? *found : slots);
}

}  // namespace

int spreadInset(const WheelLayout& layout, std::span<const WheelObstacle> obstacles)
{
    // Deep enough for a glyph, whichever way round, to pass under the lowest obstacle.
    double lowest = layout.signRadius;
    for (const WheelObstacle& o : obstacles)
        lowest = std::min(lowest, nearestRadius(layout, o.box));
    const double corner = std::hypot(half(layout.bandHalf), half(layout.bandHalf + 1));
    const int under = static_cast<int>(std::ceil(bodyGlyphRadius(layout) + corner + ObstacleGap + 1 - lowest));
    return std::clamp(under, std::max(2, half(layout.bandHalf)), 2 * layout.bandHalf);
}

bool polylineMeets(std::span<const Point> line, const IntRect& r)
{
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (segmentMeets(line[i], line[i + 1], r))
            return true;
    return line.size() == 1 && r.contains(line[0].x, line[0].y);
}

std::vector<PlacedBody> spreadBodies(const WheelLayout& layout, std::span<const BodyToPlace> bodies,
                                     std::span<const WheelObstacle> obstacles)
{
    if (bodies.size() < 2) {
        std::vector<PlacedBody> result;
        for (const BodyToPlace& b : bodies)
            result.push_back({b.slotDeg, 0, {}});
        return result;
    }
    return Spreader(layout, bodies, obstacles).run();
}

}  // namespace zodiara
