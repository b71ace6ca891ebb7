#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// One vertical slice of an EDX pattern file: its azimuth, its points (X = elevation in
// degrees, positive above the horizon; Y = level in dB) and the line of its azimuth.
struct TEdxSlice {
    double Azimuth = 0;
    TRealPointList Points;
    long long Line = 0;
};

// The EDX antenna pattern file ("*.pat"): a line "'name', gain, kypat", the azimuth pattern
// as ascending "angle, value" lines, a line "999", a line "slices, points" and the slices,
// each an azimuth line followed by its "elevation, value" lines. Fields are separated by a
// comma and/or blanks. Values are read as dB: kypat 1 (relative field strength) is turned
// into 20*log10(field). Every fault raises EFormatError naming the line.
class TEdxPatFile {
public:
    void LoadFromFile(const std::string& fileName);
    void LoadFromText(std::string_view text);

    std::string Name;
    double GainDbi = 0;
    int KyPat = 2;
    TRealPointList HorizontalPoints;
    std::vector<TEdxSlice> Slices;
};

// True when the text's first line that is not blank starts with a quoted name and a comma.
bool LooksLikeEdxPatText(std::string_view text);

// The one pattern of an EDX pattern file: the azimuth pattern as the azimuth cut; the slices
// at azimuth 0 (vertical angle = -elevation) and 180 (vertical angle = 180 + elevation)
// joined into the vertical cut; each cut levelled to 0 dB at its peak. The slices left out
// are described in `ignoredSlices` when given. Raises EFormatError naming a missing slice.
std::unique_ptr<TPatternData> MakeEdxPatPattern(const TEdxPatFile& file,
                                                const std::string& fileName,
                                                std::vector<std::string>* ignoredSlices = nullptr);

}  // namespace ostrel
