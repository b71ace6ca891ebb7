#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QWidget>
#include <memory>
#include <vector>

#include "model/PatternData.h"
#include "views/SurfaceView.h"

class QComboBox;
class QPainter;
class QListWidget;
class QPushButton;

namespace ostrel {

// The 3D window of View 3D: one pattern at a time as a turnable surface (drag or arrow keys
// to turn, wheel or + and - to zoom, Esc closes), a list that picks the pattern when several were
// selected, what the surface shows (a measured sphere where the pattern has one, or an
// estimate from the cuts, each saying how far it falls from the measurement), the sphere's
// component where it has more than the total, the scale, Reset and Copy Image. Non-modal; keeps its
// own copies of the patterns, so closing them in the main window leaves it intact.
class TSurface3dForm : public QWidget {
    Q_OBJECT

public:
    explicit TSurface3dForm(QWidget* parent = nullptr);
    ~TSurface3dForm() override;

    // Copies the patterns (their cuts and offsets) and shows the first.
    void SetPatterns(const TPatternDataList& patterns);
    // Takes the offsets of the patterns with the same Id and turns the surface with them.
    void ApplyOffsets(const TPatternDataList& patterns);
    void SetScaleMode(TScaleMode mode);
    void ShowPattern(int index);
    void SetSource(TSurfaceSource source);
    void SetMethod(TSurfaceMethod method) { SetSource({false, method}); }
    void SetComponent(TSphereComponent component);

    // Turns the view as a drag by (dx, dy) pixels does.
    void DragBy(int dx, int dy);
    void ResetView();
    // SVG and PNG of the view at `size`, as Copy Image puts them on the clipboard. Drawing
    // changes the view: it fills the view's buffers and counts what it drew.
    QByteArray SvgImage(QSize size);
    QImage PngImage(QSize size);
    // Both images of the current view size on the clipboard.
    void CopyImage();

    int PatternCount() const { return static_cast<int>(FPatterns.size()); }
    const TSurfaceView& View() const { return *FView; }
    QWidget* PaintArea() const { return FPaintArea; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size);
    // Fills the source and component lists for the pattern shown and selects what it shows.
    void UpdateChoices();

    std::vector<std::unique_ptr<TPatternData>> FPatterns;
    std::unique_ptr<TSurfaceView> FView;
    QListWidget* lstPatterns = nullptr;
    QComboBox* cbMethod = nullptr;
    QComboBox* cbComponent = nullptr;
    std::vector<TSurfaceSource> FSources;       // cbMethod's items
    std::vector<TSphereComponent> FComponents;  // cbComponent's items
    QComboBox* cbScale = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnCopyImage = nullptr;
    QWidget* FPaintArea = nullptr;
};

// Opens a new 3D window over `parent` on copies of the patterns, with the main window's scale.
TSurface3dForm* OpenSurface3dWindow(QWidget* parent, const TPatternDataList& patterns,
                                    TScaleMode scaleMode);

}  // namespace ostrel
