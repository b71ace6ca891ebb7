#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "draw/ThinLines.h"
#include "formats/PatternLoaders.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDrawer.h"
#include "support/RecordingDrawer.h"
#include "uisupport/UiImageFiles.h"
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

    QImage Render(QSize size, std::uint8_t graphType, bool logScale, bool legend = true,
                  bool directLines = true) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        drawer.SetDirectLines(directLines);
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

// Curves, grid lines, rings and frames go straight into the image's pixels; every pixel
// must be the one the engine would have drawn, on both graphs and with the legend.
TEST_F(SideBySideRender, DirectLinesGiveTheEnginesPixels) {
    struct TCase {
        std::uint8_t GraphType;
        bool LogScale;
        QSize Size;
    };
    for (const TCase& c :
         {TCase{gtPolar, false, {1200, 600}}, TCase{gtPolar, true, {701, 433}},
          TCase{gtCartesian, false, {1200, 600}}, TCase{gtCartesian, true, {517, 389}}}) {
        GetSettings().FLogScale = c.LogScale;
        GetSettings().FRadialFloor = c.LogScale ? -20 : -40;
        const std::uint64_t before = ThinPolylinesStroked();
        const QImage direct = Render(c.Size, c.GraphType, c.LogScale, true, true);
        EXPECT_GT(ThinPolylinesStroked() - before, 2 * Patterns.size());
        const QImage engine = Render(c.Size, c.GraphType, c.LogScale, true, false);
        int differing = 0;
        for (int y = 0; y < direct.height(); ++y) {
            for (int x = 0; x < direct.width(); ++x) {
                if (direct.pixel(x, y) != engine.pixel(x, y)) ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << "graph " << int(c.GraphType) << " log " << c.LogScale;
    }
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

TEST_F(SideBySideRender, LargeAreasKeepTheirLabelsInside) {
    // A label that ran off an edge would leave its pixels in the outermost columns or rows.
    auto edgesAreWhite = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x : {0, image.width() - 1}) {
                if (QColor(image.pixel(x, y)).lightness() < 250) {
                    ADD_FAILURE() << "ink at " << x << ", " << y;
                    return false;
                }
            }
        }
        for (int x = 0; x < image.width(); ++x) {
            for (int y : {0, image.height() - 1}) {
                if (QColor(image.pixel(x, y)).lightness() < 250) {
                    ADD_FAILURE() << "ink at " << x << ", " << y;
                    return false;
                }
            }
        }
        return true;
    };
    GetSettings().FRadialFloor = -40;
    const QImage cartesian = Render({1600, 900}, gtCartesian, false, false);
    EXPECT_TRUE(edgesAreWhite(cartesian));
    SaveTestPng(cartesian, "views/cartesian_1600x900.png");
    const QImage polar = Render({2560, 1100}, gtPolar, false, false);
    EXPECT_TRUE(edgesAreWhite(polar));
    SaveTestPng(polar, "views/polar_2560x1100.png");
}

TEST_F(SideBySideRender, TinyAndOddAreasDrawWithoutFailing) {
    const QImage tiny = Render({100, 60}, gtPolar, false);
    SaveTestPng(tiny, "views/tiny_polar.png");
    const QImage tinyCartesian = Render({100, 60}, gtCartesian, false);
    SaveTestPng(tinyCartesian, "views/tiny_cartesian.png");
    const QImage empty = Render({801, 401}, gtCartesian, false, false);
    EXPECT_EQ(empty.size(), QSize(801, 401));
}

// Whether a point lies within 1.5 units of a frame line the recording drawer saw drawn in gray.
bool OnCartesianFrame(const TRecordingDrawer& recorder, TRealPoint p) {
    for (const TDrawCall& line : recorder.CallsOf("LineTo")) {
        if (line.Color != clGray) continue;
        const double x = line.Args[0];
        const double y = line.Args[1];
        if (std::abs(p.X - x) <= 1.5 || std::abs(p.Y - y) <= 1.5) return true;
    }
    return false;
}

TEST_F(SideBySideRender, CurvePixelsLieWhereTheCoreComputedThem) {
    // The same view drawn once through the recording drawer (the positions the core computes)
    // and once through the canvas drawer: every curve vertex must have a curve pixel within
    // 1 px, and every curve pixel must lie within 1 px of a computed segment.
    GetSettings().FRadialFloor = -40;
    Patterns.resize(1);
    for (std::uint8_t graphType : {gtPolar, gtCartesian}) {
        const QSize size(900, 500);
        const QImage image = Render(size, graphType, false, false);
        TRecordingDrawer recorder(100, 100);
        TSideBySideDrawer view;
        view.Bounds = TRect{0, 0, size.width(), size.height()};
        view.Drawer = &recorder;
        view.Patterns.Add(*Patterns[0]);
        view.GraphType = graphType;
        view.ShowLegend = false;
        view.Draw();
        std::vector<std::pair<TRealPoint, TRealPoint>> segments;
        for (const TDrawCall& curve : recorder.CallsOf("Polyline")) {
            for (size_t i = 1; i < curve.Points.size(); ++i) {
                // The device draws between the vertices rounded to whole pixels.
                auto device = [](TRealPoint p) {
                    return TRealPoint{static_cast<double>(RoundToDevice(p.X)),
                                      static_cast<double>(RoundToDevice(p.Y))};
                };
                segments.push_back({device(curve.Points[i - 1]), device(curve.Points[i])});
            }
        }
        ASSERT_GT(segments.size(), 300u);
        auto isCurve = [&image](int x, int y) {
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
            const QColor pixel(image.pixel(x, y));
            return pixel.blue() > 150 && pixel.red() < 120 && pixel.green() < 120;
        };
        int verticesChecked = 0;
        for (const auto& segment : segments) {
            const TRealPoint p = segment.first;
            // The Cartesian frame is drawn over the curves: vertices on it have no curve pixel.
            if (graphType == gtCartesian && OnCartesianFrame(recorder, p)) continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    found = isCurve(RoundToDevice(p.X) + dx, RoundToDevice(p.Y) + dy);
                }
            }
            EXPECT_TRUE(found) << "no curve pixel near (" << p.X << ", " << p.Y << ")";
            if (!found) break;
            ++verticesChecked;
        }
        EXPECT_GT(verticesChecked, 300);
        auto distance = [](double px, double py, const TRealPoint& a, const TRealPoint& b) {
            const double dx = b.X - a.X;
            const double dy = b.Y - a.Y;
            const double length2 = dx * dx + dy * dy;
            double t = length2 > 0 ? ((px - a.X) * dx + (py - a.Y) * dy) / length2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            return std::hypot(px - (a.X + t * dx), py - (a.Y + t * dy));
        };
        int strays = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!isCurve(x, y)) continue;
                double nearest = 1e9;
                for (const auto& segment : segments) {
                    nearest = std::min(nearest, distance(x, y, segment.first, segment.second));
                    if (nearest <= 1) break;
                }
                if (nearest > 1) {
                    ++strays;
                    ADD_FAILURE() << "stray curve pixel at " << x << ", " << y;
                }
            }
        }
        EXPECT_EQ(strays, 0) << (graphType == gtPolar ? "polar" : "cartesian");
    }
}

}  // namespace
}  // namespace ostrel
