#pragma once

#include <QImage>
#include <QWidget>

#include "model/PatternData.h"
#include "views/SideBySide.h"

class QPainter;

namespace ostrel {

// The graph area of the main window: the selected patterns side by side. The painted
// picture is kept, so that a repaint with nothing changed (an expose, a dialog moved over
// the graphs, a focus change) only copies it to the screen; whatever changes the picture
// (the selection, the view mode, offsets, settings) calls Invalidate. A new size or
// device pixel ratio paints afresh by itself.
class TPatternArea : public QWidget {
    Q_OBJECT

public:
    // `selection` is the main model's selection, which outlives the area.
    TPatternArea(QWidget* parent, const TPatternDataList& selection);

    // The graph type and the radial scale of the polar graphs on screen.
    void SetView(TGraphType graphType, bool logScale);
    // Drops the kept picture and schedules a repaint.
    void Invalidate();

    // The view of the selection in a painter of that size; the clipboard's picture has no
    // legend and always the linear scale.
    void PaintPatterns(QPainter& painter, QSize size, bool forClipboard) const;
    // Puts the graph area on the clipboard: SVG, with a PNG of the same picture beside it.
    void CopyImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TPatternDataList& FSelection;
    TGraphType FGraphType = TGraphType::Polar;
    bool FLogScale = false;
    QImage FPicture;
    bool FPictureValid = false;
};

}  // namespace ostrel
