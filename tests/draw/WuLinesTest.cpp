#include "draw/WuLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ostrel {
namespace {

double DistanceToPolyline(double x, double y, const TRealPointArray& points) {
    double nearest = 1e9;
    for (size_t i = 1; i < points.size(); ++i) {
        const TRealPoint a = points[i - 1];
        const TRealPoint b = points[i];
        const double dx = b.X - a.X;
        const double dy = b.Y - a.Y;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((x - a.X) * dx + (y - a.Y) * dy) / length2, 0.0, 1.0) : 0;
        nearest = std::min(nearest, std::hypot(x - (a.X + t * dx), y - (a.Y + t * dy)));
    }
    return nearest;
}

// Black polylines on white: the ink stays within a pixel of the line and inside the area,
// and every pixel column (row, for steep lines) the line crosses carries one pixel's worth
// of ink, split between neighbours but never doubled where segments meet.
TEST(WuLines, InkFollowsTheLineOnePixelPerStep) {
    struct TCase {
        const char* Name;
        TRealPointArray Points;
        bool Steep;
    };
    const TCase cases[] = {
        {"row through pixel centres", {{3.5, 7.5}, {30.5, 7.5}}, false},
        {"between two rows", {{3.5, 10.8}, {12.5, 10.8}, {30.5, 10.8}}, false},
        {"shallow, right to left", {{36.5, 4.5}, {2.5, 17.5}}, false},
        {"bent", {{2.5, 12.2}, {15.5, 5.7}, {37.5, 20.1}}, false},
        {"steep", {{20.5, 1.5}, {26.1, 28.5}}, true},
        {"clipped by the area", {{0.0, 15.3}, {40.0, 12.9}}, false},
    };
    constexpr int kWidth = 40;
    constexpr int kHeight = 30;
    for (const TCase& c : cases) {
        std::vector<std::uint32_t> pixels(kWidth * kHeight, 0xFFFFFFFF);
        TPixelArea area{pixels.data(), kWidth, 1, 1, kWidth - 1, kHeight - 1};
        DrawWuPolyline(area, c.Points.data(), c.Points.size(), 0xFF000000);
        const auto ink = [&](int x, int y) { return 255 - int(pixels[y * kWidth + x] & 0xFF); };
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (ink(x, y) == 0) continue;
                EXPECT_LE(DistanceToPolyline(x + 0.5, y + 0.5, c.Points), 1.0)
                    << c.Name << " at " << x << ", " << y;
                EXPECT_TRUE(x >= 1 && y >= 1 && x < kWidth - 1 && y < kHeight - 1)
                    << c.Name << " outside the area at " << x << ", " << y;
            }
        }
        // The steps strictly between the ends, inside the area.
        const double from = c.Steep ? c.Points.front().Y : c.Points.front().X;
        const double to = c.Steep ? c.Points.back().Y : c.Points.back().X;
        const int lo = std::max(1, int(std::min(from, to)) + 1);
        const int hi = std::min(c.Steep ? kHeight - 2 : kWidth - 2, int(std::max(from, to)) - 1);
        ASSERT_LT(lo, hi) << c.Name;
        for (int step = lo; step <= hi; ++step) {
            int sum = 0;
            for (int across = 0; across < (c.Steep ? kWidth : kHeight); ++across) {
                sum += c.Steep ? ink(across, step) : ink(step, across);
            }
            EXPECT_NEAR(sum, 255, 3) << c.Name << " step " << step;
        }
    }
}

// A point more than a pixel off the area would send the walk through nothing: refused
// before any pixel changes.
TEST(WuLines, PointsFarFromTheAreaAreRefused) {
    const TRealPointArray cases[] = {
        {{5.5, 5.5}, {1e6, 6.5}},
        {{5.5, 5.5}, {8.5, 5.5}, {-1.5, 6.0}},
        {{5.5, 5.5}, {5.5, 10.0 + 1.5}},
        {{5.5, 5.5}, {std::nan(""), 6.5}},
    };
    for (const TRealPointArray& points : cases) {
        std::vector<std::uint32_t> pixels(12 * 12, 0xFFFFFFFF);
        const TPixelArea area{pixels.data(), 12, 0, 0, 10, 10};
        EXPECT_FALSE(DrawWuPolyline(area, points.data(), points.size(), 0xFF000000));
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFF), 12 * 12);
    }
}

}  // namespace
}  // namespace ostrel
