#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "draw/CanvasDrawer.h"
#include "formats/PatternLoaders.h"
#include "model/Settings.h"
#include "support/UiImageFiles.h"
#include "views/SideBySide.h"

namespace ostrel {
namespace {

// Paints the side-by-side view of sample patterns into images for people to look at, and
// checks that each pattern's colour really reached the pixels.
class SideBySideRender : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"sector65_dbd.txt", "tilted_6deg.msi", "panel_1900.vwa"}) {
            std::string error;
            auto pattern = LoadPatternData(std::string(OSTREL_SAMPLES_DIR "/") + name, &error);
            ASSERT_TRUE(pattern) << name << ": " << error;
            pattern->Id = static_cast<int>(Patterns.size());
            Patterns.push_back(std::move(pattern));
        }
        Saved = GetSettings();
    }
    void TearDown() override {
        GetSettings().FUseAzimuth = Saved.FUseAzimuth;
        GetSettings().FRadialFloor = Saved.FRadialFloor;
        GetSettings().FLogScale = Saved.FLogScale;
        GetSettings().FShowExtensions = Saved.FShowExtensions;
    }

    QImage Render(QSize size, std::uint8_t graphType, bool logScale, bool legend = true) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        TSideBySideDrawer view;
        view.Bounds = TRect{0, 0, size.width(), size.height()};
        view.Drawer = &drawer;
        for (auto& pattern : Patterns) view.Patterns.Add(*pattern);
        view.LegendAlign = 2;
        view.GraphType = graphType;
        view.LogScale = logScale;
        view.ShowLegend = legend;
        view.Draw();
        return image;
    }

    static int CountColor(const QImage& image, QColor color) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel(line[x]);
                if (std::abs(pixel.red() - color.red()) < 40 &&
                    std::abs(pixel.green() - color.green()) < 40 &&
                    std::abs(pixel.blue() - color.blue()) < 40) {
                    ++count;
                }
            }
        }
        return count;
    }

    void ExpectPatternColors(const QImage& image) {
        EXPECT_GT(CountColor(image, QColor(0, 0, 255)), 200) << "pattern 0 is blue";
        EXPECT_GT(CountColor(image, QColor(255, 0, 0)), 200) << "pattern 1 is red";
        EXPECT_GT(CountColor(image, QColor(0, 128, 0)), 200) << "pattern 2 is green";
    }

    std::vector<std::unique_ptr<TPatternData>> Patterns;
    TSettings Saved;
};

TEST_F(SideBySideRender, PolarInTheThreeScaleModes) {
    GetSettings().FRadialFloor = -25;
    QImage image = Render({1200, 600}, gtPolar, false);
    ExpectPatternColors(image);
    SaveTestPng(image, "views/polar_25dB.png");
    GetSettings().FRadialFloor = -40;
    image = Render({1200, 600}, gtPolar, false);
    ExpectPatternColors(image);
    SaveTestPng(image, "views/polar_40dB.png");
    GetSettings().FRadialFloor = -20;
    GetSettings().FLogScale = true;
    image = Render({1200, 600}, gtPolar, true);
    ExpectPatternColors(image);
    SaveTestPng(image, "views/polar_logarithmic.png");
}

TEST_F(SideBySideRender, CartesianInTheThreeScaleModes) {
    for (double floor : {-25.0, -40.0}) {
        GetSettings().FRadialFloor = floor;
        const QImage image = Render({1200, 600}, gtCartesian, false);
        ExpectPatternColors(image);
        SaveTestPng(image, floor == -25 ? "views/cartesian_25dB.png" : "views/cartesian_40dB.png");
    }
    GetSettings().FRadialFloor = -20;
    GetSettings().FLogScale = true;
    const QImage image = Render({1200, 600}, gtCartesian, true);
    ExpectPatternColors(image);
    SaveTestPng(image, "views/cartesian_logarithmic.png");
}

TEST_F(SideBySideRender, HorizontalCutTurnedPatternAndWrappedLegend) {
    GetSettings().FUseAzimuth = false;
    Patterns[1]->HRotationOffset = 45;
    Patterns[1]->VRotationOffset = -10;
    Patterns[2]->FileName =
        "/data/VLM-PX1917-DualSlant-1900MHz-ElectricalTilt2-Measured-2025-03-14.vwa";
    const QImage image = Render({1200, 600}, gtPolar, false);
    ExpectPatternColors(image);
    SaveTestPng(image, "views/polar_horizontal_cut_turned_wrapped_legend.png");
}

TEST_F(SideBySideRender, TinyAndOddAreasDrawWithoutFailing) {
    const QImage tiny = Render({100, 60}, gtPolar, false);
    SaveTestPng(tiny, "views/tiny_polar.png");
    const QImage tinyCartesian = Render({100, 60}, gtCartesian, false);
    SaveTestPng(tinyCartesian, "views/tiny_cartesian.png");
    const QImage empty = Render({801, 401}, gtCartesian, false, false);
    EXPECT_EQ(empty.size(), QSize(801, 401));
}

}  // namespace
}  // namespace ostrel
