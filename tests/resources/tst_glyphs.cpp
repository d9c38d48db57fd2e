#include "glyphs.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QTest>

using namespace zodiara;

namespace {

int countPixels(const QImage& img, uint index)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelIndex(x, y) == int(index);
    return n;
}

bool isWhite(QRgb c)
{
    return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255;
}

} // namespace

class TestGlyphs : public QObject
{
    Q_OBJECT

private slots:
    void glyph_data();
    void glyph();
    void unknownIds();
    void inkedGlyphLeavesWhiteTransparent_data() { glyph_data(); }
    void inkedGlyphLeavesWhiteTransparent();
    void reductionKeepsEveryStroke_data() { glyph_data(); }
    void reductionKeepsEveryStroke();
    void enlargementRepeatsPixels();
    void vectorFillsTargetOnly_data() { glyph_data(); }
    void vectorFillsTargetOnly();
    void vectorStaysVector();
    void aboutPictureAndIcon();
};

// The sizes every layout stretches from.
void TestGlyphs::glyph_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    const struct { const char* name; int id, w, h; } rows[] = {
        {"Aries", 3, 27, 22}, {"Taurus", 4, 19, 24}, {"Gemini", 5, 14, 19},
        {"Cancer", 6, 25, 19}, {"Leo", 7, 23, 21}, {"Virgo", 8, 28, 20},
        {"Libra", 9, 29, 16}, {"Scorpio", 10, 28, 22}, {"Sagittarius", 11, 16, 16},
        {"Capricorn", 12, 24, 21}, {"Aquarius", 13, 22, 15}, {"Pisces", 14, 19, 21},
        {"Moon", 20, 19, 25}, {"Sun", 21, 25, 25}, {"Mercury", 22, 14, 28},
        {"Venus", 23, 15, 26}, {"Mars", 24, 24, 24}, {"Jupiter", 25, 20, 23},
        {"Saturn", 26, 15, 28}, {"Uranus", 27, 18, 27}, {"Neptune", 28, 27, 25},
        {"Pluto", 29, 12, 26},
        {"Conjunction", 50, 34, 34}, {"SemiSextile", 51, 30, 31}, {"Biquintile", 52, 34, 33},
        {"SemiSquare", 53, 41, 28}, {"Sextile", 54, 40, 29}, {"Quintile", 55, 34, 33},
        {"Square", 56, 33, 33}, {"Trine", 57, 41, 35}, {"Sesquiquadrate", 58, 36, 34},
        {"Inconjunct", 59, 40, 32}, {"Opposition", 60, 39, 39},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.id << QSize(r.w, r.h);
}

void TestGlyphs::glyph()
{
    QFETCH(int, id);
    QFETCH(QSize, size);
    QVERIFY(hasGlyph(id));
    QVERIFY(std::find(glyphIds().begin(), glyphIds().end(), id) != glyphIds().end());
    QCOMPARE(glyphNaturalSize(id), size);

    const QImage img = glyphImage(id);
    QCOMPARE(img.size(), size);
    QCOMPARE(img.format(), QImage::Format_MonoLSB);
    QCOMPARE(img.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    const int ink = countPixels(img, 0);
    const int area = size.width() * size.height();
    // A symbol is strokes on a background: an inverted or empty image fails here.
    QVERIFY2(ink > area / 20 && ink < area / 2, qPrintable(QString::number(ink)));
}

void TestGlyphs::unknownIds()
{
    QCOMPARE(glyphIds().size(), std::size_t(33));
    for (int id : {-1, 0, 1, aboutPictureId, 15, 19, 30, 49, 61, 1000}) {
        QVERIFY(!hasGlyph(id));
        QVERIFY(glyphImage(id).isNull());
        QVERIFY(inkedGlyph(id, Qt::red).isNull());
        QVERIFY(stretchedGlyph(id, QSize(10, 10), Qt::red).isNull());
        QVERIFY(!glyphNaturalSize(id).isValid());
        QImage canvas(20, 20, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        drawGlyphVector(p, id, QRectF(0, 0, 20, 20), Qt::black);
        p.end();
        QCOMPARE(canvas.pixel(10, 10), qRgb(255, 255, 255));
    }
}

void TestGlyphs::inkedGlyphLeavesWhiteTransparent()
{
    QFETCH(int, id);
    const QColor ink(255, 61, 1);
    const QImage mono = glyphImage(id);
    const QImage inked = inkedGlyph(id, ink);
    QCOMPARE(inked.size(), mono.size());
    QCOMPARE(inked.color(1), qRgba(255, 255, 255, 0));

    const QRgb ground = qRgb(0, 200, 0);
    QImage canvas(mono.size(), QImage::Format_RGB32);
    canvas.fill(ground);
    QPainter p(&canvas);
    p.drawImage(0, 0, inked);
    p.end();
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            QCOMPARE(canvas.pixel(x, y), mono.pixelIndex(x, y) == 0 ? ink.rgb() : ground);
}

// The wheel draws glyphs far below their natural size (6 x 6 small signs).
void TestGlyphs::reductionKeepsEveryStroke()
{
    QFETCH(int, id);
    const QImage src = glyphImage(id);
    for (const QSize size : {QSize(6, 6), QSize(10, 10), QSize(18, 18), QSize(9, 14)}) {
        const QImage small = stretchedGlyph(id, size, Qt::blue);
        QCOMPARE(small.size(), size);
        QCOMPARE(small.color(0), QColor(Qt::blue).rgba());
        QCOMPARE(small.color(1), qRgba(255, 255, 255, 0));
        // Target pixels that overlap source pixel s along one axis.
        const auto overlap = [](int s, int src, int dst) {
            return std::pair(s * dst / src, ((s + 1) * dst + src - 1) / src);
        };
        for (int y = 0; y < src.height(); ++y) {
            for (int x = 0; x < src.width(); ++x) {
                if (src.pixelIndex(x, y) != 0)
                    continue;
                const auto [tx0, tx1] = overlap(x, src.width(), size.width());
                const auto [ty0, ty1] = overlap(y, src.height(), size.height());
                bool shown = false;
                for (int ty = ty0; ty < ty1; ++ty)
                    for (int tx = tx0; tx < tx1; ++tx)
                        shown = shown || small.pixelIndex(tx, ty) == 0;
                QVERIFY2(shown, qPrintable(QStringLiteral("ink at %1,%2 lost").arg(x).arg(y)));
            }
        }
        if (size.width() >= 10)
            QVERIFY(countPixels(small, 1) > 0);
    }
}

void TestGlyphs::enlargementRepeatsPixels()
{
    for (int id : glyphIds()) {
        const QImage src = glyphImage(id);
        const QImage big = stretchedGlyph(id, src.size() * 3, Qt::black);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                QCOMPARE(big.pixelIndex(x, y), src.pixelIndex(x / 3, y / 3));
    }
}

// A glyph on a 600 dpi page is several hundred dots wide, stretched to the
// layout's rectangle without keeping its proportions.
void TestGlyphs::vectorFillsTargetOnly()
{
    QFETCH(int, id);
    const QRect target(40, 30, 420, 150);
    QImage canvas(520, 220, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0, 0, 255);
    drawGlyphVector(p, id, target, ink);
    p.end();

    QRect inkBox;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb c = canvas.pixel(x, y);
            if (isWhite(c))
                continue;
            QVERIFY2(target.contains(x, y), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            QVERIFY2(qRed(c) == qGreen(c) && qBlue(c) >= qRed(c), "ink in a foreign colour");
            if (c == ink.rgb())
                inkBox |= QRect(x, y, 1, 1);
        }
    }
    // The drawing must land where the bitmap's ink lies, scaled to the target
    // on each axis separately; a kept aspect ratio would miss by far more.
    const QImage mono = glyphImage(id);
    QRect monoBox;
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            if (mono.pixelIndex(x, y) == 0)
                monoBox |= QRect(x, y, 1, 1);
    const double sx = double(target.width()) / mono.width();
    const double sy = double(target.height()) / mono.height();
    const auto near = [](double actual, double expected, double tolerance) {
        return qAbs(actual - expected) <= tolerance;
    };
    const QString boxes = QStringLiteral("vector %1,%2 %3x%4").arg(inkBox.x()).arg(inkBox.y())
                              .arg(inkBox.width()).arg(inkBox.height());
    QVERIFY2(near(inkBox.left(), target.x() + monoBox.left() * sx, 1.5 * sx), qPrintable(boxes));
    QVERIFY2(near(inkBox.right() + 1, target.x() + (monoBox.right() + 1) * sx, 1.5 * sx), qPrintable(boxes));
    QVERIFY2(near(inkBox.top(), target.y() + monoBox.top() * sy, 1.5 * sy), qPrintable(boxes));
    QVERIFY2(near(inkBox.bottom() + 1, target.y() + (monoBox.bottom() + 1) * sy, 1.5 * sy), qPrintable(boxes));
}

void TestGlyphs::vectorStaysVector()
{
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(200, 200));
    QPainter p(&svg);
    drawGlyphVector(p, 3, QRectF(0, 0, 200, 200), QColor(0, 128, 128));
    p.end();
    const QByteArray out = buffer.data();
    QVERIFY(out.contains("<path"));
    QVERIFY(!out.contains("<image"));
    QVERIFY(out.contains("#008080"));
}

void TestGlyphs::aboutPictureAndIcon()
{
    const QImage about = aboutPicture();
    QCOMPARE(about.size(), QSize(96, 66));
    QCOMPARE(about.format(), QImage::Format_Indexed8);
    QVERIFY(about.colorCount() > 8 && about.colorCount() <= 256);

    const QIcon icon = programIcon();
    for (int px : {16, 32, 48, 64, 128, 256}) {
        QVERIFY(icon.availableSizes().contains(QSize(px, px)));
        const QImage img = icon.pixmap(QSize(px, px)).toImage();
        QCOMPARE(img.size(), QSize(px, px));
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(px / 2, px / 2)), 255);
    }
}

QTEST_MAIN(TestGlyphs)
#include "tst_glyphs.moc"
