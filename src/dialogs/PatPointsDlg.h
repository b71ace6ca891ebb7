#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QHeaderView>
#include <QStyledItemDelegate>

#include "model/PatternData.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace ostrel {

class TClipboardService;

// One grid of the pattern points dialog as a table model over the patterns: a row per
// degree, a column per pattern; the header row holds the names, the header column the
// angles. It reads the patterns' cuts as they are drawn, never copying them.
class TPatternPointsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    TPatternPointsModel(const TPatternDataList& patterns, bool useAzimuth,
                        QObject* parent = nullptr);

    // Shows the patterns as they are now (after the list was filled).
    void Reload();
    bool UseAzimuth() const { return FUseAzimuth; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TPatternDataList& FPatterns;
    bool FUseAzimuth;
};

// The fixed cells of the points grids: their own background, blue text at the right,
// shortened with an ellipsis when it does not fit.
class TPointsHeaderView : public QHeaderView {
    Q_OBJECT

public:
    using QHeaderView::QHeaderView;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// The data cells of the points grids: standard background, green text at the right,
// shortened with an ellipsis when it does not fit.
class TPointsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// The pattern points dialog: the levels of the patterns' azimuth and vertical cuts, one
// row per degree and one column per pattern, on two tabs whose current cells move
// together, and the table of the active tab copied to the clipboard as tab-separated text.
// It only reads the patterns. While it exists, hints show after a short delay so that the
// full name of a shortened header pops up at once.
class TPatPointsDialog : public QDialog {
    Q_OBJECT

public:
    // `clipboard` receives the copied tables.
    TPatPointsDialog(QWidget* parent, TClipboardService& clipboard);
    // Gives the application its hint delay back.
    ~TPatPointsDialog() override;

    // Fills both grids from Patterns and runs the dialog modally.
    void Run();
    void FillGrids();
    // The table of the active tab to the clipboard.
    void CopyTableData();

    // The patterns shown; filled by the caller, never owned.
    TPatternDataList Patterns{false};

    QLabel* lblTitle = nullptr;
    QTabWidget* pcPoints = nullptr;
    QTableView* HorzGrid = nullptr;
    QTableView* VertGrid = nullptr;
    QLabel* lblTip = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableView* MakeGrid(TPatternPointsModel* model);
    void FollowCurrentCell(QTableView* target, const QModelIndex& current);

    TClipboardService& FClipboard;
    TPatternPointsModel* FHorzModel = nullptr;
    TPatternPointsModel* FVertModel = nullptr;
    // True while one grid moves the other's current cell, so that the move does not echo.
    bool FSynchronising = false;
    int FSavedHintDelay = 0;
};

}  // namespace ostrel
