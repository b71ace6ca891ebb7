#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "model/MeasuredSphere.h"

namespace ostrel {

// The row columns an NGMN BASTA 3D file may name, in the schema's order.
enum TBastaColumn { colTheta, colPhi, colTp, colCo, colCr, colPhaseCo, colPhaseCr, colCount };

// The rows of a BASTA 3D file, column by column.
struct TBastaRows {
    std::array<int, colCount> Position{};  // -1: the file has no such column
    std::array<std::vector<double>, colCount> Values;
    size_t Count = 0;
    bool Has(TBastaColumn column) const { return Position[column] >= 0; }
};

// The sphere the rows make: the grid of their (theta, phi), uniform by the samplings
// ([start, step, stop]) when the rows have no Theta and Phi columns; the coverage of the whole
// sphere; one column per direction of phi; levelled to 0 dB. Throws EFormatError naming what
// does not fit; `system` is the coordinate system's name for those messages.
std::shared_ptr<const TMeasuredSphere> MakeBastaSphere(
    const TBastaRows& rows, const std::optional<std::array<double, 3>>& thetaSampling,
    const std::optional<std::array<double, 3>>& phiSampling, TSphereAxes axes,
    std::string_view system);

}  // namespace ostrel
