#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <memory>
#include <vector>

#include "app/MainFrm.h"
#include "dialogs/AniFrm.h"
#include "formats/EdxFile.h"
#include "graphs/GraphClasses.h"
#include "model/Settings.h"
#include "support/RecordingDrawer.h"
#include "support/TempDir.h"
#include "uisupport/UiImageFiles.h"
#include "views/SideBySide.h"

namespace ostrel {
namespace {

// Three patterns whose cuts differ everywhere, so that a frame tells which one it shows.
class AnimateFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int p = 0; p < 3; ++p) {
            auto pattern = std::make_unique<TPatternData>();
            pattern->FileName = "/data/pattern" + std::to_string(p + 1) + ".msi";
            TRealPointList horizontal;
            TRealPointList vertical;
            for (int a = 0; a < 360; ++a) {
                horizontal.Add(a, 3 + 6 * p + 5 * std::abs(std::sin(a / 57.3)));
                vertical.Add(a, 2 + 7 * p + 8 * std::abs(std::sin(a / 40.0)));
            }
            BuildPatternCuts(horizontal, vertical, *pattern);
            pattern->Id = p;
            Form.Patterns.Add(*pattern);
            Owned.push_back(std::move(pattern));
        }
    }

    static std::vector<TDrawCall> Curves(TRecordingDrawer& drawer) {
        std::vector<TDrawCall> curves;
        for (const TDrawCall& call : drawer.CallsOf("Polyline")) {
            if (call.Color == SeriesColor(0)) curves.push_back(call);
        }
        return curves;
    }

    // The blue curves of the frame on show.
    std::vector<TDrawCall> FrameCurves() {
        TRecordingDrawer drawer(100, 100);
        Form.DrawFrame(drawer, kBounds);
        for (const TDrawCall& call : drawer.CallsOf("TextOut")) {
            EXPECT_EQ(call.Text.find("pattern"), std::string::npos) << "no legend";
        }
        return Curves(drawer);
    }
    // The curves of the polar side-by-side view of one pattern in blue.
    std::vector<TDrawCall> ExpectedCurves(int pattern) {
        TRecordingDrawer drawer(100, 100);
        TSideBySidePatterns view;
        view.Drawer = &drawer;
        view.Bounds = kBounds;
        view.Patterns.Add(*Owned[static_cast<size_t>(pattern)]);
        view.Colors = {SeriesColor(0)};
        view.DrawPolar();
        return Curves(drawer);
    }
    void ExpectShows(int pattern) {
        const std::vector<TDrawCall> shown = FrameCurves();
        const std::vector<TDrawCall> expected = ExpectedCurves(pattern);
        ASSERT_EQ(shown.size(), 2u) << "the horizontal and the vertical cut";
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            ASSERT_EQ(shown[i].Points.size(), expected[i].Points.size());
            for (size_t k = 0; k < shown[i].Points.size(); k += 37) {
                EXPECT_DOUBLE_EQ(shown[i].Points[k].X, expected[i].Points[k].X);
                EXPECT_DOUBLE_EQ(shown[i].Points[k].Y, expected[i].Points[k].Y);
            }
        }
    }

    static constexpr TRect kBounds{0, 0, 680, 313};
    std::vector<std::unique_ptr<TPatternData>> Owned;
    TAnimateForm Form;
};

TEST_F(AnimateFormTest, StartStepsThroughThePatternsFromTheSecondAndTheSecondStartStops) {
    EXPECT_EQ(Form.windowTitle(), "AnimateForm");
    EXPECT_FALSE(Form.IsRunning());
    EXPECT_EQ(Form.FrameIndex(), -1);
    EXPECT_TRUE(FrameCurves().empty()) << "before Start the grids are empty";

    auto* start = Form.findChild<QPushButton*>("btnStart");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->text(), "&Start");
    start->click();
    EXPECT_TRUE(Form.IsRunning());
    EXPECT_EQ(Form.FrameIndex(), 0);
    const int expected[] = {1, 2, 0, 1, 2, 0, 1};
    for (int frame : expected) {
        Form.Tick();
        ASSERT_EQ(Form.FrameIndex(), frame);
        ExpectShows(frame);
    }
    start->click();
    EXPECT_FALSE(Form.IsRunning());
    EXPECT_EQ(start->text(), "&Start");
    EXPECT_EQ(Form.FrameIndex(), 0) << "the next repaint shows the first pattern";
    ExpectShows(0);
}

TEST_F(AnimateFormTest, EveryTickRepaintsTheOnePatternAndResizingRepaintsToTheNewSize) {
    Form.Patterns.Clear();
    Form.Patterns.Add(*Owned[1]);
    Form.show();
    QApplication::processEvents();
    QApplication::processEvents();
    int paints = 0;
    QSize paintedSize;
    struct TPaintCounter : QObject {
        int* Paints;
        QSize* Size;
        TPaintCounter(int* paints, QSize* size) : Paints(paints), Size(size) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                ++*Paints;
                *Size = static_cast<QWidget*>(watched)->size();
            }
            return false;
        }
    } counter(&paints, &paintedSize);
    Form.PaintArea()->installEventFilter(&counter);
    Form.StartClick();
    for (int tick = 1; tick <= 3; ++tick) {
        Form.Tick();
        QApplication::processEvents();
        EXPECT_EQ(Form.FrameIndex(), 0);
        EXPECT_EQ(paints, tick);
    }
    Form.StartClick();
    Form.resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(paints, 4);
    EXPECT_EQ(paintedSize, QSize(900 - 17 - 4, 500 - 49 - 4)) << "the panel follows all four sides";
    Form.PaintArea()->removeEventFilter(&counter);
    Form.hide();
}

TEST_F(AnimateFormTest, ScreenshotOfAFrame) {
    std::vector<std::unique_ptr<TPatternData>> samples;
    Form.Patterns.Clear();
    TEdxFileEx file;
    file.LoadFromFile(OSTREL_SAMPLES_DIR "/sector65_edx.doc");
    samples = MakeEdxPatterns(file);
    for (auto& pattern : samples) Form.Patterns.Add(*pattern);
    Form.show();
    Form.StartClick();
    for (int tick = 0; tick < 12; ++tick) Form.Tick();  // azimuth reference 60 degrees
    QApplication::processEvents();
    const QImage image = Form.grab().toImage();
    SaveTestPng(image, "views/animation_frame.png");
    Form.StartClick();
    Form.hide();
    int blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) blue += image.pixel(x, y) == qRgb(0, 0, 255);
    }
    EXPECT_GT(blue, 200) << "the frame's cuts reach the pixels in blue";
}

}  // namespace
}  // namespace ostrel
