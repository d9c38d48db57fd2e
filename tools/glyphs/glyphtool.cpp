// Rasterises the SVG masters in resources/ into the images the program carries.
//
//   glyphtool glyphs  MASTERDIR OUTDIR        every *.svg -> one-bit PNG at its viewBox size
//   glyphtool picture SVG PNG [--indexed]     colour picture at its viewBox size
//   glyphtool icon    SVG OUTPREFIX SIZE...   OUTPREFIX-SIZE.png for each size
//   glyphtool sheet   PNG SCALE IMAGE...      enlarged contact sheet for proofreading

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

// Share of a pixel a stroke must cover to become ink. Below one half so that a
// 2-unit stroke lying across pixel boundaries still leaves an unbroken line.
constexpr int inkAlphaThreshold = 110;

QImage renderArgb(QSvgRenderer& svg, QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), size));
    return img;
}

bool loadSvg(QSvgRenderer& svg, const QString& path)
{
    if (!svg.load(path) || !svg.isValid()) {
        std::fprintf(stderr, "glyphtool: cannot read %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QSize naturalSize(const QSvgRenderer& svg)
{
    const QRectF box = svg.viewBoxF();
    return QSize(qRound(box.width()), qRound(box.height()));
}

bool save(const QImage& img, const QString& path)
{
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "glyphtool: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int glyphs(const QString& masterDir, const QString& outDir)
{
    const QDir dir(masterDir);
    const QStringList names = dir.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "glyphtool: no masters in %s\n", qPrintable(masterDir));
        return 1;
    }
    for (const QString& name : names) {
        QSvgRenderer svg;
        if (!loadSvg(svg, dir.filePath(name)))
            return 1;
        const QImage art = renderArgb(svg, naturalSize(svg));
        QImage mono(art.size(), QImage::Format_MonoLSB);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        mono.fill(1);
        int ink = 0;
        for (int y = 0; y < art.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(art.constScanLine(y));
            for (int x = 0; x < art.width(); ++x) {
                if (qAlpha(row[x]) >= inkAlphaThreshold) {
                    mono.setPixel(x, y, 0);
                    ++ink;
                }
            }
        }
        const QString out = QDir(outDir).filePath(QFileInfo(name).completeBaseName() + ".png");
        if (!save(mono, out))
            return 1;
        std::printf("%-28s %2dx%-2d %4d ink\n", qPrintable(QFileInfo(out).fileName()), mono.width(), mono.height(),
                    ink);
    }
    return 0;
}

// Qt's own conversion falls back to a fixed colour cube beyond 256 colours,
// which shifts the flat areas; keep the 256 commonest colours exactly instead
// and give the rare antialiasing shades their nearest neighbour.
QImage toPalette(const QImage& rgb)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[rgb.pixel(x, y)];
    QList<QRgb> palette = counts.keys();
    std::sort(palette.begin(), palette.end(),
              [&](QRgb a, QRgb b) { return counts[a] != counts[b] ? counts[a] > counts[b] : a < b; });
    palette.resize(qMin<qsizetype>(palette.size(), 256));
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            int best = 0, bestDistance = INT_MAX;
            for (int i = 0; i < palette.size() && bestDistance > 0; ++i) {
                const int dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                          db = qBlue(c) - qBlue(palette[i]);
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    best = i;
                    bestDistance = distance;
                }
            }
            out.setPixel(x, y, best);
        }
    }
    return out;
}

int picture(const QString& in, const QString& out, bool indexed)
{
    QSvgRenderer svg;
    if (!loadSvg(svg, in))
        return 1;
    QImage img = renderArgb(svg, naturalSize(svg)).convertToFormat(QImage::Format_RGB32);
    if (indexed)
        img = toPalette(img);
    return save(img, out) ? 0 : 1;
}

int icon(const QString& in, const QString& prefix, const QStringList& sizes)
{
    QSvgRenderer svg;
    if (!loadSvg(svg, in))
        return 1;
    for (const QString& s : sizes) {
        const int n = s.toInt();
        if (n <= 0 || !save(renderArgb(svg, QSize(n, n)), QStringLiteral("%1-%2.png").arg(prefix).arg(n)))
            return 1;
    }
    return 0;
}

// Glyphs side by side on grey, each enlarged without smoothing, so that every
// pixel of the one-bit art can be judged.
int sheet(const QString& out, int scale, const QStringList& files)
{
    QList<QImage> images;
    int width = 0, height = 0;
    for (const QString& f : files) {
        QImage img(f);
        if (img.isNull()) {
            std::fprintf(stderr, "glyphtool: cannot read %s\n", qPrintable(f));
            return 1;
        }
        images.append(img);
        width = qMax(width, img.width());
        height = qMax(height, img.height());
    }
    const int perRow = 8;
    const int cellW = (width + 2) * scale, cellH = (height + 2) * scale;
    const int rows = (int(images.size()) + perRow - 1) / perRow;
    QImage canvas(perRow * cellW, rows * cellH, QImage::Format_RGB32);
    canvas.fill(QColor(170, 170, 170));
    QPainter p(&canvas);
    for (int i = 0; i < images.size(); ++i) {
        const QImage& img = images[i];
        const QRect target((i % perRow) * cellW + scale, (i / perRow) * cellH + scale, img.width() * scale,
                           img.height() * scale);
        p.fillRect(target, Qt::white);
        p.drawImage(target, img);
    }
    p.end();
    return save(canvas, out) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString cmd = args.value(0);
    if (cmd == "glyphs" && args.size() == 3)
        return glyphs(args[1], args[2]);
    if (cmd == "picture" && (args.size() == 3 || (args.size() == 4 && args[3] == "--indexed")))
        return picture(args[1], args[2], args.size() == 4);
    if (cmd == "icon" && args.size() >= 4)
        return icon(args[1], args[2], args.mid(3));
    if (cmd == "sheet" && args.size() >= 4)
        return sheet(args[1], args[2].toInt(), args.mid(3));
    std::fprintf(stderr, "usage: glyphtool glyphs MASTERDIR OUTDIR | picture SVG PNG [--indexed] |"
                         " icon SVG PREFIX SIZE... | sheet PNG SCALE IMAGE...\n");
    return 2;
}
