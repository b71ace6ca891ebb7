#include "shell/PatternFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "formats/PatternLoaders.h"
#include "model/Settings.h"
#include "shell/FileTable.h"

namespace ostrel {
namespace {

// Three patterns: a 65-degree panel at 1850 MHz, a 90-degree one at 2100 and a 33-degree
// one at 900 MHz without a vertical width.
struct TLibrary {
    TPatternData Patterns[3];
    TLibrary() {
        const struct {
            const char* Name;
            double Frequency, Gain, HorzWidth, VertWidth;
        } rows[] = {{"/lib/Kathrein/K80010622_1850.msi", 1850, 17.85, 65, 7.2},
                    {"/lib/Comm/SBNHH_2100_T6.pln", 2100, 16.1, 90.4, 6.5},
                    {"/lib/Comm/LowBand 900.txt", 900, 13, 33, 0}};
        for (int i = 0; i < 3; ++i) {
            TPatternData& p = Patterns[i];
            p.Id = i;
            p.FileName = rows[i].Name;
            p.Frequency.SetValue(rows[i].Frequency);
            p.Gain.SetValue(rows[i].Gain);
            p.HorzWidth.SetValue(rows[i].HorzWidth);
            if (rows[i].VertWidth != 0) p.VertWidth.SetValue(rows[i].VertWidth);
        }
        Patterns[1].HRotationOffset = -20;
        // Figures from the cuts, alike for either H cut: USLS, null fill, 10 dB width, F/B.
        const double figures[3][4] = {{25, -30, 75, 29.6}, {15, -18, 160, 31}, {20.5, -20, 70, 40}};
        for (int i = 0; i < 3; ++i) {
            TPatternFigures f;
            f.Vert.Computed = i == 1;  // only its tilt is known
            f.Vert.PeakAngle = 6;
            f.Vert.UpperSideLobeSuppression = figures[i][0];
            f.Vert.FirstNullFill = figures[i][1];
            f.Horz.Width10Db = figures[i][2];
            f.Horz.FrontToBack180 = figures[i][3];
            Patterns[i].AdoptFigures(f, f);
        }
    }
    // "1 0 1": which of the three patterns the filter lets through.
    std::string Through(const std::string& text) const {
        const TPatternFilter filter = TPatternFilter::Parse(text);
        std::string shown;
        for (const TPatternData& p : Patterns) shown += filter.Matches(p) ? '1' : '0';
        return shown;
    }
};

TEST(PatternFilter, TermsSelectTheRowsTheyDescribe) {
    const TLibrary library;
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {
        {"", "111"},
        {"   ", "111"},
        {"k8001", "100"},              // file name, letter case ignored
        {"comm", "000"},               // the folder is not part of the name
        {"\"band 900\"", "001"},       // a quoted phrase keeps its blank
        {"freq:1710-2170", "110"},     // range, ends included
        {"freq:1710..1850", "100"},    // the other range spelling
        {"gain:>=17", "100"},          // comparisons
        {"gain:<16.1", "001"},         //
        {"gain:<=16.1", "011"},        //
        {"hbw:60-70", "100"},          //
        {"hbw:90", "010"},             // exact: rounds to the digits typed (90.4 shows as 90)
        {"hbw:90.0", "000"},           //
        {"vbw:<100", "110"},           // a missing value never matches
        {"hrot:-20", "010"},           // a signed exact value is not a range
        {"hrot:-30--10", "010"},       // a range of signed values
        {"hrot:=0", "101"},            //
        {"Frequency:900", "001"},      // the header's first word
        {"HORZWIDTH:>50", "110"},      // the header in letters and digits
        {"frequencymhz:2100", "010"},  //
        {"name:_T6", "010"},           //
        {"freq:1710-2170 gain:>=17 hbw:60-70", "100"},  // all terms must hold
        {"freq:2170-1710", "110"},                      // a range given high to low
        {"tilt:6", "010"},                              // a figure computed from the cuts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(library.Through(c.Text), c.Shown);
    }
}

TEST(PatternFilter, EveryColumnHeaderNamesItsColumnAndAnUnstatedFrequencyNeverMatches) {
    const TLibrary library;
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {
        {"usls:>20", "101"},          // a figure column's header, which is also its key
        {"h10dbwidth:70-80", "101"},  // "H 10 dB width (\u00b0)" in letters and digits
        {"nullfill:<-20", "100"},     // "Null fill (dB)" without its unit
        {"nullfilldb:<=-20", "101"},  // and with it
        {"null_fill:-18", "010"},     // the name ostrel-inspect gives it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(library.Through(c.Text), c.Shown);
    }
    for (int column = 0; column < TableColumnCount(); ++column) {
        std::string key;
        for (const char c : std::string(TableColumnHeader(column))) {
            if (std::isalnum(static_cast<unsigned char>(c))) key += c;
        }
        SCOPED_TRACE(key);
        EXPECT_NO_THROW(TPatternFilter::Parse(key + ":<1"));
    }

    // An EDX pattern file states no frequency: the table shows 0, the filter knows nothing.
    const auto edx = LoadPatternFile(OSTREL_SAMPLES_DIR "/sector90_edx.pat").TakeFirst();
    ASSERT_TRUE(edx);
    EXPECT_EQ(FileCellText(*edx, fcFrequency, false), "0");
    for (const char* text : {"freq:0", "freq:<100", "frequency:-1-1"}) {
        EXPECT_FALSE(TPatternFilter::Parse(text).Matches(*edx)) << text;
    }
}

TEST(PatternFilter, FigureKeysReadTheirFigureAndHorizontalOnesFollowTheHCut) {
    // The azimuth cut and the levelled horizontal cut give different horizontal figures; the
    // vertical figures come from the one vertical cut.
    TPatternData p;
    p.FileName = "/lib/tilted.msi";
    TPatternFigures azimuth;
    TPatternFigures levelled;
    const struct {
        TPatternFigures* Figures;
        double Width3, Width10, Squint, Fb30, Fb180, SideLobe;
    } horizontal[] = {{&azimuth, 60, 110, 2, 25, 28, -18}, {&levelled, 70, 130, -3, 21, 24, -14}};
    for (const auto& h : horizontal) {
        TPatternFigures& f = *h.Figures;
        f.Horz.Computed = f.Vert.Computed = true;
        f.Horz.Width3Db = h.Width3;
        f.Horz.Width10Db = h.Width10;
        f.Horz.PeakAngle = h.Squint;
        f.Horz.FrontToBack30 = h.Fb30;
        f.Horz.FrontToBack180 = h.Fb180;
        f.Horz.PeakSideLobe = h.SideLobe;
        f.Vert.Width3Db = 7;
        f.Vert.Width10Db = 15;
        f.Vert.PeakAngle = 6;
        f.Vert.UpperSideLobeSuppression = 18;
        f.Vert.FirstNullFill = -22;
    }
    p.AdoptFigures(azimuth, levelled);
    struct TRestoreHCut {
        THCut Saved = GetSettings().FHCut;
        ~TRestoreHCut() { GetSettings().FHCut = Saved; }
    } restore;
    const struct {
        const char* Text;
        bool Azimuth;     // matches while the azimuth cut is shown
        bool Horizontal;  // matches while the horizontal cut is shown
    } cases[] = {
        {"h_width_3db:60", true, false},
        {"h_width_3db:70", false, true},
        {"h10dbwidth:110", true, false},
        {"h_width_10db:130", false, true},
        {"squint:2", true, false},
        {"squint:-3", false, true},
        {"fb_30:>=25", true, false},
        {"fb30:21", false, true},
        {"fb180:28", true, false},
        {"fb_180:<25", false, true},
        {"h_peak_sidelobe:<-15", true, false},
        {"hpeaksll:-14", false, true},
        {"v_width_3db:7", true, true},
        {"v10dbwidth:15", true, true},
        {"tilt:6", true, true},
        {"usls:18", true, true},
        {"null_fill:-22", true, true},
        {"v_width_3db:15", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        const TPatternFilter filter = TPatternFilter::Parse(c.Text);
        GetSettings().FHCut = THCut::Azimuth;
        EXPECT_EQ(filter.Matches(p), c.Azimuth);
        GetSettings().FHCut = THCut::Horizontal;
        EXPECT_EQ(filter.Matches(p), c.Horizontal);
    }
}

TEST(PatternFilter, ErrorsSayWhatIsWrong) {
    const struct {
        const char* Text;
        std::string Message;
    } cases[] = {
        {"slope:6", "Unknown column 'slope' (use " + TPatternFilter::KnownKeys() + ")"},
        {"fb:>13", "Unknown column 'fb' (use " + TPatternFilter::KnownKeys() + ")"},
        {"gain:", "Nothing after 'gain:'"},
        {"gain:>=x", "'x' is not a number in 'gain:>=x'"},
        {"freq:1710-", "'' is not a number in 'freq:1710-'"},
        {"hbw:1,5", "'1,5' is not a number in 'hbw:1,5'"},
        {"\"open", "A quote is not closed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            TPatternFilter::Parse(c.Text);
            ADD_FAILURE() << "no error";
        } catch (const EFilterError& error) {
            EXPECT_EQ(error.what(), c.Message);
        }
    }
    // Every key the message offers is one the filter takes.
    const std::string keys = TPatternFilter::KnownKeys();
    size_t start = 0;
    int offered = 0;
    while (start < keys.size()) {
        const size_t comma = std::min(keys.find(", ", start), keys.size());
        const std::string key = keys.substr(start, comma - start);
        EXPECT_NO_THROW(TPatternFilter::Parse(key + ":<1")) << key;
        ++offered;
        start = comma + 2;
    }
    EXPECT_GE(offered, 19);
}

}  // namespace
}  // namespace ostrel
