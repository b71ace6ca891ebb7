#include "formats/BastaFile.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>

#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

namespace dom = simdjson::dom;

// The row columns a file may name, in the schema's order.
enum TColumn { colTheta, colPhi, colTp, colCo, colCr, colPhaseCo, colPhaseCr, colCount };
constexpr std::array<std::string_view, colCount> kColumnNames = {
    "Theta",   "Phi",    "MagAttenuationTP", "MagAttenuationCo", "MagAttenuationCr",
    "PhaseCo", "PhaseCr"};

constexpr std::array<std::string_view, 4> kCoordinateSystems = {"SPCS_Polar", "SPCS_CW", "SPCS_CCW",
                                                                "SPCS_Geo"};
constexpr std::array<TSphereAxes, 4> kCoordinateAxes = {
    TSphereAxes::Polar, TSphereAxes::Clockwise, TSphereAxes::CounterClockwise, TSphereAxes::Geo};
constexpr std::array<std::string_view, 6> kPatternTypes = {
    "Broadcast Beam", "Broadcast Configuration Envelope",
    "Traffic Beam",   "Traffic Envelope",
    "Uplink",         "Generic"};
constexpr std::array<std::string_view, 5> kFrequencyUnits = {"Hz", "kHz", "MHz", "GHz", "THz"};
constexpr std::array<double, 5> kUnitsPerMhz = {1e-6, 1e-3, 1.0, 1e3, 1e6};
constexpr std::array<std::string_view, 4> kPowerUnits = {"mW", "W", "dBW", "dBm"};
constexpr std::array<std::string_view, 2> kGainUnits = {"dBi", "dBd"};
constexpr std::array<std::string_view, 11> kPolarizations = {
    "Total", "P45", "M45", "P45M45", "M45P45", "H", "V", "HV", "VH", "RHC", "LHC"};

// The JSON text of a value inside an error message: scalars as written (long ones cut), an
// array or object by its kind.
std::string Shown(const dom::element& value) {
    if (value.is_array()) return "an array";
    if (value.is_object()) return "an object";
    std::string text = simdjson::to_string(value);
    constexpr size_t kLongest = 60;
    if (text.size() > kLongest) {
        size_t cut = kLongest - 3;
        // Never half a UTF-8 character.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text = text.substr(0, cut) + "...";
    }
    return text;
}

template <size_t N>
std::string ChoiceList(const std::array<std::string_view, N>& choices) {
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0) text += i + 1 == N ? " or " : ", ";
        text += choices[i];
    }
    return text;
}

[[noreturn]] void Refuse(const std::string& message) {
    throw EFormatError(message);
}

// "WHAT is VALUE; expected EXPECTED", WHAT naming a row or an item of a list.
[[noreturn]] void RefuseItem(const std::string& what, const dom::element& value,
                             const std::string& expected) {
    Refuse(what + " is " + Shown(value) + "; expected " + expected);
}

[[noreturn]] void RefuseValue(std::string_view key, const dom::element& value,
                              const std::string& expected) {
    RefuseItem("\"" + std::string(key) + "\"", value, expected);
}

// One JSON object's keys as the schema wants them; `prefix` names an inner object's keys
// ("Frequency.unit").
class TKeyReader {
public:
    TKeyReader(const dom::object& object, std::string prefix)
        : FObject(object), FPrefix(std::move(prefix)) {}

    std::string Name(std::string_view key) const { return FPrefix + std::string(key); }

    dom::element Required(std::string_view key) const {
        dom::element value;
        if (FObject.at_key(key).get(value) != simdjson::SUCCESS)
            Refuse("\"" + Name(key) + "\" is missing");
        return value;
    }

    std::string_view String(std::string_view key) const {
        const dom::element value = Required(key);
        std::string_view text;
        if (value.get_string().get(text) != simdjson::SUCCESS)
            RefuseValue(Name(key), value, "a string");
        return text;
    }

    std::optional<std::string_view> StringOrNull(std::string_view key) const {
        const dom::element value = Required(key);
        if (value.is_null()) return std::nullopt;
        std::string_view text;
        if (value.get_string().get(text) != simdjson::SUCCESS)
            RefuseValue(Name(key), value, "a string or null");
        return text;
    }

    // The index of the value among `choices`.
    template <size_t N>
    size_t Choice(std::string_view key, const std::array<std::string_view, N>& choices) const {
        const std::string_view text = String(key);
        const auto found = std::find(choices.begin(), choices.end(), text);
        if (found == choices.end()) RefuseValue(Name(key), Required(key), ChoiceList(choices));
        return static_cast<size_t>(found - choices.begin());
    }

    // A number; `minimum` is exclusive or inclusive as `exclusive` says.
    double Number(std::string_view key, std::optional<double> minimum = std::nullopt,
                  bool exclusive = false) const {
        const dom::element value = Required(key);
        double number = 0;
        if (value.get_double().get(number) != simdjson::SUCCESS)
            RefuseValue(Name(key), value, "a number");
        if (minimum && (exclusive ? !(number > *minimum) : !(number >= *minimum))) {
            RefuseValue(Name(key), value,
                        std::string(exclusive ? "a number above " : "a number of at least ") +
                            FormatGeneral(*minimum));
        }
        return number;
    }

    std::optional<double> NumberOrNull(std::string_view key) const {
        const dom::element value = Required(key);
        if (value.is_null()) return std::nullopt;
        double number = 0;
        if (value.get_double().get(number) != simdjson::SUCCESS)
            RefuseValue(Name(key), value, "a number or null");
        return number;
    }

    std::optional<dom::object> Object(std::string_view key, bool nullable) const {
        const dom::element value = Required(key);
        if (nullable && value.is_null()) return std::nullopt;
        dom::object object;
        if (value.get_object().get(object) != simdjson::SUCCESS)
            RefuseValue(Name(key), value, nullable ? "an object or null" : "an object");
        return object;
    }

    // [start, step, stop] or null.
    std::optional<std::array<double, 3>> Sampling(std::string_view key) const {
        const dom::element value = Required(key);
        if (value.is_null()) return std::nullopt;
        dom::array array;
        std::array<double, 3> numbers{};
        size_t count = 0;
        bool numeric = value.get_array().get(array) == simdjson::SUCCESS;
        if (numeric) {
            for (const dom::element item : array) {
                if (count >= 3 || item.get_double().get(numbers[count]) != simdjson::SUCCESS) {
                    numeric = false;
                    break;
                }
                ++count;
            }
        }
        if (!numeric || count != 3) RefuseValue(Name(key), value, "an array of 3 numbers or null");
        return numbers;
    }

private:
    dom::object FObject;
    std::string FPrefix;
};

// "M###" or "P###M###" (and the same with P and M swapped), ### one to three digits: the
// schema's patterns for polarisations of other angles.
bool IsAnglePolarization(std::string_view text) {
    auto digits = [&text](size_t& at) {
        const size_t start = at;
        while (at < text.size() && at - start < 4 && text[at] >= '0' && text[at] <= '9') ++at;
        return at - start >= 1 && at - start <= 3;
    };
    for (const auto& [first, second] : {std::pair{'P', 'M'}, std::pair{'M', 'P'}}) {
        size_t at = 0;
        if (!text.empty() && text[0] == first) {
            ++at;
            if (!digits(at)) continue;
        }
        if (at >= text.size() || text[at] != second) continue;
        ++at;
        if (digits(at) && at == text.size()) return true;
    }
    return false;
}

// Checks the keys the schema requires that the pattern does not use.
void CheckOtherKeys(const TKeyReader& keys) {
    for (const char* key : {"BASTA_AA_WP_version", "Supplier", "Antenna_Model", "Antenna_Type",
                            "Revision_Version", "Released_Date"}) {
        keys.String(key);
    }
    for (const char* key :
         {"Pattern_Name", "Beam_ID", "Configuration", "RF_Port", "Array_ID", "Array_Position"}) {
        keys.StringOrNull(key);
    }
    keys.Choice("Pattern_Type", kPatternTypes);
    if (const auto range = keys.Object("Frequency_Range", true)) {
        const TKeyReader inner(*range, "Frequency_Range.");
        inner.Number("lower", 0.0);
        inner.Number("upper", 0.0);
        inner.Choice("unit", kFrequencyUnits);
    }
    for (const char* key : {"EIRP", "Configured_Output_Power"}) {
        if (const auto power = keys.Object(key, true)) {
            const TKeyReader inner(*power, std::string(key) + '.');
            inner.Number("value");
            inner.Choice("unit", kPowerUnits);
        }
    }
    keys.NumberOrNull("Phi_Electrical_Pan");
    const std::string_view polarization = keys.String("Nominal_Polarization");
    if (std::find(kPolarizations.begin(), kPolarizations.end(), polarization) ==
            kPolarizations.end() &&
        !IsAnglePolarization(polarization)) {
        RefuseValue("Nominal_Polarization", keys.Required("Nominal_Polarization"),
                    ChoiceList(kPolarizations) + ", M###, P###, P###M### or M###P###");
    }
}

// The rows, column by column.
struct TRows {
    std::array<int, colCount> Position{};  // -1: the file has no such column
    std::array<std::vector<double>, colCount> Values;
    size_t Count = 0;
    bool Has(TColumn column) const { return Position[column] >= 0; }
};

TRows ReadRows(const TKeyReader& keys) {
    TRows rows;
    rows.Position.fill(-1);
    const dom::element structure = keys.Required("Data_Set_Row_Structure");
    dom::array names;
    const char* expectedNames = "an array of 1 to 7 column names";
    if (structure.get_array().get(names) != simdjson::SUCCESS || names.size() < 1 ||
        names.size() > 7) {
        RefuseValue("Data_Set_Row_Structure", structure, expectedNames);
    }
    int position = 0;
    for (const dom::element item : names) {
        std::string_view name;
        const auto found = item.get_string().get(name) == simdjson::SUCCESS
                               ? std::find(kColumnNames.begin(), kColumnNames.end(), name)
                               : kColumnNames.end();
        if (found == kColumnNames.end()) {
            RefuseItem("\"Data_Set_Row_Structure\" item " + std::to_string(position + 1), item,
                       ChoiceList(kColumnNames));
        }
        const size_t column = static_cast<size_t>(found - kColumnNames.begin());
        if (rows.Position[column] >= 0)
            Refuse("\"Data_Set_Row_Structure\" names " + std::string(name) + " twice");
        rows.Position[column] = position++;
    }
    if (rows.Has(colTheta) != rows.Has(colPhi))
        Refuse("\"Data_Set_Row_Structure\" names one of Theta and Phi without the other");
    if (!rows.Has(colTp) && !rows.Has(colCo))
        Refuse("\"Data_Set_Row_Structure\" names neither MagAttenuationTP nor MagAttenuationCo");

    const dom::element set = keys.Required("Data_Set");
    dom::array data;
    if (set.get_array().get(data) != simdjson::SUCCESS)
        RefuseValue("Data_Set", set, "an array of rows");
    rows.Count = data.size();
    if (rows.Count == 0) Refuse("\"Data_Set\" holds no rows");
    // The columns the sphere needs; phases are only checked to be numbers.
    std::array<double*, colCount> targets{};
    for (size_t column = 0; column <= colCr; ++column) {
        if (rows.Position[column] < 0) continue;
        rows.Values[column].resize(rows.Count);
    }
    const size_t width = static_cast<size_t>(position);
    std::array<int, colCount> columnAt{};
    for (size_t column = 0; column < colCount; ++column) {
        if (rows.Position[column] >= 0)
            columnAt[static_cast<size_t>(rows.Position[column])] = static_cast<int>(column);
    }
    const std::string rowName = "Data_Set row ";
    size_t index = 0;
    for (const dom::element row : data) {
        dom::array numbers;
        if (row.get_array().get(numbers) != simdjson::SUCCESS)
            RefuseItem(rowName + std::to_string(index + 1), row, "an array of numbers");
        for (size_t column = 0; column <= colCr; ++column) {
            targets[column] = rows.Values[column].empty() ? nullptr : &rows.Values[column][index];
        }
        size_t item = 0;
        for (const dom::element value : numbers) {
            double number = 0;
            if (item >= width || value.get_double().get(number) != simdjson::SUCCESS) break;
            if (double* target = targets[static_cast<size_t>(columnAt[item])]) *target = number;
            ++item;
        }
        if (item != width || numbers.size() != width) {
            if (item < numbers.size() && item < width) {
                RefuseItem(
                    rowName + std::to_string(index + 1) + " item " + std::to_string(item + 1),
                    numbers.at(item).value_unsafe(), "a number");
            }
            Refuse(rowName + std::to_string(index + 1) + " has " + std::to_string(numbers.size()) +
                   " numbers; \"Data_Set_Row_Structure\" names " + std::to_string(width) +
                   " columns");
        }
        ++index;
    }
    return rows;
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
void RowLevels(const TRows& rows, std::vector<double>& total, std::vector<double>& co,
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

// The sphere from the rows: grid, coverage, one column per direction of phi, levelling.
std::shared_ptr<const TMeasuredSphere> MakeSphere(const TKeyReader& keys, const TRows& rows,
                                                  TSphereAxes axes, std::string_view system) {
    const auto thetaSampling = keys.Sampling("Theta_Sampling");
    const auto phiSampling = keys.Sampling("Phi_Sampling");
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

}  // namespace

bool LooksLikeBastaText(std::string_view head) {
    size_t at = 0;
    if (head.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
    while (at < head.size() &&
           (head[at] == ' ' || head[at] == '\t' || head[at] == '\r' || head[at] == '\n')) {
        ++at;
    }
    if (at >= head.size() || head[at] != '{') return false;
    return head.find("\"BASTA_AA_WP_version\"") != std::string_view::npos ||
           head.find("\"Data_Set\"") != std::string_view::npos;
}

std::vector<std::unique_ptr<TPatternData>> MakeBastaPatterns(const std::string& bytes,
                                                             const std::string& fileName) {
    dom::parser parser;
    dom::element root;
    simdjson::error_code error = simdjson::SUCCESS;
    // JSON allows no byte order mark; files written on Windows may carry one all the same.
    const size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.capacity() >= bytes.size() + simdjson::SIMDJSON_PADDING) {
        error = parser
                    .parse(simdjson::padded_string_view(bytes.data() + skip, bytes.size() - skip,
                                                        bytes.capacity() - skip))
                    .get(root);
    } else {
        const simdjson::padded_string copy(bytes.data() + skip, bytes.size() - skip);
        error = parser.parse(copy).get(root);
    }
    if (error != simdjson::SUCCESS)
        Refuse(std::string("Not a JSON text: ") + simdjson::error_message(error));
    dom::object object;
    if (root.get_object().get(object) != simdjson::SUCCESS)
        Refuse("The JSON text is " + Shown(root) + "; expected an object");
    const TKeyReader keys(object, "");

    auto pattern = std::make_unique<TPatternData>();
    NamePattern(*pattern, fileName, "");
    CheckOtherKeys(keys);
    const size_t system = keys.Choice("Coordinate_System", kCoordinateSystems);

    const dom::object frequency = *keys.Object("Frequency", false);
    const TKeyReader frequencyKeys(frequency, "Frequency.");
    const double frequencyValue = frequencyKeys.Number("value", 0.0);
    pattern->Frequency.SetValue(frequencyValue *
                                kUnitsPerMhz[frequencyKeys.Choice("unit", kFrequencyUnits)]);
    if (const auto gain = keys.Object("Gain", true)) {
        const TKeyReader gainKeys(*gain, "Gain.");
        const double value = gainKeys.Number("value");
        pattern->Gain.SetValue(gainKeys.Choice("unit", kGainUnits) == 1 ? value + kDipoleGainDbi
                                                                        : value);
    }
    pattern->HorzWidth.SetValue(keys.Number("Phi_HPBW", 0.0, true));
    pattern->VertWidth.SetValue(keys.Number("Theta_HPBW", 0.0, true));
    pattern->FrontToBack.SetValue(keys.Number("Front_to_Back", 0.0, true));
    if (const auto tilt = keys.NumberOrNull("Theta_Electrical_Tilt"))
        pattern->ElectricalTilt.SetValue(*tilt);
    pattern->Make = std::string(keys.String("Supplier"));
    pattern->Model = std::string(keys.String("Antenna_Model"));
    if (const auto port = keys.StringOrNull("RF_Port"))
        pattern->Model += " port " + std::string(*port);
    if (const auto beam = keys.StringOrNull("Beam_ID"))
        pattern->Model += " beam " + std::string(*beam);

    const TRows rows = ReadRows(keys);
    pattern->Sphere = MakeSphere(keys, rows, kCoordinateAxes[system], kCoordinateSystems[system]);
    BuildSphereCuts(*pattern->Sphere, *pattern);

    std::vector<std::unique_ptr<TPatternData>> patterns;
    patterns.push_back(std::move(pattern));
    return patterns;
}

}  // namespace ostrel
