// Writes the lookup's prepared file for an atlas, at build time; the index (atlas-index.txt) is
// read from beside the atlas.
//   zodiara_prepare_atlas ATLAS OUTPUT
#include "entry/atlas.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: zodiara_prepare_atlas ATLAS OUTPUT\n", stderr);
        return 2;
    }
    const QString error = zodiara::writePreparedAtlas(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "zodiara_prepare_atlas: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
