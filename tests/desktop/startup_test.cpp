// `zodiara FILE.cht`: the application opens a chart named on its command line as Open would.
#include "chartfile.h"
#include "pipeline.h"
#include "testsupport.h"
#include "tmyapp.h"
#include "tmymainwindow.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <vector>

using namespace zodiara;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileArgument_data();
    void fileArgument();

private:
    QTemporaryDir m_dir;
    Chart m_chart;
};

void StartupTest::initTestCase()
{
    test::installQuietHandler();
    QVERIFY(m_dir.isValid());
    std::memcpy(m_chart.name, "Ada", 4);
    m_chart.birthDate.year = 1990;
    m_chart.birthDate.month = 1;
    m_chart.birthDate.day = 1;
    m_chart.localTime.hour = 12;
    m_chart.zone = 6;
    m_chart.longitude = {74, 0, West};
    m_chart.latitude = {40, 43, North};
    DerivedTables tables;
    computeChart(m_chart, tables);
    QVERIFY(writeChartFile(m_dir.filePath("ada.cht").toStdString(), m_chart).empty());
    QFile bad(m_dir.filePath("bad.cht"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a chart");
}

void StartupTest::fileArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("error");  // start of the message box's text; empty: no box

    QTest::newRow("chart file") << QStringList{"ada.cht"} << true << "";
    QTest::newRow("an option first, later arguments ignored") << QStringList{"--verbose", "ada.cht", "bad.cht"} << true
                                                              << "";
    QTest::newRow("bad file: error box, start-up chart stays") << QStringList{"bad.cht"} << false
                                                               << "Error reading file\n";
    QTest::newRow("missing file") << QStringList{"none.cht"} << false << "Error reading file\n";
}

void StartupTest::fileArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, opened);
    QFETCH(QString, error);

    std::vector<QByteArray> storage{"zodiara"};
    for (const QString& argument : arguments)
        storage.push_back((argument.startsWith(u'-') ? argument : m_dir.filePath(argument)).toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = int(storage.size());

    TMyApp app(argc, argv.data());
    // Answers any message box, so that a wrong one fails the row instead of blocking it.
    QString shown;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    watcher.start(10);
    app.InitMainWindow();
    TMyMainWindow* view = app.view();
    QVERIFY(view->isVisible());
    if (error.isEmpty()) {
        QTest::qWait(100);
        QVERIFY2(shown.isEmpty(), qPrintable(shown));
    } else {
        QTRY_VERIFY(!shown.isEmpty());
        QVERIFY2(shown.startsWith(error) && shown.contains(m_dir.filePath(arguments[0])), qPrintable(shown));
    }
    QCOMPARE(view->fileName(), opened ? m_dir.filePath("ada.cht") : QString());
    QCOMPARE(view->saved(), opened);
    QCOMPARE(std::memcmp(&view->chart(), &m_chart, sizeof(Chart)) == 0, opened);
}

QTEST_APPLESS_MAIN(StartupTest)
#include "startup_test.moc"
