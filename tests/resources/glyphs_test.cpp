// How the screen stretches the one-bit images is pinned by the reference pictures of the display
// tests; here, what every glyph's artwork must be whatever the reference chart happens to show.
#include "resources/glyphs.h"

#include <QPainter>
#include <QTest>

using namespace zodiara;

static QList<int> idsOf(int count, int (*id)(int))
{
    QList<int> ids;
    for (int i = 0; i < count; ++i)
        ids << id(i);
    return ids;
}
// The box around the pixels inked(x, y) picks, and how many there are.
template <class Inked>
static std::pair<QRect, int> inkOf(const QImage& image, Inked inked)
{
    std::pair<QRect, int> ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(x, y))
                ink = {ink.first | QRect(x, y, 1, 1), ink.second + 1};
    return ink;
}

const QList<int> Signs = idsOf(SignGlyphCount, signGlyphId), Bodies = idsOf(BodyGlyphCount, bodyGlyphId);

class TestGlyphs : public QObject {
    Q_OBJECT

private slots:
    void glyph_data()
    {
        QTest::addColumn<int>("id");
        for (int id : Signs + Bodies + idsOf(AspectGlyphCount, aspectGlyphId))
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    void glyph();
    void pixelMasters();
    void unknownIdsAndIcon();
};

void TestGlyphs::glyph()
{
    QFETCH(int, id);
    const QImage mono = glyphImage(id);
    QCOMPARE(std::tuple(hasGlyph(id), mono.size(), mono.format()),
             std::tuple(true, glyphNaturalSize(id), QImage::Format_MonoLSB));
    QCOMPARE(mono.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    const auto [bitmap, ink] = inkOf(mono, [&](int x, int y) { return mono.pixelIndex(x, y) == 0; });
    // A symbol is strokes on a background: an inverted or empty image fails here.
    const int area = mono.width() * mono.height();
    QVERIFY2(ink > area / 20 && ink < area / 2, qPrintable(QString::number(ink)));

    // Printed, a glyph is several hundred dots wide, stretched to its rectangle without keeping
    // proportions, in its ink (antialiased on white) where the bitmap's ink lies.
    const QRect target(40, 30, 420, 150);
    QImage page(520, 220, QImage::Format_RGB32);
    page.fill(Qt::white);
    drawGlyphVector(*std::make_unique<QPainter>(&page), id, target, Qt::blue);
    const auto stray = [&](int x, int y) {
        const QRgb c = page.pixel(x, y);
        return c != qRgb(255, 255, 255) && !(target.contains(x, y) && qRed(c) == qGreen(c) && qBlue(c) >= qRed(c));
    };
    QCOMPARE(inkOf(page, stray).second, 0);
    const QRect drawn = inkOf(page, [&](int x, int y) { return page.pixel(x, y) == qRgb(0, 0, 255); }).first;
    const double sx = double(target.width()) / mono.width(), sy = double(target.height()) / mono.height();
    QVERIFY(qAbs(drawn.left() - (target.x() + bitmap.left() * sx)) <= 1.5 * sx
            && qAbs(drawn.right() + 1 - (target.x() + (bitmap.right() + 1) * sx)) <= 1.5 * sx);
    QVERIFY(qAbs(drawn.top() - (target.y() + bitmap.top() * sy)) <= 1.5 * sy
            && qAbs(drawn.bottom() + 1 - (target.y() + (bitmap.bottom() + 1) * sy)) <= 1.5 * sy);
}

// Told apart at a glance: no two alike, and strokes on a background rather than a blob.
void TestGlyphs::pixelMasters()
{
    for (const auto& [ids, side] : {std::pair{Signs, 6}, {Signs, 10}, {Bodies, 10}}) {
        QList<QImage> masters;
        for (int id : ids) {
            const QImage m = pixelMaster(id, QSize(side, side));
            const int ink = inkOf(m, [&](int x, int y) { return m.pixelIndex(x, y) == 0; }).second;
            QVERIFY2(pixelMasterSizes(id).contains(QSize(side, side)) && m.format() == QImage::Format_MonoLSB
                         && ink * 8 >= side * side && ink * 2 <= side * side,
                     qPrintable(QStringLiteral("%1 at %2: %3 ink").arg(id).arg(side).arg(ink)));
            for (qsizetype other = 0; other < masters.size(); ++other)
                QVERIFY2(masters[other] != m, qPrintable(QStringLiteral("%1 and %2 alike").arg(ids[other]).arg(id)));
            masters << m;
        }
    }
}

void TestGlyphs::unknownIdsAndIcon()
{
    for (int id :
         {-1, 0, aboutPictureId, signGlyphId(SignGlyphCount), bodyGlyphId(-1), aspectGlyphId(AspectGlyphCount)})
        QVERIFY(!hasGlyph(id) && glyphImage(id).isNull() && !glyphNaturalSize(id).isValid());
    const QIcon icon = programIcon();
    for (int px : {16, 32, 48, 64, 128, 256})
        QVERIFY(icon.availableSizes().contains(QSize(px, px))
                && qAlpha(icon.pixmap(QSize(px, px)).toImage().pixel(px / 2, px / 2)) == 255);
}

QTEST_MAIN(TestGlyphs)
#include "glyphs_test.moc"
