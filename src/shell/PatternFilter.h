#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Errors.h"
#include "model/PatternData.h"

namespace ostrel {

// A filter text the filter bar cannot use; the message says which part and why.
class EFilterError : public EOstrelError {
public:
    using EOstrelError::EOstrelError;
};

// The filter of the file table: blank-separated terms that must all hold.
//   word            the file name contains the word, letter case ignored
//   "two words"     the same for a text with blanks
//   key:60-70       the column's value lies in the range, ends included ("60..70" also)
//   key:>=17        comparisons >=, <=, >, <
//   key:6           the value shows as 6 when rounded to the digits typed (5.5 <= v < 6.5);
//                   "key:=6" is the same
//   name:word       a text column contains the word
// Keys are a column's short key (freq, gain, hbw, vbw, hrot, vrot, id, name, and each
// figure's ostrel-inspect name such as usls) or any column's header in letters and digits
// only, with or without its unit ("horzwidth", "frequencymhz", "h10dbwidth", "fb180"), or a
// file column's first word ("frequency"), in any letter case. The figures of the horizontal
// cut are read from the H cut the table shows. A value a file does not have (no vertical
// width, no stated frequency) never matches.
class TPatternFilter {
public:
    // Raises EFilterError for a term it cannot read. An empty or blank text matches all.
    static TPatternFilter Parse(std::string_view text);

    bool Matches(const TPatternData& pattern) const;
    bool IsEmpty() const { return FTerms.empty(); }

    // The short keys of the columns a filter can name, for messages and help.
    static std::string KnownKeys();

private:
    enum TOperator { opContains, opRange, opLess, opLessEqual, opGreater, opGreaterEqual };
    struct TTerm {
        int Field = -1;  // -1: the text fields together
        TOperator Operator = opContains;
        std::string Text;  // lower case, for opContains
        double Low = 0;
        double High = 0;
    };
    static TTerm ParseTerm(std::string_view term);
    static bool Holds(const TTerm& term, const TPatternData& pattern);

    std::vector<TTerm> FTerms;
};

}  // namespace ostrel
