#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/PatternLoaders.h"
#include "model/PatternData.h"
#include "model/PatternFigures.h"

namespace ostrel {
namespace {

using TKnots = std::vector<std::pair<double, double>>;

// A 361-point cut through the knots (angle, level), linear in between; knots span -180..180.
TRealPointList CutThrough(const TKnots& knots) {
    TRealPointList cut;
    for (int a = -180; a <= 180; ++a) {
        size_t k = 1;
        while (k + 1 < knots.size() && knots[k].first < a) ++k;
        const auto [a0, l0] = knots[k - 1];
        const auto [a1, l1] = knots[k];
        cut.Add(a, l0 + (l1 - l0) * (a - a0) / (a1 - a0));
    }
    return cut;
}

void ExpectFigure(const std::optional<double>& actual, const std::optional<double>& expected,
                  const std::string& what) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_NEAR(*actual, *expected, 1e-9) << what;
    }
}

const std::optional<double> kNone;

TEST(PatternFigures, HorizontalRules) {
    struct TCase {
        const char* Name;
        TKnots Knots;
        double Squint;
        std::optional<double> Width3, Width10, Fb30, Fb180, PeakSideLobe;
        double Lower3 = 0;
    };
    const TCase cases[] = {
        {"omni", {{-180, -1}, {180, -1}}, 0, kNone, kNone, 0.0, 0.0, kNone, 0},
        {"ripple of 2 dB: no width, the nulls meet at the back",
         {{-180, -2}, {0, 0}, {180, -2}},
         0,
         kNone,
         kNone,
         5.0 / 3,
         2.0,
         kNone,
         0},
        // 0.4 dB per degree: -3 dB lies between 7 and 8 degrees; -10 dB is reached exactly at
        // 25 degrees, which is not below it, so the crossing is 25.
        {"V beam", {{-180, -72}, {0, 0}, {180, -72}}, 0, 15.0, 50.0, 60.0, 72.0, kNone, -7.5},
        {"peak at 180",
         {{-180, 0}, {0, -72}, {180, 0}},
         -180,
         15.0,
         50.0,
         60.0,
         72.0,
         kNone,
         -187.5},
        // 0.4 dB per degree up to 40 (a plateau to 45), 0.5 dB per degree down to -50; the
        // upper null is the plateau's far end (53), the side lobe at 56 beats the one at -60.
        {"sector with side lobes and a plateau null",
         {{-180, -30},
          {-70, -30},
          {-60, -18},
          {-50, -25},
          {0, 0},
          {40, -16},
          {45, -16},
          {50, -22},
          {53, -22},
          {56, -14},
          {60, -30},
          {180, -30}},
         0,
         13.5,
         45.0,
         30.0,
         30.0,
         -14.0,
         -6},
        // The peaks at -30 and 30 tie: -30 wins. Down from it 40 dB over 150 degrees, up 12 dB
        // over 30; the nulls are 0 and -180, the other beam is the peak side lobe.
        {"twin beam, equal peaks",
         {{-180, -40}, {-30, 0}, {0, -12}, {30, 0}, {180, -40}},
         -30,
         11.25 + 7.5,
         37.5 + 25,
         24.0,
         32.0,
         0.0,
         -41.25},
        // The plateau-free tie at -3 and 3: -3 wins; 40 dB over 177 degrees on the far sides.
        // The dip between the peaks is no null: both nulls lie at 180, nothing is left.
        {"equal peaks nearest 0: the smaller angle",
         {{-180, -40}, {-3, 0}, {0, -0.5}, {3, 0}, {180, -40}},
         -3,
         6 + 2 * 3 * 177.0 / 40,
         6 + 2 * 10 * 177.0 / 40,
         40 * 144.0 / 177,
         40 * 174.0 / 177,
         kNone,
         -3 - 3 * 177.0 / 40},
    };
    for (const TCase& c : cases) {
        const THorzFigures figures = ComputeHorzFigures(CutThrough(c.Knots));
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(figures.Computed);
        EXPECT_EQ(figures.PeakAngle, c.Squint);
        ExpectFigure(figures.Width3Db, c.Width3, "3 dB");
        ExpectFigure(figures.Width10Db, c.Width10, "10 dB");
        ExpectFigure(figures.FrontToBack30, c.Fb30, "F/B 30");
        ExpectFigure(figures.FrontToBack180, c.Fb180, "F/B 180");
        ExpectFigure(figures.PeakSideLobe, c.PeakSideLobe, "PSL");
        ASSERT_EQ(figures.Crossings3Db.has_value(), c.Width3.has_value());
        if (c.Width3) {
            EXPECT_NEAR(figures.Crossings3Db->LowerDeg, c.Lower3, 1e-9);
            EXPECT_NEAR(figures.Crossings3Db->UpperDeg - figures.Crossings3Db->LowerDeg, *c.Width3,
                        1e-9);
        }
    }
}

TEST(PatternFigures, VerticalRules) {
    struct TCase {
        const char* Name;
        TKnots Knots;
        double Tilt;
        std::optional<double> Width3, Usls, NullFill;
    };
    const TCase cases[] = {
        {"tilted 6 degrees with lobes on both sides",
         {{-180, -30},
          {-20, -30},
          {-12, -13},
          {-6, -20},
          {6, 0},
          {20, -25},
          {25, -18},
          {30, -35},
          {180, -35}},
         6,
         3 * 12.0 / 20 + 3 * 14.0 / 25,
         13.0,
         -25.0},
        {"null at the walk's limit: the rise after +90 and before -90 is not seen",
         {{-180, -10}, {-91, -10}, {-90, -40}, {0, 0}, {90, -40}, {91, -10}, {180, -10}},
         0,
         3 * 90.0 / 40 * 2,
         kNone,
         kNone},
        {"null just inside the limit",
         {{-180, -10}, {-90, -39}, {-89, -40}, {0, 0}, {89, -40}, {90, -39}, {180, -10}},
         0,
         3 * 89.0 / 40 * 2,
         kNone,
         -40.0},
        {"upper null but no side lobe before -90",
         {{-180, -5}, {-20, -30}, {0, 0}, {20, -30}, {30, -20}, {40, -30}, {180, -30}},
         0,
         3 * 20.0 / 30 * 2,
         kNone,
         -30.0},
        {"omni", {{-180, 0}, {180, 0}}, 0, kNone, kNone, kNone},
    };
    for (const TCase& c : cases) {
        const TVertFigures figures = ComputeVertFigures(CutThrough(c.Knots));
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(figures.PeakAngle, c.Tilt);
        ExpectFigure(figures.Width3Db, c.Width3, "3 dB");
        ExpectFigure(figures.UpperSideLobeSuppression, c.Usls, "USLS");
        ExpectFigure(figures.FirstNullFill, c.NullFill, "null fill");
    }
}

// A cut through knots written "angle:level angle:level ...".
TRealPointList CutThrough(const char* knots) {
    std::istringstream in(knots);
    in.imbue(std::locale::classic());
    TKnots list;
    char colon = 0;
    for (double angle, level; in >> angle >> colon >> level;) list.emplace_back(angle, level);
    return CutThrough(list);
}

// First nulls lie beyond the first point below peak - 3 dB. Each cut is read as a horizontal
// cut (peak side lobe) and as a vertical one (USLS, null fill).
TEST(PatternFigures, FirstNullsLieBeyondTheHalfPowerPoint) {
    const struct {
        const char* Name;
        std::optional<double> Psl, Usls, NullFill;
        const char* Knots;
    } cases[] = {
        // Nulls at -20 and 16, not at -4 and 4.
        {"ripple above -3 dB on both sides", -14.0, 14.0, -28.0,
         "-180:-40 -40:-40 -26:-14 -20:-30 -6:-1.8 -4:-2 0:0 4:-2.5 6:-2.4 16:-28 22:-20 40:-40 "
         "180:-40"},
        // No upper null within -90; horizontally the lower null is 60, the long way round.
        {"a side within 3 dB", -20.0, kNone, -30.0,
         "-180:-40 -100:-30 -90:-2.9 -45:-1.5 -20:-2 0:0 30:-30 40:-20 60:-40 180:-40"},
        {"omni ripple", kNone, kNone, kNone, "-180:-1 -90:-2 0:0 90:-2 180:-1"},
        // Peak at 20: the back lobe from 170 to -130, ends included (-11, -12), leaves 169.
        {"back lobe left out", -16.0, 20.0, -25.0,
         "-180:-30 -131:-30 -130:-12 -129:-30 -70:-30 -50:-20 -30:-25 20:0 70:-25 90:-18 "
         "110:-30 168:-30 169:-16 170:-11 171:-30 180:-30"},
        // Nulls at -150 and 150 leave only the back lobe (and lie beyond -90 .. 90).
        {"nothing left", kNone, kNone, kNone, "-180:-25 -150:-30 0:0 150:-30 180:-25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRealPointList cut = CutThrough(c.Knots);
        ExpectFigure(ComputeHorzFigures(cut).PeakSideLobe, c.Psl, "PSL");
        ExpectFigure(ComputeVertFigures(cut).UpperSideLobeSuppression, c.Usls, "USLS");
        ExpectFigure(ComputeVertFigures(cut).FirstNullFill, c.NullFill, "null fill");
    }
}

TEST(PatternFigures, HeaderCheckNamesEachDisagreement) {
    TPatternData pattern;
    // 1/6 dB per degree: 36 degrees wide; F/B 25 within 30 degrees of the back, 28 at it.
    pattern.AzimuthCut = CutThrough({{-180, -28}, {-150, -25}, {0, 0}, {150, -25}, {180, -28}});
    pattern.HorizontalCut = pattern.AzimuthCut;
    // Tilted 6 degrees, 1 dB per degree: 6 degrees wide.
    pattern.VerticalCut = CutThrough({{-180, -30}, {-1, -7}, {6, 0}, {13, -7}, {180, -30}});
    pattern.CutsChanged();
    const TPatternFigures& figures = pattern.Figures(THCut::Horizontal);
    EXPECT_EQ(HeaderCheckText(pattern, figures), "");
    pattern.HorzWidth.SetValue(39.8);     // 10 % of 39.8 (not of 36) covers 3.8
    pattern.VertWidth.SetValue(7.5);      // 2 degrees cover 1.5
    pattern.FrontToBack.SetValue(-30.5);  // within 3 dB of F/B 180 only
    pattern.ElectricalTilt.SetValue(5);
    EXPECT_EQ(HeaderCheckText(pattern, figures), "");
    pattern.HorzWidth.SetValue(32.5);  // 10 % of 32.5 (not of 36) falls short of 3.5
    pattern.VertWidth.SetValue(2);
    pattern.FrontToBack.SetValue(31.5);
    pattern.ElectricalTilt.SetValue(8);
    EXPECT_EQ(HeaderCheckText(pattern, figures),
              "h_width 32.5 vs 36.0; v_width 2 vs 6.0; fb 31.5 vs 25.0/28.0; tilt 8 vs 6.0");
    pattern.HorzWidth.SetValue(360);  // an omni's width agrees with a cut that has none
    pattern.VertWidth.SetValue(0);    // 0 states nothing
    pattern.AzimuthCut = CutThrough({{-180, -1}, {180, -1}});
    pattern.HorizontalCut = pattern.AzimuthCut;
    pattern.CutsChanged();
    EXPECT_EQ(HeaderCheckText(pattern, pattern.Figures(THCut::Azimuth)),
              "fb 31.5 vs 0.0/0.0; tilt 8 vs 6.0");
}

// Every sample and real file: the figures obey their definitions on the file's own levels.
TEST(PatternFigures, FilesAgreeWithTheDefinitions) {
    int checked = 0;
    for (const char* folder : {OSTREL_SAMPLES_DIR, OSTREL_REALDATA_DIR}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            const auto pattern = LoadPatternFile(entry.path().string()).TakeFirst();
            if (!pattern) continue;
            SCOPED_TRACE(entry.path().string());
            for (THCut hCut : {THCut::Horizontal, THCut::Azimuth}) {
                const THorzFigures& h = pattern->Figures(hCut).Horz;
                EXPECT_EQ(h.Width3Db.has_value(), h.Crossings3Db.has_value());
                const TRealPointList& cut =
                    hCut == THCut::Azimuth ? pattern->AzimuthCut : pattern->HorizontalCut;
                const int peakIndex = static_cast<int>(h.PeakAngle) + 180;
                for (int i = 0; i < 360; ++i) {
                    const double level = cut.PointAt(i).Y;
                    EXPECT_LE(level, h.PeakLevel);
                    // Every whole degree strictly inside the 3 dB crossings is within 3 dB.
                    if (!h.Crossings3Db) continue;
                    for (int turn : {-360, 0, 360}) {
                        const double a = i - 180 + turn;
                        if (a > h.Crossings3Db->LowerDeg && a < h.Crossings3Db->UpperDeg) {
                            EXPECT_GE(level, h.PeakLevel - 3) << a;
                        }
                    }
                }
                EXPECT_EQ(cut.PointAt(peakIndex).Y, h.PeakLevel);
                if (h.Width3Db && h.Width10Db) {
                    EXPECT_LT(*h.Width3Db, *h.Width10Db);
                }
                if (h.PeakSideLobe) {
                    EXPECT_LE(*h.PeakSideLobe, 0);
                }
                EXPECT_GE(*h.FrontToBack30, 0);
                EXPECT_LE(*h.FrontToBack30, *h.FrontToBack180);
            }
            const TVertFigures& v = pattern->Figures(THCut::Azimuth).Vert;
            EXPECT_EQ(pattern->VerticalCut.PointAt(static_cast<int>(v.PeakAngle) + 180).Y,
                      v.PeakLevel);
            if (v.UpperSideLobeSuppression) {
                EXPECT_GE(*v.UpperSideLobeSuppression, 0);
            }
            if (v.FirstNullFill) {
                EXPECT_LE(*v.FirstNullFill, 0);
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 5);
}

// Loading computes no figure; the first question computes both horizontal cuts' figures at
// once, later ones read them, a change of the cuts makes them computed again, and a clone
// takes only what was computed.
TEST(PatternFigures, ComputedWhenFirstAskedAndAgainAfterTheCutsChange) {
    const auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(pattern);
    EXPECT_FALSE(pattern->FiguresKnown());
    EXPECT_FALSE(pattern->Clone()->FiguresKnown());
    const TPatternFigures expected = ComputePatternFigures(*pattern, false);
    EXPECT_EQ(pattern->Figures(THCut::Horizontal).Horz.Width3Db, expected.Horz.Width3Db);
    EXPECT_EQ(pattern->Figures(THCut::Horizontal).Vert.PeakAngle, expected.Vert.PeakAngle);
    EXPECT_TRUE(pattern->FiguresKnown());
    EXPECT_TRUE(pattern->Clone()->FiguresKnown());

    pattern->AzimuthCut = CutThrough({{-180, -20}, {0, 0}, {180, -20}});
    EXPECT_NE(pattern->Figures(THCut::Azimuth).Horz.Width3Db,
              ComputeHorzFigures(pattern->AzimuthCut).Width3Db)
        << "kept until the cuts are said to have changed";
    pattern->CutsChanged();
    EXPECT_FALSE(pattern->FiguresKnown());
    EXPECT_EQ(pattern->Figures(THCut::Azimuth).Horz.Width3Db,
              ComputeHorzFigures(pattern->AzimuthCut).Width3Db);
}

}  // namespace
}  // namespace ostrel
