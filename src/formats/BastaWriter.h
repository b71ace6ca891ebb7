#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "formats/PatternWriters.h"
#include "model/PatternData.h"

namespace ostrel {

// What a 3D pattern file is written from: the level in dB (any reference; the writer levels
// the sphere to 0 dB at its maximum) in the direction of azimuth `azimuthDeg` (-180..180,
// clockwise seen from above, 0 = boresight) and vertical angle `verticalDeg` (-90..90,
// positive below the horizon), and a sentence saying where the levels come from.
struct TSphereLevels {
    std::function<double(double azimuthDeg, double verticalDeg)> Level;
    std::string Origin;
};

// The sphere a pattern's 3D file holds: the measured sphere's total level where the pattern
// has one (its bilinear level between the samples), else the weighted bilinear estimate
// from its two cuts (which reproduces both cuts exactly). The pattern must outlive the
// result.
TSphereLevels PatternSphereLevels(const TPatternData& pattern);

// The NGMN BASTA "3D radiation pattern" JSON file (the keys and types of the NGMN BASTA AA
// white paper 3.0 schema, every required key present) of `pattern`, named `name`: the
// SPCS_CW coordinate system (theta -90..90 positive below the horizon, phi clockwise), 1
// degree sampling of theta -90..90 and phi -180..179, one row per direction in theta-major
// order with the columns Theta, Phi and MagAttenuationTP (attenuation = -level >= 0, four
// decimals). Header keys come from the pattern (the supplier its make or "Unknown", the
// model its model where it names one, else `name`); the beam widths and front-to-back ratio are
// the stated ones where above 0, else the ones computed from the cuts. A pattern without a
// frequency, or whose widths or front-to-back are neither stated nor computable, is refused
// (Failure names the key); so is a level that is not a finite number. `releasedDate` is
// written as it is given (YYYY-MM-DD).
TWrittenPattern BastaJsonText(const TPatternData& pattern, const std::string& name,
                              const TSphereLevels& levels, std::string_view releasedDate);

// Today's local date as YYYY-MM-DD.
std::string IsoDateToday();

}  // namespace ostrel
