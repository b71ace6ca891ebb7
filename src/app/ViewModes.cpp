// The main window's view modes: graph type, H cut and scale, and the graph area's image
// on the clipboard.
#include "app/MainFrm.h"

#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTableDelegate.h"
#include "app/FileTableModel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "graphs/PolarGraph.h"
#include "model/Errors.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasDrawer.h"
#include "qtdraw/CanvasPainter.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/EdgePanel.h"

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
