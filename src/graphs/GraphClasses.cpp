#include "graphs/GraphClasses.h"

#include <array>

namespace ostrel {

namespace {

constexpr std::array<TColor, 18> kSeriesColors = {
    0xFF0000,  // blue
    0x0000FF,  // red
    0x008000,  // green
    0xFF00FF,  // fuchsia
    0xFACE87,  // light sky blue
    0x800080,  // purple
    0x000000,  // black
    0x00FF00,  // lime
    0x507FFF,  // coral
    0x00FFFF,  // yellow
    0x000080,  // maroon
    0x008080,  // olive
    0x800000,  // navy
    0x808000,  // teal
    0x808080,  // gray
    0xC0C0C0,  // silver
    0xFFFF00,  // aqua
    0xD4FF7F,  // aquamarine
};

}  // namespace

TSeries::TSeries(bool ownsPoints) : OwnsPoints(ownsPoints) {
    if (OwnsPoints) {
        FOwnedPoints = std::make_unique<TRealPointList>();
        Points = FOwnedPoints.get();
    }
}

TGraph::TGraph(bool ownsSeries) : OwnsSeries(ownsSeries) {
    if (OwnsSeries) Series = std::make_unique<TSeriesList>(true);
}

TColor SeriesColor(int index) {
    // A negative index still picks a table entry rather than reading outside it.
    const int n = static_cast<int>(kSeriesColors.size());
    return kSeriesColors[static_cast<size_t>(((index % n) + n) % n)];
}

TColorArray SeriesColorArray(int count) {
    TColorArray colors;
    for (int i = 0; i < count; ++i) colors.push_back(SeriesColor(i));
    return colors;
}

}  // namespace ostrel
