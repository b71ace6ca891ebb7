#include "formats/BastaWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "formats/PlanningFiles.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/PatternSurface.h"

namespace ostrel {

namespace {

constexpr int kThetaFirst = -90;
constexpr int kThetaLast = 90;
constexpr int kPhiFirst = -180;
constexpr int kPhiLast = 179;  // 180 is -180 again

// A number with at most `decimals` decimals, trailing zeros dropped ("12.5", "3", "0").
std::string ShortDecimal(double value, int decimals) {
    std::string text = FormatFixed(decimals, value);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

// Whether the bytes are well-formed UTF-8: no overlong form, no surrogate, nothing above
// U+10FFFF (RFC 3629).
bool IsUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return false;
        }
        const auto second = length > 1 ? static_cast<unsigned char>(text[at + 1]) : 0;
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
            return false;
        }
        at += length;
    }
    return true;
}

// A JSON string (RFC 8259) of the text. Text that is not UTF-8 is single-byte text, as
// pattern files and old file names are: its bytes above 0x7F are taken as Latin-1.
std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const bool utf8 = IsUtf8(text);
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || (byte >= 0x80 && !utf8)) {
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 0x0F];
        } else {
            json += c;
        }
    }
    return json + '"';
}

// The schema's name of the polarisation both cuts state, when they state one the same way
// and sent as received ("V/V", "+45/+45"); nothing otherwise.
std::optional<std::string_view> StatedPolarization(const TPatternData& pattern) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNames = {{
        {"V", "V"},
        {"H", "H"},
        {"+45", "P45"},
        {"-45", "M45"},
        {"RHC", "RHC"},
        {"LHC", "LHC"},
        {"RHCP", "RHC"},
        {"LHCP", "LHC"},
    }};
    const std::string& stated = pattern.AzimuthPolarization;
    const size_t slash = stated.find('/');
    if (stated != pattern.VerticalPolarization || slash == std::string::npos) return std::nullopt;
    const std::string sent = AsciiUpperCase(std::string_view(stated).substr(0, slash));
    if (sent != AsciiUpperCase(std::string_view(stated).substr(slash + 1))) return std::nullopt;
    for (const auto& [text, name] : kNames) {
        if (sent == text) return name;
    }
    return std::nullopt;
}

std::optional<double> Stated(const TDoubleObject& value, bool signIgnored = false) {
    if (value.GetIsNull()) return std::nullopt;
    return signIgnored ? std::fabs(value.Value) : value.Value;
}

// The text of a figure the schema needs above 0: the stated value where it is one, else the
// computed one; "" when neither is.
std::string PositiveFigure(const std::optional<double>& stated,
                           const std::optional<double>& computed) {
    for (const std::optional<double>& value : {stated, computed}) {
        if (!value || !(*value > 0)) continue;
        const std::string text = ShortDecimal(*value, 4);
        if (ParseNumber(text).value_or(0) > 0) return text;
    }
    return {};
}

std::string RefusedFigure(std::string_view key) {
    return "a BASTA JSON file needs \"" + std::string(key) +
           "\" above 0, which is neither stated nor computable from the cuts";
}

}  // namespace

TSphereLevels PatternSphereLevels(const TPatternData& pattern) {
    if (const std::shared_ptr<const TMeasuredSphere> sphere = pattern.Sphere) {
        // The sphere's own bilinear level: its samples where they fall on the whole degrees,
        // between them elsewhere.
        return {[sphere](double azimuthDeg, double verticalDeg) {
                    return sphere->Level(TSphereComponent::Total, azimuthDeg, verticalDeg);
                },
                "Measured total levels of the source file's sphere, resampled to 1 degree by "
                "bilinear interpolation where the file was sampled otherwise"};
    }
    return {TSurfaceEstimate(pattern, TSurfaceMethod::WeightedBilinear),
            "Levels estimated from the horizontal and vertical cuts by the weighted bilinear "
            "interpolation of Gil et al. (IEEE Antennas and Propagation Magazine, 2001)"};
}

std::string IsoDateToday() {
    return LocalDateText("%Y-%m-%d");
}

TWrittenPattern BastaJsonText(const TPatternData& pattern, const std::string& name,
                              const TSphereLevels& levels, std::string_view releasedDate) {
    TWrittenPattern written;
    if (pattern.Frequency.GetIsNull() || !(pattern.Frequency.Value > 0)) {
        written.Failure =
            "a BASTA JSON file needs the frequency (\"Frequency\"), which is not known";
        return written;
    }
    const TPatternFigures& figures = pattern.Figures(THCut::Horizontal);
    const std::pair<const char*, std::string> widths[] = {
        {"Phi_HPBW", PositiveFigure(Stated(pattern.HorzWidth), figures.Horz.Width3Db)},
        {"Theta_HPBW", PositiveFigure(Stated(pattern.VertWidth), figures.Vert.Width3Db)},
        // Files state the ratio with either sign.
        {"Front_to_Back",
         PositiveFigure(Stated(pattern.FrontToBack, true), figures.Horz.FrontToBack180)},
    };
    for (const auto& [key, text] : widths) {
        if (text.empty()) {
            written.Failure = RefusedFigure(key);
            return written;
        }
    }

    std::vector<double> sphere;
    sphere.reserve(static_cast<size_t>(kThetaLast - kThetaFirst + 1) *
                   static_cast<size_t>(kPhiLast - kPhiFirst + 1));
    for (int theta = kThetaFirst; theta <= kThetaLast; ++theta) {
        for (int phi = kPhiFirst; phi <= kPhiLast; ++phi) {
            const double level = levels.Level(phi, theta);
            if (!std::isfinite(level)) {
                written.Failure = "the level at azimuth " + FormatGeneral(phi) + ", vertical " +
                                  FormatGeneral(theta) + " is not a number";
                return written;
            }
            sphere.push_back(level);
        }
    }
    const double peak = *std::max_element(sphere.begin(), sphere.end());

    const auto polarization = StatedPolarization(pattern);
    if (!polarization &&
        (!pattern.AzimuthPolarization.empty() || !pattern.VerticalPolarization.empty())) {
        written.Notes.push_back("the polarisation (H " + pattern.AzimuthPolarization + ", V " +
                                pattern.VerticalPolarization +
                                ") is written as Total: it names no one nominal polarisation");
    }
    auto nullOr = [](const TDoubleObject& value, const std::string& json) {
        return value.GetIsNull() ? std::string("null") : json;
    };
    const std::pair<const char*, std::string> header[] = {
        {"BASTA_AA_WP_version", JsonString("3.0")},
        {"Supplier", JsonString(pattern.Make.empty() ? std::string("Unknown") : pattern.Make)},
        {"Antenna_Model", JsonString(pattern.Model.empty() ? name : pattern.Model)},
        {"Antenna_Type", JsonString("Passive")},
        {"Revision_Version", JsonString("1")},
        {"Released_Date", JsonString(releasedDate)},
        {"Coordinate_System", JsonString("SPCS_CW")},
        {"Pattern_Name", "null"},
        {"Beam_ID", "null"},
        {"Pattern_Type", JsonString("Generic")},
        {"Frequency",
         "{\"value\": " + FormatGeneral(pattern.Frequency.Value) + ", \"unit\": \"MHz\"}"},
        {"Frequency_Range", "null"},
        {"EIRP", "null"},
        {"Configured_Output_Power", "null"},
        {"Gain", nullOr(pattern.Gain, "{\"value\": " + FormatGeneral(pattern.Gain.Value) +
                                          ", \"unit\": \"dBi\"}")},
        {"Configuration", "null"},
        {"RF_Port", "null"},
        {"Array_ID", "null"},
        {"Array_Position", "null"},
        {"Phi_HPBW", widths[0].second},
        {"Theta_HPBW", widths[1].second},
        {"Front_to_Back", widths[2].second},
        {"Phi_Electrical_Pan", "null"},
        {"Theta_Electrical_Tilt",
         nullOr(pattern.ElectricalTilt, FormatGeneral(pattern.ElectricalTilt.Value))},
        {"Nominal_Polarization", JsonString(polarization.value_or("Total"))},
        {"Optional_Comments", JsonString(levels.Origin)},
        {"Theta_Sampling",
         "[" + FormatGeneral(kThetaFirst) + ", 1, " + FormatGeneral(kThetaLast) + "]"},
        {"Phi_Sampling", "[" + FormatGeneral(kPhiFirst) + ", 1, " + FormatGeneral(kPhiLast) + "]"},
        {"Data_Set_Row_Structure", R"(["Theta", "Phi", "MagAttenuationTP"])"},
    };
    std::string& text = written.Text;
    text.reserve(sphere.size() * 24 + 2048);
    text = "{\n";
    for (const auto& [key, value] : header) {
        text.append("  ").append(JsonString(key)).append(": ").append(value).append(",\n");
    }
    text += "  \"Data_Set\": [\n";
    auto level = sphere.begin();
    for (int theta = kThetaFirst; theta <= kThetaLast; ++theta) {
        const std::string rowStart = "    [" + FormatGeneral(theta) + ", ";
        for (int phi = kPhiFirst; phi <= kPhiLast; ++phi) {
            text.append(rowStart).append(FormatGeneral(phi)).append(", ");
            text.append(ShortDecimal(peak - *level++, 4)).append("],\n");
        }
    }
    // No comma after the last row.
    text.erase(text.size() - 2, 1);
    text += "  ]\n}\n";
    return written;
}

}  // namespace ostrel
