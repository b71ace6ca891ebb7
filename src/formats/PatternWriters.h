#pragma once

#include <string>
#include <string_view>

#include "model/PatternData.h"

namespace ostrel {

// The formats a pattern can be written in: the Ostrel text format, Verizon, NSMA and a
// plain CSV table of the three cuts.
enum class TPatternFormat { Ostrel, Verizon, Nsma, Csv };

// "msi", "vwa", "nsm", "csv": the name of a format on the command line and the extension of
// its files.
std::string_view FormatExtension(TPatternFormat format);
// The format with that name (as FormatExtension gives it, any letter case); false if none.
bool FormatFromName(std::string_view name, TPatternFormat& format);

// The bytes of a file of that format holding `pattern`. Reading them back gives the same
// cuts to the written decimals (the Verizon format keeps levels relative to each cut's
// peak). `name` is the name the file carries inside where the format has one.
std::string PatternFileText(const TPatternData& pattern, TPatternFormat format,
                            const std::string& name);

// Writes `pattern` to `target` through the safe writer, named inside after the target's
// file name. Refuses a target that is the file the pattern was read from. Returns "" or the
// reason, in English.
std::string SavePatternFile(const TPatternData& pattern, TPatternFormat format,
                            const std::string& target);

// True when both paths name one existing file (the same device and inode).
bool IsSameFile(const std::string& first, const std::string& second);

// A level in dB with three decimals; one that rounds to zero is "0.000", never "-0.000".
std::string WrittenLevel(double levelDb);

}  // namespace ostrel
