#pragma once

#include <QDockWidget>
#include <string>
#include <vector>

class QTableView;

namespace ostrel {

class TPatternData;

// The "Figures" dock: every computed figure of the selected patterns side by side, one column
// per pattern, with a button (and Ctrl+C) that copies the grid as tab-separated text.
class TFiguresPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit TFiguresPanel(QWidget* parent = nullptr);

    // Shows these patterns' figures; call again when the selection or the H cut changes.
    void SetPatterns(const std::vector<const TPatternData*>& patterns);
    // The grid as the copy button puts it on the clipboard.
    QString CopyText() const;
    void CopyToClipboard() const;
    QTableView* Table() const { return FTable; }
    // The width that shows every caption and the patterns' columns (room for two at least)
    // without scrolling sideways.
    int FittingWidth() const;

private:
    class TGridModel;

    QTableView* FTable = nullptr;
    // The grid shown, kept as text so that closing a pattern leaves nothing dangling.
    std::vector<std::vector<std::string>> FGrid;
    // Hands the view only the cells it shows: thousands of selected patterns would
    // otherwise make a table item for every figure of every one.
    TGridModel* FModel = nullptr;
};

}  // namespace ostrel
