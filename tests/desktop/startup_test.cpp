// `zodiara [FILE.cht]`: which argument is the chart file, and --help and --version answer
// without a window. Opening the file at start is the main window test's.
#include <QProcess>
#include <QTest>

#include "app/commandline.h"
#include "version.h"

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Unknown options are ignored, and only the first file counts.
    void chartFileArgument()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{}, ""}, {{"--verbose", "ada.cht", "bad.cht"}, "ada.cht"}, {{"-", "--", "-x.cht", "b.cht"}, "b.cht"}};
        for (const auto& [arguments, file] : cases)
            QCOMPARE(zodiara::chartFileArgument(QStringList{"zodiara"} + arguments), file);
    }

    void helpAndVersionAnswerWithoutAWindow()
    {
        for (const QStringList& arguments : {QStringList{"--version"}, {"--verbose", "-v", "ada.cht"}, {"--help"}}) {
            const QString output = arguments.contains("--help")
                                       ? "[options] [FILE.cht]"
                                       : QStringLiteral("Zodiara %1\n").arg(zodiara::ProgramVersion);
            QProcess program;
            program.start(ZODIARA_EXE, arguments);
            QVERIFY(program.waitForFinished(10000));
            const QString printed = QString::fromUtf8(program.readAllStandardOutput());
            QVERIFY2(printed.contains(output), qPrintable(printed));
            QCOMPARE(program.exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "startup_test.moc"
