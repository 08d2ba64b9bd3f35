// Writes the generated log of the scaling run: `scalinggen FILE MEGABYTES`.
#include "common/loggen.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: scalinggen FILE MEGABYTES\n");
        return 2;
    }
    loggen::Options options;
    options.targetBytes = std::atoll(argv[2]) * 1024 * 1024;
    options.hashEvery = 25;
    if (!loggen::writeFile(QString::fromLocal8Bit(argv[1]), options)) {
        std::fprintf(stderr, "scalinggen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
