#include "resources/glyphs.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <memory>

static void initArtResources()
{
    // The library is static: naming the resource here keeps its data linked in.
    static const bool registered = [] {
        Q_INIT_RESOURCE(zodiara);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zodiara {
namespace {

struct GlyphArt {
    const char* name;  // of the image and its master under glyphs/
    int width;
    int height;
};

// Natural sizes are part of the layout contract: a glyph is stretched into a
// rectangle, so its proportions shape what the user sees.
constexpr std::array<GlyphArt, SignGlyphCount> signArt{{
    // clang-format off
    {"sign-aries", 27, 22}, {"sign-taurus", 19, 24}, {"sign-gemini", 14, 19}, {"sign-cancer", 25, 19},
    {"sign-leo", 23, 21}, {"sign-virgo", 28, 20}, {"sign-libra", 29, 16}, {"sign-scorpio", 28, 22},
    {"sign-sagittarius", 16, 16}, {"sign-capricorn", 24, 21}, {"sign-aquarius", 22, 15}, {"sign-pisces", 19, 21},
    // clang-format on
}};
constexpr std::array<GlyphArt, BodyGlyphCount> bodyArt{{
    // clang-format off
    {"body-moon", 19, 25}, {"body-sun", 25, 25}, {"body-mercury", 14, 28}, {"body-venus", 15, 26},
    {"body-mars", 24, 24}, {"body-jupiter", 20, 23}, {"body-saturn", 15, 28}, {"body-uranus", 18, 27},
    {"body-neptune", 27, 25}, {"body-pluto", 12, 26},
    // clang-format on
}};
constexpr std::array<GlyphArt, AspectGlyphCount> aspectArt{{
    // clang-format off
    {"aspect-conjunction", 34, 34}, {"aspect-semisextile", 30, 31}, {"aspect-biquintile", 34, 33},
    {"aspect-semisquare", 41, 28}, {"aspect-sextile", 40, 29}, {"aspect-quintile", 34, 33},
    {"aspect-square", 33, 33}, {"aspect-trine", 41, 35}, {"aspect-sesquiquadrate", 36, 34},
    {"aspect-inconjunct", 40, 32}, {"aspect-opposition", 39, 39},
    // clang-format on
}};

struct Glyph {
    int id;
    GlyphArt art;
};

// Every glyph, ascending by id.
constexpr auto glyphTable = [] {
    std::array<Glyph, SignGlyphCount + BodyGlyphCount + AspectGlyphCount> table{};
    std::size_t n = 0;
    for (int i = 0; i < SignGlyphCount; ++i)
        table[n++] = {signGlyphId(i), signArt[i]};
    for (int i = 0; i < BodyGlyphCount; ++i)
        table[n++] = {bodyGlyphId(i), bodyArt[i]};
    for (int i = 0; i < AspectGlyphCount; ++i)
        table[n++] = {aspectGlyphId(i), aspectArt[i]};
    return table;
}();

constexpr std::array<int, glyphTable.size()> idList = [] {
    std::array<int, glyphTable.size()> ids{};
    for (std::size_t i = 0; i < glyphTable.size(); ++i)
        ids[i] = glyphTable[i].id;
    return ids;
}();
// indexOf searches the ids.
static_assert(std::is_sorted(idList.begin(), idList.end())
              && std::adjacent_find(idList.begin(), idList.end()) == idList.end());

int indexOf(int resourceId)
{
    const auto it = std::lower_bound(idList.begin(), idList.end(), resourceId);
    return it != idList.end() && *it == resourceId ? int(it - idList.begin()) : -1;
}

// Normalised so that entry 0 is the black ink whatever palette order the file has.
QImage loadMono(const QString& path)
{
    QImage img = QImage(path).convertToFormat(QImage::Format_MonoLSB);
    if (img.isNull())
        return img;
    if (img.colorCount() == 2 && qGray(img.color(0)) > qGray(img.color(1)))
        img.invertPixels();
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return img;
}

struct Art {
    std::array<QImage, glyphTable.size()> images;
    std::array<QByteArray, glyphTable.size()> svg;
    // One renderer per glyph and ink: the paper paint uses a handful of inks only.
    QHash<quint64, std::shared_ptr<QSvgRenderer>> renderers;
    QMutex mutex;

    Art()
    {
        initArtResources();
        for (std::size_t i = 0; i < glyphTable.size(); ++i) {
            const QString name = QLatin1String(glyphTable[i].art.name);
            images[i] = loadMono(QStringLiteral(":/zodiara/glyphs/%1.png").arg(name));
            QFile f(QStringLiteral(":/zodiara/glyphs/masters/%1.svg").arg(name));
            if (f.open(QIODevice::ReadOnly))
                svg[i] = f.readAll();
        }
    }
};

Art& art()
{
    static Art instance;
    return instance;
}

}  // namespace

bool hasGlyph(int resourceId) { return indexOf(resourceId) >= 0; }

QSize glyphNaturalSize(int resourceId)
{
    const int i = indexOf(resourceId);
    return i < 0 ? QSize() : QSize(glyphTable[i].art.width, glyphTable[i].art.height);
}

QImage glyphImage(int resourceId)
{
    const int i = indexOf(resourceId);
    return i < 0 ? QImage() : art().images[i];
}

QImage stretchedGlyph(int resourceId, QSize size, QColor ink)
{
    return stretchedBitmap(glyphImage(resourceId), size, ink);
}

QImage stretchedBitmap(const QImage& mono, QSize size, QColor ink)
{
    if (mono.isNull() || size.isEmpty())
        return QImage();
    const QImage src = mono.convertToFormat(QImage::Format_MonoLSB);
    const int sw = src.width(), sh = src.height();
    const int tw = size.width(), th = size.height();
    QImage out(size, QImage::Format_MonoLSB);
    out.setColorTable({ink.rgba(), qRgba(255, 255, 255, 0)});
    out.fill(1);
    // Each source pixel lands in exactly one target pixel, the one its top-left
    // corner falls into; a target pixel is ink if any pixel landing in it is.
    const auto span = [](int t, int src, int dst) {
        if (src < dst) {
            const int s = t * src / dst;
            return std::pair(s, s + 1);
        }
        return std::pair((t * src + dst - 1) / dst, ((t + 1) * src + dst - 1) / dst);
    };
    for (int ty = 0; ty < th; ++ty) {
        const auto [y0, y1] = span(ty, sh, th);
        for (int tx = 0; tx < tw; ++tx) {
            const auto [x0, x1] = span(tx, sw, tw);
            bool ink = false;
            for (int y = y0; y < y1 && !ink; ++y) {
                const uchar* row = src.constScanLine(y);
                for (int x = x0; x < x1 && !ink; ++x)
                    ink = !(row[x >> 3] & (1 << (x & 7)));
            }
            if (ink)
                out.setPixel(tx, ty, 0);
        }
    }
    return out;
}

void drawGlyphVector(QPainter& painter, int resourceId, const QRectF& target, QColor ink)
{
    const int i = indexOf(resourceId);
    if (i < 0 || target.isEmpty())
        return;
    Art& a = art();
    std::shared_ptr<QSvgRenderer> renderer;
    {
        QMutexLocker lock(&a.mutex);
        const quint64 key = (quint64(quint32(resourceId)) << 32) | ink.rgb();
        renderer = a.renderers.value(key);
        if (!renderer) {
            // The masters draw in pure black only, so recolouring is a text swap.
            QByteArray text = a.svg[i];
            text.replace("#000000", ink.name(QColor::HexRgb).toLatin1());
            renderer = std::make_shared<QSvgRenderer>(text);
            renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
            a.renderers.insert(key, renderer);
        }
    }
    painter.save();
    if (ink.alpha() < 255)
        painter.setOpacity(painter.opacity() * ink.alphaF());
    renderer->render(&painter, target);
    painter.restore();
}

QImage aboutPicture()
{
    initArtResources();
    return QImage(QStringLiteral(":/zodiara/pictures/about.png"));
}

QIcon programIcon()
{
    initArtResources();
    QIcon icon;
    for (int px : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zodiara/icon/zodiara-%1.png").arg(px), QSize(px, px));
    return icon;
}

}  // namespace zodiara
