// The main window's file table: sorting, the selection that becomes the model's, the
// splitter rule for the table height, and the window's saved place and columns.
#include "app/MainFrm.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
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

void TMainForm::RestorePlacement() {
    const std::optional<TWindowPlacement> saved = TWindowPlacement::Load(FIniPath);
    TWindowPlacement placement;
    if (saved) {
        placement = *saved;
        FTable->RestoreColumns(placement);
        FFigures->Columns().Restore(placement.HiddenColumns);
        FFigures->SetPanelWidth(placement.FiguresWidth);
    } else {
        placement.Left = x();
        placement.Top = y();
        placement.Width = width();
        placement.Height = height();
    }
    // Saved on a screen that is gone or larger than this one, or the default size on a small
    // screen: every edge of the window stays in reach.
    placement = PlacementOnScreens(placement, AvailableScreenAreas());
    setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    if (!saved) return;
    if (placement.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    if (TryTableHeight(placement.TableHeight)) {
        Splitter1->setSizes({FLastTableHeight, std::max(1, height() - FLastTableHeight)});
    }
}

void TMainForm::SavePlacement() const {
    TWindowPlacement placement;
    const QRect normal = normalGeometry();
    placement.Left = normal.left();
    placement.Top = normal.top();
    placement.Width = normal.width();
    placement.Height = normal.height();
    placement.Maximized = isMaximized();
    placement.TableHeight = Splitter1->sizes().value(0);
    FTable->SaveColumns(placement);
    placement.HiddenColumns = FFigures->Columns().Hidden();
    placement.FiguresWidth = FFigures->PanelWidth();
    // A window grown past its screen is not worth restoring at that size.
    PlacementOnScreens(placement, AvailableScreenAreas()).Save(FIniPath);
}

bool TMainForm::TryTableHeight(int height) {
    if (!SplitterAllowsTableHeight(height, frameGeometry().height())) return false;
    FLastTableHeight = height;
    return true;
}

}  // namespace ostrel
