// The atlas reader, the line parser, the zone rule, the place search and the lookup dialog.
#include "entry/atlas.h"
#include "entry/atlaslookupdialog.h"
#include "recordingmessages.h"

#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
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

    // Ranking: equal name, start, word start, elsewhere; the more populous first within each.
    void find_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("places");  // the matching lines' place names, best first
        QTest::newRow("each rank, by population") << "london" << "London, England|London, Ontario|Londonderry|"
                                                                 "New London, Connecticut|Barnet, Greater London";
        QTest::newRow("a common name counts as the name") << "Cologne" << "Köln, Germany|Cologne, Italy|Cologne, France";
        QTest::newRow("case and accents ignored") << "KÖLN" << "Köln, Germany";
        QTest::newRow("every common name") << "koeln" << "Köln, Germany";
        QTest::newRow("zone columns are not the place") << "kathmandu" << "Kathmandu, Nepal";
        QTest::newRow("nor abbreviations") << "est" << "Budapest, Hungary";
        QTest::newRow("letters with a stroke") << "lodz" << "Łódź, Poland";
        QTest::newRow("nor coordinates") << "000w08" << "";
        QTest::newRow("region and country") << "nepal" << "Kathmandu, Nepal|Baglung, Nepal";
        QTest::newRow("whole place text, spaces tidied") << "  paris,   texas " << "Paris, Texas";
        QTest::newRow("index record of a removed line skipped") << "paris" << "Paris, France|Paris, Texas";
        QTest::newRow("lines without a record keep atlas order") << "springfield" << "Springfield IL|Springfield MA";
        QTest::newRow("a record for other coordinates is not used") << "capital" << "";
        QTest::newRow("empty filter") << " " << "";
    }

    void find()
    {
        QFETCH(QString, filter);
        const auto [atlasText, indexText] = fixture();
        const Atlas atlas(atlasText, indexText);
        QStringList places;
        for (const int line : atlas.find(filter))
            places << atlas.line(line).section(QStringLiteral("  "), 0, 0);
        QTEST(places.join(u'|'), "places");
    }

    // Typing then Enter takes the highlighted line, the best match, whole.
    void lookUpDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");  // Down arrows pressed in the filter box
        QTest::addColumn<QString>("chosen");
        QTest::newRow("london") << "london" << 0 << "London, England  000W08 51N31 UT   Europe/London";
        QTest::newRow("down to the next") << "london" << 1 << "London, Ontario  081W14 42N59 EST  America/Toronto";
        QTest::newRow("common name") << "cologne" << 0 << "Köln, Germany  006E57 50N56 CET  Europe/Berlin";
        QTest::newRow("no match") << "zzz" << 0 << "";
    }

    void lookUpDialog()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        const QString directory = writeFixture();
        test::RecordingMessages messages;
        AtlasLookupDialog dialog(nullptr, QDir(directory).filePath("atlas.txt"), messages);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* filter = dialog.findChild<QLineEdit*>("filter");
        QTest::keyClicks(filter, typed);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(filter, Qt::Key_Down);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTEST(dialog.chosenLine(), "chosen");
        QVERIFY(messages.shown.isEmpty());

        // Lines in a fixed-pitch font, whole at the default size.
        const auto* list = dialog.findChild<QListView*>();
        QVERIFY(QFontInfo(list->font()).fixedPitch());
        const QString widest(dialog.findChild<AtlasListModel*>()->atlas().longestLine(), u'M');
        QVERIFY(list->viewport()->width() >= QFontMetrics(list->font()).horizontalAdvance(widest));
    }

    void unusableAtlasIsReported_data()
    {
        QTest::addColumn<QByteArray>("atlas");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no coordinates") << QByteArray("Just a name\n\nNew York  074W00\n");
    }

    void unusableAtlasIsReported()
    {
        QFETCH(QByteArray, atlas);
        QTemporaryDir directory;
        QFile file(directory.filePath("atlas.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(atlas) == atlas.size());
        file.close();
        test::RecordingMessages messages;
        AtlasLookupDialog dialog(nullptr, file.fileName(), messages);
        dialog.show();
        QTRY_COMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.startsWith("The atlas file " + QDir::toNativeSeparators(file.fileName())));
        QCOMPARE(messages.shown[0].owner.data(), &dialog);
    }

    // The shipped atlas finds the city a user means, by its own or its common name.
    void shippedAtlasFindsTheCity()
    {
        const std::optional<Atlas> atlas = readAtlas(QStringLiteral(ZODIARA_SHIPPED_ATLAS));
        QVERIFY(atlas && atlas->lineCount() > 150000);
        const QList<std::pair<QString, QString>> rows = {
            {"london", "London, England"}, {"sydney", "Sydney, New South Wales"}, {"paris", "Paris, Île-de-France"},
            {"new york", "New York City"}, {"kathmandu", "Kathmandu, Bagmati"}, {"cologne", "Köln"},
            {"köln", "Köln"}, {"munich", "Munich, Bavaria"}, {"münchen", "Munich, Bavaria"},
            {"lisbon", "Lisbon, Lisbon"}, {"lisboa", "Lisbon, Lisbon"}, {"moscow", "Moscow, Moscow"},
            {"moskva", "Moscow, Moscow"}, {"warsaw", "Warsaw, Mazovia"}, {"warszawa", "Warsaw, Mazovia"},
            {"florence", "Florence, Tuscany"}, {"firenze", "Florence, Tuscany"}, {"soldeu", "Soldeu, Canillo, Andorra"}};
        QStringList wrong;
        for (const auto& [filter, expected] : rows) {
            const std::vector<int> found = atlas->find(filter);
            const QString first = found.empty() ? QString() : atlas->line(found.front());
            if (!first.startsWith(expected))
                wrong << filter + " -> " + first;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

private:
    // An atlas and its index: one record is for a line since removed, one line was added without
    // a record, one record names other coordinates than its line.
    static std::pair<QByteArray, QByteArray> fixture()
    {
        const QByteArray atlas = "Barnet, Greater London  000W12 51N39 UT   Europe/London\n"
                                 "Baglung, Nepal  083E36 28N16      Asia/Kathmandu\n"
                                 "Cologne, Italy  009E57 45N35 CET  Europe/Rome\n"
                                 "Cologne, France  000E58 43N43 CET  Europe/Paris\n"
                                 "Kathmandu, Nepal  085E19 27N42      Asia/Kathmandu\n"
                                 "K\xc3\xb6ln, Germany  006E57 50N56 CET  Europe/Berlin\n"
                                 "London, Ontario  081W14 42N59 EST  America/Toronto\n"
                                 "London, England  000W08 51N31 UT   Europe/London\n"
                                 "Londonderry  007W19 55N00 UT   Europe/London\n"
                                 "New London, Connecticut  072W06 41N21 EST  America/New_York\n"
                                 "Paris, Texas  095W33 33N40 CST  America/Chicago\n"
                                 "Paris, France  002E21 48N51 CET  Europe/Paris\n"
                                 "Budapest, Hungary  019E02 47N30 CET  Europe/Budapest\n"
                                 "\xc5\x81\xc3\xb3\x64\xc5\xba, Poland  019E28 51N46 CET  Europe/Warsaw\n"
                                 "Springfield IL  089W39 39N48 CST\n"
                                 "Springfield MA  072W35 42N06 EST\n";
        const QByteArray index = "000W12 51N39\t43000\n083E36 28N16\t30000\n009E57 45N35\t7032\n000E58 43N43\t728\n"
                                 "085E19 27N42\t1442271\tKantipur\n006E57 50N56\t963395\tCologne\tKoeln\n"
                                 "081W14 42N59\t346765\n000W08 51N31\t8961989\tLondres\n007W19 55N00\t83652\n"
                                 "072W06 41N21\t27000\n010E00 10N00\t99999999\tParis\n095W33 33N40\t25171\n"
                                 "002E21 48N51\t2138551\n019E02 47N30\t1741041\n019E28 51N46\t768755\n"
                                 "000E00 00N00\t100\tCapital City\n";
        return {atlas, index};
    }

    QString writeFixture()
    {
        const auto [atlasText, indexText] = fixture();
        QFile atlas(m_fixtureDir.filePath("atlas.txt"));
        QFile index(m_fixtureDir.filePath("atlas-index.txt"));
        if (!atlas.exists() && (!atlas.open(QIODevice::WriteOnly) || atlas.write(atlasText) != atlasText.size()
                                || !index.open(QIODevice::WriteOnly) || index.write(indexText) != indexText.size()))
            qFatal("cannot write the atlas fixture");
        return m_fixtureDir.path();
    }

    QTemporaryDir m_fixtureDir;
};

QTEST_MAIN(AtlasTest)
#include "atlas_test.moc"
