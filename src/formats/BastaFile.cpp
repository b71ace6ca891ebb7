#include "formats/BastaFile.h"

#include "formats/BastaRows.h"

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

TBastaRows ReadRows(const TKeyReader& keys) {
    TBastaRows rows;
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

    const TBastaRows rows = ReadRows(keys);
    pattern->Sphere =
        MakeBastaSphere(rows, keys.Sampling("Theta_Sampling"), keys.Sampling("Phi_Sampling"),
                        kCoordinateAxes[system], kCoordinateSystems[system]);
    BuildSphereCuts(*pattern->Sphere, *pattern);

    std::vector<std::unique_ptr<TPatternData>> patterns;
    patterns.push_back(std::move(pattern));
    return patterns;
}

}  // namespace ostrel
