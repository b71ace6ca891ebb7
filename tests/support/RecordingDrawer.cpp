#include "support/RecordingDrawer.h"

#include <cmath>

namespace ostrel {

TRecordingDrawer::TRecordingDrawer(double scaleX, double scaleY) {
    ScaleX = scaleX;
    ScaleY = scaleY;
}

TDrawCall& TRecordingDrawer::Record(const std::string& op, std::vector<double> args) {
    TDrawCall call;
    call.Op = op;
    call.Args = std::move(args);
    Calls.push_back(std::move(call));
    return Calls.back();
}

void TRecordingDrawer::SetFont(const std::string& name, TColor color, TFontStyles style,
                               double size) {
    FontName = name;
    FontColor = color;
    FontStyle = style;
    FontSize = size;
    TDrawCall& call = Record("SetFont", {size});
    call.Name = name;
    call.Color = color;
    call.Style = style;
}

void TRecordingDrawer::SetPen(TColor color, TPenStyle style, double width) {
    PenColor = color;
    PenStyle = style;
    PenWidth = width;
    TDrawCall& call = Record("SetPen", {width});
    call.Color = color;
    call.Style = style;
}

void TRecordingDrawer::SetBrush(TColor color, TBrushStyle style) {
    BrushColor = color;
    BrushStyle = style;
    TDrawCall& call = Record("SetBrush");
    call.Color = color;
    call.Style = style;
}

int TRecordingDrawer::DeviceTextHeight() const {
    return DeviceHeight(FontSize);
}

int TRecordingDrawer::DeviceTextWidth(const std::string& text) const {
    return static_cast<int>(
        std::lround(0.6 * DeviceTextHeight() * static_cast<double>(text.size())));
}

double TRecordingDrawer::TextHeight(const std::string&) {
    return WorldHeight(DeviceTextHeight());
}

double TRecordingDrawer::TextWidth(const std::string& text) {
    return WorldWidth(DeviceTextWidth(text));
}

double TRecordingDrawer::TextOut(const std::string& text, double x, double y) {
    TDrawCall& call = Record("TextOut", {x, y});
    call.Text = text;
    call.Color = FontColor;
    return y + FontSize;
}

double TRecordingDrawer::AlignedTextOut(const std::string& text, TTextAlign hAlign, double x,
                                        double y, TTextAlign vAlign) {
    const double width = DeviceTextWidth(text);
    const double height = DeviceTextHeight();
    double dx = 0;
    double dy = 0;
    if (hAlign == taCenter) dx = WorldWidth(width / 2);
    if (hAlign == taFar) dx = WorldWidth(width);
    if (vAlign == taCenter) dy = WorldHeight(height / 2);
    if (vAlign == taFar) dy = WorldHeight(height);
    TDrawCall& call =
        Record("AlignedTextOut", {x, y, static_cast<double>(hAlign), static_cast<double>(vAlign)});
    call.Text = text;
    call.Color = FontColor;
    return TextOut(text, x - dx, y - dy);
}

void TRecordingDrawer::VerticalTextOut(const std::string& text, TTextAlign hAlign, double x,
                                       double y, TTextAlign vAlign) {
    const double width = DeviceTextWidth(text);
    const double height = DeviceTextHeight();
    const double dx = vAlign == taCenter ? height / 2 : vAlign == taFar ? height : 0;
    const double dy = hAlign == taCenter ? width / 2 : hAlign == taFar ? width : 0;
    TDrawCall& call =
        Record("VerticalTextOut", {x, y, static_cast<double>(hAlign), static_cast<double>(vAlign)});
    call.Text = text;
    TextOut(text, x - WorldWidth(dx), y + WorldHeight(dy));
}

void TRecordingDrawer::MoveTo(double x, double y) {
    PenX = x;
    PenY = y;
    Record("MoveTo", {x, y});
}

void TRecordingDrawer::LineTo(double x, double y) {
    TDrawCall& call = Record("LineTo", {x, y});
    call.Color = PenColor;
    PenX = x;
    PenY = y;
}

void TRecordingDrawer::FillBar(TColor color, double x, double y, double width, double height) {
    TDrawCall& call = Record("FillBar", {x, y, width, height});
    call.Color = color;
}

void TRecordingDrawer::Rectangle(const TRealRect& r) {
    TDrawCall& call = Record("Rectangle", {r.Left, r.Top, r.Right, r.Bottom});
    call.Color = BrushColor;
    call.Style = BrushStyle;
}

void TRecordingDrawer::FillRect(const TRealRect& r) {
    TDrawCall& call = Record("FillRect", {r.Left, r.Top, r.Right, r.Bottom});
    call.Color = BrushColor;
    call.Style = BrushStyle;
}

void TRecordingDrawer::Ellipse(const TRealRect& r) {
    TDrawCall& call = Record("Ellipse", {r.Left, r.Top, r.Right, r.Bottom});
    call.Color = PenColor;
}

void TRecordingDrawer::DrawBitmap(const TRealRect& r, const TGraphic& graphic) {
    Record("DrawBitmap", {r.Left, r.Top, r.Right, r.Bottom, static_cast<double>(graphic.Width()),
                          static_cast<double>(graphic.Height())});
}

void TRecordingDrawer::StretchDraw(const TRealRect& r, const TGraphic& graphic) {
    Record("StretchDraw", {r.Left, r.Top, r.Right, r.Bottom, static_cast<double>(graphic.Width()),
                           static_cast<double>(graphic.Height())});
}

void TRecordingDrawer::Polyline(const TRealPointArray& points) {
    TDrawCall& call = Record("Polyline");
    call.Points = points;
    call.Color = PenColor;
    call.Style = PenStyle;
}

void TRecordingDrawer::Polygon(const TRealPointArray& points) {
    TDrawCall& call = Record("Polygon");
    call.Points = points;
    call.Color = BrushColor;
}

void TRecordingDrawer::PolyBezier(const TRealPointArray& points) {
    TDrawCall& call = Record("PolyBezier");
    call.Points = points;
    call.Color = PenColor;
}

void TRecordingDrawer::ApplyClip(const TRect* deviceRect) {
    if (deviceRect) {
        Record("SetClip",
               {static_cast<double>(deviceRect->Left), static_cast<double>(deviceRect->Top),
                static_cast<double>(deviceRect->Right), static_cast<double>(deviceRect->Bottom)});
    } else {
        Record("ResetClip");
    }
}

std::vector<TDrawCall> TRecordingDrawer::CallsOf(const std::string& op) const {
    std::vector<TDrawCall> result;
    for (const TDrawCall& call : Calls) {
        if (call.Op == op) result.push_back(call);
    }
    return result;
}

std::vector<std::string> TRecordingDrawer::Texts() const {
    std::vector<std::string> result;
    for (const TDrawCall& call : Calls) {
        if (call.Op == "TextOut") result.push_back(call.Text);
    }
    return result;
}

void TRecordingDrawer::SetTitle(const std::string& title) {
    TDeviceDrawer::SetTitle(title);
    Record("SetTitle").Text = title;
}

void TRecordingDrawer::BeginDoc() {
    Record("BeginDoc");
}

void TRecordingDrawer::EndDoc() {
    Record("EndDoc");
}

void TRecordingDrawer::NewPage() {
    Record("NewPage");
}

}  // namespace ostrel
