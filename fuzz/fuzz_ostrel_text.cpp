// Fuzzes the Ostrel reader on text in memory. Both ways of reading must agree; any failure
// must be a project error; a text that reads must survive the writer and the reader again
// with the same figures and points.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "RoundTripChecks.h"
#include "formats/PlanningFiles.h"
#include "model/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ostrel::fuzz::CheckReadingPathsAgree<ostrel::TOstrelFile>(text);
    ostrel::TOstrelFile file;
    try {
        file.LoadFromText(text);
    } catch (const ostrel::EOstrelError&) {
        return 0;
    }
    ostrel::fuzz::CheckOstrelFileRoundTrip(file);
    return 0;
}
