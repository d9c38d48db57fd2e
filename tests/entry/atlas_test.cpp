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
    void missingFileReadsAsNothing();
};

void AtlasTest::linesOfFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("newlines") << QByteArray("a\nbc\n") << QStringList{"a", "bc"};
    QTest::newRow("last line without newline keeps its last character")
        << QByteArray("a\nbc") << QStringList{"a", "bc"};
    QTest::newRow("crlf") << QByteArray("a\r\nbc\r\n") << QStringList{"a", "bc"};
    QTest::newRow("empty lines stay entries") << QByteArray("\n\r\n\n") << QStringList{"", "", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("carriage return inside a line stays") << QByteArray("a\rb\n") << QStringList{"a\rb"};
    const QByteArray longLine(300, 'x');
    QTest::newRow("long line stays one entry") << longLine + "\nz" << QStringList{QString(300, u'x'), "z"};
    QTest::newRow("utf-8") << QByteArray("Z\xc3\xbcrich\n") << QStringList{QString::fromUtf8("Zürich")};
    QTest::newRow("utf-8 byte-order mark dropped") << QByteArray("\xef\xbb\xbf" "Basel\n") << QStringList{"Basel"};
    QTest::newRow("windows-1252") << QByteArray("Z\xfcrich\n\x80 x\n")
                                  << QStringList{QString::fromUtf8("Zürich"), QString::fromUtf8("€ x")};
    QTest::newRow("one invalid byte makes the whole file windows-1252")
        << QByteArray("Z\xc3\xbcrich\nK\xf6ln") << QStringList{QString::fromUtf8("ZÃ¼rich"), QString::fromUtf8("Köln")};
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
    QTest::addColumn<QStringList>("pieces");  // longitude degrees, minutes, latitude degrees, minutes
    QTest::addColumn<QString>("directions");  // "W"/"E" then "N"/"S"; "-" where the line stops
    QTest::addColumn<int>("zone");

    QTest::newRow("EST line") << "New York  074W00  40N43 EST" << "New York" << QStringList{"074", "00", "40", "43"}
                              << "WN" << 6;
    QTest::newRow("E at the longitude direction") << "Madrid  003E41  40N24 CET" << "Madrid"
                                                  << QStringList{"003", "41", "40", "24"} << "EN" << 28;
    QTest::newRow("other letters mean East and South") << "Somewhere  074w00  40n43 EST" << "Somewhere"
                                                       << QStringList{"074", "00", "40", "43"} << "ES" << 6;
    QTest::newRow("no gap before the latitude") << "Lima  077W0212S03 EST" << "Lima"
                                                << QStringList{"077", "02", "12", "03"} << "WS" << 6;
    QTest::newRow("letters in digit positions pass unchecked") << "Odd  0x4W0y  4zN43" << "Odd"
                                                               << QStringList{"0x4", "0y", "4z", "43"} << "WN" << -1;
    QTest::newRow("zone only searched after the latitude") << "EST  074W00  40N43 nothing" << "EST"
                                                           << QStringList{"074", "00", "40", "43"} << "WN" << -1;
    QTest::newRow("NST is Newfoundland") << "Medan  098E40  03N35 NST" << "Medan"
                                         << QStringList{"098", "40", "03", "35"} << "EN" << 4;
    QTest::newRow("short after longitude degrees") << "Nowhere  07" << "Nowhere" << QStringList{"07", "", "", ""}
                                                   << "E-" << -1;
    QTest::newRow("stops after the longitude") << "Nowhere  074W00   " << "Nowhere"
                                               << QStringList{"074", "00", "", ""} << "W-" << -1;
    QTest::newRow("short latitude minutes") << "Nowhere  074W00  40N4" << "Nowhere"
                                            << QStringList{"074", "00", "40", "4"} << "WN" << -1;
    QTest::newRow("latitude direction past the end") << "Nowhere  074W00  40" << "Nowhere"
                                                     << QStringList{"074", "00", "40", ""} << "WS" << -1;
    QTest::newRow("place only") << "Just a place" << "Just a place" << QStringList{"", "", "", ""} << "--" << -1;
    QTest::newRow("place and spaces only") << "Place   " << "Place" << QStringList{"", "", "", ""} << "--" << -1;
    QTest::newRow("empty line") << "" << "" << QStringList{"", "", "", ""} << "--" << -1;
    QTest::newRow("single spaces belong to the name") << "Rio de Janeiro  043W12  22S54 BZT2" << "Rio de Janeiro"
                                                      << QStringList{"043", "12", "22", "54"} << "WS" << 3;
    QTest::newRow("place cut to 49 characters") << QString(60, u'p') + "  001W02  03N04 UT" << QString(49, u'p')
                                                << QStringList{"001", "02", "03", "04"} << "WN" << 0;
    QTest::newRow("accented place") << QString::fromUtf8("Zürich  008E32  47N22 CET") << QString::fromUtf8("Zürich")
                                    << QStringList{"008", "32", "47", "22"} << "EN" << 28;
}

void AtlasTest::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QString, place);
    QFETCH(QStringList, pieces);
    QFETCH(QString, directions);
    QFETCH(int, zone);

    const AtlasLine parsed = parseAtlasLine(line);
    QCOMPARE(parsed.place, place);
    QCOMPARE(parsed.hasLongitude, directions.at(0) != u'-');
    QCOMPARE(parsed.hasLatitude, directions.at(1) != u'-');
    QCOMPARE(QStringList({parsed.longitudeDegrees, parsed.longitudeMinutes, parsed.latitudeDegrees,
                          parsed.latitudeMinutes}),
             pieces);
    if (parsed.hasLongitude)
        QCOMPARE(parsed.west, directions.at(0) == u'W');
    if (parsed.hasLatitude)
        QCOMPARE(parsed.north, directions.at(1) == u'N');
    QCOMPARE(parsed.zone, zone);
}

void AtlasTest::zoneWholeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("zone");
    QTest::newRow("EST") << " EST" << 6;
    QTest::newRow("AEST is not EST") << " AEST" << 13;
    QTest::newRow("ACST is not CST") << " ACST" << 14;
    QTest::newRow("BAT is not AT") << " BAT" << 26;
    QTest::newRow("AT") << " AT" << 2;
    QTest::newRow("NST first in table order") << " NST" << 4;
    QTest::newRow("punctuation delimits") << "(MST)" << 8;
    QTest::newRow("inside a word matches nothing") << " WESTERN" << -1;
    QTest::newRow("case matters") << " est" << -1;
    QTest::newRow("later whole word after a partial one") << " AESTX AEST" << 13;
    QTest::newRow("earliest zone in table order wins") << " CET UT" << 0;
}

void AtlasTest::zoneWholeWords()
{
    QFETCH(QString, text);
    QFETCH(int, zone);
    QCOMPARE(zoneNamedIn(text), zone);
}

void AtlasTest::filter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("empty shows all in file order") << "" << QStringList{"Zürich", "ZURICH x", "Berlin", "MÜNCHEN", "ab", "cd", "Łódź"};
    QTest::newRow("case and accents ignored") << "zur" << QStringList{"Zürich", "ZURICH x"};
    QTest::newRow("accented filter") << QString::fromUtf8("münch") << QStringList{"MÜNCHEN"};
    QTest::newRow("anywhere in the line") << "rli" << QStringList{"Berlin"};
    QTest::newRow("letters with a stroke") << "lodz" << QStringList{"Łódź"};
    QTest::newRow("no match") << "xyz" << QStringList{};
    QTest::newRow("never across two lines") << "bc" << QStringList{};
}

void AtlasTest::filter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, rows);
    AtlasListModel model(QStringList{"Zürich", "ZURICH x", "Berlin", "MÜNCHEN", "ab", "cd", "Łódź"});
    model.setFilter(QStringLiteral("something else first"));
    model.setFilter(filter);
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.data(model.index(row)).toString();
        QCOMPARE(model.rowOfLine(model.lineOfRow(row)), row);
    }
    QCOMPARE(shown, rows);
}

void AtlasTest::missingFileReadsAsNothing()
{
    QVERIFY(!readAtlasFile(QStringLiteral("/nonexistent/dir/atlas.txt")).has_value());
    QCOMPARE(atlasPath(QStringLiteral("/opt/zodiara")), QStringLiteral("/opt/zodiara/atlas.txt"));
}

QTEST_MAIN(AtlasTest)
#include "atlas_test.moc"
