#pragma once

#include <QObject>
#include <optional>
#include <vector>

class QHeaderView;
class QMenu;
class QWidget;

namespace ostrel {

// Which columns of the file table are shown: the computed figure columns start hidden so the
// table looks as it always did; the header's context menu shows and hides any column (never
// the last one shown), and the choice is kept with the window's placement.
class TTableColumns : public QObject {
    Q_OBJECT

public:
    explicit TTableColumns(QHeaderView& header);

    // Hides exactly the listed columns among the first `knownColumns` (those the list was
    // written for; later ones keep the defaults); nothing stated keeps the defaults.
    void Restore(const std::optional<std::vector<int>>& hidden, int knownColumns = -1);
    std::vector<int> Hidden() const;
    void SetColumnShown(int column, bool shown);
    // The header's context menu: one checkable entry per column, checked when shown.
    QMenu* BuildMenu(QWidget* parent);

private:
    void HideFigureColumns();

    QHeaderView& FHeader;
};

}  // namespace ostrel
