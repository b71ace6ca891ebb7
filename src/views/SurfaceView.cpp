#include "views/SurfaceView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphs/PolarGraph.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kMinZoom = 0.2;
constexpr double kMaxZoom = 20;
// The axes reach a little beyond the 0 dB sphere so that their tips and labels show.
constexpr double kAxisLength = 1.25;
constexpr int kRingPoints = 72;
constexpr double kTitleFontSize = 13;
constexpr double kLabelFontSize = 11;
constexpr double kColorBarWidth = 16;
constexpr double kColorBarRoom = 84;  // bar, its labels and a margin
// The axes' tips reach this fraction of the plot's smaller side from the centre.
constexpr double kFillFactor = 0.45;

double Amplitude(double levelDb) {
    return std::pow(10.0, levelDb / 20);
}

// The camera: where the viewer is (towards the viewer), and the screen's right and up, in the
// pattern's frame: X the boresight, Y the left side (azimuth -90), Z up.
struct TCamera {
    double Cx, Cy, Cz;
    double Rx, Ry;
    double Ux, Uy, Uz;

    TCamera(double yawDeg, double pitchDeg) {
        const double cy = std::cos(yawDeg * kRadPerDeg), sy = std::sin(yawDeg * kRadPerDeg);
        const double cp = std::cos(pitchDeg * kRadPerDeg), sp = std::sin(pitchDeg * kRadPerDeg);
        Cx = cp * cy, Cy = cp * sy, Cz = sp;
        Rx = -sy, Ry = cy;
        Ux = -sp * cy, Uy = -sp * sy, Uz = cp;
    }
};

// Linear steps between the colours of a rainbow scale at t = 0, 1/4, .. 1.
TColor RampColor(double t) {
    static constexpr std::uint8_t kStops[5][3] = {
        {30, 60, 200}, {0, 190, 230}, {40, 190, 60}, {240, 220, 30}, {225, 30, 30}};
    t = std::clamp(t, 0.0, 1.0) * 4;
    const int i = std::min(static_cast<int>(t), 3);
    const double f = t - i;
    auto mix = [&](int c) {
        return static_cast<std::uint8_t>(
            RoundHalfEven(kStops[i][c] + (kStops[i + 1][c] - kStops[i][c]) * f));
    };
    return RgbColor(mix(0), mix(1), mix(2));
}

// The colour of a band (Shade / kShades) dimmed for the light step (Shade % kShades): from
// 55 % for a face seen edge-on to full for one facing the viewer.
TColor ShadeColor(int shade) {
    const int band = shade / TSurfaceView::kShades;
    const int light = shade % TSurfaceView::kShades;
    const TColor color = RampColor((band + 0.5) / TSurfaceView::kColorBands);
    const double factor = 0.55 + 0.45 * (light + 1) / TSurfaceView::kShades;
    auto dim = [factor](std::uint8_t channel) {
        return static_cast<std::uint8_t>(RoundHalfEven(channel * factor));
    };
    return RgbColor(dim(ColorRed(color)), dim(ColorGreen(color)), dim(ColorBlue(color)));
}

}  // namespace

void TSurfaceView::SetPattern(const TPatternData* pattern) {
    FPattern = pattern;
    Rebuild();
}

void TSurfaceView::SetSource(TSurfaceSource source) {
    if (static_cast<int>(source.Method) >= kSurfaceMethodCount) {
        source.Method = kDefaultSurfaceMethod;
    }
    FSource = source;
    Rebuild();
}

void TSurfaceView::SetComponent(TSphereComponent component) {
    FComponent = component;
    Rebuild();
}

bool TSurfaceView::ShowsMeasured() const {
    return FSource.Measured && FPattern && FPattern->Sphere;
}

TSphereComponent TSurfaceView::Component() const {
    return ShowsMeasured() && FPattern->Sphere->Has(FComponent) ? FComponent
                                                                : TSphereComponent::Total;
}

void TSurfaceView::SetStepDeg(int stepDeg) {
    if (!IsSurfaceStep(stepDeg)) return;
    FStepDeg = stepDeg;
    Rebuild();
}

void TSurfaceView::SetScaleMode(TScaleMode mode) {
    FScaleMode = mode;
    Rebuild();
}

void TSurfaceView::Turn(double yawDeg, double pitchDeg) {
    FYawDeg = std::remainder(FYawDeg + yawDeg, 360.0);
    FPitchDeg = std::clamp(FPitchDeg + pitchDeg, -90.0, 90.0);
}

void TSurfaceView::ZoomBy(double factor) {
    if (!(factor > 0)) return;
    FZoom = std::clamp(FZoom * factor, kMinZoom, kMaxZoom);
}

void TSurfaceView::Step(TStep step) {
    // A drag to the right lowers the yaw, a drag downwards raises the pitch.
    switch (step) {
        case stLeft:
            Turn(kKeyTurnDeg, 0);
            break;
        case stRight:
            Turn(-kKeyTurnDeg, 0);
            break;
        case stUp:
            Turn(0, -kKeyTurnDeg);
            break;
        case stDown:
            Turn(0, kKeyTurnDeg);
            break;
        case stZoomIn:
            ZoomBy(kZoomNotch);
            break;
        case stZoomOut:
            ZoomBy(1 / kZoomNotch);
            break;
    }
}

void TSurfaceView::Reset() {
    FYawDeg = kDefaultYawDeg;
    FPitchDeg = kDefaultPitchDeg;
    FZoom = 1;
}

double TSurfaceView::Floor() const {
    return ScaleFloor(FScaleMode);
}

double TSurfaceView::LevelRadius(double levelDb) const {
    const double floor = Floor();
    if (!(levelDb > floor)) return 0;
    if (FScaleMode == TScaleMode::Logarithmic) {
        const double floorAmplitude = Amplitude(floor);
        return (Amplitude(levelDb) - floorAmplitude) / (1 - floorAmplitude);
    }
    return (levelDb - floor) / -floor;
}

int TSurfaceView::BandOf(double radius) const {
    return std::clamp(static_cast<int>(radius * kColorBands), 0, kColorBands - 1);
}

TColor TSurfaceView::LevelColor(double levelDb) const {
    return RampColor((BandOf(LevelRadius(levelDb)) + 0.5) / kColorBands);
}

void TSurfaceView::Rebuild() {
    FVertices.clear();
    FFaces.clear();
    if (!FPattern) return;
    if (ShowsMeasured()) {
        FSurface.BuildMeasured(*FPattern->Sphere, FStepDeg, Component());
    } else {
        FSurface.Build(*FPattern, FStepDeg, FSource.Method);
    }
    const int rows = FSurface.Rows();
    const int columns = FSurface.Columns();
    // The offsets turn the surface as they turn the polar curves: the vertical one tilts the
    // boresight down, the horizontal one turns it clockwise seen from above. A measured
    // sphere turns as a whole with them, as the antenna would.
    const double tilt = FPattern->VRotationOffset * kRadPerDeg;
    const double turn = FPattern->HRotationOffset * kRadPerDeg;
    const double ct = std::cos(tilt), st = std::sin(tilt);
    const double ch = std::cos(turn), sh = std::sin(turn);
    std::vector<double> radii(FSurface.Levels().size());
    FVertices.resize(radii.size());
    for (int row = 0; row < rows; ++row) {
        const double elevation = -FSurface.VerticalDeg(row) * kRadPerDeg;
        for (int column = 0; column < columns; ++column) {
            const size_t index = static_cast<size_t>(row * columns + column);
            const double r = LevelRadius(FSurface.Levels()[index]);
            radii[index] = r;
            const double azimuth = FSurface.AzimuthDeg(column) * kRadPerDeg;
            const double x = r * std::cos(elevation) * std::cos(azimuth);
            const double y = -r * std::cos(elevation) * std::sin(azimuth);
            const double z = r * std::sin(elevation);
            const double xt = x * ct + z * st;
            const double zt = -x * st + z * ct;
            FVertices[index] = {xt * ch + y * sh, -xt * sh + y * ch, zt};
        }
    }
    for (int row = 0; row + 1 < rows; ++row) {
        for (int column = 0; column + 1 < columns; ++column) {
            const int corner = row * columns + column;
            const double r0 = radii[static_cast<size_t>(corner)];
            const double r1 = radii[static_cast<size_t>(corner + 1)];
            const double r2 = radii[static_cast<size_t>(corner + columns)];
            const double r3 = radii[static_cast<size_t>(corner + columns + 1)];
            if (r0 == 0 && r1 == 0 && r2 == 0 && r3 == 0) continue;
            // The outward normal is the cross product of the diagonal from the next row to
            // the next column with the diagonal across.
            const TVertex& p0 = FVertices[static_cast<size_t>(corner)];
            const TVertex& p1 = FVertices[static_cast<size_t>(corner + 1)];
            const TVertex& p2 = FVertices[static_cast<size_t>(corner + columns)];
            const TVertex& p3 = FVertices[static_cast<size_t>(corner + columns + 1)];
            const double ax = p3.X - p0.X, ay = p3.Y - p0.Y, az = p3.Z - p0.Z;
            const double bx = p1.X - p2.X, by = p1.Y - p2.Y, bz = p1.Z - p2.Z;
            const double nx = by * az - bz * ay, ny = bz * ax - bx * az, nz = bx * ay - by * ax;
            const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            TFace face{corner, BandOf((r0 + r1 + r2 + r3) / 4)};
            if (length > 0) {
                face.Nx = static_cast<float>(nx / length);
                face.Ny = static_cast<float>(ny / length);
                face.Nz = static_cast<float>(nz / length);
            }
            FFaces.push_back(face);
        }
    }
}

void TSurfaceView::Draw(TDrawer& drawer, const TRect& bounds) {
    FDrawnFaces = 0;
    drawer.SetBrush(clWhite, bsSolid);
    drawer.SetPen(clWhite, psClear, 1);
    drawer.FillRect(TRealRect{static_cast<double>(bounds.Left), static_cast<double>(bounds.Top),
                              static_cast<double>(bounds.Right),
                              static_cast<double>(bounds.Bottom)});
    const double titleHeight = kTitleFontSize * 1.6;
    const double plotLeft = bounds.Left;
    const double plotRight = std::max(plotLeft, bounds.Right - kColorBarRoom);
    const double plotTop = bounds.Top + titleHeight;
    const double plotBottom = std::max(plotTop, static_cast<double>(bounds.Bottom));
    const double cx = (plotLeft + plotRight) / 2;
    const double cy = (plotTop + plotBottom) / 2;
    const double scale =
        kFillFactor * std::min(plotRight - plotLeft, plotBottom - plotTop) * FZoom / kAxisLength;

    const TCamera camera(FYawDeg, FPitchDeg);
    auto project = [&](double x, double y, double z) {
        return TRealPoint{
            RoundHalfEven(cx + scale * (camera.Rx * x + camera.Ry * y)),
            RoundHalfEven(cy - scale * (camera.Ux * x + camera.Uy * y + camera.Uz * z))};
    };
    auto depthOf = [&](double x, double y, double z) {
        return camera.Cx * x + camera.Cy * y + camera.Cz * z;
    };

    // The horizon ring and the axes: what lies behind the centre before the surface, the
    // rest after it.
    auto drawRing = [&](bool front) {
        drawer.SetPen(clGray, psSolid, 1);
        TRealPointArray run;
        for (int i = 0; i <= kRingPoints; ++i) {
            const double a = 2 * std::numbers::pi * i / kRingPoints;
            const double x = std::cos(a), y = std::sin(a);
            if ((depthOf(x, y, 0) >= 0) == front) {
                run.push_back(project(x, y, 0));
            } else if (!run.empty()) {
                if (run.size() > 1) drawer.Polyline(run);
                run.clear();
            }
        }
        if (run.size() > 1) drawer.Polyline(run);
    };
    struct TAxis {
        double X, Y, Z;
        const char* Label;
    };
    static constexpr TAxis kAxes[] = {
        {1, 0, 0, "0\xC2\xB0"}, {0, -1, 0, "90\xC2\xB0"}, {0, 0, 1, "Up"}};
    drawRing(false);
    drawer.SetPen(clGray, psSolid, 1);
    for (const TAxis& axis : kAxes) {
        const TRealPoint from = project(0, 0, 0);
        const TRealPoint to = project(axis.X, axis.Y, axis.Z);
        drawer.Line(from.X, from.Y, to.X, to.Y);
    }

    const size_t count = FVertices.size();
    FScreen.resize(count);
    FDepth.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const TVertex& v = FVertices[i];
        FScreen[i] = project(v.X, v.Y, v.Z);
        FDepth[i] = depthOf(v.X, v.Y, v.Z);
    }
    const int columns = FSurface.Columns();
    FPlaced.clear();
    for (size_t f = 0; f < FFaces.size(); ++f) {
        const auto c = static_cast<size_t>(FFaces[f].Corner);
        const size_t right = c + 1;
        const size_t below = c + static_cast<size_t>(columns);
        const size_t across = below + 1;
        // Facing the viewer: the diagonals cross anticlockwise on the screen (Y down).
        const double ax = FScreen[across].X - FScreen[c].X;
        const double ay = FScreen[across].Y - FScreen[c].Y;
        const double bx = FScreen[right].X - FScreen[below].X;
        const double by = FScreen[right].Y - FScreen[below].Y;
        if (!(bx * ay - by * ax < 0)) continue;
        // Light from the viewer: a face turned towards the eye is brightest.
        const TFace& face = FFaces[f];
        const double facing = face.Nx * camera.Cx + face.Ny * camera.Cy + face.Nz * camera.Cz;
        const int light = face.Nx == 0 && face.Ny == 0 && face.Nz == 0
                              ? kShades - 1
                              : std::clamp(static_cast<int>(facing * kShades), 0, kShades - 1);
        FPlaced.push_back(
            {static_cast<float>(FDepth[c] + FDepth[right] + FDepth[below] + FDepth[across]),
             static_cast<int>(f), face.Band * kShades + light});
    }
    std::sort(FPlaced.begin(), FPlaced.end(),
              [](const TPlaced& a, const TPlaced& b) { return a.Depth < b.Depth; });
    // Faces of one colour that follow each other in depth order go to the drawer together:
    // one brush change and one call per run instead of per face.
    drawer.SetPen(clWhite, psClear, 1);
    int shade = -1;
    FRun.clear();
    auto flush = [&] {
        if (FRun.empty()) return;
        drawer.SetBrush(ShadeColor(shade), bsSolid);
        drawer.FillPolygons(FRun, 4);
        FRun.clear();
    };
    const auto stride = static_cast<size_t>(columns);
    for (const TPlaced& placed : FPlaced) {
        const TFace& face = FFaces[static_cast<size_t>(placed.Face)];
        if (placed.Shade != shade) {
            flush();
            shade = placed.Shade;
        }
        const auto c = static_cast<size_t>(face.Corner);
        FRun.push_back(FScreen[c]);
        FRun.push_back(FScreen[c + 1]);
        FRun.push_back(FScreen[c + stride + 1]);
        FRun.push_back(FScreen[c + stride]);
    }
    flush();
    FDrawnFaces = static_cast<int>(FPlaced.size());

    drawRing(true);
    drawer.SetPen(clBlack, psSolid, 1);
    // Labels on no background.
    drawer.SetBrush(clWhite, bsClear);
    drawer.SetFont("Arial", clBlack, 0, kLabelFontSize);
    for (const TAxis& axis : kAxes) {
        const TRealPoint from = project(axis.X, axis.Y, axis.Z);
        const TRealPoint to =
            project(axis.X * kAxisLength, axis.Y * kAxisLength, axis.Z * kAxisLength);
        drawer.Line(from.X, from.Y, to.X, to.Y);
        const TRealPoint label =
            project(axis.X * (kAxisLength + 0.08), axis.Y * (kAxisLength + 0.08),
                    axis.Z * (kAxisLength + 0.08));
        drawer.AlignedTextOut(axis.Label, taCenter, label.X, label.Y, taCenter);
    }
    // The title and the colour bar go over whatever a zoomed surface put under them, so
    // that nothing needs a clip (which SVG output would not keep).
    drawer.SetBrush(clWhite, bsSolid);
    drawer.SetPen(clWhite, psClear, 1);
    drawer.FillRect(TRealRect{static_cast<double>(bounds.Left), static_cast<double>(bounds.Top),
                              static_cast<double>(bounds.Right), plotTop});
    drawer.FillRect(TRealRect{plotRight, plotTop, static_cast<double>(bounds.Right),
                              static_cast<double>(bounds.Bottom)});
    drawer.SetFont("Arial", clBlack, 0, kTitleFontSize);
    if (FPattern) {
        std::string shown = SurfaceSourceText(*FPattern, FSource);
        if (ShowsMeasured() && Component() != TSphereComponent::Total) {
            shown += std::string(", ") + SphereComponentName(Component());
        }
        drawer.TextOut(DisplayName(*FPattern, true) + " - " + shown, bounds.Left + 6.0,
                       bounds.Top + 4.0);
    }
    DrawColorBar(drawer, TRealRect{plotRight + 8, plotTop + 16, plotRight + 8 + kColorBarWidth,
                                   plotBottom - 24});
}

void TSurfaceView::DrawColorBar(TDrawer& drawer, const TRealRect& bar) const {
    const double height = bar.Bottom - bar.Top;
    if (!(height > 0)) return;
    drawer.SetPen(clBlack, psClear, 1);
    for (int band = 0; band < kColorBands; ++band) {
        const double top = bar.Bottom - height * (band + 1) / kColorBands;
        const double bottom = bar.Bottom - height * band / kColorBands;
        drawer.SetBrush(RampColor((band + 0.5) / kColorBands), bsSolid);
        drawer.FillRect(TRealRect{bar.Left, RoundHalfEven(top), bar.Right, RoundHalfEven(bottom)});
    }
    drawer.SetPen(clGray, psSolid, 1);
    drawer.SetBrush(clWhite, bsClear);
    drawer.Rectangle(bar);
    std::vector<double> levels;
    if (FScaleMode == TScaleMode::Logarithmic) {
        levels = {0, -3, -6, -10, -20};
    } else {
        const double step = FScaleMode == TScaleMode::Range25Db ? 5 : 10;
        for (double level = 0; level >= Floor(); level -= step) levels.push_back(level);
    }
    drawer.SetFont("Arial", clBlack, 0, kLabelFontSize);
    for (double level : levels) {
        const double y = RoundHalfEven(bar.Bottom - height * LevelRadius(level));
        drawer.Line(bar.Right, y, bar.Right + 4, y);
        drawer.AlignedTextOut(FormatGeneral(level), taNear, bar.Right + 7, y, taCenter);
    }
    drawer.AlignedTextOut("dB", taNear, bar.Left, bar.Top - 4, taFar);
}

}  // namespace ostrel
