// The picture control and the two lore boxes, offscreen.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVector>

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
    struct Box {
        QString text, caption;
        Buttons buttons;
    };
    QVector<Box> boxes;

    Result show(QWidget*, const QString& text, const QString& caption, Buttons buttons) override
    {
        boxes.append({text, caption, buttons});
        return Result::Ok;
    }
};

QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    previousHandler(type, context, message);
}

QString text(const QWidget* parent, const char* name)
{
    const auto* label = parent->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
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

// Grabs for a person to look at, when ZODIARA_LORE_GRABS names a directory.
void saveGrab(QWidget* widget, const QString& name)
{
    const QString directory = qEnvironmentVariable("ZODIARA_LORE_GRABS");
    if (!directory.isEmpty())
        widget->grab().save(QDir(directory).filePath(name + QStringLiteral(".png")));
}

}  // namespace

class TestLoreWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietHandler); }

    void pictureAtNaturalSizeTakesThePictureSize();
    void stretchedSignPictureFillsTheControl();
    void missingPictureIsReportedAndPaintsNothing();

    void traitsBoxOpensOnAries();
    void traitsBoxShowsTheChosenSign_data();
    void traitsBoxShowsTheChosenSign();
    void traitsBoxFieldsHoldEverySignsTexts();
    void traitsBoxReloadsNothingForTheShownEntry();

    void compatibilityBoxOpensOnAriesWithAries();
    void compatibilityBoxShowsThePairsText_data();
    void compatibilityBoxShowsThePairsText();
    void compatibilityTextAreaHoldsTheLongestText();
    void compatibilityBoxReloadsNothingForTheShownEntry();
    void okClosesBothBoxes();
};

void TestLoreWidgets::pictureAtNaturalSizeTakesThePictureSize()
{
    RecordingMessages messages;
    QWidget parent;
    TStatic256 picture(&parent, aboutPictureId, false, messages);
    picture.move(10, 20);
    QCOMPARE(picture.size(), QSize(96, 66));
    QCOMPARE(picture.pos(), QPoint(10, 20));
    QVERIFY(messages.boxes.isEmpty());

    const QImage shown = picture.grab().toImage();
    const QImage expected = aboutPicture();
    for (QPoint p : {QPoint(0, 0), QPoint(95, 65), QPoint(48, 33), QPoint(20, 50), QPoint(70, 10)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(expected.pixel(p)));

    QVERIFY(picture.LoadBitmapResource(signGlyphBase + 1));
    QCOMPARE(picture.size(), glyphNaturalSize(signGlyphBase + 1));
    QCOMPARE(picture.pos(), QPoint(10, 20));
}

void TestLoreWidgets::stretchedSignPictureFillsTheControl()
{
    RecordingMessages messages;
    for (int sign = 0; sign < 12; ++sign) {
        TStatic256 picture(nullptr, signGlyphBase + sign, true, messages);
        picture.resize(90, 70);
        const QImage shown = picture.grab().toImage();
        const QRect ink = inkBounds(shown, qRgb(255, 255, 255));
        // Whatever the glyph's own proportions, it is drawn across most of the control.
        QVERIFY2(ink.width() > 90 * 6 / 10 && ink.height() > 70 * 6 / 10,
                 qPrintable(QStringLiteral("sign %1: ink %2x%3").arg(sign).arg(ink.width()).arg(ink.height())));
    }
    QVERIFY(messages.boxes.isEmpty());
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
    QVERIFY(picture.hasPicture());

    QSignalSpy loaded(&picture, &TStatic256::pictureLoaded);
    for (int id : {0, 1, 15, 19, 999, -3}) {
        messages.boxes.clear();
        QVERIFY(!picture.LoadBitmapResource(id));
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].text, QStringLiteral("Cannot access bitmap resource"));
        QCOMPARE(messages.boxes[0].caption, QStringLiteral("Zodiara"));
        QCOMPARE(messages.boxes[0].buttons, MessageService::Buttons::Ok);
        QVERIFY(!picture.hasPicture());
        QCOMPARE(picture.resourceId(), -1);
    }
    QCOMPARE(loaded.count(), 0);
    const QImage shown = parent.grab(picture.geometry()).toImage();
    QCOMPARE(inkBounds(shown, QColor(Qt::green).rgb()), QRect());

    QVERIFY(picture.LoadBitmapResource(signGlyphBase + 4));
    QCOMPARE(picture.resourceId(), signGlyphBase + 4);
    QCOMPARE(loaded.count(), 1);
}

void TestLoreWidgets::traitsBoxOpensOnAries()
{
    RecordingMessages messages;
    TraitsDialog box(nullptr, messages);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    saveGrab(&box, QStringLiteral("traits-aries"));

    QCOMPARE(box.windowTitle(), QStringLiteral("Zodiara"));
    const auto* ranges = box.findChild<QComboBox*>(QStringLiteral("ranges"));
    QVERIFY(ranges);
    QCOMPARE(ranges->count(), 12);
    for (int sign = 0; sign < 12; ++sign)
        QCOMPARE(ranges->itemText(sign), qs(SignDateRanges[sign]));
    QCOMPARE(ranges->currentText(), QStringLiteral("March 21 - April 19"));
    QCOMPARE(box.currentSign(), 0);
    QCOMPARE(box.findChild<TStatic256*>(QStringLiteral("picture"))->resourceId(), 3);
    QCOMPARE(text(&box, "yourSign"), QStringLiteral("Your sign is\nAries the\nRam"));
    QCOMPARE(text(&box, "quality"), QStringLiteral("Cardinal"));
    QCOMPARE(text(&box, "element"), QStringLiteral("Fire"));
    QCOMPARE(text(&box, "principle"), QStringLiteral("Active"));
    QCOMPARE(text(&box, "ruler"), QStringLiteral("Mars"));
    QCOMPARE(text(&box, "opposite"), QStringLiteral("Libra"));
    QCOMPARE(text(&box, "keyPhrase"), QStringLiteral("I am"));
    QCOMPARE(text(&box, "keyWord"), QStringLiteral("activity"));
    QCOMPARE(text(&box, "luckyNumbers"), QStringLiteral("01-10-19-28-37-46-55"));
    QCOMPARE(text(&box, "anatomy"), QStringLiteral("head, face, brain, upper teeth"));
    QCOMPARE(text(&box, "positiveTraits"), qs(*stringTableText(2000)));
    QCOMPARE(text(&box, "negativeTraits"), qs(*stringTableText(1000)));
    QVERIFY(messages.boxes.isEmpty());
}

void TestLoreWidgets::traitsBoxShowsTheChosenSign_data()
{
    QTest::addColumn<int>("sign");
    QTest::addColumn<QStringList>("facts");  // quality, element, principle, ruler, opposite, symbol
    QTest::newRow("Capricorn") << 9 << QStringList{"Cardinal", "Earth", "Passive", "Saturn", "Cancer", "Seagoat"};
    QTest::newRow("Pisces") << 11 << QStringList{"Mutable", "Water", "Passive", "Neptune", "Virgo", "Fish"};
    QTest::newRow("Scorpio") << 7 << QStringList{"Fixed", "Water", "Passive", "Pluto", "Taurus", "Scorpion"};
    QTest::newRow("Gemini") << 2 << QStringList{"Mutable", "Air", "Active", "Mercury", "Sagittarius", "Twins"};
}

void TestLoreWidgets::traitsBoxShowsTheChosenSign()
{
    QFETCH(int, sign);
    QFETCH(QStringList, facts);
    RecordingMessages messages;
    TraitsDialog box(nullptr, messages);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* ranges = box.findChild<QComboBox*>(QStringLiteral("ranges"));
    // As a person does it: focus the list and step down with the arrow key.
    ranges->setFocus();
    for (int step = 0; step < sign; ++step)
        QTest::keyClick(ranges, Qt::Key_Down);
    QCOMPARE(ranges->currentIndex(), sign);
    QCOMPARE(box.currentSign(), sign);
    saveGrab(&box, QStringLiteral("traits-") + QString::fromLatin1(QTest::currentDataTag()).toLower());

    QCOMPARE(text(&box, "quality"), facts[0]);
    QCOMPARE(text(&box, "element"), facts[1]);
    QCOMPARE(text(&box, "principle"), facts[2]);
    QCOMPARE(text(&box, "ruler"), facts[3]);
    QCOMPARE(text(&box, "opposite"), facts[4]);
    QCOMPARE(text(&box, "yourSign"),
             QStringLiteral("Your sign is\n%1 the\n%2").arg(QLatin1String(QTest::currentDataTag()), facts[5]));
    QCOMPARE(box.findChild<TStatic256*>(QStringLiteral("picture"))->resourceId(), 3 + sign);
}

void TestLoreWidgets::traitsBoxFieldsHoldEverySignsTexts()
{
    RecordingMessages messages;
    TraitsDialog box(nullptr, messages);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QSize opened = box.size();
    auto* ranges = box.findChild<QComboBox*>(QStringLiteral("ranges"));
    for (int sign = 0; sign < 12; ++sign) {
        ranges->setCurrentIndex(sign);
        QCoreApplication::processEvents();
        QCOMPARE(box.size(), opened);  // the box does not jump about from sign to sign
        for (QLabel* field : box.findChildren<QLabel*>()) {
            if (field->frameShape() == QFrame::NoFrame)
                continue;
            const QString name = field->objectName();
            if (field->wordWrap()) {
                QVERIFY2(field->heightForWidth(field->width()) <= field->height(),
                         qPrintable(QStringLiteral("%1 of sign %2 is cut off").arg(name).arg(sign)));
            } else {
                const int needed = field->fontMetrics().horizontalAdvance(field->text())
                    + 2 * (field->frameWidth() + field->margin());
                QVERIFY2(needed <= field->width(),
                         qPrintable(QStringLiteral("%1 of sign %2 is cut off").arg(name).arg(sign)));
            }
        }
    }
}

void TestLoreWidgets::traitsBoxReloadsNothingForTheShownEntry()
{
    RecordingMessages messages;
    TraitsDialog box(nullptr, messages);
    auto* ranges = box.findChild<QComboBox*>(QStringLiteral("ranges"));
    auto* picture = box.findChild<TStatic256*>(QStringLiteral("picture"));
    QSignalSpy shown(&box, &TraitsDialog::signShown);
    QSignalSpy loaded(picture, &TStatic256::pictureLoaded);

    ranges->setCurrentIndex(0);
    emit ranges->activated(0);
    QCOMPARE(shown.count(), 0);
    QCOMPARE(loaded.count(), 0);

    ranges->setCurrentIndex(5);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.last().at(0).toInt(), 3 + 5);
    emit ranges->activated(5);
    ranges->setCurrentIndex(5);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(loaded.count(), 1);
}

void TestLoreWidgets::compatibilityBoxOpensOnAriesWithAries()
{
    CompatibilityDialog box(nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    saveGrab(&box, QStringLiteral("compatibility-aries-aries"));

    QCOMPARE(box.windowTitle(), QStringLiteral("Zodiara"));
    for (const char* name : {"yourSign", "partnerSign"}) {
        const auto* list = box.findChild<QComboBox*>(QLatin1String(name));
        QVERIFY(list);
        QCOMPARE(list->count(), 12);
        for (int sign = 0; sign < 12; ++sign)
            QCOMPARE(list->itemText(sign), qs(SignDateRangesWithName[sign]));
        QCOMPARE(list->currentText(), QStringLiteral("March 21 - April 19, Aries"));
    }
    const auto* shown = box.findChild<QLabel*>(QStringLiteral("compatibility"));
    QCOMPARE(shown->text(), qs(*stringTableText(5000)));
    QVERIFY(shown->text().startsWith(QStringLiteral("Aries and Aries:\n")));
    QVERIFY(shown->wordWrap());
}

void TestLoreWidgets::compatibilityBoxShowsThePairsText_data()
{
    QTest::addColumn<int>("yours");
    QTest::addColumn<int>("partners");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("heading");
    QTest::newRow("Pisces with Aries") << 11 << 0 << 5011 << "Aries and Pisces:";
    QTest::newRow("Aries with Pisces") << 0 << 11 << 5011 << "Aries and Pisces:";
    QTest::newRow("Taurus with Taurus") << 1 << 1 << 6001 << "Taurus and Taurus:";
    QTest::newRow("Pisces with Pisces") << 11 << 11 << 16011 << "Pisces and Pisces:";
    QTest::newRow("Leo with Aries") << 4 << 0 << 5004 << "Aries and Leo:";
    QTest::newRow("Cancer with Cancer") << 3 << 3 << 8003 << "Cancer and Cancer:";
}

void TestLoreWidgets::compatibilityBoxShowsThePairsText()
{
    QFETCH(int, yours);
    QFETCH(int, partners);
    QFETCH(int, id);
    QFETCH(QString, heading);
    CompatibilityDialog box(nullptr);
    QSignalSpy shown(&box, &CompatibilityDialog::textShown);
    box.findChild<QComboBox*>(QStringLiteral("yourSign"))->setCurrentIndex(yours);
    box.findChild<QComboBox*>(QStringLiteral("partnerSign"))->setCurrentIndex(partners);
    QCOMPARE(box.yourSign(), yours);
    QCOMPARE(box.partnerSign(), partners);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.last().at(0).toInt(), id);
    const QString text = box.findChild<QLabel*>(QStringLiteral("compatibility"))->text();
    QCOMPARE(text, qs(*stringTableText(id)));
    QCOMPARE(text.section(QLatin1Char('\n'), 0, 0), heading);
    if (id == 5011) {
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        saveGrab(&box, QStringLiteral("compatibility-%1-%2").arg(yours).arg(partners));
    }
}

void TestLoreWidgets::compatibilityTextAreaHoldsTheLongestText()
{
    CompatibilityDialog box(nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QSize opened = box.size();
    auto* yours = box.findChild<QComboBox*>(QStringLiteral("yourSign"));
    auto* partners = box.findChild<QComboBox*>(QStringLiteral("partnerSign"));
    auto* shown = box.findChild<QLabel*>(QStringLiteral("compatibility"));
    for (int a = 0; a < 12; ++a) {
        for (int b = a; b < 12; ++b) {
            yours->setCurrentIndex(a);
            partners->setCurrentIndex(b);
            QCoreApplication::processEvents();
            QCOMPARE(box.size(), opened);
            QVERIFY2(shown->heightForWidth(shown->width()) <= shown->height(),
                     qPrintable(QStringLiteral("text %1 is cut off").arg(compatibilityTextId(a, b))));
        }
    }
}

void TestLoreWidgets::compatibilityBoxReloadsNothingForTheShownEntry()
{
    CompatibilityDialog box(nullptr);
    auto* yours = box.findChild<QComboBox*>(QStringLiteral("yourSign"));
    auto* partners = box.findChild<QComboBox*>(QStringLiteral("partnerSign"));
    QSignalSpy shown(&box, &CompatibilityDialog::textShown);
    for (QComboBox* list : {yours, partners}) {
        list->setCurrentIndex(0);
        emit list->activated(0);
    }
    QCOMPARE(shown.count(), 0);
    partners->setCurrentIndex(7);
    QCOMPARE(shown.count(), 1);
    partners->setCurrentIndex(7);
    emit partners->activated(7);
    emit yours->activated(0);
    QCOMPARE(shown.count(), 1);
    yours->setCurrentIndex(7);
    QCOMPARE(shown.count(), 2);
    QCOMPARE(shown.last().at(0).toInt(), 12007);
}

void TestLoreWidgets::okClosesBothBoxes()
{
    RecordingMessages messages;
    TraitsDialog traits(nullptr, messages);
    CompatibilityDialog compatibility(nullptr);
    for (QDialog* box : {static_cast<QDialog*>(&traits), static_cast<QDialog*>(&compatibility)}) {
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        auto* ok = box->findChild<QPushButton*>(QStringLiteral("ok"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!box->isVisible());
        QCOMPARE(box->result(), int(QDialog::Accepted));
    }
}

QTEST_MAIN(TestLoreWidgets)
#include "tst_lorewidgets.moc"
