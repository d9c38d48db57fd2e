#include "app/commandline.h"

#include <QCommandLineParser>

namespace zodiara {

QString chartFileArgument(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Computes, draws, saves and prints natal charts."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.cht"), QStringLiteral("A chart file to open at start."),
                                 QStringLiteral("[FILE.cht]"));
    // An unknown option is no reason to refuse to start, so the parser's verdict is not asked.
    parser.parse(arguments);
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("help-all")))  // Qt's own options too; the rest cannot disturb it
        parser.process(QStringList{arguments.value(0), QStringLiteral("--help-all")});
    // A lone "-" and anything after "--" that looks like an option were never taken as files.
    for (const QString& argument : parser.positionalArguments())
        if (!argument.startsWith(u'-'))
            return argument;
    return {};
}

}  // namespace zodiara
