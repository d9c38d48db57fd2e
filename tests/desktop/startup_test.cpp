// `zodiara FILE.cht`: the application opens a chart named on its command line as Open would.
#include "chartfile.h"
#include "pipeline.h"
#include "testsupport.h"
#include "tmyapp.h"
#include "tmymainwindow.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <vector>

using namespace zodiara;

class StartupTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    Chart m_chart;

private slots:
    void initTestCase()
    {
        test::installQuietHandler();
        QVERIFY(m_dir.isValid());
        std::memcpy(m_chart.name, "Ada", 4);
        m_chart.birthDate = {1990, 1, 1};
        DerivedTables tables;
        computeChart(m_chart, tables);
        QVERIFY(writeChartFile(m_dir.filePath("ada.cht").toStdString(), m_chart).empty());
        QFile bad(m_dir.filePath("bad.cht"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a chart") > 0);
    }

    void fileArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");  // start of the message box's text; empty: no box, the file opened
        QTest::newRow("chart file") << QStringList{"ada.cht"} << "";
        QTest::newRow("option first, more ignored") << QStringList{"--verbose", "ada.cht", "bad.cht"} << "";
        // An error box, and the start-up chart stays.
        QTest::newRow("bad file") << QStringList{"bad.cht"} << "Error reading file\n";
        QTest::newRow("missing file") << QStringList{"none.cht"} << "Error reading file\n";
    }

    void fileArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const bool opened = error.isEmpty();
        std::vector<QByteArray> storage{"zodiara"};
        for (const QString& argument : arguments)
            storage.push_back((argument.startsWith(u'-') ? argument : m_dir.filePath(argument)).toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int argc = int(storage.size());
        TMyApp app(argc, argv.data());
        // Answers a message box, so that a wrong one fails the row instead of blocking it.
        QString shown;
        auto answer = test::onNextModal<QMessageBox>([&shown](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        app.InitMainWindow();
        TMyMainWindow* view = app.view();
        QVERIFY(view->isVisible());
        QCOMPARE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, error.isEmpty() ? 100 : 5000), !error.isEmpty());
        *answer = nullptr;
        const bool named = shown.startsWith(error) && shown.contains(m_dir.filePath(arguments[0]));
        QVERIFY2(error.isEmpty() ? shown.isEmpty() : named, qPrintable(shown));
        const bool sameChart = chartImage(view->chart()) == chartImage(m_chart);
        QCOMPARE((QVariantList{view->fileName(), view->saved(), sameChart}),
                 (QVariantList{opened ? m_dir.filePath("ada.cht") : QString(), opened, opened}));
    }
};

QTEST_APPLESS_MAIN(StartupTest)
#include "startup_test.moc"
