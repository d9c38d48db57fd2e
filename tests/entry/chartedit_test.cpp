// The chart data dialog and its integer boxes, driven by keys and clicks, with the date
// picker and the atlas lookup opened from it.
#include "atlaslookupdialog.h"
#include "calendardialog.h"
#include "chartedit.h"
#include "testsupport.h"
#include "text1252.h"
#include "tintedit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace zodiara;

namespace {

Chart sampleChart()
{
    Chart chart;
    std::memset(chart.place, '#', sizeof chart.place);  // a remainder after the text must survive
    std::memcpy(chart.place, "Boston", 7);
    std::memset(chart.name, 0, sizeof chart.name);
    std::memcpy(chart.name, "Ada", 4);
    chart.birthDate.year = 1998;
    chart.birthDate.month = 3;
    chart.birthDate.day = 15;
    chart.localTime = {14, 5, 37, 99};
    chart.zone = 6;
    chart.daylightSaving = 0;
    chart.beforeChrist = 0;
    chart.longitude = {71, 4, West};
    chart.latitude = {42, 21, North};
    chart.julianDate = 1234.5;  // derived fields are no business of the dialog
    return chart;
}

bool sameBytes(const Chart& a, const Chart& b)
{
    return std::memcmp(&a, &b, sizeof(Chart)) == 0;
}

template <typename T>
T* child(const QWidget& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

QPushButton* button(const QWidget& parent, const QString& text)
{
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    qFatal("no button %s", qPrintable(text));
}

// "name=value": text for a line edit, an index for a list, "1" to check a button.
void applyEdits(const QWidget& dialog, const QStringList& edits)
{
    for (const QString& edit : edits) {
        const QString name = edit.section(u'=', 0, 0);
        const QString value = edit.section(u'=', 1);
        QObject* control = dialog.findChild<QObject*>(name);
        if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(value);
        else if (auto* list = qobject_cast<QComboBox*>(control))
            list->setCurrentIndex(value.toInt());
        else if (auto* check = qobject_cast<QAbstractButton*>(control))
            check->setChecked(value == u'1');
        else
            qFatal("no control %s", qPrintable(name));
    }
}

QString boxText(const QWidget& dialog, const char* name)
{
    return child<QLineEdit>(dialog, QString::fromLatin1(name))->text();
}

bool checked(const QWidget& dialog, const char* name)
{
    return child<QAbstractButton>(dialog, QString::fromLatin1(name))->isChecked();
}

}  // namespace

class ChartEditTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void intEditKeystrokes_data();
    void intEditKeystrokes();
    void fillControls_data();
    void fillControls();
    void okStoresTheBoxes();
    void cancelLeavesChartByteForByte();
    void okWithoutChangesKeepsEveryByte();
    void refusedOnOk_data();
    void refusedOnOk();
    void acceptedDates_data();
    void acceptedDates();
    void calendarKeepsTypedEntries();
    void calendarCancelChangesNothing();
    void lookUp_data();
    void lookUp();
    void lookUpFilterAndEnter();
    void missingAtlas();
    void realMessageBox();

private:
    QTemporaryDir m_atlasDir;
};

void ChartEditTest::initTestCase()
{
    test::installQuietHandler();
    QVERIFY(m_atlasDir.isValid());
    QFile atlas(m_atlasDir.filePath("atlas.txt"));
    QVERIFY(atlas.open(QIODevice::WriteOnly));
    // No newline after the last line: it must keep its last character.
    atlas.write("New York  074W00  40N43 EST\r\n"
                "\n"
                "Madrid  003E41  40S24 CET\n"
                "Just a name\n"
                "\xc5\x81\xc3\xb3\x64\xc5\xba  019E28  51N46 CET\n"
                "Sydney  151E13  33S52 AEST");
}

void ChartEditTest::intEditKeystrokes_data()
{
    QTest::addColumn<int>("textLimit");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("keys");  // characters, or <BS> <LEFT> <HOME> <DEL>
    QTest::addColumn<QString>("text");

    QTest::newRow("hour 2 then 5") << 3 << 23 << "" << QStringList{"2", "5"} << "2";
    QTest::newRow("latitude 9 then 1") << 3 << 90 << "" << QStringList{"9", "1"} << "9";
    QTest::newRow("year 3001") << 5 << 3000 << "" << QStringList{"3", "0", "0", "1"} << "300";
    QTest::newRow("longitude 181") << 4 << 180 << "" << QStringList{"1", "8", "1"} << "18";
    QTest::newRow("longitude 180") << 4 << 180 << "" << QStringList{"1", "8", "0"} << "180";
    QTest::newRow("letters spaces signs dropped") << 5 << 3000 << ""
                                                  << QStringList{"1", "a", " ", "+", "-", "Z", ".", "9"} << "19";
    QTest::newRow("accented letters dropped") << 5 << 3000 << "" << QStringList{"1", "\u00e9", "\u00fc"} << "1";
    QTest::newRow("backspace") << 3 << 23 << "" << QStringList{"1", "2", "<BS>", "3"} << "13";
    QTest::newRow("arrow keys") << 4 << 180 << "" << QStringList{"1", "2", "<LEFT>", "3"} << "132";
    QTest::newRow("taken back before the caret") << 3 << 23 << "" << QStringList{"2", "<HOME>", "3"} << "2";
    QTest::newRow("delete") << 3 << 59 << "" << QStringList{"1", "2", "<HOME>", "<DEL>"} << "2";
    QTest::newRow("text limit") << 3 << 59 << "" << QStringList{"1", "2", "3"} << "12";
    QTest::newRow("leading blanks of a filled box") << 5 << 3000 << "   0" << QStringList{"<BS>", "7"} << "   7";
    QTest::newRow("out of range with the caret at the start ends")
        << 3 << 23 << "99" << QStringList{"<HOME>", "x"} << "99";
}

void ChartEditTest::intEditKeystrokes()
{
    QFETCH(int, textLimit);
    QFETCH(int, maximum);
    QFETCH(QString, start);
    QFETCH(QStringList, keys);
    QFETCH(QString, text);

    QWidget window;
    TIntEdit edit(&window, textLimit, 0, maximum);
    edit.setText(start);
    window.show();
    edit.setFocus();
    for (const QString& key : keys) {
        if (key == "<BS>")
            QTest::keyClick(&edit, Qt::Key_Backspace);
        else if (key == "<LEFT>")
            QTest::keyClick(&edit, Qt::Key_Left);
        else if (key == "<HOME>")
            QTest::keyClick(&edit, Qt::Key_Home);
        else if (key == "<DEL>")
            QTest::keyClick(&edit, Qt::Key_Delete);
        else if (key.at(0).unicode() < 0x80)
            QTest::keyClicks(&edit, key);
        else {
            // QTest types ASCII only; a non-ASCII character arrives as its own key event.
            QKeyEvent press(QEvent::KeyPress, key.at(0).toUpper().unicode(), Qt::NoModifier, key);
            QApplication::sendEvent(&edit, &press);
        }
    }
    QCOMPARE(edit.text(), text);
}

void ChartEditTest::fillControls_data()
{
    QTest::addColumn<QList<int>>("values");  // year month day hour minute zone lonD lonM lonDir latD latM latDir bc dst
    QTest::addColumn<QStringList>("boxes");   // year hour minute lonD lonM latD latM
    QTest::addColumn<QList<int>>("lists");    // month day zone indexes
    QTest::addColumn<QString>("buttons");     // era, east-west, north-south, daylight saving

    QTest::newRow("zeros") << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, West, 0, 0, North, 0, 0}
                           << QStringList{"   0", " 0", " 0", "000", "00", "00", "00"} << QList<int>{-1, -1, 0}
                           << "AWN-";
    QTest::newRow("5 7 W, 40 43 S, year 45") << QList<int>{45, 6, 9, 9, 5, 13, 5, 7, West, 40, 43, South, 0, 0}
                                              << QStringList{"  45", " 9", " 5", "005", "07", "40", "43"}
                                              << QList<int>{5, 8, 13} << "AWS-";
    QTest::newRow("49 E, BC, daylight saving") << QList<int>{44, 3, 15, 23, 59, 28, 49, 59, East, 9, 10, North, 1, 1}
                                               << QStringList{"  44", "23", "59", "049", "59", "09", "10"}
                                               << QList<int>{2, 14, 28} << "BENX";
    QTest::newRow("180, North as a longitude shows East")
        << QList<int>{2024, 12, 31, 12, 30, 4, 180, 0, North, 90, 0, 2, 0, 0}
        << QStringList{"2024", "12", "30", "180", "00", "90", "00"} << QList<int>{11, 30, 4} << "AES-";
}

void ChartEditTest::fillControls()
{
    QFETCH(QList<int>, values);
    QFETCH(QStringList, boxes);
    QFETCH(QList<int>, lists);
    QFETCH(QString, buttons);

    Chart chart;
    chart.birthDate.year = values[0];
    chart.birthDate.month = static_cast<std::int8_t>(values[1]);
    chart.birthDate.day = static_cast<std::int8_t>(values[2]);
    chart.localTime.hour = values[3];
    chart.localTime.minute = values[4];
    chart.zone = values[5];
    chart.longitude = {static_cast<std::int16_t>(values[6]), static_cast<std::int16_t>(values[7]), values[8]};
    chart.latitude = {static_cast<std::int16_t>(values[9]), static_cast<std::int16_t>(values[10]), values[11]};
    chart.beforeChrist = static_cast<std::uint8_t>(values[12]);
    chart.daylightSaving = static_cast<std::uint8_t>(values[13]);
    std::memcpy(chart.place, "Z\xfcrich", 7);

    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    QCOMPARE((QStringList{boxText(dialog, "yearBox"), boxText(dialog, "hourBox"), boxText(dialog, "minuteBox"),
                          boxText(dialog, "longitudeDegreesBox"), boxText(dialog, "longitudeMinutesBox"),
                          boxText(dialog, "latitudeDegreesBox"), boxText(dialog, "latitudeMinutesBox")}),
             boxes);
    QCOMPARE((QList<int>{child<QComboBox>(dialog, "monthList")->currentIndex(),
                         child<QComboBox>(dialog, "dayList")->currentIndex(),
                         child<QComboBox>(dialog, "zoneList")->currentIndex()}),
             lists);
    QCOMPARE(checked(dialog, "bcButton"), buttons[0] == u'B');
    QCOMPARE(checked(dialog, "adButton"), buttons[0] == u'A');
    QCOMPARE(checked(dialog, "westButton"), buttons[1] == u'W');
    QCOMPARE(checked(dialog, "eastButton"), buttons[1] == u'E');
    QCOMPARE(checked(dialog, "northButton"), buttons[2] == u'N');
    QCOMPARE(checked(dialog, "southButton"), buttons[2] == u'S');
    QCOMPARE(checked(dialog, "daylightSavingBox"), buttons[3] == u'X');
    QCOMPARE(boxText(dialog, "placeName"), QStringLiteral("Zürich"));
    QCOMPARE(child<QComboBox>(dialog, "dayList")->itemText(0), QStringLiteral(" 1"));
    QCOMPARE(child<QComboBox>(dialog, "zoneList")->itemText(13),
             QStringLiteral("AEST, (-10:00), Australian Eastern Standard Time"));
}

void ChartEditTest::okStoresTheBoxes()
{
    Chart chart = sampleChart();
    chart.longitude.direction = North;  // not West: shown and stored as East
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();

    auto retype = [&dialog](const char* name, const QString& keys) {
        auto* box = child<QLineEdit>(dialog, QString::fromLatin1(name));
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
    };
    retype("personName", "Grace Hopper");
    retype("yearBox", "1906");
    retype("hourBox", "7");
    retype("minuteBox", "45");
    retype("longitudeDegreesBox", "5");
    retype("longitudeMinutesBox", "7");
    retype("latitudeDegreesBox", "40");
    retype("latitudeMinutesBox", "43");
    retype("placeName", "New York");
    child<QComboBox>(dialog, "monthList")->setCurrentIndex(11);
    child<QComboBox>(dialog, "dayList")->setCurrentIndex(8);
    child<QComboBox>(dialog, "zoneList")->setCurrentIndex(6);
    QTest::mouseClick(child<QAbstractButton>(dialog, "southButton"), Qt::LeftButton);
    QTest::mouseClick(child<QAbstractButton>(dialog, "daylightSavingBox"), Qt::LeftButton);
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(chartText(chart.name), std::string("Grace Hopper"));
    QCOMPARE(chartText(chart.place), std::string("New York"));
    QCOMPARE((QList<int>{chart.birthDate.year, chart.birthDate.month, chart.birthDate.day}), (QList<int>{1906, 12, 9}));
    QCOMPARE((QList<int>{chart.localTime.hour, chart.localTime.minute, chart.localTime.second, chart.localTime.spare}),
             (QList<int>{7, 45, 37, 99}));
    QCOMPARE((QList<int>{chart.longitude.degrees, chart.longitude.minutes, chart.longitude.direction}),
             (QList<int>{5, 7, East}));
    QCOMPARE((QList<int>{chart.latitude.degrees, chart.latitude.minutes, chart.latitude.direction}),
             (QList<int>{40, 43, South}));
    QCOMPARE(chart.zone, 6);
    QCOMPARE(int(chart.daylightSaving), 1);
    QCOMPARE(int(chart.beforeChrist), 0);
    QCOMPARE(double(chart.julianDate), 1234.5);
    QCOMPARE(chart.place[20], '#');
}

void ChartEditTest::cancelLeavesChartByteForByte()
{
    const Chart original = sampleChart();
    Chart chart = original;
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();

    QTest::keyClicks(child<QLineEdit>(dialog, "personName"), "xyz");
    child<QLineEdit>(dialog, "hourBox")->clear();
    QTest::keyClicks(child<QLineEdit>(dialog, "hourBox"), "3");
    child<QComboBox>(dialog, "zoneList")->setCurrentIndex(20);
    test::onNextModal<AtlasLookupDialog>([](AtlasLookupDialog* lookup) {
        auto* list = lookup->findChild<QListView*>();
        list->setCurrentIndex(list->model()->index(2, 0));
        button(*lookup, "Ok")->click();
    });
    QTest::mouseClick(button(dialog, "&Look up >>>"), Qt::LeftButton);
    QCOMPARE(boxText(dialog, "placeName"), QStringLiteral("Madrid"));
    test::onNextModal<CalendarDialog>([](CalendarDialog* picker) {
        QTest::mouseClick(picker->findChild<QLabel*>("day3"), Qt::LeftButton);
        button(*picker, "OK")->click();
    });
    QTest::mouseClick(button(dialog, "&Calendar ..."), Qt::LeftButton);
    QCOMPARE(child<QComboBox>(dialog, "dayList")->currentIndex(), 3);

    QTest::mouseClick(button(dialog, "Cancel"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(sameBytes(chart, original));
}

void ChartEditTest::okWithoutChangesKeepsEveryByte()
{
    const Chart original = sampleChart();
    Chart chart = original;
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    QTest::keyClick(child<QLineEdit>(dialog, "hourBox"), Qt::Key_Return);  // Enter is the default button
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(sameBytes(chart, original));
}

void ChartEditTest::refusedOnOk_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");

    // Month and day lists are indexes: February is 1, the 29th is 28.
    QTest::newRow("29 February 1999") << QStringList{"monthList=1", "dayList=28", "yearBox=1999"}
                                      << "February 1999 has 28 days.";
    QTest::newRow("29 February 1900") << QStringList{"monthList=1", "dayList=28", "yearBox=1900"}
                                      << "February 1900 has 28 days.";
    QTest::newRow("29 February 44 BC") << QStringList{"monthList=1", "dayList=28", "yearBox=44", "bcButton=1"}
                                       << "February 44 BC has 28 days.";
    QTest::newRow("31 April") << QStringList{"monthList=3", "dayList=30"} << "April 1998 has 30 days.";
    QTest::newRow("10 October 1582") << QStringList{"monthList=9", "dayList=9", "yearBox=1582"}
                                     << "October 5 to 14, 1582 do not exist: the calendar reform followed "
                                        "October 4 with October 15.";
    QTest::newRow("year 0") << QStringList{"yearBox=   0"} << "There is no year 0: the year before 1 AD is 1 BC.";
    QTest::newRow("pasted hour") << QStringList{"hourBox=99"} << "The hour must be a whole number from 0 to 23.";
    QTest::newRow("pasted letters") << QStringList{"yearBox=19x9"} << "The year must be a whole number from 0 to 3000.";
    QTest::newRow("pasted sign") << QStringList{"minuteBox=-5"} << "The minute must be a whole number from 0 to 59.";
    QTest::newRow("longitude past 180") << QStringList{"longitudeDegreesBox=180", "longitudeMinutesBox=30"}
                                        << "A longitude cannot be more than 180\u00b000'.";
    QTest::newRow("latitude past 90") << QStringList{"latitudeDegreesBox=90", "latitudeMinutesBox=01"}
                                      << "A latitude cannot be more than 90\u00b000'.";
    QTest::newRow("place not storable") << QStringList{"placeName=\u0141\u00f3d\u017a"}
                                        << "The place name holds the character \"\u0141\", which a chart file cannot store.";
    QTest::newRow("name not storable") << QStringList{"personName=Ann \u65e5"}
                                       << "The person's name holds the character \"\u65e5\", which a chart file cannot store.";
    // A chart that never had a month, or a zone beyond the table, from a damaged file.
    QTest::newRow("no month") << QStringList{"chart.month=0"} << "Please choose the month of birth.";
    QTest::newRow("no day") << QStringList{"chart.day=0"} << "Please choose the day of birth.";
    QTest::newRow("no zone") << QStringList{"chart.zone=40"} << "Please choose a time zone.";
}

void ChartEditTest::refusedOnOk()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);

    Chart original = sampleChart();
    for (const QString& edit : edits) {
        const int value = edit.section(u'=', 1).toInt();
        if (edit.startsWith("chart.month"))
            original.birthDate.month = static_cast<std::int8_t>(value);
        else if (edit.startsWith("chart.day"))
            original.birthDate.day = static_cast<std::int8_t>(value);
        else if (edit.startsWith("chart.zone"))
            original.zone = value;
    }
    Chart chart = original;
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    applyEdits(dialog, edits.filter(QRegularExpression("^(?!chart\\.)")));
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);

    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, message);
    QCOMPARE(messages.shown[0].caption, QStringLiteral("Zodiara"));
    QCOMPARE(messages.shown[0].owner.data(), &dialog);
    QVERIFY(dialog.isVisible());
    QVERIFY(sameBytes(chart, original));
    // Nothing typed is lost: the boxes still hold the refused entries.
    for (const QString& edit : edits)
        if (auto* box = dialog.findChild<QLineEdit*>(edit.section(u'=', 0, 0)))
            QCOMPARE(box->text(), edit.section(u'=', 1));
}

void ChartEditTest::acceptedDates_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QList<int>>("date");  // year month day beforeChrist
    QTest::newRow("29 February 2000") << QStringList{"monthList=1", "dayList=28", "yearBox=2000"}
                                      << QList<int>{2000, 2, 29, 0};
    QTest::newRow("29 February 45 BC") << QStringList{"monthList=1", "dayList=28", "yearBox=45", "bcButton=1"}
                                       << QList<int>{45, 2, 29, 1};
    QTest::newRow("29 February 1500") << QStringList{"monthList=1", "dayList=28", "yearBox=1500"}
                                      << QList<int>{1500, 2, 29, 0};
    QTest::newRow("4 October 1582") << QStringList{"monthList=9", "dayList=3", "yearBox=1582"}
                                    << QList<int>{1582, 10, 4, 0};
    QTest::newRow("15 October 1582") << QStringList{"monthList=9", "dayList=14", "yearBox=1582"}
                                     << QList<int>{1582, 10, 15, 0};
    QTest::newRow("180 00 and 90 00")
        << QStringList{"longitudeDegreesBox=180", "longitudeMinutesBox=00", "latitudeDegreesBox=90", "latitudeMinutesBox=0"}
        << QList<int>{1998, 3, 15, 0};
    QTest::newRow("empty box keeps its field") << QStringList{"yearBox="} << QList<int>{1998, 3, 15, 0};
}

void ChartEditTest::acceptedDates()
{
    QFETCH(QStringList, edits);
    QFETCH(QList<int>, date);

    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    applyEdits(dialog, edits);
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);
    QVERIFY2(messages.shown.isEmpty(), messages.shown.isEmpty() ? "" : qPrintable(messages.shown[0].text));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE((QList<int>{chart.birthDate.year, chart.birthDate.month, chart.birthDate.day, chart.beforeChrist}), date);
}

void ChartEditTest::calendarKeepsTypedEntries()
{
    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();

    applyEdits(dialog, {"hourBox=", "personName=Grace", "placeName=\u0141\u00f3d\u017a", "yearBox=44", "bcButton=1"});
    QTest::keyClicks(child<QLineEdit>(dialog, "hourBox"), "7");
    QTest::mouseClick(child<QAbstractButton>(dialog, "daylightSavingBox"), Qt::LeftButton);

    QString pickerCaption;
    test::onNextModal<CalendarDialog>([&pickerCaption](CalendarDialog* picker) {
        pickerCaption = picker->dateCaption();
        QTest::mouseClick(picker->findChild<QLabel*>("day22"), Qt::LeftButton);
        button(*picker, "OK")->click();
    });
    QTest::mouseClick(button(dialog, "&Calendar ..."), Qt::LeftButton);

    // The picker got the era and the date typed so far: 15 March 44 BC (astronomical -43).
    QCOMPARE(pickerCaption, QStringLiteral("Wednesday, March 15, 44 BC"));
    QCOMPARE(boxText(dialog, "yearBox"), QStringLiteral("  44"));
    QVERIFY(checked(dialog, "bcButton"));
    QCOMPARE(child<QComboBox>(dialog, "dayList")->currentText(), QStringLiteral("20"));
    QCOMPARE(boxText(dialog, "hourBox"), QStringLiteral(" 7"));
    QCOMPARE(boxText(dialog, "personName"), QStringLiteral("Grace"));
    QCOMPARE(boxText(dialog, "placeName"), QStringLiteral("\u0141\u00f3d\u017a"));
    QVERIFY(checked(dialog, "daylightSavingBox"));
    QCOMPARE(int(dialog.workingCopy().birthDate.day), 20);
}

void ChartEditTest::calendarCancelChangesNothing()
{
    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    test::onNextModal<CalendarDialog>([](CalendarDialog* picker) {
        QTest::keyClick(picker->findChild<QComboBox*>("monthList"), Qt::Key_Down);
        QTest::mouseClick(picker->findChild<QLabel*>("day10"), Qt::LeftButton);
        button(*picker, "Cancel")->click();
    });
    QTest::mouseClick(button(dialog, "&Calendar ..."), Qt::LeftButton);
    QCOMPARE(child<QComboBox>(dialog, "monthList")->currentIndex(), 2);
    QCOMPARE(child<QComboBox>(dialog, "dayList")->currentIndex(), 14);
    QCOMPARE(int(dialog.workingCopy().birthDate.month), 3);
    QCOMPARE(int(dialog.workingCopy().birthDate.day), 15);
}

void ChartEditTest::lookUp_data()
{
    QTest::addColumn<int>("row");       // -1: OK with nothing selected
    QTest::addColumn<QString>("how");   // "ok", "double", "cancel"
    QTest::addColumn<QStringList>("boxes");  // place, lonD, lonM, latD, latM
    QTest::addColumn<QString>("buttons");    // east-west, north-south
    QTest::addColumn<int>("zone");

    const QStringList untouched{"Boston", "071", "04", "42", "21"};
    QTest::newRow("EST line") << 0 << "ok" << QStringList{"New York", "074", "00", "40", "43"} << "WN" << 6;
    QTest::newRow("E and S by double click") << 2 << "double" << QStringList{"Madrid", "003", "41", "40", "24"}
                                             << "ES" << 28;
    QTest::newRow("name only") << 3 << "ok" << QStringList{"Just a name", "071", "04", "42", "21"} << "WN" << 6;
    QTest::newRow("last line keeps its last character") << 5 << "ok"
                                                        << QStringList{"Sydney", "151", "13", "33", "52"} << "ES" << 13;
    QTest::newRow("empty line changes nothing") << 1 << "ok" << untouched << "WN" << 6;
    QTest::newRow("nothing selected") << -1 << "ok" << untouched << "WN" << 6;
    QTest::newRow("cancel") << 0 << "cancel" << untouched << "WN" << 6;
}

void ChartEditTest::lookUp()
{
    QFETCH(int, row);
    QFETCH(QString, how);
    QFETCH(QStringList, boxes);
    QFETCH(QString, buttons);
    QFETCH(int, zone);

    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    int listed = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        auto* list = lookup->findChild<QListView*>();
        listed = list->model()->rowCount();
        if (row < 0) {
            button(*lookup, "Ok")->click();
            return;
        }
        const QModelIndex index = list->model()->index(row, 0);
        const QPoint at = list->visualRect(index).center();
        if (how == "double") {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            return;
        }
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        button(*lookup, how == "ok" ? "Ok" : "Cancel")->click();
    });
    QTest::mouseClick(button(dialog, "&Look up >>>"), Qt::LeftButton);

    QCOMPARE(listed, 6);
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE((QStringList{boxText(dialog, "placeName"), boxText(dialog, "longitudeDegreesBox"),
                          boxText(dialog, "longitudeMinutesBox"), boxText(dialog, "latitudeDegreesBox"),
                          boxText(dialog, "latitudeMinutesBox")}),
             boxes);
    QCOMPARE(chartText(dialog.workingCopy().place), boxes[0].toStdString());
    QCOMPARE(checked(dialog, "westButton"), buttons[0] == u'W');
    QCOMPARE(checked(dialog, "northButton"), buttons[1] == u'N');
    QCOMPARE(child<QComboBox>(dialog, "zoneList")->currentIndex(), zone);

    // The coordinates reach the chart only through OK.
    QCOMPARE(chart.longitude.degrees, 71);
    QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(chart.longitude.degrees, boxes[1].toInt());
    QCOMPARE(chart.zone, zone);
}

void ChartEditTest::lookUpFilterAndEnter()
{
    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, m_atlasDir.path(), messages);
    dialog.show();
    int shownWhileFiltered = -1;
    int matchedWithoutAccents = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        auto* filter = lookup->findChild<QLineEdit*>("filter");
        QTest::keyClicks(filter, "LODZ");  // "Łódź": case and accents ignored
        matchedWithoutAccents = lookup->findChild<QListView*>()->model()->rowCount();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(filter, Qt::Key_Backspace);
        QTest::keyClicks(filter, "sYd");
        shownWhileFiltered = lookup->findChild<QListView*>()->model()->rowCount();
        QTest::keyClick(filter, Qt::Key_Return);
    });
    QTest::mouseClick(button(dialog, "&Look up >>>"), Qt::LeftButton);
    QCOMPARE(matchedWithoutAccents, 1);
    QCOMPARE(shownWhileFiltered, 1);
    QCOMPARE(boxText(dialog, "placeName"), QStringLiteral("Sydney"));
    QCOMPARE(child<QComboBox>(dialog, "zoneList")->currentIndex(), 13);
}

void ChartEditTest::missingAtlas()
{
    QTemporaryDir empty;
    Chart chart = sampleChart();
    test::RecordingMessages messages;
    ChartEdit dialog(nullptr, chart, empty.path(), messages);
    dialog.show();
    int listed = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        QTRY_COMPARE(messages.shown.size(), 1);
        listed = lookup->findChild<QListView*>()->model()->rowCount();
        button(*lookup, "Ok")->click();
    });
    QTest::mouseClick(button(dialog, "&Look up >>>"), Qt::LeftButton);

    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("Error:  Atlas data file not found.   Recopy atlas.txt to your working directory."));
    QCOMPARE(messages.shown[0].caption, QStringLiteral("Error"));
    QCOMPARE(messages.shown[0].ownerClass, QStringLiteral("zodiara::AtlasLookupDialog"));
    QCOMPARE(listed, 0);
    QCOMPARE(boxText(dialog, "placeName"), QStringLiteral("Boston"));
    QVERIFY(dialog.isVisible());
}

void ChartEditTest::realMessageBox()
{
    QtMessageService service;
    QString text, title;
    int buttonCount = -1;
    test::onNextModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        title = box->windowTitle();
        buttonCount = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(service.show(nullptr, QStringLiteral("February 1999 has 28 days.")), MessageService::Result::Ok);
    QCOMPARE(text, QStringLiteral("February 1999 has 28 days."));
    QCOMPARE(title, QStringLiteral("Zodiara"));
    QCOMPARE(buttonCount, 1);

    test::onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    QCOMPARE(service.show(nullptr, QStringLiteral("Save?"), QStringLiteral("Zodiara"), MessageService::Buttons::YesNo),
             MessageService::Result::No);
}

QTEST_MAIN(ChartEditTest)
#include "chartedit_test.moc"
