#pragma once

#include <QDialog>

#include "draw/Drawer.h"
#include "model/PatternData.h"

class QPushButton;
class QTimer;

namespace ostrel {

class TvkEdgePanel;

// The animation window: shows the patterns one at a time as the polar side-by-side view,
// in blue and without a legend, moving to the next one four times a second while running,
// so that the eye catches how they differ.
class TAnimateForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFrameIntervalMs = 250;

    explicit TAnimateForm(QWidget* parent = nullptr);

    // Starts with no pattern on show and runs the window modally.
    int Run();

    // "&Start": shows the first pattern from the next tick on and starts a stopped
    // animation or stops a running one.
    void StartClick();
    // One timer tick: the next pattern, after the last the first again; redraws.
    void Tick();

    // Draws the current frame on a drawer in `bounds`.
    void DrawFrame(TDrawer& drawer, const TRect& bounds) const;

    int FrameIndex() const { return FFrameIndex; }
    bool IsRunning() const;
    QWidget* PaintArea() const { return pbAnimate; }

    // The patterns to show; refers to them, filled by the caller before Run.
    TPatternDataList Patterns{false};

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The panel follows the window on all four sides; the paint area fills it inside its edge.
    void LayoutPanel();

    int FFrameIndex = -1;
    QTimer* FTimer = nullptr;
    QPushButton* btnStart = nullptr;
    TvkEdgePanel* pnlAnimate = nullptr;
    QWidget* pbAnimate = nullptr;
};

}  // namespace ostrel
