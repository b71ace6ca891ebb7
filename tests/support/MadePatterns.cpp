#include "support/MadePatterns.h"

namespace ostrel {

std::unique_ptr<TPatternData> MadePattern(const std::function<double(int)>& horizontal,
                                          const std::function<double(int)>& vertical) {
    TRealPointList h;
    TRealPointList v;
    // As a file lists them: 0..359, the levels of the angle taken into -180..180.
    for (int angle = 0; angle < 360; ++angle) {
        const int signedAngle = angle > 180 ? angle - 360 : angle;
        h.Add(angle, horizontal(signedAngle));
        v.Add(angle, vertical(signedAngle));
    }
    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = "made.msi";
    BuildPatternCuts(h, v, *pattern);
    return pattern;
}

}  // namespace ostrel
