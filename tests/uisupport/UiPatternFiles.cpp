#include "uisupport/UiPatternFiles.h"

#include <filesystem>

namespace ostrel {

std::vector<std::string> ShownPatternFiles() {
    const std::filesystem::path real = OSTREL_REALDATA_DIR;
    const char* const realNames[] = {"B800A065-18-0E.pln", "AMB4520R8v06_1845_M45_04T_y1.msi",
                                     "LTE-L_1960MHz_P1.txt"};
    std::vector<std::string> files;
    for (const char* name : realNames) {
        if (std::filesystem::exists(real / name)) files.push_back((real / name).string());
    }
    if (files.size() == std::size(realNames)) return files;
    const std::filesystem::path samples = OSTREL_SAMPLES_DIR;
    return {(samples / "sector65_dbd.txt").string(), (samples / "tilted_6deg.msi").string(),
            (samples / "panel_1900.vwa").string()};
}

}  // namespace ostrel
