#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// The formats a pattern can be written in: the Ostrel text format, Verizon, NSMA, a plain
// CSV table of the three cuts and the NGMN BASTA 3D pattern JSON file.
enum class TPatternFormat { Ostrel, Verizon, Nsma, Csv, Json };

// "msi", "vwa", "nsm", "csv", "json": the name of a format on the command line and the extension of
// its files.
std::string_view FormatExtension(TPatternFormat format);
// The format with that name (as FormatExtension gives it, any letter case); false if none.
bool FormatFromName(std::string_view name, TPatternFormat& format);

// What writing one pattern came to: the file's bytes and a note for each value the format
// could not hold (a known value left out or rounded away, a record the format requires left
// empty because the value is not known); or, when nothing was written, why. Texts in
// English, each a sentence without a final full stop.
struct TWrittenPattern {
    std::string Text;
    std::vector<std::string> Notes;
    std::string Failure;  // "" when written
};

// The file of that format holding `pattern`. Reading it back gives the same cuts to the
// written decimals (the Verizon format keeps levels relative to each cut's peak, the JSON file
// relative to its sphere's maximum: its horizon and vertical plane are the cuts) and the same
// header figures where the format has a place for them; a figure not known stays not known.
// A format that requires a figure the pattern does not have refuses it (Failure names the
// record). `name` is the name the file carries inside where the format has one.
TWrittenPattern PatternFileText(const TPatternData& pattern, TPatternFormat format,
                                const std::string& name);

// Writes `pattern` to `target` through the safe writer, named inside after the target's
// file name. Refuses a target that is the file the pattern was read from. Text is left empty.
TWrittenPattern SavePatternFile(const TPatternData& pattern, TPatternFormat format,
                                const std::string& target);

// A file name made of `name`: one path component that is safe to create. Slashes and
// control bytes become "_"; "" and "." become "_", ".." becomes "__".
std::string SafeFileName(std::string_view name);

// True when both paths name one existing file (the same device and inode).
bool IsSameFile(const std::string& first, const std::string& second);

// A level in dB with three decimals; one that rounds to zero is "0.000", never "-0.000".
std::string WrittenLevel(double levelDb);

}  // namespace ostrel
