#include "PatternFileGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "formats/PlanningFiles.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The figures of one generated antenna.
struct TAntenna {
    double FrequencyMhz;
    double HWidthDeg;
    double VWidthDeg;
    double FrontToBackDb;
    double GainDbd;
    double TiltDeg;
    int Decimals;
};

TAntenna MakeAntenna(std::mt19937& random) {
    static constexpr std::array<double, 8> kFrequencies{698,  746,  850,  1850,
                                                        1900, 2110, 2600, 3500};
    static constexpr std::array<double, 4> kHWidths{33, 45, 65, 90};
    std::uniform_int_distribution<size_t> frequency(0, kFrequencies.size() - 1);
    std::uniform_int_distribution<size_t> hWidth(0, kHWidths.size() - 1);
    std::uniform_real_distribution<double> vWidth(4.5, 15);
    std::uniform_real_distribution<double> frontToBack(20, 35);
    std::uniform_real_distribution<double> gain(11, 19);
    std::uniform_int_distribution<int> tilt(0, 10);
    std::uniform_int_distribution<int> decimals(2, 3);
    TAntenna antenna{};
    antenna.FrequencyMhz = kFrequencies[frequency(random)];
    antenna.HWidthDeg = kHWidths[hWidth(random)];
    antenna.VWidthDeg = std::round(vWidth(random) * 2) / 2;
    antenna.FrontToBackDb = std::round(frontToBack(random));
    antenna.GainDbd = std::round(gain(random) * 100) / 100;
    antenna.TiltDeg = tilt(random);
    antenna.Decimals = decimals(random);
    return antenna;
}

// Attenuation (>= 0 dB) of a lobe of the given 3 dB width at `offsetDeg` from its axis:
// the usual parabola in dB, side lobes beyond it, floored at `floorDb`, plus ripple.
double LobeAttenuation(double offsetDeg, double widthDeg, double floorDb, std::mt19937& random) {
    std::uniform_real_distribution<double> ripple(0, 0.6);
    const double offset = std::fabs(offsetDeg);
    double level = 12 * (offset / widthDeg) * (offset / widthDeg);
    if (level > floorDb * 0.6) {
        level = floorDb * 0.6 + (floorDb * 0.4) * std::fabs(std::sin(offset * kPi / 23));
    }
    return std::min(level, floorDb) + ripple(random);
}

// Angle 0..359 as an offset -180..179 from 0 degrees.
double SignedAngle(int angleDeg) {
    return angleDeg > 180 ? angleDeg - 360 : angleDeg;
}

}  // namespace

std::string TPatternFileGenerator::OstrelText(std::uint32_t seed) {
    std::mt19937 random(seed);
    const TAntenna antenna = MakeAntenna(random);
    std::string text;
    text.reserve(10000);
    auto line = [&text](const std::string& content) {
        text += content;
        text += "\r\n";
    };
    line("NAME Sector_" + std::to_string(seed));
    line(seed % 3 == 0 ? "MAKE Velmor" : "MAKE Antennas_Inc");
    line("FREQUENCY " + FormatGeneral(antenna.FrequencyMhz));
    line("H_WIDTH " + FormatGeneral(antenna.HWidthDeg));
    line("V_WIDTH " + FormatGeneral(antenna.VWidthDeg));
    line("FRONT_TO_BACK " + FormatGeneral(antenna.FrontToBackDb));
    line("GAIN " + FormatFixed(2, antenna.GainDbd) + " dBd");
    line(seed % 2 == 0 ? "TILT ELECTRICAL" : "TILT MECHANICAL");
    if (seed % 5 == 0) line("COMMENT " + FormatGeneral(antenna.TiltDeg) + " deg down-tilt");
    line("HORIZONTAL 360");
    for (int angle = 0; angle < 360; ++angle) {
        const double level =
            LobeAttenuation(SignedAngle(angle), antenna.HWidthDeg, antenna.FrontToBackDb, random);
        line(std::to_string(angle) + "\t" + FormatFixed(antenna.Decimals, angle == 0 ? 0 : level));
    }
    line("VERTICAL 360");
    for (int angle = 0; angle < 360; ++angle) {
        const double level =
            LobeAttenuation(SignedAngle(angle) - antenna.TiltDeg, antenna.VWidthDeg, 40, random);
        line(std::to_string(angle) + "\t" + FormatFixed(antenna.Decimals, level));
    }
    return text;
}

std::string TPatternFileGenerator::VerizonText(std::uint32_t seed) {
    std::mt19937 random(seed ^ 0x9e3779b9u);
    const TAntenna antenna = MakeAntenna(random);
    TVerizonFile file;
    file.ModelName = "VZ_" + std::to_string(seed);
    file.Frequency = antenna.FrequencyMhz;
    file.MaxGainDbd = antenna.GainDbd;
    file.HorzBeamwidth = antenna.HWidthDeg;
    file.ElectricalTilt = antenna.TiltDeg;
    // Cuts in the 361-point layout the writer expects: X = -180..180, Y <= 0 dB.
    std::array<double, 361> horizontal{};
    std::array<double, 361> vertical{};
    for (int k = 0; k < 360; ++k) {
        horizontal[static_cast<size_t>(k)] =
            -LobeAttenuation(k - 180, antenna.HWidthDeg, antenna.FrontToBackDb, random);
        vertical[static_cast<size_t>(k)] =
            -LobeAttenuation(k - 180 - antenna.TiltDeg, antenna.VWidthDeg, 40, random);
    }
    horizontal[180] = 0;
    horizontal[360] = horizontal[0];
    vertical[360] = vertical[0];
    for (int k = 0; k <= 360; ++k) {
        file.HorizontalPoints.Add(k - 180, horizontal[static_cast<size_t>(k)]);
        file.VerticalPoints.Add(k - 180, vertical[static_cast<size_t>(k)]);
    }
    return file.SaveToText("12-07-2026");
}

}  // namespace ostrel
