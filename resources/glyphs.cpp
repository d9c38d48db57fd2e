#include "glyphs.h"

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

struct GlyphInfo {
    int id;
    int width;
    int height;
};

// Natural sizes are part of the layout contract: a glyph is stretched into a
// rectangle, so its proportions shape what the user sees.
constexpr std::array<GlyphInfo, 33> glyphTable{{
    {3, 27, 22}, {4, 19, 24}, {5, 14, 19}, {6, 25, 19}, {7, 23, 21}, {8, 28, 20},
    {9, 29, 16}, {10, 28, 22}, {11, 16, 16}, {12, 24, 21}, {13, 22, 15}, {14, 19, 21},
    {20, 19, 25}, {21, 25, 25}, {22, 14, 28}, {23, 15, 26}, {24, 24, 24},
    {25, 20, 23}, {26, 15, 28}, {27, 18, 27}, {28, 27, 25}, {29, 12, 26},
    {50, 34, 34}, {51, 30, 31}, {52, 34, 33}, {53, 41, 28}, {54, 40, 29}, {55, 34, 33},
    {56, 33, 33}, {57, 41, 35}, {58, 36, 34}, {59, 40, 32}, {60, 39, 39},
}};

constexpr std::array<int, glyphTable.size()> idList = [] {
    std::array<int, glyphTable.size()> ids{};
    for (std::size_t i = 0; i < glyphTable.size(); ++i)
        ids[i] = glyphTable[i].id;
    return ids;
}();

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
            const int id = glyphTable[i].id;
            images[i] = loadMono(QStringLiteral(":/zodiara/glyph/%1.png").arg(id));
            QFile f(QStringLiteral(":/zodiara/glyph/%1.svg").arg(id));
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

} // namespace

std::span<const int> glyphIds()
{
    return idList;
}

bool hasGlyph(int resourceId)
{
    return indexOf(resourceId) >= 0;
}

QSize glyphNaturalSize(int resourceId)
{
    const int i = indexOf(resourceId);
    return i < 0 ? QSize() : QSize(glyphTable[i].width, glyphTable[i].height);
}

QImage glyphImage(int resourceId)
{
    const int i = indexOf(resourceId);
    return i < 0 ? QImage() : art().images[i];
}

QImage inkedGlyph(int resourceId, QColor ink)
{
    QImage img = glyphImage(resourceId);
    if (!img.isNull())
        img.setColorTable({ink.rgba(), qRgba(255, 255, 255, 0)});
    return img;
}

QImage stretchedGlyph(int resourceId, QSize size, QColor ink)
{
    const QImage src = glyphImage(resourceId);
    if (src.isNull() || size.isEmpty())
        return QImage();
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

} // namespace zodiara
