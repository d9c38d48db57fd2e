// Daylight saving and standard time from the system's time-zone database, and the one
// question the chart data dialog asks about them.
#include "entry/atlas.h"
#include "entry/atlaslookupdialog.h"
#include "entry/chartedit.h"
#include "entry/daylightsaving.h"
#include "recordingmessages.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimeZone>

using namespace zodiara;

namespace {

constexpr int UT = 0, EST = 6, CST = 7, MST = 8, CET = 28;

struct Case {
    const char* name;
    QString zone;
    const char* when;  // local date, then " BC" for the era or the clock time when not noon
    int tableZone;
    bool dst;
    QList<int> result;  // known, in force, standard zone, new zone, new flag; -1: none
    const char* question;  // "*": any
};

const QString NY = "America/New_York", London = "Europe/London", Dublin = "Europe/Dublin";
const QList<int> NoAnswer{0, 0, -1, -1, -1};
const Case Cases[] = {
    {"New York, July 1976", NY, "1976-07-04", EST, false, {1, 1, EST, -1, 1},
     "Daylight saving time was in force in America/New_York on July 4, 1976. Check \"Daylight Savings ?\"?"},
    {"New York, January 1976", NY, "1976-01-15", EST, true, {1, 0, EST, -1, 0},
     "Daylight saving time was not in force in America/New_York on January 15, 1976. Uncheck \"Daylight Savings ?\"?"},
    {"London 1970, standard time", London, "1970-01-15", UT, false, {1, 0, CET, CET, -1},
     "The standard time in Europe/London on January 15, 1970 was UTC+01:00. Choose the time zone \"CET, (-01:00), "
     "Central European Time\"?"},
    {"wrong zone and no saving", NY, "1976-07-04", CST, false, {1, 1, EST, EST, 1},
     "The standard time in America/New_York on July 4, 1976 was UTC-05:00, and daylight saving time was in force. "
     "Choose the time zone \"EST, (+05:00), Eastern Standard Time\" and check \"Daylight Savings ?\"?"},
    {"July 1976, checked", NY, "1976-07-04", EST, true, {1, 1, EST, -1, -1}, ""},
    {"clocks just forward", NY, "1976-04-25 03:30", EST, false, {1, 1, EST, -1, 1}, "*"},
    {"Phoenix, July 1976", "America/Phoenix", "1976-07-04", MST, true, {1, 0, MST, -1, 0}, "*"},
    {"Dublin winter", Dublin, "2000-01-15", UT, true, {1, 0, UT, -1, 0}, "*"},
    // Same Universal Time either way: nothing to ask.
    {"London 1970, UT and saving", London, "1970-07-01", UT, true, {1, 0, CET, -1, -1}, ""},
    {"Dublin summer, UT and saving", Dublin, "2000-07-15", UT, true, {1, 0, CET, -1, -1}, ""},
    {"Berlin 1945, double saving", "Europe/Berlin", "1945-07-01", CET, false, {1, 1, CET, -1, -1}, ""},
    {"Kathmandu, no table zone", "Asia/Kathmandu", "1990-07-01", EST, false, {1, 0, -1, -1, -1}, ""},
    // No answer, so nothing to ask.
    {"before 1900", NY, "1899-07-04", CST, true, NoAnswer, ""},
    {"BC", NY, "1976-07-04 BC", CST, false, NoAnswer, ""},
    {"hour skipped", NY, "1976-04-25 02:30", CST, false, NoAnswer, ""},
    {"hour repeated", NY, "1976-10-31 01:30", CST, false, NoAnswer, ""},
    {"unknown zone", "Atlantis/Poseidonia", "1976-07-04", CST, false, NoAnswer, ""},
};

}  // namespace

Q_DECLARE_METATYPE(Case)

class DaylightSavingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }

    // Every line of the shipped atlas names a zone the database knows.
    void zoneNames()
    {
        QStringList zones;
        for (const char* line : {"Kathmandu, Nepal  085E19 27N42      Asia/Kathmandu", "New York  074W00  40N43 EST",
                                 "Biel/Bienne, Bern, Switzerland", "Biel/Bienne  007E15 Europe/Zurich"})
            zones << atlasZoneName(QString::fromLatin1(line));
        // No zone of the table; an abbreviation only; a slash in the place only; no latitude.
        QCOMPARE(zones, (QStringList{"Asia/Kathmandu", "", "", ""}));
        const std::optional<QStringList> lines = readAtlasFile(QStringLiteral(ZODIARA_SHIPPED_ATLAS));
        QVERIFY(lines && lines->size() > 20000);
        QSet<QString> unknown;
        for (const QString& line : *lines) {
            const QString zone = atlasZoneName(line);
            if (zone.isEmpty() || !QTimeZone(zone.toUtf8()).isValid())
                unknown.insert(zone.isEmpty() ? line : zone);
        }
        QVERIFY2(unknown.isEmpty(), qPrintable(unknown.values().join(u'\n')));
    }

    void check_data()
    {
        QTest::addColumn<Case>("c");
        for (const Case& c : Cases)
            QTest::newRow(c.name) << c;
    }

    void check()
    {
        QFETCH(Case, c);
        const QString when = QString::fromLatin1(c.when);
        const QDate day = QDate::fromString(when.left(10), Qt::ISODate);
        const QTime time = when.size() > 13 ? QTime::fromString(when.right(5), "hh:mm") : QTime(12, 0);
        const CalendarDate date{day.year(), std::int8_t(day.day()), std::int8_t(day.month())};
        const DaylightSavingCheck result =
            checkDaylightSaving(c.zone, date, when.endsWith("BC"), time.hour(), time.minute(), c.tableZone, c.dst);
        QCOMPARE((QList<int>{result.known, result.inForce, result.standardZone, result.zone.value_or(-1),
                             result.daylightSaving ? int(*result.daylightSaving) : -1}),
                 c.result);
        const QString asked = daylightSavingQuestion(c.zone, date, result);
        QVERIFY2(c.question == QLatin1String("*") ? !asked.isEmpty() : asked == c.question, qPrintable(asked));
    }

    // The question comes once, only for a place whose line named a zone, and Yes or No does what it says.
    void dialogAsksOnce_data()
    {
        QTest::addColumn<QString>("typedPlace");  // empty: keep the looked-up name
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QList<int>>("outcome");  // questions, daylight saving
        QTest::newRow("Yes checks the box") << "" << true << QList<int>{1, 1};
        QTest::newRow("No keeps the entry") << "" << false << QList<int>{1, 0};
        QTest::newRow("a typed place forgets the zone") << "Brooklyn" << true << QList<int>{0, 0};
    }

    void dialogAsksOnce()
    {
        QFETCH(QString, typedPlace);
        QFETCH(bool, yes);
        Chart chart;
        chart.birthDate = {1976, 4, 7};  // noon UT
        chart.localTime.hour = 12;
        test::RecordingMessages messages;
        messages.answer = yes ? MessageService::Result::Yes : MessageService::Result::No;
        ChartEdit dialog(nullptr, chart, QFileInfo(ZODIARA_SHIPPED_ATLAS).path(), messages);
        dialog.show();
        test::onNextModal<AtlasLookupDialog>([](AtlasLookupDialog* lookup) {
            QTest::keyClicks(lookup->findChild<QLineEdit*>("filter"), "New York City, New York");
            QTest::keyClick(lookup->findChild<QLineEdit*>("filter"), Qt::Key_Return);
        });
        dialog.findChild<QPushButton*>("lookUpButton")->click();
        QTest::keyClicks(dialog.findChild<QLineEdit*>("placeName"), typedPlace);
        dialog.findChild<QPushButton*>("okButton")->click();
        QTEST((QList<int>{int(messages.shown.size()), chart.daylightSaving}), "outcome");
        QCOMPARE((QList<int>{dialog.result(), chart.zone}), (QList<int>{QDialog::Accepted, EST}));
        QVERIFY(messages.shown.isEmpty()
                || messages.shown[0].text.startsWith("Daylight saving time was in force in America/New_York"));
    }
};

QTEST_MAIN(DaylightSavingTest)
#include "daylightsaving_test.moc"
