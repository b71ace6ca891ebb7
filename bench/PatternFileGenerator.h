#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

// Makes the text of typical pattern files for benchmarks and fuzz seeds: a sector antenna
// with a main lobe, side lobes and a little measurement ripple, 1-degree steps, the
// header figures and the levels varied by `seed` so that no two files are alike.
class TPatternFileGenerator {
public:
    // An Ostrel file: keyword header, "HORIZONTAL 360" and "VERTICAL 360" sections of
    // "angle<tab>level" lines with 2 or 3 decimals, CR LF line ends (about 9-10 KB).
    static std::string OstrelText(std::uint32_t seed);
    // A Verizon ".vwa" file as TVerizonFile::SaveToText writes it for generated 361-point
    // cuts.
    static std::string VerizonText(std::uint32_t seed);
};

}  // namespace ostrel
