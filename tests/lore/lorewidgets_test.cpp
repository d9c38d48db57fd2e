// The picture control and the two lore boxes, offscreen.
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "lore/compatibilitydialog.h"
#include "lore/compatibilitytexts.h"
#include "lore/lorecommands.h"
#include "lore/picturelabel.h"
#include "lore/traitsdialog.h"
#include "recordingmessages.h"
#include "resources/glyphs.h"
#include "ui/textconversion.h"

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

// Bounding box of the pixels that are not white.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
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
        PictureLabel picture(&parent, aboutPictureId, false, messages);
        picture.move(10, 20);
        QCOMPARE(picture.grab().toImage().convertToFormat(QImage::Format_RGB32),
                 aboutPicture().convertToFormat(QImage::Format_RGB32));
        QVERIFY(picture.loadPicture(signGlyphId(1)));
        QCOMPARE(std::pair(picture.size(), picture.pos()), std::pair(glyphNaturalSize(signGlyphId(1)), QPoint(10, 20)));

        for (int sign = 0; sign < 12; ++sign) {
            PictureLabel stretched(nullptr, signGlyphId(sign), true, messages);
            stretched.resize(90, 70);
            const QRect ink = inkBounds(stretched.grab().toImage());
            // Whatever the glyph's own proportions, it is drawn across most of the control.
            QVERIFY2(ink.width() > 90 * 6 / 10 && ink.height() > 70 * 6 / 10, qPrintable(QString::number(sign)));
        }
        QVERIFY(messages.shown.isEmpty());

        PictureLabel missing(&parent, signGlyphId(0), true, messages);
        QVERIFY(!missing.loadPicture(999) && missing.resourceId() == -1);
        QCOMPARE(messages.texts() + messages.texts(&test::RecordedMessage::caption),
                 QStringList({"Cannot access bitmap resource", "Zodiara"}));
    }

    // Every sign and every ordered pair, reached as a person does it; every text fits its field.
    void boxesShowTheChosenSignsAndHoldEveryText()
    {
        RecordingMessages messages;
        TraitsDialog traits(nullptr, messages);
        CompatibilityDialog compatibility(nullptr);
        traits.show();
        compatibility.show();
        QVERIFY(QTest::qWaitForWindowExposed(&traits) && QTest::qWaitForWindowExposed(&compatibility));
        auto* ranges = traits.findChild<QComboBox*>("ranges");
        auto* yours = compatibility.findChild<QComboBox*>("yourSign");
        auto* partners = compatibility.findChild<QComboBox*>("partnerSign");
        const auto* text = compatibility.findChild<QLabel*>("compatibility");
        for (int a = 0; a < 12; ++a) {
            if (a > 0)
                QTest::keyClick(ranges, Qt::Key_Down);
            // The box shows what the traits command prints, the list's entry as the birthdays.
            QStringList shown{traits.findChild<QLabel*>("yourSign")->text().replace(u'\n', u' '),
                              ranges->currentText()};
            for (const char* field : {"quality", "element", "principle", "ruler", "opposite", "keyPhrase", "keyWord",
                                      "luckyNumbers", "anatomy", "positiveTraits", "negativeTraits"})
                shown << traits.findChild<QLabel*>(field)->text();
            const QStringList report = toQString(traitsReport(Sign{a})).split(u'\n', Qt::SkipEmptyParts);
            QStringList printed{report[0]};
            for (const QString& line : report.mid(1))
                printed << line.mid(17);
            QCOMPARE(shown, printed);
            QCOMPARE(traits.findChild<PictureLabel*>("picture")->resourceId(), signGlyphId(a));
            for (const QLabel* field : traits.findChildren<QLabel*>())
                QVERIFY2(field->frameShape() == QFrame::NoFrame || fits(field),
                         qPrintable(QStringLiteral("%1 of sign %2").arg(field->objectName()).arg(a)));
            for (int b = 0; b < 12; ++b) {
                yours->setCurrentIndex(a);
                partners->setCurrentIndex(b);
                QCoreApplication::processEvents();
                QCOMPARE(text->text(), toQString(compatibilityText(Sign{a}, Sign{b})));
                QVERIFY2(fits(text), qPrintable(text->text().section(u'\n', 0, 0)));
            }
        }
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestLoreWidgets)
#include "lorewidgets_test.moc"
