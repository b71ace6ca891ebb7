#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "model/DerivedPatterns.h"

class QCheckBox;
class QLabel;
class QPainter;
class QPushButton;
class QTableWidget;

namespace ostrel {

// Pattern > Compare: how a pattern B differs from the reference A, per cut and angle, as
// stacked difference graphs and a table of statistics, with "Relative" (gains left out), Swap
// (B becomes the reference), Copy Image (SVG and PNG) and Copy (the differences as a
// tab-separated table). Non-modal. It reads the two patterns of the main model as they are:
// the main window has it computed again when they change and closes it when one goes.
class TCompareForm : public QWidget {
    Q_OBJECT

public:
    // `a` and `b` are the main model's and must stay until the window closes.
    TCompareForm(QWidget* parent, const TPatternData& a, const TPatternData& b);

    // Computes the comparison again from the patterns as they are now. A comparison with the
    // gains that the patterns cannot give (a pattern without a gain) falls back to the
    // relative one and says why; returns the computation's reason when neither can be made
    // (the window then shows nothing), "" otherwise.
    std::string Recompute();
    // Whether the window compares this pattern.
    bool Refers(const TPatternData& pattern) const { return FA == &pattern || FB == &pattern; }
    void SetRelative(bool relative);
    // B becomes the reference.
    void Swap();
    void CopyImage();
    // The differences as text on the clipboard.
    void CopyText();

    const TPatternComparison& Comparison() const { return FComparison; }
    const TPatternData& Reference() const { return *FA; }
    // What the window says above the graphs about the gains ("" when nothing).
    QString Notice() const;
    QByteArray SvgImage(QSize size);
    QImage PngImage(QSize size);
    QWidget* PaintArea() const { return FPaintArea; }

    QCheckBox* chkRelative = nullptr;
    QPushButton* btnSwap = nullptr;
    QPushButton* btnCopyImage = nullptr;
    QPushButton* btnCopy = nullptr;
    QTableWidget* tblStatistics = nullptr;

private:
    void Paint(QPainter& painter, QSize size) const;
    void FillStatistics();
    void ShowNames();

    const TPatternData* FA;
    const TPatternData* FB;
    bool FRelativeAsked = false;
    TPatternComparison FComparison;
    bool FValid = false;
    QLabel* lblNotice = nullptr;
    QWidget* FPaintArea = nullptr;
};

}  // namespace ostrel
