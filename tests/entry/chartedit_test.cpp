// The chart data dialog and its integer boxes, driven by keys and clicks, with the date
// picker and the atlas lookup opened from it.
#include "atlaslookupdialog.h"
#include "calendardialog.h"
#include "chartedit.h"
#include "testsupport.h"
#include "tintedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace zodiara;

namespace {

QString atlasDirectory;

Chart sampleChart()
{
    Chart chart;
    std::memset(chart.place, '#', sizeof chart.place);  // a remainder after the text must survive
    std::memcpy(chart.place, "Boston", 7);
    std::memcpy(chart.name, "Ada", 4);
    chart.birthDate = {1998, 15, 3};
    chart.localTime = {14, 5, 37, 99};
    chart.zone = 6;
    chart.longitude = {71, 4, West};
    chart.latitude = {42, 21, North};
    chart.julianDate = 1234.5;  // derived fields are no business of the dialog
    return chart;
}

bool sameBytes(const Chart& a, const Chart& b)
{
    return std::memcmp(&a, &b, sizeof(Chart)) == 0;
}

// A shown dialog on a chart, with its messages recorded.
struct Open {
    explicit Open(const Chart& start = sampleChart(), const QString& directory = atlasDirectory)
        : chart(start), dialog(nullptr, chart, directory, messages)
    {
        dialog.show();
    }
    Chart chart;
    test::RecordingMessages messages;
    ChartEdit dialog;
};

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
        QObject* control = dialog.findChild<QObject*>(edit.section(u'=', 0, 0));
        const QString value = edit.section(u'=', 1);
        if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(value);
        else if (auto* list = qobject_cast<QComboBox*>(control))
            list->setCurrentIndex(value.toInt());
        else if (auto* check = qobject_cast<QAbstractButton*>(control))
            check->setChecked(value == u'1');
        else
            qFatal("no control %s", qPrintable(edit));
    }
}

QStringList boxTexts(const QWidget& dialog, const QStringList& names)
{
    QStringList texts;
    for (const QString& name : names)
        texts << dialog.findChild<QLineEdit*>(name)->text();
    return texts;
}

int listIndex(const QWidget& dialog, const char* name)
{
    return dialog.findChild<QComboBox*>(QLatin1String(name))->currentIndex();
}

bool checked(const QWidget& dialog, const char* name)
{
    return dialog.findChild<QAbstractButton*>(QLatin1String(name))->isChecked();
}

// One letter per radio pair and the daylight-saving box: era, east-west, north-south, "X" or "-".
QString buttonLetters(const QWidget& d)
{
    const auto pick = [&d](const char* first, QChar a, const char* second, QChar b) {
        return checked(d, first) ? a : checked(d, second) ? b : QChar(u'?');
    };
    return QString(pick("bcButton", u'B', "adButton", u'A')) + pick("westButton", u'W', "eastButton", u'E')
           + pick("northButton", u'N', "southButton", u'S') + (checked(d, "daylightSavingBox") ? u'X' : u'-');
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
    void okVersusCancel();
    void checksOnOk_data();
    void checksOnOk();
    void calendarKeepsTypedEntries();
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
    atlasDirectory = m_atlasDir.path();
    QFile atlas(m_atlasDir.filePath("atlas.txt"));
    QVERIFY(atlas.open(QIODevice::WriteOnly));
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
    QTest::addColumn<QString>("keys");  // "<" is Backspace, "^" is Home
    QTest::addColumn<QString>("text");
    QTest::newRow("hour 2 then 5") << 3 << 23 << "" << "25" << "2";
    QTest::newRow("longitude 181") << 4 << 180 << "" << "181" << "18";
    QTest::newRow("longitude 180") << 4 << 180 << "" << "180" << "180";
    QTest::newRow("year 3001") << 5 << 3000 << "" << "3001" << "300";
    QTest::newRow("other characters dropped") << 5 << 3000 << "" << "1a +-Z.\u00e9\u0663" "9" << "19";
    QTest::newRow("text limit counts the terminator") << 3 << 59 << "" << "123" << "12";
    QTest::newRow("taken back before the caret") << 3 << 23 << "" << "2^3" << "2";
    QTest::newRow("leading blanks of a filled box") << 5 << 3000 << "   0" << "<7" << "   7";
    QTest::newRow("out of range with the caret at the start ends") << 3 << 23 << "99" << "^x" << "99";
}

void ChartEditTest::intEditKeystrokes()
{
    QFETCH(int, textLimit);
    QFETCH(int, maximum);
    QFETCH(QString, start);
    QFETCH(QString, keys);

    QWidget window;
    TIntEdit edit(&window, textLimit, 0, maximum);
    edit.setText(start);
    window.show();
    for (const QChar key : keys) {
        if (key == u'<' || key == u'^') {
            QTest::keyClick(&edit, key == u'<' ? Qt::Key_Backspace : Qt::Key_Home);
        } else {
            // QTest types ASCII only; every character goes as a plain key event instead.
            QKeyEvent press(QEvent::KeyPress, key.toUpper().unicode(), Qt::NoModifier, QString(key));
            QApplication::sendEvent(&edit, &press);
        }
    }
    QTEST(edit.text(), "text");
}

void ChartEditTest::fillControls_data()
{
    QTest::addColumn<QList<int>>("values");  // year month day hour minute zone lonD lonM lonDir latD latM latDir bc dst
    QTest::addColumn<QStringList>("boxes");   // year hour minute lonD lonM latD latM
    QTest::addColumn<QList<int>>("lists");    // month day zone indexes
    QTest::addColumn<QString>("buttons");
    QTest::newRow("zeros, 180, North as a longitude shows East")
        << QList<int>{0, 0, 0, 0, 0, 0, 180, 0, North, 0, 0, North, 0, 0}
        << QStringList{"   0", " 0", " 0", "180", "00", "00", "00"} << QList<int>{-1, -1, 0} << "AEN-";
    QTest::newRow("5 7 W, 40 43 S, year 45") << QList<int>{45, 6, 9, 9, 5, 13, 5, 7, West, 40, 43, South, 0, 0}
                                              << QStringList{"  45", " 9", " 5", "005", "07", "40", "43"}
                                              << QList<int>{5, 8, 13} << "AWS-";
    QTest::newRow("49 E, BC, daylight saving") << QList<int>{2024, 12, 31, 23, 59, 28, 49, 59, East, 9, 10, North, 1, 1}
                                               << QStringList{"2024", "23", "59", "049", "59", "09", "10"}
                                               << QList<int>{11, 30, 28} << "BENX";
}

void ChartEditTest::fillControls()
{
    QFETCH(QList<int>, values);
    const auto i16 = [&values](int i) { return static_cast<std::int16_t>(values[i]); };
    const auto i8 = [&values](int i) { return static_cast<std::int8_t>(values[i]); };
    Chart chart;
    chart.birthDate = {values[0], i8(2), i8(1)};
    chart.localTime = {values[3], values[4], 0, 0};
    chart.zone = values[5];
    chart.longitude = {i16(6), i16(7), values[8]};
    chart.latitude = {i16(9), i16(10), values[11]};
    chart.beforeChrist = static_cast<std::uint8_t>(values[12]);
    chart.daylightSaving = static_cast<std::uint8_t>(values[13]);
    std::memcpy(chart.place, "Z\xfcrich", 7);

    Open open(chart);
    QTEST(boxTexts(open.dialog, {"yearBox", "hourBox", "minuteBox", "longitudeDegreesBox", "longitudeMinutesBox",
                                 "latitudeDegreesBox", "latitudeMinutesBox"}),
          "boxes");
    QTEST((QList<int>{listIndex(open.dialog, "monthList"), listIndex(open.dialog, "dayList"),
                      listIndex(open.dialog, "zoneList")}),
          "lists");
    QTEST(buttonLetters(open.dialog), "buttons");
    QCOMPARE(boxTexts(open.dialog, {"placeName"}), QStringList{"Zürich"});
}

void ChartEditTest::okVersusCancel()
{
    {
        // Cancel after typing and a picked date: every byte as it was.
        Open open;
        applyEdits(open.dialog, {"personName=xyz", "hourBox=3", "zoneList=20", "placeName=Madrid"});
        test::onNextModal<CalendarDialog>([](CalendarDialog* picker) {
            QTest::mouseClick(picker->findChild<QLabel*>("day3"), Qt::LeftButton);
            button(*picker, "OK")->click();
        });
        QTest::mouseClick(button(open.dialog, "&Calendar ..."), Qt::LeftButton);
        QCOMPARE(listIndex(open.dialog, "dayList"), 3);
        QTest::mouseClick(button(open.dialog, "Cancel"), Qt::LeftButton);
        QCOMPARE(open.dialog.result(), int(QDialog::Rejected));
        QVERIFY(sameBytes(open.chart, sampleChart()));
    }
    {
        // Enter is the default button; OK without changes keeps every byte.
        Open open;
        QTest::keyClick(open.dialog.findChild<QLineEdit*>("hourBox"), Qt::Key_Return);
        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        QVERIFY(sameBytes(open.chart, sampleChart()));
    }
    // OK writes the entries and nothing else: a text's remainder, seconds and derived fields stay.
    Chart start = sampleChart();
    start.longitude.direction = North;  // not West: shown and stored as East
    Open open(start);
    applyEdits(open.dialog, {"personName=Grace Hopper", "yearBox=1906", "hourBox=7", "minuteBox=45",
                             "longitudeDegreesBox=5", "longitudeMinutesBox=7", "latitudeDegreesBox=40",
                             "latitudeMinutesBox=43", "placeName=New York", "monthList=11", "dayList=8",
                             "zoneList=7", "southButton=1", "daylightSavingBox=1"});
    QTest::mouseClick(button(open.dialog, "Ok"), Qt::LeftButton);
    QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
    QVERIFY(open.messages.shown.isEmpty());
    Chart expected = sampleChart();
    std::memcpy(expected.name, "Grace Hopper", 13);
    std::memcpy(expected.place, "New York", 9);
    expected.birthDate = {1906, 9, 12};
    expected.localTime = {7, 45, 37, 99};
    expected.longitude = {5, 7, East};
    expected.latitude = {40, 43, South};
    expected.zone = 7;
    expected.daylightSaving = 1;
    QVERIFY(sameBytes(open.chart, expected));
}

void ChartEditTest::checksOnOk_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");  // empty when OK takes the entries
    // Month and day lists are indexes: February is 1, the 29th is 28.
    QTest::newRow("29 February 1999") << QStringList{"monthList=1", "dayList=28", "yearBox=1999"}
                                      << "February 1999 has 28 days.";
    QTest::newRow("29 February 44 BC") << QStringList{"monthList=1", "dayList=28", "yearBox=44", "bcButton=1"}
                                       << "February 44 BC has 28 days.";
    QTest::newRow("10 October 1582") << QStringList{"monthList=9", "dayList=9", "yearBox=1582"}
                                     << "October 5 to 14, 1582 do not exist: the calendar reform followed "
                                        "October 4 with October 15.";
    QTest::newRow("year 0") << QStringList{"yearBox=   0"} << "There is no year 0: the year before 1 AD is 1 BC.";
    QTest::newRow("pasted letters") << QStringList{"yearBox=19x9"} << "The year must be a whole number from 0 to 3000.";
    QTest::newRow("longitude past 180") << QStringList{"longitudeDegreesBox=180", "longitudeMinutesBox=30"}
                                        << "A longitude cannot be more than 180\u00b000'.";
    QTest::newRow("latitude past 90") << QStringList{"latitudeDegreesBox=90", "latitudeMinutesBox=01"}
                                      << "A latitude cannot be more than 90\u00b000'.";
    QTest::newRow("name not storable") << QStringList{"personName=Ann \u65e5"}
                                       << "The person's name holds the character \"\u65e5\", which a chart file cannot "
                                          "store.";
    QTest::newRow("29 February 2000") << QStringList{"monthList=1", "dayList=28", "yearBox=2000"} << "";
    QTest::newRow("4 October 1582") << QStringList{"monthList=9", "dayList=3", "yearBox=1582"} << "";
    QTest::newRow("15 October 1582") << QStringList{"monthList=9", "dayList=14", "yearBox=1582"} << "";
    QTest::newRow("180 00 and 90 00") << QStringList{"longitudeDegreesBox=180", "longitudeMinutesBox=00",
                                                     "latitudeDegreesBox=90", "latitudeMinutesBox=0"} << "";
    QTest::newRow("empty box keeps its field") << QStringList{"yearBox="} << "";
}

void ChartEditTest::checksOnOk()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);

    Open open;
    applyEdits(open.dialog, edits);
    QTest::mouseClick(button(open.dialog, "Ok"), Qt::LeftButton);
    if (message.isEmpty()) {
        QVERIFY2(open.messages.shown.isEmpty(), qPrintable(open.messages.shown.value(0).text));
        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        return;
    }
    QCOMPARE(open.messages.shown.size(), 1);
    QCOMPARE(open.messages.shown[0].text, message);
    QCOMPARE(open.messages.shown[0].owner.data(), &open.dialog);
    QVERIFY(open.dialog.isVisible());
    QVERIFY(sameBytes(open.chart, sampleChart()));
    // Nothing typed is lost: the boxes still hold the refused entries.
    for (const QString& edit : edits)
        if (auto* box = open.dialog.findChild<QLineEdit*>(edit.section(u'=', 0, 0)))
            QCOMPARE(box->text(), edit.section(u'=', 1));
}

void ChartEditTest::calendarKeepsTypedEntries()
{
    Open open;
    applyEdits(open.dialog,
               {"hourBox=", "personName=Grace", "placeName=\u0141\u00f3d\u017a", "yearBox=44", "bcButton=1"});
    QTest::keyClicks(open.dialog.findChild<QLineEdit*>("hourBox"), "7");
    QTest::mouseClick(open.dialog.findChild<QCheckBox*>("daylightSavingBox"), Qt::LeftButton);

    QString pickerCaption;
    test::onNextModal<CalendarDialog>([&pickerCaption](CalendarDialog* picker) {
        pickerCaption = picker->dateCaption();
        QTest::mouseClick(picker->findChild<QLabel*>("day22"), Qt::LeftButton);
        button(*picker, "OK")->click();
    });
    QTest::mouseClick(button(open.dialog, "&Calendar ..."), Qt::LeftButton);

    // The picker got the era and the date typed so far: 15 March 44 BC (astronomical -43).
    QCOMPARE(pickerCaption, QStringLiteral("Wednesday, March 15, 44 BC"));
    QCOMPARE(listIndex(open.dialog, "dayList"), 19);
    QCOMPARE(boxTexts(open.dialog, {"yearBox", "hourBox", "personName", "placeName"}),
             (QStringList{"  44", " 7", "Grace", "\u0141\u00f3d\u017a"}));
    QCOMPARE(buttonLetters(open.dialog), QStringLiteral("BWNX"));
}

void ChartEditTest::lookUp_data()
{
    QTest::addColumn<int>("row");           // -1: Cancel after selecting the first row
    QTest::addColumn<QStringList>("boxes");  // place, lonD, lonM, latD, latM
    QTest::addColumn<QString>("buttons");    // east-west, north-south
    QTest::addColumn<int>("zone");
    const QStringList untouched{"Boston", "071", "04", "42", "21"};
    QTest::newRow("EST line") << 0 << QStringList{"New York", "074", "00", "40", "43"} << "WN" << 6;
    QTest::newRow("E and S") << 2 << QStringList{"Madrid", "003", "41", "40", "24"} << "ES" << 28;
    QTest::newRow("name only") << 3 << QStringList{"Just a name", "071", "04", "42", "21"} << "WN" << 6;
    QTest::newRow("empty line changes nothing") << 1 << untouched << "WN" << 6;
    QTest::newRow("cancel") << -1 << untouched << "WN" << 6;
}

void ChartEditTest::lookUp()
{
    QFETCH(int, row);
    QFETCH(QStringList, boxes);
    QFETCH(QString, buttons);
    QFETCH(int, zone);

    Open open;
    int listed = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        auto* list = lookup->findChild<QListView*>();
        listed = list->model()->rowCount();
        const QPoint at = list->visualRect(list->model()->index(std::max(row, 0), 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        button(*lookup, row < 0 ? "Cancel" : "Ok")->click();
    });
    QTest::mouseClick(button(open.dialog, "&Look up >>>"), Qt::LeftButton);

    QCOMPARE(listed, 6);
    QCOMPARE(boxTexts(open.dialog, {"placeName", "longitudeDegreesBox", "longitudeMinutesBox", "latitudeDegreesBox",
                                    "latitudeMinutesBox"}),
             boxes);
    QCOMPARE(buttonLetters(open.dialog).mid(1, 2), buttons);
    QCOMPARE(listIndex(open.dialog, "zoneList"), zone);
    // The coordinates reach the chart only through OK.
    QVERIFY(sameBytes(open.chart, sampleChart()));
    QTest::mouseClick(button(open.dialog, "Ok"), Qt::LeftButton);
    QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(open.chart.longitude.degrees), boxes[1].toInt());
    QCOMPARE(open.chart.zone, zone);
}

void ChartEditTest::lookUpFilterAndEnter()
{
    Open open;
    int matchedWithoutAccents = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        auto* filter = lookup->findChild<QLineEdit*>("filter");
        QTest::keyClicks(filter, "LODZ");  // "Łódź": case and accents ignored
        matchedWithoutAccents = lookup->findChild<QListView*>()->model()->rowCount();
        filter->clear();
        QTest::keyClicks(filter, "sYd");  // the last line of a file without a final newline
        QTest::keyClick(filter, Qt::Key_Return);
    });
    QTest::mouseClick(button(open.dialog, "&Look up >>>"), Qt::LeftButton);
    QCOMPARE(matchedWithoutAccents, 1);
    QCOMPARE(boxTexts(open.dialog, {"placeName"}), QStringList{"Sydney"});
    QCOMPARE(listIndex(open.dialog, "zoneList"), 13);
}

void ChartEditTest::missingAtlas()
{
    QTemporaryDir empty;
    Open open(sampleChart(), empty.path());
    int listed = -1;
    test::onNextModal<AtlasLookupDialog>([&](AtlasLookupDialog* lookup) {
        QTRY_COMPARE(open.messages.shown.size(), 1);
        listed = lookup->findChild<QListView*>()->model()->rowCount();
        button(*lookup, "Ok")->click();
    });
    QTest::mouseClick(button(open.dialog, "&Look up >>>"), Qt::LeftButton);

    QCOMPARE(open.messages.shown.size(), 1);
    QCOMPARE(open.messages.shown[0].text,
             QStringLiteral("Error:  Atlas data file not found.   Recopy atlas.txt to your working directory."));
    QCOMPARE(open.messages.shown[0].caption, QStringLiteral("Error"));
    QCOMPARE(open.messages.shown[0].ownerClass, QStringLiteral("zodiara::AtlasLookupDialog"));
    QCOMPARE(listed, 0);
    QCOMPARE(boxTexts(open.dialog, {"placeName"}), QStringList{"Boston"});
    QVERIFY(open.dialog.isVisible());
}

void ChartEditTest::realMessageBox()
{
    QtMessageService service;
    QString title;
    test::onNextModal<QMessageBox>([&title](QMessageBox* box) {
        title = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(service.show(nullptr, QStringLiteral("Save?"), QStringLiteral("Zodiara"), MessageService::Buttons::YesNo),
             MessageService::Result::No);
    QCOMPARE(title, QStringLiteral("Zodiara"));
}

QTEST_MAIN(ChartEditTest)
#include "chartedit_test.moc"
