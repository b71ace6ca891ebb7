#pragma once

#include <QWidget>

namespace ostrel {

// A panel framed by a two-pixel bevelled edge, sunken or raised, whose child widgets stay
// clear of the edge. Used for the progress panel over the file table.
class TvkEdgePanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Sunken READ Sunken WRITE SetSunken)
    Q_PROPERTY(bool DoubleBuffered READ DoubleBuffered WRITE SetDoubleBuffered)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)

public:
    // The width of the edge on every side, in pixels.
    static constexpr int kEdgeWidth = 2;

    explicit TvkEdgePanel(QWidget* parent = nullptr);

    bool Sunken() const { return FSunken; }
    void SetSunken(bool sunken);

    // Qt widgets are always painted through a back buffer; the flag is kept for the
    // callers that set it.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool doubleBuffered) { FDoubleBuffered = doubleBuffered; }

    // The background colour inside the edge.
    QColor Color() const;
    void SetColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FSunken = true;
    bool FDoubleBuffered = false;
};

}  // namespace ostrel
