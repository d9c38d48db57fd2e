// zodiara-chart: natal charts from the command line, for people and for scripts.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/modules.h"
#include "lore/lorecommands.h"

namespace {

using namespace zodiara::cli;

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(CommandContext&);
};

int runLore(CommandContext& context, zodiara::LoreAnswer (*command)(std::span<const std::string_view>))
{
    const zodiara::LoreAnswer answer = command(context.args);
    // Through fail(), so that a quoted argument with a line break cannot make it two lines.
    if (answer.status != ExitOk) {
        fail(context, answer.refusal);
        return answer.status;
    }
    return writeOut(context, answer.output) && flushOut(context) ? ExitOk : ExitBadInput;
}
int runTraits(CommandContext& context) { return runLore(context, zodiara::runTraitsCommand); }
int runCompatibility(CommandContext& context) { return runLore(context, zodiara::runCompatibilityCommand); }

// The entry `name` of the module `file` beside the program's file (its links resolved), loaded on
// first use; null, with the reason, when there is none.
template <typename Entry>
Entry* moduleEntry(const char* file, const char* name, std::string& reason)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string path = (program.parent_path() / file).string();
    // Never closed: Qt does not expect to be unloaded.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module ? ::dlsym(module, name) : nullptr;
    if (!entry)
        reason = ::dlerror();
    return reinterpret_cast<Entry*>(entry);
}

std::string drawImages(const ChartImageOptions& options, const ChartView& view, std::vector<OutputFile>& files)
{
    std::string error;
    const auto draw = moduleEntry<decltype(zodiaraDrawChartImages)>(ImagesModule, "zodiaraDrawChartImages", error);
    if (!draw)
        return "cannot draw: " + error;
    draw(options, view, files, error);
    return error;
}

PlaceSearch findPlace(std::string_view text)
{
    PlaceSearch search;
    const auto find = moduleEntry<decltype(zodiaraFindAtlasPlace)>(AtlasModule, "zodiaraFindAtlasPlace", search.reason);
    if (!find)
        return {std::nullopt, "no atlas: " + search.reason};
    find(text, search);
    return search;
}

// One line per command.
constexpr Command Commands[] = {
    {"compute",
     "compute [--name TEXT] [--place TEXT] [--date YYYY-MM-DD] [--time HH:MM[:SS]] [--zone N|ABBR] "
     "[--dst] [--bc] [--lon DDD(E|W)MM] [--lat DD(N|S)MM] [--at PLACE] [--ephemeris classic|precise] [--json] "
     "[--save FILE.cht] [IMAGES]",
     runCompute},
    {"show", "show FILE.cht [--json] [--save OTHER.cht] [IMAGES]", runShow},
    {"batch",
     "batch [--jobs N] [FILE.csv|-]    (columns name,place,date,time,zone,dst,bc,lon,lat[,ephemeris]; JSON lines out)",
     runBatch},
    {"traits", "traits SIGN    (a sign name, an index 0..11 or a birthday MM-DD)", runTraits},
    {"compatibility", "compatibility SIGN SIGN", runCompatibility},
};

void printUsage(std::FILE* to)
{
    std::fputs("usage:\n", to);
    for (const Command& command : Commands)
        std::fprintf(to, "  zodiara-chart %.*s\n", int(command.usage.size()), command.usage.data());
    std::fputs("Without a date and time the chart is of this moment; the place defaults to zone 6 (EST), "
               "49W00, 24N00.\nIMAGES: [--png FILE [--size WxH]] [--svg FILE [--size WxH]] [--pdf FILE "
               "[--paper a4|letter]] [--aspects]; PNG and SVG show the chart as the window would (580x420 unless "
               "--size), PDF the printed pages at 600 dpi; --aspects adds the aspect table (a second PDF page).\n"
               "Bad input: a message on stderr and exit status 2; batch exits with 1 when a row "
               "was refused.\n",
               to);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    CommandContext context;
    context.now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    context.encodeImages = drawImages;
    context.findPlace = findPlace;
    if (args.empty()) {
        fail(context, "no command given; try zodiara-chart --help");
        return ExitBadInput;
    }
    if (args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        printUsage(context.out);
        return flushOut(context) ? ExitOk : ExitBadInput;
    }
    for (const Command& command : Commands) {
        if (command.name == args.front()) {
            context.args = std::span(args).subspan(1);
            return command.run(context);
        }
    }
    return fail(context, "unknown command \"" + std::string(args.front()) + "\"; try zodiara-chart --help");
}
