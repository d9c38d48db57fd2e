#include "commands.h"

#include <cerrno>
#include <cstring>

#include "chartfile.h"
#include "json.h"
#include "report.h"

namespace zodiara::cli {

int fail(const CommandContext& context, std::string_view message)
{
    std::fprintf(context.err, "zodiara-chart: %.*s\n", int(message.size()), message.data());
    return ExitBadInput;
}

bool writeOut(const CommandContext& context, std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), context.out) == text.size())
        return true;
    fail(context, std::string("cannot write the output: ") + std::strerror(errno));
    return false;
}

bool flushOut(const CommandContext& context)
{
    if (std::fflush(context.out) == 0)
        return true;
    fail(context, std::string("cannot write the output: ") + std::strerror(errno));
    return false;
}

void addChartOutputOptions(OptionParser& parser, ChartOutputOptions& options)
{
    parser.addFlag("json", [&options] { options.json = true; });
    parser.addValue("save", [&options](std::string_view path) -> std::string {
        if (path.empty())
            return "option --save needs a file name";
        options.savePath = std::string(path);
        return {};
    });
}

std::string checkChartOutputOptions(const ChartOutputOptions&)
{
    return {};
}

int emitChart(const CommandContext& context, const ChartOutputOptions& options, const ChartView& view)
{
    if (options.savePath) {
        if (std::string error = writeChartFile(*options.savePath, view.chart); !error.empty())
            return fail(context, "cannot save " + *options.savePath + ": " + error);
    }
    std::string text;
    text.reserve(8192);
    if (options.json) {
        appendChartJson(text, view.chart, view.tables, view.houseSystem);
        text += '\n';
    } else {
        appendChartReport(text, view.chart, view.tables, view.houseSystem);
    }
    if (!writeOut(context, text) || !flushOut(context))
        return ExitBadInput;
    return ExitOk;
}

int runCompute(CommandContext& context)
{
    BirthArgs birth;
    ChartOutputOptions outputs;
    OptionParser parser;
    const auto text = [](std::optional<std::string_view>& field) {
        return [&field](std::string_view value) -> std::string {
            field = value;
            return {};
        };
    };
    parser.addValue("name", text(birth.name));
    parser.addValue("place", text(birth.place));
    parser.addValue("date", text(birth.date));
    parser.addValue("time", text(birth.time));
    parser.addValue("zone", text(birth.zone));
    parser.addValue("lon", text(birth.lon));
    parser.addValue("lat", text(birth.lat));
    parser.addFlag("dst", [&birth] { birth.dst = true; });
    parser.addFlag("bc", [&birth] { birth.bc = true; });
    addChartOutputOptions(parser, outputs);

    std::vector<std::string_view> positionals;
    if (std::string error = parser.parse(context.args, positionals); !error.empty())
        return fail(context, error);
    if (!positionals.empty())
        return fail(context, "compute: unexpected argument \"" + std::string(positionals.front()) + "\"");
    if (std::string error = checkChartOutputOptions(outputs); !error.empty())
        return fail(context, error);

    Chart chart;
    if (std::string error = birthChartFrom(birth, context.now, chart); !error.empty())
        return fail(context, error);
    DerivedTables tables;
    const HouseSystem system = computeChart(chart, tables);
    return emitChart(context, outputs, {chart, tables, system});
}

int runShow(CommandContext& context)
{
    ChartOutputOptions outputs;
    OptionParser parser;
    addChartOutputOptions(parser, outputs);
    std::vector<std::string_view> positionals;
    if (std::string error = parser.parse(context.args, positionals); !error.empty())
        return fail(context, error);
    if (positionals.size() != 1)
        return fail(context, positionals.empty() ? "show: which chart file? (zodiara-chart show FILE.cht)"
                                                 : "show: give one chart file, not " + std::to_string(positionals.size()));
    if (std::string error = checkChartOutputOptions(outputs); !error.empty())
        return fail(context, error);

    const std::string path(positionals.front());
    ChartReadResult read = readChartFile(path);
    if (!read.chart)
        return fail(context, "cannot read " + path + ": " + read.error);
    DerivedTables tables;
    rebuildDerivedTables(*read.chart, tables);
    return emitChart(context, outputs, {*read.chart, tables, std::nullopt});
}

}  // namespace zodiara::cli
