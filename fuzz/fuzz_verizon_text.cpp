// Fuzzes the Verizon reader on text in memory. Both ways of reading must agree; any failure
// must be a project error; a text that reads must give a 360-point vertical cut and both
// cuts peaking at 0 dB.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "RoundTripChecks.h"
#include "formats/PlanningFiles.h"
#include "model/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ostrel::fuzz::CheckReadingPathsAgree<ostrel::TVerizonFile>(text);
    ostrel::TVerizonFile file;
    try {
        file.LoadFromText(text);
    } catch (const ostrel::EOstrelError&) {
        return 0;
    }
    if (file.VerticalPoints.Count() != 360) {
        ostrel::fuzz::Fail("vertical point count", 360, file.VerticalPoints.Count());
    }
    if (file.HorizontalPoints.Count() == 0) ostrel::fuzz::Fail("empty horizontal cut");
    if (file.HorizontalPoints.MaxY() != 0) {
        ostrel::fuzz::Fail("horizontal peak", 0, file.HorizontalPoints.MaxY());
    }
    if (file.VerticalPoints.MaxY() != 0) {
        ostrel::fuzz::Fail("vertical peak", 0, file.VerticalPoints.MaxY());
    }
    return 0;
}
