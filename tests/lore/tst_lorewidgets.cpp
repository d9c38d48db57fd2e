// The picture control and the two lore boxes, offscreen.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "chart.h"
#include "compatibilitydialog.h"
#include "glyphs.h"
#include "messageservice.h"
#include "signtexts.h"
#include "traitsdialog.h"
#include "tstatic256.h"

using namespace zodiara;

namespace {

// Stands in for the user: records every box instead of showing it.
class RecordingMessages final : public MessageService {
public:
    QStringList shown;  // text and caption of each box
    Result show(QWidget*, const QString& text, const QString& caption, Buttons) override
    {
        shown << text + QLatin1Char('|') + caption;
        return Result::Ok;
    }
};

template <class T = QLabel>
T* child(const QObject* box, const char* name)
{
    return box->findChild<T*>(QLatin1String(name));
}

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

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
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

}  // namespace

class TestLoreWidgets : public QObject {
    Q_OBJECT

private slots:
    void pictureTakesItsNaturalSizeOrFillsTheControl();
    void missingPictureIsReportedAndPaintsNothing();
    void traitsBoxShowsTheChosenSign_data();
    void traitsBoxShowsTheChosenSign();
    void compatibilityBoxShowsThePairsText_data();
    void compatibilityBoxShowsThePairsText();
    void boxesHoldEveryTextWithoutResizing();
    void choosingTheShownEntryAgainReloadsNothing();
};

void TestLoreWidgets::pictureTakesItsNaturalSizeOrFillsTheControl()
{
    RecordingMessages messages;
    QWidget parent;
    TStatic256 picture(&parent, aboutPictureId, false, messages);
    picture.move(10, 20);
    QCOMPARE(picture.size(), QSize(96, 66));
    const QImage shown = picture.grab().toImage();
    for (QPoint p : {QPoint(0, 0), QPoint(95, 65), QPoint(48, 33), QPoint(20, 50), QPoint(70, 10)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(aboutPicture().pixel(p)));
    QVERIFY(picture.LoadBitmapResource(signGlyphBase + 1));
    QCOMPARE(picture.size(), glyphNaturalSize(signGlyphBase + 1));
    QCOMPARE(picture.pos(), QPoint(10, 20));

    for (int sign = 0; sign < 12; ++sign) {
        TStatic256 stretched(nullptr, signGlyphBase + sign, true, messages);
        stretched.resize(90, 70);
        const QRect ink = inkBounds(stretched.grab().toImage(), qRgb(255, 255, 255));
        // Whatever the glyph's own proportions, it is drawn across most of the control.
        QVERIFY2(ink.width() > 90 * 6 / 10 && ink.height() > 70 * 6 / 10, qPrintable(QString::number(sign)));
    }
    QVERIFY(messages.shown.isEmpty());
}

void TestLoreWidgets::missingPictureIsReportedAndPaintsNothing()
{
    RecordingMessages messages;
    QWidget parent;
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::green));
    parent.resize(100, 100);
    TStatic256 picture(&parent, signGlyphBase, true, messages);
    picture.setGeometry(10, 10, 50, 40);
    QSignalSpy loaded(&picture, &TStatic256::pictureLoaded);
    for (int id : {0, 999}) {
        QVERIFY(!picture.LoadBitmapResource(id));
        QCOMPARE(picture.resourceId(), -1);
    }
    QCOMPARE(messages.shown, QStringList(2, QStringLiteral("Cannot access bitmap resource|Zodiara")));
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(inkBounds(parent.grab(picture.geometry()).toImage(), QColor(Qt::green).rgb()), QRect());

    QVERIFY(picture.LoadBitmapResource(signGlyphBase + 4));
    QCOMPARE(loaded.count(), 1);
}

void TestLoreWidgets::traitsBoxShowsTheChosenSign_data()
{
    QTest::addColumn<int>("sign");
    QTest::addColumn<QStringList>("facts");
    QTest::newRow("Aries") << 0 << QStringList{"Your sign is\nAries the\nRam", "Cardinal", "Fire", "Active", "Mars",
        "Libra", "I am", "activity", "01-10-19-28-37-46-55", "head, face, brain, upper teeth"};
    QTest::newRow("Capricorn") << 9 << QStringList{"Your sign is\nCapricorn the\nSeagoat", "Cardinal", "Earth",
        "Passive", "Saturn", "Cancer", "I use", "ambition", "10-28-37-46-55", "knees and lower leg"};
    QTest::newRow("Pisces") << 11 << QStringList{"Your sign is\nPisces the\nFish", "Mutable", "Water", "Passive",
        "Neptune", "Virgo", "I believe", "understanding", "12-21-39-48-57", "feet"};
}

// Aries is the opening state; the others are reached as a person does it, with the arrow key.
void TestLoreWidgets::traitsBoxShowsTheChosenSign()
{
    QFETCH(int, sign);
    QFETCH(QStringList, facts);
    RecordingMessages messages;
    TraitsDialog box(nullptr, messages);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* ranges = child<QComboBox>(&box, "ranges");
    QCOMPARE(ranges->currentText(), QStringLiteral("March 21 - April 19"));
    ranges->setFocus();
    for (int step = 0; step < sign; ++step)
        QTest::keyClick(ranges, Qt::Key_Down);

    const char* fields[] = {"yourSign", "quality", "element", "principle", "ruler",
                            "opposite", "keyPhrase", "keyWord", "luckyNumbers", "anatomy"};
    for (int i = 0; i < facts.size(); ++i)
        QCOMPARE(child(&box, fields[i])->text(), facts[i]);
    QCOMPARE(child(&box, "positiveTraits")->text(), qs(SignText(PositiveTraitsBase, sign)));
    QCOMPARE(child(&box, "negativeTraits")->text(), qs(SignText(NegativeTraitsBase, sign)));
    QCOMPARE(child<TStatic256>(&box, "picture")->resourceId(), signGlyphBase + sign);
    QVERIFY(messages.shown.isEmpty());
}

void TestLoreWidgets::compatibilityBoxShowsThePairsText_data()
{
    QTest::addColumn<int>("yours");
    QTest::addColumn<int>("partners");
    QTest::addColumn<int>("id");
    QTest::newRow("opening: Aries with Aries") << 0 << 0 << 5000;
    QTest::newRow("Pisces with Aries") << 11 << 0 << 5011;
    QTest::newRow("Aries with Pisces") << 0 << 11 << 5011;
    QTest::newRow("Taurus with Taurus") << 1 << 1 << 6001;
    QTest::newRow("Pisces with Pisces") << 11 << 11 << 16011;
}

void TestLoreWidgets::compatibilityBoxShowsThePairsText()
{
    QFETCH(int, yours);
    QFETCH(int, partners);
    QFETCH(int, id);
    CompatibilityDialog box(nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* yourList = child<QComboBox>(&box, "yourSign");
    auto* partnerList = child<QComboBox>(&box, "partnerSign");
    QCOMPARE(partnerList->currentText(), QStringLiteral("March 21 - April 19, Aries"));
    yourList->setCurrentIndex(yours);
    partnerList->setCurrentIndex(partners);
    QCOMPARE(child(&box, "compatibility")->text(), qs(*stringTableText(id)));
}

void TestLoreWidgets::boxesHoldEveryTextWithoutResizing()
{
    RecordingMessages messages;
    TraitsDialog traits(nullptr, messages);
    CompatibilityDialog compatibility(nullptr);
    traits.show();
    compatibility.show();
    QVERIFY(QTest::qWaitForWindowExposed(&traits) && QTest::qWaitForWindowExposed(&compatibility));
    const QSize traitsSize = traits.size(), compatibilitySize = compatibility.size();
    for (int a = 0; a < 12; ++a) {
        child<QComboBox>(&traits, "ranges")->setCurrentIndex(a);
        for (int b = a; b < 12; ++b) {
            child<QComboBox>(&compatibility, "yourSign")->setCurrentIndex(a);
            child<QComboBox>(&compatibility, "partnerSign")->setCurrentIndex(b);
            QCoreApplication::processEvents();
            QVERIFY2(fits(child(&compatibility, "compatibility")), qPrintable(QString::number(compatibilityTextId(a, b))));
            QCOMPARE(compatibility.size(), compatibilitySize);
        }
        QCOMPARE(traits.size(), traitsSize);
        for (const QLabel* field : traits.findChildren<QLabel*>()) {
            if (field->frameShape() != QFrame::NoFrame)
                QVERIFY2(fits(field), qPrintable(QStringLiteral("%1 of sign %2").arg(field->objectName()).arg(a)));
        }
    }
}

void TestLoreWidgets::choosingTheShownEntryAgainReloadsNothing()
{
    RecordingMessages messages;
    TraitsDialog traits(nullptr, messages);
    CompatibilityDialog compatibility(nullptr);
    QSignalSpy signShown(&traits, &TraitsDialog::signShown);
    QSignalSpy loaded(child<TStatic256>(&traits, "picture"), &TStatic256::pictureLoaded);
    QSignalSpy textShown(&compatibility, &CompatibilityDialog::textShown);
    auto* ranges = child<QComboBox>(&traits, "ranges");
    auto* yours = child<QComboBox>(&compatibility, "yourSign");
    auto* partners = child<QComboBox>(&compatibility, "partnerSign");
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
    QCOMPARE(signShown.count(), 1);
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.last().at(0).toInt(), signGlyphBase + 5);
    QCOMPARE(textShown.count(), 1);
    yours->setCurrentIndex(7);
    QCOMPARE(textShown.last().at(0).toInt(), 12007);
}

QTEST_MAIN(TestLoreWidgets)
#include "tst_lorewidgets.moc"
