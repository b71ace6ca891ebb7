#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw/Drawer.h"
#include "model/PatternData.h"
#include "model/PatternSurface.h"

namespace ostrel {

// What the 3D view draws: the pattern's measured sphere, or an estimate from its two cuts.
// A pattern without a sphere shows the estimate by Method whatever Measured says, so one
// choice serves a list of patterns of both kinds.
struct TSurfaceSource {
    bool Measured = true;
    TSurfaceMethod Method = kDefaultSurfaceMethod;
    friend bool operator==(const TSurfaceSource&, const TSurfaceSource&) = default;
};

// The sources a pattern offers, in the order the window lists them: the measured sphere
// first where there is one, then the estimates.
std::vector<TSurfaceSource> SurfaceSources(const TPatternData& pattern);
// The name of a source as the window lists it; an estimate of a pattern with a sphere says
// how far it falls from the measurement ("Horizontal + vertical cut: RMS 1.8 dB, max
// 12.3 dB").
std::string SurfaceSourceText(const TPatternData& pattern, TSurfaceSource source);
// The name of a sphere component ("Total", "Co-polar", "Cross-polar").
const char* SphereComponentName(TSphereComponent component);

// The 3D view of one pattern: the level grid drawn as a closed surface whose distance from
// the centre is the level above the floor of the scale mode (as on the polar graphs),
// coloured by level, with a colour bar, the three axes and the horizon ring at 0 dB.
// Orthographic projection; the faces that turn away are culled and the rest are painted
// back to front, so the view draws through any drawer (screen, SVG, printer) as vector art.
class TSurfaceView {
public:
    static constexpr double kDefaultYawDeg = 35;
    static constexpr double kDefaultPitchDeg = 25;
    static constexpr int kDefaultStepDeg = 2;
    static constexpr int kColorBands = 32;
    // Steps of the light on a face, brightest facing the viewer, so that the shape reads.
    static constexpr int kShades = 4;

    // The pattern shown (not owned; nullptr shows nothing) and how its grid is built. Any
    // change rebuilds the grid; the pattern's offsets are read then.
    void SetPattern(const TPatternData* pattern);
    void SetSource(TSurfaceSource source);
    // An estimate, even for a pattern with a sphere.
    void SetMethod(TSurfaceMethod method) { SetSource({false, method}); }
    // The component of the measured sphere shown; Total where the sphere lacks it.
    void SetComponent(TSphereComponent component);
    void SetStepDeg(int stepDeg);
    // The radial scale, as the main window's scale modes.
    void SetScaleMode(TScaleMode mode);
    // Reads the shown pattern again (its offsets changed).
    void Refresh() { Rebuild(); }

    // Turns the view: yaw about the vertical axis, pitch (kept within -90..90) about the
    // screen's horizontal axis.
    void Turn(double yawDeg, double pitchDeg);
    // Multiplies the zoom, kept within 0.2..20.
    void ZoomBy(double factor);
    // One step of the keyboard: the arrows turn the surface as a drag that way does, by
    // kKeyTurnDeg; zooming in or out is one notch of the wheel.
    enum TStep : std::uint8_t { stLeft, stRight, stUp, stDown, stZoomIn, stZoomOut };
    static constexpr double kKeyTurnDeg = 5;
    static constexpr double kZoomNotch = 1.1;
    void Step(TStep step);
    // The starting view.
    void Reset();

    void Draw(TDrawer& drawer, const TRect& bounds);

    const TPatternData* Pattern() const { return FPattern; }
    // The source as asked for, and whether the measured sphere is what is shown.
    TSurfaceSource Source() const { return FSource; }
    bool ShowsMeasured() const;
    // The estimate shown when the measured sphere is not.
    TSurfaceMethod Method() const { return FSource.Method; }
    // The component shown: Total unless the measured sphere is shown and has the one asked.
    TSphereComponent Component() const;
    TScaleMode ScaleMode() const { return FScaleMode; }
    const TPatternSurface& Surface() const { return FSurface; }
    double YawDeg() const { return FYawDeg; }
    double PitchDeg() const { return FPitchDeg; }
    double Zoom() const { return FZoom; }
    // Faces painted by the last Draw.
    int DrawnFaces() const { return FDrawnFaces; }

    // Distance from the centre, as a fraction of the 0 dB radius, of a level in dB.
    double LevelRadius(double levelDb) const;
    // The colour of a level's band: blue at the floor through green and yellow to red at 0 dB.
    TColor LevelColor(double levelDb) const;

private:
    struct TVertex {
        double X = 0;
        double Y = 0;
        double Z = 0;
    };
    struct TFace {
        int Corner = 0;  // index of the vertex at (row, column); the others follow
        int Band = 0;
        // Unit outward normal; zero for a face collapsed to a line.
        float Nx = 0, Ny = 0, Nz = 0;
    };
    struct TPlaced {
        float Depth = 0;
        int Face = 0;
        int Shade = 0;  // band and lighting: Band * kShades + light step
    };

    void Rebuild();
    int BandOf(double radius) const;
    double Floor() const;
    void DrawColorBar(TDrawer& drawer, const TRealRect& bar) const;

    const TPatternData* FPattern = nullptr;
    TSurfaceSource FSource;
    TSphereComponent FComponent = TSphereComponent::Total;
    TScaleMode FScaleMode = TScaleMode::Range40Db;
    int FStepDeg = kDefaultStepDeg;
    double FYawDeg = kDefaultYawDeg;
    double FPitchDeg = kDefaultPitchDeg;
    double FZoom = 1;
    int FDrawnFaces = 0;
    TPatternSurface FSurface;
    std::vector<TVertex> FVertices;  // grid order, offsets applied
    std::vector<TFace> FFaces;       // faces not collapsed into the centre
    // Per-frame scratch, kept to avoid allocating on every turn.
    std::vector<TRealPoint> FScreen;
    std::vector<double> FDepth;
    std::vector<TPlaced> FPlaced;
    TRealPointArray FRun;
};

}  // namespace ostrel
