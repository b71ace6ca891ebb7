#include "support/BastaText.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "model/NumberText.h"

namespace ostrel {

void TBastaText::Set(const std::string& key, const std::string& json) {
    for (auto& [name, value] : Keys) {
        if (name == key) {
            value = json;
            return;
        }
    }
    Keys.emplace_back(key, json);
}

void TBastaText::Remove(const std::string& key) {
    std::erase_if(Keys, [&key](const auto& entry) { return entry.first == key; });
}

std::string TBastaText::Text() const {
    std::string text = "{\n";
    for (size_t i = 0; i < Keys.size(); ++i) {
        text += " \"" + Keys[i].first + "\": " + Keys[i].second;
        text += i + 1 < Keys.size() ? ",\n" : "\n";
    }
    return text + "}\n";
}

std::vector<double> Steps(double first, double last, double step) {
    std::vector<double> values;
    const int count = static_cast<int>(std::lround((last - first) / step));
    for (int k = 0; k <= count; ++k) values.push_back(first + k * step);
    return values;
}

namespace {

std::string Array(const std::vector<std::string>& items) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) text += (i > 0 ? ", " : "") + items[i];
    return text + "]";
}

}  // namespace

TBastaText BastaSphere(const std::string& system, const std::vector<double>& thetas,
                       const std::vector<double>& phis, const std::vector<std::string>& columns,
                       const TBastaLevels& levels, bool explicitRows, unsigned seed) {
    TBastaText file;
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"BASTA_AA_WP_version", "\"3.0\""},
             {"Supplier", "\"Velmor\""},
             {"Antenna_Model", "\"VLM-3D\""},
             {"Antenna_Type", "\"Passive\""},
             {"Revision_Version", "\"1\""},
             {"Released_Date", "\"2026-12-01\""},
             {"Coordinate_System", "\"" + system + "\""},
             {"Pattern_Name", "null"},
             {"Beam_ID", "null"},
             {"Pattern_Type", "\"Generic\""},
             {"Frequency", "{\"value\": 1850, \"unit\": \"MHz\"}"},
             {"Frequency_Range", "null"},
             {"EIRP", "null"},
             {"Configured_Output_Power", "null"},
             {"Gain", "{\"value\": 17.5, \"unit\": \"dBi\"}"},
             {"Configuration", "null"},
             {"RF_Port", "null"},
             {"Array_ID", "null"},
             {"Array_Position", "null"},
             {"Phi_HPBW", "65"},
             {"Theta_HPBW", "7"},
             {"Front_to_Back", "30"},
             {"Phi_Electrical_Pan", "null"},
             {"Theta_Electrical_Tilt", "null"},
             {"Nominal_Polarization", "\"P45\""}}) {
        file.Set(key, value);
    }
    auto sampling = [](const std::vector<double>& values) {
        return Array({FormatGeneral(values.front()), FormatGeneral(values[1] - values[0]),
                      FormatGeneral(values.back())});
    };
    std::vector<std::string> structure;
    if (explicitRows) structure = {"\"Theta\"", "\"Phi\""};
    for (const std::string& column : columns) structure.push_back("\"" + column + "\"");
    file.Set("Theta_Sampling", explicitRows ? "null" : sampling(thetas));
    file.Set("Phi_Sampling", explicitRows ? "null" : sampling(phis));
    file.Set("Data_Set_Row_Structure", Array(structure));
    std::vector<std::string> rows;
    for (const double theta : thetas) {
        for (const double phi : phis) {
            std::vector<std::string> row;
            if (explicitRows) row = {FormatGeneral(theta), FormatGeneral(phi)};
            for (const double value : levels(theta, phi)) row.push_back(FormatGeneral(value));
            rows.push_back(Array(row));
        }
    }
    if (explicitRows) std::shuffle(rows.begin(), rows.end(), std::mt19937(seed));
    std::string data = "[\n  ";
    for (size_t i = 0; i < rows.size(); ++i) data += (i > 0 ? ",\n  " : "") + rows[i];
    file.Set("Data_Set", data + "\n ]");
    return file;
}

}  // namespace ostrel
