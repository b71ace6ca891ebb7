#include "app/WindowGeometry.h"

#include <QEvent>
#include <QMainWindow>
#include <QSplitter>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/FigureCommands.h"
#include "app/FileTablePanel.h"
#include "app/ScreenAreas.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"

namespace ostrel {

namespace {

constexpr int kMinOuterWidth = 640;
constexpr int kMinOuterHeight = 580;

}  // namespace

TWindowGeometry::TWindowGeometry(QMainWindow& window, QSplitter& splitter, TFileTablePanel& table,
                                 TFigureCommands& figures, std::string iniPath)
    : QObject(&window),
      FWindow(window),
      FSplitter(splitter),
      FTable(table),
      FFigures(figures),
      FIniPath(std::move(iniPath)) {
    connect(&splitter, &QSplitter::splitterMoved, this, [this] {
        if (!TryTableHeight(FSplitter.sizes().value(0))) {
            const QList<int> sizes = FSplitter.sizes();
            const int total = sizes.value(0) + sizes.value(1);
            FSplitter.setSizes({FLastTableHeight, total - FLastTableHeight});
        }
    });
    window.installEventFilter(this);
}

void TWindowGeometry::Restore() {
    const std::optional<TWindowPlacement> saved = TWindowPlacement::Load(FIniPath);
    TWindowPlacement placement;
    if (saved) {
        placement = *saved;
        FTable.RestoreColumns(placement);
        FFigures.SetPanelWidth(placement.FiguresWidth);
    } else {
        placement.Left = FWindow.x();
        placement.Top = FWindow.y();
        placement.Width = FWindow.width();
        placement.Height = FWindow.height();
    }
    // Saved on a screen that is gone or larger than this one, or the default size on a small
    // screen: every edge of the window stays in reach.
    placement = PlacementOnScreens(placement, AvailableScreenAreas());
    FWindow.setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    if (!saved) return;
    if (placement.Maximized) FWindow.setWindowState(FWindow.windowState() | Qt::WindowMaximized);
    if (TryTableHeight(placement.TableHeight)) {
        FSplitter.setSizes({FLastTableHeight, std::max(1, FWindow.height() - FLastTableHeight)});
    }
}

void TWindowGeometry::Save() const {
    if (!FWasShown) return;
    TWindowPlacement placement;
    const QRect normal = FWindow.normalGeometry();
    placement.Left = normal.left();
    placement.Top = normal.top();
    placement.Width = normal.width();
    placement.Height = normal.height();
    placement.Maximized = FWindow.isMaximized();
    placement.TableHeight = FSplitter.sizes().value(0);
    FTable.SaveColumns(placement);
    placement.FiguresWidth = FFigures.PanelWidth();
    // A window grown past its screen is not worth restoring at that size.
    PlacementOnScreens(placement, AvailableScreenAreas()).Save(FIniPath);
}

bool TWindowGeometry::TryTableHeight(int height) {
    if (!SplitterAllowsTableHeight(height, FWindow.frameGeometry().height())) return false;
    FLastTableHeight = height;
    return true;
}

bool TWindowGeometry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &FWindow) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show) FWasShown = true;
        if (type == QEvent::Show || type == QEvent::Resize || type == QEvent::Move) {
            ApplyMinimumOuterSize();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TWindowGeometry::ApplyMinimumOuterSize() {
    // The outer size (with the frame the window manager draws) is what may not shrink below
    // 640 x 580; the frame is measured, since it differs between window managers and themes.
    if (!FWindow.isVisible()) return;
    const QSize outer = FWindow.frameGeometry().size();
    const TWindowSize minimum =
        MinimumClientSize({outer.width(), outer.height()}, {FWindow.width(), FWindow.height()},
                          {kMinOuterWidth, kMinOuterHeight}, AvailableScreenSize(FWindow));
    if (FWindow.minimumSize() != QSize(minimum.Width, minimum.Height)) {
        FWindow.setMinimumSize(minimum.Width, minimum.Height);
    }
}

}  // namespace ostrel
