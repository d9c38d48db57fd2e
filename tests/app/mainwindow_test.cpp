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
#include <cstring>
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
const QString Discard = "Modifications have been made to this chart.  Continue without saving ?";

std::filesystem::path fsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool sameBytes(const Chart& a, const Chart& b) { return std::memcmp(&a, &b, sizeof(Chart)) == 0; }

Chart computed(const BirthData& data, Ephemeris ephemeris = Ephemeris::Classic)
{
    Chart chart;
    setBirthData(chart, data);
    DerivedTables tables;
    computeChart(chart, tables, ephemeris);
    return chart;
}

QPoint centre(const IntRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool insideAnyGlyph(const DerivedTables& tables, QPoint p)
{
    return std::ranges::any_of(tables.sortedBodies,
                               [p](const SortedBody& b) { return b.glyphRect.contains(p.x(), p.y()); });
}

int pdfPageCount(const QString& path)
{
    QFile file(path);
    // Page objects, not the page tree ("/Type /Pages").
    static const QRegularExpression page("/Type\\s*/Page(?![a-zA-Z])");
    return file.open(QIODevice::ReadOnly) ? int(QString::fromLatin1(file.readAll()).count(page)) : -1;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_goodFile;  // a chart of "Ann"
    QString m_badFile;   // ten bytes
    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<TFrameWindow> m_frame;
    TMyMainWindow* m_view = nullptr;

    QAction* item(int id) const { return m_view->action(id); }
    // Runs a command whose chart data dialog, if it comes, answers OK after taking `name` and
    // `latitude` where given, or Cancel; a dialog that never came is no longer awaited.
    void edit(int command, bool ok, const QString& name = {}, const QString& latitude = {})
    {
        const auto answer = onNextModal<ChartEdit>([=](ChartEdit* dialog) {
            if (!name.isNull())
                dialog->findChild<QLineEdit*>("personName")->setText(name);
            if (!latitude.isNull())
                dialog->findChild<QLineEdit*>("latitudeDegreesBox")->setText(latitude);
            ok ? dialog->findChild<QPushButton*>("okButton")->click() : dialog->reject();
        });
        m_view->command(command);
        *answer = nullptr;
    }

private slots:
    void initTestCase()
    {
        installQuietHandler();
        QVERIFY(m_dir.isValid());
        m_goodFile = m_dir.filePath("ann.cht");
        m_badFile = m_dir.filePath("bad.cht");
        const Chart ann = computed({.longitude = {0, 10, West}, .latitude = {51, 30, North}, .name = "Ann",
                                    .birthDate = {1980, 15, 6}, .localTime = {8, 45, 0, 0}});
        QVERIFY(writeChartFile(fsPath(m_goodFile), ann).empty());
        QFile bad(m_badFile);
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("0123456789") == 10);
    }

    void init()
    {
        m_messages = std::make_unique<FakeMessages>();
        m_platform = std::make_unique<FakePlatform>();
        m_view = new TMyMainWindow(*m_messages, *m_platform, m_dir.path(), Now);
        m_frame = std::make_unique<TFrameWindow>(m_view);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() { m_frame.reset(); }

    void startsWithTheStartUpChart()
    {
        QVERIFY(sameBytes(m_view->chart(), computed({.longitude = {49, 0, West}, .latitude = {24, 0, North}, .zone = 6,
                                                      .birthDate = {2024, 21, 3}, .localTime = {12, 30, 15, 0}})));
        QVERIFY(!item(CmShowAspects)->isChecked() && !item(CmPrecisePositions)->isChecked());
    }

    // Each row is a run of user steps and the state it must leave: saved, chart present, the file
    // ("", "ann" or "new") and the chart's name. "shown"/"closed" check the frame after Exit or its
    // close. Boxes: a question exactly, an error as its start, %name standing for a path.
    void documentStates_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* tag, const char* steps, bool saved, bool present, const char* file,
                            const char* name, const QStringList& messages = {}) {
            QTest::newRow(tag) << QString(steps).split(' ') << saved << present << QString(file) << QString(name)
                               << messages;
        };
        const QString notChart = "Error reading file\n%bad: not a chart file: 10 bytes";
        const QString quit = "Modifications have been made to this chart.  Quit without saving ?";
        row("start", "", false, false, "", "");
        row("open", "openGood", true, true, "ann", "Ann");
        row("open fails", "openBad", false, false, "", "", {notChart});
        row("open of a missing file", "openMissing", false, false, "", "",
            {"Error reading file\n%missing: cannot open it"});
        row("failed open keeps the chart", "openGood openBad", true, true, "ann", "Ann", {notChart});
        row("save as start-up chart", "saveAsNew", true, false, "new", "");
        row("save as fails", "saveAsBad", false, false, "", "", {"Error writing file\n%nodir: "});
        row("failed save stays unsaved", "openGood modifyBea blockAnn save", false, true, "ann", "Bea",
            {"Error writing file\n%ann: "});
        row("create", "createBea", false, true, "", "Bea");
        row("create cancelled", "openGood createCancel", true, true, "ann", "Ann");
        row("create forgets the file", "openGood createBea", false, true, "", "Bea");
        row("modify keeps the file", "openGood modifyBea", false, true, "ann", "Bea");
        row("modify then save", "openGood modifyBea save", true, true, "ann", "Bea");
        row("unchanged OK is a change", "openGood modifySame", false, true, "ann", "Ann");
        row("No keeps the unsaved chart", "createBea no openGood", false, true, "", "Bea", {Discard});
        row("No before editing", "createBea no modifyCarl", false, true, "", "Bea", {Discard});
        row("Yes opens over it", "createBea yes openGood", true, true, "ann", "Ann", {Discard});
        row("Yes then cancel asks again", "createBea yes openCancel no openGood", false, true, "", "Bea",
            {Discard, Discard});
        row("saved chart is not guarded", "openGood openGood exit closed", true, true, "ann", "Ann");
        row("start-up chart is not guarded", "close closed", false, false, "", "");
        row("exit, Yes", "createBea exit closed", false, true, "", "Bea", {quit});
        row("exit, No", "createBea no exit shown", false, true, "", "Bea", {quit});
        row("frame close, Yes", "createBea close closed", false, true, "", "Bea", {quit});
        row("frame close, No", "createBea no close shown", false, true, "", "Bea", {quit});
        row("precise start-up chart", "precise exit closed", false, false, "", "");
        row("precise after save as", "saveAsNew precise", false, false, "new", "");
        row("precise opened chart", "openGood precise no exit shown", false, true, "ann", "Ann", {quit});
    }

    void documentStates()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, saved);
        QFETCH(bool, present);
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);

        // Rows write into their own copy of Ann's file.
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
        const QHash<QString, QString> paths{{"%ann", m_dir.filePath("ann-" + tag + ".cht")},
                                            {"%new", m_dir.filePath("new-" + tag + ".cht")},
                                            {"%bad", m_badFile},
                                            {"%missing", m_dir.filePath("missing.cht")},
                                            {"%nodir", m_dir.filePath("missing/x.cht")}};
        QVERIFY(QFile::copy(m_goodFile, paths["%ann"]));
        for (const QString& step : steps) {
            if (step.startsWith("open")) {
                m_platform->openPath = paths.value(step == "openGood" ? "%ann" : "%" + step.mid(4).toLower());
                m_view->command(CmOpenChart);
            } else if (step.startsWith("saveAs")) {
                m_platform->savePath = paths[step == "saveAsNew" ? "%new" : "%nodir"];
                m_view->command(CmSaveAs);
            } else if (step == "save") {
                QVERIFY(item(CmSave)->isEnabled());
                item(CmSave)->trigger();
            } else if (step.startsWith("create") || step.startsWith("modify")) {
                const QString who = step.mid(6);  // "Cancel", "Same" or a name
                edit(step.startsWith("create") ? CmCreateNewChart : CmModifyChartInfo, who != "Cancel",
                     who == "Same" ? QString() : who);
            } else if (step == "blockAnn") {  // a folder where the file was
                QVERIFY(QFile::remove(paths["%ann"]) && QDir().mkpath(paths["%ann"] + "/inside"));
            } else if (step == "no" || step == "yes") {
                m_messages->answers.append(step == "no" ? Result::No : Result::Yes);
            } else if (step == "close") {
                m_frame->close();
            } else if (step == "exit" || step == "precise") {
                item(step == "exit" ? CmExit : CmPrecisePositions)->trigger();
            } else if (step == "shown" || step == "closed") {
                QCOMPARE(m_frame->isVisible(), step == "shown");
            } else {
                QVERIFY2(step.isEmpty(), qPrintable(step));
            }
        }
        QVERIFY(!QApplication::activeModalWidget());

        QCOMPARE(m_view->saved(), saved);
        QCOMPARE(m_view->chartPresent(), present);
        QCOMPARE(m_view->fileName(), paths.value("%" + file));
        QCOMPARE(QString::fromStdString(chartText(m_view->chart().name)), name);
        QCOMPARE(item(CmSave)->isEnabled(), !saved && !file.isEmpty());
        QCOMPARE(m_messages->shown.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            const Shown& shown = m_messages->shown[i];
            QString expected = messages[i];
            for (auto p = paths.begin(); p != paths.end(); ++p)
                expected.replace(p.key(), p.value());
            const bool question = shown.buttons == MessageService::Buttons::YesNo;
            QCOMPARE(shown.caption, question ? "Modifications not saved." : "Zodiara");
            QCOMPARE(shown.ownerClass, "zodiara::TMyMainWindow");
            if (question)
                QCOMPARE(shown.text, expected);
            else  // the reason follows on the second line
                QVERIFY2(shown.text.startsWith(expected) && shown.text.size() > expected.size() + 1 &&
                             shown.text.count('\n') == 1 && shown.text.endsWith('.'),
                         qPrintable(shown.text));
        }
        // What Save or Save As reported as written is on disk.
        if (saved && !file.isEmpty()) {
            const ChartReadResult back = readChartFile(fsPath(paths["%" + file]));
            QVERIFY2(back.chart, back.error.c_str());
            QVERIFY(sameBytes(*back.chart, m_view->chart()));
        }
    }

    void showAspectsTogglesMarkAndDrawing()
    {
        const QImage without = m_view->grab().toImage();
        item(CmShowAspects)->trigger();
        QVERIFY(m_view->showAspects() && item(CmShowAspects)->isChecked());
        QVERIFY(m_view->grab().toImage() != without);
        item(CmShowAspects)->trigger();
        QVERIFY(!m_view->showAspects() && !item(CmShowAspects)->isChecked());
        QCOMPARE(m_view->grab().toImage(), without);
    }

    // Left clicks on a glyph and on an aspect cell of the real view explain them; the right button
    // does nothing, and the cell is dead while aspects are hidden. The texts are checked below.
    void clicksOnTheView()
    {
        item(CmShowAspects)->trigger();
        m_view->grab();
        const DerivedTables& tables = m_view->tables();
        QPoint cell(-1, -1);
        for (int i = 0; i < 12 && cell.x() < 0; ++i)
            for (int j = i + 1; j < 12 && cell.x() < 0; ++j)
                if (const AspectEntry& e = tables.aspectGrid[i][j];
                    e.aspect >= 0 && e.cell != IntRect{} && !insideAnyGlyph(tables, centre(e.cell)))
                    cell = centre(e.cell);
        QVERIFY2(cell.x() >= 0, "no aspect cell drawn");
        const QPoint glyph = centre(tables.sortedBodies[0].glyphRect);
        const QStringList expected{*clickExplanation(tables, true, glyph.x(), glyph.y()),
                                   *clickExplanation(tables, true, cell.x(), cell.y())};
        QVERIFY(expected[0].endsWith(" degrees") && expected[1].contains(" between "));

        QTest::mouseClick(m_view, Qt::RightButton, {}, glyph);
        QTest::mouseClick(m_view, Qt::LeftButton, {}, glyph);
        QTest::mouseClick(m_view, Qt::LeftButton, {}, cell);
        item(CmShowAspects)->trigger();
        m_view->grab();
        QVERIFY(!insideAnyGlyph(tables, cell));
        QTest::mouseClick(m_view, Qt::LeftButton, {}, cell);
        QCOMPARE(m_messages->texts(), expected);
        QCOMPARE(m_messages->shown[0].caption, "Zodiara");
    }

    void explanationRules_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<QString>("expected");
        // Sun's glyph at (10,10)-(20,20) over an aspect cell, Moon's overlapping its lower right corner; a
        // Trine cell of Moon and Sun, a Conjunction of Pluto and MidHeaven, an aspect on the angles' own
        // pair and a cell without an aspect.
        const QString sun = "Sun =  5.2500000 degrees";
        QTest::newRow("earlier entry wins overlap") << QPoint(18, 18) << false << sun;
        QTest::newRow("eleven characters, no pad") << QPoint(25, 25) << false << "Moon = 123.4560000 degrees";
        QTest::newRow("cell while hidden") << QPoint(105, 105) << false << "";
        QTest::newRow("trine") << QPoint(105, 105) << true
                               << "Trine between Moon and Sun\nTrine occurs when 2 planets are aproximately 120 degrees apart.";
        QTest::newRow("conjunction with MidHeaven") << QPoint(205, 205) << true
                                                    << "Conjunction between Pluto and MidHeaven\nConjunction occurs "
                                                       "when 2 planets are aproximately  0 degrees apart.";
        QTest::newRow("Ascendant-MidHeaven pair never") << QPoint(305, 305) << true << "";
        QTest::newRow("cell without an aspect") << QPoint(405, 405) << true << "";
        QTest::newRow("glyph wins over cell") << QPoint(15, 15) << true << sun;
    }

    void explanationRules()
    {
        QFETCH(QPoint, click);
        QFETCH(bool, showAspects);
        QFETCH(QString, expected);
        DerivedTables tables;
        tables.sortedBodies[0].body = 1;
        tables.sortedBodies[0].position.longitude = 5.25;
        tables.sortedBodies[0].glyphRect = {10, 10, 20, 20};
        tables.sortedBodies[1].body = 0;
        tables.sortedBodies[1].position.longitude = 123.456;
        tables.sortedBodies[1].glyphRect = {14, 17, 30, 30};
        tables.aspectGrid[0][1] = {7, {100, 100, 110, 110}};
        tables.aspectGrid[9][11] = {0, {200, 200, 210, 210}};
        tables.aspectGrid[10][11] = {4, {300, 300, 310, 310}};
        tables.aspectGrid[2][3] = {3, {10, 10, 20, 20}};
        tables.aspectGrid[4][5] = {-1, {400, 400, 410, 410}};
        QCOMPARE(clickExplanation(tables, showAspects, click.x(), click.y()).value_or(QString()), expected);
    }

    // Ordinary latitudes show no box: the document rows above would see it.
    void polarChartSaysPorphyry()
    {
        edit(CmCreateNewChart, true, "Polar", "89");
        QCOMPARE(m_view->chart().latitude.degrees, 89);
        QCOMPARE(m_messages->texts(),
                 QStringList{"Placidus house cusps do not exist at 89°N at this time; the chart shows Porphyry cusps."});
        QCOMPARE(porphyryMessage({68, 5, South}),
                 "Placidus house cusps do not exist at 68°05'S at this time; the chart shows Porphyry cusps.");
    }

    // Whether Save is offered and the chart guarded afterwards is in the document rows.
    void precisePositionsRecomputeTheShownChart()
    {
        const BirthData data = birthDataOf(m_view->chart());
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
            dialog->setDirectory(m_dir.path());
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

    // Print takes the printer's own path, here into a PDF file. In "changed while printing" the view
    // hides the aspects and switches ephemeris during page 1; the job prints what was chosen.
    void printPagesFollowShowAspects_data()
    {
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<bool>("meddle");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("pages");  // -1: no file
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("wheel only") << false << false << "." << 1 << QStringList{};
        QTest::newRow("wheel and aspects") << true << false << "." << 2 << QStringList{};
        QTest::newRow("changed while printing") << true << true << "." << 2 << QStringList{};
        QTest::newRow("unusable printer") << false << false << "no/such/folder" << -1
                                          << QStringList{"'Natal Chart for ' not printed. Printer error."};
    }

    void printPagesFollowShowAspects()
    {
        QFETCH(bool, showAspects);
        QFETCH(bool, meddle);
        QFETCH(QString, folder);
        QFETCH(int, pages);
        QFETCH(QStringList, messages);
        if (showAspects)
            item(CmShowAspects)->trigger();
        const QString path = m_dir.filePath(folder + "/" + QTest::currentDataTag() + ".pdf");
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
        QCOMPARE(m_messages->texts(), messages);
        if (!messages.isEmpty())
            QCOMPARE(m_messages->shown[0].caption, "Print Error");
        // An empty name keeps its trailing space in the job title.
        QCOMPARE(m_view->printer()->docName(), "Natal Chart for ");
        QCOMPARE(sameBytes(m_view->chart(), before), !meddle);
    }

    void printoutKeepsItsOwnCopy()
    {
        Chart chart = m_view->chart();
        setChartText(chart.name, "Gil");
        TChartOut printout(printJobTitle(chart), chart, m_view->tables(), true);
        setChartText(chart.name, "Hal");
        chart.bodies[0].longitude = 1.0;
        QCOMPARE(printout.title(), "Natal Chart for Gil");
        QCOMPARE(QString::fromStdString(chartText(printout.chart().name)), "Gil");
        QVERIFY(printout.chart().bodies[0].longitude != 1.0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
