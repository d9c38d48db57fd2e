// The atlas library: reading the file, parsing a line, naming zones, the place search and the
// nearest names, the lookup dialog, and the daylight-saving check against the system's time-zone
// database.
#include "entry/atlas.h"
#include "entry/atlaslookupdialog.h"
#include "entry/chartedit.h"
#include "entry/daylightsaving.h"
#include "recordingmessages.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

using namespace zodiara;

namespace {

// An atlas and its index: one record is for a line since removed, one line was added without
// a record, one record names other coordinates than its line.
// clang-format off
const QByteArray Fixture = "Barnet, Greater London  000W12 51N39 UT   Europe/London\n"
                           "Cologne, Italy  009E57 45N35 CET  Europe/Rome\n"
                           "K\xc3\xb6ln, Germany  006E57 50N56 CET  Europe/Berlin\n"
                           "London, Ontario  081W14 42N59 EST  America/Toronto\n"
                           "London, England  000W08 51N31 UT   Europe/London\n"
                           "Londonderry  007W19 55N00 UT   Europe/London\n"
                           "New London, Connecticut  072W06 41N21 EST  America/New_York\n"
                           "Paris, Texas  095W33 33N40 CST  America/Chicago\n"
                           "Paris, France  002E21 48N51 CET  Europe/Paris\n"
                           "\xc5\x81\xc3\xb3\x64\xc5\xba, Poland  019E28 51N46 CET  Europe/Warsaw\n"
                           "Springfield IL  089W39 39N48 CST\n"
                           "Springfield MA  072W35 42N06 EST\n";
const QByteArray FixtureIndex = "000W12 51N39\t43000\n009E57 45N35\t7032\n"
                                "006E57 50N56\t963395\tCologne\tKoeln\n081W14 42N59\t346765\n"
                                "000W08 51N31\t8961989\tLondres\n007W19 55N00\t83652\n072W06 41N21\t27000\n"
                                "010E00 10N00\t99999999\tParis\n095W33 33N40\t25171\n002E21 48N51\t2138551\n"
                                "019E28 51N46\t768755\n000E00 00N00\t100\tCapital City\n";

// clang-format on

// The place names of `lines` of `atlas`, "|"-joined.
QString placesOf(const Atlas& atlas, const std::vector<int>& lines)
{
    QStringList places;
    for (const int line : lines)
        places << atlas.line(line).section(QStringLiteral("  "), 0, 0);
    return places.join(u'|');
}

// Writes `bytes` to `path`.
bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

class AtlasTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::installQuietHandler(); }

    // Lines end at "\n" or "\r\n" and blank ones are left out; valid UTF-8 (a byte-order mark dropped) is read
    // as such, anything else as Windows-1252.
    void linesOfFile()
    {
        const std::pair<QByteArray, QStringList> files[] = {
            {"a\r\n\n \t\r\n  bc\r\r\n \f", {"a", "  bc\r"}},
            {"\xef\xbb\xbfZ\xc3\xbcrich\n", {"Zürich"}},
            // a mark further on is the line's own text, not dropped to leave a blank line behind
            {"a\n\xef\xbb\xbf \n\xef\xbb\xbf\xef\xbb\xbfz",
             {"a", QStringLiteral("\ufeff "), QStringLiteral("\ufeff\ufeffz")}},
            {"Z\xfcrich\n\x80 x", {"Zürich", "€ x"}},
            {"Z\xc3\xbcrich\nK\xf6ln", {"ZÃ¼rich", "Köln"}},  // one bad byte makes it all Windows-1252
            {"a\n" + QByteArray(AtlasMaxLineBytes + 1, 'x') + "\nb", {"a", "b"}}};  // too long a line is skipped
        for (const auto& [bytes, expected] : files) {
            const Atlas atlas(bytes, {});
            QStringList lines;
            for (int line = 0; line < atlas.lineCount(); ++line)
                lines << atlas.line(line);
            QCOMPARE(lines, expected);
        }
    }

    // Nothing is waited on, no file is read without bound, and blank lines take no room: 16 MiB of them
    // once took 0.9 GB and seconds to list.
    void boundedReading()
    {
        QTemporaryDir dir;
        QFile huge(dir.filePath("huge")), blank(dir.filePath("blank"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(AtlasMaxFileBytes + 1));  // sparse: no disk space taken
        QVERIFY(blank.open(QIODevice::WriteOnly) && blank.write(QByteArray(16 << 20, '\n') + Fixture) > 0
                && blank.flush());
        QList<int> read;  // lines, -1 when refused
        for (const QString name : {"fifo", "huge", "blank"}) {
            const QString path = dir.filePath(name);
            auto reading = std::async(std::launch::async, [&path] { return readAtlas(path); });
            if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
                // A reader stuck on the FIFO is let go, to fail on its result rather than hang.
                const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0)
                    ::close(writer);
            }
            const std::optional<Atlas> atlas = reading.get();
            read << (atlas ? atlas->lineCount() : -1);
        }
        QCOMPARE(read, (QList<int>{-1, -1, int(Fixture.count('\n'))}));
    }

    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        // place | longitude degrees, W/E, minutes | latitude degrees, N/S, minutes | zone; "-" where the line stops
        QTest::addColumn<QString>("parsed");
        // clang-format off
        QTest::newRow("other letters mean East and South") << "X  074w00  40n43 CET" << "X|074E00|40S43|28";
        QTest::newRow("no gap before the latitude") << "Lima  077W0212S03 EST" << "Lima|077W02|12S03|6";
        QTest::newRow("zone only after the latitude") << "EST  074W00  40N43 x" << "EST|074W00|40N43|-1";
        QTest::newRow("short after longitude degrees") << "Nowhere  07" << "Nowhere|07E|-|-1";
        QTest::newRow("stops after the longitude") << "Nowhere  074W00   " << "Nowhere|074W00|-|-1";
        QTest::newRow("single spaces in the place, then spaces only") << "Just a place   " << "Just a place|-|-|-1";
        QTest::newRow("place cut to 49 characters") << QString(60, u'p') + "  001W02  03N04 UT"
                                                    << QString(49, u'p') + "|001W02|03N04|0";
        // clang-format on
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

    // Ranking: equal name, start, word start, elsewhere; the more populous first within each.
    void find_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("places");  // the matching lines' place names, best first
        // clang-format off
        QTest::newRow("each rank, by population") << "london" << "London, England|London, Ontario|Londonderry|"
                                                                 "New London, Connecticut|Barnet, Greater London";
        QTest::newRow("a common name counts as a name") << "Cologne" << "Köln, Germany|Cologne, Italy";
        QTest::newRow("case and accents ignored") << "KÖLN" << "Köln, Germany";
        QTest::newRow("every common name") << "koeln" << "Köln, Germany";
        QTest::newRow("letters with a stroke") << "lodz" << "Łódź, Poland";
        QTest::newRow("whole place text, spaces tidied") << "  paris,   texas " << "Paris, Texas";
        QTest::newRow("index record of a removed line skipped") << "paris" << "Paris, France|Paris, Texas";
        QTest::newRow("lines without a record keep atlas order") << "springfield" << "Springfield IL|Springfield MA";
        QTest::newRow("a record for other coordinates is not used") << "capital" << "";
        QTest::newRow("empty filter") << " " << "";
        // clang-format on
    }

    void find()
    {
        QFETCH(QString, filter);
        const Atlas atlas(Fixture, FixtureIndex);
        QTEST(placesOf(atlas, atlas.find(filter)), "places");
    }

    // A misspelt name: the names a few edits away (a swap of two neighbours is one), the nearest first,
    // then the more populous; 1 edit for 3 or 4 characters, 2 up to 8, 3 beyond.
    void nearest_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("places");
        // clang-format off
        QTest::newRow("a swap is one edit") << "lodnon" << "London, England|London, Ontario";
        QTest::newRow("two edits for six letters") << "lnodno" << "London, England|London, Ontario";
        QTest::newRow("three are too many") << "lnodnoo" << "";
        QTest::newRow("the nearer before the more populous") << "londz" << "Łódź, Poland|London, England|London, Ontario";
        QTest::newRow("one edit for four letters") << "lodx" << "Łódź, Poland";
        QTest::newRow("two are too many") << "ldox" << "";
        QTest::newRow("a common name, case and accents ignored") << "LONDRÉS" << "London, England";
        QTest::newRow("every line of a name once") << "parsi" << "Paris, France|Paris, Texas";
        QTest::newRow("long names, three edits") << "nwe lodnon" << "New London, Connecticut";
        QTest::newRow("nothing near") << "qqqqq" << "";
        QTest::newRow("too short to guess") << "xx" << "";
        // clang-format on
    }

    void nearest()
    {
        QFETCH(QString, filter);
        const Atlas atlas(Fixture, FixtureIndex);
        QTEST(placesOf(atlas, atlas.nearest(filter)), "places");
    }

    // The build prepares the shipped atlas beside the programs, and its nearest names put the city first,
    // no more than a screenful.
    void nearestInTheShippedAtlas()
    {
        const std::optional<Atlas> atlas = readAtlas(ZODIARA_BUILT_ATLAS);
        QVERIFY(atlas && atlas->isPrepared());
        QStringList firsts;
        for (const char* filter : {"lodnon", "frankfrut", "sydnei"}) {
            const std::vector<int> lines = atlas->nearest(QString::fromLatin1(filter));
            QVERIFY(lines.size() <= AtlasNearestLimit);
            firsts << placesOf(*atlas, {lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), 1)});
        }
        QCOMPARE(firsts, (QStringList{"London, England, United Kingdom", "Frankfurt am Main, Hesse, Germany",
                                      "Sydney, New South Wales, Australia"}));
        QCOMPARE(atlas->nearest(u"lodnon").size(), AtlasNearestLimit);
    }

    // A prepared file reads as the texts it was made from: the same lines, places, matches and nearest
    // names, whatever their encoding, line ends and blank lines.
    void preparedReadsAsParsed_data()
    {
        QTest::addColumn<QByteArray>("atlas");
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<bool>("hasIndex");
        // clang-format off
        QTest::newRow("with an index") << Fixture << FixtureIndex << true;
        QTest::newRow("without") << Fixture << QByteArray() << false;
        QTest::newRow("Windows-1252, kept inside") << QByteArray("Z\xfcrich  008E33 47N22 CET\nK\xf6ln  006E57 50N56 CET")
                                                   << QByteArray("006E57 50N56\t963395\tCologne\n") << true;
        QTest::newRow("byte-order mark, CRLF, blank and over-long lines")
            << "\xef\xbb\xbf\r\n \t\nParis  002E21 48N51 CET\r\n" + QByteArray(AtlasMaxLineBytes + 1, 'x')
                   + "\nLondon  000W08 51N31 UT" << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << true;
        // clang-format on
    }

    void preparedReadsAsParsed()
    {
        QFETCH(QByteArray, atlas);
        QFETCH(QByteArray, index);
        QFETCH(bool, hasIndex);
        const Atlas parsed(atlas, index);
        const std::optional<Atlas> prepared =
            atlasFromPrepared(prepareAtlas(atlas, hasIndex ? std::optional(index) : std::nullopt), atlas);
        QVERIFY(prepared && prepared->isPrepared() && !parsed.isPrepared());
        const auto read = [](const Atlas& a) {
            QStringList out{QString::number(a.hasPlaces()), QString::number(a.longestLine())};
            for (int line = 0; line < a.lineCount(); ++line)
                out << a.line(line);
            for (const QString filter : {"london", "paris", "z", "k\u00f6ln", "cologne", "lodnon", "parsi", "zurihc"})
                out << placesOf(a, a.find(filter)) << placesOf(a, a.nearest(filter));
            return out;
        };
        QCOMPARE(read(*prepared), read(parsed));
    }

    // The prepared file is mapped only while the atlas and its index are the texts it was made from;
    // otherwise, or when it is damaged, the texts are read, and what the lookup finds is theirs.
    void preparedOnlyWhileCurrent_data()
    {
        // file=new text; "file=" removes it, "file/" makes it a folder, "file~" cuts it to half its size
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("prepared");
        QTest::addColumn<QString>("first");  // the first place found for "paris"
        QByteArray atlas = Fixture, index = FixtureIndex;
        // clang-format off
        QTest::newRow("as made") << "" << true << "Paris, France";
        QTest::newRow("atlas edited, its size kept")
            << "atlas.txt=" + QString::fromUtf8(atlas.replace("Paris, France", "Paris, Franca")) << false << "Paris, Franca";
        QTest::newRow("index edited, its size kept")
            << "atlas-index.txt=" + QString::fromUtf8(index.replace("2138551", "0000001")) << false << "Paris, Texas";
        QTest::newRow("index removed") << "atlas-index.txt=" << false << "Paris, Texas";
        QTest::newRow("cut short") << "atlas-search.bin~" << false << "Paris, France";
        QTest::newRow("not even a header") << "atlas-search.bin=ZodAtlas" << false << "Paris, France";
        QTest::newRow("not a regular file") << "atlas-search.bin/" << false << "Paris, France";
        // clang-format on
    }

    void preparedOnlyWhileCurrent()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("atlas.txt"), Fixture)
                && writeFile(dir.filePath("atlas-index.txt"), FixtureIndex));
        QCOMPARE(writePreparedAtlas(dir.filePath("atlas.txt"), dir.filePath(AtlasPreparedFileName)), QString());
        const QString file = dir.filePath(change.section(QRegularExpression("[=/~]"), 0, 0));
        if (change.contains(u'=')) {
            QFile::remove(file);
            if (!change.endsWith(u'='))
                QVERIFY(writeFile(file, change.section(u'=', 1).toUtf8()));
        } else if (change.endsWith(u'/')) {
            QVERIFY(QFile::remove(file) && QDir(dir.path()).mkdir(AtlasPreparedFileName));
        } else if (change.endsWith(u'~')) {
            QVERIFY(QFile::resize(file, QFileInfo(file).size() / 2));
        }
        const std::optional<Atlas> atlas = readAtlas(dir.filePath("atlas.txt"));
        QVERIFY(atlas);
        QTEST(atlas->isPrepared(), "prepared");
        const std::vector<int> found = atlas->find(u"paris");
        QTEST(placesOf(*atlas, {found.begin(), found.begin() + std::min<std::size_t>(found.size(), 1)}), "first");
    }

    // The lookup says when nothing matches and offers the nearest names, the first highlighted so that
    // Enter takes it as it takes a line.
    void lookupOffersTheNearestNames_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("taken");  // the place of the line Enter takes
        // clang-format off
        QTest::newRow("matches") << "paris" << "" << "Paris, France";
        QTest::newRow("misspelt") << "lodnon" << AtlasNearestText << "London, England";
        QTest::newRow("nothing near") << "qqqqq" << AtlasNoMatchText << "";
        QTest::newRow("cleared") << "" << "" << "";
        // clang-format on
    }

    void lookupOffersTheNearestNames()
    {
        QFETCH(QString, filter);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("atlas.txt"), Fixture)
                && writeFile(dir.filePath("atlas-index.txt"), FixtureIndex));
        test::RecordingMessages messages;
        AtlasLookupDialog dialog(nullptr, dir.filePath("atlas.txt"), messages);
        dialog.show();
        auto* typed = dialog.findChild<QLineEdit*>("filter");
        QTest::keyClicks(typed, "qqqqq");  // a word said first must not stay
        typed->clear();
        QTest::keyClicks(typed, filter);
        QTEST(dialog.findChild<QLabel*>("status")->text(), "said");
        QTest::keyClick(typed, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTEST(dialog.chosenLine().section(QStringLiteral("  "), 0, 0), "taken");
    }

    // Alt+L and a place typed at once, as a quick typist does: the keys wait in the queue while the
    // lookup opens, however long that takes, then all reach its filter, and Enter takes the place. They
    // wait as posted events for the focused box, or as the window system's for its window, which the
    // lookup blocks once shown. A click on Cancel behind them is as lost as once the lookup shows.
    void keysTypedWhileTheLookupOpensAreKept_data()
    {
        QTest::addColumn<bool>("fromWindowSystem");
        QTest::newRow("posted to the focused box") << false;
        QTest::newRow("from the window system") << true;
    }

    void keysTypedWhileTheLookupOpensAreKept()
    {
        QFETCH(bool, fromWindowSystem);
        test::RecordingMessages messages;
        BirthData birth;
        birth.place = "Boston";
        ChartEdit edit(nullptr, birth, QFileInfo(ZODIARA_SHIPPED_ATLAS).path(), messages);
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->window() == &edit);
        const QString keys = QStringLiteral("syd\tney\r");  // the tab stands for the click
        auto* cancel = edit.findChild<QPushButton*>("cancelButton");
        const QPoint onCancel = cancel->mapTo(&edit, cancel->rect().center());
        if (fromWindowSystem) {
            QMetaObject::invokeMethod(
                &edit,
                [window = edit.windowHandle(), keys, onCancel] {
                    for (const QChar c : keys) {
                        if (c == u'\t')
                            QTest::mouseClick(window, Qt::LeftButton, {}, onCancel);
                        else
                            QTest::keyClick(window, c.toLatin1());
                    }
                },
                Qt::QueuedConnection);
        } else {
            for (const QChar c : keys) {
                if (c == u'\t') {
                    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                        QCoreApplication::postEvent(cancel,
                                                    new QMouseEvent(type, cancel->rect().center(),
                                                                    cancel->mapToGlobal(cancel->rect().center()),
                                                                    Qt::LeftButton, Qt::LeftButton, {}));
                    continue;
                }
                const int key = c == u'\r' ? int(Qt::Key_Return) : Qt::Key_A + (c.unicode() - u'a');
                for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                    QCoreApplication::postEvent(focus, new QKeyEvent(type, key, Qt::NoModifier, QString(c)));
            }
        }
        // A lookup the keys never closed is closed, so that the test fails rather than hangs.
        QTimer::singleShot(5000, &edit, [] {
            if (auto* lookup = qobject_cast<AtlasLookupDialog*>(QApplication::activeModalWidget()))
                lookup->reject();
        });
        // Alt+L ahead of them, by way of the shortcuts as the window system delivers it.
        QTest::keyClick(focus, Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(edit.findChild<QLineEdit*>("placeName")->text(),
                     QStringLiteral("Sydney, New South Wales, Australia"));
        QVERIFY(edit.isVisible());
    }

    // A missing atlas, or one without a line giving a place and its coordinates, is reported over the dialog.
    void unusableAtlasIsReported()
    {
        QTemporaryDir dir;
        QFile names(dir.filePath("names.txt"));
        QVERIFY(names.open(QIODevice::WriteOnly) && names.write("Just a name\n\nNew York  074W00\n") > 0
                && names.flush());
        QStringList shown;
        for (const QString name : {"missing.txt", "names.txt"}) {
            test::RecordingMessages messages;
            AtlasLookupDialog dialog(nullptr, dir.filePath(name), messages);
            dialog.show();
            QTRY_COMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].owner.data(), &dialog);
            shown << messages.shown[0].caption << messages.shown[0].text;
        }
        QCOMPARE(shown.mid(0, 3), (QStringList{AtlasErrorCaption, AtlasMissingText, AtlasErrorCaption}));
        QVERIFY(shown[3].startsWith("The atlas file " + QDir::toNativeSeparators(dir.filePath("names.txt"))));
    }

    // A table zone is a whole word, told apart by punctuation and case: AEST, ACST and BAT are not EST, CST
    // or AT, and of two (NST twice, CET UT) the first in the table counts. The IANA zone follows the latitude,
    // with or without a table zone; an abbreviation, a slash in the place or a line without a latitude name none.
    void zoneNames()
    {
        QList<int> zones;
        for (const char* text :
             {" AEST", " ACST", " BAT", " NST", " CET UT", "(MST)", " WESTERN", " est", " AESTX AEST"})
            zones << zoneNamedIn(QString::fromLatin1(text));
        QCOMPARE(zones, (QList<int>{13, 14, 26, 4, 0, 8, -1, -1, 13}));
        QStringList names;
        for (const char* line : {"Kathmandu, Nepal  085E19 27N42      Asia/Kathmandu", "New York  074W00  40N43 EST",
                                 "Biel/Bienne, Bern, Switzerland", "Biel/Bienne  007E15 Europe/Zurich"})
            names << atlasZoneName(QString::fromLatin1(line));
        QCOMPARE(names, (QStringList{"Asia/Kathmandu", "", "", ""}));
    }
};

QTEST_MAIN(AtlasTest)
#include "atlas_test.moc"
