// The main window driven as a user would: menu, document commands and their prompts, the close
// query, Show Aspects, clicks on the chart, the precise ephemeris, help and about.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <filesystem>

#include "apptestsupport.h"
#include "chartedit.h"
#include "chartfile.h"
#include "clickinfo.h"
#include "commandids.h"
#include "compatibilitydialog.h"
#include "text1252.h"
#include "tframewindow.h"
#include "tmyaboutdialog.h"
#include "tmymainwindow.h"
#include "traitsdialog.h"
#include "tstatic256.h"

using namespace zodiara;
using namespace zodiara::test;

namespace {

// Every chart in these tests starts at the same instant, so no result depends on the clock.
const QDateTime Now(QDate(2024, 3, 21), QTime(12, 30, 15));

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString nameOf(const Chart& chart)
{
    return QString::fromStdString(chartText(chart.name));
}

bool sameBytes(const Chart& a, const Chart& b)
{
    return std::memcmp(&a, &b, sizeof(Chart)) == 0;
}

// The chart data dialog answers OK, after putting `name` (and `latitude` when given) in.
void acceptChartEdit(const QString& name, const QString& latitude = {})
{
    onNextModal<ChartEdit>([name, latitude](ChartEdit* dialog) {
        if (!name.isNull())
            dialog->findChild<QLineEdit*>(QStringLiteral("personName"))->setText(name);
        if (!latitude.isNull())
            dialog->findChild<QLineEdit*>(QStringLiteral("latitudeDegreesBox"))->setText(latitude);
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
}

void cancelChartEdit()
{
    onNextModal<ChartEdit>([](ChartEdit* dialog) { dialog->reject(); });
}

QPoint centre(const IntRect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool insideAnyGlyph(const DerivedTables& tables, QPoint p)
{
    for (const SortedBody& body : tables.sortedBodies)
        if (body.glyphRect.contains(p.x(), p.y()))
            return true;
    return false;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_goodFile;   // a chart of "Ann"
    QString m_badFile;    // ten bytes

    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<TFrameWindow> m_frame;
    TMyMainWindow* m_view = nullptr;

    void writeChart(const QString& path, const char* name)
    {
        Chart chart;
        chart.birthDate = {1980, 15, 6};
        chart.localTime = {8, 45, 0, 0};
        chart.zone = 0;
        chart.longitude = {0, 10, West};
        chart.latitude = {51, 30, North};
        setChartText(chart.name, name);
        DerivedTables tables;
        computeChart(chart, tables);
        QVERIFY(writeChartFile(fsPath(path), chart).empty());
    }

    QAction* item(int id) const { return m_view->action(id); }

private slots:
    void initTestCase()
    {
        installQuietHandler();
        QVERIFY(m_dir.isValid());
        m_goodFile = m_dir.filePath(QStringLiteral("ann.cht"));
        m_badFile = m_dir.filePath(QStringLiteral("bad.cht"));
        writeChart(m_goodFile, "Ann");
        QFile bad(m_badFile);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("0123456789");
    }

    void init()
    {
        m_messages = std::make_unique<FakeMessages>();
        m_platform = std::make_unique<FakePlatform>();
        m_view = new TMyMainWindow(*m_messages, *m_platform, m_dir.path(), Now);
        m_frame = std::make_unique<TFrameWindow>(m_view);
        m_frame->sizeToClient();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup()
    {
        m_frame.reset();
        m_view = nullptr;
    }

    void startsWithTheComputedStartUpChart()
    {
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Zodiara"));
        QVERIFY(!m_frame->windowIcon().isNull());
        QCOMPARE(m_view->size(), QSize(580, 420));
        QVERIFY(!m_view->chartPresent());
        QVERIFY(!m_view->saved());
        QVERIFY(!m_view->showAspects());
        QVERIFY(m_view->fileName().isEmpty());
        QVERIFY(!item(CmSave)->isEnabled());
        QVERIFY(item(CmShowAspects)->isCheckable() && !item(CmShowAspects)->isChecked());
        QVERIFY(item(CmPrecisePositions)->isCheckable() && !item(CmPrecisePositions)->isChecked());

        Chart expected;
        expected.birthDate = {2024, 21, 3};
        expected.localTime = {12, 30, 15, 0};
        expected.zone = 6;
        expected.longitude = {49, 0, West};
        expected.latitude = {24, 0, North};
        DerivedTables tables;
        computeChart(expected, tables);
        QVERIFY(sameBytes(m_view->chart(), expected));
        QCOMPARE(m_view->tables().aspectGrid[0][1].aspect, tables.aspectGrid[0][1].aspect);
    }

    void menuHasEveryCommand_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("File") << "&File"
                              << QStringList{"&Create New Chart ...", "&Open Chart ...", "&Save", "Save &As ...", "",
                                             "P&rinter Setup ...", "&Print", "", "E&xit"}
                              << QList<int>{1, 2, 7, 5, 0, 6, 8, 0, 4};
        QTest::newRow("Edit") << "&Edit" << QStringList{"&Modify Chart Info ..."} << QList<int>{3};
        QTest::newRow("View") << "&View" << QStringList{"Show &Aspects", "&Precise Positions"} << QList<int>{12, 13};
        QTest::newRow("Compatibility") << "&Compatibility" << QStringList{} << QList<int>{10};
        QTest::newRow("Traits") << "&Traits" << QStringList{} << QList<int>{9};
        QTest::newRow("Help") << "&Help" << QStringList{"&Help Topics", "&About"} << QList<int>{11, 903};
    }

    void menuHasEveryCommand()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        QFETCH(QList<int>, ids);

        QList<QAction*> top = m_frame->menuBar()->actions();
        QStringList titles;
        for (QAction* a : top)
            titles.append(a->text());
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Compatibility", "&Traits"}));
        QCOMPARE(m_frame->menuBar()->cornerWidget(Qt::TopRightCorner), m_frame->helpBar());
        top += m_frame->helpBar()->actions();

        QAction* entry = nullptr;
        for (QAction* a : top)
            if (a->text() == menu)
                entry = a;
        QVERIFY(entry);
        if (!entry->menu()) {  // a command directly on the bar
            QCOMPARE(entry->data().toInt(), ids.first());
            return;
        }
        QStringList texts;
        QList<int> found;
        for (QAction* a : entry->menu()->actions()) {
            texts.append(a->isSeparator() ? QString() : a->text());
            found.append(a->isSeparator() ? 0 : a->data().toInt());
        }
        QCOMPARE(texts, items);
        QCOMPARE(found, ids);
    }

    // Each row is a run of user steps and the state it must leave.
    void documentStates_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("file");  // "", "ann", "new"
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");  // first lines
        const QString discard = "Modifications have been made to this chart.  Continue without saving ?";

        QTest::newRow("open") << QStringList{"openGood"} << true << true << "ann" << "Ann" << QStringList{};
        QTest::newRow("open fails") << QStringList{"openBad"} << false << false << "" << "" << QStringList{"Error reading file"};
        QTest::newRow("open cancelled") << QStringList{"openCancel"} << false << false << "" << "" << QStringList{};
        QTest::newRow("open fails after open") << QStringList{"openGood", "openBad"} << true << true << "ann" << "Ann"
                                               << QStringList{"Error reading file"};
        QTest::newRow("save as start-up chart") << QStringList{"saveAsNew"} << true << false << "new" << "" << QStringList{};
        QTest::newRow("save as fails") << QStringList{"saveAsBad"} << false << false << "" << ""
                                       << QStringList{"Error writing file"};
        QTest::newRow("create") << QStringList{"createBea"} << false << true << "" << "Bea" << QStringList{};
        QTest::newRow("create cancelled") << QStringList{"openGood", "createCancel"} << true << true << "ann" << "Ann"
                                          << QStringList{};
        QTest::newRow("create forgets the file") << QStringList{"openGood", "createBea"} << false << true << "" << "Bea"
                                                 << QStringList{};
        QTest::newRow("modify keeps the file") << QStringList{"openGood", "modifyBea"} << false << true << "ann" << "Bea"
                                               << QStringList{};
        QTest::newRow("modify then save") << QStringList{"openGood", "modifyBea", "save"} << true << true << "ann"
                                          << "Bea" << QStringList{};
        QTest::newRow("modify then save as") << QStringList{"createBea", "saveAsNew"} << true << true << "new" << "Bea"
                                             << QStringList{};
        QTest::newRow("unchanged OK is a change") << QStringList{"openGood", "modifySame"} << false << true << "ann"
                                                  << "Ann" << QStringList{};
        QTest::newRow("No keeps the unsaved chart") << QStringList{"createBea", "no", "openGood"} << false << true << ""
                                                    << "Bea" << QStringList{discard};
        QTest::newRow("Yes opens over it") << QStringList{"createBea", "yes", "openGood"} << true << true << "ann"
                                           << "Ann" << QStringList{discard};
        QTest::newRow("Yes then cancel asks again")
            << QStringList{"createBea", "yes", "openCancel", "no", "openGood"} << false << true << "" << "Bea"
            << QStringList{discard, discard};
        QTest::newRow("No before editing") << QStringList{"createBea", "no", "modifyCarl"} << false << true << ""
                                           << "Bea" << QStringList{discard};
        QTest::newRow("saved chart is not guarded") << QStringList{"openGood", "openGood"} << true << true << "ann"
                                                    << "Ann" << QStringList{};
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
        const QString rowTag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
        const QString annFile = m_dir.filePath(QStringLiteral("ann-%1.cht").arg(rowTag));
        QFile::remove(annFile);
        QVERIFY(QFile::copy(m_goodFile, annFile));
        const QString newFile = m_dir.filePath(QStringLiteral("new-%1.cht").arg(QTest::currentDataTag()).replace(' ', '-'));
        QFile::remove(newFile);
        for (const QString& step : steps) {
            if (step == "openGood" || step == "openBad" || step == "openCancel") {
                m_platform->openPath = step == "openGood" ? annFile : step == "openBad" ? m_badFile : QString();
                m_view->command(CmOpenChart);
            } else if (step == "saveAsNew" || step == "saveAsBad") {
                m_platform->savePath = step == "saveAsNew" ? newFile : m_dir.filePath("missing/dir/x.cht");
                m_view->command(CmSaveAs);
            } else if (step == "save") {
                QVERIFY(item(CmSave)->isEnabled());
                item(CmSave)->trigger();
            } else if (step == "createBea") {
                acceptChartEdit("Bea");
                m_view->command(CmCreateNewChart);
            } else if (step == "createCancel") {
                cancelChartEdit();
                m_view->command(CmCreateNewChart);
            } else if (step == "modifyBea" || step == "modifyCarl") {
                acceptChartEdit(step.mid(6));
                m_view->command(CmModifyChartInfo);
            } else if (step == "modifySame") {
                acceptChartEdit(QString());
                m_view->command(CmModifyChartInfo);
            } else if (step == "no" || step == "yes") {
                m_messages->answers.append(step == "no" ? MessageService::Result::No : MessageService::Result::Yes);
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
        }
        // A dialog left open by a step that did not run would block the next row.
        QVERIFY(!QApplication::activeModalWidget());

        QCOMPARE(m_view->saved(), saved);
        QCOMPARE(m_view->chartPresent(), present);
        const QString expectedFile = file == "ann" ? annFile : file == "new" ? newFile : QString();
        QCOMPARE(m_view->fileName(), expectedFile);
        QCOMPARE(nameOf(m_view->chart()), name);
        QCOMPARE(item(CmSave)->isEnabled(), !saved && !expectedFile.isEmpty());
        QStringList firstLines;
        for (const QString& text : m_messages->texts())
            firstLines.append(text.section('\n', 0, 0));
        QCOMPARE(firstLines, messages);
        for (const Shown& shown : m_messages->shown) {
            const bool question = shown.text.startsWith("Modifications");
            QCOMPARE(shown.caption, question ? QStringLiteral("Modifications not saved.") : QStringLiteral("Zodiara"));
            QCOMPARE(shown.buttons, question ? MessageService::Buttons::YesNo : MessageService::Buttons::Ok);
            QCOMPARE(shown.ownerClass, QStringLiteral("zodiara::TMyMainWindow"));
        }
        // What Save or Save As reported as written is on disk.
        if (saved && !expectedFile.isEmpty()) {
            const ChartReadResult back = readChartFile(fsPath(expectedFile));
            QVERIFY2(back.chart, back.error.c_str());
            QVERIFY(sameBytes(*back.chart, m_view->chart()));
        }
    }

    void fileErrorsSayWhy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("reason");
        QTest::newRow("short file") << "open" << "Error reading file" << "not a chart file: 10 bytes";
        QTest::newRow("missing file") << "openMissing" << "Error reading file" << "No such file or directory";
        QTest::newRow("folder in the way") << "save" << "Error writing file" << "";
    }

    void fileErrorsSayWhy()
    {
        QFETCH(QString, command);
        QFETCH(QString, firstLine);
        QFETCH(QString, reason);
        QString path;
        if (command == "open" || command == "openMissing") {
            path = command == "open" ? m_badFile : m_dir.filePath("vanished.cht");
            m_platform->openPath = path;
            m_view->command(CmOpenChart);
        } else {
            // Open a copy, edit it, then put a folder where the file was: the save must fail,
            // say why, and leave the edit guarded.
            path = m_dir.filePath("replaced.cht");
            QFile::remove(path);
            QVERIFY(QFile::copy(m_goodFile, path));
            m_platform->openPath = path;
            m_view->command(CmOpenChart);
            acceptChartEdit("Dora");
            m_view->command(CmModifyChartInfo);
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir(m_dir.path()).mkpath("replaced.cht/inside"));
            m_view->command(CmSave);
            QVERIFY(!m_view->saved());
            QCOMPARE(m_view->fileName(), path);
            QVERIFY(item(CmSave)->isEnabled());
        }
        QCOMPARE(m_messages->shown.size(), 1);
        const QStringList lines = m_messages->shown.first().text.split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], firstLine);
        QVERIFY2(lines[1].startsWith(QDir::toNativeSeparators(path) + ": "), qPrintable(lines[1]));
        QVERIFY2(lines[1].size() > path.size() + 4, qPrintable(lines[1]));
        if (!reason.isEmpty())
            QVERIFY2(lines[1].contains(reason), qPrintable(lines[1]));
        QVERIFY(lines[1].endsWith('.'));
    }

    void closeQuery_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<bool>("viaExit");
        QTest::addColumn<int>("answer");  // 0 none queued (Yes), 1 No
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("prompts");
        QTest::newRow("exit, nothing to lose") << false << true << 0 << true << 0;
        QTest::newRow("frame, nothing to lose") << false << false << 0 << true << 0;
        QTest::newRow("exit, unsaved, Yes") << true << true << 0 << true << 1;
        QTest::newRow("exit, unsaved, No") << true << true << 1 << false << 1;
        QTest::newRow("frame, unsaved, Yes") << true << false << 0 << true << 1;
        QTest::newRow("frame, unsaved, No") << true << false << 1 << false << 1;
    }

    void closeQuery()
    {
        QFETCH(bool, unsaved);
        QFETCH(bool, viaExit);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, prompts);
        if (unsaved) {
            acceptChartEdit("Eve");
            m_view->command(CmCreateNewChart);
        }
        const Chart before = m_view->chart();
        if (answer == 1)
            m_messages->answers.append(MessageService::Result::No);
        if (viaExit)
            item(CmExit)->trigger();
        else
            m_frame->close();
        QCOMPARE(m_frame->isVisible(), !closes);
        QCOMPARE(m_messages->shown.size(), prompts);
        for (const Shown& shown : m_messages->shown) {
            QCOMPARE(shown.text, QStringLiteral("Modifications have been made to this chart.  Quit without saving ?"));
            QCOMPARE(shown.caption, QStringLiteral("Modifications not saved."));
            QCOMPARE(shown.buttons, MessageService::Buttons::YesNo);
        }
        QVERIFY(sameBytes(m_view->chart(), before));
    }

    void showAspectsTogglesMarkAndTable()
    {
        const QImage without = m_view->grab().toImage();
        QCOMPARE(m_view->tables().aspectGrid[0][1].cell, IntRect{});
        item(CmShowAspects)->trigger();
        QVERIFY(m_view->showAspects());
        QVERIFY(item(CmShowAspects)->isChecked());
        const QImage with = m_view->grab().toImage();
        QVERIFY(with != without);
        // The table is at the origin: the top-left corner is no longer blank.
        bool inkNearOrigin = false;
        for (int y = 0; y < 60 && !inkNearOrigin; ++y)
            for (int x = 0; x < 60 && !inkNearOrigin; ++x)
                inkNearOrigin = with.pixelColor(x, y) != QColor(Qt::white) && without.pixelColor(x, y) == QColor(Qt::white);
        QVERIFY(inkNearOrigin);
        item(CmShowAspects)->trigger();
        QVERIFY(!m_view->showAspects());
        QVERIFY(!item(CmShowAspects)->isChecked());
        QCOMPARE(m_view->grab().toImage(), without);
    }

    void resizeRedrawsTheWheel()
    {
        m_view->grab();
        const IntRect small = m_view->tables().sortedBodies[0].glyphRect;
        m_frame->resize(m_frame->width() + 300, m_frame->height() + 200);
        QTRY_VERIFY(m_view->width() > 800);
        m_view->grab();
        QVERIFY(m_view->tables().sortedBodies[0].glyphRect != small);
    }

    void clickOnBodyGlyphTellsItsLongitude_data()
    {
        QTest::addColumn<int>("slot");
        for (int slot = 0; slot < 10; ++slot)
            QTest::newRow(qPrintable(QString::number(slot))) << slot;
    }

    void clickOnBodyGlyphTellsItsLongitude()
    {
        QFETCH(int, slot);
        m_view->grab();
        const SortedBody entry = m_view->tables().sortedBodies[slot];
        // The first entry whose rectangle holds the point wins; pick a point only this one has.
        QPoint at = centre(entry.glyphRect);
        for (int earlier = 0; earlier < slot; ++earlier)
            if (m_view->tables().sortedBodies[earlier].glyphRect.contains(at.x(), at.y()))
                QSKIP("glyph overlaps an earlier one at its centre");
        QTest::mouseClick(m_view, Qt::LeftButton, {}, at);
        QCOMPARE(m_messages->shown.size(), 1);
        const QString expected =
            QStringLiteral("%1 = %2 degrees")
                .arg(QString::fromLatin1(BodyNames[entry.body].data()))
                .arg(entry.position.longitude, 10, 'f', 7);
        QCOMPARE(m_messages->shown[0].text, expected);
        QCOMPARE(m_messages->shown[0].caption, QStringLiteral("Zodiara"));
        QCOMPARE(m_messages->shown[0].buttons, MessageService::Buttons::Ok);
        // The right mouse button explains nothing.
        QTest::mouseClick(m_view, Qt::RightButton, {}, at);
        QCOMPARE(m_messages->shown.size(), 1);
    }

    void clickOnAspectCellOnlyWhileShown()
    {
        item(CmShowAspects)->trigger();
        m_view->grab();
        int row = -1, column = -1;
        QPoint at;
        for (int i = 0; i < 12 && row < 0; ++i)
            for (int j = i + 1; j < 12 && row < 0; ++j) {
                const AspectEntry& cell = m_view->tables().aspectGrid[i][j];
                if (cell.aspect >= 0 && cell.cell != IntRect{} && !insideAnyGlyph(m_view->tables(), centre(cell.cell))) {
                    row = i;
                    column = j;
                    at = centre(cell.cell);
                }
            }
        QVERIFY2(row >= 0, "no aspect cell drawn");
        const int aspect = m_view->tables().aspectGrid[row][column].aspect;
        QTest::mouseClick(m_view, Qt::LeftButton, {}, at);
        QCOMPARE(m_messages->shown.size(), 1);
        const QString name = QString::fromLatin1(AspectNames[aspect].data());
        const QString expected = QStringLiteral("%1 between %2 and %3\n%1 occurs when 2 planets are aproximately %4 degrees apart.")
                                     .arg(name, QString::fromLatin1(ChartPointNames[row].data()),
                                          QString::fromLatin1(ChartPointNames[column].data()))
                                     .arg(AspectAngles[aspect], 2, 'f', 0);
        QCOMPARE(m_messages->shown[0].text, expected);

        // Hidden, the same place is not a hit although the cell keeps its rectangle.
        item(CmShowAspects)->trigger();
        m_view->grab();
        QVERIFY(m_view->tables().aspectGrid[row][column].cell != IntRect{});
        if (insideAnyGlyph(m_view->tables(), at))
            QSKIP("the wheel now covers the cell");
        QTest::mouseClick(m_view, Qt::LeftButton, {}, at);
        QCOMPARE(m_messages->shown.size(), 1);
    }

    void explanationRules_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<QString>("expected");
        // Sun's glyph at (10,10)-(20,20), Moon's overlapping its lower right corner; a Trine cell of Moon
        // and Sun, a Conjunction of Pluto and MidHeaven, and an aspect on the angles' own pair.
        QTest::newRow("top-left corner is inside") << QPoint(10, 10) << false << "Sun =  5.2500000 degrees";
        QTest::newRow("right edge is outside") << QPoint(20, 15) << false << "";
        QTest::newRow("bottom edge is outside") << QPoint(11, 20) << false << "";
        QTest::newRow("earlier entry wins overlap") << QPoint(18, 18) << false << "Sun =  5.2500000 degrees";
        QTest::newRow("eleven characters, no pad") << QPoint(25, 25) << false << "Moon = 123.4560000 degrees";
        QTest::newRow("cell while hidden") << QPoint(105, 105) << false << "";
        QTest::newRow("trine") << QPoint(105, 105) << true
                               << "Trine between Moon and Sun\nTrine occurs when 2 planets are aproximately 120 degrees apart.";
        QTest::newRow("conjunction with MidHeaven") << QPoint(205, 205) << true
                                                    << "Conjunction between Pluto and MidHeaven\nConjunction occurs "
                                                       "when 2 planets are aproximately  0 degrees apart.";
        QTest::newRow("Ascendant-MidHeaven pair never") << QPoint(305, 305) << true << "";
        QTest::newRow("glyph wins over cell") << QPoint(15, 15) << true << "Sun =  5.2500000 degrees";
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
        tables.aspectGrid[2][3] = {-1, {10, 10, 20, 20}};
        const std::optional<QString> text = clickExplanation(tables, showAspects, click.x(), click.y());
        QCOMPARE(text.value_or(QString()), expected);
    }

    void polarChartSaysPorphyry_data()
    {
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<bool>("porphyry");
        QTest::newRow("24N") << "24" << false;
        QTest::newRow("89N") << "89" << true;
    }

    void polarChartSaysPorphyry()
    {
        QFETCH(QString, latitude);
        QFETCH(bool, porphyry);
        acceptChartEdit("Polar", latitude);
        m_view->command(CmCreateNewChart);
        QCOMPARE(m_view->chart().latitude.degrees, latitude.toInt());
        QCOMPARE(m_messages->texts(),
                 porphyry ? QStringList{QStringLiteral("Placidus house cusps do not exist at %1°N at this time; the "
                                                       "chart shows Porphyry cusps.")
                                            .arg(latitude)}
                          : QStringList{});
        // The drawing is the ordinary one.
        QVERIFY(!m_view->grab().isNull());
    }

    void porphyryMessageNamesTheLatitude()
    {
        QCOMPARE(porphyryMessage({70, 0, North}),
                 QStringLiteral("Placidus house cusps do not exist at 70°N at this time; the chart shows Porphyry cusps."));
        QCOMPARE(porphyryMessage({68, 5, South}),
                 QStringLiteral("Placidus house cusps do not exist at 68°05'S at this time; the chart shows Porphyry cusps."));
    }

    void precisePositionsRecomputeTheShownChart_data()
    {
        QTest::addColumn<bool>("withChart");
        QTest::addColumn<bool>("savedStartUp");
        QTest::newRow("start-up chart") << false << false;
        QTest::newRow("start-up chart saved as a file") << false << true;
        QTest::newRow("opened chart") << true << false;
    }

    void precisePositionsRecomputeTheShownChart()
    {
        QFETCH(bool, withChart);
        QFETCH(bool, savedStartUp);
        if (withChart) {
            m_platform->openPath = m_goodFile;
            m_view->command(CmOpenChart);
        }
        if (savedStartUp) {
            m_platform->savePath = m_dir.filePath("start-up.cht");
            m_view->command(CmSaveAs);
            QVERIFY(m_view->saved());
        }
        const Chart before = m_view->chart();

        item(CmPrecisePositions)->trigger();
        QVERIFY(item(CmPrecisePositions)->isChecked());
        QCOMPARE(m_view->ephemeris(), Ephemeris::Precise);
        Chart precise;
        setBirthData(precise, birthDataOf(before));
        DerivedTables tables;
        computeChart(precise, tables, Ephemeris::Precise);
        QVERIFY(sameBytes(m_view->chart(), precise));
        QVERIFY(std::abs(precise.bodies[0].longitude - before.bodies[0].longitude) > 1e-4);
        QCOMPARE(m_view->chartPresent(), withChart);
        QVERIFY(!m_view->saved());
        // The file no longer holds what is shown.
        QCOMPARE(item(CmSave)->isEnabled(), withChart || savedStartUp);
        QVERIFY(m_messages->shown.isEmpty());
        // The recomputed chart is guarded like an edited one.
        m_messages->answers = {MessageService::Result::No};
        QCOMPARE(m_view->QueryClose(), !withChart);
        QCOMPARE(m_messages->shown.size(), withChart ? 1 : 0);
        m_messages->answers.clear();

        // Later computations keep the choice.
        acceptChartEdit(QString());
        m_view->command(CmModifyChartInfo);
        QVERIFY(sameBytes(m_view->chart(), precise));

        item(CmPrecisePositions)->trigger();
        QVERIFY(!item(CmPrecisePositions)->isChecked());
        Chart classic;
        setBirthData(classic, birthDataOf(before));
        computeChart(classic, tables, Ephemeris::Classic);
        QVERIFY(sameBytes(m_view->chart(), classic));
    }

    void fileDialogsFilterAndSuffix()
    {
        QFileDialog open;
        configureOpenDialog(open);
        QFileDialog save;
        configureSaveDialog(save);
        for (QFileDialog* dialog : {&open, &save}) {
            QCOMPARE(dialog->nameFilters(), QStringList{"Chart Data Files (*.cht)"});
            QCOMPARE(dialog->defaultSuffix(), QStringLiteral("cht"));
        }
        QCOMPARE(open.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(open.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
    }

    // The real save dialog asks before replacing a file, and a bare name gets ".cht".
    void saveDialogAsksBeforeReplacing()
    {
        QString question;
        onNextModal<QFileDialog>([this, &question](QFileDialog* dialog) {
            dialog->setDirectory(m_dir.path());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            onNextModal<QMessageBox>([dialog, &question](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::No)->click();
                QTimer::singleShot(0, dialog, [dialog]() {
                    dialog->selectFile(QStringLiteral("fresh"));
                    QMetaObject::invokeMethod(dialog, "accept");
                });
            });
            name->setText(QStringLiteral("ann.cht"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QtPlatformServices services;
        const QString chosen = services.saveChartFileName(m_view);
        QVERIFY2(question.contains(QStringLiteral("ann.cht")), qPrintable(question));
        QCOMPARE(QFileInfo(chosen).fileName(), QStringLiteral("fresh.cht"));
    }

    void helpOpensTheGuideBesideTheProgram()
    {
        item(CmHelpTopics)->trigger();
        QCOMPARE(m_platform->opened, QList<QUrl>{QUrl::fromLocalFile(QDir(m_dir.path()).filePath("zodiara.html"))});
        QVERIFY(m_messages->shown.isEmpty());
    }

    void aboutBoxShowsPictureVersionAndNotice()
    {
        bool seen = false;
        onNextModal<TMyAboutDialog>([&seen](TMyAboutDialog* dialog) {
            seen = true;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Zodiara"));
            auto* picture = dialog->findChild<TStatic256*>(QStringLiteral("aboutPicture"));
            QVERIFY(picture && picture->hasPicture());
            QCOMPARE(picture->size(), QSize(96, 66));
            QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("versionText"))->text(), QStringLiteral("Zodiara V1.1"));
            QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("noticeText"))->text().contains("AGPL"));
            dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        });
        item(CmAbout)->trigger();
        QVERIFY(seen);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void loreBoxesLeaveTheChartAlone()
    {
        const Chart before = m_view->chart();
        int opened = 0;
        onNextModal<TraitsDialog>([&opened, this](TraitsDialog* dialog) {
            opened += dialog->parentWidget() == m_view;
            dialog->reject();
        });
        item(CmTraits)->trigger();
        onNextModal<CompatibilityDialog>([&opened, this](CompatibilityDialog* dialog) {
            opened += dialog->parentWidget() == m_view;
            dialog->reject();
        });
        item(CmCompatibility)->trigger();
        QCOMPARE(opened, 2);
        QVERIFY(sameBytes(m_view->chart(), before));
        QVERIFY(!m_view->chartPresent());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
