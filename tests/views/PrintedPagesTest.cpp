#include "views/PrintedPages.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/RecordingDrawer.h"
#include "views/ViewTestSupport.h"

namespace ostrel {
namespace {

constexpr double kTol = 1e-9;

class TFakeGraphic : public TGraphic {
public:
    TFakeGraphic(int width, int height) : FWidth(width), FHeight(height) {}
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }

private:
    int FWidth;
    int FHeight;
};

TPatternData& AddCutPattern(TTestPatterns& patterns, int id, const std::string& fileName) {
    TPatternData& pattern = patterns.Add(id, fileName);
    for (int angle = -180; angle <= 180; ++angle) {
        pattern.AzimuthCut.Add(angle, angle == 0 ? 0 : -10);
        pattern.HorizontalCut.Add(angle, -10);
        pattern.VerticalCut.Add(angle, angle == 0 ? 0 : -20);
    }
    return pattern;
}

bool HasCall(const std::vector<TDrawCall>& calls, const std::vector<double>& args) {
    for (const TDrawCall& call : calls) {
        if (call.Args.size() < args.size()) continue;
        bool same = true;
        for (size_t i = 0; i < args.size(); ++i) {
            same = same && std::abs(call.Args[i] - args[i]) < 1e-6;
        }
        if (same) return true;
    }
    return false;
}

// The outer circle of a polar graph is the first circle drawn around its centre.
bool HasCircle(const TRecordingDrawer& drawer, double x, double y, double radius) {
    return HasCall(drawer.CallsOf("Ellipse"), {x - radius, y - radius, x + radius, y + radius});
}

// The calls between two document calls: page k of a recorded job.
std::vector<std::vector<TDrawCall>> Pages(const TRecordingDrawer& drawer) {
    std::vector<std::vector<TDrawCall>> pages;
    bool open = false;
    for (const TDrawCall& call : drawer.Calls) {
        if (call.Op == "BeginDoc" || call.Op == "NewPage") {
            pages.emplace_back();
            open = true;
        } else if (call.Op == "EndDoc") {
            open = false;
        } else if (open) {
            pages.back().push_back(call);
        }
    }
    return pages;
}

bool PageHasText(const std::vector<TDrawCall>& page, const std::string& text) {
    for (const TDrawCall& call : page) {
        if (call.Op == "TextOut" && call.Text == text) return true;
    }
    return false;
}

TEST(PrintedPages, HeaderTableLabelsValuesAndFonts) {
    TTestPatterns patterns;
    TPatternData& full = AddCutPattern(patterns, 0, "/data/site a/sector65.txt");
    full.Frequency.SetValue(1850);
    full.Gain.SetValue(17.1);
    full.HorzWidth.SetValue(65);
    full.VertWidth.SetValue(7.25);
    TPatternData& bare = AddCutPattern(patterns, 1, "omni");
    bare.Gain.SetValue(0);

    struct TCase {
        const TPatternData* Pattern;
        std::vector<std::string> Values;
    } cases[] = {
        {&full, {"sector65.txt", "1850", "17.1 (15.0)", "65", "7.25"}},
        {&bare, {"omni", "", "0.0 (-2.1)", "", ""}},
    };
    const char* labels[] = {
        "FileName:", "Freq (MHz):", "Gain dBi (dBd):", "Horz. Width:", "Vert. Width:"};
    for (const TCase& c : cases) {
        TRecordingDrawer drawer;
        TPatternDataPage page;
        page.Drawer = &drawer;
        page.Pattern = c.Pattern;
        page.Draw();
        // The table's texts come in row order, each label followed by its value, each set
        // in its own font.
        std::vector<size_t> textIndexes;
        for (size_t i = 0; i < drawer.Calls.size() && textIndexes.size() < 10; ++i) {
            if (drawer.Calls[i].Op == "TextOut") textIndexes.push_back(i);
        }
        ASSERT_EQ(textIndexes.size(), 10u);
        for (int row = 0; row < 5; ++row) {
            const TDrawCall& label = drawer.Calls[textIndexes[2 * row]];
            const TDrawCall& value = drawer.Calls[textIndexes[2 * row + 1]];
            const double y = 75 + 19 * row;
            EXPECT_EQ(label.Text, labels[row]);
            EXPECT_NEAR(label.Args[0], 50, kTol);
            EXPECT_NEAR(label.Args[1], y, kTol);
            EXPECT_EQ(value.Text, c.Values[static_cast<size_t>(row)]) << labels[row];
            EXPECT_NEAR(value.Args[0], 160, kTol);
            EXPECT_NEAR(value.Args[1], y, kTol);
            const TDrawCall& labelFont = drawer.Calls[textIndexes[2 * row] - 1];
            const TDrawCall& valueFont = drawer.Calls[textIndexes[2 * row + 1] - 1];
            ASSERT_EQ(labelFont.Op, "SetFont");
            ASSERT_EQ(valueFont.Op, "SetFont");
            EXPECT_EQ(labelFont.Style, fsBold);
            EXPECT_EQ(valueFont.Style, 0);
            EXPECT_EQ(labelFont.Name, "Arial");
            EXPECT_NEAR(valueFont.Args[0], 15, kTol);
            EXPECT_EQ(valueFont.Color, clBlack);
        }
    }
}

TEST(PrintedPages, FooterFrameAndLogoFit) {
    struct TCase {
        int Width, Height;
        TRealRect Drawn;
    } cases[] = {
        {400, 60, {612.5, 1015, 812.5, 1045}},      // exactly 200:30
        {800, 60, {612.5, 1022.5, 812.5, 1037.5}},  // wider: full width, centred vertically
        {100, 60, {687.5, 1015, 737.5, 1045}},      // taller: full height, centred across
    };
    for (const TCase& c : cases) {
        const TFakeGraphic logo(c.Width, c.Height);
        TRecordingDrawer drawer;
        TPageBorder border;
        border.Drawer = &drawer;
        border.Logo = &logo;
        border.Draw();
        const std::vector<TDrawCall> frames = drawer.CallsOf("Rectangle");
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_TRUE(HasCall(frames, {37.5, 1000, 812.5, 1060}));
        EXPECT_EQ(frames[0].Style, bsClear) << "the frame is not filled";
        const std::vector<TDrawCall> lines = drawer.CallsOf("LineTo");
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_TRUE(HasCall(lines, {237.5, 1060}));
        EXPECT_TRUE(HasCall(lines, {612.5, 1060}));
        EXPECT_TRUE(HasCall(lines, {237.5, 1030}));
        EXPECT_TRUE(HasCall(drawer.CallsOf("MoveTo"), {37.5, 1030}));
        EXPECT_EQ(lines[0].Color, clGray);
        const std::vector<TDrawCall> bitmaps = drawer.CallsOf("DrawBitmap");
        ASSERT_EQ(bitmaps.size(), 1u);
        EXPECT_TRUE(HasCall(bitmaps, {c.Drawn.Left, c.Drawn.Top, c.Drawn.Right, c.Drawn.Bottom}))
            << c.Width << "x" << c.Height;
    }
}

TEST(PrintedPages, SinglePageGraphsSitAtFixedPlaces) {
    TTestPatterns patterns;
    TPatternData& pattern = AddCutPattern(patterns, 0, "a.txt");
    {
        TRecordingDrawer drawer;
        TPatternDataPage page;
        page.Drawer = &drawer;
        page.Pattern = &pattern;
        page.View = TestViewState(THCut::Azimuth, -40, true);
        page.Draw();
        EXPECT_TRUE(HasCircle(drawer, 425, 325, 175));
        EXPECT_TRUE(HasCircle(drawer, 425, 750, 175));
        // Both curves in blue; the horizontal one peaks at the top of its graph (angle 0 up),
        // the vertical one to the right of its centre.
        const std::vector<TDrawCall> curves = drawer.CallsOf("Polyline");
        ASSERT_EQ(curves.size(), 2u);
        bool topReached = false;
        for (const TRealPoint& p : curves[0].Points) {
            topReached = topReached || (std::abs(p.X - 425) < 1 && std::abs(p.Y - 150) < 1);
        }
        EXPECT_TRUE(topReached);
        bool rightReached = false;
        for (const TRealPoint& p : curves[1].Points) {
            rightReached = rightReached || (std::abs(p.X - 600) < 1 && std::abs(p.Y - 750) < 1);
        }
        EXPECT_TRUE(rightReached);
    }
    {
        TRecordingDrawer drawer;
        TPatternDataPage page;
        page.Drawer = &drawer;
        page.Pattern = &pattern;
        page.View = TestViewState(THCut::Azimuth, -25);
        page.SetGraphType(TGraphType::Cartesian);
        page.Draw();
        const std::vector<TDrawCall> plots = drawer.CallsOf("SetClip");
        ASSERT_EQ(plots.size(), 2u);
        EXPECT_TRUE(HasCall({plots[0]}, {200, 225, 650, 525}));
        EXPECT_TRUE(HasCall({plots[1]}, {200, 600, 650, 900}));
        EXPECT_TRUE(drawer.CallsOf("Ellipse").empty());
    }
}

TEST(PrintedPages, OverlayPageGraphsAndLegend) {
    // The overlaid page keeps linear rings even when the single pages are logarithmic.
    TTestPatterns patterns;
    AddCutPattern(patterns, 3, "first.txt");
    AddCutPattern(patterns, 7, "second.txt");
    TRecordingDrawer drawer;
    TOverlayedPatternPage page;
    page.View = TestViewState(THCut::Azimuth, -40, true);
    page.Drawer = &drawer;
    page.Patterns.CopyFrom(patterns.List);
    page.Draw();
    EXPECT_TRUE(HasCircle(drawer, 230, 300, 155));
    EXPECT_TRUE(HasCircle(drawer, 620, 300, 155));
    // Linear 40 dB scale: the -20 dB ring lies halfway out.
    EXPECT_TRUE(HasCircle(drawer, 230, 300, 77.5) || HasCircle(drawer, 230, 300, 78));
    EXPECT_TRUE(HasCall(drawer.CallsOf("TextOut"), {75, 550}));
    const double middle = 550 + drawer.WorldHeight(drawer.DeviceHeight(14)) / 2;
    EXPECT_TRUE(HasCall(drawer.CallsOf("Rectangle"), {55, middle - 4, 70, middle + 4}));
    EXPECT_TRUE(HasCall(drawer.CallsOf("Rectangle"), {37.5, 1000, 812.5, 1060}));
    EXPECT_TRUE(PageHasText(drawer.Calls, "(7) "));
}

// A recording drawer that leaves its calls behind when the job frees it, and whose pages
// can fail: the n-th TextOut raises (never when failAt is 0).
class TKeptDrawer : public TRecordingDrawer {
public:
    TKeptDrawer(std::vector<TDrawCall>& kept, int failAt) : FKept(kept), FFailAt(failAt) {}
    ~TKeptDrawer() override { FKept = Calls; }
    double TextOut(const std::string& text, double x, double y) override {
        if (++FTexts == FFailAt) throw std::runtime_error("paper jam");
        return TRecordingDrawer::TextOut(text, x, y);
    }

private:
    std::vector<TDrawCall>& FKept;
    int FFailAt;
    int FTexts = 0;
};

std::vector<std::vector<TDrawCall>> Pages(const std::vector<TDrawCall>& calls) {
    TRecordingDrawer holder;
    holder.Calls = calls;
    return Pages(holder);
}

TEST(PrintedPages, ModesGivePagesInSelectionOrder) {
    TTestPatterns patterns;
    AddCutPattern(patterns, 4, "/p/alpha.txt");
    AddCutPattern(patterns, 5, "/p/beta.msi");
    AddCutPattern(patterns, 6, "/p/gamma.vwa");
    const std::vector<std::string> names = {"alpha.txt", "beta.msi", "gamma.vwa"};

    struct TCase {
        TPrintMode Mode;
        int PatternCount;
        size_t Pages;
        bool OverlayFirst;
    } cases[] = {
        {TPrintMode::Overlay, 1, 1, true},
        {TPrintMode::Overlay, 3, 1, true},
        {TPrintMode::Single, 1, 1, false},
        {TPrintMode::Single, 3, 3, false},
        {TPrintMode::Both, 1, 2, true},
        {TPrintMode::Both, 3, 4, true},
        {static_cast<TPrintMode>(7), 3, 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.Mode) << ", " << c.PatternCount);
        std::vector<TDrawCall> calls;
        TPatternDataPagePrinter printer(
            [&calls] { return std::make_unique<TKeptDrawer>(calls, 0); }, nullptr);
        for (int i = 0; i < c.PatternCount; ++i) printer.Patterns.Add(patterns.List.Items(i));
        printer.PrintMode = c.Mode;
        printer.Print();
        EXPECT_EQ(printer.Drawer, nullptr);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[0].Op, "SetTitle");
        EXPECT_EQ(calls[0].Text, "alpha") << "the first pattern's name without extension";
        EXPECT_EQ(calls[1].Op, "BeginDoc");
        EXPECT_EQ(calls.back().Op, "EndDoc");
        const auto pages = Pages(calls);
        ASSERT_EQ(pages.size(), std::max<size_t>(c.Pages, 1));
        if (c.Pages == 0) {
            EXPECT_TRUE(pages[0].empty()) << "an unknown mode prints nothing";
            continue;
        }
        size_t next = 0;
        if (c.OverlayFirst) {
            EXPECT_TRUE(PageHasText(pages[0], "(4) "));
            EXPECT_FALSE(PageHasText(pages[0], "FileName:"));
            next = 1;
        }
        for (int i = 0; next < pages.size(); ++i, ++next) {
            EXPECT_TRUE(PageHasText(pages[next], names[static_cast<size_t>(i)])) << i;
        }
    }
}

TEST(PrintedPages, NoPatternsNoJob) {
    // The title comes from the first pattern; without one there is no job to start.
    int jobs = 0;
    TPatternDataPagePrinter printer(
        [&jobs] {
            ++jobs;
            return std::make_unique<TRecordingDrawer>();
        },
        nullptr);
    printer.PrintMode = TPrintMode::Both;
    EXPECT_NO_THROW(printer.Print());
    EXPECT_EQ(jobs, 0);
}

TEST(PrintedPages, JobEndsEvenWhenAPageFails) {
    TTestPatterns patterns;
    AddCutPattern(patterns, 0, "a.txt");
    AddCutPattern(patterns, 1, "b.txt");
    // The number of texts on the first page, from a run that succeeds.
    int firstPageTexts = 0;
    {
        std::vector<TDrawCall> calls;
        TPatternDataPagePrinter printer(
            [&calls] { return std::make_unique<TKeptDrawer>(calls, 0); }, nullptr);
        printer.Patterns.CopyFrom(patterns.List);
        printer.Print();
        const auto pages = Pages(calls);
        for (const TDrawCall& call : pages.at(0)) firstPageTexts += call.Op == "TextOut";
    }
    // The first page's first text, the second page's first text.
    for (int failAt : {1, firstPageTexts + 1}) {
        std::vector<TDrawCall> calls;
        TPatternDataPagePrinter printer(
            [&calls, failAt] { return std::make_unique<TKeptDrawer>(calls, failAt); }, nullptr);
        printer.Patterns.CopyFrom(patterns.List);
        EXPECT_THROW(printer.Print(), std::runtime_error);
        EXPECT_EQ(printer.Drawer, nullptr);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().Op, "EndDoc") << failAt;
    }
}

}  // namespace
}  // namespace ostrel
