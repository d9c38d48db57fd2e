// The main window driven as a user would: the questions before Open, editing and closing, the
// boxes the commands show, a file opened at start, clicks on the chart, the help window, printing
// and the printed page's text, and the save dialog. What the commands do to the document is the
// document test's table.
#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolTip>

#include <cstdlib>
#include <functional>
#include <ranges>

#include "app/chartprintout.h"
#include "app/chartview.h"
#include "app/exportpicture.h"
#include "app/mainwindow.h"
#include "app/platformservices.h"
#include "app/positionspanel.h"
#include "chart/chartfile.h"
#include "display/chartexport.h"
#include "entry/chartedit.h"
#include "modaltesting.h"
#include "recordingcanvas.h"
#include "recordingmessages.h"
#include "ui/textconversion.h"

using namespace zodiara;
using namespace zodiara::test;
using Result = MessageService::Result;

namespace {

const QString Discard = "Modifications have been made to this chart.  Continue without saving ?";
const QString Quit = "Modifications have been made to this chart.  Quit without saving ?";
constexpr Result No = Result::No;
// Not an answer given beforehand: the question is shown in a real box and answered with Enter.
constexpr Result Enter = Result::Ok;
// The same instant every time, so no result depends on the clock: 12:30:15 in EST.
const QDateTime Now(QDate(2024, 3, 21), QTime(17, 30, 15), Qt::UTC);

// One thing the user does, and the boxes it must bring: the question, answered, then any other.
struct Step {
    const char* action;           // a menu action's object name; "closeBox" for the window's close box
    const char* file = "";        // the file dialog's answer, in the test's folder; "" cancels
    const char* typed = nullptr;  // the chart data dialog takes this name and OK; null cancels
    QString question = {};
    Result answer = Result::Yes;
    QString box = {};  // the start of the text of a box after the question

    Step asks(QString text, Result reply = Result::Yes) const { return {action, file, typed, text, reply}; }
    Step shows(QString text) const { return {action, file, typed, question, answer, text}; }
};

// Both file dialogs answer with the path set beforehand (empty = Cancel); Printer Setup chooses
// printing into the file `printTo` (empty = Cancel); no web browser can be started.
struct FakePlatform final : PlatformServices {
    QString openChartFileName(QWidget*, const QString& directory) override
    {
        offered = directory;
        return openPath;
    }
    QString saveChartFileName(QWidget*, const QString& proposed) override
    {
        offered = proposed;
        return openPath;
    }
    QString exportPictureFileName(QWidget*, const QString& proposed) override
    {
        offered = proposed;
        return openPath;
    }
    bool setUpPrinter(QWidget*, QPrinter& printer) override
    {
        if (!printTo.isEmpty())
            printer.setOutputFileName(printTo);
        return !printTo.isEmpty();
    }
    bool openWebLink(const QUrl&) override { return false; }
    QString openPath, printTo;
    QString offered;  // the folder or path the last file dialog started with
};

}  // namespace

Q_DECLARE_METATYPE(Step)

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;  // with ann.cht, far.cht and polar.cht
    std::unique_ptr<RecordingMessages> m_messages;
    FakePlatform m_platform;
    std::unique_ptr<QSettings> m_settings;  // a profile of the test's own
    std::unique_ptr<MainWindow> m_window;

    QAction* action(const char* name) const { return m_window->findChild<QAction*>(name); }
    ChartView* view() const { return m_window->chartView(); }
    static Step open(const char* file = "") { return {"openAction", file}; }
    static Step newChart(const char* name) { return {"newChartAction", "", name}; }

private slots:
    void initTestCase() { installQuietHandler(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // Far is beyond the precise positions' range; Placidus cusps do not exist for Polar.
        for (const auto& [file, name, year, latitude] :
             {std::tuple("ann.cht", "Ann", 1980, 0), {"far.cht", "Far", 5000, 0}, {"polar.cht", "Polar", 1980, 89}}) {
            BirthData birth;
            birth.name = name;
            birth.birthDate = {year, 6, 15};
            birth.latitude.degrees = std::int16_t(latitude);
            const Chart chart = computeChart(birth).value().chart;
            QVERIFY(writeChartFile(QFile::encodeName(m_dir->filePath(file)).toStdString(), chart).empty());
        }
        m_messages = std::make_unique<RecordingMessages>();
        m_platform.printTo.clear();
        m_settings = std::make_unique<QSettings>(m_dir->filePath("profile.ini"), QSettings::IniFormat);
        startWindow();
    }

    void startWindow()
    {
        m_window = std::make_unique<MainWindow>(*m_messages, m_platform, m_dir->path(), Now, m_settings.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // The standard keys show in the menus; the title names the person or the file and marks unsaved
    // changes; the status bar says where the positions come from and the chart's Universal Time.
    void shortcutsTitleAndStatus()
    {
        // clang-format off
        const std::pair<const char*, QKeySequence::StandardKey> keys[] = {
            {"newChartAction", QKeySequence::New}, {"openAction", QKeySequence::Open}, {"saveAction", QKeySequence::Save},
            {"saveAsAction", QKeySequence::SaveAs}, {"printAction", QKeySequence::Print},
            {"exitAction", QKeySequence::Quit}, {"helpTopicsAction", QKeySequence::HelpContents}};
        // clang-format on
        // Where the platform has no key for Save As or Quit, the common one.
        for (const auto& [name, key] : keys) {
            const QString common = key == QKeySequence::Quit ? "Ctrl+Q" : "Ctrl+Shift+S";
            const QList<QKeySequence> bound = QKeySequence::keyBindings(key);
            QVERIFY2(action(name)->shortcuts() == (bound.isEmpty() ? QList{QKeySequence(common)} : bound), name);
        }
        const auto state = [this] {
            return QStringList{m_window->windowTitle(), QString::number(m_window->isWindowModified()),
                               m_window->findChild<QLabel*>("chartStatus")->text()};
        };
        QCOMPARE(state(), (QStringList{"Zodiara[*]", "0",
                                       "Positions: classic tables    Universal Time: 21 March 2024, 17:30:15"}));
        m_platform.openPath = m_dir->filePath("ann.cht");
        action("openAction")->trigger();
        QCOMPARE(state()[0] + state()[1], "Ann[*] - Zodiara0");
        QVERIFY(state()[2].startsWith("Positions: as stored in the file    Universal Time: 15 June 1980"));
        action("precisePositionsAction")->trigger();
        QCOMPARE(state()[1], "1");
        QVERIFY(state()[2].startsWith("Positions: precise ephemeris"));
        m_platform.openPath = m_dir->filePath("copy.cht");
        action("saveAsAction")->trigger();
        QCOMPARE(state()[0] + state()[1], "Ann[*] - Zodiara0");
        QCOMPARE(m_platform.offered, m_dir->filePath("Ann.cht"));  // the name proposed, in the last folder
        // The view keeps a size where the wheel and table can be read.
        m_window->resize(100, 80);
        QTRY_VERIFY(view()->width() >= 320 && view()->height() >= 240);
    }

    // The window's place and size, the view's toggles and the recent charts outlive the window; a
    // recent chart that has gone is said to be gone and leaves the list. A fresh profile starts plain.
    void settingsOutliveTheWindow()
    {
        QCOMPARE((QList<bool>{view()->showAspects(), action("precisePositionsAction")->isChecked(),
                              action("positionsAction")->isChecked(), action("recentFile1")->isVisible()}),
                 (QList<bool>{false, false, false, false}));
        for (const char* file : {"far.cht", "ann.cht"}) {
            m_platform.openPath = m_dir->filePath(file);
            action("openAction")->trigger();
        }
        for (const char* toggle : {"showAspectsAction", "precisePositionsAction", "positionsAction"})
            action(toggle)->trigger();
        m_window->resize(900, 700);
        const QRect geometry = m_window->geometry();
        QVERIFY(m_window->close());  // asked to quit without saving the precise positions, and answered Yes
        m_messages->shown.clear();
        startWindow();
        QCOMPARE((QList<bool>{view()->showAspects(), action("precisePositionsAction")->isChecked(),
                              action("positionsAction")->isChecked(),
                              m_window->findChild<QWidget*>("positionsDock")->isVisible()}),
                 (QList<bool>{true, true, true, true}));
        QCOMPARE(m_window->geometry().size(), geometry.size());
        QCOMPARE((QStringList{action("recentFile1")->text(), action("recentFile2")->text()}),
                 (QStringList{"&1 ann.cht", "&2 far.cht"}));
        QVERIFY(!action("recentFile3")->isVisible());
        action("openAction")->trigger();
        QCOMPARE(m_platform.offered, m_dir->path());  // the folder last used
        QVERIFY(QFile::remove(m_dir->filePath("far.cht")));
        action("recentFile2")->trigger();
        QCOMPARE(m_messages->texts(),
                 QStringList{"The chart file " + QDir::toNativeSeparators(m_dir->filePath("far.cht"))
                             + " is no longer there. It is removed from the recent charts."});
        QVERIFY(!action("recentFile2")->isVisible());
        action("recentFile1")->trigger();
        QCOMPARE(m_window->document().fileName(), m_dir->filePath("ann.cht"));
    }

    // View ▸ Positions lists what the report lists for the same chart, and copies it as text.
    void positionsTable()
    {
        m_platform.openPath = ZODIARA_TEST_DATA "/reference-chart.cht";
        action("openAction")->trigger();
        action("positionsAction")->trigger();
        auto* table = m_window->findChild<PositionsPanel*>("positionsTable");
        QVERIFY(table && table->isVisible());
        QFile report(ZODIARA_TEST_DATA "/reference-chart.txt");
        QVERIFY(report.open(QIODevice::ReadOnly));
        // "  Moon      Pisces       6°08'   336.1401  house 12" and "   1  Aries       20°40'    20.6714"
        static const QRegularExpression body(
            "^\\s+([A-Z][a-z]+)\\s+([A-Za-z]+)\\s+(\\d+)°(\\d\\d)'\\s+\\S+\\s+house (\\d+)$");
        static const QRegularExpression cusp("^\\s+(\\d+)\\s+([A-Za-z]+)\\s+(\\d+)°(\\d\\d)'\\s+\\S+$");
        QStringList expected;
        const QStringList lines = QString::fromUtf8(report.readAll()).split(u'\n');
        for (const QString& line : lines)
            if (const auto m = body.match(line); m.hasMatch())
                expected << QStringLiteral("%1\t%2\t%3°%4′\t%5")
                                .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4), m.captured(5));
        for (const QString& line : lines)
            if (const auto m = cusp.match(line); m.hasMatch())
                expected << QStringLiteral("Cusp %1\t%2\t%3°%4′\t")
                                .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
        QCOMPARE(expected.size(), 22);
        QStringList shown = table->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(shown.mid(12, 1), QStringList{"Cusp 1\tAries\t20°40′\t"});
        QCOMPARE(shown.mid(10, 2), (QStringList{"Ascendant\tAries\t20°40′\t1", "MidHeaven\tCapricorn\t11°07′\t10"}));
        shown.remove(10, 2);
        QCOMPARE(shown, expected);
        table->selectRow(1);
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), "Sun\tCapricorn\t11°02′\t9\n");
    }

    // Export Picture writes what the command line draws at the size chosen, through the same code; over a
    // glyph the cursor and tooltip tell what a click would explain.
    void exportPictureAndHover()
    {
        m_platform.openPath = m_dir->filePath("ann.cht");
        action("openAction")->trigger();
        m_platform.openPath = m_dir->filePath("ann.png");
        onNextModal<PictureSizeDialog>([](PictureSizeDialog* dialog) {
            dialog->findChild<QSpinBox*>("widthBox")->setValue(640);
            dialog->findChild<QSpinBox*>("heightBox")->setValue(480);
            dialog->accept();
        });
        action("exportPictureAction")->trigger();
        QByteArray expected;
        QVERIFY(encodeChartPng(m_window->document().chart(), m_window->document().tables(), {640, 480}, false, expected)
                    .isEmpty());
        QFile png(m_dir->filePath("ann.png"));
        QVERIFY(png.open(QIODevice::ReadOnly) && png.readAll() == expected);
        m_platform.openPath = m_dir->filePath("missing/ann.pdf");
        action("exportPictureAction")->trigger();
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->texts()[0].startsWith("Cannot write the picture " + m_dir->filePath("missing/ann.pdf")));

        view()->update();
        QTest::qWait(20);
        const IntRect r = view()->hitAreas().bodyGlyphs[0];
        const QPoint glyph((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QTest::mouseMove(view(), glyph);
        QTRY_COMPARE(view()->cursor().shape(), Qt::PointingHandCursor);
        QHelpEvent help(QEvent::ToolTip, glyph, view()->mapToGlobal(glyph));
        QApplication::sendEvent(view(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().endsWith(" degrees"));
        QTest::mouseMove(view(), QPoint(2, 2));
        QTRY_COMPARE(view()->cursor().shape(), Qt::ArrowCursor);
    }

    void questionsAndBoxes_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QVariantList>("outcome");  // the window shown, the chart's name, saved
        const auto row = [](const char* tag, const QList<Step>& steps, const QVariantList& outcome) {
            QTest::newRow(tag) << steps << outcome;
        };
        const Step exit{"exitAction"}, closeBox{"closeBox"}, precise{"precisePositionsAction"};
        const QString porphyry =
            "Placidus house cusps do not exist at 89°N at this time; the chart shows Porphyry cusps.";
        // Switching again tries again; each time the item stays unchecked.
        const QString beyond = "Precise positions cover only 28 February 3002 BC to 27 April 3003 (Universal "
                               "Time). This chart is shown with the classic tables.";
        row("saved chart is not guarded", {open("ann"), newChart(nullptr), open("ann"), exit}, {false, "Ann", true});
        row("start-up chart is not guarded", {closeBox}, {false, "", false});
        row("No, No", {newChart("Bea"), Step{"modifyChartAction"}.asks(Discard, No), exit.asks(Quit, No)},
            {true, "Bea", false});
        row("No, then the close box, Yes", {newChart("Bea"), open("ann").asks(Discard, No), closeBox.asks(Quit)},
            {false, "Bea", false});
        row("Enter in the real box keeps the chart",
            {newChart("Bea"), open("ann").asks(Discard, Enter), exit.asks(Quit, Enter)}, {true, "Bea", false});
        row("Yes, cancel, ask again", {newChart("Bea"), open().asks(Discard), open("ann").asks(Discard)},
            {true, "Ann", true});
        row("saved as, not guarded", {newChart("Bea"), {"saveAsAction", "new"}, exit}, {false, "Bea", true});
        row("precise opened chart is guarded", {open("ann"), precise, exit.asks(Quit, No)}, {true, "Ann", false});
        row("precise beyond its range", {open("far"), precise.shows(beyond), precise.shows(beyond)},
            {true, "Far", false});
        row("open error", {open("missing").shows("Error reading file\n")}, {true, "", false});
        row("save as error", {newChart("Bea"), Step{"saveAsAction", "no/x"}.shows("Error writing file\n")},
            {true, "Bea", false});
        row("Porphyry near the pole", {open("polar"), precise.shows(porphyry)}, {true, "Polar", false});
    }

    void questionsAndBoxes()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QVariantList, outcome);
        const ChartDocument& document = m_window->document();
        QtMessageService realBoxes;
        for (qsizetype n = 0; n < steps.size(); ++n) {
            const Step& step = steps[n];
            const qsizetype before = m_messages->shown.size();
            m_messages->answers = {step.answer};
            std::function<void(QMessageBox*)> pressEnter;
            if (step.answer == Enter) {
                m_messages->real = &realBoxes;
                pressEnter = [](QMessageBox* box) { QTest::keyClick(box->focusWidget(), Qt::Key_Return); };
            }
            const auto enter = onNextModal(pressEnter);
            m_platform.openPath = *step.file ? m_dir->filePath(QString(step.file) + ".cht") : QString();
            // A dialog that never came is no longer awaited.
            const auto answer = onNextModal<ChartEdit>([&step](ChartEdit* dialog) {
                if (!step.typed)
                    return dialog->reject();
                dialog->findChild<QLineEdit*>("personName")->setText(step.typed);
                dialog->findChild<QPushButton*>("okButton")->click();
            });
            if (QString(step.action) == "closeBox")
                m_window->close();
            else
                action(step.action)->trigger();
            *answer = nullptr;
            *enter = nullptr;
            m_messages->real = nullptr;

            // Every box over the window, compared up to the start given: an error's reason is the document test's.
            QStringList expected{step.question, step.box}, seen;
            expected.removeAll(QString());
            for (const RecordedMessage& box : m_messages->shown.mid(before))
                seen << box.ownerClass + ": " + box.text.left(expected.value(seen.size(), box.text).size());
            expected.replaceInStrings(QRegularExpression("^"), "zodiara::MainWindow: ");
            if (action("saveAction")->isEnabled() != document.canSave()
                || action("precisePositionsAction")->isChecked() != (document.ephemeris() == Ephemeris::Precise))
                seen << "the Save or Precise Positions item does not follow the document";
            QVERIFY2(seen == expected && !QApplication::activeModalWidget(),
                     qPrintable(QStringLiteral("step %1 (%2): %3").arg(n + 1).arg(step.action).arg(seen.join("; "))));
        }
        QCOMPARE((QVariantList{m_window->isVisible(), toQString(document.chart().birth.name), document.saved()}),
                 outcome);
    }

    // A file named at start opens as Open would; a refused one is reported over the window, and
    // only once it is shown.
    void fileOpensAtStart()
    {
        m_window->openAtStart(m_dir->filePath("ann.cht"));
        QCOMPARE(m_window->document().fileName(), m_dir->filePath("ann.cht"));
        MainWindow window(*m_messages, m_platform, m_dir->path(), Now);
        window.openAtStart(m_dir->filePath("missing.cht"));
        QTest::qWait(50);
        window.show();
        QVERIFY(m_messages->shown.isEmpty());
        QTRY_COMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->shown[0].owner == &window && m_messages->texts()[0].startsWith("Error reading file\n"));
    }

    // Show Aspects toggles its mark and the drawing. A left click on a glyph or a drawn aspect
    // explains it; the right button does nothing, and the cell is dead while aspects are hidden.
    void showAspectsAndClicks()
    {
        const QImage without = view()->grab().toImage();
        action("showAspectsAction")->trigger();
        QVERIFY(view()->grab().toImage() != without && action("showAspectsAction")->isChecked());
        const auto centre = [](const IntRect& r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); };
        const auto cells = view()->hitAreas().aspectCells | std::views::join;
        const auto drawn = std::ranges::find_if(cells, [](const IntRect& r) { return r != IntRect{}; });
        QVERIFY(drawn != cells.end());
        const QPoint glyph = centre(view()->hitAreas().bodyGlyphs[0]), cell = centre(*drawn);
        QTest::mouseClick(view(), Qt::RightButton, {}, glyph);
        QTest::mouseClick(view(), Qt::LeftButton, {}, glyph);
        QTest::mouseClick(view(), Qt::LeftButton, {}, cell);
        action("showAspectsAction")->trigger();
        QVERIFY(view()->grab().toImage() == without && !action("showAspectsAction")->isChecked());
        QTest::mouseClick(view(), Qt::LeftButton, {}, cell);
        QCOMPARE(m_messages->texts(),
                 QStringList({"Venus = 341.6629703 degrees", "Trine between Moon and Mercury\nTrine occurs when 2 "
                                                             "planets are aproximately 120 degrees apart."}));
    }

    // Help Topics shows the user guide in a window of its own, which Escape closes. Its own links are
    // followed inside it; a web link that no browser can show says so over the guide.
    void helpWindow_data()
    {
        QTest::addColumn<QString>("act");        // "Escape", or the text of the link clicked
        QTest::addColumn<bool>("shown");         // the guide's window afterwards
        QTest::addColumn<QString>("section");    // the part of the guide shown afterwards
        QTest::addColumn<QStringList>("boxes");  // over the guide's window
        const QStringList noBox;
        // clang-format off
        QTest::newRow("Help Topics shows the guide") << "" << true << "" << noBox;
        QTest::newRow("Escape closes it") << "Escape" << false << "" << noBox;
        QTest::newRow("a link within the guide") << "Printing" << true << "print" << noBox;
        QTest::newRow("a web link without a browser") << "https://www.geonames.org/" << true << ""
            << QStringList("No web browser could be started to show https://www.geonames.org/.");
        // clang-format on
    }

    void helpWindow()
    {
        QFETCH(QString, act);
        QFETCH(bool, shown);
        QVERIFY(QFile::copy(ZODIARA_GUIDE, m_dir->filePath("zodiara.html")));
        action("helpTopicsAction")->trigger();
        auto* browser = m_window->findChild<QTextBrowser*>("helpBrowser");
        QVERIFY(browser && !QApplication::activeModalWidget());
        QTRY_COMPARE(QApplication::activeWindow(), browser->window());
        QCOMPARE((QStringList{browser->documentTitle(), browser->document()->firstBlock().text()}),
                 (QStringList{"Zodiara user guide", "Zodiara"}));
        if (act == "Escape") {
            QTest::keyClick(browser, Qt::Key_Escape);
        } else if (!act.isEmpty()) {
            QTextCursor link = browser->document()->find(act);
            QVERIFY(!link.isNull());
            browser->setTextCursor(link);
            browser->ensureCursorVisible();
            link.setPosition(link.selectionStart() + 2);
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(link).center());
        }
        QTRY_COMPARE(browser->window()->isVisible(), shown);
        QTEST(browser->source().fragment(), "section");
        QFETCH(QStringList, boxes);
        QCOMPARE(m_messages->texts(), boxes);
        for (const RecordedMessage& box : m_messages->shown)
            QCOMPARE(box.owner.data(), browser->window());
    }

    // The real save dialog asks before replacing a file, and a bare name gets ".cht".
    void saveDialogAsksBeforeReplacing()
    {
        QString question;
        onNextModal<QFileDialog>([this, &question](QFileDialog* dialog) {
            dialog->setDirectory(m_dir->path());
            onNextModal<QMessageBox>([dialog, &question](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::No)->click();
                QTimer::singleShot(0, dialog, [dialog]() {
                    dialog->selectFile("fresh");
                    QMetaObject::invokeMethod(dialog, "accept");
                });
            });
            dialog->selectFile("ann.cht");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const QString chosen = QtPlatformServices().saveChartFileName(m_window.get(), QString());
        QVERIFY2(question.contains("ann.cht"), qPrintable(question));
        QCOMPARE(QFileInfo(chosen).fileName(), "fresh.cht");
    }

    // The printed page's texts keep their size on paper at any resolution: at 1200 dpi twice the dots
    // of 600. On A4 within 10 mm margins, 4488 dots wide at 600 dpi, the hub's texts are 0.9 of a
    // fortieth of that: 100 dots, 4.2 mm.
    void printedTextFollowsTheResolution()
    {
        QPrinter* printer = m_window->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_dir->filePath("page.pdf"));
        printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                           QPageLayout::Millimeter));
        const ChartDocument& document = m_window->document();
        const ChartPrintout printout(QString(), document.chart(), document.tables(), false);
        QList<int> heights[2];  // of each text, at 600 and 1200 dpi
        for (const int dpi : {600, 1200}) {
            printer->setResolution(dpi);
            QPainter painter(printer);
            RecordingCanvas canvas(painter, GlyphStyle::Vector);
            printout.paintPage(canvas, 1, printableArea(*printer));
            for (const Item& item : canvas.items)
                if (item.kind == Kind::Text)
                    heights[dpi / 1200] << item.rect.bottom - item.rect.top;
        }
        QCOMPARE(heights[0].size(), heights[1].size());
        for (qsizetype i = 0; i < heights[0].size(); ++i)
            QVERIFY2(
                std::abs(heights[1][i] - 2 * heights[0][i]) <= 2,
                qPrintable(QStringLiteral("text %1: %2 and %3 dots").arg(i).arg(heights[0][i]).arg(heights[1][i])));
        QCOMPARE(heights[0].mid(12, 4), QList<int>(4, 100));  // after the twelve house numbers
    }

    // Print takes the printer's own path, here into a PDF file. While each page is drawn the "Printing"
    // box shows, where "cancel" presses its Cancel and "meddle" hides the aspects: the job prints what
    // was chosen. "fail" prints first without a printer, then chooses the file in Printer Setup.
    void printing_data()
    {
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<QString>("act");
        QTest::addColumn<int>("pages");      // -1: no file
        QTest::addColumn<QString>("error");  // the reason a Print Error box gives
        QTest::newRow("changed while printing") << true << "meddle" << 2 << "";
        QTest::newRow("after a failed print, a file chosen in Printer Setup")
            << false << "fail" << 1 << "Printer error";
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
        const QString path = m_dir->filePath("print.pdf");
        QPrinter* printer = m_window->printer();
        printer->setPageOrientation(QPageLayout::Landscape);
        printer->setOutputFormat(QPrinter::PdfFormat);  // without a file, as on a machine without a printer
        if (act == "fail") {
            action("printAction")->trigger();
            m_platform.printTo = path;
            action("printerSetupAction")->trigger();
        } else {
            printer->setOutputFileName(path);
        }
        int drawn = 0;
        connect(m_window.get(), &MainWindow::printingPage, this, [&](int page) {
            auto* box = m_window->findChild<QDialog*>("printProgress");
            const QString text = QStringLiteral("Natal Chart for \nPage %1").arg(++drawn);
            QVERIFY(page == drawn && box && box->isVisible() && box->findChild<QLabel*>()->text().startsWith(text));
            if (act == "cancel")
                box->findChild<QPushButton*>()->click();
            if (drawn == 1 && act == "meddle")
                action("showAspectsAction")->trigger();
        });
        action("printAction")->trigger();

        // Page objects, not the page tree ("/Type /Pages").
        QFile pdf(path);
        static const QRegularExpression pageObject("/Type\\s*/Page(?![a-zA-Z])");
        QCOMPARE(pdf.open(QIODevice::ReadOnly) ? int(QString::fromLatin1(pdf.readAll()).count(pageObject)) : -1, pages);
        QCOMPARE(drawn, act == "cancel" ? 1 : pages);
        QCOMPARE(m_messages->texts(),
                 QStringList(error.isEmpty() ? 0 : 1, "'Natal Chart for ' not printed. " + error + "."));
        // The new file and the page settings outlive a failure.
        QCOMPARE(m_window->printer()->pageLayout().orientation(), QPageLayout::Landscape);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
