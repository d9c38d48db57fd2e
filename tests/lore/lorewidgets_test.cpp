// The picture control and the two lore boxes, offscreen.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "lore/compatibilitydialog.h"
#include "resources/glyphs.h"
#include "lore/lorecommands.h"
#include "recordingmessages.h"
#include "lore/signtexts.h"
#include "ui/textconversion.h"
#include "lore/traitsdialog.h"
#include "lore/picturelabel.h"

using namespace zodiara;
using test::RecordingMessages;

namespace {

// Whether a field shows all of its text at its present size.
bool fits(const QLabel* field)
{
    if (field->wordWrap())
        return field->heightForWidth(field->width()) <= field->height();
    return field->fontMetrics().horizontalAdvance(field->text()) + 2 * (field->frameWidth() + field->margin())
        <= field->width();
}

// Bounding box of the pixels that are not the background colour.
QRect inkBounds(const QImage& image, QRgb background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

}  // namespace

class TestLoreWidgets : public QObject {
    Q_OBJECT
private slots:
    void pictureTakesItsNaturalSizeOrFillsTheControlAndReportsWhatIsMissing()
    {
        RecordingMessages messages;
        QWidget parent;
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(Qt::green));
        parent.resize(200, 200);
        PictureLabel picture(&parent, aboutPictureId, false, messages);
        picture.move(10, 20);
        QCOMPARE(picture.size(), QSize(96, 66));
        const QImage shown = picture.grab().toImage();
        for (QPoint p : {QPoint(0, 0), QPoint(95, 65), QPoint(48, 33), QPoint(20, 50), QPoint(70, 10)})
            QCOMPARE(QColor(shown.pixel(p)), QColor(aboutPicture().pixel(p)));
        QVERIFY(picture.loadPicture(signGlyphId(1)));
        QCOMPARE(std::pair(picture.size(), picture.pos()), std::pair(glyphNaturalSize(signGlyphId(1)), QPoint(10, 20)));

        for (int sign = 0; sign < 12; ++sign) {
            PictureLabel stretched(nullptr, signGlyphId(sign), true, messages);
            stretched.resize(90, 70);
            const QRect ink = inkBounds(stretched.grab().toImage(), qRgb(255, 255, 255));
            // Whatever the glyph's own proportions, it is drawn across most of the control.
            QVERIFY2(ink.width() > 90 * 6 / 10 && ink.height() > 70 * 6 / 10, qPrintable(QString::number(sign)));
        }
        QVERIFY(messages.shown.isEmpty());

        // A stretched control without a picture leaves its parent's ground alone.
        PictureLabel missing(&parent, signGlyphId(0), true, messages);
        missing.setGeometry(10, 100, 50, 40);
        QSignalSpy loaded(&missing, &PictureLabel::pictureLoaded);
        for (int id : {0, 999})
            QVERIFY(!missing.loadPicture(id) && missing.resourceId() == -1);
        QCOMPARE(messages.texts() + messages.texts(&test::RecordedMessage::caption),
                 QStringList(2, "Cannot access bitmap resource") + QStringList(2, "Zodiara"));
        QCOMPARE(loaded.count(), 0);
        QCOMPARE(inkBounds(parent.grab(missing.geometry()).toImage(), QColor(Qt::green).rgb()), QRect());
        QVERIFY(missing.loadPicture(signGlyphId(4)));
        QCOMPARE(loaded.count(), 1);
    }

    // Every sign and every ordered pair, reached as a person does it; the boxes never grow and
    // every text fits its field.
    void boxesShowTheChosenSignsHoldEveryTextAndReloadNothingChosenAgain()
    {
        RecordingMessages messages;
        TraitsDialog traits(nullptr, messages);
        CompatibilityDialog compatibility(nullptr);
        traits.show();
        compatibility.show();
        QVERIFY(QTest::qWaitForWindowExposed(&traits) && QTest::qWaitForWindowExposed(&compatibility));
        const QSize traitsSize = traits.size(), compatibilitySize = compatibility.size();
        auto* ranges = traits.findChild<QComboBox*>("ranges");
        auto* yours = compatibility.findChild<QComboBox*>("yourSign");
        auto* partners = compatibility.findChild<QComboBox*>("partnerSign");
        const auto* text = compatibility.findChild<QLabel*>("compatibility");
        const auto* picture = traits.findChild<PictureLabel*>("picture");
        QCOMPARE(partners->currentText(), QStringLiteral("March 21 - April 19, Aries"));
        for (int a = 0; a < 12; ++a) {
            if (a > 0)
                QTest::keyClick(ranges, Qt::Key_Down);
            // The box shows what the traits command prints, the list's entry as the birthdays.
            QStringList shown{traits.findChild<QLabel*>("yourSign")->text().replace(u'\n', u' '),
                              ranges->currentText()};
            for (const char* field : {"quality", "element", "principle", "ruler", "opposite", "keyPhrase", "keyWord",
                                      "luckyNumbers", "anatomy", "positiveTraits", "negativeTraits"})
                shown << traits.findChild<QLabel*>(field)->text();
            const QStringList report = toQString(traitsReport(a)).split(u'\n', Qt::SkipEmptyParts);
            QStringList printed{report[0]};
            for (const QString& line : report.mid(1))
                printed << line.mid(17);
            QCOMPARE(shown, printed);
            QCOMPARE(picture->resourceId(), signGlyphId(a));
            QCOMPARE(traits.size(), traitsSize);
            for (const QLabel* field : traits.findChildren<QLabel*>())
                QVERIFY2(field->frameShape() == QFrame::NoFrame || fits(field),
                         qPrintable(QStringLiteral("%1 of sign %2").arg(field->objectName()).arg(a)));
            for (int b = 0; b < 12; ++b) {
                yours->setCurrentIndex(a);
                partners->setCurrentIndex(b);
                QCoreApplication::processEvents();
                QVERIFY2(fits(text), qPrintable(QString::number(compatibilityTextId(a, b))));
                QCOMPARE(text->text(), toQString(compatibilityText(a, b)));
                QCOMPARE(compatibility.size(), compatibilitySize);
            }
        }
        QVERIFY(messages.shown.isEmpty());

        // Choosing the entry already shown reloads nothing.
        QSignalSpy signShown(&traits, &TraitsDialog::signShown);
        QSignalSpy loaded(picture, &PictureLabel::pictureLoaded);
        QSignalSpy textShown(&compatibility, &CompatibilityDialog::textShown);
        const auto chooseAgain = [&] {
            for (QComboBox* list : {ranges, yours, partners}) {
                list->setCurrentIndex(list->currentIndex());
                emit list->activated(list->currentIndex());
            }
        };
        chooseAgain();
        QCOMPARE(signShown.count() + loaded.count() + textShown.count(), 0);
        ranges->setCurrentIndex(5);
        partners->setCurrentIndex(7);
        chooseAgain();
        QCOMPARE((QList<qsizetype>{signShown.count(), loaded.count(), loaded.value(0).value(0).toInt(),
                                   textShown.count()}), (QList<qsizetype>{1, 1, signGlyphId(5), 1}));
        yours->setCurrentIndex(7);
        QCOMPARE(textShown.last().at(0).toInt(), 12007);
    }
};

QTEST_MAIN(TestLoreWidgets)
#include "lorewidgets_test.moc"
