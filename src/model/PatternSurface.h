#pragma once

#include <cstdint>
#include <vector>

#include "model/MeasuredSphere.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// How a level off the two cuts is estimated from them. The value is the method's place in
// the 3D window's list.
enum class TSurfaceMethod : std::uint8_t {
    // G(phi, psi) = H(phi) + V(psi) - V(0) in front (|phi| <= 90); behind,
    // G = H(phi) + min(0, V(180 - psi) - V(180)): the back half of the vertical cut may only
    // lower the horizontal cut, since a deep null straight behind would otherwise lift the
    // directions around it far above anything measured. Exact on the horizon and straight
    // ahead.
    CutSum = 0,
    // The weighted bilinear interpolation of F. Gil, A. R. Claro, J. M. Ferreira,
    // C. Pardelinha and L. M. Correia, "A 3D interpolation method for base-station-antenna
    // radiation patterns", IEEE Antennas and Propagation Magazine 43(2), 2001.
    WeightedBilinear = 1,
};
inline constexpr int kSurfaceMethodCount = 2;
// The estimate shown and written when nothing else is asked for: it stays between the cuts'
// levels everywhere.
inline constexpr TSurfaceMethod kDefaultSurfaceMethod = TSurfaceMethod::WeightedBilinear;

// The name the window shows for a method.
const char* SurfaceMethodName(TSurfaceMethod method);

// The level of a 361-point cut (X = -180..180) at any angle, taken into -180..180 first,
// linear between the whole-degree points. Throws EListError on a cut of another length and
// EInvalidOp for an angle that is NaN or infinite (so does the estimate).
double CutLevelAt(const TRealPointList& cut, double angleDeg);

// The estimated level in dB of a pattern in the direction of azimuth `azimuthDeg`
// (-180..180, clockwise seen from above) and vertical angle `verticalDeg` (-90..90, positive
// below the horizon), from its horizontal and vertical cuts. No estimate exceeds the higher
// of the two cuts' maxima. The pattern is read, not copied: it must outlive the estimate.
class TSurfaceEstimate {
public:
    TSurfaceEstimate(const TPatternData& pattern, TSurfaceMethod method);
    double operator()(double azimuthDeg, double verticalDeg) const;

private:
    const TPatternData& FPattern;
    TSurfaceMethod FMethod;
    double FCeiling;
};

// One estimated level; TSurfaceEstimate serves many directions of one pattern.
double SurfaceLevel(const TPatternData& pattern, double azimuthDeg, double verticalDeg,
                    TSurfaceMethod method);

// The level grid of one pattern: rows of vertical angle from -90 (straight up) to 90
// (straight down), columns of azimuth from -180 to 180, both in StepDeg.
class TPatternSurface {
public:
    // Throws EInvalidOp unless stepDeg is a whole divisor of 90.
    void Build(const TPatternData& pattern, int stepDeg, TSurfaceMethod method);
    // The same grid of a measured sphere's levels.
    void BuildMeasured(const TMeasuredSphere& sphere, int stepDeg, TSphereComponent component);

    int Rows() const { return FRows; }
    int Columns() const { return FColumns; }
    int StepDeg() const { return FStepDeg; }
    double VerticalDeg(int row) const { return -90.0 + row * FStepDeg; }
    double AzimuthDeg(int column) const { return -180.0 + column * FStepDeg; }
    // Throws EListError outside the grid.
    double Level(int row, int column) const;
    const std::vector<double>& Levels() const { return FLevels; }

private:
    template <class TLevelAt>
    void Fill(int stepDeg, const TLevelAt& levelAt);

    int FStepDeg = 0;
    int FRows = 0;
    int FColumns = 0;
    std::vector<double> FLevels;  // row after row
};

// Whether `stepDeg` makes a grid: a whole number from 1 to 90 that divides 90.
bool IsSurfaceStep(int stepDeg);

}  // namespace ostrel
