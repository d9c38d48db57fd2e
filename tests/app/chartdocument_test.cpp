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
    enum Kind { Open, SaveAs, Save, Create, Modify, Precise, Classic, BlockFile } kind;
    QString file = {};  // Open, Save As, BlockFile: a file of the row's folder, without ".cht"
    QString name = {};  // Create, Modify: the new name; empty leaves the birth data as it is
};

// 0W10, 51N30, 15 June 1980 at 8:45 in zone 0.
const BirthData Ann{"Ann", "", {1980, 6, 15}, false, {8, 45, 0}, 0, false, {0, 10, West}, {51, 30, North}};

Chart computed(const BirthData& birth, Ephemeris ephemeris = Ephemeris::Classic)
{
    return computeChart(birth, ephemeris).value().chart;
}

}  // namespace

Q_DECLARE_METATYPE(Step)

class ChartDocumentTest : public QObject {
    Q_OBJECT

private slots:
    // The start-up chart is of the instant on the clock of zone 6 (EST), at 49W00, 24N00.
    void startUpChart()
    {
        const BirthData startUp{"", "", {2024, 3, 21}, false, {12, 30, 15}, 6, false, {49, 0, West}, {24, 0, North}};
        QCOMPARE(chartImage(ChartDocument(Now).chart()), chartImage(computed(startUp)));
    }

    // Files are named without the row's folder and, in the steps, without ".cht"; % is the folder.
    void stateTable_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        // saved, the file, the chart's name (which it has when present), precise positions
        QTest::addColumn<QVariantList>("state");
        QTest::addColumn<QString>("error");  // the start of every failure's message
        const auto row = [](const char* tag, const QList<Step>& steps, const QVariantList& state,
                            const QString& error = {}) { QTest::newRow(tag) << steps << state << error; };
        const Step openAnn{Step::Open, "ann"}, modifyToBea{Step::Modify, {}, "Bea"}, precise{Step::Precise};
        row("precise start-up chart", {precise}, {false, "", "", true});
        row("open", {openAnn}, {true, "ann", "Ann", false});
        row("failed open keeps the chart", {openAnn, {Step::Open, "folder"}}, {true, "ann", "Ann", false},
            "Error reading file\n%folder.cht: ");
        row("save as of the start-up chart", {{Step::SaveAs, "new"}}, {true, "new", "", false});
        row("save as fails", {{Step::SaveAs, "no/x"}}, {false, "", "", false}, "Error writing file\n%no/x.cht: ");
        row("failed save stays unsaved", {openAnn, modifyToBea, {Step::BlockFile, "ann"}, {Step::Save}},
            {false, "ann", "Bea", false}, "Error writing file\n%ann.cht: ");
        row("create forgets the file", {openAnn, {Step::Create, {}, "Bea"}}, {false, "", "Bea", false});
        row("modify then save", {openAnn, modifyToBea, {Step::Save}}, {true, "ann", "Bea", false});
        row("unchanged modify is a change", {openAnn, {Step::Modify}}, {false, "ann", "Ann", false});
        row("precise opened chart", {openAnn, precise}, {false, "ann", "Ann", true});
        row("modify keeps precise", {openAnn, precise, modifyToBea}, {false, "ann", "Bea", true});
        row("classic again", {openAnn, precise, {Step::Classic}}, {false, "ann", "Ann", false});
    }

    void stateTable()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QVariantList, state);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const auto path = [&dir](const QString& file) { return file.isEmpty() ? file : dir.filePath(file + ".cht"); };
        const auto native = [](const QString& path) { return QFile::encodeName(path).toStdString(); };
        QVERIFY(writeChartFile(native(path("ann")), computed(Ann)).empty() && QDir().mkpath(path("folder")));

        ChartDocument document(Now);
        QString shown;  // every failure, so that an unexpected one fails the row
        for (const Step& step : steps) {
            BirthData birth = document.chart().birth;
            if (!step.name.isEmpty())
                birth.name = toUtf8(step.name);
            switch (step.kind) {
            case Step::Open: shown += document.open(path(step.file)); break;
            case Step::SaveAs: shown += document.saveAs(path(step.file)); break;
            case Step::Save: shown += document.save(); break;
            case Step::Create: document.create(birth); break;
            case Step::Modify: document.modify(birth); break;
            case Step::Precise: document.setEphemeris(Ephemeris::Precise); break;
            case Step::Classic: document.setEphemeris(Ephemeris::Classic); break;
            case Step::BlockFile:  // a folder where the file was
                QVERIFY(QFile::remove(path(step.file)) && QDir().mkpath(path(step.file) + "/inside"));
                break;
            }
        }

        error.replace('%', dir.path() + '/');
        QVERIFY2(shown.startsWith(error) && shown.isEmpty() == error.isEmpty(), qPrintable(shown));
        const QString name = toQString(document.chart().birth.name);
        const bool precise = document.ephemeris() == Ephemeris::Precise;
        QCOMPARE(
            (QVariantList{document.saved(), document.fileName(), name, precise, document.chartPresent()}),
            (QVariantList{state[0], path(state[1].toString()), state[2], state[3], !state[2].toString().isEmpty()}));
        // The chart shown is its birth data computed with the chosen ephemeris, and what Save or
        // Save As reported as written reads back as the chart.
        const ChartImage shownImage = chartImage(document.chart());
        QCOMPARE(shownImage, chartImage(computed(document.chart().birth, document.ephemeris())));
        if (document.saved() && !document.fileName().isEmpty())
            QCOMPARE(chartImage(readChartFile(native(document.fileName())).chart.value_or(Chart())), shownImage);
    }
};

QTEST_GUILESS_MAIN(ChartDocumentTest)
#include "chartdocument_test.moc"
