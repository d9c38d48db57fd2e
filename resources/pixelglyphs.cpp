// The pixel masters: signs and bodies drawn dot by dot for the small sizes at which the wheel
// shows them. Reducing the large artwork to 6 or 10 pixels keeps every stroke and so fills every
// gap: each shape here keeps what tells its symbol apart instead. '#' is ink, '.' background.
#include "resources/glyphs.h"

#include <algorithm>
#include <string_view>

namespace zodiara {
namespace {

struct PixelArt {
    int id;
    int side;               // every master is square
    std::string_view dots;  // side rows of side dots, top row first
};

// Ascending by id, then by side.
constexpr PixelArt pixelArt[] = {
    {signGlyphId(0), 6,  // aries
     ".#..#."
     "#.##.#"
     "#.##.#"
     "..##.."
     "..##.."
     "..##.."},
    {signGlyphId(0), 10,  // aries
     ".##....##."
     "#..#..#..#"
     "#...##...#"
     "#...##...#"
     "....##...."
     "....##...."
     "....##...."
     "....##...."
     "....##...."
     "....##...."},
    {signGlyphId(1), 6,  // taurus
     "#....#"
     ".####."
     "#....#"
     "#....#"
     ".####."
     "......"},
    {signGlyphId(1), 10,  // taurus
     "##......##"
     "..#....#.."
     "...####..."
     "..#....#.."
     ".#......#."
     ".#......#."
     ".#......#."
     "..#....#.."
     "...####..."
     ".........."},
    {signGlyphId(2), 6,  // gemini
     "######"
     ".#..#."
     ".#..#."
     ".#..#."
     "######"
     "......"},
    {signGlyphId(2), 10,  // gemini
     "#........#"
     ".########."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     ".########."
     "#........#"},
    {signGlyphId(3), 6,  // cancer
     "..####"
     "##...."
     "##...."
     "....##"
     "....##"
     "####.."},
    {signGlyphId(3), 10,  // cancer
     "...#####.."
     ".##.....#."
     "#..#......"
     "#..#......"
     ".##......."
     ".......##."
     "......#..#"
     "......#..#"
     ".#.....##."
     "..#####..."},
    {signGlyphId(4), 6,  // leo
     "..##.."
     ".#..#."
     ".#..#."
     "#.#.#."
     ".#..#."
     "....##"},
    {signGlyphId(4), 10,  // leo
     "....###..."
     "...#...#.."
     "...#...#.."
     "...#...#.."
     ".##....#.."
     "#..#...#.."
     "#..#...#.."
     ".##....#.."
     ".......#.#"
     "........#."},
    {signGlyphId(5), 6,  // virgo
     ".#.#.."
     "#.#.#."
     "#.#.##"
     "#.#.##"
     "#.#.#."
     "...#.."},
    {signGlyphId(5), 10,  // virgo
     ".##.##...."
     "#..#..##.."
     "#..#..#.#."
     "#..#..#.#."
     "#..#..##.."
     "#..#..#..."
     "#..#..#..."
     "#..#..#..."
     "......#..."
     ".....#...."},
    {signGlyphId(6), 6,  // libra
     "......"
     "..##.."
     ".#..#."
     "##..##"
     "......"
     "######"},
    {signGlyphId(6), 10,  // libra
     ".........."
     "...####..."
     "..#....#.."
     "..#....#.."
     "###....###"
     ".........."
     "##########"
     ".........."
     ".........."
     ".........."},
    {signGlyphId(7), 6,  // scorpio
     ".#.#.."
     "#.#.#."
     "#.#.#."
     "#.#.#."
     "#.#.##"
     "....##"},
    {signGlyphId(7), 10,  // scorpio
     "#.#..#...."
     "##.##.#..."
     "#..#..#..."
     "#..#..#..."
     "#..#..#..."
     "#..#..#..."
     "#..#..#..."
     "#..#..#..#"
     "......####"
     ".........#"},
    {signGlyphId(8), 6,  // sagittarius
     "...###"
     "....##"
     ".#.#.#"
     "..#..."
     ".#.#.."
     "#....."},
    {signGlyphId(8), 10,  // sagittarius
     ".....#####"
     "........##"
     ".......#.#"
     "......#..#"
     ".#...#...."
     "..#.#....."
     "...#......"
     "..#.#....."
     ".#...#...."
     "#........."},
    {signGlyphId(9), 6,  // capricorn
     "#..#.."
     ".#.#.."
     ".##.#."
     ".#..##"
     ".#.#.#"
     "....#."},
    {signGlyphId(9), 10,  // capricorn
     "#........."
     ".#....##.."
     "..#..#..#."
     "..#.#...#."
     "...#....#."
     "...#...##."
     "...#..#.##"
     "...#.#..#."
     "...#.#..#."
     "......##.."},
    {signGlyphId(10), 6,  // aquarius
     ".#..#."
     "#.##.#"
     "......"
     ".#..#."
     "#.##.#"
     "......"},
    {signGlyphId(10), 10,  // aquarius
     ".........."
     ".#..#..#.."
     "#.##.##.#."
     "........#."
     ".........."
     ".#..#..#.."
     "#.##.##.#."
     "........#."
     ".........."
     ".........."},
    {signGlyphId(11), 6,  // pisces
     "#....#"
     ".#..#."
     "######"
     ".#..#."
     ".#..#."
     "#....#"},
    {signGlyphId(11), 10,  // pisces
     "#........#"
     ".#......#."
     "..#....#.."
     "..#....#.."
     "##########"
     "..#....#.."
     "..#....#.."
     "..#....#.."
     ".#......#."
     "#........#"},
    {bodyGlyphId(0), 10,  // moon
     "..##......"
     "....##...."
     ".....##..."
     ".....###.."
     ".....###.."
     ".....###.."
     ".....###.."
     ".....##..."
     "....##...."
     "..##......"},
    {bodyGlyphId(1), 10,  // sun
     "...####..."
     ".##....##."
     ".#......#."
     "#........#"
     "#...##...#"
     "#...##...#"
     "#........#"
     ".#......#."
     ".##....##."
     "...####..."},
    {bodyGlyphId(2), 10,  // mercury
     "..#....#.."
     "...####..."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "...####..."
     "....##...."
     "..######.."
     "....##...."
     "....##...."},
    {bodyGlyphId(3), 10,  // venus
     "...####..."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "..#....#.."
     "...####..."
     "....##...."
     "..######.."
     "....##...."
     "....##...."},
    {bodyGlyphId(4), 10,  // mars
     ".....#####"
     "........##"
     ".......#.#"
     "......#..#"
     "..####...."
     ".#....#..."
     ".#....#..."
     ".#....#..."
     ".#....#..."
     "..####...."},
    {bodyGlyphId(5), 10,  // jupiter
     ".##.....#."
     "#..#....#."
     "...#....#."
     "..#.....#."
     ".#......#."
     "#.......#."
     "##########"
     "........#."
     "........#."
     "........#."},
    {bodyGlyphId(6), 10,  // saturn
     "..#......."
     "######...."
     "..#......."
     "..#.##...."
     "..##..#..."
     "..#...#..."
     "..#...#..."
     "..#..#...."
     ".....#...."
     "......##.."},
    {bodyGlyphId(7), 10,  // uranus
     ".#..##..#."
     ".#..##..#."
     ".########."
     ".#..##..#."
     ".#..##..#."
     "....##...."
     "...####..."
     "..#....#.."
     "..#....#.."
     "...####..."},
    {bodyGlyphId(8), 10,  // neptune
     "#...##...#"
     "#...##...#"
     "#...##...#"
     ".#..##..#."
     "..######.."
     "....##...."
     "....##...."
     "..######.."
     "....##...."
     "....##...."},
    {bodyGlyphId(9), 10,  // pluto
     "..####...."
     "..#...#..."
     "..#...#..."
     "..####...."
     "..#......."
     "..#......."
     "..#......."
     "..#......."
     "..######.."
     ".........."},
};

constexpr bool wellFormed()
{
    for (std::size_t i = 0; i < std::size(pixelArt); ++i) {
        const PixelArt& a = pixelArt[i];
        if (a.dots.size() != std::size_t(a.side * a.side))
            return false;
        if (a.dots.find_first_not_of(".#") != std::string_view::npos)
            return false;
        if (i > 0 && (pixelArt[i - 1].id > a.id || (pixelArt[i - 1].id == a.id && pixelArt[i - 1].side >= a.side)))
            return false;
    }
    return true;
}
static_assert(wellFormed(), "each master is side x side dots of '#' and '.', sorted by id and side");

}  // namespace

QList<QSize> pixelMasterSizes(int resourceId)
{
    QList<QSize> sizes;
    for (const PixelArt& a : pixelArt)
        if (a.id == resourceId)
            sizes.append(QSize(a.side, a.side));
    return sizes;
}

QImage pixelMaster(int resourceId, QSize size)
{
    const auto it = std::find_if(std::begin(pixelArt), std::end(pixelArt), [&](const PixelArt& a) {
        return a.id == resourceId && size == QSize(a.side, a.side);
    });
    if (it == std::end(pixelArt))
        return {};
    QImage image(size, QImage::Format_MonoLSB);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < it->side; ++y)
        for (int x = 0; x < it->side; ++x)
            image.setPixel(x, y, it->dots[std::size_t(y * it->side + x)] == '#' ? 0 : 1);
    return image;
}

}  // namespace zodiara
