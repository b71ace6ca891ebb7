#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "formats/PatternLoaders.h"
#include "graphs/DensityImage.h"
#include "qtdraw/CanvasDrawer.h"
#include "support/MadePatterns.h"
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
            TLoadedFile loaded = LoadPatternFile(std::string(OSTREL_SAMPLES_DIR "/") + name);
            const std::string& error = loaded.Failure;
            auto pattern = loaded.TakeFirst();
            ASSERT_TRUE(pattern) << name << ": " << error;
            pattern->Id = static_cast<int>(Patterns.size());
            Patterns.push_back(std::move(pattern));
        }
    }

    QImage Render(QSize size, TGraphType graphType, bool logScale, bool legend = true,
                  QImage::Format format = QImage::Format_RGB32) {
        QImage image(size, format);
        image.fill(Qt::white);
        QPainter painter(&image);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        TSideBySideDrawer view;
        view.View = State;
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

    static bool IsColor(QRgb rgb, QColor color, int tolerance = 40) {
        const QColor pixel(rgb);
        return std::abs(pixel.red() - color.red()) < tolerance &&
               std::abs(pixel.green() - color.green()) < tolerance &&
               std::abs(pixel.blue() - color.blue()) < tolerance;
    }

    static int CountColor(const QImage& image, QColor color) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += IsColor(image.pixel(x, y), color);
        }
        return count;
    }

    void ExpectPatternColors(const QImage& image) {
        EXPECT_GT(CountColor(image, QColor(0, 0, 255)), 200) << "pattern 0 is blue";
        EXPECT_GT(CountColor(image, QColor(255, 0, 0)), 200) << "pattern 1 is red";
        EXPECT_GT(CountColor(image, QColor(0, 128, 0)), 200) << "pattern 2 is green";
    }

    // Direction (degrees, counter-clockwise on screen) of the centroid of a colour's pixels
    // within `radius` of `centre`.
    static double CentroidDeg(const QImage& image, QColor color, QPointF centre, double radius) {
        double sumX = 0, sumY = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const double dx = x - centre.x();
                const double dy = centre.y() - y;
                if (std::hypot(dx, dy) > radius || !IsColor(image.pixel(x, y), color)) continue;
                sumX += dx;
                sumY += dy;
            }
        }
        return std::atan2(sumY, sumX) * 180 / M_PI;
    }
    // How far from `centre` the farthest pixel of a colour lies along the ray at `angleDeg`
    // clockwise from straight up, up to 259 pixels out (inside a graph of radius 260).
    static double ReachAlong(const QImage& image, QColor color, QPointF centre, double angleDeg) {
        const double sine = std::sin(angleDeg * M_PI / 180);
        const double cosine = std::cos(angleDeg * M_PI / 180);
        double reach = 0;
        for (double t = 0; t < 259; t += 0.5) {
            const int x = static_cast<int>(std::lround(centre.x() + t * sine));
            const int y = static_cast<int>(std::lround(centre.y() - t * cosine));
            // A thin antialiased line crossing at a slant colours the pixels around the
            // crossing only in part.
            for (int n = 0; n < 9; ++n) {
                const QPoint p(x + n % 3 - 1, y + n / 3 - 1);
                if (image.rect().contains(p) && IsColor(image.pixel(p), color, 130)) reach = t;
            }
        }
        return reach;
    }
    // How many pixels of a colour lie in `area`.
    static int CountIn(const QImage& image, QColor color, QRect area) {
        return CountColor(image.copy(area), color);
    }

    std::vector<std::unique_ptr<TPatternData>> Patterns;
    TViewState State;  // what every Render draws with
};

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// The scale decides how far from the centre a level lands: a lower floor moves every level
// above it outward, the amplitude scale pulls everything below 0 dB inward.
TEST_F(SideBySideRender, PolarScaleModesMoveTheCurves) {
    std::vector<double> reach;
    for (const char* name : {"polar_amplitude", "polar_25dB", "polar_40dB"}) {
        const bool amplitude = reach.empty();
        State.RadialFloorDb = amplitude ? -20 : reach.size() == 1 ? -25 : -40;
        State.LogScale = amplitude;
        const QImage image = Render({1200, 600}, TGraphType::Polar, amplitude);
        ExpectPatternColors(image);
        SaveTestPng(image, std::string("views/") + name + ".png");
        // Pattern 1 is a few dB down 45 degrees off its boresight, in the open.
        reach.push_back(ReachAlong(image, kRed, {300, 300}, 45));
    }
    EXPECT_GT(reach[1], reach[0] + 20) << "-25 dB beyond the amplitude scale";
    EXPECT_GT(reach[2], reach[1] + 5) << "-40 dB beyond -25 dB";
}

// In the Cartesian plots nothing below the floor is drawn: the lower it is, the more of the
// curves shows.
TEST_F(SideBySideRender, CartesianFloorCutsTheCurves) {
    std::vector<int> ink;
    for (double floor : {-40.0, -25.0, -20.0}) {
        State.RadialFloorDb = floor;
        State.LogScale = floor == -20;
        const QImage image = Render({1200, 600}, TGraphType::Cartesian, floor == -20);
        ExpectPatternColors(image);
        SaveTestPng(image, "views/cartesian_" + std::to_string(int(-floor)) + "dB.png");
        ink.push_back(CountIn(image, kBlue, QRect(0, 100, 600, 500)));
    }
    EXPECT_GT(ink[0], ink[1] * 11 / 10);
    EXPECT_GT(ink[1], ink[2] * 11 / 10);
}

// The H offset turns the left graph's curve, the V offset the right one's; the H cut choice
// changes the left graph of a tilted pattern.
TEST_F(SideBySideRender, OffsetsTurnTheCurvesAndTheHCutChoiceShows) {
    State.HCut = THCut::Horizontal;
    // Tall enough for the wrapped legend to hang between the graphs without moving them.
    const QSize size(1200, 740);
    const QPointF left(300, 370);
    const QPointF right(900, 370);
    const QImage straight = Render(size, TGraphType::Polar, false);
    Patterns[1]->HRotationOffset = 45;
    Patterns[1]->VRotationOffset = -10;
    Patterns[2]->FileName =
        "/data/VLM-PX1917-DualSlant-1900MHz-ElectricalTilt2-Measured-2025-03-14.vwa";
    const QImage turned = Render(size, TGraphType::Polar, false);
    ExpectPatternColors(turned);
    SaveTestPng(turned, "views/polar_horizontal_cut_turned_wrapped_legend.png");
    const auto turn = [](const QImage& from, const QImage& to, QPointF centre) {
        const double deg =
            CentroidDeg(to, kRed, centre, 270) - CentroidDeg(from, kRed, centre, 270);
        return std::remainder(deg, 360.0);
    };
    EXPECT_NEAR(std::abs(turn(straight, turned, left)), 45, 3);
    EXPECT_NEAR(std::abs(turn(straight, turned, right)), 10, 3);

    State.HCut = THCut::Azimuth;
    const QImage azimuth = Render(size, TGraphType::Polar, false);
    EXPECT_NE(azimuth.copy(0, 100, 600, 500), turned.copy(0, 100, 600, 500));
    EXPECT_EQ(azimuth.copy(600, 100, 600, 500), turned.copy(600, 100, 600, 500));
}

// One-pixel lines on plain images are our own line drawer's; on a non-premultiplied image
// they are Qt's. Over the whole view the two may differ only in antialiasing: wherever one
// picture has solid ink, the other has ink within a pixel.
TEST_F(SideBySideRender, OwnLinesLandWhereTheEnginesDo) {
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        const QImage own = Render({900, 500}, graphType, false);
        const QImage engine = Render({900, 500}, graphType, false, true, QImage::Format_ARGB32)
                                  .convertToFormat(QImage::Format_RGB32);
        const auto lightness = [](const QImage& image, int x, int y) {
            return QColor(image.pixel(x, y)).lightness();
        };
        const auto inkNear = [&](const QImage& image, int x, int y) {
            for (int n = 0; n < 9; ++n) {
                const int nx = x + n % 3 - 1;
                const int ny = y + n / 3 - 1;
                if (image.rect().contains(nx, ny) && lightness(image, nx, ny) < 250) return true;
            }
            return false;
        };
        int strays = 0;
        for (int y = 0; y < own.height(); ++y) {
            for (int x = 0; x < own.width(); ++x) {
                strays += lightness(own, x, y) < 160 && !inkNear(engine, x, y);
                strays += lightness(engine, x, y) < 160 && !inkNear(own, x, y);
            }
        }
        EXPECT_EQ(strays, 0) << (graphType == TGraphType::Polar ? "polar" : "cartesian");
        EXPECT_NE(own, engine) << "the lines were not drawn by our own drawer";
    }
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
    State.RadialFloorDb = -40;
    const QImage cartesian = Render({1600, 900}, TGraphType::Cartesian, false, false);
    EXPECT_TRUE(edgesAreWhite(cartesian));
    SaveTestPng(cartesian, "views/cartesian_1600x900.png");
    const QImage polar = Render({2560, 1100}, TGraphType::Polar, false, false);
    EXPECT_TRUE(edgesAreWhite(polar));
    SaveTestPng(polar, "views/polar_2560x1100.png");
}

// An area too small for a graph still names what it holds: the first pattern's legend line
// and the rest summed up, with no curve drawn over them; an odd size loses no curve.
TEST_F(SideBySideRender, TinyAreasSumUpAndOddAreasKeepEveryCurve) {
    const QImage tiny = Render({100, 60}, TGraphType::Polar, false);
    SaveTestPng(tiny, "views/tiny_polar.png");
    const QImage tinyCartesian = Render({100, 60}, TGraphType::Cartesian, false);
    SaveTestPng(tinyCartesian, "views/tiny_cartesian.png");
    for (const QImage* image : {&tiny, &tinyCartesian}) {
        EXPECT_GT(CountColor(*image, kBlue), 20) << "the first pattern's legend line";
        EXPECT_EQ(CountColor(*image, kRed), 0) << "no curve of the second pattern";
    }
    ExpectPatternColors(Render({801, 401}, TGraphType::Cartesian, false, false));
}

double DistanceToSegment(TRealPoint p, TRealPoint a, TRealPoint b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
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
    State.RadialFloorDb = -40;
    Patterns.resize(1);
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        const QSize size(900, 500);
        const QImage image = Render(size, graphType, false, false);
        TRecordingDrawer recorder(100, 100);
        TSideBySideDrawer view;
        view.View = State;
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
            if (graphType == TGraphType::Cartesian && OnCartesianFrame(recorder, p)) continue;
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
        int strays = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!isCurve(x, y)) continue;
                double nearest = 1e9;
                for (const auto& segment : segments) {
                    nearest = std::min(nearest, DistanceToSegment({double(x), double(y)},
                                                                  segment.first, segment.second));
                    if (nearest <= 1) break;
                }
                if (nearest > 1) {
                    ++strays;
                    ADD_FAILURE() << "stray curve pixel at " << x << ", " << y;
                }
            }
        }
        EXPECT_EQ(strays, 0) << (graphType == TGraphType::Polar ? "polar" : "cartesian");
    }
}

// Up to the density threshold the view is today's, pixel for pixel; one pattern more and
// the curves become one image whose colours count them: all of them where the beams meet
// at 0 dB, single ones where the widest and narrowest beams go their own way.
TEST_F(SideBySideRender, DensityTakesOverJustAboveTheThreshold) {
    Patterns.clear();
    const int count = 60;
    for (int i = 0; i < count; ++i) {
        const double width = 25 + 1.5 * i;
        Patterns.push_back(
            MadePattern([width](int a) { return -std::min(35.0, 12 * (a / width) * (a / width)); },
                        [i](int a) {
                            return -std::min(35.0, 12 * ((a - i % 9) / 9.0) * ((a - i % 9) / 9.0));
                        }));
        Patterns.back()->Id = i;
    }
    const auto argb = [](TColor color) {
        return qRgb(ColorRed(color), ColorGreen(color), ColorBlue(color));
    };
    const auto pixelsOf = [](const QImage& image, QRgb rgb) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
        }
        return n;
    };
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        State.DensityThreshold = 1000000;
        const QImage normal = Render({1200, 600}, graphType, false);
        State.DensityThreshold = count;
        EXPECT_EQ(Render({1200, 600}, graphType, false), normal);
        State.DensityThreshold = count - 1;
        const QImage density = Render({1200, 600}, graphType, false);
        EXPECT_GT(pixelsOf(density, argb(DensityColor(count, count))), 0) << "all curves";
        EXPECT_GT(pixelsOf(density, argb(DensityColor(1, count))), 20) << "single curves";
        EXPECT_EQ(CountIn(density, kBlue, QRect(0, 150, 1200, 450)), 0) << "no pattern colours";
        EXPECT_GT(CountIn(normal, kBlue, QRect(0, 150, 1200, 450)), 0);
        SaveTestPng(density, graphType == TGraphType::Polar ? "views/density_polar.png"
                                                            : "views/density_cartesian.png");
    }
}

}  // namespace
}  // namespace ostrel
