#pragma once

// What a pattern reader makes of a text, as one string that two ways of reading can be
// compared by: shared by the unit tests and the fuzz targets.

#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

#include "formats/PlanningFiles.h"

namespace ostrel {

// Everything a read leaves behind, doubles by their bits (so -0 and 0 differ), or the
// error it raised.
template <class TFile>
std::string ReadingOutcome(std::string_view text, void (TFile::*read)(std::string_view)) {
    TFile file;
    std::string out;
    try {
        (file.*read)(text);
    } catch (const std::exception& error) {
        return std::string("error: ") + error.what();
    }
    auto bits = [&out](double value) {
        char buffer[sizeof value];
        std::memcpy(buffer, &value, sizeof value);
        out.append(buffer, sizeof buffer);
    };
    for (const TRealPointList* list : {&file.HorizontalPoints, &file.VerticalPoints}) {
        out += "|" + std::to_string(list->Count()) + ":";
        for (const TRealPoint& point : list->Points()) {
            bits(point.X);
            bits(point.Y);
        }
    }
    bits(file.Frequency);
    if constexpr (std::is_same_v<TFile, TOstrelFile>) {
        out += "|" + file.Make + "|" + file.Tilt;
        for (double value : {file.Gain, file.HWidth, file.VWidth, file.FrontToBack}) bits(value);
    } else {
        out += "|" + file.ModelName + "|" + file.Manufacturer + "|" + file.Description + "|" +
               file.AntennaType + "|" + file.DateMeasured;
        for (double value : {file.ElectricalTilt, file.UpperFreq, file.LowerFreq, file.WeightKg,
                             file.HeightM, file.WidthM, file.DepthM, file.MaxGainDbi}) {
            bits(value);
        }
    }
    return out;
}

}  // namespace ostrel
