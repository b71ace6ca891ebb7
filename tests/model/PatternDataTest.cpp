#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "model/NumberText.h"
#include "model/PatternData.h"
#include "model/PlatformServices.h"

namespace ostrel {
namespace {

// The resampling rule written as plainly as possible: for each degree, scan the list from
// the start for the first containing interval. The fast version must agree bit for bit.
std::vector<double> ReferenceResample(const TRealPointList& source) {
    std::vector<double> values;
    double value = 0;
    for (int a = 0; a < 360; ++a) {
        double found = 0;
        if (InterpolateAt(source, a, found)) value = found;
        values.push_back(value);
    }
    return values;
}

// ResampleCut against ReferenceResample, bit for bit, failures included.
void ExpectResampledAsReference(const TRealPointList& source, const std::string& label) {
    TRealPointList fast;
    std::string fastError;
    try {
        ResampleCut(source, fast);
    } catch (const EInvalidOp& error) {
        fastError = error.what();
    }
    std::vector<double> expected;
    std::string referenceError;
    try {
        expected = ReferenceResample(source);
    } catch (const EInvalidOp& error) {
        referenceError = error.what();
    }
    ASSERT_EQ(fastError, referenceError) << label;
    if (!fastError.empty()) return;
    ASSERT_EQ(fast.Count(), 360) << label;
    for (int a = 0; a < 360; ++a) {
        ASSERT_EQ(fast.GetPoint(a).X, a) << label;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(fast.GetPoint(a).Y),
                  std::bit_cast<std::uint64_t>(expected[static_cast<size_t>(a)]))
            << label << ", angle " << a;
    }
}

TRealPointList CutFromDegrees(double first, double last, double step,
                              const std::function<double(double)>& level) {
    TRealPointList list;
    for (double a = first; a <= last + 1e-9; a += step) list.Add(a, level(a));
    return list;
}

TEST(ResampleCut, AgreesExactlyWithTheFirstIntervalRuleOnRandomLists) {
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> angle(-200, 400);
    std::uniform_real_distribution<double> level(-40, 5);
    std::uniform_int_distribution<int> length(0, 60);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int trial = 0; trial < 3000; ++trial) {
        TRealPointList source;
        const int count = length(random);
        double x = angle(random);
        for (int i = 0; i < count; ++i) {
            switch (kind(random)) {
                case 0:
                    x = angle(random);
                    break;  // anywhere, unsorted
                case 1:
                    x += std::floor(level(random) / -4);
                    break;  // mostly ascending steps
                case 2:
                    x = std::round(angle(random));
                    break;  // whole degrees
                default:
                    x += 0.25;
                    break;
            }
            source.Add(x, level(random));
        }
        ExpectResampledAsReference(source, "trial " + std::to_string(trial));
        if (HasFailure()) return;
    }
}

// Lists that open with the angles 0..359 take a shortcut; whatever follows, and whatever the
// levels (signed zeros, overflow), the result must be the reference's.
TEST(ResampleCut, WholeDegreeListsAgreeExactlyWithTheFirstIntervalRule) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> level(-40, 5);
    std::uniform_real_distribution<double> angle(-200, 400);
    const auto descending = [](int k) { return 400.0 - 3 * k; };
    const auto anywhere = [&](int) { return angle(random); };
    struct TShape {
        const char* Name;
        int Count;                             // points in all
        std::function<double(int)> TailAngle;  // angle of point k >= 360
        std::function<void(TRealPointList&)> Change;
    };
    const std::vector<TShape> shapes = {
        {"exactly 0..359", 360, nullptr, nullptr},
        {"0..360", 361, nullptr, nullptr},
        {"0..359 then descending", 400, descending, nullptr},
        {"0..359 then anywhere", 400, anywhere, nullptr},
        {"negative zero first", 360, nullptr, [](TRealPointList& l) { l.PointAt(0).X = -0.0; }},
        {"signed zero levels", 361, nullptr,
         [](TRealPointList& l) {
             for (int k = 0; k < 361; k += 2) l.PointAt(k).Y = -0.0;
         }},
        {"one angle off by a half", 360, nullptr,
         [](TRealPointList& l) { l.PointAt(200).X = 200.5; }},
        {"duplicate angle", 360, nullptr, [](TRealPointList& l) { l.PointAt(17).X = 16; }},
        {"359 points only", 359, nullptr, nullptr},
        {"descending step", 360, nullptr, [](TRealPointList& l) { l.PointAt(90).X = 88; }},
        {"overflowing difference", 360, nullptr,
         [](TRealPointList& l) {
             l.PointAt(300).Y = 1.7e308;
             l.PointAt(301).Y = -1.7e308;
         }},
        {"infinite level", 360, nullptr, [](TRealPointList& l) { l.PointAt(3).Y = -INFINITY; }},
        {"NaN level", 360, nullptr, [](TRealPointList& l) { l.PointAt(3).Y = NAN; }},
        {"NaN angle after the prefix", 362, nullptr,
         [](TRealPointList& l) { l.PointAt(361).X = NAN; }},
    };
    for (const TShape& shape : shapes) {
        for (int trial = 0; trial < 20; ++trial) {
            TRealPointList source;
            for (int k = 0; k < shape.Count; ++k) {
                source.Add(k < 360 || !shape.TailAngle ? k : shape.TailAngle(k), level(random));
            }
            if (shape.Change) shape.Change(source);
            ExpectResampledAsReference(
                source, std::string(shape.Name) + ", trial " + std::to_string(trial));
            if (HasFailure()) return;
        }
    }
}

TEST(NormalizeCut, WholeDegreesGive361PointsFromMinus180To180) {
    const TRealPointList source = CutFromDegrees(0, 359, 1, [](double a) { return a / 10; });
    TRealPointList cut;
    NormalizeCut(source, cut);
    ASSERT_EQ(cut.Count(), 361);
    for (int k = 0; k <= 360; ++k) EXPECT_EQ(cut.GetPoint(k).X, k - 180);
    EXPECT_DOUBLE_EQ(cut.GetPoint(0).Y, -18.0);
    EXPECT_DOUBLE_EQ(cut.GetPoint(360).Y, -18.0);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180).Y, 0);
    EXPECT_DOUBLE_EQ(cut.GetPoint(181).Y, -0.1);
    EXPECT_DOUBLE_EQ(cut.GetPoint(179).Y, -35.9) << "-1 degree is 359";
}

TEST(NormalizeCut, LevelsBecomeNegativeWhateverTheirSign) {
    TRealPointList cut;
    NormalizeCut(CutFromDegrees(0, 359, 1, [](double) { return -3; }), cut);
    EXPECT_DOUBLE_EQ(cut.GetPoint(10).Y, -3);
    NormalizeCut(CutFromDegrees(0, 359, 1, [](double) { return 3; }), cut);
    EXPECT_DOUBLE_EQ(cut.GetPoint(10).Y, -3);
}

TEST(NormalizeCut, FiveDegreeStepsAreInterpolatedAndTheTailRepeated) {
    TRealPointList cut;
    NormalizeCut(CutFromDegrees(0, 355, 5, [](double a) { return a; }), cut);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180 + 7).Y, -7);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180 + 12).Y, -12);
    // 356..359 repeat the value at 355: they are -4..-1 degrees.
    for (int a = -4; a <= -1; ++a) EXPECT_DOUBLE_EQ(cut.GetPoint(180 + a).Y, -355);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180 - 5).Y, -355);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180 - 6).Y, -354);
}

TEST(NormalizeCut, SourceFromMinus180RepeatsTheValueAt180AndEmptyIsFlat) {
    TRealPointList cut;
    NormalizeCut(CutFromDegrees(-180, 180, 1, [](double a) { return std::fabs(a) / 10; }), cut);
    EXPECT_DOUBLE_EQ(cut.GetPoint(180 + 90).Y, -9);
    for (int k = 0; k < 180; ++k) EXPECT_DOUBLE_EQ(cut.GetPoint(k).Y, -18) << k;

    NormalizeCut(TRealPointList(), cut);
    ASSERT_EQ(cut.Count(), 361);
    for (const TRealPoint& point : cut.Points()) EXPECT_EQ(point.Y, 0);
    NormalizeCut(CutFromDegrees(400, 500, 1, [](double) { return 9; }), cut);
    for (const TRealPoint& point : cut.Points()) EXPECT_EQ(point.Y, 0);
}

TEST(NormalizeCut, RepeatedWholeDegreeFailsInsteadOfGivingNaN) {
    TRealPointList source;
    source.Add(0, 0);
    source.Add(1, -1);
    source.Add(1, -2);
    source.Add(3, -3);
    TRealPointList cut;
    EXPECT_NO_THROW(NormalizeCut(source, cut)) << "degree 1 is found in the first interval";
    TRealPointList twin;
    twin.Add(0, 0);
    twin.Add(0, -1);
    twin.Add(3, -3);
    EXPECT_THROW(NormalizeCut(twin, cut), EInvalidOp);
}

TEST(BuildHorizontalCut, MeetsTheVerticalCutAtZeroDegrees) {
    TPatternData pattern;
    BuildPatternCuts(CutFromDegrees(0, 359, 1, [](double a) { return 2 + a / 100; }),
                     CutFromDegrees(0, 359, 1, [](double a) { return 5 + a / 50; }), pattern);
    ASSERT_EQ(pattern.HorizontalCut.Count(), 361);
    EXPECT_DOUBLE_EQ(pattern.HorizontalCut.GetPoint(180).Y, pattern.VerticalCut.GetPoint(180).Y);
    for (int k = 0; k <= 360; ++k) {
        EXPECT_EQ(pattern.HorizontalCut.GetPoint(k).X, k - 180);
        EXPECT_DOUBLE_EQ(pattern.HorizontalCut.GetPoint(k).Y,
                         pattern.AzimuthCut.GetPoint(k).Y - 5 + 2);
    }

    // A list that already holds points gets the cut appended.
    TRealPointList appended;
    appended.Add(7, 8);
    BuildHorizontalCut(pattern.AzimuthCut, pattern.VerticalCut, appended);
    ASSERT_EQ(appended.Count(), 362);
    EXPECT_EQ(appended.GetPoint(0), (TRealPoint{7, 8}));
    for (int k = 0; k <= 360; ++k) {
        EXPECT_EQ(appended.GetPoint(k + 1), pattern.HorizontalCut.GetPoint(k));
    }

    TPatternData levelled;
    BuildPatternCuts(CutFromDegrees(0, 359, 1, [](double a) { return a / 100; }),
                     CutFromDegrees(0, 359, 1, [](double a) { return a / 50; }), levelled);
    EXPECT_EQ(levelled.HorizontalCut.Points(), levelled.AzimuthCut.Points());

    TRealPointList shortCut;
    shortCut.Add(0, 0);
    TRealPointList dest;
    EXPECT_THROW(BuildHorizontalCut(shortCut, shortCut, dest), EListError);

    // Levels near the largest double: re-levelling would leave -inf in the cut.
    TPatternData huge;
    NormalizeCut(CutFromDegrees(0, 359, 1, [](double a) { return a == 90 ? 1e308 : 0; }),
                 huge.AzimuthCut);
    NormalizeCut(CutFromDegrees(0, 359, 1, [](double a) { return a == 0 ? 1e308 : 0; }),
                 huge.VerticalCut);
    huge.HorizontalCut.Add(7, 8);
    EXPECT_THROW(BuildHorizontalCut(huge.AzimuthCut, huge.VerticalCut, huge.HorizontalCut),
                 EInvalidOp);
    EXPECT_EQ(huge.HorizontalCut.Points(), (std::vector<TRealPoint>{{7, 8}}))
        << "nothing is appended when the cut fails";
}

TEST(PatternData, GainTextAndDisplayName) {
    TPatternData pattern;
    EXPECT_EQ(GainText(pattern), "0.0 (-2.1)");
    pattern.Gain.SetValue(18);
    EXPECT_EQ(GainText(pattern), "18.0 (15.9)");
    pattern.Gain.SetValue(-3);
    EXPECT_EQ(GainText(pattern), "-3.0 (-5.1)");

    pattern.FileName = "/data/antennas/site.A/Panel 65.v2.msi";
    EXPECT_EQ(DisplayName(pattern, true), "Panel 65.v2.msi");
    EXPECT_EQ(DisplayName(pattern, false), "Panel 65.v2");
    pattern.FileName = "/data/site.A/README";
    EXPECT_EQ(DisplayName(pattern, false), "README") << "a dot in a folder is no extension";
    pattern.FileName = "az_angle_ref_35";
    EXPECT_EQ(DisplayName(pattern, false), "az_angle_ref_35");
    // A pattern made from others is named, not read: its name is no path.
    pattern.Derived = true;
    pattern.FileName = "a.v2 ↔ b/c at 1930.5 MHz";
    EXPECT_EQ(DisplayName(pattern, false), pattern.FileName);
}

TEST(PatternData, AssignCopiesAllButTheHorizontalCutAndCloneCopiesAll) {
    TPatternData source;
    source.FileName = "/a/b.msi";
    source.Id = 7;
    source.Gain.SetValue(17);
    source.HorzWidth.SetValue(65);
    source.HRotationOffset = 10;
    source.VRotationOffset = -3;
    source.AzimuthCut.Add(1, 2);
    source.VerticalCut.Add(3, 4);
    source.HorizontalCut.Add(5, 6);
    TPatternData copy;
    copy.Frequency.SetValue(900);
    copy.Assign(source);
    EXPECT_EQ(copy.FileName, "/a/b.msi");
    EXPECT_EQ(copy.Id, 7);
    EXPECT_TRUE(copy.Frequency.IsNull) << "the null flag is copied too";
    EXPECT_EQ(copy.Gain.Value, 17);
    EXPECT_FALSE(copy.HorzWidth.IsNull);
    EXPECT_TRUE(copy.VertWidth.IsNull);
    EXPECT_EQ(copy.HRotationOffset, 10);
    EXPECT_EQ(copy.VRotationOffset, -3);
    EXPECT_EQ(copy.AzimuthCut.Points(), source.AzimuthCut.Points());
    EXPECT_EQ(copy.VerticalCut.Points(), source.VerticalCut.Points());
    EXPECT_EQ(copy.HorizontalCut.Count(), 0);

    // A clone is whole: the horizontal cut and the figures computed from it come along.
    TPatternFigures horizontal;
    horizontal.Horz.FrontToBack180 = 25;
    source.AdoptFigures(TPatternFigures(), horizontal);
    const std::unique_ptr<TPatternData> clone = source.Clone();
    EXPECT_EQ(clone->Id, 7);
    EXPECT_EQ(clone->VerticalCut.Points(), source.VerticalCut.Points());
    EXPECT_EQ(clone->HorizontalCut.Points(), source.HorizontalCut.Points());
    EXPECT_EQ(clone->Figures(THCut::Horizontal).Horz.FrontToBack180, 25);
}

std::unique_ptr<TPatternData> NamedPattern(const std::string& fileName, int id) {
    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = fileName;
    pattern->Id = id;
    return pattern;
}

TEST(PatternDataList, FindsFileNamesIgnoringBlanksButNotCaseAndSortsById) {
    TPatternDataList list(true);
    list.Add(NamedPattern("/Data/Panel.MSI", 5));
    list.Add(NamedPattern("/data/other.msi", 2));
    list.Add(NamedPattern("  /data/panel.msi\t", 9));
    EXPECT_EQ(list.IndexOfFileName(" /Data/Panel.MSI "), 0);
    EXPECT_EQ(list.IndexOfFileName("/data/panel.msi"), 2) << "Linux tells the letter cases apart";
    EXPECT_EQ(list.IndexOfFileName("/DATA/PANEL.msi"), -1);
    EXPECT_EQ(list.IndexOfFileName("/data/panel"), -1);
    EXPECT_EQ(list.IndexOfFileName("panel.msi"), -1);

    TPatternDataList view(false);
    view.CopyFrom(list);
    view.SortById();
    EXPECT_EQ(view.Items(0).Id, 2);
    EXPECT_EQ(view.Items(1).Id, 5);
    EXPECT_EQ(view.Items(2).Id, 9);
    EXPECT_EQ(list.Items(0).Id, 5) << "sorting a copy leaves the source";
    view.CopyFrom(view);
    EXPECT_EQ(view.Count(), 3);
}

class TFakeClipboard : public TClipboardService {
public:
    void SetText(const std::string& text) override { Text = text; }
    std::string Text;
};

TEST(PatternDataList, PointsTableHasANameHeaderAnd361LinesOfAngleAndLevels) {
    TPatternDataList list(true);
    for (int p = 0; p < 2; ++p) {
        auto pattern = NamedPattern(p == 0 ? "/x/first.msi" : "/x/second.vwa", p);
        BuildPatternCuts(CutFromDegrees(0, 359, 1, [p](double a) { return p + a / 4; }),
                         CutFromDegrees(0, 359, 1, [p](double a) { return 10 * p + a / 8; }),
                         *pattern);
        list.Add(std::move(pattern));
    }
    TFakeClipboard clipboard;
    list.CopyPointsToClipboard(false, clipboard);
    const std::string& text = clipboard.Text;
    ASSERT_EQ(text.substr(0, text.find("\r\n")), "\tfirst\tsecond");
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 362u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.find("\r\n-180\t-22.5\t-32.5\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n0\t0\t-10\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1\t-0.125\t-10.125\r\n"), std::string::npos);
    EXPECT_EQ(text.find('\n', text.size() - 1), text.size() - 1);
    const std::string azimuth = list.PointsTableText(true);
    EXPECT_NE(azimuth.find("\r\n1\t-0.25\t-1.25\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ostrel
