// `zodiara [FILE.cht]`: the file named on the command line opens as Open would, a bad one is
// reported over the shown window, and --help and --version answer without a window.
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "chart/chartfile.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "ui/messageservice.h"
#include "modaltesting.h"
#include "app/platformservices.h"
#include "ui/textconversion.h"

using namespace zodiara;

class StartupTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        test::installQuietHandler();
        Chart ada;
        setChartField(ada.name, "Ada");
        ada.birthDate = {1990, 1, 1};
        DerivedTables tables;
        computeChart(ada, tables);
        QFile bad(m_dir.filePath("bad.cht"));
        QVERIFY(writeChartFile(QFile::encodeName(m_dir.filePath("ada.cht")).toStdString(), ada).empty() &&
                bad.open(QIODevice::WriteOnly) && bad.write("not a chart") > 0);
    }

    // Unknown options are ignored, and only the first file counts.
    void chartFileArgument()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{}, ""}, {{"--verbose", "ada.cht", "bad.cht"}, "ada.cht"}, {{"-", "--", "-x.cht", "b.cht"}, "b.cht"}};
        for (const auto& [arguments, file] : cases)
            QCOMPARE(zodiara::chartFileArgument(QStringList{"zodiara"} + arguments), file);
    }

    void fileOpensAtStart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error");  // start of the box's text; empty: no box, the file opened
        QTest::newRow("chart file") << "ada.cht" << "";
        QTest::newRow("bad file") << "bad.cht" << "Error reading file\n";
    }

    void fileOpensAtStart()
    {
        QFETCH(QString, file);
        QFETCH(QString, error);
        const bool opened = error.isEmpty();
        QtMessageService messages;
        QtPlatformServices platform;
        MainWindow window(messages, platform, m_dir.path(), QDateTime(QDate(2024, 3, 21), QTime(12, 30)));
        // Answers the box, so that a wrong one fails the row instead of blocking it.
        QString shown;
        bool overTheWindow = false;
        auto answer = test::onNextModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            // Shown once the window is, and centred over it.
            const QPoint offset = box->frameGeometry().center() - window.frameGeometry().center();
            overTheWindow = box->parentWidget() == &window && window.windowHandle()->isExposed()
                            && offset.manhattanLength() <= 4;
            box->accept();
        });
        window.openAtStart(m_dir.filePath(file));
        window.show();
        QCOMPARE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, opened ? 100 : 5000), !opened);
        *answer = nullptr;
        QVERIFY2(opened ? shown.isEmpty() : shown.startsWith(error) && shown.contains(m_dir.filePath(file)),
                 qPrintable(shown));
        QCOMPARE(overTheWindow, !opened);
        QCOMPARE((QVariantList{window.document().fileName(), chartFieldText(window.document().chart().name)}),
                 (QVariantList{opened ? m_dir.filePath(file) : QString(), opened ? "Ada" : ""}));
    }

    void helpAndVersionAnswerWithoutAWindow()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{"--version"}, "Zodiara 1.1\n"}, {{"--verbose", "-v", "ada.cht"}, "Zodiara 1.1\n"},
            {{"--help"}, "[options] [FILE.cht]"}};
        for (const auto& [arguments, output] : cases) {
            QProcess program;
            program.start(ZODIARA_EXE, arguments);
            QVERIFY(program.waitForFinished(10000));
            const QString printed = QString::fromUtf8(program.readAllStandardOutput());
            QVERIFY2(printed.contains(output), qPrintable(printed));
            QCOMPARE(program.exitCode(), 0);
        }
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
