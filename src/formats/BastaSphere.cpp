#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>

#include "formats/BastaRows.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw EFormatError(message);
}

// One axis of the grid: its distinct values ascending, and for each row the index of its
// value.
struct TAxis {
    std::vector<double> Values;
    std::vector<std::uint32_t> RowIndex;
};

// The axis of [start, step, stop] sampling, rows running `repeat` times through each value
// in turn (theta) or through all values in turn (phi, `repeat` 0).
TAxis UniformAxis(const char* key, const std::array<double, 3>& sampling, size_t rowCount,
                  size_t& valueCount) {
    const auto [start, step, stop] = sampling;
    const double steps = (stop - start) / step;
    if (!(step != 0) || !std::isfinite(steps) || steps < -1e-9 ||
        std::fabs(steps - std::nearbyint(steps)) > 1e-6 * std::max(1.0, std::fabs(steps)) ||
        steps + 1 > static_cast<double>(rowCount) + 0.5) {
        Refuse("\"" + std::string(key) + "\" [" + FormatGeneral(start) + ", " +
               FormatGeneral(step) + ", " + FormatGeneral(stop) +
               "] makes no whole number of steps from start to stop within the rows");
    }
    valueCount = static_cast<size_t>(std::nearbyint(steps)) + 1;
    TAxis axis;
    axis.Values.resize(valueCount);
    for (size_t k = 0; k < valueCount; ++k)
        axis.Values[k] = k + 1 == valueCount ? stop : start + static_cast<double>(k) * step;
    return axis;
}

// The distinct values of a column ascending, and each row's index among them.
TAxis ExplicitAxis(const std::vector<double>& column) {
    TAxis axis;
    // Rows that run theta-major repeat each theta in a run; skipping runs spares the sort.
    axis.Values.reserve(column.size());
    for (size_t r = 0; r < column.size(); ++r) {
        if (r == 0 || column[r] != column[r - 1]) axis.Values.push_back(column[r]);
    }
    std::sort(axis.Values.begin(), axis.Values.end());
    axis.Values.erase(std::unique(axis.Values.begin(), axis.Values.end()), axis.Values.end());
    axis.RowIndex.resize(column.size());
    for (size_t r = 0; r < column.size(); ++r) {
        axis.RowIndex[r] = static_cast<std::uint32_t>(
            std::lower_bound(axis.Values.begin(), axis.Values.end(), column[r]) -
            axis.Values.begin());
    }
    return axis;
}

std::string AnglesText(double theta, double phi) {
    return "Theta " + FormatGeneral(theta) + ", Phi " + FormatGeneral(phi);
}

// Refuses explicit rows that do not form the full grid of their distinct angles: the first
// pair given twice, else the first pair (theta-major) no row gives.
[[noreturn]] void RefuseIncompleteGrid(const TAxis& thetas, const TAxis& phis) {
    const size_t count = thetas.RowIndex.size();
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    auto key = [&](std::uint32_t r) { return std::pair{thetas.RowIndex[r], phis.RowIndex[r]}; };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    for (size_t k = 1; k < count; ++k) {
        if (key(order[k]) == key(order[k - 1])) {
            Refuse("Data_Set rows " + std::to_string(order[k - 1] + 1) + " and " +
                   std::to_string(order[k] + 1) + " both give " +
                   AnglesText(thetas.Values[thetas.RowIndex[order[k]]],
                              phis.Values[phis.RowIndex[order[k]]]));
        }
    }
    size_t k = 0;
    for (std::uint32_t t = 0; t < thetas.Values.size(); ++t) {
        for (std::uint32_t p = 0; p < phis.Values.size(); ++p, ++k) {
            if (k >= count || key(order[k]) != std::pair{t, p})
                Refuse("Data_Set has no row for " + AnglesText(thetas.Values[t], phis.Values[p]));
        }
    }
    Refuse("Data_Set does not form a full grid");
}

// Level columns with the level each row gives: -TP, else the power sum of Co and Cr, else
// -Co (attenuations are positive downward).
void RowLevels(const TBastaRows& rows, std::vector<double>& total, std::vector<double>& co,
               std::vector<double>& cross) {
    total.resize(rows.Count);
    if (rows.Has(colCo)) {
        co.resize(rows.Count);
        for (size_t r = 0; r < rows.Count; ++r) co[r] = -rows.Values[colCo][r];
    }
    if (rows.Has(colCr)) {
        cross.resize(rows.Count);
        for (size_t r = 0; r < rows.Count; ++r) cross[r] = -rows.Values[colCr][r];
    }
    for (size_t r = 0; r < rows.Count; ++r) {
        if (rows.Has(colTp)) {
            total[r] = -rows.Values[colTp][r];
        } else if (rows.Has(colCr)) {
            total[r] =
                10.0 * std::log10(std::pow(10.0, co[r] / 10.0) + std::pow(10.0, cross[r] / 10.0));
        } else {
            total[r] = co[r];
        }
    }
}

}  // namespace

std::shared_ptr<const TMeasuredSphere> MakeBastaSphere(
    const TBastaRows& rows, const std::optional<std::array<double, 3>>& thetaSampling,
    const std::optional<std::array<double, 3>>& phiSampling, TSphereAxes axes,
    std::string_view system) {
    TAxis thetas;
    TAxis phis;
    if (rows.Has(colTheta)) {
        thetas = ExplicitAxis(rows.Values[colTheta]);
        phis = ExplicitAxis(rows.Values[colPhi]);
        if (thetas.Values.size() * phis.Values.size() != rows.Count)
            RefuseIncompleteGrid(thetas, phis);
    } else {
        if (!thetaSampling || !phiSampling) {
            Refuse(std::string("\"") + (thetaSampling ? "Phi" : "Theta") +
                   "_Sampling\" is null; rows without Theta and Phi need [start, step, stop]");
        }
        size_t thetaCount = 0;
        size_t phiCount = 0;
        thetas = UniformAxis("Theta_Sampling", *thetaSampling, rows.Count, thetaCount);
        phis = UniformAxis("Phi_Sampling", *phiSampling, rows.Count, phiCount);
        if (thetaCount * phiCount != rows.Count) {
            Refuse("Data_Set has " + std::to_string(rows.Count) +
                   " rows; Theta_Sampling and Phi_Sampling make " + std::to_string(thetaCount) +
                   " x " + std::to_string(phiCount));
        }
        // Theta-major, phi fastest; a negative step runs downward.
        const bool thetaDown = (*thetaSampling)[1] < 0;
        const bool phiDown = (*phiSampling)[1] < 0;
        if (thetaDown) std::reverse(thetas.Values.begin(), thetas.Values.end());
        if (phiDown) std::reverse(phis.Values.begin(), phis.Values.end());
        thetas.RowIndex.resize(rows.Count);
        phis.RowIndex.resize(rows.Count);
        for (size_t r = 0; r < rows.Count; ++r) {
            const size_t t = r / phiCount;
            const size_t p = r % phiCount;
            thetas.RowIndex[r] = static_cast<std::uint32_t>(thetaDown ? thetaCount - 1 - t : t);
            phis.RowIndex[r] = static_cast<std::uint32_t>(phiDown ? phiCount - 1 - p : p);
        }
    }

    // Theta runs from the zenith to the nadir and no further.
    const double zenith = ZenithTheta(axes);
    const double nadir = NadirTheta(axes);
    const double low = std::min(zenith, nadir);
    const double high = std::max(zenith, nadir);
    constexpr double kCoverTolerance = 1e-6;
    for (const double theta : {thetas.Values.front(), thetas.Values.back()}) {
        if (theta < low - kCoverTolerance || theta > high + kCoverTolerance) {
            Refuse("Theta " + FormatGeneral(theta) + " lies beyond a pole; " + std::string(system) +
                   " runs from " + FormatGeneral(zenith) + " to " + FormatGeneral(nadir));
        }
    }
    if (thetas.Values.front() > low + kCoverTolerance ||
        thetas.Values.back() < high - kCoverTolerance) {
        Refuse("The file covers Theta " + FormatGeneral(thetas.Values.front()) + " to " +
               FormatGeneral(thetas.Values.back()) + " only; a sphere needs " +
               FormatGeneral(zenith) + " to " + FormatGeneral(nadir) + " in " +
               std::string(system));
    }

    // Phi and phi + 360 are one direction: the lowest phi of each direction keeps its column.
    const std::vector<double>& phiValues = phis.Values;
    const size_t phiCount = phiValues.size();
    std::vector<double> turn(phiCount);
    for (size_t p = 0; p < phiCount; ++p) {
        turn[p] = std::fmod(phiValues[p], 360.0);
        if (turn[p] < 0) turn[p] += 360.0;
    }
    std::vector<size_t> byTurn(phiCount);
    std::iota(byTurn.begin(), byTurn.end(), size_t{0});
    std::stable_sort(byTurn.begin(), byTurn.end(),
                     [&](size_t a, size_t b) { return turn[a] < turn[b]; });
    std::vector<size_t> keeper(phiCount);
    std::iota(keeper.begin(), keeper.end(), size_t{0});
    for (size_t k = 1; k < phiCount; ++k) {
        const size_t a = byTurn[k - 1];
        const size_t b = byTurn[k];
        if (turn[b] - turn[a] <= kCoverTolerance) keeper[b] = keeper[a];
    }
    // The last direction of the turn may be the first's (359.9999999 and 0).
    if (phiCount > 1 && turn[byTurn.front()] + 360.0 - turn[byTurn.back()] <= kCoverTolerance)
        keeper[byTurn.back()] = keeper[byTurn.front()];
    for (size_t p = 0; p < phiCount; ++p) keeper[p] = keeper[keeper[p]];
    std::vector<double> keptPhis;
    std::vector<std::int32_t> column(phiCount, -1);
    for (size_t p = 0; p < phiCount; ++p) {
        if (keeper[p] == p) {
            column[p] = static_cast<std::int32_t>(keptPhis.size());
            keptPhis.push_back(phiValues[p]);
        }
    }
    if (keptPhis.size() >= 2) {
        double smallest = keptPhis[1] - keptPhis[0];
        for (size_t k = 2; k < keptPhis.size(); ++k)
            smallest = std::min(smallest, keptPhis[k] - keptPhis[k - 1]);
        const double span = keptPhis.back() - keptPhis.front();
        if (span >= 360.0) {
            Refuse("Phi runs from " + FormatGeneral(keptPhis.front()) + " to " +
                   FormatGeneral(keptPhis.back()) + ", past one turn");
        }
        if (span + smallest < 360.0 - kCoverTolerance) {
            Refuse("The file covers Phi " + FormatGeneral(keptPhis.front()) + " to " +
                   FormatGeneral(keptPhis.back()) + " only; a sphere needs Phi all round");
        }
    } else {
        Refuse("The file gives a single direction of Phi; a sphere needs Phi all round");
    }

    std::vector<double> total;
    std::vector<double> co;
    std::vector<double> cross;
    RowLevels(rows, total, co, cross);

    const size_t columns = keptPhis.size();
    const size_t size = thetas.Values.size() * columns;
    std::vector<double> gridTotal(size);
    std::vector<double> gridCo(co.empty() ? 0 : size);
    std::vector<double> gridCross(cross.empty() ? 0 : size);
    std::vector<std::uint32_t> rowAt(size, UINT32_MAX);
    for (size_t r = 0; r < rows.Count; ++r) {
        const std::int32_t c = column[phis.RowIndex[r]];
        if (c < 0) continue;
        const size_t cell = thetas.RowIndex[r] * columns + static_cast<size_t>(c);
        if (rowAt[cell] != UINT32_MAX) RefuseIncompleteGrid(thetas, phis);
        rowAt[cell] = static_cast<std::uint32_t>(r);
        gridTotal[cell] = total[r];
        if (!co.empty()) gridCo[cell] = co[r];
        if (!cross.empty()) gridCross[cell] = cross[r];
    }
    // The rows of phi + 360 must say what the kept ones do.
    for (size_t r = 0; r < rows.Count; ++r) {
        const size_t p = phis.RowIndex[r];
        if (column[p] >= 0) continue;
        const size_t cell = thetas.RowIndex[r] * columns + static_cast<size_t>(column[keeper[p]]);
        double worst = std::fabs(total[r] - gridTotal[cell]);
        if (!co.empty()) worst = std::max(worst, std::fabs(co[r] - gridCo[cell]));
        if (!cross.empty()) worst = std::max(worst, std::fabs(cross[r] - gridCross[cell]));
        if (!(worst <= 0.01)) {
            Refuse("Phi " + FormatGeneral(phiValues[p]) + " and Phi " +
                   FormatGeneral(phiValues[keeper[p]]) + " are one direction but differ by " +
                   FormatFixed(2, worst) + " dB at Theta " +
                   FormatGeneral(thetas.Values[thetas.RowIndex[r]]));
        }
    }

    const double highest = *std::max_element(gridTotal.begin(), gridTotal.end());
    for (std::vector<double>* grid : {&gridTotal, &gridCo, &gridCross}) {
        for (size_t cell = 0; cell < grid->size(); ++cell) {
            double& level = (*grid)[cell];
            level -= highest;
            if (!std::isfinite(level)) {
                Refuse("Data_Set row " + std::to_string(rowAt[cell] + 1) +
                       " gives no finite level");
            }
        }
    }
    return std::make_shared<const TMeasuredSphere>(axes, std::move(thetas.Values),
                                                   std::move(keptPhis), std::move(gridTotal),
                                                   std::move(gridCo), std::move(gridCross));
}

}  // namespace ostrel
