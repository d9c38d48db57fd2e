// The commands of zodiara-chart and what they share: the run's context, exit statuses and
// the outputs of a finished chart.
//
// To add a command, write `int runX(CommandContext&)` and add one line to the table in
// main.cpp. To add an output of a finished chart (an image, say), add its fields to
// ChartOutputOptions, its options to addChartOutputOptions and its work to emitChart.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/pipeline.h"
#include "cli/options.h"

namespace zodiara::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitRowFailed = 1;  // batch: at least one row was refused
inline constexpr int ExitBadInput = 2;   // nothing was written

struct ChartView;
struct ChartImageOptions;
// A file to be written: where, and all of its bytes.
struct OutputFile {
    std::string path;
    std::string bytes;
};
// Draws the requested images and pages of a chart into `files`; the reason on failure, empty on
// success. Nothing is written to disk: the outputs of a command are replaced all together.
using ChartImageEncoder =
    std::function<std::string(const ChartImageOptions&, const ChartView&, std::vector<OutputFile>& files)>;

// A place of the atlas, as --at finds it.
struct AtlasPlace {
    std::string line;       // the whole atlas line, for the note
    std::string place;      // its place text
    std::string longitude;  // "085E19"
    std::string latitude;   // "27N42"
    int zone = -1;          // the table zone of its standard time today; -1 for none
    std::string ianaZone;   // "Asia/Kathmandu"
};
// The place the lookup's ranking puts first for `text`, or why there is none.
struct PlaceSearch {
    std::optional<AtlasPlace> place;
    std::string reason;
};
using PlaceFinder = std::function<PlaceSearch(std::string_view text)>;

struct CommandContext {
    std::span<const std::string_view> args;  // after the command's name
    std::chrono::sys_seconds now;            // the instant the run began
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    ChartImageEncoder encodeImages;       // unset where the drawing layer is not linked in
    PlaceFinder findPlace;                // unset where the atlas reader is not linked in
    std::function<void()> beforeMessage;  // batch ends its progress line here
};

// Prints "zodiara-chart: <message>" as one line on the error stream; returns ExitBadInput.
int fail(const CommandContext& context, std::string_view message);
// Writes all of `text` to the output stream; false (with the reason on the error stream)
// when the stream refuses it.
bool writeOut(const CommandContext& context, std::string_view text);
bool flushOut(const CommandContext& context);
// Why a chart asked with precise positions was refused: the library's own error where it gave one,
// else the range they cover.
std::string preciseUnavailable(std::string_view libraryError = {});

// How a chart was computed; a chart shown as stored does not say.
struct Computation {
    HouseSystem houseSystem;
    Ephemeris ephemeris;
};

// A finished chart: computed, or shown as stored.
struct ChartView {
    const Chart& chart;
    const DerivedTables& tables;
    std::optional<Computation> computation;
};

// The drawn chart: the view as PNG or SVG (a client area of width x height, with or without
// the aspect table) and the printed pages as PDF.
struct ChartImageOptions {
    std::optional<std::string> pngPath, svgPath, pdfPath;
    std::optional<std::string_view> sizeText, paperText;
    int width = 580;
    int height = 420;
    bool aspects = false;
    bool letterPaper = false;
    bool any() const { return pngPath || svgPath || pdfPath; }
};

struct ChartOutputOptions {
    bool json = false;
    std::optional<std::string> savePath;
    ChartImageOptions images;
};

void addChartOutputOptions(OptionParser& parser, ChartOutputOptions& options);
// Checks what can be checked before any work is done; error text or empty.
std::string checkChartOutputOptions(const ChartOutputOptions& options);
// Prints the report or JSON and writes the chart file and the images, all or none. Nothing
// reaches the output stream when a file cannot be written, and no file is replaced when the
// output stream refuses the text.
int emitChart(const CommandContext& context, const ChartOutputOptions& options, const ChartView& view);

int runCompute(CommandContext& context);
int runShow(CommandContext& context);
int runBatch(CommandContext& context);

}  // namespace zodiara::cli
