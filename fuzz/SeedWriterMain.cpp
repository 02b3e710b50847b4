// salvora-fuzz-seeds FOLDER: writes the seed corpus of every fuzz target into FOLDER/<target>.
#include <cstdio>
#include <exception>

#include "fuzz/FuzzSeeds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        salvora::fuzz::writeFuzzSeeds(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
