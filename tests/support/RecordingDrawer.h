#pragma once

#include <string>
#include <vector>

#include "draw/Drawer.h"

namespace ostrel {

// One recorded drawing call. `Args` holds the numeric arguments in call order (world
// units as passed), `Points` the points of polylines, polygons and Béziers.
struct TDrawCall {
    std::string Op;
    std::vector<double> Args;
    std::string Text;
    TRealPointArray Points;
    TColor Color = 0;
    int Style = 0;
    std::string Name;
};

// A drawer for tests: records every call with its arguments and measures text with simple
// deterministic metrics (each character is 0.6 of the font's cell height wide in device
// units, rounded; a text is one cell high). Scale 100 by default: world units are pixels.
// As a paged drawer it also records the document calls (SetTitle, BeginDoc, NewPage,
// EndDoc), so the printed pages can be checked page by page.
class TRecordingDrawer : public TDeviceDrawer {
public:
    using TDrawer::PolyBezier;
    using TDrawer::Polygon;
    using TDrawer::Polyline;

    explicit TRecordingDrawer(double scaleX = 100, double scaleY = 100);

    void SetFont(const std::string& name, TColor color, TFontStyles style, double size) override;
    void SetPen(TColor color, TPenStyle style, double width) override;
    void SetBrush(TColor color, TBrushStyle style) override;
    double TextHeight(const std::string& text) override;
    double TextWidth(const std::string& text) override;
    double TextOut(const std::string& text, double x, double y) override;
    double AlignedTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                          TTextAlign vAlign) override;
    void VerticalTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                         TTextAlign vAlign) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillBar(TColor color, double x, double y, double width, double height) override;
    void Rectangle(const TRealRect& rect) override;
    void FillRect(const TRealRect& rect) override;
    void Ellipse(const TRealRect& rect) override;
    void DrawBitmap(const TRealRect& rect, const TGraphic& graphic) override;
    void StretchDraw(const TRealRect& rect, const TGraphic& graphic) override;
    void Polyline(const TRealPointArray& points) override;
    void Polygon(const TRealPointArray& points) override;
    void PolyBezier(const TRealPointArray& points) override;
    void SetTitle(const std::string& title) override;
    void BeginDoc() override;
    void EndDoc() override;
    void NewPage() override;

    // Text extent in device units under the deterministic metrics.
    int DeviceTextWidth(const std::string& text) const;
    int DeviceTextHeight() const;

    // The recorded calls, optionally only those of one operation.
    std::vector<TDrawCall> CallsOf(const std::string& op) const;
    std::vector<std::string> Texts() const;

    std::vector<TDrawCall> Calls;
    // Current state, so tests can ask what a call was drawn with.
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    double PenWidth = 1;
    TColor BrushColor = 0xFFFFFF;
    TBrushStyle BrushStyle = bsSolid;
    std::string FontName;
    TColor FontColor = 0;
    TFontStyles FontStyle = 0;
    double PenX = 0;
    double PenY = 0;

protected:
    void ApplyClip(const TRect* deviceRect) override;

private:
    TDrawCall& Record(const std::string& op, std::vector<double> args = {});
};

}  // namespace ostrel
