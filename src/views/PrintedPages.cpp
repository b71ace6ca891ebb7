#include "views/PrintedPages.h"

#include "graphs/LineGraph.h"
#include "graphs/PolarGraph.h"

namespace ostrel {

namespace {

// Footer frame, in 1/100 inch from the sheet's corner.
constexpr double kFrameLeft = 37.5;
constexpr double kFrameRight = 812.5;
constexpr double kFrameTop = 1000;
constexpr double kFrameBottom = 1060;
constexpr double kCellWidth = 200;
constexpr double kLogoInset = 5;
constexpr double kLogoShrink = 10;

// Header table of the single page.
constexpr double kLabelX = 50;
constexpr double kValueX = 160;
constexpr double kTableTop = 75;
constexpr double kTableFontSize = 15;
constexpr double kRowGap = 4;

// Graphs of the single page.
constexpr double kPolarRadius = 175;
constexpr double kGraphCenterX = 425;
constexpr double kPolarHorizontalY = 325;
constexpr double kPolarVerticalY = 750;
constexpr double kCartesianHorizontalY = 375;
constexpr double kCartesianVerticalY = 750;
constexpr double kCartesianHeight = 300;
constexpr double kCartesianAspect = 1.5;

// The overlaid page.
constexpr TRect kOverlayBounds{35, 100, 815, 500};
constexpr TRealPoint kOverlayLegendOrigin{75, 550};

}  // namespace

void DrawLogo(TDrawer& drawer, const TRealRect& box, const TGraphic& logo) {
    const double top = box.Top + kLogoShrink;
    const double bottom = box.Bottom - kLogoShrink;
    const double boxWidth = box.Right - box.Left;
    const double boxHeight = bottom - top;
    const double w = logo.Width();
    const double h = logo.Height();
    if (!(w > 0 && h > 0)) return;
    double drawnWidth = boxWidth;
    double drawnHeight = boxWidth * h / w;
    if (drawnHeight > boxHeight) {
        drawnHeight = boxHeight;
        drawnWidth = boxHeight * w / h;
    }
    const double left = box.Left + (boxWidth - drawnWidth) / 2;
    const double drawnTop = top + (boxHeight - drawnHeight) / 2;
    drawer.DrawBitmap(TRealRect{left, drawnTop, left + drawnWidth, drawnTop + drawnHeight}, logo);
}

void TPageBorder::Draw() {
    if (!Drawer) return;
    TDrawer& d = *Drawer;
    d.SetPen(clGray, psSolid, 1.0);
    d.SetBrush(clWhite, bsClear);
    d.Rectangle(TRealRect{kFrameLeft, kFrameTop, kFrameRight, kFrameBottom});
    const double leftCellRight = kFrameLeft + kCellWidth;
    const double rightCellLeft = kFrameRight - kCellWidth;
    d.Line(leftCellRight, kFrameTop, leftCellRight, kFrameBottom);
    d.Line(rightCellLeft, kFrameTop, rightCellLeft, kFrameBottom);
    const double middle = (kFrameTop + kFrameBottom) / 2;
    d.Line(kFrameLeft, middle, leftCellRight, middle);
    if (Logo) {
        DrawLogo(d,
                 TRealRect{rightCellLeft, kFrameTop + kLogoInset, kFrameRight,
                           kFrameBottom - kLogoInset},
                 *Logo);
    }
}

void TPatternDataPage::Draw() {
    if (!Drawer || !Pattern) return;
    TPageBorder border;
    border.Drawer = Drawer;
    border.Logo = Logo;
    border.Draw();
    DrawHeaderTable();
    if (GraphType == TGraphType::Polar) {
        DrawPolarGraphs();
    } else {
        DrawCartesianGraphs();
    }
}

void TPatternDataPage::DrawHeaderTable() {
    const TPatternData& p = *Pattern;
    const std::pair<const char*, std::string> rows[] = {
        {"FileName", DisplayName(p, true)},
        {"Freq (MHz)", p.Frequency.DisplayText()},
        {"Gain dBi (dBd)", GainText(p)},
        {"Horz. Width", p.HorzWidth.DisplayText()},
        {"Vert. Width", p.VertWidth.DisplayText()},
    };
    double y = kTableTop;
    for (const auto& [label, value] : rows) {
        Drawer->SetFont("Arial", clBlack, fsBold, kTableFontSize);
        Drawer->TextOut(std::string(label) + ":", kLabelX, y);
        Drawer->SetFont("Arial", clBlack, 0, kTableFontSize);
        y = Drawer->TextOut(value, kValueX, y) + kRowGap;
    }
}

void TPatternDataPage::DrawPolarGraphs() {
    TPolarGraph horizontal(true);
    TPolarGraph vertical(true);
    ConfigurePatternPolarGraph(horizontal, Drawer, kGraphCenterX, kPolarHorizontalY, kPolarRadius,
                               View.RadialFloorDb, View.LogScale);
    ConfigurePatternPolarGraph(vertical, Drawer, kGraphCenterX, kPolarVerticalY, kPolarRadius,
                               View.RadialFloorDb, View.LogScale);
    vertical.SetZeroPosition(zpRight);
    horizontal.Series->Add(MakeHorizontalSeries(*Pattern, clBlue, View.HCut));
    vertical.Series->Add(MakeVerticalSeries(*Pattern, clBlue));
    horizontal.Draw();
    vertical.Draw();
}

void TPatternDataPage::DrawCartesianGraphs() {
    TDatasetRectGraph graph(true);
    graph.Drawer = Drawer;
    graph.FitToRect = false;
    graph.AspectRatio = kCartesianAspect;
    graph.SetAnchor(gaCenter);
    graph.SetHeight(kCartesianHeight);
    graph.SetWidth(kCartesianAspect * kCartesianHeight);
    graph.SetXMin(-180);
    graph.SetXMax(180);
    graph.SetYMin(View.RadialFloorDb);
    graph.SetYMax(0);
    graph.Font.Color = clGray;
    graph.LogScale = View.LogScale;
    graph.SetPosition(kGraphCenterX, kCartesianHorizontalY);
    graph.Series->Add(MakeHorizontalSeries(*Pattern, clBlue, View.HCut));
    graph.Draw();
    graph.SetPosition(kGraphCenterX, kCartesianVerticalY);
    graph.Series->Clear();
    graph.Series->Add(MakeVerticalSeries(*Pattern, clBlue));
    graph.Draw();
}

void TOverlayedPatternPage::Draw() {
    if (!Drawer) return;
    TPageBorder border;
    border.Drawer = Drawer;
    border.Logo = Logo;
    border.Draw();
    TSideBySideDrawer view;
    view.Drawer = Drawer;
    view.Bounds = kOverlayBounds;
    view.Patterns.CopyFrom(Patterns);
    view.LegendFontSize = 14;
    view.LegendAutoPlace = false;
    view.LegendOrigin = kOverlayLegendOrigin;
    view.LegendMaxWidth = 400;
    view.LegendMaxBottom = kFrameTop - 4;
    view.LegendAlign = 0;
    view.GraphType = GraphType;
    view.View = View;
    view.Draw();
}

TPatternDataPagePrinter::TPatternDataPagePrinter(TDrawerFactory createDrawer, const TGraphic* logo)
    : FCreateDrawer(std::move(createDrawer)), FLogo(logo) {}

void TPatternDataPagePrinter::Print() {
    if (!FCreateDrawer || Patterns.Count() == 0) return;
    const std::unique_ptr<TDeviceDrawer> drawer = FCreateDrawer();
    if (!drawer) return;
    struct TJobScope {
        TDeviceDrawer*& Drawer;
        ~TJobScope() { Drawer = nullptr; }
    } scope{Drawer};
    Drawer = drawer.get();
    Drawer->SetTitle(DisplayName(Patterns.Items(0), false));
    Drawer->BeginDoc();
    try {
        PrintPages();
    } catch (...) {
        // The page's failure is the one the user needs to hear about; the job is closed
        // all the same, and a second failure while closing it adds nothing.
        try {
            Drawer->EndDoc();
        } catch (...) {
        }
        throw;
    }
    Drawer->EndDoc();
}

void TPatternDataPagePrinter::PrintPages() {
    switch (PrintMode) {
        case TPrintMode::Overlay:
            PrintOverlayedPage();
            break;
        case TPrintMode::Single:
            PrintSinglePages();
            break;
        case TPrintMode::Both:
            PrintOverlayedPage();
            Drawer->NewPage();
            PrintSinglePages();
            break;
    }
}

void TPatternDataPagePrinter::PrintOverlayedPage() {
    TOverlayedPatternPage page;
    page.Drawer = Drawer;
    page.Logo = FLogo;
    page.Patterns.CopyFrom(Patterns);
    page.SetGraphType(GraphType);
    page.View = View;
    page.Draw();
}

void TPatternDataPagePrinter::PrintSinglePages() {
    for (int i = 0; i < Patterns.Count(); ++i) {
        TPatternDataPage page;
        page.Drawer = Drawer;
        page.Logo = FLogo;
        page.Pattern = &Patterns.Items(i);
        page.SetGraphType(GraphType);
        page.View = View;
        page.Draw();
        if (i + 1 < Patterns.Count()) Drawer->NewPage();
    }
}

}  // namespace ostrel
