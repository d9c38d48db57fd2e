// The atlas reader, the line parser, the zone rule and the lookup filter, without dialogs.
#include "atlas.h"
#include "atlaslookupdialog.h"
#include "testsupport.h"

#include <QTest>

using namespace zodiara;

class AtlasTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }
    void linesOfFile_data();
    void linesOfFile();
    void parseLine_data();
    void parseLine();
    void zoneWholeWords_data();
    void zoneWholeWords();
    void filter_data();
    void filter();
};

void AtlasTest::linesOfFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("last line without newline keeps its last character")
        << QByteArray("a\nbc") << QStringList{"a", "bc"};
    QTest::newRow("crlf, and empty lines stay entries")
        << QByteArray("a\r\n\n\r\nbc\r\n") << QStringList{"a", "", "", "bc"};
    QTest::newRow("utf-8, byte-order mark dropped")
        << QByteArray("\xef\xbb\xbfZ\xc3\xbcrich\n") << QStringList{"Zürich"};
    QTest::newRow("windows-1252") << QByteArray("Z\xfcrich\n\x80 x") << QStringList{"Zürich", "€ x"};
    QTest::newRow("one invalid byte makes the whole file windows-1252")
        << QByteArray("Z\xc3\xbcrich\nK\xf6ln") << QStringList{"ZÃ¼rich", "Köln"};
}

void AtlasTest::linesOfFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(atlasLines(bytes), lines);
}

void AtlasTest::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("pieces");      // longitude degrees, minutes, latitude degrees, minutes
    QTest::addColumn<QString>("directions");  // "W"/"E" then "N"/"S"; "-" where the line stops
    QTest::addColumn<int>("zone");
    QTest::newRow("EST line") << "New York  074W00  40N43 EST" << "New York" << "074,00,40,43" << "WN" << 6;
    QTest::newRow("E") << "Madrid  003E41  40N24 CET" << "Madrid" << "003,41,40,24" << "EN" << 28;
    QTest::newRow("other letters mean East and South")
        << "X  074w00  40n43 EST" << "X" << "074,00,40,43" << "ES" << 6;
    QTest::newRow("no gap before the latitude") << "Lima  077W0212S03 EST" << "Lima" << "077,02,12,03" << "WS" << 6;
    QTest::newRow("zone only after the latitude") << "EST  074W00  40N43 x" << "EST" << "074,00,40,43" << "WN" << -1;
    QTest::newRow("short after longitude degrees") << "Nowhere  07" << "Nowhere" << "07,,," << "E-" << -1;
    QTest::newRow("stops after the longitude") << "Nowhere  074W00   " << "Nowhere" << "074,00,," << "W-" << -1;
    QTest::newRow("latitude direction past the end")
        << "Nowhere  074W00  40" << "Nowhere" << "074,00,40," << "WS" << -1;
    QTest::newRow("place and spaces only") << "Just a place   " << "Just a place" << ",,," << "--" << -1;
    QTest::newRow("empty line") << "" << "" << ",,," << "--" << -1;
    QTest::newRow("single spaces belong to the name")
        << "Rio de Janeiro  043W12  22S54 BZT2" << "Rio de Janeiro" << "043,12,22,54" << "WS" << 3;
    QTest::newRow("place cut to 49 characters")
        << QString(60, u'p') + "  001W02  03N04 UT" << QString(49, u'p') << "001,02,03,04" << "WN" << 0;
}

void AtlasTest::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QString, directions);
    const AtlasLine parsed = parseAtlasLine(line);
    QTEST(parsed.place, "place");
    QTEST(QStringList({parsed.longitudeDegrees, parsed.longitudeMinutes, parsed.latitudeDegrees,
                       parsed.latitudeMinutes}).join(u','),
          "pieces");
    QCOMPARE(parsed.hasLongitude, directions.at(0) != u'-');
    QCOMPARE(parsed.hasLatitude, directions.at(1) != u'-');
    if (parsed.hasLongitude)
        QCOMPARE(parsed.west, directions.at(0) == u'W');
    if (parsed.hasLatitude)
        QCOMPARE(parsed.north, directions.at(1) == u'N');
    QTEST(parsed.zone, "zone");
}

void AtlasTest::zoneWholeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("zone");
    QTest::newRow("AEST is not EST") << " AEST" << 13;
    QTest::newRow("ACST is not CST") << " ACST" << 14;
    QTest::newRow("BAT is not AT") << " BAT" << 26;
    QTest::newRow("NST first in table order") << " NST" << 4;
    QTest::newRow("earliest zone in table order wins") << " CET UT" << 0;
    QTest::newRow("punctuation delimits") << "(MST)" << 8;
    QTest::newRow("inside a word matches nothing") << " WESTERN" << -1;
    QTest::newRow("case matters") << " est" << -1;
    QTest::newRow("later whole word after a partial one") << " AESTX AEST" << 13;
}

void AtlasTest::zoneWholeWords()
{
    QFETCH(QString, text);
    QTEST(zoneNamedIn(text), "zone");
}

void AtlasTest::filter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("empty shows all in file order")
        << "" << QStringList{"Zürich", "ZURICH x", "MÜNCHEN", "ab", "cd", "Łódź"};
    QTest::newRow("case and accents ignored") << "zur" << QStringList{"Zürich", "ZURICH x"};
    QTest::newRow("accented filter") << "münch" << QStringList{"MÜNCHEN"};
    QTest::newRow("letters with a stroke") << "lodz" << QStringList{"Łódź"};
    QTest::newRow("never across two lines") << "bc" << QStringList{};
}

void AtlasTest::filter()
{
    QFETCH(QString, filter);
    AtlasListModel model(QStringList{"Zürich", "ZURICH x", "MÜNCHEN", "ab", "cd", "Łódź"});
    model.setFilter(QStringLiteral("something else first"));
    model.setFilter(filter);
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.data(model.index(row)).toString();
        QCOMPARE(model.rowOfLine(model.lineOfRow(row)), row);
    }
    QTEST(shown, "rows");
}

QTEST_MAIN(AtlasTest)
#include "atlas_test.moc"
