// The main window's view modes: graph type, H cut and scale, and the graph area's image
// on the clipboard.
#include "app/MainFrm.h"

#include <QLabel>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/PatternArea.h"
#include "dialogs/Surface3dFrm.h"
#include "graphs/PolarGraph.h"
#include "model/Settings.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"

namespace ostrel {

void TMainForm::SetGraphType(TGraphKind kind) {
    FGraphType = kind;
    ShowViewMode();
    mmiPolar->setChecked(kind == gkPolar);
    mmiCartesian->setChecked(kind == gkCartesian);
}

void TMainForm::SetHCut(bool azimuth) {
    GetSettings().FUseAzimuth = azimuth;
    FStatusPanels[2]->setText(azimuth ? "H Cut: Azimuth" : "H Cut: Horizontal");
    mmiAzimuth->setChecked(azimuth);
    mmiHorizontal->setChecked(!azimuth);
    if (FFigures) FFigures->OnHCutChanged(FModel->Selection);
    pbPattern->Invalidate();
}

void TMainForm::SetScaleMode(int mode) {
    if (mode < 0 || mode > 2) mode = 1;
    FScaleMode = mode;
    static const char* const kTexts[3] = {"Scale: -25 dB", "Scale: -40 dB", "Scale: Logarithmic"};
    GetSettings().FRadialFloor = ScaleFloor(static_cast<std::uint8_t>(mode));
    GetSettings().FLogScale = mode == 2;
    FStatusPanels[3]->setText(kTexts[mode]);
    mmi25dB->setChecked(mode == 0);
    mmi40dB->setChecked(mode == 1);
    mmiLogarithmic->setChecked(mode == 2);
    ShowViewMode();
    // The floor lives in the settings, which the area cannot watch.
    pbPattern->Invalidate();
}

void TMainForm::ShowViewMode() {
    pbPattern->SetView(FGraphType == gkPolar ? gtPolar : gtCartesian, FScaleMode == 2);
}

void TMainForm::CopyImage() {
    pbPattern->CopyImage();
}

}  // namespace ostrel
