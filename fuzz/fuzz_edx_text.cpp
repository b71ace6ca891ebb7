// Fuzzes the EDX reader on text in memory, then builds the patterns as the import does. Any
// failure must be a project error; a text that reads must give at least 72 cuts of 360
// points with the back half at -60 dB, a cut table of 182 lines of 74 fields below its
// header, and patterns with 361-point cuts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RoundTripChecks.h"
#include "formats/EdxFile.h"
#include "model/Errors.h"

namespace {

using namespace ostrel;

void CheckTable(const std::string& table) {
    int lineCount = 0;
    size_t start = 0;
    while (start < table.size()) {
        const size_t end = table.find("\r\n", start);
        if (end == std::string::npos) fuzz::Fail("table does not end with CR LF");
        const std::string_view line(table.data() + start, end - start);
        // Labels are taken verbatim and may hold tabs, so only data lines have a fixed width.
        if (lineCount > 0) {
            int fields = 1;
            for (char c : line) fields += c == '\t';
            if (fields != 74)
                fuzz::Fail("fields of table line " + std::to_string(lineCount), 74, fields);
        }
        ++lineCount;
        start = end + 2;
    }
    if (lineCount != 182) fuzz::Fail("table lines", 182, lineCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TEdxFileEx file;
    try {
        file.LoadFromText(text);
    } catch (const EOstrelError&) {
        return 0;
    }
    if (file.Cuts.Count() < TEdxFileEx::kTableCuts) {
        fuzz::Fail("cut count", TEdxFileEx::kTableCuts, file.Cuts.Count());
    }
    for (int b = 0; b < file.Cuts.Count(); ++b) {
        const TRealPointList& cut = file.Cuts.Items(b).VerticalPoints;
        if (cut.Count() != 360) fuzz::Fail("expanded cut points", 360, cut.Count());
        for (int x = 91; x <= 269; ++x) {
            if (cut.PointAt(x).X != x || cut.PointAt(x).Y != -60)
                fuzz::Fail("back half", -60, cut.PointAt(x).Y);
        }
    }
    CheckTable(file.CutTableText());
    try {
        for (const auto& pattern : MakeEdxPatterns(file)) {
            if (pattern->VerticalCut.Count() != 361 || pattern->AzimuthCut.Count() != 361 ||
                pattern->HorizontalCut.Count() != 361) {
                fuzz::Fail("pattern cuts of 361 points");
            }
        }
    } catch (const EOstrelError&) {
    }
    return 0;
}
