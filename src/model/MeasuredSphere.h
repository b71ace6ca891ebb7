#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace ostrel {

class TPatternData;

// The level components a measured sphere can hold: the total power, and the co- and
// cross-polar parts where the file gives them.
enum class TSphereComponent : std::uint8_t { Total, Co, Cross };

// How a file states its directions (theta, phi), and so how they turn into the viewer's
// azimuth (clockwise seen from above, 0 = boresight) and vertical angle (positive below the
// horizon):
//   Clockwise         theta -90..90 positive below the horizon, phi clockwise
//   CounterClockwise  the same theta, phi counter-clockwise
//   Polar             theta 0..180 from the zenith, phi counter-clockwise
//   Geo               theta the elevation, positive above the horizon, phi clockwise
enum class TSphereAxes : std::uint8_t { Clockwise, CounterClockwise, Polar, Geo };

// A direction in the viewer's terms.
struct TSphereDirection {
    double AzimuthDeg = 0;   // -180 < azimuth <= 180
    double VerticalDeg = 0;  // -90 (up) .. 90 (down)
};

// A direction in a file's own terms.
struct TFileDirection {
    double ThetaDeg = 0;
    double PhiDeg = 0;
};

TSphereDirection ViewerDirection(TSphereAxes axes, double thetaDeg, double phiDeg);
// The file's theta and phi of a viewer direction (vertical -90..90); phi as the axes turn
// it, not yet taken into the file's own range.
TFileDirection FileDirection(TSphereAxes axes, double azimuthDeg, double verticalDeg);
// The file's theta of the zenith and of the nadir.
double ZenithTheta(TSphereAxes axes);
double NadirTheta(TSphereAxes axes);

// What a measured sphere says beyond its two cuts. Levels in dB, shares in percent.
struct TSphereFigures {
    double PeakAzimuthDeg = 0;
    double PeakVerticalDeg = 0;
    // 10 log10(4 pi / sum of P dOmega) over the samples, in dBi.
    double DirectivityDbi = 0;
    // The shares of the total power in the sectors of the EAS method (cell, the three
    // interference sectors, EMF, wasted).
    double EasCell = 0;
    double EasInt1 = 0;
    double EasInt2 = 0;
    double EasInt3 = 0;
    double EasEmf = 0;
    double EasWasted = 0;
    // How far the two estimates from the sphere's own cuts fall from the measurement, over
    // the samples at -30 dB or more: the root mean square and the largest absolute
    // difference. Null when no sample qualifies (never for a levelled sphere).
    std::optional<double> RmsCutSum;
    std::optional<double> MaxCutSum;
    std::optional<double> RmsWeightedBilinear;
    std::optional<double> MaxWeightedBilinear;
};

// A full sphere of measured levels on the file's own rectangular grid of (theta, phi),
// levelled so that the highest total level is 0 dB (the co- and cross-polar levels moved by
// the same amount). Immutable once made; patterns share it.
class TMeasuredSphere {
public:
    // `thetas` and `phis` ascending and distinct, the phis within less than one turn; each
    // level grid theta-major (phi fastest), thetas.size() x phis.size() values; `co` and
    // `cross` may be empty. Throws EInvalidOp on grids that do not fit.
    TMeasuredSphere(TSphereAxes axes, std::vector<double> thetas, std::vector<double> phis,
                    std::vector<double> total, std::vector<double> co, std::vector<double> cross);
    TMeasuredSphere(const TMeasuredSphere&) = delete;
    TMeasuredSphere& operator=(const TMeasuredSphere&) = delete;

    TSphereAxes Axes() const { return FAxes; }
    const std::vector<double>& Thetas() const { return FThetas; }
    const std::vector<double>& Phis() const { return FPhis; }
    int ThetaCount() const { return static_cast<int>(FThetas.size()); }
    int PhiCount() const { return static_cast<int>(FPhis.size()); }
    // Whether the phi samples go all round: sorted, last - first + their smallest spacing
    // reaches 360 degrees.
    bool WrapsPhi() const { return FWrapsPhi; }

    // The components the sphere holds, Total first.
    std::vector<TSphereComponent> Components() const;
    bool Has(TSphereComponent component) const;
    // A component's grid, theta-major; throws EInvalidOp for one the sphere lacks.
    const std::vector<double>& Levels(TSphereComponent component) const;
    double SampleLevel(TSphereComponent component, int thetaIndex, int phiIndex) const;
    TSphereDirection SampleDirection(int thetaIndex, int phiIndex) const;

    // The level in any viewer direction (a vertical angle beyond +-90 looks over the pole),
    // by bilinear interpolation of the dB levels in the file's (theta, phi), phi wrapping
    // when the samples go all round. Throws EInvalidOp for an angle that is not finite.
    double Level(TSphereComponent component, double azimuthDeg, double verticalDeg) const;

    // Computed when first asked for, then kept.
    const TSphereFigures& Figures() const;

private:
    TSphereFigures ComputeFigures() const;

    TSphereAxes FAxes;
    std::vector<double> FThetas;
    std::vector<double> FPhis;
    std::vector<double> FTotal;
    std::vector<double> FCo;
    std::vector<double> FCross;
    bool FWrapsPhi = false;
    mutable std::once_flag FFiguresOnce;
    mutable TSphereFigures FFigures;
};

// The three cuts of a pattern taken from its sphere's total level: the azimuth cut along the
// horizon, the vertical cut through azimuth 0 and, beyond +-90 degrees, over the pole
// through azimuth 180; the horizontal cut equals the azimuth cut, both cuts meeting at
// (0, 0). Not re-levelled. Updates the cut figures.
void BuildSphereCuts(const TMeasuredSphere& sphere, TPatternData& pattern);

}  // namespace ostrel
