// Writes a few generated pattern files into a folder, as extra seeds for the fuzz targets
// beside the shipped samples.

#include <cstdio>
#include <exception>
#include <string>

#include "PatternFileGenerator.h"
#include "formats/TextLines.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    try {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            ostrel::WriteFileBytes(folder + "/generated" + std::to_string(seed) + ".txt",
                                   ostrel::TPatternFileGenerator::OstrelText(seed));
            ostrel::WriteFileBytes(folder + "/generated" + std::to_string(seed) + ".vwa",
                                   ostrel::TPatternFileGenerator::VerizonText(seed));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
