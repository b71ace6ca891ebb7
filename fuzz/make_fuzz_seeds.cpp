// Writes a few generated pattern files into a folder, as extra seeds for the fuzz targets
// beside the shipped samples.

#include <cstdio>
#include <exception>
#include <string>

#include "PatternFileGenerator.h"
#include "formats/TextLines.h"

namespace {

// The smallest EDX file that reads: short lines, 72 cuts, so that mutations of it reach the
// table and the patterns within the fuzzers' length limit.
std::string CompactEdxText() {
    std::string text = "t\n";
    for (int a = 0; a < 360; ++a) text += std::to_string(a) + "," + std::to_string(a % 7) + "\n";
    text += "v\n72,c\n";
    for (int c = 0; c < 72; ++c) {
        text += std::to_string(c * 5) + "\n";
        for (int j = 0; j < 181; ++j)
            text += std::to_string(90 - j) + "," + std::to_string((j + c) % 9) + "\n";
    }
    return text;
}

}  // namespace

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
        ostrel::WriteFileBytes(folder + "/generated.doc", CompactEdxText());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
