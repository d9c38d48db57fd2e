// The main window driven as a user would: document commands and their prompts, the close query,
// Show Aspects, clicks on the chart, the Porphyry notice, the precise ephemeris and printing.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>

#include "apptestsupport.h"
#include "chartedit.h"
#include "chartfile.h"
#include "clickinfo.h"
#include "commandids.h"
#include "tchartout.h"
#include "text1252.h"
#include "tframewindow.h"
#include "tmymainwindow.h"

using namespace zodiara;
using namespace zodiara::test;
using Result = MessageService::Result;

namespace {

// Every chart starts at the same instant, so no result depends on the clock.
const QDateTime Now(QDate(2024, 3, 21), QTime(12, 30, 15));

std::filesystem::path fsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
bool sameBytes(const Chart& a, const Chart& b) { return chartImage(a) == chartImage(b); }

Chart computed(const BirthData& data, Ephemeris ephemeris = Ephemeris::Classic)
{
    Chart chart;
    setBirthData(chart, data);
    DerivedTables tables;
    computeChart(chart, tables, ephemeris);
    return chart;
}

// What a document row compares at its end.
QStringList documentState(bool saved, bool present, const QString& file, const QString& name, bool saveOffered)
{
    return {saved ? "saved" : "unsaved", present ? "chart" : "no chart", file, name,
            saveOffered ? "Save on" : "Save off"};
}

QPoint centre(const IntRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool insideAnyGlyph(const HitAreas& hits, QPoint p)
{
    return std::ranges::any_of(hits.bodyGlyphs, [p](const IntRect& r) { return r.contains(p.x(), p.y()); });
}

// Page objects, not the page tree ("/Type /Pages"); -1 when there is no file.
int pdfPageCount(const QString& path)
{
    QFile file(path);
    static const QRegularExpression page("/Type\\s*/Page(?![a-zA-Z])");
    return file.open(QIODevice::ReadOnly) ? int(QString::fromLatin1(file.readAll()).count(page)) : -1;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;  // each test and row its own, with ann.cht and bad.cht
    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<TFrameWindow> m_frame;
    TMyMainWindow* m_view = nullptr;

    QAction* item(int id) const { return m_view->action(id); }
    // "%ann" stands for ann.cht in the folder of the test or row.
    QString expand(QString text) const
    {
        static const QRegularExpression placeholder("%([\\w/]+)");
        return text.replace(placeholder, m_dir->path() + "/\\1.cht");
    }
    // Runs a command whose chart data dialog, if it comes, answers OK after taking `name` and
    // `latitude` where given, or Cancel; a dialog that never came is no longer awaited.
    void edit(int command, bool ok, const QString& name = {}, const QString& latitude = {})
    {
        const auto answer = onNextModal<ChartEdit>([=](ChartEdit* dialog) {
            if (!name.isEmpty())
                dialog->findChild<QLineEdit*>("personName")->setText(name);
            if (!latitude.isEmpty())
                dialog->findChild<QLineEdit*>("latitudeDegreesBox")->setText(latitude);
            ok ? dialog->findChild<QPushButton*>("okButton")->click() : dialog->reject();
        });
        m_view->command(command);
        *answer = nullptr;
    }

private slots:
    void initTestCase() { installQuietHandler(); }

    void init()
    {
        static const Chart ann = computed({.longitude = {0, 10, West}, .latitude = {51, 30, North}, .name = "Ann",
                                           .birthDate = {1980, 15, 6}, .localTime = {8, 45, 0, 0}});
        m_dir = std::make_unique<QTemporaryDir>();
        QFile bad(expand("%bad"));  // ten bytes
        QVERIFY(writeChartFile(fsPath(expand("%ann")), ann).empty() && bad.open(QIODevice::WriteOnly) &&
                bad.write("0123456789") == 10);
        m_messages = std::make_unique<FakeMessages>();
        m_platform = std::make_unique<FakePlatform>();
        m_view = new TMyMainWindow(*m_messages, *m_platform, m_dir->path(), Now);
        m_frame = std::make_unique<TFrameWindow>(m_view);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() { m_frame.reset(); }

    // Each row is a run of user steps and the state it must leave: saved, the file and the chart's name;
    // a chart is present exactly when it has a name. "shown"/"closed" check the frame after Exit or its
    // close. Boxes: an error as its start, others exactly (so no Porphyry box at ordinary latitudes).
    void documentStates_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("state");
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* tag, const char* steps, bool saved, const char* file, const char* name,
                            const QStringList& messages = {}) {
            QTest::newRow(tag) << QString(steps).split(' ')
                               << documentState(saved, *name, file, name, !saved && *file) << messages;
        };
        const QString discard = "Modifications have been made to this chart.  Continue without saving ?";
        const QString quit = "Modifications have been made to this chart.  Quit without saving ?";
        const QString notChart = "Error reading file\n%bad: not a chart file: 10 bytes";
        row("start", "", false, "", "");
        row("open", "open:ann", true, "%ann", "Ann");
        row("open fails", "open:bad", false, "", "", {notChart});
        row("open of a missing file", "open:missing", false, "", "", {"Error reading file\n%missing: cannot open it"});
        row("failed open keeps the chart", "open:ann open:bad", true, "%ann", "Ann", {notChart});
        row("save as start-up chart", "saveas:new", true, "%new", "");
        row("save as fails", "saveas:no/x", false, "", "", {"Error writing file\n%no/x: "});
        row("failed save stays unsaved", "open:ann modify:Bea block save", false, "%ann", "Bea",
            {"Error writing file\n%ann: "});
        row("create", "create:Bea", false, "", "Bea");
        row("create cancelled", "open:ann create:cancel", true, "%ann", "Ann");
        row("create forgets the file", "open:ann create:Bea", false, "", "Bea");
        row("modify keeps the file", "open:ann modify:Bea", false, "%ann", "Bea");
        row("modify then save", "open:ann modify:Bea save", true, "%ann", "Bea");
        row("unchanged OK is a change", "open:ann modify:same", false, "%ann", "Ann");
        row("No keeps the unsaved chart", "create:Bea no open:ann", false, "", "Bea", {discard});
        row("No before editing", "create:Bea no modify:Carl", false, "", "Bea", {discard});
        row("Yes opens over it", "create:Bea yes open:ann", true, "%ann", "Ann", {discard});
        row("Yes then cancel asks again", "create:Bea yes open: no open:ann", false, "", "Bea",
            {discard, discard});
        row("saved chart is not guarded", "open:ann open:ann exit closed", true, "%ann", "Ann");
        row("start-up chart is not guarded", "close closed", false, "", "");
        row("exit, Yes", "create:Bea exit closed", false, "", "Bea", {quit});
        row("exit, No", "create:Bea no exit shown", false, "", "Bea", {quit});
        row("frame close, Yes", "create:Bea close closed", false, "", "Bea", {quit});
        row("frame close, No", "create:Bea no close shown", false, "", "Bea", {quit});
        row("precise start-up chart", "precise exit closed", false, "", "");
        row("precise after save as", "saveas:new precise", false, "%new", "");
        row("precise opened chart", "open:ann precise no exit shown", false, "%ann", "Ann", {quit});
        row("Porphyry near the pole", "create:Polar@89", false, "", "Polar",
            {"Placidus house cusps do not exist at 89°N at this time; the chart shows Porphyry cusps."});
    }

    void documentStates()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, state);
        QFETCH(QStringList, messages);
        static const QHash<QString, int> commands{{"open", CmOpenChart}, {"saveas", CmSaveAs}, {"save", CmSave},
                                                  {"exit", CmExit}, {"precise", CmPrecisePositions}};
        for (const QString& step : steps) {
            const QString verb = step.section(':', 0, 0), arg = step.section(':', 1);
            if (verb == "open" || verb == "saveas")  // the file dialog's answer, none for Cancel
                (verb == "open" ? m_platform->openPath : m_platform->savePath) = expand(arg.isEmpty() ? "" : "%" + arg);
            if (verb == "create" || verb == "modify")  // "cancel", "same", or the name and latitude typed
                edit(verb == "create" ? CmCreateNewChart : CmModifyChartInfo, arg != "cancel",
                     arg == "same" ? QString() : arg.section('@', 0, 0), arg.section('@', 1));
            else if (commands.contains(verb))
                item(commands[verb])->trigger();
            else if (verb == "block")  // a folder where the file was
                QVERIFY(QFile::remove(expand("%ann")) && QDir().mkpath(expand("%ann") + "/inside"));
            else if (verb == "no" || verb == "yes")
                m_messages->answers.append(verb == "no" ? Result::No : Result::Yes);
            else if (verb == "close")
                m_frame->close();
            else if (verb == "shown" || verb == "closed")
                QCOMPARE(m_frame->isVisible(), verb == "shown");
            else
                QVERIFY2(verb.isEmpty(), qPrintable(step));
        }
        QVERIFY(!QApplication::activeModalWidget());

        const QString file = m_view->fileName();
        state[2] = expand(state[2]);
        QCOMPARE(documentState(m_view->saved(), m_view->chartPresent(), file,
                               QString::fromStdString(chartText(m_view->chart().name)), item(CmSave)->isEnabled()),
                 state);
        QCOMPARE(m_messages->texts(&Shown::ownerClass), QStringList(messages.size(), "zodiara::TMyMainWindow"));
        for (qsizetype i = 0; i < messages.size(); ++i) {
            const Shown& box = m_messages->shown[i];
            const QString expected = expand(messages[i]);
            const bool question = box.buttons == MessageService::Buttons::YesNo;
            QCOMPARE(box.caption, question ? "Modifications not saved." : "Zodiara");
            if (!expected.startsWith("Error"))
                QCOMPARE(box.text, expected);
            else  // the reason follows on the second line
                QVERIFY2(box.text.startsWith(expected) && box.text.size() > expected.size() + 1 &&
                             box.text.count('\n') == 1 && box.text.endsWith('.'), qPrintable(box.text));
        }
        // What Save or Save As reported as written is on disk.
        if (m_view->saved() && !file.isEmpty()) {
            const ChartReadResult back = readChartFile(fsPath(file));
            QVERIFY2(back.chart, back.error.c_str());
            QVERIFY(sameBytes(*back.chart, m_view->chart()));
        }
    }

    // Show Aspects toggles its mark and the drawing. Left clicks on a glyph and on an aspect cell of
    // the real view explain them; the right button does nothing, and the cell is dead while aspects
    // are hidden. The texts themselves are checked below.
    void showAspectsAndClicks()
    {
        const QImage without = m_view->grab().toImage();
        QVERIFY(!item(CmShowAspects)->isChecked());
        item(CmShowAspects)->trigger();
        QVERIFY(m_view->showAspects() && item(CmShowAspects)->isChecked());
        QVERIFY(m_view->grab().toImage() != without);
        const DerivedTables& tables = m_view->tables();
        const HitAreas& hits = m_view->hitAreas();
        QPoint cell(-1, -1);
        for (int i = 0; i < 12 && cell.x() < 0; ++i)
            for (int j = i + 1; j < 12 && cell.x() < 0; ++j)
                if (const IntRect& r = hits.aspectCells[i][j];
                    tables.aspectGrid[i][j] && r != IntRect{} && !insideAnyGlyph(hits, centre(r)))
                    cell = centre(r);
        QVERIFY2(cell.x() >= 0, "no aspect cell drawn");
        const QPoint glyph = centre(hits.bodyGlyphs[0]);
        const QStringList expected{*clickExplanation(tables, hits, true, glyph.x(), glyph.y()),
                                   *clickExplanation(tables, hits, true, cell.x(), cell.y())};
        QVERIFY(expected[0].endsWith(" degrees") && expected[1].contains(" between "));

        QTest::mouseClick(m_view, Qt::RightButton, {}, glyph);
        QTest::mouseClick(m_view, Qt::LeftButton, {}, glyph);
        QTest::mouseClick(m_view, Qt::LeftButton, {}, cell);
        item(CmShowAspects)->trigger();
        QVERIFY(!m_view->showAspects() && !item(CmShowAspects)->isChecked());
        QCOMPARE(m_view->grab().toImage(), without);
        QVERIFY(!insideAnyGlyph(m_view->hitAreas(), cell));
        QTest::mouseClick(m_view, Qt::LeftButton, {}, cell);
        QCOMPARE(m_messages->texts(), expected);
        QCOMPARE(m_messages->texts(&Shown::caption), QStringList(2, "Zodiara"));
    }

    // Sun's glyph at (10,10)-(20,20) over an aspect cell, Moon's overlapping its lower right corner; a
    // Trine cell of Moon and Sun, a Conjunction of Pluto and MidHeaven, an aspect on the angles' own
    // pair and a cell without an aspect.
    void explanationRules()
    {
        DerivedTables tables;
        HitAreas hits;
        tables.sortedBodies[0] = {{.longitude = 5.25}, Body::Sun};
        hits.bodyGlyphs[0] = {10, 10, 20, 20};
        tables.sortedBodies[1] = {{.longitude = 123.456}, Body::Moon};
        hits.bodyGlyphs[1] = {14, 17, 30, 30};
        using enum ChartPoint;
        const std::tuple<ChartPoint, ChartPoint, std::optional<Aspect>, IntRect> cells[] = {
            {Moon, Sun, Aspect::Trine, {100, 100, 110, 110}},
            {Pluto, MidHeaven, Aspect::Conjunction, {200, 200, 210, 210}},
            {Ascendant, MidHeaven, Aspect::Sextile, {300, 300, 310, 310}},
            {Mercury, Venus, Aspect::SemiSquare, {10, 10, 20, 20}},
            {Mars, Jupiter, std::nullopt, {400, 400, 410, 410}}};
        for (const auto& [first, second, aspect, rect] : cells) {
            tables.aspectGrid[index(first)][index(second)] = aspect;
            hits.aspectCells[index(first)][index(second)] = rect;
        }
        const QString sun = "Sun =  5.2500000 degrees";
        const std::tuple<int, bool, QString> cases[] = {
            {18, false, sun},                            // the earlier entry wins an overlap
            {25, false, "Moon = 123.4560000 degrees"},  // eleven characters, no pad
            {105, true, "Trine between Moon and Sun\nTrine occurs when 2 planets are aproximately 120 degrees apart."},
            {205, true, "Conjunction between Pluto and MidHeaven\n"
                        "Conjunction occurs when 2 planets are aproximately  0 degrees apart."},
            {305, true, ""},  // never for Ascendant and MidHeaven
            {405, true, ""},  // no aspect in the cell
            {15, true, sun},  // the glyph wins over the cell
        };
        for (const auto& [at, showAspects, expected] : cases)
            QCOMPARE(clickExplanation(tables, hits, showAspects, at, at).value_or(QString()), expected);
    }

    void porphyryMessageGivesMinutesAndHemisphere()
    {
        QCOMPARE(porphyryMessage({68, 5, South}),
                 "Placidus house cusps do not exist at 68°05'S at this time; the chart shows Porphyry cusps.");
    }

    // The window starts on the start-up chart with the classic ephemeris. Whether Save is offered and
    // the chart guarded afterwards is in the document rows.
    void precisePositionsRecomputeTheShownChart()
    {
        const BirthData data{.longitude = {49, 0, West}, .latitude = {24, 0, North}, .zone = 6,
                             .birthDate = {2024, 21, 3}, .localTime = {12, 30, 15, 0}};
        QVERIFY(!item(CmPrecisePositions)->isChecked() && sameBytes(m_view->chart(), computed(data)));
        const Chart precise = computed(data, Ephemeris::Precise);
        QVERIFY(std::abs(precise.bodies[0].longitude - m_view->chart().bodies[0].longitude) > 1e-4);
        item(CmPrecisePositions)->trigger();
        QVERIFY(item(CmPrecisePositions)->isChecked() && sameBytes(m_view->chart(), precise));
        // Later computations keep the choice.
        edit(CmModifyChartInfo, true);
        QVERIFY(sameBytes(m_view->chart(), precise));
        item(CmPrecisePositions)->trigger();
        QVERIFY(!item(CmPrecisePositions)->isChecked() && sameBytes(m_view->chart(), computed(data)));
    }

    // The real save dialog asks before replacing a file, and a bare name gets ".cht".
    void saveDialogAsksBeforeReplacing()
    {
        QString question;
        onNextModal<QFileDialog>([this, &question](QFileDialog* dialog) {
            dialog->setDirectory(m_dir->path());
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name);
            onNextModal<QMessageBox>([dialog, &question](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::No)->click();
                QTimer::singleShot(0, dialog, [dialog]() {
                    dialog->selectFile("fresh");
                    QMetaObject::invokeMethod(dialog, "accept");
                });
            });
            name->setText("ann.cht");
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString chosen = QtPlatformServices().saveChartFileName(m_view);
        QVERIFY2(question.contains("ann.cht"), qPrintable(question));
        QCOMPARE(QFileInfo(chosen).fileName(), "fresh.cht");
    }

    // Print takes the printer's own path, here into a PDF file; one in a missing folder is an unusable
    // printer. With "meddle" the view hides the aspects and switches ephemeris during page 1; the job
    // prints what was chosen.
    void printPagesFollowShowAspects_data()
    {
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<bool>("meddle");
        QTest::addColumn<int>("pages");  // -1: no file
        QTest::newRow("wheel only") << false << false << 1;
        QTest::newRow("wheel and aspects") << true << false << 2;
        QTest::newRow("changed while printing") << true << true << 2;
        QTest::newRow("unusable printer") << false << false << -1;
    }

    void printPagesFollowShowAspects()
    {
        QFETCH(bool, showAspects);
        QFETCH(bool, meddle);
        QFETCH(int, pages);
        if (showAspects)
            item(CmShowAspects)->trigger();
        const QString path = m_dir->filePath(pages < 0 ? "no/such/folder/x.pdf" : "print.pdf");
        m_view->printer()->setOutputFormat(QPrinter::PdfFormat);
        m_view->printer()->setOutputFileName(path);
        int drawn = 0;
        connect(m_view, &TMyMainWindow::printingPage, this, [&](int page) {
            if (++drawn == 1 && meddle) {
                m_view->command(CmShowAspects);
                m_view->command(CmPrecisePositions);
            }
            QCOMPARE(page, drawn);
        });
        const Chart before = m_view->chart();
        item(CmPrint)->trigger();

        QCOMPARE(pdfPageCount(path), pages);
        QCOMPARE(drawn, std::max(pages, 0));
        const qsizetype failed = pages < 0 ? 1 : 0;
        QCOMPARE(m_messages->texts(), QStringList(failed, "'Natal Chart for ' not printed. Printer error."));
        QCOMPARE(m_messages->texts(&Shown::caption), QStringList(failed, "Print Error"));
        // An empty name keeps its trailing space in the job title.
        QCOMPARE(m_view->printer()->docName(), "Natal Chart for ");
        QCOMPARE(sameBytes(m_view->chart(), before), !meddle);
    }

    void printoutKeepsItsOwnCopy()
    {
        Chart chart = m_view->chart();
        setChartText(chart.name, "Gil");
        const TChartOut printout(printJobTitle(chart), chart, m_view->tables(), true);
        const Chart kept = chart;
        setChartText(chart.name, "Hal");
        chart.bodies[0].longitude = 1.0;
        QCOMPARE(printout.title(), "Natal Chart for Gil");
        QVERIFY(sameBytes(printout.chart(), kept));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
