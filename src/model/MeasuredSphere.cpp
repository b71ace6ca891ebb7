#include "model/MeasuredSphere.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "model/Errors.h"
#include "model/PatternData.h"
#include "model/PatternSurface.h"

namespace ostrel {

namespace {

constexpr double kAngleTolerance = 1e-9;

// Into -180 < angle <= 180, the viewer's azimuths.
double ViewerAzimuth(double angleDeg) {
    double wrapped = std::fmod(angleDeg, 360.0);
    if (wrapped <= -180.0) wrapped += 360.0;
    if (wrapped > 180.0) wrapped -= 360.0;
    return wrapped;
}

// Into -180 <= angle < 180, the azimuths of the polar terms the EAS sectors use.
double PolarAzimuth(double angleDeg) {
    double wrapped = std::fmod(angleDeg, 360.0);
    if (wrapped < -180.0) wrapped += 360.0;
    if (wrapped >= 180.0) wrapped -= 360.0;
    return wrapped;
}

// The interval of ascending `axis` that holds `value` (clamped into the axis) and where in
// it the value lies, 0..1.
void FindInterval(const std::vector<double>& axis, double value, size_t& lower, double& fraction) {
    if (value <= axis.front()) {
        lower = 0;
        fraction = 0;
        return;
    }
    if (value >= axis.back()) {
        lower = axis.size() - 2;
        fraction = 1;
        return;
    }
    lower =
        static_cast<size_t>(std::upper_bound(axis.begin(), axis.end(), value) - axis.begin()) - 1;
    fraction = (value - axis[lower]) / (axis[lower + 1] - axis[lower]);
}

double DbToPower(double levelDb) {
    return std::pow(10.0, levelDb / 10.0);
}

// The ordering of samples on ties: increasing polar theta, then polar phi.
struct TPolarKey {
    double ThetaDeg;
    double PhiDeg;
    bool Before(const TPolarKey& other) const {
        return ThetaDeg < other.ThetaDeg || (ThetaDeg == other.ThetaDeg && PhiDeg < other.PhiDeg);
    }
};

// The EAS weights along one sorted axis: half the distance between the neighbours inside,
// the distance to the one neighbour at either end; no wrapping.
std::vector<double> AxisSteps(const std::vector<double>& sorted) {
    const size_t n = sorted.size();
    std::vector<double> steps(n, 0.0);
    if (n < 2) return steps;
    steps.front() = sorted[1] - sorted[0];
    steps.back() = sorted[n - 1] - sorted[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) steps[i] = (sorted[i + 1] - sorted[i - 1]) / 2;
    return steps;
}

// How an estimate from the two cuts compares with the measurement.
void CompareEstimate(const TMeasuredSphere& sphere, const TPatternData& cuts, TSurfaceMethod method,
                     std::optional<double>& rms, std::optional<double>& largest) {
    double sumSquares = 0;
    double maxAbs = 0;
    long long count = 0;
    const TSurfaceEstimate estimate(cuts, method);
    for (int i = 0; i < sphere.ThetaCount(); ++i) {
        for (int j = 0; j < sphere.PhiCount(); ++j) {
            const double measured = sphere.SampleLevel(TSphereComponent::Total, i, j);
            if (measured < -30.0) continue;
            const TSphereDirection direction = sphere.SampleDirection(i, j);
            const double difference =
                estimate(direction.AzimuthDeg, direction.VerticalDeg) - measured;
            sumSquares += difference * difference;
            maxAbs = std::max(maxAbs, std::fabs(difference));
            ++count;
        }
    }
    if (count == 0) return;
    rms = std::sqrt(sumSquares / static_cast<double>(count));
    largest = maxAbs;
}

}  // namespace

TSphereDirection ViewerDirection(TSphereAxes axes, double thetaDeg, double phiDeg) {
    switch (axes) {
        case TSphereAxes::Clockwise:
            return {ViewerAzimuth(phiDeg), thetaDeg};
        case TSphereAxes::CounterClockwise:
            return {ViewerAzimuth(-phiDeg), thetaDeg};
        case TSphereAxes::Polar:
            return {ViewerAzimuth(-phiDeg), thetaDeg - 90.0};
        case TSphereAxes::Geo:
            return {ViewerAzimuth(phiDeg), -thetaDeg};
    }
    return {};
}

TFileDirection FileDirection(TSphereAxes axes, double azimuthDeg, double verticalDeg) {
    switch (axes) {
        case TSphereAxes::Clockwise:
            return {verticalDeg, azimuthDeg};
        case TSphereAxes::CounterClockwise:
            return {verticalDeg, -azimuthDeg};
        case TSphereAxes::Polar:
            return {verticalDeg + 90.0, -azimuthDeg};
        case TSphereAxes::Geo:
            return {-verticalDeg, azimuthDeg};
    }
    return {};
}

double ZenithTheta(TSphereAxes axes) {
    switch (axes) {
        case TSphereAxes::Polar:
            return 0;
        case TSphereAxes::Geo:
            return 90;
        default:
            return -90;
    }
}

double NadirTheta(TSphereAxes axes) {
    switch (axes) {
        case TSphereAxes::Polar:
            return 180;
        case TSphereAxes::Geo:
            return -90;
        default:
            return 90;
    }
}

TMeasuredSphere::TMeasuredSphere(TSphereAxes axes, std::vector<double> thetas,
                                 std::vector<double> phis, std::vector<double> total,
                                 std::vector<double> co, std::vector<double> cross)
    : FAxes(axes),
      FThetas(std::move(thetas)),
      FPhis(std::move(phis)),
      FTotal(std::move(total)),
      FCo(std::move(co)),
      FCross(std::move(cross)) {
    const size_t size = FThetas.size() * FPhis.size();
    if (FThetas.size() < 2 || FPhis.empty() || FTotal.size() != size ||
        (!FCo.empty() && FCo.size() != size) || (!FCross.empty() && FCross.size() != size)) {
        throw EInvalidOp("A sphere needs two thetas, a phi and one level per direction");
    }
    if (!std::is_sorted(FThetas.begin(), FThetas.end()) ||
        !std::is_sorted(FPhis.begin(), FPhis.end())) {
        throw EInvalidOp("A sphere's angles must ascend");
    }
    if (FPhis.size() >= 2) {
        double smallest = FPhis[1] - FPhis[0];
        for (size_t j = 2; j < FPhis.size(); ++j)
            smallest = std::min(smallest, FPhis[j] - FPhis[j - 1]);
        FWrapsPhi = FPhis.back() - FPhis.front() + smallest >= 360.0 - 1e-6;
    }
}

std::vector<TSphereComponent> TMeasuredSphere::Components() const {
    std::vector<TSphereComponent> components{TSphereComponent::Total};
    if (!FCo.empty()) components.push_back(TSphereComponent::Co);
    if (!FCross.empty()) components.push_back(TSphereComponent::Cross);
    return components;
}

bool TMeasuredSphere::Has(TSphereComponent component) const {
    switch (component) {
        case TSphereComponent::Co:
            return !FCo.empty();
        case TSphereComponent::Cross:
            return !FCross.empty();
        default:
            return true;
    }
}

const std::vector<double>& TMeasuredSphere::Levels(TSphereComponent component) const {
    if (!Has(component)) throw EInvalidOp("The sphere holds no such component");
    switch (component) {
        case TSphereComponent::Co:
            return FCo;
        case TSphereComponent::Cross:
            return FCross;
        default:
            return FTotal;
    }
}

double TMeasuredSphere::SampleLevel(TSphereComponent component, int thetaIndex,
                                    int phiIndex) const {
    if (thetaIndex < 0 || thetaIndex >= ThetaCount())
        throw EListError::IndexOutOfBounds(thetaIndex);
    if (phiIndex < 0 || phiIndex >= PhiCount()) throw EListError::IndexOutOfBounds(phiIndex);
    return Levels(
        component)[static_cast<size_t>(thetaIndex) * FPhis.size() + static_cast<size_t>(phiIndex)];
}

TSphereDirection TMeasuredSphere::SampleDirection(int thetaIndex, int phiIndex) const {
    return ViewerDirection(FAxes, FThetas.at(static_cast<size_t>(thetaIndex)),
                           FPhis.at(static_cast<size_t>(phiIndex)));
}

double TMeasuredSphere::Level(TSphereComponent component, double azimuthDeg,
                              double verticalDeg) const {
    if (!std::isfinite(azimuthDeg) || !std::isfinite(verticalDeg))
        throw EInvalidOp("An angle that is not a finite number has no level");
    const std::vector<double>& levels = Levels(component);
    // Past a pole the direction lies on the other side of the sphere.
    double vertical = ViewerAzimuth(verticalDeg);
    if (vertical > 90.0) {
        vertical = 180.0 - vertical;
        azimuthDeg += 180.0;
    } else if (vertical < -90.0) {
        vertical = -180.0 - vertical;
        azimuthDeg += 180.0;
    }
    const TFileDirection file = FileDirection(FAxes, ViewerAzimuth(azimuthDeg), vertical);

    size_t row = 0;
    double rowFraction = 0;
    FindInterval(FThetas, file.ThetaDeg, row, rowFraction);

    size_t left = 0;
    size_t right = 0;
    double columnFraction = 0;
    if (FPhis.size() == 1) {
        // One meridian: every phi reads it.
    } else if (FWrapsPhi) {
        double phi = std::fmod(file.PhiDeg - FPhis.front(), 360.0);
        if (phi < 0) phi += 360.0;
        phi += FPhis.front();
        if (phi >= FPhis.back()) {
            left = FPhis.size() - 1;
            right = 0;
            columnFraction = (phi - FPhis.back()) / (FPhis.front() + 360.0 - FPhis.back());
        } else {
            FindInterval(FPhis, phi, left, columnFraction);
            right = left + 1;
        }
    } else {
        FindInterval(FPhis, ViewerAzimuth(file.PhiDeg), left, columnFraction);
        right = left + 1;
    }
    const size_t columns = FPhis.size();
    auto at = [&](size_t r, size_t c) { return levels[r * columns + c]; };
    const double lower = at(row, left) + (at(row, right) - at(row, left)) * columnFraction;
    const double upper =
        at(row + 1, left) + (at(row + 1, right) - at(row + 1, left)) * columnFraction;
    return lower + (upper - lower) * rowFraction;
}

const TSphereFigures& TMeasuredSphere::Figures() const {
    std::call_once(FFiguresOnce, [this] { FFigures = ComputeFigures(); });
    return FFigures;
}

TSphereFigures TMeasuredSphere::ComputeFigures() const {
    TSphereFigures figures;
    const size_t rows = FThetas.size();
    const size_t columns = FPhis.size();
    constexpr double kRadian = std::numbers::pi / 180.0;

    // Each row's vertical angle, polar theta and the band of sin(vertical) it owns.
    std::vector<double> vertical(rows);
    std::vector<double> polarTheta(rows);
    for (size_t i = 0; i < rows; ++i) {
        vertical[i] = ViewerDirection(FAxes, FThetas[i], 0).VerticalDeg;
        polarTheta[i] = 90.0 + vertical[i];
    }
    std::vector<double> band(rows);
    for (size_t i = 0; i < rows; ++i) {
        const double low = i == 0 ? vertical[i] : (vertical[i - 1] + vertical[i]) / 2;
        const double high = i + 1 == rows ? vertical[i] : (vertical[i] + vertical[i + 1]) / 2;
        band[i] = std::fabs(std::sin(high * kRadian) - std::sin(low * kRadian));
    }
    // Each column's phi span in radians, and its polar phi.
    std::vector<double> span(columns, 0.0);
    std::vector<double> polarPhi(columns);
    for (size_t j = 0; j < columns; ++j) {
        polarPhi[j] = PolarAzimuth(-ViewerDirection(FAxes, 0, FPhis[j]).AzimuthDeg);
        if (columns < 2) continue;
        double low = 0;
        double high = 0;
        if (FWrapsPhi) {
            low = j == 0 ? FPhis[columns - 1] - 360.0 : FPhis[j - 1];
            high = j + 1 == columns ? FPhis[0] + 360.0 : FPhis[j + 1];
            span[j] = (high - low) / 2 * kRadian;
        } else {
            low = j == 0 ? FPhis[j] : (FPhis[j - 1] + FPhis[j]) / 2;
            high = j + 1 == columns ? FPhis[j] : (FPhis[j] + FPhis[j + 1]) / 2;
            span[j] = (high - low) * kRadian;
        }
    }

    // The EAS weights come from the sorted polar axes.
    std::vector<size_t> rowOrder(rows);
    std::iota(rowOrder.begin(), rowOrder.end(), size_t{0});
    std::sort(rowOrder.begin(), rowOrder.end(),
              [&](size_t a, size_t b) { return polarTheta[a] < polarTheta[b]; });
    std::vector<size_t> columnOrder(columns);
    std::iota(columnOrder.begin(), columnOrder.end(), size_t{0});
    std::sort(columnOrder.begin(), columnOrder.end(),
              [&](size_t a, size_t b) { return polarPhi[a] < polarPhi[b]; });
    std::vector<double> sortedTheta(rows);
    std::vector<double> sortedPhi(columns);
    for (size_t k = 0; k < rows; ++k) sortedTheta[k] = polarTheta[rowOrder[k]];
    for (size_t k = 0; k < columns; ++k) sortedPhi[k] = polarPhi[columnOrder[k]];
    const std::vector<double> thetaSteps = AxisSteps(sortedTheta);
    const std::vector<double> phiSteps = AxisSteps(sortedPhi);
    std::vector<double> thetaWeight(rows);
    std::vector<double> phiWeight(columns);
    for (size_t k = 0; k < rows; ++k) {
        thetaWeight[rowOrder[k]] =
            std::sin(sortedTheta[k] * kRadian) * std::fabs(thetaSteps[k]) * kRadian;
    }
    for (size_t k = 0; k < columns; ++k)
        phiWeight[columnOrder[k]] = std::fabs(phiSteps[k]) * kRadian;

    // The peaks of the total and of the co-polar level (the top border's reference).
    const std::vector<double>& reference = FCo.empty() ? FTotal : FCo;
    size_t peak = 0;
    size_t referencePeak = 0;
    auto polarKey = [&](size_t index) {
        return TPolarKey{polarTheta[index / columns], polarPhi[index % columns]};
    };
    for (size_t index = 1; index < FTotal.size(); ++index) {
        if (FTotal[index] > FTotal[peak] ||
            (FTotal[index] == FTotal[peak] && polarKey(index).Before(polarKey(peak)))) {
            peak = index;
        }
        if (reference[index] > reference[referencePeak] ||
            (reference[index] == reference[referencePeak] &&
             polarKey(index).Before(polarKey(referencePeak)))) {
            referencePeak = index;
        }
    }
    const TSphereDirection peakDirection =
        SampleDirection(static_cast<int>(peak / columns), static_cast<int>(peak % columns));
    figures.PeakAzimuthDeg = peakDirection.AzimuthDeg;
    figures.PeakVerticalDeg = peakDirection.VerticalDeg;

    // The top border: from the co-polar peak toward the zenith along its phi, the last sample
    // before the level first falls 3 dB.
    const size_t peakColumn = referencePeak % columns;
    const double threshold = reference[referencePeak] - 3.0;
    size_t rank = static_cast<size_t>(
        std::find(rowOrder.begin(), rowOrder.end(), referencePeak / columns) - rowOrder.begin());
    double topBorder = sortedTheta.front();
    while (rank > 0) {
        --rank;
        if (reference[rowOrder[rank] * columns + peakColumn] <= threshold) {
            topBorder = sortedTheta[rank + 1];
            break;
        }
    }

    auto atLeast = [](double x, double limit) { return x >= limit - kAngleTolerance; };
    auto atMost = [](double x, double limit) { return x <= limit + kAngleTolerance; };
    double solidAngleSum = 0;
    double total = 0;
    double cell = 0, int1 = 0, int2 = 0, int3 = 0, emf = 0, wasted = 0;
    const double wastedEnd = std::min(70.0, topBorder);
    for (size_t i = 0; i < rows; ++i) {
        const double theta = polarTheta[i];
        const bool mainBand = atLeast(theta, topBorder) && atMost(theta, 165.0);
        const bool inInt3 = atLeast(theta, 70.0) && !atLeast(theta, topBorder);
        const bool inEmf = !atMost(theta, 165.0) && atMost(theta, 180.0);
        const bool inWasted = atLeast(theta, 0.0) && !atLeast(theta, wastedEnd);
        for (size_t j = 0; j < columns; ++j) {
            const double power = DbToPower(FTotal[i * columns + j]);
            solidAngleSum += power * band[i] * span[j];
            const double weighted = power * thetaWeight[i] * phiWeight[j];
            total += weighted;
            const double phi = polarPhi[j];
            if (mainBand) {
                if (atLeast(phi, -60.0) && atMost(phi, 60.0)) cell += weighted;
                if (atLeast(phi, -180.0) && !atLeast(phi, -60.0)) int1 += weighted;
                if (!atMost(phi, 60.0) && !atLeast(phi, 180.0)) int2 += weighted;
            }
            if (inInt3) int3 += weighted;
            if (inEmf) emf += weighted;
            if (inWasted) wasted += weighted;
        }
    }
    figures.DirectivityDbi = 10.0 * std::log10(4.0 * std::numbers::pi / solidAngleSum);
    auto share = [total](double part) { return total > 0 ? 100.0 * part / total : 0.0; };
    figures.EasCell = share(cell);
    figures.EasInt1 = share(int1);
    figures.EasInt2 = share(int2);
    figures.EasInt3 = share(int3);
    figures.EasEmf = share(emf);
    figures.EasWasted = share(wasted);

    TPatternData cuts;
    BuildSphereCuts(*this, cuts);
    CompareEstimate(*this, cuts, TSurfaceMethod::CutSum, figures.RmsCutSum, figures.MaxCutSum);
    CompareEstimate(*this, cuts, TSurfaceMethod::WeightedBilinear, figures.RmsWeightedBilinear,
                    figures.MaxWeightedBilinear);
    return figures;
}

void BuildSphereCuts(const TMeasuredSphere& sphere, TPatternData& pattern) {
    std::vector<TRealPoint> azimuth(361);
    std::vector<TRealPoint> vertical(361);
    for (int k = 0; k <= 360; ++k) {
        const double angle = k - 180;
        const size_t index = static_cast<size_t>(k);
        azimuth[index] = {angle, -std::fabs(sphere.Level(TSphereComponent::Total, angle, 0))};
        vertical[index] = {angle, -std::fabs(sphere.Level(TSphereComponent::Total, 0, angle))};
    }
    pattern.AzimuthCut.Assign(std::move(azimuth));
    pattern.VerticalCut.Assign(std::move(vertical));
    pattern.HorizontalCut.Assign(pattern.AzimuthCut);
    pattern.CutsChanged();
}

}  // namespace ostrel
