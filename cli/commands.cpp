#include "cli/commands.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <utility>

#include "chart/chartfile.h"
#include "chart/fileio.h"
#include "chart/precise.h"
#include "chart/zoneclock.h"
#include "cli/json.h"
#include "cli/report.h"
#include "zones/clockcheck.h"

namespace zodiara::cli {

int fail(const CommandContext& context, std::string_view message)
{
    // A file name or a quoted value may hold a line break; the message stays one line.
    std::string line = "zodiara-chart: ";
    appendVisible(line, message);
    line += '\n';
    if (context.beforeMessage)
        context.beforeMessage();
    std::fputs(line.c_str(), context.err);
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
    // An earlier write may have failed inside the stream's buffer without a word.
    if (std::fflush(context.out) == 0 && !std::ferror(context.out))
        return true;
    fail(context, std::string("cannot write the output: ") + std::strerror(errno));
    return false;
}

std::string preciseUnavailable(std::string_view libraryError)
{
    while (!libraryError.empty() && (libraryError.back() == ' ' || libraryError.back() == '.'))
        libraryError.remove_suffix(1);
    if (!libraryError.empty())
        return "the ephemeris library gives no precise positions: " + std::string(libraryError);
    return "precise positions cover only " + preciseRangeText();
}

namespace {

// "WxH", each side 1..8192.
std::string parseImageSize(std::string_view text, int& width, int& height)
{
    const std::string bad = "--size wants WIDTHxHEIGHT in pixels, each 1 to 8192, not \"" + std::string(text) + "\"";
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return bad;
    const auto number = [](std::string_view digits, int& value) {
        if (digits.empty() || digits.size() > 4)
            return false;
        value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        return value >= 1 && value <= 8192;
    };
    int w = 0, h = 0;
    if (!number(text.substr(0, x), w) || !number(text.substr(x + 1), h))
        return bad;
    width = w;
    height = h;
    return {};
}

}  // namespace

void addChartOutputOptions(OptionParser& parser, ChartOutputOptions& options)
{
    parser.addFlag("json", [&options] { options.json = true; });
    ChartImageOptions& images = options.images;
    const auto file = [](std::string_view option, std::optional<std::string>& target) {
        return [option, &target](std::string_view path) -> std::string {
            if (path.empty())
                return "option --" + std::string(option) + " needs a file name";
            // "-" is standard output, written as its descriptor is (see FileReplacement).
            target = path == "-" ? std::string("/dev/stdout") : std::string(path);
            return {};
        };
    };
    parser.addValue("save", file("save", options.savePath));
    parser.addValue("png", file("png", images.pngPath));
    parser.addValue("svg", file("svg", images.svgPath));
    parser.addValue("pdf", file("pdf", images.pdfPath));
    parser.addValue("size", [&images](std::string_view text) -> std::string {
        images.sizeText = text;
        return parseImageSize(text, images.width, images.height);
    });
    parser.addValue("paper", [&images](std::string_view text) -> std::string {
        images.paperText = text;
        if (text != "a4" && text != "letter")
            return "--paper is a4 or letter, not \"" + std::string(text) + "\"";
        images.letterPaper = text == "letter";
        return {};
    });
    parser.addFlag("aspects", [&images] { images.aspects = true; });
}

std::string checkChartOutputOptions(const ChartOutputOptions& options)
{
    const ChartImageOptions& images = options.images;
    if (images.sizeText && !images.pngPath && !images.svgPath)
        return "--size goes with --png or --svg";
    if (images.paperText && !images.pdfPath)
        return "--paper goes with --pdf";
    if (images.aspects && !images.any())
        return "--aspects goes with --png, --svg or --pdf";
    // Only the last of two outputs into one file would be left.
    const std::pair<std::string_view, const std::optional<std::string>&> files[] = {
        {"--save", options.savePath}, {"--png", images.pngPath}, {"--svg", images.svgPath}, {"--pdf", images.pdfPath}};
    for (auto a = std::begin(files); a != std::end(files); ++a)
        for (auto b = a + 1; b != std::end(files); ++b)
            if (a->second && b->second && sameFile(*a->second, *b->second))
                return std::string(a->first) + " " + *a->second + " and " + std::string(b->first) + " " + *b->second
                       + " are the same file";
    return {};
}

int emitChart(const CommandContext& context, const ChartOutputOptions& options, const ChartView& view)
{
    std::vector<OutputFile> files;
    if (options.savePath) {
        const ChartImage image = chartImage(view.chart);
        files.push_back({*options.savePath, std::string(reinterpret_cast<const char*>(image.data()), image.size())});
    }
    if (options.images.any()) {
        if (!context.encodeImages)
            return fail(context, "this build cannot draw charts");
        if (std::string error = context.encodeImages(options.images, view, files); !error.empty())
            return fail(context, error);
    }
    // Ctrl-C, a closed terminal or a kill must not leave staged files behind.
    if (!files.empty())
        removeStagedFilesOnSignals();
    FileReplacement replacement;
    for (const OutputFile& file : files)
        if (std::string error = replacement.stage(file.path, file.bytes); !error.empty())
            return fail(context, "cannot write " + file.path + ": " + error);
    std::filesystem::path failed;
    if (std::string error = replacement.check(&failed); !error.empty())
        return fail(context, "cannot write " + failed.string() + ": " + error);

    std::string text;
    text.reserve(8192);
    if (options.json) {
        appendChartJson(text, view.chart, view.tables, view.computation);
        text += '\n';
    } else {
        appendChartReport(text, view.chart, view.tables, view.computation);
    }
    // The files last: an output that cannot be written (a full disk, a closed pipe) leaves them
    // as they were. Past commit()'s own checks only a descriptor named as a file (a closed pipe
    // again) or a target changed meanwhile can fail. A closed pipe must not end the program
    // before the staged files are cleaned up.
    if (!files.empty())
        std::signal(SIGPIPE, SIG_IGN);
    if (!writeOut(context, text) || !flushOut(context))
        return ExitBadInput;
    if (std::string error = replacement.commit(&failed); !error.empty())
        return fail(context, "cannot write " + failed.string() + ": " + error);
    return ExitOk;
}

namespace {

void note(const CommandContext& context, std::string_view message)
{
    std::fprintf(context.err, "zodiara-chart: %.*s\n", int(message.size()), message.data());
}

// The entry the time-zone database gives for `birth` at `place`, taken into `birth`. A clock time that
// did not exist or existed twice is refused, for the user to say which with --zone or --dst; but "now"
// (`isNow`) is an instant, and its clock is read again on the entry taken.
std::string takeClockCheck(const CommandContext& context, const AtlasPlace& place, bool isNow, BirthData& birth)
{
    const ClockCheck check = checkClock(place.ianaZone, birth, place.zone, true);
    if (check.verdict == ClockCheck::Verdict::Unknown || check.verdict == ClockCheck::Verdict::Agrees)
        return {};
    if (check.ambiguous() && !isNow) {
        const bool skipped = check.lookup.kind == ClockLookup::Kind::Skipped;
        return birthMomentText(birth) + (skipped ? " did not exist" : " happened twice") + " in " + place.ianaZone
               + (skipped ? ": the clocks went from " : ": first at ") + clockReadingText(check.lookup.first)
               + (skipped ? " to " : ", then at ") + clockReadingText(check.lookup.second)
               + "; say which with --zone and --dst";
    }
    if (check.verdict == ClockCheck::Verdict::UniversalTime && !isNow)
        note(context, "no time zone of the list has " + utcOffsetText(check.reading.offsetSeconds) + " ("
                          + check.reading.abbreviation + "): the birth is entered in Universal Time, as "
                          + birthMomentText(check.proposed));
    birth = check.proposed;
    if (isNow) {
        const ZoneClock clock = zoneClockAt(context.now, birth.zone, birth.daylightSaving, birth.longitude);
        birth.birthDate = clock.date;
        birth.localTime = clock.time;
        birth.beforeChrist = false;
    }
    return {};
}

}  // namespace

int runCompute(CommandContext& context)
{
    BirthArgs args;
    ChartOutputOptions outputs;
    OptionParser parser;
    const auto text = [](std::optional<std::string_view>& field) {
        return [&field](std::string_view value) -> std::string {
            field = value;
            return {};
        };
    };
    parser.addValue("name", text(args.name));
    parser.addValue("place", text(args.place));
    parser.addValue("date", text(args.date));
    parser.addValue("time", text(args.time));
    parser.addValue("zone", text(args.zone));
    parser.addValue("lon", text(args.lon));
    parser.addValue("lat", text(args.lat));
    parser.addFlag("dst", [&args] { args.dst = true; });
    parser.addFlag("bc", [&args] { args.bc = true; });
    std::optional<std::string_view> at;
    parser.addValue("at", text(at));
    Ephemeris ephemeris = Ephemeris::Classic;
    parser.addValue("ephemeris", [&ephemeris](std::string_view value) { return parseEphemeris(value, ephemeris); });
    addChartOutputOptions(parser, outputs);

    std::vector<std::string_view> positionals;
    if (std::string error = parser.parse(context.args, positionals); !error.empty())
        return fail(context, error);
    if (!positionals.empty())
        return fail(context, "compute: unexpected argument \"" + std::string(positionals.front()) + "\"");
    if (std::string error = checkChartOutputOptions(outputs); !error.empty())
        return fail(context, error);

    // --at fills what the other options leave open.
    std::optional<AtlasPlace> place;
    const bool clockGiven = args.zone || args.dst;
    std::string zoneText;
    if (at) {
        if (!context.findPlace)
            return fail(context, "--at: no atlas in this build");
        PlaceSearch search = context.findPlace(*at);
        if (!search.place)
            return fail(context, "--at \"" + std::string(*at) + "\": " + search.reason);
        place = std::move(search.place);
        note(context, "--at \"" + std::string(*at) + "\" took " + place->line);
        args.place = args.place.value_or(place->place);
        args.lon = args.lon.value_or(place->longitude);
        args.lat = args.lat.value_or(place->latitude);
        if (!args.zone && place->zone >= 0) {
            zoneText = std::to_string(place->zone);
            args.zone = zoneText;
        }
    }

    BirthData birth;
    if (std::string error = birthDataFrom(args, context.now, birth); !error.empty())
        return fail(context, error);
    if (place && !clockGiven)
        if (std::string error = takeClockCheck(context, *place, !args.date && !args.time, birth); !error.empty())
            return fail(context, error);
    std::string libraryError;
    const std::optional<ComputedChart> computed = computeChart(birth, ephemeris, {}, &libraryError);
    if (!computed)
        return fail(context, preciseUnavailable(libraryError) + "; use --ephemeris classic for this date");
    return emitChart(context, outputs,
                     {computed->chart, computed->tables, Computation{computed->houseSystem, ephemeris}});
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
        return fail(context, positionals.empty()
                                 ? "show: which chart file? (zodiara-chart show FILE.cht)"
                                 : "show: give one chart file, not " + std::to_string(positionals.size()));
    if (std::string error = checkChartOutputOptions(outputs); !error.empty())
        return fail(context, error);

    const std::string path(positionals.front());
    ChartReadResult read = readChartFile(path);
    if (!read.chart)
        return fail(context, "cannot read " + path + ": " + read.error);
    const DerivedTables tables = derivedTables(*read.chart);
    return emitChart(context, outputs, {*read.chart, tables, std::nullopt});
}

}  // namespace zodiara::cli
