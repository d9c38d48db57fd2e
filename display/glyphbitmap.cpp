#include "glyphbitmap.h"

#include <QHash>

#include "glyphs.h"

namespace zodiara {

namespace {

// Resizing the window creates new sizes; dropping everything now and then bounds the memory.
constexpr int MaxCachedGlyphs = 1024;

QHash<quint64, QImage>& glyphCache()
{
    thread_local QHash<quint64, QImage> cache;
    return cache;
}

}  // namespace

QImage screenGlyph(int id, QSize size, QColor ink)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    if (id < 0 || id > 0xff || size.width() > 0xffff || size.height() > 0xffff)
        return stretchedGlyph(id, size, ink);
    const quint64 key = (quint64(id) << 56) | (quint64(size.width()) << 40) | (quint64(size.height()) << 24)
                        | quint64(ink.rgb() & 0xffffff);
    auto& cache = glyphCache();
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return it.value();
    // Premultiplied ARGB draws without a conversion on every paint.
    const QImage image = stretchedGlyph(id, size, ink).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) {
        if (cache.size() >= MaxCachedGlyphs)
            cache.clear();
        cache.insert(key, image);
    }
    return image;
}

void clearScreenGlyphCache() { glyphCache().clear(); }

}  // namespace zodiara
