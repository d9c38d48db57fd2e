#include "glyphs.h"

#include <QPainter>
#include <QTest>

using namespace zodiara;

namespace {

// Signs, bodies and aspects; the sizes come from the artwork itself.
QList<int> expectedIds()
{
    QList<int> ids;
    for (const auto& [first, last] : {std::pair(3, 14), std::pair(20, 29), std::pair(50, 60)})
        for (int id = first; id <= last; ++id)
            ids << id;
    return ids;
}

} // namespace

class TestGlyphs : public QObject
{
    Q_OBJECT

private slots:
    void glyph_data();
    void glyph();
    void vector_data() { glyph_data(); }
    void vector();
    void unknownIdsAndIcon();
};

void TestGlyphs::glyph_data()
{
    QTest::addColumn<int>("id");
    for (int id : expectedIds())
        QTest::newRow(qPrintable(QString::number(id))) << id;
}

void TestGlyphs::glyph()
{
    QFETCH(int, id);
    const QImage mono = glyphImage(id);
    QVERIFY(hasGlyph(id));
    QCOMPARE(mono.size(), glyphNaturalSize(id));
    QCOMPARE(mono.format(), QImage::Format_MonoLSB);
    QCOMPARE(mono.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));

    // Inked, the white is transparent over any ground.
    const QColor inkColour(255, 61, 1);
    QImage canvas(mono.size(), QImage::Format_RGB32);
    canvas.fill(qRgb(0, 200, 0));
    QPainter(&canvas).drawImage(0, 0, inkedGlyph(id, inkColour));
    int ink = 0;
    for (int y = 0; y < mono.height(); ++y) {
        for (int x = 0; x < mono.width(); ++x) {
            ink += mono.pixelIndex(x, y) == 0;
            QCOMPARE(canvas.pixel(x, y), mono.pixelIndex(x, y) == 0 ? inkColour.rgb() : qRgb(0, 200, 0));
        }
    }
    // A symbol is strokes on a background: an inverted or empty image fails here.
    const int area = mono.width() * mono.height();
    QVERIFY2(ink > area / 20 && ink < area / 2, qPrintable(QString::number(ink)));

    // The wheel draws glyphs far below their natural size: no stroke may vanish.
    for (const QSize size : {QSize(6, 6), QSize(10, 10), QSize(9, 14)}) {
        const QImage small = stretchedGlyph(id, size, Qt::blue);
        QCOMPARE(small.size(), size);
        QCOMPARE(small.colorTable(), (QList<QRgb>{QColor(Qt::blue).rgba(), qRgba(255, 255, 255, 0)}));
        // The target pixels that source pixel s overlaps along one axis.
        const auto overlap = [](int s, int src, int dst) {
            return std::pair(s * dst / src, ((s + 1) * dst + src - 1) / src);
        };
        for (int y = 0; y < mono.height(); ++y) {
            for (int x = 0; x < mono.width(); ++x) {
                if (mono.pixelIndex(x, y) != 0)
                    continue;
                const auto [tx0, tx1] = overlap(x, mono.width(), size.width());
                const auto [ty0, ty1] = overlap(y, mono.height(), size.height());
                bool shown = false;
                for (int ty = ty0; ty < ty1; ++ty)
                    for (int tx = tx0; tx < tx1; ++tx)
                        shown = shown || small.pixelIndex(tx, ty) == 0;
                QVERIFY2(shown, qPrintable(QStringLiteral("ink at %1,%2 lost").arg(x).arg(y)));
            }
        }
    }
    const QImage big = stretchedGlyph(id, mono.size() * 3, Qt::black);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            QCOMPARE(big.pixelIndex(x, y), mono.pixelIndex(x / 3, y / 3));
}

// Printed, a glyph is several hundred dots wide, stretched to its rectangle without keeping proportions.
void TestGlyphs::vector()
{
    QFETCH(int, id);
    const QRect target(40, 30, 420, 150);
    const QColor ink(0, 0, 255);
    QImage canvas(520, 220, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    drawGlyphVector(p, id, target, ink);
    p.end();

    QRect drawn;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb c = canvas.pixel(x, y);
            if (c == qRgb(255, 255, 255))
                continue;
            QVERIFY2(target.contains(x, y), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            QVERIFY2(qRed(c) == qGreen(c) && qBlue(c) >= qRed(c), "ink in a foreign colour");
            if (c == ink.rgb())
                drawn |= QRect(x, y, 1, 1);
        }
    }
    // The drawing lands where the bitmap's ink lies, scaled on each axis separately.
    const QImage mono = glyphImage(id);
    QRect bitmap;
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            if (mono.pixelIndex(x, y) == 0)
                bitmap |= QRect(x, y, 1, 1);
    const double sx = double(target.width()) / mono.width();
    const double sy = double(target.height()) / mono.height();
    QVERIFY(qAbs(drawn.left() - (target.x() + bitmap.left() * sx)) <= 1.5 * sx);
    QVERIFY(qAbs(drawn.right() + 1 - (target.x() + (bitmap.right() + 1) * sx)) <= 1.5 * sx);
    QVERIFY(qAbs(drawn.top() - (target.y() + bitmap.top() * sy)) <= 1.5 * sy);
    QVERIFY(qAbs(drawn.bottom() + 1 - (target.y() + (bitmap.bottom() + 1) * sy)) <= 1.5 * sy);

}

void TestGlyphs::unknownIdsAndIcon()
{
    QCOMPARE(QList<int>(glyphIds().begin(), glyphIds().end()), expectedIds());
    for (int id : {-1, 0, aboutPictureId, 15, 19, 30, 49, 61}) {
        QVERIFY(!hasGlyph(id));
        QVERIFY(glyphImage(id).isNull());
        QImage canvas(20, 20, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        drawGlyphVector(*std::make_unique<QPainter>(&canvas), id, QRectF(0, 0, 20, 20), Qt::black);
        QCOMPARE(canvas.pixel(10, 10), qRgb(255, 255, 255));
    }
    const QIcon icon = programIcon();
    for (int px : {16, 32, 48, 64, 128, 256}) {
        const QImage img = icon.pixmap(QSize(px, px)).toImage();
        QVERIFY(icon.availableSizes().contains(QSize(px, px)) && qAlpha(img.pixel(px / 2, px / 2)) == 255);
    }
}

QTEST_MAIN(TestGlyphs)
#include "tst_glyphs.moc"
