// The document's state table without a window: what Open, Save, Save As, the chart data
// dialog's OK and the ephemeris switch do to the chart, its flags and its file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/chartdocument.h"
#include "chart/chartfile.h"
#include "ui/textconversion.h"

using namespace zodiara;

namespace {

// Every document starts at the same instant, so no result depends on the clock.
const QDateTime Now(QDate(2024, 3, 21), QTime(17, 30, 15), Qt::UTC);  // 12:30:15 in EST

struct Step {
    enum Kind { Open, SaveAs, Save, Create, Modify, Precise, BlockFile } kind;
    QString file = {};  // Open, Save As, BlockFile: a file of the row's folder, without ".cht"
    QString name = {};  // Create, Modify: the new name; empty leaves the birth data as it is
};

std::filesystem::path fsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The file image of a chart: what the program stores, so what has to agree.
QByteArray image(const Chart& chart)
{
    const ChartImage bytes = chartImage(chart);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

Chart computed(const BirthData& birth, Ephemeris ephemeris = Ephemeris::Classic)
{
    Chart chart;
    setBirthData(chart, birth);
    DerivedTables tables;
    computeChart(chart, tables, ephemeris);
    return chart;
}

}  // namespace

Q_DECLARE_METATYPE(Step)

class ChartDocumentTest : public QObject {
    Q_OBJECT

private slots:
    // Files are named without the row's folder and, in the steps, without ".cht"; % is the folder.
    void stateTable_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QVariantList>("state");  // saved, the file, the chart's name, which it has when present
        QTest::addColumn<QString>("error");  // the start of the last failure's message
        const auto row = [](const char* tag, const QList<Step>& steps, const QVariantList& state,
                             const QString& error = {}) {
            QTest::newRow(tag) << steps << state << error;
        };
        const Step openAnn{Step::Open, "ann"}, modifyToBea{Step::Modify, {}, "Bea"};
        const QString notChart = "Error reading file\n%bad.cht: not a chart file: 10 bytes";
        row("start", {}, {false, "", ""});
        row("open", {openAnn}, {true, "ann", "Ann"});
        row("open of a file that is no chart", {{Step::Open, "bad"}}, {false, "", ""}, notChart);
        row("open of a missing file", {{Step::Open, "missing"}}, {false, "", ""},
            "Error reading file\n%missing.cht: cannot open it");
        row("failed open keeps the chart", {openAnn, {Step::Open, "bad"}}, {true, "ann", "Ann"}, notChart);
        row("save as of the start-up chart", {{Step::SaveAs, "new"}}, {true, "new", ""});
        row("save as fails", {{Step::SaveAs, "no/x"}}, {false, "", ""}, "Error writing file\n%no/x.cht: ");
        row("failed save stays unsaved", {openAnn, modifyToBea, {Step::BlockFile, "ann"}, {Step::Save}},
            {false, "ann", "Bea"}, "Error writing file\n%ann.cht: ");
        row("create", {{Step::Create, {}, "Bea"}}, {false, "", "Bea"});
        row("create forgets the file", {openAnn, {Step::Create, {}, "Bea"}}, {false, "", "Bea"});
        row("modify keeps the file", {openAnn, modifyToBea}, {false, "ann", "Bea"});
        row("modify then save", {openAnn, modifyToBea, {Step::Save}}, {true, "ann", "Bea"});
        row("unchanged modify is a change", {openAnn, {Step::Modify}}, {false, "ann", "Ann"});
        row("precise start-up chart", {{Step::Precise}}, {false, "", ""});
        row("precise after save as", {{Step::SaveAs, "new"}, {Step::Precise}}, {false, "new", ""});
        row("precise opened chart", {openAnn, {Step::Precise}}, {false, "ann", "Ann"});
    }

    void stateTable()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QVariantList, state);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const auto path = [&dir](const QString& file) { return file.isEmpty() ? file : dir.filePath(file + ".cht"); };
        const Chart ann = computed({.longitude = {0, 10, West}, .latitude = {51, 30, North}, .name = "Ann",
                                    .birthDate = {1980, 15, 6}, .localTime = {8, 45, 0, 0}});
        QFile bad(path("bad"));  // ten bytes
        QVERIFY(writeChartFile(fsPath(path("ann")), ann).empty() && bad.open(QIODevice::WriteOnly) &&
                bad.write("0123456789") == 10 && bad.flush());

        ChartDocument document(Now);
        QString shown;
        for (const Step& step : steps) {
            BirthData birth = birthDataOf(document.chart());
            if (!step.name.isEmpty())
                QCOMPARE(setChartField(birth.name, step.name), SetTextResult::Ok);
            QString failed;
            switch (step.kind) {
            case Step::Open: failed = document.open(path(step.file)); break;
            case Step::SaveAs: failed = document.saveAs(path(step.file)); break;
            case Step::Save: failed = document.save(); break;
            case Step::Create: document.create(birth); break;
            case Step::Modify: document.modify(birth); break;
            case Step::Precise: document.setEphemeris(Ephemeris::Precise); break;
            case Step::BlockFile:  // a folder where the file was
                QVERIFY(QFile::remove(path(step.file)) && QDir().mkpath(path(step.file) + "/inside"));
                break;
            }
            if (!failed.isEmpty())
                shown = failed;
        }

        // The reason follows on the second line, after the file.
        error.replace('%', dir.path() + '/');
        QVERIFY2(shown.startsWith(error) && shown.isEmpty() == error.isEmpty() &&
                     (shown.isEmpty() || (shown.count('\n') == 1 && shown.endsWith('.'))), qPrintable(shown));
        const QString name = chartFieldText(document.chart().name);
        QCOMPARE((QVariantList{document.saved(), document.fileName(), name, document.chartPresent()}),
                 (QVariantList{state[0], path(state[1].toString()), state[2], !state[2].toString().isEmpty()}));
        // What Save or Save As reported as written is on disk.
        QFile written(document.fileName());
        if (document.saved() && !document.fileName().isEmpty())
            QCOMPARE(written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray(), image(document.chart()));
    }

    // The start-up chart is computed with the classic ephemeris; the switch recomputes the chart
    // shown, and later computations keep the choice.
    void ephemerisSwitchRecomputesTheChart()
    {
        const BirthData startUp{.longitude = {49, 0, West}, .latitude = {24, 0, North}, .zone = 6,
                                .birthDate = {2024, 21, 3}, .localTime = {12, 30, 15, 0}};
        const QByteArray classic = image(computed(startUp));
        const QByteArray precise = image(computed(startUp, Ephemeris::Precise));
        QVERIFY(classic != precise);
        ChartDocument document(Now);
        QCOMPARE(image(document.chart()), classic);
        document.setEphemeris(Ephemeris::Precise);
        QCOMPARE(image(document.chart()), precise);
        document.modify(birthDataOf(document.chart()));
        QCOMPARE(image(document.chart()), precise);
        document.setEphemeris(Ephemeris::Classic);
        QCOMPARE(image(document.chart()), classic);

        // Beyond the precise positions' range the classic tables stand in, and stay chosen.
        BirthData far = startUp;
        far.birthDate.year = 5000;
        QVERIFY(!document.modify(far).preciseUnavailable);
        const ComputeOutcome refused = document.setEphemeris(Ephemeris::Precise);
        QVERIFY(refused.preciseUnavailable && document.ephemeris() == Ephemeris::Classic);
        QCOMPARE(image(document.chart()), image(computed(far)));
    }
};

QTEST_GUILESS_MAIN(ChartDocumentTest)
#include "chartdocument_test.moc"
