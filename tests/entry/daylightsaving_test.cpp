// Daylight saving and standard time from the system's time-zone database, and the one
// question the chart data dialog asks about them.
#include "atlas.h"
#include "atlaslookupdialog.h"
#include "chartedit.h"
#include "daylightsaving.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace zodiara;

namespace {

constexpr int UT = 0, EST = 6, CST = 7, MST = 8, CET = 28;

const char* const NewYorkLine =
    "New York City, New York, United States            074W00 40N43 EST  America/New_York";

}  // namespace

class DaylightSavingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }
    void zoneNameOfLine_data();
    void zoneNameOfLine();
    void shippedAtlasZonesAreKnown();
    void check_data();
    void check();
    void dialogAsksOnce_data();
    void dialogAsksOnce();
};

void DaylightSavingTest::zoneNameOfLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("zone");
    QTest::newRow("atlas line") << NewYorkLine << "America/New_York";
    QTest::newRow("no table zone") << "Kathmandu, Bagmati Province, Nepal                085E19 27N42      Asia/Kathmandu"
                                   << "Asia/Kathmandu";
    QTest::newRow("abbreviation only") << "New York  074W00  40N43 EST" << "";
    QTest::newRow("slash in the place name only") << "Biel/Bienne, Bern, Switzerland" << "";
    QTest::newRow("no latitude") << "Biel/Bienne  007E15 Europe/Zurich" << "";
}

void DaylightSavingTest::zoneNameOfLine()
{
    QFETCH(QString, line);
    QFETCH(QString, zone);
    QCOMPARE(atlasZoneName(line), zone);
}

void DaylightSavingTest::shippedAtlasZonesAreKnown()
{
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

void DaylightSavingTest::check_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("bc");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("tableZone");
    QTest::addColumn<bool>("dst");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("inForce");
    QTest::addColumn<int>("standardZone");
    QTest::addColumn<int>("newZone");  // -1: keep
    QTest::addColumn<int>("newDst");   // -1: keep
    QTest::addColumn<QString>("question");

    const QString ny = "America/New_York";
    const QTime noon(12, 0);
    QTest::newRow("New York, July 1976") << ny << QDate(1976, 7, 4) << false << noon << EST << false << true << true << EST
                                         << -1 << 1
                                         << "Daylight saving time was in force in America/New_York on July 4, 1976. "
                                            "Check \"Daylight Savings ?\"?";
    QTest::newRow("New York, July 1976, checked") << ny << QDate(1976, 7, 4) << false << noon << EST << true << true
                                                  << true << EST << -1 << -1 << "";
    QTest::newRow("New York, January 1976") << ny << QDate(1976, 1, 15) << false << noon << EST << true << true << false
                                            << EST << -1 << 0
                                            << "Daylight saving time was not in force in America/New_York on "
                                               "January 15, 1976. Uncheck \"Daylight Savings ?\"?";
    QTest::newRow("the morning clocks went forward") << ny << QDate(1976, 4, 25) << false << QTime(3, 30) << EST << false
                                                     << true << true << EST << -1 << 1 << "*";
    QTest::newRow("Phoenix, July 1976") << "America/Phoenix" << QDate(1976, 7, 4) << false << noon << MST << true << true
                                        << false << MST << -1 << 0 << "*";
    QTest::newRow("London 1970, British Standard Time")
        << "Europe/London" << QDate(1970, 1, 15) << false << noon << UT << false << true << false << CET << CET << -1
        << "The standard time in Europe/London on January 15, 1970 was UTC+01:00. "
           "Choose the time zone \"CET, (-01:00), Central European Time\"?";
    // Same Universal Time either way: nothing to ask.
    QTest::newRow("London 1970 as UT with saving") << "Europe/London" << QDate(1970, 7, 1) << false << noon << UT << true
                                                   << true << false << CET << -1 << -1 << "";
    QTest::newRow("Dublin summer as UT with saving") << "Europe/Dublin" << QDate(2000, 7, 15) << false << noon << UT
                                                     << true << true << false << CET << -1 << -1 << "";
    QTest::newRow("Dublin winter is standard time") << "Europe/Dublin" << QDate(2000, 1, 15) << false << noon << UT
                                                    << true << true << false << UT << -1 << 0 << "*";
    QTest::newRow("wrong zone and no saving")
        << ny << QDate(1976, 7, 4) << false << noon << CST << false << true << true << EST << EST << 1
        << "The standard time in America/New_York on July 4, 1976 was UTC-05:00, and daylight saving time was in "
           "force. Choose the time zone \"EST, (+05:00), Eastern Standard Time\" and check \"Daylight Savings ?\"?";
    QTest::newRow("Kathmandu: no zone of the table") << "Asia/Kathmandu" << QDate(1990, 7, 1) << false << noon << EST
                                                     << false << true << false << -1 << -1 << -1 << "";
    QTest::newRow("Berlin 1945: two hours of saving") << "Europe/Berlin" << QDate(1945, 7, 1) << false << noon << CET
                                                      << false << true << true << CET << -1 << -1 << "";
    QTest::newRow("before 1900") << ny << QDate(1899, 7, 4) << false << noon << CST << true << false << false << -1 << -1
                                 << -1 << "";
    QTest::newRow("BC") << ny << QDate(1976, 7, 4) << true << noon << CST << false << false << false << -1 << -1 << -1
                        << "";
    QTest::newRow("hour skipped") << ny << QDate(1976, 4, 25) << false << QTime(2, 30) << CST << false << false << false
                                  << -1 << -1 << -1 << "";
    QTest::newRow("hour repeated") << ny << QDate(1976, 10, 31) << false << QTime(1, 30) << CST << false << false
                                   << false << -1 << -1 << -1 << "";
    QTest::newRow("unknown zone") << "Atlantis/Poseidonia" << QDate(1976, 7, 4) << false << noon << CST << false << false
                                  << false << -1 << -1 << -1 << "";
}

void DaylightSavingTest::check()
{
    QFETCH(QString, zone);
    QFETCH(QDate, date);
    QFETCH(bool, bc);
    QFETCH(QTime, time);
    QFETCH(int, tableZone);
    QFETCH(bool, dst);
    QFETCH(bool, known);
    QFETCH(bool, inForce);
    QFETCH(int, standardZone);
    QFETCH(int, newZone);
    QFETCH(int, newDst);
    QFETCH(QString, question);

    const CalendarDate entered{date.year(), std::int8_t(date.day()), std::int8_t(date.month())};
    const DaylightSavingCheck result =
        checkDaylightSaving(zone, entered, bc, time.hour(), time.minute(), tableZone, dst);
    QCOMPARE(result.known, known);
    QCOMPARE(result.inForce, inForce);
    QCOMPARE(result.standardZone, standardZone);
    QCOMPARE(result.zone.value_or(-1), newZone);
    QCOMPARE(result.daylightSaving ? int(*result.daylightSaving) : -1, newDst);
    const QString asked = daylightSavingQuestion(zone, entered, result);
    if (question == u'*')
        QVERIFY(!asked.isEmpty());
    else
        QCOMPARE(asked, question);
}

void DaylightSavingTest::dialogAsksOnce_data()
{
    QTest::addColumn<QString>("typedPlace");  // empty: keep the looked-up name
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("dst");
    QTest::newRow("Yes checks the box") << "" << true << 1 << true;
    QTest::newRow("No keeps the entry") << "" << false << 1 << false;
    QTest::newRow("a typed place forgets the zone") << "Brooklyn" << true << 0 << false;
}

void DaylightSavingTest::dialogAsksOnce()
{
    QFETCH(QString, typedPlace);
    QFETCH(bool, yes);
    QFETCH(int, questions);
    QFETCH(bool, dst);

    QTemporaryDir dir;
    QFile atlas(dir.filePath("atlas.txt"));
    QVERIFY(atlas.open(QIODevice::WriteOnly));
    atlas.write(QByteArray(NewYorkLine) + '\n');
    atlas.close();

    Chart chart;
    chart.birthDate.year = 1976;
    chart.birthDate.month = 7;
    chart.birthDate.day = 4;
    chart.localTime = {12, 0, 0, 0};
    chart.zone = UT;
    test::RecordingMessages messages;
    messages.answer = yes ? MessageService::Result::Yes : MessageService::Result::No;
    ChartEdit dialog(nullptr, chart, dir.path(), messages);
    dialog.show();
    test::onNextModal<AtlasLookupDialog>([](AtlasLookupDialog* lookup) {
        auto* list = lookup->findChild<QListView*>();
        list->setCurrentIndex(list->model()->index(0, 0));
        lookup->accept();
    });
    dialog.findChild<QPushButton*>("lookUpButton")->click();
    if (!typedPlace.isEmpty())
        QTest::keyClicks(dialog.findChild<QLineEdit*>("placeName"), typedPlace);
    dialog.findChild<QPushButton*>("okButton")->click();

    QCOMPARE(messages.shown.size(), questions);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(chart.zone), EST);
    QCOMPARE(chart.daylightSaving != 0, dst);
    if (questions)
        QVERIFY(messages.shown[0].text.startsWith("Daylight saving time was in force in America/New_York"));
}

QTEST_MAIN(DaylightSavingTest)
#include "daylightsaving_test.moc"
