#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QTreeView;

namespace ostrel {

class TFileTableModel;

// The filter bar above the file table: a text of terms (see TPatternFilter) that hides the
// rows it does not match, the count of shown rows ("312 of 20,000"), and a red message for
// a text it cannot read (the table then keeps the last filter that could be read). Ctrl+F
// puts the cursor into it, Esc clears it. The selection keeps the rows still shown.
class TFilterBar : public QWidget {
    Q_OBJECT

public:
    // `selectionReplaced` is called after the filter changed what rows are shown, for the
    // window to take the table's selection again.
    TFilterBar(QWidget* parent, QTreeView& view, TFileTableModel& table,
               std::function<void()> selectionReplaced);

    void SetText(const QString& text);
    QString Text() const;
    QString CountText() const;
    QString ErrorText() const { return FError; }
    QLineEdit* Edit() const { return FEdit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Apply(const QString& text);
    void UpdateCount();

    QTreeView& FView;
    TFileTableModel& FTable;
    std::function<void()> FSelectionReplaced;
    QLineEdit* FEdit = nullptr;
    QLabel* FCount = nullptr;
    QString FError;
};

}  // namespace ostrel
