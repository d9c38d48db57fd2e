// The main window driven as a user would: the questions before Open, editing and closing, the
// boxes the commands show, Show Aspects and clicks on the chart, printing and the save dialog.
// What the commands do to the document is the document test's table.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>

#include "app/aboutdialog.h"
#include "entry/chartedit.h"
#include "chart/chartfile.h"
#include "app/chartview.h"
#include "app/clickinfo.h"
#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "recordingmessages.h"
#include "ui/textconversion.h"

using namespace zodiara;
using namespace zodiara::test;
using Result = MessageService::Result;

namespace {

const QString Discard = "Modifications have been made to this chart.  Continue without saving ?";
const QString Quit = "Modifications have been made to this chart.  Quit without saving ?";
constexpr Result No = Result::No;

// One thing the user does, and the boxes it must bring: the question, answered, then any other.
struct Step {
    const char* action;          // a menu action's object name; "closeBox" for the window's close box
    const char* file = "";       // the file dialog's answer, in the test's folder; "" cancels
    const char* typed = nullptr; // the chart data dialog takes this name ("" none) and OK; null cancels
    int latitude = -1;           // typed into the dialog as well, when not -1
    QString question = {};
    Result answer = Result::Yes;
    QString box = {};            // the start of the text of a box after the question

    Step asks(const QString& text, Result reply = Result::Yes) { question = text; answer = reply; return *this; }
    Step shows(const QString& text) { box = text; return *this; }
};

// Both file dialogs answer with the path set beforehand (empty = Cancel); Printer Setup chooses
// printing into the file `printTo` (empty = Cancel).
class FakePlatform final : public PlatformServices {
public:
    QString openChartFileName(QWidget*) override { return openPath; }
    QString saveChartFileName(QWidget*) override { return openPath; }
    bool setUpPrinter(QWidget*, QPrinter& printer) override
    {
        if (!printTo.isEmpty())
            printer.setOutputFileName(printTo);
        return !printTo.isEmpty();
    }
    QString openPath, printTo;
};

Step open(const char* file = "") { return {"openAction", file}; }
Step saveAs(const char* file) { return {"saveAsAction", file}; }
Step newChart(const char* name = nullptr, int latitude = -1) { return {"newChartAction", "", name, latitude}; }
Step modifyChart(const char* name) { return {"modifyChartAction", "", name}; }
Step exitCommand() { return {"exitAction"}; }
Step closeBox() { return {"closeBox"}; }
Step precisePositions() { return {"precisePositionsAction"}; }

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

Q_DECLARE_METATYPE(Step)

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;  // with ann.cht, far.cht and bad.cht
    std::unique_ptr<RecordingMessages> m_messages;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<MainWindow> m_window;

    QAction* action(const char* name) const { return m_window->findChild<QAction*>(name); }
    ChartView* view() const { return m_window->chartView(); }

    void run(const Step& step)
    {
        m_messages->answers = {step.answer};
        m_platform->openPath = *step.file ? m_dir->filePath(QString(step.file) + ".cht") : QString();
        // A dialog that never came is no longer awaited.
        const auto answer = onNextModal<ChartEdit>([&step](ChartEdit* dialog) {
            if (!step.typed)
                return dialog->reject();
            if (*step.typed)
                dialog->findChild<QLineEdit*>("personName")->setText(step.typed);
            if (step.latitude >= 0)
                dialog->findChild<QLineEdit*>("latitudeDegreesBox")->setText(QString::number(step.latitude));
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        if (QString(step.action) == "closeBox")
            m_window->close();
        else
            action(step.action)->trigger();
        *answer = nullptr;
    }

private slots:
    void initTestCase() { installQuietHandler(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // Far is beyond the precise positions' range.
        for (const auto& [file, name, year] : {std::tuple("ann.cht", "Ann", 1980), {"far.cht", "Far", 5000}}) {
            Chart chart;
            setChartField(chart.name, name);
            chart.birthDate = {year, 15, 6};
            DerivedTables tables;
            computeChart(chart, tables);
            QVERIFY(writeChartFile(QFile::encodeName(m_dir->filePath(file)).toStdString(), chart).empty());
        }
        QFile bad(m_dir->filePath("bad.cht"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("0123456789") == 10);
        m_messages = std::make_unique<RecordingMessages>();
        m_platform = std::make_unique<FakePlatform>();
        // The same instant every time, so no result depends on the clock: 12:30:15 in EST.
        m_window = std::make_unique<MainWindow>(*m_messages, *m_platform, m_dir->path(),
                                                QDateTime(QDate(2024, 3, 21), QTime(17, 30, 15), Qt::UTC));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void questionsAndBoxes_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QVariantList>("outcome");  // the window shown, the chart's name, saved
        const auto row = [](const char* tag, const QList<Step>& steps, const QVariantList& outcome) {
            QTest::newRow(tag) << steps << outcome;
        };
        row("create cancelled", {open("ann"), newChart()}, {true, "Ann", true});
        row("No keeps the unsaved chart", {newChart("Bea"), open("ann").asks(Discard, No)}, {true, "Bea", false});
        row("No before editing", {newChart("Bea"), modifyChart("Carl").asks(Discard, No)}, {true, "Bea", false});
        row("Yes opens over it", {newChart("Bea"), open("ann").asks(Discard)}, {true, "Ann", true});
        row("Yes then cancel asks again",
            {newChart("Bea"), open().asks(Discard), open("ann").asks(Discard, No)}, {true, "Bea", false});
        row("saved chart is not guarded", {open("ann"), open("ann"), exitCommand()}, {false, "Ann", true});
        row("start-up chart is not guarded", {closeBox()}, {false, "", false});
        row("exit, Yes", {newChart("Bea"), exitCommand().asks(Quit)}, {false, "Bea", false});
        row("exit, No", {newChart("Bea"), exitCommand().asks(Quit, No)}, {true, "Bea", false});
        row("close box, Yes", {newChart("Bea"), closeBox().asks(Quit)}, {false, "Bea", false});
        row("close box, No", {newChart("Bea"), closeBox().asks(Quit, No)}, {true, "Bea", false});
        row("precise opened chart is guarded", {open("ann"), precisePositions(), exitCommand().asks(Quit, No)},
            {true, "Ann", false});
        // Switching again tries again; each time the item stays unchecked.
        const QString beyond = "Precise positions cover only 28 February 3002 BC to 27 April 3003 (Universal "
                               "Time). This chart is shown with the classic tables.";
        row("precise beyond its range", {open("far"), precisePositions().shows(beyond), precisePositions().shows(beyond)},
            {true, "Far", false});
        row("saved as, not guarded", {newChart("Bea"), saveAs("new"), exitCommand()}, {false, "Bea", true});
        row("open error", {open("bad").shows("Error reading file\n")}, {true, "", false});
        row("save as error", {newChart("Bea"), saveAs("no/x").shows("Error writing file\n")}, {true, "Bea", false});
        row("Porphyry near the pole",
            {newChart("Polar", 89).shows("Placidus house cusps do not exist at 89°N at this time; the chart shows "
                                         "Porphyry cusps.")},
            {true, "Polar", false});
    }

    void questionsAndBoxes()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QVariantList, outcome);
        for (qsizetype n = 0; n < steps.size(); ++n) {
            const Step& step = steps[n];
            const qsizetype before = m_messages->shown.size();
            run(step);
            QStringList expected, seen;
            if (!step.question.isEmpty())
                expected << step.question + " | Modifications not saved. | zodiara::MainWindow";
            if (!step.box.isEmpty())  // up to its start: an error's reason is the document test's
                expected << step.box + " | Zodiara | zodiara::MainWindow";
            for (RecordedMessage box : m_messages->shown.mid(before)) {
                if (!step.box.isEmpty() && seen.size() == expected.size() - 1)
                    box.text.truncate(step.box.size());
                seen << QStringList{box.text, box.caption, box.ownerClass}.join(" | ");
            }
            QVERIFY2(seen == expected && !QApplication::activeModalWidget(),
                     qPrintable(QStringLiteral("step %1 (%2): %3").arg(n + 1).arg(step.action).arg(seen.join("; "))));
        }
        const ChartDocument& document = m_window->document();
        QCOMPARE((QVariantList{m_window->isVisible(), chartFieldText(document.chart().name), document.saved()}), outcome);
        QCOMPARE(std::pair(action("saveAction")->isEnabled(), action("precisePositionsAction")->isChecked()),
                 std::pair(document.canSave(), document.ephemeris() == Ephemeris::Precise));
    }

    // Show Aspects toggles its mark and the drawing. Left clicks on a glyph and on an aspect cell of
    // the real view explain them; the right button does nothing, and the cell is dead while aspects
    // are hidden. The texts themselves are checked below.
    void showAspectsAndClicks()
    {
        const QImage without = view()->grab().toImage();
        QVERIFY(!action("showAspectsAction")->isChecked());
        action("showAspectsAction")->trigger();
        QVERIFY(view()->showAspects() && action("showAspectsAction")->isChecked());
        QVERIFY(view()->grab().toImage() != without);
        const DerivedTables& tables = view()->paintedTables();
        const HitAreas& hits = view()->hitAreas();
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

        QTest::mouseClick(view(), Qt::RightButton, {}, glyph);
        QTest::mouseClick(view(), Qt::LeftButton, {}, glyph);
        QTest::mouseClick(view(), Qt::LeftButton, {}, cell);
        action("showAspectsAction")->trigger();
        QVERIFY(!view()->showAspects() && !action("showAspectsAction")->isChecked());
        QVERIFY(view()->grab().toImage() == without && !insideAnyGlyph(view()->hitAreas(), cell));
        QTest::mouseClick(view(), Qt::LeftButton, {}, cell);
        QCOMPARE(m_messages->texts(), expected);
        QCOMPARE(m_messages->texts(&RecordedMessage::caption), QStringList(2, "Zodiara"));
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
        QCOMPARE(porphyryMessage({68, 5, South}),
                 "Placidus house cusps do not exist at 68°05'S at this time; the chart shows Porphyry cusps.");
    }

    // Help Topics: without the guide, a box names it; with it, a window of its own that leaves the
    // main window usable and follows the guide's links inside. About sits on the screen's middle
    // wherever the main window is.
    void helpMenu()
    {
        const QString guide = m_dir->filePath("zodiara.html");
        action("helpTopicsAction")->trigger();
        for (const auto& [name, html] :
             {std::pair("zodiara.html", "<a href=\"next.html\">On</a>"), {"next.html", "Next"}}) {
            QFile page(m_dir->filePath(name));
            QVERIFY(page.open(QIODevice::WriteOnly) && page.write(html) > 0);
        }
        action("helpTopicsAction")->trigger();
        auto* browser = m_window->findChild<QTextBrowser*>("helpBrowser");
        QVERIFY(browser && browser->window()->isVisible() && !QApplication::activeModalWidget());
        QCOMPARE(browser->source(), QUrl::fromLocalFile(guide));
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(browser->toPlainText(), "Next");

        m_window->move(0, 0);
        QPoint offset;
        onNextModal<AboutDialog>([&offset](AboutDialog* box) {
            offset = box->frameGeometry().center() - box->screen()->geometry().center();
            box->accept();
        });
        action("aboutAction")->trigger();
        QVERIFY(offset.manhattanLength() <= 2);
        QCOMPARE(m_messages->texts(),
                 QStringList("Cannot open the user guide " + guide + ":\nNo such file or directory."));
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
        const QString chosen = QtPlatformServices().saveChartFileName(m_window.get());
        QVERIFY2(question.contains("ann.cht"), qPrintable(question));
        QCOMPARE(QFileInfo(chosen).fileName(), "fresh.cht");
    }

    // Print takes the printer's own path, here into a PDF file; one in a missing folder is an unusable
    // printer. While each page is drawn the "Printing" box shows over the window, where "cancel"
    // presses its Cancel and "meddle" hides the aspects and switches ephemeris: the job prints what
    // was chosen. "fail" prints first without a printer, then chooses the file in Printer Setup.
    void printing_data()
    {
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<QString>("act");
        QTest::addColumn<int>("pages");      // -1: no file
        QTest::addColumn<QString>("error");  // the reason a Print Error box gives
        QTest::newRow("wheel only") << false << "" << 1 << "";
        QTest::newRow("wheel and aspects") << true << "" << 2 << "";
        QTest::newRow("changed while printing") << true << "meddle" << 2 << "";
        QTest::newRow("unusable printer") << false << "" << -1 << "Printer error";
        QTest::newRow("after a failed print") << true << "fail" << 2 << "Printer error";
        QTest::newRow("cancelled") << true << "cancel" << -1 << "Printing canceled";
    }

    void printing()
    {
        QFETCH(bool, showAspects);
        QFETCH(QString, act);
        QFETCH(int, pages);
        QFETCH(QString, error);
        if (showAspects)
            action("showAspectsAction")->trigger();
        const QString path = m_dir->filePath(pages < 0 && act.isEmpty() ? "no/such/folder/x.pdf" : "print.pdf");
        QPrinter* printer = m_window->printer();
        printer->setPageOrientation(QPageLayout::Landscape);
        printer->setOutputFileName(act == "fail" ? QString() : path);
        if (act == "fail") {  // as on a machine without a printer: a PDF printer without a file
            printer->setOutputFormat(QPrinter::PdfFormat);
            action("printAction")->trigger();
            m_platform->printTo = path;
            action("printerSetupAction")->trigger();
        }
        int drawn = 0;
        connect(m_window.get(), &MainWindow::printingPage, this, [&](int page) {
            QCOMPARE(page, ++drawn);
            auto* box = m_window->findChild<QDialog*>("printProgress");
            QVERIFY(box && box->isVisible()
                    && box->findChild<QLabel*>()->text().startsWith(QStringLiteral("Natal Chart for \nPage %1").arg(page))
                    && (box->frameGeometry().center() - m_window->frameGeometry().center()).manhattanLength() <= 2);
            if (act == "cancel")
                box->findChild<QPushButton*>()->click();
            if (drawn == 1 && act == "meddle") {
                action("showAspectsAction")->trigger();
                action("precisePositionsAction")->trigger();
            }
        });
        action("printAction")->trigger();

        QCOMPARE(pdfPageCount(path), pages);
        QCOMPARE(drawn, act == "cancel" ? 1 : std::max(pages, 0));
        const QStringList boxes(error.isEmpty() ? 0 : 1, "'Natal Chart for ' not printed. " + error + ".");
        QCOMPARE(m_messages->texts(), boxes);
        QCOMPARE(m_messages->texts(&RecordedMessage::caption), QStringList(boxes.size(), "Print Error"));
        // An empty name keeps its trailing space in the job title; Printer Setup's choice and the
        // page settings outlive a failure.
        QCOMPARE(std::pair(m_window->printer()->docName(), m_window->printer()->pageLayout().orientation()),
                 std::pair(QStringLiteral("Natal Chart for "), QPageLayout::Landscape));
        QVERIFY(!m_window->findChild<QDialog*>("printProgress"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
