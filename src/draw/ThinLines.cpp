#include "draw/ThinLines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace ostrel {

namespace {

enum : int { kCapBegin = 1, kCapEnd = 2 };

thread_local std::uint64_t gPolylinesStroked = 0;

// Each 8-bit channel of x times a / 255, rounded, two channels per 64-bit lane.
std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
    std::uint64_t t = ((std::uint64_t{x} | (std::uint64_t{x} << 24)) & 0x00FF00FF00FF00FFULL) * a;
    t = (t + ((t >> 8) & 0x00FF00FF00FF00FFULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00FF00FF00FF00FFULL;
    return static_cast<std::uint32_t>(t) | static_cast<std::uint32_t>(t >> 24);
}

class TThinLine {
public:
    TThinLine(const TPixelSurface& surface, std::uint32_t color)
        : FSurface(surface), FOpaque((color >> 24) == 255) {
        for (std::uint32_t coverage = 0; coverage < 256; ++coverage) {
            FSource[coverage] = ByteMul(color, coverage);
        }
    }

    void Stroke(double rx1, double ry1, double rx2, double ry2, int caps) const;

private:
    // Inside the clip, or not at all: most segments lie wholly inside, and skip the test.
    template <bool kChecked>
    bool Inside(int x, int y) const {
        if constexpr (kChecked) {
            return x >= FSurface.ClipLeft && x <= FSurface.ClipRight && y >= FSurface.ClipTop &&
                   y <= FSurface.ClipBottom;
        }
        return true;
    }

    // No coverage leaves the pixel as it is, full coverage of an opaque colour replaces it;
    // both are what the blend gives, bit for bit, at a fraction of the cost.
    static void Blend(std::uint32_t* pixel, std::uint32_t coverage, std::uint32_t source,
                      bool opaqueFull) {
        if (coverage == 0) return;
        if (opaqueFull) {
            *pixel = source;
            return;
        }
        *pixel = source + ByteMul(*pixel, (~source) >> 24);
    }

    // The two pixels across the line at one step: `across` is the 16.16 position of the
    // upper (or left) one, its fraction the share of the lower (or right) one.
    template <bool kSteep, bool kChecked>
    void PlotPair(int along, int across, std::uint32_t share) const {
        const auto alpha = static_cast<std::uint32_t>(static_cast<std::uint8_t>(across >> 8));
        const int first = across >> 16;
        const std::uint32_t nearCoverage = (255 - alpha) * share >> 6;
        const std::uint32_t farCoverage = alpha * share >> 6;
        // Read before either pixel is written: a store through the pixel pointer could
        // otherwise be taken to change the table.
        const std::uint32_t nearSource = FSource[nearCoverage];
        const std::uint32_t farSource = FSource[farCoverage];
        const bool nearFull = nearCoverage == 255 && FOpaque;
        const bool farFull = farCoverage == 255 && FOpaque;
        const int nearX = kSteep ? first : along;
        const int nearY = kSteep ? along : first;
        const int farX = kSteep ? first + 1 : along;
        const int farY = kSteep ? along : first + 1;
        std::uint32_t* const pixels = FSurface.Pixels;
        const std::ptrdiff_t stride = FSurface.Stride;
        if (Inside<kChecked>(nearX, nearY)) {
            Blend(pixels + nearX + stride * nearY, nearCoverage, nearSource, nearFull);
        }
        if (Inside<kChecked>(farX, farY)) {
            Blend(pixels + farX + stride * farY, farCoverage, farSource, farFull);
        }
    }

    // Walks the major axis from a1 to a2 (26.6 fixed point, a1 <= a2) while the minor
    // coordinate starts at b1 and moves by `step` (16.16 per pixel).
    template <bool kSteep>
    void Walk(int a1, int b1, int a2, int step, int caps) const;
    template <bool kSteep, bool kChecked>
    void WalkPixels(int along, int last, int across, int step, int shareStart, int shareEnd) const {
        // Full pixels carry a share of 64/64 of 255; the ends the part of the pixel they
        // cover along the line.
        PlotPair<kSteep, kChecked>(along, across, static_cast<std::uint32_t>(shareStart));
        across += step;
        ++along;
        if constexpr (!kChecked) {
            // The full steps of a line inside the clip: the pixel pair's address follows the
            // walk instead of being worked out from both coordinates every time.
            std::uint32_t* const pixels = FSurface.Pixels;
            const std::ptrdiff_t stride = FSurface.Stride;
            const std::ptrdiff_t alongStep = kSteep ? stride : 1;
            const std::ptrdiff_t acrossStep = kSteep ? 1 : stride;
            std::uint32_t* line = pixels + along * alongStep;
            for (; along < last; ++along) {
                const auto alpha =
                    static_cast<std::uint32_t>(static_cast<std::uint8_t>(across >> 8));
                std::uint32_t* const nearPixel = line + (across >> 16) * acrossStep;
                const std::uint32_t nearSource = FSource[255 - alpha];
                const std::uint32_t farSource = FSource[alpha];
                Blend(nearPixel, 255 - alpha, nearSource, alpha == 0 && FOpaque);
                Blend(nearPixel + acrossStep, alpha, farSource, false);
                line += alongStep;
                across += step;
            }
        } else {
            for (; along < last; ++along) {
                PlotPair<kSteep, kChecked>(along, across, 64);
                across += step;
            }
        }
        if (shareEnd != 0) {
            PlotPair<kSteep, kChecked>(along, across, static_cast<std::uint32_t>(shareEnd));
        }
    }

    const TPixelSurface FSurface;
    const bool FOpaque;
    // The colour at every coverage, as the blend scales it.
    std::array<std::uint32_t, 256> FSource{};
};

// Walks the major axis from a1 to a2 (26.6 fixed point, a1 <= a2) while the minor
// coordinate starts at b1 and moves by `step` (16.16 per pixel).
template <bool kSteep>
void TThinLine::Walk(int a1, int b1, int a2, int step, int caps) const {
    int across = (b1 - 32) * (1 << 10);
    across -= (((a1 & 63) - 32) * step) >> 6;
    if ((caps & kCapBegin) != 0) {
        a1 -= 32;
        across -= step >> 1;
    }
    if ((caps & kCapEnd) != 0) a2 += 32;

    int along = a1 >> 6;
    const int last = a2 >> 6;
    int shareStart = 0;
    int shareEnd = 0;
    if (along == last) {
        shareStart = a2 - a1;
    } else {
        shareStart = 64 - (a1 & 63);
        shareEnd = a2 & 63;
    }
    // The pixels the walk can touch: along a1..a2, across between the two ends' pairs.
    const int acrossEnd = across + (last - along) * step;
    const int lowAcross = (std::min(across, acrossEnd) >> 16);
    const int highAcross = (std::max(across, acrossEnd) >> 16) + 1;
    const int lowX = kSteep ? lowAcross : along;
    const int highX = kSteep ? highAcross : last;
    const int lowY = kSteep ? along : lowAcross;
    const int highY = kSteep ? last : highAcross;
    if (lowX >= FSurface.ClipLeft && highX <= FSurface.ClipRight && lowY >= FSurface.ClipTop &&
        highY <= FSurface.ClipBottom) {
        WalkPixels<kSteep, false>(along, last, across, step, shareStart, shareEnd);
    } else {
        WalkPixels<kSteep, true>(along, last, across, step, shareStart, shareEnd);
    }
}

int SwapCaps(int caps) {
    return ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1);
}

// A / B in 16.16 fixed point, widened when A * 2^16 would not fit in an int.
int FixedDiv(int a, int b) {
    if (std::abs(a) > 0x7FFF) return static_cast<int>(static_cast<long long>(a) * (1 << 16) / b);
    return a * (1 << 16) / b;
}

int ToFixed26Dot6(double value) {
    return static_cast<int>(value * 64.);
}

void TThinLine::Stroke(double rx1, double ry1, double rx2, double ry2, int caps) const {
    const int x1 = ToFixed26Dot6(rx1);
    const int y1 = ToFixed26Dot6(ry1);
    const int x2 = ToFixed26Dot6(rx2);
    const int y2 = ToFixed26Dot6(ry2);
    // The major axis is walked upward, whichever end the line starts at.
    const auto walk = [&]<bool kSteep>(int a1, int b1, int a2, int b2) {
        const int step = FixedDiv(b2 - b1, a2 - a1);
        if (a1 > a2) {
            Walk<kSteep>(a2, b2, a1, step, SwapCaps(caps));
        } else {
            Walk<kSteep>(a1, b1, a2, step, caps);
        }
    };
    if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
        walk.template operator()<true>(y1, x1, y2, x2);
    } else if (x1 != x2) {
        // (A line of zero length draws nothing, caps or not.)
        walk.template operator()<false>(x1, y1, x2, y2);
    }
}

}  // namespace

void StrokeThinPolyline(const TPixelSurface& surface, const TRealPoint* points, size_t count,
                        std::uint32_t color, bool squareCaps) {
    if (count < 2 || surface.Pixels == nullptr) return;
    ++gPolylinesStroked;
    const TThinLine line(surface, color);
    const bool closed = points[0] == points[count - 1];
    const bool capped = squareCaps && !closed;
    for (size_t i = 1; i < count; ++i) {
        int caps = 0;
        if (capped && i == 1) caps |= kCapBegin;
        if (capped && i == count - 1) caps |= kCapEnd;
        line.Stroke(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, caps);
    }
}

namespace {

// De Casteljau at t = 1/2 on a curve stored end first (points[0] is the end, points[3] the
// start): afterwards points[3..6] hold the first half (start at 6) and points[0..3] the second.
void SplitCubic(TRealPoint* points) {
    constexpr double kHalf = .5;
    auto split = [points](double TRealPoint::*axis) {
        points[6].*axis = points[3].*axis;
        double c = points[1].*axis;
        const double d = points[2].*axis;
        double a = (points[0].*axis + c) * kHalf;
        double b = (points[3].*axis + d) * kHalf;
        points[1].*axis = a;
        points[5].*axis = b;
        c = (c + d) * kHalf;
        a = (a + c) * kHalf;
        b = (b + c) * kHalf;
        points[2].*axis = a;
        points[4].*axis = b;
        points[3].*axis = (a + b) * kHalf;
    };
    split(&TRealPoint::X);
    split(&TRealPoint::Y);
}

void FlattenCubicPart(TRealPoint* points, int level, TRealPointArray& out) {
    if (level > 0) {
        const double dx = points[3].X - points[0].X;
        const double dy = points[3].Y - points[0].Y;
        const double length = .25 * (std::fabs(dx) + std::fabs(dy));
        if (std::fabs(dx * (points[0].Y - points[2].Y) - dy * (points[0].X - points[2].X)) >=
                length ||
            std::fabs(dx * (points[0].Y - points[1].Y) - dy * (points[0].X - points[1].X)) >=
                length) {
            SplitCubic(points);
            FlattenCubicPart(points + 3, level - 1, out);
            FlattenCubicPart(points, level - 1, out);
            return;
        }
    }
    out.push_back(points[0]);
}

}  // namespace

void AppendFlattenedCubic(const TRealPoint& p1, const TRealPoint& p2, const TRealPoint& p3,
                          const TRealPoint& p4, TRealPointArray& points) {
    constexpr int kMaxSplits = 6;
    // Room for the deepest split: each level keeps three points of its first half.
    std::array<TRealPoint, 3 * kMaxSplits + 4> stack{};
    stack[3] = p1;
    stack[2] = p2;
    stack[1] = p3;
    stack[0] = p4;
    FlattenCubicPart(stack.data(), kMaxSplits, points);
}

std::uint64_t ThinPolylinesStroked() {
    return gPolylinesStroked;
}

}  // namespace ostrel
