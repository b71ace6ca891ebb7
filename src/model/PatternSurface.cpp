#include "model/PatternSurface.h"

#include <algorithm>
#include <cmath>

#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr int kCutPointCount = 361;

// An angle taken into -180..180.
double WrapAngle(double angleDeg) {
    double wrapped = std::fmod(angleDeg + 180.0, 360.0);
    if (wrapped < 0) wrapped += 360.0;
    return wrapped - 180.0;
}

double CutSumLevel(const TPatternData& pattern, double azimuthDeg, double verticalDeg) {
    const double horizontal = CutLevelAt(pattern.HorizontalCut, azimuthDeg);
    if (std::fabs(azimuthDeg) <= 90) {
        return horizontal + CutLevelAt(pattern.VerticalCut, verticalDeg) -
               CutLevelAt(pattern.VerticalCut, 0);
    }
    const double fall = CutLevelAt(pattern.VerticalCut, 180.0 - verticalDeg) -
                        CutLevelAt(pattern.VerticalCut, 180.0);
    return horizontal + std::min(0.0, fall);
}

double HighestLevel(const TRealPointList& cut) {
    double highest = -HUGE_VAL;
    for (const TRealPoint& point : cut.Points()) highest = std::max(highest, point.Y);
    return highest;
}

// Gil et al. weight the two linear interpolations that meet in a direction: along the
// parallel between the front and back halves of the vertical cut (angular distances phi1 =
// |phi| and phi2 = 180 - |phi|), and along the meridian between the horizontal cut and the
// zenith or nadir (theta1 = |psi| from the horizon, theta2 = 90 - |psi| from the pole):
//   G = [(phi1 G_phi2 + phi2 G_phi1) w_theta + (theta1 G_theta2 + theta2 G_theta1) w_phi]
//       / [(phi1 + phi2) w_theta + (theta1 + theta2) w_phi]
// with w_theta = theta1 theta2 / (theta1 + theta2)^2 and w_phi = phi1 phi2 / (phi1 + phi2)^2,
// so that each interpolation counts most where the other's end points are far away.
double WeightedBilinearLevel(const TPatternData& pattern, double azimuthDeg, double verticalDeg) {
    const double phi1 = std::fabs(azimuthDeg);
    const double phi2 = 180.0 - phi1;
    const double gPhi1 = CutLevelAt(pattern.VerticalCut, verticalDeg);
    const double gPhi2 = CutLevelAt(pattern.VerticalCut, 180.0 - verticalDeg);
    const double theta1 = std::fabs(verticalDeg);
    const double theta2 = 90.0 - theta1;
    const double gTheta1 = CutLevelAt(pattern.HorizontalCut, azimuthDeg);
    const double gTheta2 = CutLevelAt(pattern.VerticalCut, verticalDeg < 0 ? -90.0 : 90.0);

    const double wTheta = theta1 * theta2 / ((theta1 + theta2) * (theta1 + theta2));
    const double wPhi = phi1 * phi2 / ((phi1 + phi2) * (phi1 + phi2));
    const double denominator = (phi1 + phi2) * wTheta + (theta1 + theta2) * wPhi;
    // On the horizon or a pole, in the vertical plane: both weights vanish, and the cut
    // that passes through the direction gives its level.
    if (denominator == 0) return theta1 == 0 ? gTheta1 : gTheta2;
    return ((phi1 * gPhi2 + phi2 * gPhi1) * wTheta + (theta1 * gTheta2 + theta2 * gTheta1) * wPhi) /
           denominator;
}

}  // namespace

const char* SurfaceMethodName(TSurfaceMethod method) {
    switch (method) {
        case TSurfaceMethod::WeightedBilinear:
            return "Weighted bilinear (Gil et al. 2001)";
        case TSurfaceMethod::CutSum:
            break;
    }
    return "Horizontal + vertical cut";
}

double CutLevelAt(const TRealPointList& cut, double angleDeg) {
    if (cut.Count() != kCutPointCount) throw EListError::IndexOutOfBounds(cut.Count());
    // A NaN or infinite angle has no direction, and its position would make no index.
    if (!std::isfinite(angleDeg))
        throw EInvalidOp("An angle that is not a finite number has no level");
    const double position = WrapAngle(angleDeg) + 180.0;
    const auto& points = cut.Points();
    const int lower = std::min(static_cast<int>(std::floor(position)), kCutPointCount - 2);
    const double fraction = position - lower;
    const double a = points[static_cast<size_t>(lower)].Y;
    const double b = points[static_cast<size_t>(lower) + 1].Y;
    return a + (b - a) * fraction;
}

TSurfaceEstimate::TSurfaceEstimate(const TPatternData& pattern, TSurfaceMethod method)
    : FPattern(pattern),
      FMethod(method),
      FCeiling(std::max(HighestLevel(pattern.HorizontalCut), HighestLevel(pattern.VerticalCut))) {}

double TSurfaceEstimate::operator()(double azimuthDeg, double verticalDeg) const {
    const double level = FMethod == TSurfaceMethod::WeightedBilinear
                             ? WeightedBilinearLevel(FPattern, azimuthDeg, verticalDeg)
                             : CutSumLevel(FPattern, azimuthDeg, verticalDeg);
    return std::min(level, FCeiling);
}

double SurfaceLevel(const TPatternData& pattern, double azimuthDeg, double verticalDeg,
                    TSurfaceMethod method) {
    return TSurfaceEstimate(pattern, method)(azimuthDeg, verticalDeg);
}

bool IsSurfaceStep(int stepDeg) {
    return stepDeg >= 1 && stepDeg <= 90 && 90 % stepDeg == 0;
}

void TPatternSurface::Build(const TPatternData& pattern, int stepDeg, TSurfaceMethod method) {
    Fill(stepDeg, TSurfaceEstimate(pattern, method));
}

void TPatternSurface::BuildMeasured(const TMeasuredSphere& sphere, int stepDeg,
                                    TSphereComponent component) {
    Fill(stepDeg, [&](double azimuthDeg, double verticalDeg) {
        return sphere.Level(component, azimuthDeg, verticalDeg);
    });
}

template <class TLevelAt>
void TPatternSurface::Fill(int stepDeg, const TLevelAt& levelAt) {
    if (!IsSurfaceStep(stepDeg)) {
        throw EInvalidOp("The grid step must divide 90 degrees, not " + FormatGeneral(stepDeg));
    }
    FStepDeg = stepDeg;
    FRows = 180 / stepDeg + 1;
    FColumns = 360 / stepDeg + 1;
    FLevels.clear();
    FLevels.reserve(static_cast<size_t>(FRows) * static_cast<size_t>(FColumns));
    for (int row = 0; row < FRows; ++row) {
        for (int column = 0; column < FColumns; ++column) {
            FLevels.push_back(levelAt(AzimuthDeg(column), VerticalDeg(row)));
        }
    }
}

double TPatternSurface::Level(int row, int column) const {
    if (row < 0 || row >= FRows) throw EListError::IndexOutOfBounds(row);
    if (column < 0 || column >= FColumns) throw EListError::IndexOutOfBounds(column);
    return FLevels[static_cast<size_t>(row) * static_cast<size_t>(FColumns) +
                   static_cast<size_t>(column)];
}

}  // namespace ostrel
