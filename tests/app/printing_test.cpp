// Print through the printer path into PDF files: the page rule, the job title, the frozen copy
// and the error box.
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "apptestsupport.h"
#include "chartfile.h"
#include "commandids.h"
#include "tchartout.h"
#include "text1252.h"
#include "tframewindow.h"
#include "tmymainwindow.h"

using namespace zodiara;
using namespace zodiara::test;

namespace {

const QDateTime Now(QDate(2001, 9, 9), QTime(1, 46, 40));

int pdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // Page objects, not the page tree ("/Type /Pages").
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<TFrameWindow> m_frame;
    TMyMainWindow* m_view = nullptr;

    QString printToPdf(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        m_view->printer()->setOutputFormat(QPrinter::PdfFormat);
        m_view->printer()->setOutputFileName(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        installQuietHandler();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_messages = std::make_unique<FakeMessages>();
        m_platform = std::make_unique<FakePlatform>();
        m_view = new TMyMainWindow(*m_messages, *m_platform, m_dir.path(), Now);
        m_frame = std::make_unique<TFrameWindow>(m_view);
        m_frame->show();
        QVERIFY(m_view->printer());
    }

    void cleanup() { m_frame.reset(); }

    void pagesFollowShowAspects_data()
    {
        QTest::addColumn<bool>("showAspects");
        QTest::addColumn<int>("pages");
        QTest::newRow("wheel only") << false << 1;
        QTest::newRow("wheel and aspects") << true << 2;
    }

    void pagesFollowShowAspects()
    {
        QFETCH(bool, showAspects);
        QFETCH(int, pages);
        if (showAspects)
            m_view->command(CmShowAspects);
        const QString path = printToPdf(QStringLiteral("pages-%1.pdf").arg(pages));
        QList<int> drawn;
        connect(m_view, &TMyMainWindow::printingPage, this, [&drawn](int page) { drawn.append(page); });
        const Chart before = m_view->chart();
        m_view->action(CmPrint)->trigger();

        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(pdfPageCount(path), pages);
        QCOMPARE(drawn.size(), pages);
        // An empty name keeps its trailing space in the job title.
        QCOMPARE(m_view->printer()->docName(), QStringLiteral("Natal Chart for "));
        QVERIFY(std::memcmp(&before, &m_view->chart(), sizeof(Chart)) == 0);
        QVERIFY(!m_view->saved() && !m_view->chartPresent());
    }

    void theJobPrintsWhatWasShownWhenPrintWasChosen()
    {
        // A chart of "Fay" is opened and shown with aspects; while page 1 is being printed the
        // view gets another chart and hides the aspects. The job must not notice.
        Chart fay;
        fay.birthDate = {1975, 2, 11};
        fay.localTime = {23, 5, 0, 0};
        fay.longitude = {73, 58, West};
        fay.latitude = {40, 45, North};
        fay.zone = 6;
        setChartText(fay.name, "Fay");
        DerivedTables tables;
        computeChart(fay, tables);
        const QString fayFile = m_dir.filePath("fay.cht");
        QVERIFY(writeChartFile(std::filesystem::path(fayFile.toStdString()), fay).empty());
        QVERIFY(m_view->loadChartFile(fayFile).isEmpty());
        m_view->command(CmShowAspects);

        const QString path = printToPdf(QStringLiteral("frozen.pdf"));
        connect(m_view, &TMyMainWindow::printingPage, this, [this](int page) {
            if (page != 1)
                return;
            m_view->command(CmShowAspects);
            m_view->command(CmPrecisePositions);
        });
        m_view->action(CmPrint)->trigger();

        QVERIFY(!m_view->showAspects());
        QCOMPARE(pdfPageCount(path), 2);
        QCOMPARE(m_view->printer()->docName(), QStringLiteral("Natal Chart for Fay"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void printoutKeepsItsOwnCopy()
    {
        Chart chart;
        setChartText(chart.name, "Gil");
        DerivedTables tables;
        computeChart(chart, tables);
        TChartOut printout(printJobTitle(chart), chart, tables, true);
        setChartText(chart.name, "Hal");
        chart.bodies[0].longitude = 1.0;
        QCOMPARE(printout.title(), QStringLiteral("Natal Chart for Gil"));
        QCOMPARE(QString::fromStdString(chartText(printout.chart().name)), QStringLiteral("Gil"));
        QVERIFY(printout.chart().bodies[0].longitude != 1.0);
        // The second page exists only after the first said so.
        QVERIFY(printout.HasPage(1));
        QVERIFY(!printout.HasPage(2));
    }

    void unusablePrinterGetsThePrintErrorBox()
    {
        m_view->printer()->setOutputFormat(QPrinter::PdfFormat);
        m_view->printer()->setOutputFileName(m_dir.filePath("no/such/folder/out.pdf"));
        const Chart before = m_view->chart();
        m_view->action(CmPrint)->trigger();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->shown[0].caption, QStringLiteral("Print Error"));
        QCOMPARE(m_messages->shown[0].text, QStringLiteral("'Natal Chart for ' not printed. Printer error."));
        QCOMPARE(m_messages->shown[0].buttons, MessageService::Buttons::Ok);
        QVERIFY(std::memcmp(&before, &m_view->chart(), sizeof(Chart)) == 0);
    }

    void printerSetupKeepsThePrinter()
    {
        QPrinter* printer = m_view->printer();
        m_view->action(CmPrinterSetup)->trigger();
        QCOMPARE(m_platform->printerSetups, 1);
        QCOMPARE(m_view->printer(), printer);
        QVERIFY(m_messages->shown.isEmpty());
    }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
