#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <functional>

#include "model/PatternData.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace ostrel {

// The in-place angle editor of the offset angles grid: a spin box over -180..180 that takes
// any text while the user types (a number beyond a limit is cut back to it at once), steps
// by one without wrapping, and reports Enter and the loss of focus as a commit. The wheel
// does nothing here, as over the rest of the grid.
class TAngleSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit TAngleSpinEdit(QWidget* parent = nullptr);

    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;

signals:
    void Committed();
    // Esc: the edit is dropped and the cell keeps its value.
    void Cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

// Draws the cells of the offset angles grid: alternating rows, edit-box edges around the
// angles, and file names broken between characters when they do not fit.
class TRotateCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// The offset angles dialog: lists the patterns with their horizontal and vertical offsets,
// lets the user edit the two angle columns in place and hands the edited angles back as one
// (horizontal, vertical) pair per pattern, at "&Apply" (the dialog stays open) or "&OK". It
// never writes to the patterns itself.
class TRotateDialog : public QDialog {
    Q_OBJECT

public:
    using TApplyEvent = std::function<void(TRotateDialog& sender)>;

    explicit TRotateDialog(QWidget* parent = nullptr);

    // The patterns to list (the model's selection itself); read only.
    void SetPatterns(const TPatternDataList* patterns) { FPatterns = patterns; }
    // Fills the grid, runs the dialog modally; true when closed with "&OK".
    bool Run();
    void FillGrid();
    // The pairs collected at the last "&Apply" or "&OK", in pattern order.
    const TRealPointList& Angles() const { return FAngles; }
    bool IsEditing() const { return FEditing; }

    // Called with the dialog after "&Apply" collected the angles.
    TApplyEvent OnApplyAngles;

    QTableWidget* Grid = nullptr;
    TAngleSpinEdit* AngleEditor = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* btnResetH = nullptr;
    QPushButton* btnResetV = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int PatternCount() const { return FPatterns ? FPatterns->Count() : 0; }
    void CollectAngles();
    void ResetColumn(int column);
    void OpenEditor(int row, int column);
    void PlaceEditor();
    void CommitEditor();
    void CancelEditor();

    const TPatternDataList* FPatterns = nullptr;
    TRealPointList FAngles;
    bool FEditing = false;
    QPersistentModelIndex FEditCell;  // the cell the editor writes to
};

}  // namespace ostrel
