// The parts of zodiara-chart that need Qt, each a module beside the program that main loads only
// when a command asks for it: the drawing layer (Qt Gui) for images and the atlas (Qt Core) for
// --at. The other commands start without loading Qt at all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace zodiara::cli {

inline constexpr const char* ImagesModule = "zodiara-chart-images.so";
inline constexpr const char* AtlasModule = "zodiara-chart-atlas.so";

}  // namespace zodiara::cli

// The entries, found by their C names. The program and its modules are built from one tree and
// installed together, so they share these C++ types.
extern "C" {

// Draws every file requested into `files`; stops at the first failure and leaves its reason in
// `error`, which stays empty on success.
[[gnu::visibility("default")]] void zodiaraDrawChartImages(const zodiara::cli::ChartImageOptions& options,
                                                           const zodiara::cli::ChartView& view,
                                                           std::vector<zodiara::cli::OutputFile>& files,
                                                           std::string& error);
// The place of the atlas beside the program that the lookup's ranking puts first for `text`, or why
// there is none.
[[gnu::visibility("default")]] void zodiaraFindAtlasPlace(std::string_view text, zodiara::cli::PlaceSearch& search);
}
