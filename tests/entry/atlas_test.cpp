// The atlas reader, the line parser, the zone rule and the lookup filter, without dialogs.
#include "atlas.h"
#include "atlaslookupdialog.h"
#include "recordingmessages.h"

#include <QTest>

using namespace zodiara;

class AtlasTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }

    void linesOfFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("last line without newline") << QByteArray("a\nbc") << QStringList{"a", "bc"};
        QTest::newRow("crlf; empty lines kept") << QByteArray("a\r\n\n\r\nbc\r\n") << QStringList{"a", "", "", "bc"};
        QTest::newRow("utf-8, BOM dropped") << QByteArray("\xef\xbb\xbfZ\xc3\xbcrich\n") << QStringList{"Zürich"};
        QTest::newRow("windows-1252") << QByteArray("Z\xfcrich\n\x80 x") << QStringList{"Zürich", "€ x"};
        QTest::newRow("one bad byte: all windows-1252") << QByteArray("Z\xc3\xbcrich\nK\xf6ln")
                                                        << QStringList{"ZÃ¼rich", "Köln"};
    }

    void linesOfFile()
    {
        QFETCH(QByteArray, bytes);
        QTEST(atlasLines(bytes), "lines");
    }

    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        // place | longitude degrees, W/E, minutes | latitude degrees, N/S, minutes | zone; "-" where the line stops
        QTest::addColumn<QString>("parsed");
        QTest::newRow("EST line") << "New York  074W00  40N43 EST" << "New York|074W00|40N43|6";
        QTest::newRow("E") << "Madrid  003E41  40N24 CET" << "Madrid|003E41|40N24|28";
        QTest::newRow("other letters mean East and South") << "X  074w00  40n43 EST" << "X|074E00|40S43|6";
        QTest::newRow("no gap before the latitude") << "Lima  077W0212S03 EST" << "Lima|077W02|12S03|6";
        QTest::newRow("zone only after the latitude") << "EST  074W00  40N43 x" << "EST|074W00|40N43|-1";
        QTest::newRow("short after longitude degrees") << "Nowhere  07" << "Nowhere|07E|-|-1";
        QTest::newRow("stops after the longitude") << "Nowhere  074W00   " << "Nowhere|074W00|-|-1";
        QTest::newRow("latitude direction past the end") << "Nowhere  074W00  40" << "Nowhere|074W00|40S|-1";
        QTest::newRow("place and spaces only") << "Just a place   " << "Just a place|-|-|-1";
        QTest::newRow("empty line") << "" << "|-|-|-1";
        QTest::newRow("single spaces in the name") << "Rio de Janeiro  043W12  22S54 BZT2"
                                                   << "Rio de Janeiro|043W12|22S54|3";
        QTest::newRow("place cut to 49 characters") << QString(60, u'p') + "  001W02  03N04 UT"
                                                    << QString(49, u'p') + "|001W02|03N04|0";
    }

    void parseLine()
    {
        QFETCH(QString, line);
        const AtlasLine p = parseAtlasLine(line);
        // A direction letter only where the line reaches it, so stray pieces show up too.
        const auto direction = [](bool has, bool first, QChar yes, QChar no) { return has ? first ? yes : no : u'-'; };
        QTEST((QStringList{p.place,
                           p.longitudeDegrees + direction(p.hasLongitude, p.west, u'W', u'E') + p.longitudeMinutes,
                           p.latitudeDegrees + direction(p.hasLatitude, p.north, u'N', u'S') + p.latitudeMinutes,
                           QString::number(p.zone)}
                   .join(u'|')),
              "parsed");
    }

    void zoneWholeWords()
    {
        QList<int> zones;
        for (const char* text :
             {" AEST", " ACST", " BAT", " NST", " CET UT", "(MST)", " WESTERN", " est", " AESTX AEST"})
            zones << zoneNamedIn(QString::fromLatin1(text));
        // AEST, ACST and BAT are zones of their own, not EST, CST or AT; NST and the earlier of two zones go by
        // table order; punctuation delimits; part of a word or another case is no zone; a later whole word counts.
        QCOMPARE(zones, (QList<int>{13, 14, 26, 4, 0, 8, -1, -1, 13}));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("empty shows all in file order") << "" << Lines;
        QTest::newRow("case and accents ignored") << "zur" << QStringList{"Zürich", "ZURICH x"};
        QTest::newRow("accented filter") << "münch" << QStringList{"MÜNCHEN"};
        QTest::newRow("letters with a stroke") << "lodz" << QStringList{"Łódź"};
        QTest::newRow("never across two lines") << "bc" << QStringList{};
    }

    void filter()
    {
        QFETCH(QString, filter);
        AtlasListModel model(Lines);
        model.setFilter(QStringLiteral("something else first"));
        model.setFilter(filter);
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            shown << model.data(model.index(row)).toString();
            QCOMPARE(model.rowOfLine(model.lineOfRow(row)), row);
        }
        QTEST(shown, "rows");
    }

private:
    const QStringList Lines{"Zürich", "ZURICH x", "MÜNCHEN", "ab", "cd", "Łódź"};
};

QTEST_MAIN(AtlasTest)
#include "atlas_test.moc"
