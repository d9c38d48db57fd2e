#include "display/glyphbitmap.h"

#include <QHash>
#include <QPainter>

#include <cmath>

#include "resources/glyphs.h"

namespace zodiara {

namespace {

// Resizing the window creates new sizes; dropping everything now and then bounds the memory.
constexpr int MaxCachedGlyphs = 1024;

struct GlyphKey {
    int id;
    QSize size;
    QRgb ink;
    int ratioPercent;
    GlyphEnlarging enlarging;
    bool operator==(const GlyphKey&) const = default;
};

size_t qHash(const GlyphKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.id, key.size.width(), key.size.height(), key.ink, key.ratioPercent, int(key.enlarging));
}

QHash<GlyphKey, QImage>& glyphCache()
{
    thread_local QHash<GlyphKey, QImage> cache;
    return cache;
}

// The master a small target is drawn from: the largest not larger than the target, so that
// stretching only repeats dots; below the smallest master, that one reduced.
QImage fromPixelMaster(int id, QSize device, QColor ink)
{
    const QList<QSize> masters = pixelMasterSizes(id);
    if (masters.isEmpty())
        return {};
    const QSize largest = masters.last();
    if (2 * device.width() > 3 * largest.width() || 2 * device.height() > 3 * largest.height())
        return {};
    QSize chosen = masters.first();
    for (const QSize m : masters)
        if (m.width() <= device.width() && m.height() <= device.height())
            chosen = m;
    return stretchedBitmap(pixelMaster(id, chosen), device, ink);
}

QImage fromVectorMaster(int id, QSize device, QColor ink)
{
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyphVector(painter, id, QRectF(QPointF(0, 0), device), ink);
    return image;
}

QImage makeGlyph(int id, QSize size, QColor ink, qreal ratio, GlyphEnlarging enlarging)
{
    const QSize device(qMax(1, qRound(size.width() * ratio)), qMax(1, qRound(size.height() * ratio)));
    const QSize natural = glyphNaturalSize(id);
    // Repeated pixels show as stairs on every slanted or curved edge.
    const bool enlarged = size.width() > natural.width() || size.height() > natural.height();
    QImage image;
    if (ratio == 1 && enlarging == GlyphEnlarging::Smooth && enlarged)
        image = fromVectorMaster(id, device, ink);
    else
        image = fromPixelMaster(id, device, ink);
    if (image.isNull())
        image = ratio == 1 ? stretchedGlyph(id, size, ink) : fromVectorMaster(id, device, ink);
    if (image.isNull())
        return image;
    // Premultiplied ARGB draws without a conversion on every paint.
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace

QImage screenGlyph(int id, QSize size, QColor ink, qreal devicePixelRatio, GlyphEnlarging enlarging)
{
    if (size.width() <= 0 || size.height() <= 0 || !hasGlyph(id))
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const GlyphKey key{id, size, ink.rgba(), qRound(ratio * 100), enlarging};
    auto& cache = glyphCache();
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return it.value();
    const QImage image = makeGlyph(id, size, ink, ratio, enlarging);
    if (!image.isNull()) {
        if (cache.size() >= MaxCachedGlyphs)
            cache.clear();
        cache.insert(key, image);
    }
    return image;
}

void clearScreenGlyphCache() { glyphCache().clear(); }

}  // namespace zodiara
