#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/PatternWriters.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// One cut of an NSMA file: its PATCUT designator and POLARI text as written, its points
// (X = angle in degrees, Y = value as written) and the line of its PATCUT record.
struct TNsmaCut {
    std::string Name;
    std::string Polarization;
    TRealPointList Points;
    long long Line = 0;
};

// The cuts measured at one PATFRE.
struct TNsmaFrequency {
    std::string FrequencyText;
    std::vector<TNsmaCut> Cuts;
};

// The NSMA WG16.99.050 digitized antenna pattern format ("*.adf", "*.nsm", "*.nsma"):
// "KEY:,value" records in a fixed order, then per frequency PATFRE and NUMCUT, per cut
// PATCUT, POLARI, NUPOIN, FSTLST and "angle,value," point records, closed by "ENDFIL:,EOF".
// Reading accepts LF or CR LF line ends, blanks after commas and values in any letter case;
// every structural fault raises EFormatError naming the record and its line.
class TNsmaFile {
public:
    void LoadFromFile(const std::string& fileName);
    void LoadFromText(std::string_view text);
    // CR LF records in the standard order, each within its maximum length (longer texts are
    // shortened, never inside a UTF-8 character), points to three decimals.
    std::string SaveToText() const;

    // The value of a header record as read ("" when absent); `key` is upper case.
    std::string Value(std::string_view key) const;
    void SetValue(const std::string& key, const std::string& value);

    // Header records as read, keys upper-cased, in file order.
    std::vector<std::pair<std::string, std::string>> Header;
    std::vector<TNsmaFrequency> Frequencies;
};

// Frequency records (PATFRE, LOWFRQ, HGHFRQ) are 21 bytes long at most.
constexpr size_t kMaxFrequencyRecord = 21;

// The first comma-separated field of a record's value, trimmed ("65,5" for a width with
// tolerance gives 65).
std::string_view FirstField(std::string_view value);

// True when the text's first line that is not blank is a REVNUM record.
bool LooksLikeNsmaText(std::string_view text);

// The patterns of an NSMA file, one per frequency: the H/AZ cut as azimuth, the V/EL cut as
// vertical (a co-polar cut preferred when a frequency has several), levels relative to the
// cut's peak when the file gives absolute gains. Patterns are named after `fileName`, with
// "@" and the PATFRE text when the file holds several frequencies. Each cut left out is
// described in `ignoredCuts` when given. Raises EFormatError when a frequency lacks either cut.
std::vector<std::unique_ptr<TPatternData>> MakeNsmaPatterns(
    const TNsmaFile& file, const std::string& fileName,
    std::vector<std::string>* ignoredCuts = nullptr);

// The NSMA text of a pattern: its figures in the header, `name` as the model number, its
// azimuth and vertical cuts as "H" and "V" at -180..180 degrees, relative dB. A pattern
// without a gain is refused (MDGAIN); a frequency, tilt or polarisation that is not known
// leaves its records empty, with a note.
TWrittenPattern NsmaTextOf(const TPatternData& pattern, const std::string& name);

}  // namespace ostrel
