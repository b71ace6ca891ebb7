#pragma once

#include <cstdint>

namespace ostrel {

// Which cut the horizontal graphs, the figures and the filter use: the azimuth cut as read,
// or the horizontal cut levelled to the vertical cut at 0°.
enum class THCut : std::uint8_t { Azimuth, Horizontal };

// The radial (level) scales of the pattern views: 25 dB or 40 dB of linear range, or the
// logarithmic amplitude scale; in the order the menus and lists offer them.
enum class TScaleMode : std::uint8_t { Range25Db, Range40Db, Logarithmic };

}  // namespace ostrel
