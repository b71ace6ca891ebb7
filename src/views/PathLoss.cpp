#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "model/NumberText.h"
#include "views/Coverage.h"

// The path-loss models of the coverage: free space, Okumura-Hata as M. Hata fitted it
// ("Empirical formula for propagation loss in land mobile radio services", IEEE Trans. on
// Vehicular Technology 29(3), 1980) and its COST-231 extension (COST Action 231, "Digital
// mobile radio towards future generation systems", final report, 1999, chapter 4).

namespace ostrel {

namespace {

constexpr std::array<const char*, kPathModelCount> kModelNames = {
    "free", "hata-urban", "hata-suburban", "hata-open", "cost231", "cost231-metro"};

// The published ranges of the empirical models.
constexpr double kHataLowMhz = 150;
constexpr double kHataHighMhz = 1500;
constexpr double kCostHighMhz = 2000;
constexpr double kBaseLowM = 30;
constexpr double kBaseHighM = 200;
constexpr double kMobileLowM = 1;
constexpr double kMobileHighM = 10;

// The shortest distances the formulas read, in km.
constexpr double kShortestKm = 0.001;

bool IsHata(TPathModel model) {
    return model == TPathModel::HataUrban || model == TPathModel::HataSuburban ||
           model == TPathModel::HataOpen;
}

std::string Span(double low, double high, const char* unit) {
    return FormatGeneral(low) + "-" + FormatGeneral(high) + " " + unit;
}

// "frequency 2600 MHz (1500-2000 MHz)" when the value lies outside low..high, else "".
std::string Outside(const char* what, double value, double low, double high, const char* unit) {
    if (value >= low && value <= high) return {};
    return std::string(what) + " " + FormatGeneral(value) + " " + unit + " (" +
           Span(low, high, unit) + ")";
}

}  // namespace

const char* PathModelName(TPathModel model) {
    return kModelNames.at(static_cast<size_t>(model));
}

std::optional<TPathModel> PathModelFromName(std::string_view name) {
    for (size_t i = 0; i < kModelNames.size(); ++i) {
        if (name == kModelNames[i]) return static_cast<TPathModel>(i);
    }
    return std::nullopt;
}

TPathModel DefaultPathModel(double frequencyMhz) {
    if (frequencyMhz > kHataHighMhz) return TPathModel::Cost231;
    if (frequencyMhz >= kHataLowMhz) return TPathModel::HataUrban;
    return TPathModel::Free;
}

TPathLoss::TPathLoss(TPathModel model, double frequencyMhz, double baseHeightM,
                     double mobileHeightM)
    : FModel(model), FHeightDifferenceKm((baseHeightM - mobileHeightM) / 1000) {
    const double logF = std::log10(frequencyMhz);
    const double logHb = std::log10(baseHeightM);
    FFreeSpaceConstant = 20 * logF + 32.44;
    // The mobile antenna's height correction of a small or medium city.
    const double aHm = (1.1 * logF - 0.7) * mobileHeightM - (1.56 * logF - 0.8);
    FHataSlope = 44.9 - 6.55 * logHb;
    const double urban = 69.55 + 26.16 * logF - 13.82 * logHb - aHm;
    const double cost = 46.3 + 33.9 * logF - 13.82 * logHb - aHm;
    switch (model) {
        case TPathModel::Free:
            FHataConstant = 0;
            break;
        case TPathModel::HataUrban:
            FHataConstant = urban;
            break;
        case TPathModel::HataSuburban: {
            const double logRatio = std::log10(frequencyMhz / 28);
            FHataConstant = urban - 2 * logRatio * logRatio - 5.4;
            break;
        }
        case TPathModel::HataOpen:
            FHataConstant = urban - 4.78 * logF * logF + 18.33 * logF - 40.94;
            break;
        case TPathModel::Cost231:
            FHataConstant = cost;
            break;
        case TPathModel::Cost231Metro:
            FHataConstant = cost + 3;
            break;
    }
}

double TPathLoss::operator()(double distanceKm) const {
    const double straightKm =
        std::max(std::sqrt(distanceKm * distanceKm + FHeightDifferenceKm * FHeightDifferenceKm),
                 kShortestKm);
    const double freeSpace = 20 * std::log10(straightKm) + FFreeSpaceConstant;
    if (FModel == TPathModel::Free) return freeSpace;
    const double model = FHataConstant + FHataSlope * std::log10(std::max(distanceKm, kShortestKm));
    return std::max(freeSpace, model);
}

double PathLossDb(TPathModel model, double frequencyMhz, double distanceKm, double baseHeightM,
                  double mobileHeightM) {
    return TPathLoss(model, frequencyMhz, baseHeightM, mobileHeightM)(distanceKm);
}

std::string PathModelRangeNote(TPathModel model, double frequencyMhz, double baseHeightM,
                               double mobileHeightM) {
    if (model == TPathModel::Free) return {};
    std::vector<std::string> parts;
    const bool hata = IsHata(model);
    parts.push_back(Outside("frequency", frequencyMhz, hata ? kHataLowMhz : kHataHighMhz,
                            hata ? kHataHighMhz : kCostHighMhz, "MHz"));
    parts.push_back(Outside("antenna height", baseHeightM, kBaseLowM, kBaseHighM, "m"));
    parts.push_back(Outside("receiver height", mobileHeightM, kMobileLowM, kMobileHighM, "m"));
    std::string note;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        note += note.empty() ? "outside the model's range: " : ", ";
        note += part;
    }
    return note;
}

}  // namespace ostrel
