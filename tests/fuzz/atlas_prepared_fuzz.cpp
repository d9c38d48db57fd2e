// Any bytes at all as a prepared atlas file, over a small atlas: either it is refused, or every
// line reads and every search ends, giving lines of the atlas each at most once. The corpus starts
// from the file prepared for this very atlas, so mutations reach past the header.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "entry/atlas.h"

// The atlas the corpus's seeds were prepared from by zodiara_prepare_atlas, with and without this
// index beside it:
//   006E57 50N56<TAB>963395<TAB>Cologne<TAB>Koeln
//   000W08 51N31<TAB>8961989<TAB>Londres
//   081W14 42N59<TAB>346765
//   002E21 48N51<TAB>2138551
// clang-format off
const char AtlasText[] = "K\xc3\xb6ln, Germany  006E57 50N56 CET  Europe/Berlin\n"
                         "London, England  000W08 51N31 UT   Europe/London\n"
                         "London, Ontario  081W14 42N59 EST  America/Toronto\n"
                         "Paris, France  002E21 48N51 CET  Europe/Paris\n";
// clang-format on

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zodiara;
    const std::optional<Atlas> atlas = atlasFromPrepared(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), QByteArray(AtlasText));
    if (!atlas)
        return 0;
    for (int line = 0; line < atlas->lineCount(); ++line)
        atlas->line(line);
    for (const char* filter : {"l", "london", "lodnon", "koeln", "parsi", "x"}) {
        for (const auto search : {&Atlas::find, &Atlas::nearest}) {
            std::vector<int> found = ((*atlas).*search)(QString::fromLatin1(filter));
            std::sort(found.begin(), found.end());
            if (std::adjacent_find(found.begin(), found.end()) != found.end()
                || (!found.empty() && (found.front() < 0 || found.back() >= atlas->lineCount())))
                std::abort();
        }
    }
    return 0;
}
