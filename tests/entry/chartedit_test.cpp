// The chart data dialog and what it opens, driven by keys and clicks: its integer boxes, the date
// picker, the atlas lookup with its daylight-saving question, and the message boxes.
#include "chart/calendar.h"
#include "entry/atlaslookupdialog.h"
#include "entry/calendardialog.h"
#include "entry/chartedit.h"
#include "entry/intedit.h"
#include "recordingmessages.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace zodiara;

Q_DECLARE_METATYPE(zodiara::BirthData)

namespace {

QString atlasDirectory;

BirthData sampleBirth(CalendarDate date = {1998, 3, 15}, TimeOfDay time = {14, 5, 37}, int zone = 6,
                      GeoAngle longitude = {71, 4, West}, GeoAngle latitude = {42, 21, North}, bool bc = false,
                      bool dst = false, const char* name = "Ada", const char* place = "Boston")
{
    return {name, place, date, bc, time, zone, dst, longitude, latitude};
}

// The dialog on `start`; its boxes are recorded unless `service` shows them.
struct Open {
    explicit Open(const BirthData& start = sampleBirth(), const QString& directory = atlasDirectory,
                  MessageService* service = nullptr)
        : given(start), dialog(nullptr, start, directory, service ? *service : messages)
    {
        dialog.show();
    }
    // What the caller takes: the dialog's birth after OK, its own otherwise.
    BirthData taken() const { return dialog.result() == QDialog::Accepted ? dialog.birthData() : given; }
    BirthData given;
    test::RecordingMessages messages;
    ChartEdit dialog;
};

// Clicks the button named okButton, cancelButton, calendarButton or lookUpButton.
int press(QDialog& dialog, const char* button)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    return dialog.result();
}

// Sets each "name=value" item of `items` (a box's text, a list's index, "1" to check a button) and
// reads each bare "name"; returns what was read, then one letter per checked button (era B/A,
// longitude W/E, latitude N/S, D for daylight saving), "|"-joined.
QString controls(const QWidget& dialog, const QString& items)
{
    QStringList read;
    for (const QString& item : items.split(u';', Qt::SkipEmptyParts)) {
        QWidget* control = dialog.findChild<QWidget*>(item.section(u'=', 0, 0));
        const char* property = qobject_cast<QLineEdit*>(control)   ? "text"
                               : qobject_cast<QComboBox*>(control) ? "currentIndex"
                                                                   : "checked";
        if (!control || (item.contains(u'=') && !control->setProperty(property, item.section(u'=', 1))))
            qFatal("no control for %s", qPrintable(item));
        if (!item.contains(u'='))
            read << control->property(property).toString();
    }
    QString letters;
    for (const char* name :
         {"bcButton", "adButton", "westButton", "eastButton", "northButton", "southButton", "daylightSavingBox"})
        if (dialog.findChild<QAbstractButton*>(name)->isChecked())
            letters += QChar::fromLatin1(name[0]).toUpper();
    return (read << letters).join(u'|');
}

// The date picker's grid with days 1..days, then from2..to2, starting at cell `first`; "" elsewhere.
QStringList month(int first, int days, int from2 = 1, int to2 = 0)
{
    QStringList texts(CalendarDialog::CellCount);
    for (int d = 1; d <= days; ++d)
        texts[first++] = QString::number(d);
    for (int d = from2; d <= to2; ++d)
        texts[first++] = QString::number(d);
    return texts;
}

}  // namespace

class ChartEditTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_atlasDir;

private slots:
    void initTestCase()
    {
        test::installQuietHandler();
        atlasDirectory = m_atlasDir.path();
        QFile atlas(m_atlasDir.filePath("atlas.txt"));
        QVERIFY(atlas.open(QIODevice::WriteOnly)
                && atlas.write("Saint-Denis, R\xc3\xa9union  055E27  20S53 USZ3\n\nJust a name\n") > 0);
    }

    void intEditKeystrokes_data()
    {
        QTest::addColumn<QString>("box");   // and its text before the keys
        QTest::addColumn<QString>("keys");  // "^" is Home
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("hour 2 then 5") << "hourBox=" << "25" << "2";
        QTest::newRow("no year 0, after the blanks of a filled box") << "yearBox=   " << "02" << "   2";
        QTest::newRow("longitude 180") << "longitudeDegreesBox=" << "180" << "180";
        QTest::newRow("other characters dropped") << "yearBox=" << "1a +-Z.\u00e9\u0663" "9" << "19";
        QTest::newRow("text limit counts the terminator") << "minuteBox=" << "059" << "05";
        QTest::newRow("taken back before the caret") << "hourBox=" << "2^3" << "2";
        QTest::newRow("out of range with the caret at the start ends") << "hourBox=99" << "^x" << "99";
        // The day list picks the day typed, one or two digits, though its entries are padded.
        QTest::newRow("day 4") << "dayList=14" << "4" << " 4";
        QTest::newRow("day 15") << "dayList=0" << "15" << "15";
        QTest::newRow("day 39 is 9") << "dayList=0" << "39" << " 9";
        // clang-format on
    }

    void intEditKeystrokes()
    {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        Open open;
        controls(open.dialog, box);
        auto* edit = open.dialog.findChild<QWidget*>(box.section(u'=', 0, 0));
        // QTest types ASCII only; every key goes as a plain key event instead.
        for (const QChar key : keys) {
            const bool home = key == u'^';
            QKeyEvent event(QEvent::KeyPress, home ? int(Qt::Key_Home) : key.toUpper().unicode(), Qt::NoModifier,
                            home ? QString() : QString(key));
            QApplication::sendEvent(edit, &event);
        }
        auto* list = qobject_cast<QComboBox*>(edit);
        QTEST(list ? list->currentText() : qobject_cast<IntEdit*>(edit)->text(), "text");
    }

    // Padded as the boxes are typed; a longitude not West is East.
    void fillControls()
    {
        Open open(sampleBirth({45, 6, 9}, {9, 5}, 28, {5, 7, North}, {9, 10, South}, true, true));
        QCOMPARE(controls(open.dialog, "yearBox;hourBox;minuteBox;longitudeDegreesBox;longitudeMinutesBox;"
                                       "latitudeDegreesBox;latitudeMinutesBox;monthList;dayList;zoneList"),
                 QStringLiteral("  45| 9| 5|005|07|09|10|5|8|28|BESD"));
    }

    // OK gives the entries. No box shows the seconds: a new hour or minute starts on the minute. A refusal names its
    // problem over the dialog, which stays open with every entry as typed.
    void ok_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("refusal");  // empty: taken
        QTest::addColumn<BirthData>("written");
        const BirthData start = sampleBirth();
        // clang-format off
        QTest::newRow("every box")
            << "personName=Grace Hopper;yearBox=1906;hourBox=7;minuteBox=45;longitudeDegreesBox=5;"
               "longitudeMinutesBox=7;eastButton=1;latitudeDegreesBox=40;latitudeMinutesBox=43;southButton=1;"
               "placeName=New York;monthList=11;dayList=8;zoneList=7;daylightSavingBox=1" << ""
            << sampleBirth({1906, 12, 9}, {7, 45, 0}, 7, {5, 7, East}, {40, 43, South}, false, true,
                           "Grace Hopper", "New York");
        QTest::newRow("the same time typed again, another year and name")
            << "hourBox=14;minuteBox=05;yearBox=1999;personName=Bo" << ""
            << sampleBirth({1999, 3, 15}, {14, 5, 37}, 6, {71, 4, West}, {42, 21, North}, false, false, "Bo");
        QTest::newRow("another hour") << "hourBox=13" << "" << sampleBirth({1998, 3, 15}, {13, 5, 0});
        QTest::newRow("another minute") << "minuteBox=6" << "" << sampleBirth({1998, 3, 15}, {14, 6, 0});
        QTest::newRow("29 Feb 1999") << "monthList=1;dayList=28;yearBox=1999" << "February 1999 has 28 days." << start;
        QTest::newRow("29 Feb 44 BC") << "monthList=1;dayList=28;yearBox=44;bcButton=1"
                                      << "February 44 BC has 28 days." << start;
        QTest::newRow("10 October 1582") << "monthList=9;dayList=9;yearBox=1582"
            << "October 5 to 14, 1582 do not exist: the calendar reform followed October 4 with October 15." << start;
        QTest::newRow("year 0") << "yearBox=   0" << "There is no year 0: the year before 1 AD is 1 BC." << start;
        QTest::newRow("pasted letters") << "yearBox=19x9" << "The year must be a whole number from 1 to 3000." << start;
        QTest::newRow("blank hour") << "hourBox=  " << "Please enter the hour (a whole number from 0 to 23)." << start;
        QTest::newRow("longitude past 180") << "longitudeDegreesBox=180;longitudeMinutesBox=30"
                                            << "A longitude cannot be more than 180\u00b000'." << start;
        QTest::newRow("latitude past 90") << "latitudeDegreesBox=90;latitudeMinutesBox=01"
                                          << "A latitude cannot be more than 90\u00b000'." << start;
        QTest::newRow("name not storable") << "personName=Ann \u65e5"
            << "The person's name holds the character \"\u65e5\", which a chart file cannot store." << start;
        // It would reach the report, the JSON and the drawing.
        QTest::newRow("place with a tab") << "placeName=Paris\tTexas"
            << "The place name holds a control character (a tab, line break, escape or the like), which a chart "
               "cannot hold." << start;
        // clang-format on
    }

    void ok()
    {
        QFETCH(QString, edits);
        QFETCH(QString, refusal);
        QFETCH(BirthData, written);
        Open open;
        controls(open.dialog, edits);
        QTest::keyClick(open.dialog.findChild<QLineEdit*>("hourBox"), Qt::Key_Return);  // Enter is OK
        QCOMPARE(open.dialog.result(), int(refusal.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(open.messages.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QVERIFY(open.taken() == written);
        QVERIFY(refusal.isEmpty() || (open.dialog.isVisible() && open.messages.shown[0].owner == &open.dialog));
        // Nothing typed is lost: the boxes still hold the entries.
        for (const QString& edit : edits.split(u';'))
            if (auto* box = open.dialog.findChild<QLineEdit*>(edit.section(u'=', 0, 0)))
                QCOMPARE(box->text(), edit.section(u'=', 1));
    }

    void datePicker_data()
    {
        QTest::addColumn<QString>("start");
        // "m" next month in the list, "y" and "d" the year box's arrows up and down,
        // a cell number, "t<year>" typed over the year, "enter" Enter in the year box
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("caption");  // its day is the selected one
        QTest::addColumn<QStringList>("cells");
        // clang-format off
        // The reform: Thursday the 4th was followed by Friday the 15th.
        QTest::newRow("reform gap") << "1582-10-09" << "" << "Friday, October 15, 1582" << month(1, 4, 15, 31);
        // 44 BC is the astronomical year -43, with no leap day.
        QTest::newRow("44 BC") << "44-02-29 BC" << "" << "Tuesday, February 28, 44 BC" << month(3, 28);
        QTest::newRow("31 to April") << "1998-03-31" << "m" << "Thursday, April 30, 1998" << month(3, 30);
        QTest::newRow("29th, year+1") << "2000-02-29" << "y" << "Wednesday, February 28, 2001" << month(4, 28);
        // A click on a day picks it; an empty cell does nothing.
        QTest::newRow("click") << "1998-03-15" << "19 40" << "Friday, March 20, 1998" << month(0, 31);
        // No year 0: the arrows step across it and change the era; 1 BC is a leap year.
        QTest::newRow("2 AD, two down") << "2-02-28" << "d d" << "Saturday, February 28, 1 BC" << month(0, 29);
        QTest::newRow("1 BC, up") << "1-02-28 BC" << "y" << "Monday, February 28, 1" << month(2, 28);
        // A typed year shows at once, and Enter leaves the picker open.
        QTest::newRow("typed, Enter") << "1998-03-15" << "t2000 enter" << "Wednesday, March 15, 2000" << month(3, 31);
        QTest::newRow("typed keeps the 29th") << "2000-02-29" << "t2004" << "Sunday, February 29, 2004" << month(0, 29);
        // A plain number is a year AD, whatever era the box showed; "BC" typed means BC.
        QTest::newRow("typed plain is AD") << "44-03-15 BC" << "t1990" << "Thursday, March 15, 1990" << month(4, 31);
        QTest::newRow("typed BC") << "1998-03-15" << "t45bc" << "Tuesday, March 15, 45 BC" << month(2, 31);
        QTest::newRow("typed with an era") << "44-03-15 BC" << "t5ad" << "Sunday, March 15, 5" << month(0, 31);
        // clang-format on
    }

    void datePicker()
    {
        QFETCH(QString, start);
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QStringList, cells);
        const QStringList ymd = start.section(u' ', 0, 0).split(u'-');  // "44-02-29 BC"
        const CalendarDate given{ymd[0].toInt(), std::int8_t(ymd[1].toInt()), std::int8_t(ymd[2].toInt())};
        CalendarDate callers = given;
        CalendarDialog dialog(nullptr, callers, 3000, start.endsWith(QLatin1String("BC")));
        dialog.show();
        auto* year = dialog.findChild<QSpinBox*>("yearBox");
        for (const QString& step : action.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u'm') {
                QTest::keyClick(dialog.findChild<QComboBox*>("monthList"), Qt::Key_Down);
            } else if (step == u'y' || step == u'd') {
                QTest::keyClick(year, step == u'y' ? Qt::Key_Up : Qt::Key_Down);
            } else if (step.startsWith(u't')) {
                year->setFocus();
                year->selectAll();
                QTest::keyClicks(year, step.mid(1));
            } else if (step == "enter") {
                QTest::keyClick(year, Qt::Key_Return);
            } else {
                QTest::mouseClick(dialog.findChild<QLabel*>("day" + step), Qt::LeftButton);
            }
        }
        // The caption shows the caller's date, which the picker edits live.
        QCOMPARE(dialog.dateCaption(), caption);
        if (!action.contains(u't'))  // a typed year stays as typed
            QCOMPARE(year->text(), caption.section(QStringLiteral(", "), 2));
        QStringList shown;
        for (int cell = 0; cell < CalendarDialog::CellCount; ++cell)
            shown << dialog.dayCellText(cell);
        QCOMPARE(shown, cells);
        QCOMPARE(dialog.selectedCell(), cells.indexOf(caption.section(u',', 1, 1).section(u' ', -1)));
        const bool beforeChrist = dialog.dateCaption().endsWith(QLatin1String(" BC"));
        QCOMPARE((QList<int>{dialog.findChild<QComboBox*>("monthList")->currentIndex() + 1, year->value(),
                             dialog.beforeChrist()}),
                 (QList<int>{callers.month, astronomicalYear(callers.year, beforeChrist), beforeChrist}));
        // Cancel gives the caller back the date it came with.
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible() && callers == given);
    }

    // The refill after the picker keeps what was typed; Cancel then drops it all.
    void datePickerThenCancel()
    {
        Open open;
        controls(open.dialog, "hourBox=;personName=Grace;placeName=\u0141\u00f3d\u017a;yearBox=1;bcButton=1");
        QTest::keyClicks(open.dialog.findChild<QLineEdit*>("hourBox"), "7");
        QTest::mouseClick(open.dialog.findChild<QAbstractButton*>("daylightSavingBox"), Qt::LeftButton);
        QString caption;
        test::onNextModal<CalendarDialog>([&caption](CalendarDialog* picker) {
            caption = picker->dateCaption();
            QTest::keyClick(picker->findChild<QSpinBox*>("yearBox"), Qt::Key_Up);
            QTest::mouseClick(picker->findChild<QLabel*>("day22"), Qt::LeftButton);
            picker->accept();
        });
        press(open.dialog, "calendarButton");
        // The picker got the era and the date typed so far, and stepped up from 1 BC to 1 AD,
        // whose March begins on a Tuesday.
        QCOMPARE(caption, QStringLiteral("Monday, March 15, 1 BC"));
        QCOMPARE(controls(open.dialog, "dayList;yearBox;hourBox;personName;placeName"),
                 QStringLiteral("20|   1| 7|Grace|\u0141\u00f3d\u017a|AWND"));
        QCOMPARE(press(open.dialog, "cancelButton"), int(QDialog::Rejected));
        QVERIFY(open.taken() == sampleBirth());
    }

    // Down from the filter box walks the list, which leaves out the atlas's blank line. The boxes take the
    // picked line's place, coordinates and zone as far as the line gives them; the chart takes them only
    // through OK.
    void lookUp()
    {
        // clang-format off
        const std::tuple<int, bool, QString> rows[] = {  // the row walked to, Escape, the boxes
            {0, false, "Saint-Denis, R\u00e9union|055|27|20|53|24|AES"}, {1, false, "Just a name|071|04|42|21|6|AWN"},
            {0, true, "Boston|071|04|42|21|6|AWN"}};
        // clang-format on
        for (const auto& [row, cancel, shown] : rows) {
            Open open;
            test::onNextModal<AtlasLookupDialog>([row = row, cancel = cancel](AtlasLookupDialog* lookup) {
                auto* filter = lookup->findChild<QLineEdit*>("filter");
                for (int down = 0; down <= row; ++down)
                    QTest::keyClick(filter, Qt::Key_Down);
                QTest::keyClick(filter, cancel ? Qt::Key_Escape : Qt::Key_Return);
            });
            press(open.dialog, "lookUpButton");
            const QString boxes = "placeName;longitudeDegreesBox;longitudeMinutesBox;latitudeDegreesBox;"
                                  "latitudeMinutesBox;zoneList";
            QCOMPARE(controls(open.dialog, boxes), shown);
            QVERIFY(open.dialog.isVisible() && open.taken() == sampleBirth());
            QCOMPARE(press(open.dialog, "okButton"), int(QDialog::Accepted));
            QVERIFY(open.messages.shown.isEmpty());
            Open reopened(open.taken());
            QCOMPARE(controls(reopened.dialog, boxes), shown);
        }
    }

    // After a lookup, OK asks once in a real box, without an icon, whether daylight saving was in force
    // there, and Yes or No (Escape) does what it says; a place typed over the looked-up one forgets its zone.
    // OK asks once in a real box, without an icon, whether to take the entry that gives the Universal Time
    // the time-zone database knows for a place of the atlas, looked up or opened with its text and
    // coordinates; Yes (the default) takes it into the boxes, No (Escape) keeps the entry. A place typed
    // over the looked-up one is no longer the atlas's.
    void clockQuestion_data()
    {
        QTest::addColumn<BirthData>("start");
        QTest::addColumn<QString>("edits");  // after the lookup, if any
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("asked");  // its start; empty: no question
        QTest::addColumn<QString>("boxes");  // hour, minute, zone, then the checked buttons
        const BirthData july1976 = sampleBirth({1976, 7, 4}, {12, 0});
        BirthData moscow = sampleBirth({2012, 1, 6}, {12, 0}, 24, {37, 37, East}, {55, 45, North});
        moscow.place = "Moscow, Moscow, Russia";
        BirthData paris = sampleBirth({1900, 1, 1}, {12, 0}, 28, {2, 21, East}, {48, 51, North});
        paris.place = "Paris, \u00cele-de-France, France";
        const QString nyAsked = "On July 4, 1976 at 12:00 the clocks of New York City, New York, United States "
                                "(America/New_York) showed UTC-04:00 (EDT, daylight saving time). Choose the time zone "
                                "\"EST, (+05:00), Eastern Standard Time\" and check \"Daylight Savings ?\"?";
        // clang-format off
        QTest::newRow("looked up, yes") << july1976 << "" << true << nyAsked << "12|0|6|AWND";
        QTest::newRow("looked up, no") << july1976 << "" << false << nyAsked << "12|0|6|AWN";
        QTest::newRow("typed over") << july1976 << "placeName=Brooklyn" << true << "" << "12|0|6|AWN";
        QTest::newRow("opened, box ticked") << moscow << "daylightSavingBox=1" << true
            << "On January 6, 2012 at 12:00 the clocks of Moscow, Moscow, Russia (Europe/Moscow) showed UTC+04:00 (MSK). "
               "Choose the time zone \"USZ3, (-04:00), USSR Zone 3\" and uncheck" << "12|0|24|AEN";
        QTest::newRow("opened, in Universal Time") << paris << "" << true
            << "On January 1, 1900 at 12:00 the clocks of Paris, \u00cele-de-France, France (Europe/Paris) showed "
               "UTC+00:09:21 (PMT). No time zone of the list has UTC+00:09:21. Enter the birth in Universal Time "
               "instead, as January 1, 1900 at 11:50:39" << "11|50|0|AEN";
        // clang-format on
    }

    void clockQuestion()
    {
        QFETCH(BirthData, start);
        QFETCH(QString, edits);
        QFETCH(bool, yes);
        QFETCH(QString, asked);
        QtMessageService boxes;
        Open open(start, QFileInfo(ZODIARA_SHIPPED_ATLAS).path(), &boxes);
        if (start.place == "Boston") {
            test::onNextModal<AtlasLookupDialog>([](AtlasLookupDialog* lookup) {
                QTest::keyClicks(lookup->findChild<QLineEdit*>("filter"), "New York City, New York");
                QTest::keyClick(lookup->findChild<QLineEdit*>("filter"), Qt::Key_Return);
            });
            press(open.dialog, "lookUpButton");
        }
        if (edits.startsWith("placeName="))
            QTest::keyClicks(open.dialog.findChild<QLineEdit*>("placeName"), edits.section(u'=', 1));
        else
            controls(open.dialog, edits);
        QStringList seen;
        auto question = test::onNextModal<QMessageBox>([&seen, yes](QMessageBox* box) {
            seen << box->windowTitle() << QString::number(box->icon()) << box->text().replace(u'\u00a0', u' ');
            QTest::keyClick(box, yes ? Qt::Key_Return : Qt::Key_Escape);
        });
        QCOMPARE(press(open.dialog, "okButton"), int(QDialog::Accepted));
        *question = nullptr;
        if (asked.isEmpty()) {
            QCOMPARE(seen, QStringList());
        } else {
            QCOMPARE(seen.mid(0, 2), (QStringList{"Zodiara", QString::number(QMessageBox::NoIcon)}));
            QVERIFY2(seen.value(2).startsWith(asked), qPrintable(seen.value(2)));
        }
        QTEST(controls(open.dialog, "hourBox;minuteBox;zoneList").remove(u' '), "boxes");
    }
};

QTEST_MAIN(ChartEditTest)
#include "chartedit_test.moc"
