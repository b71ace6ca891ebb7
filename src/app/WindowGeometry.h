#pragma once

#include <QObject>
#include <string>

class QMainWindow;
class QSplitter;

namespace ostrel {

class TFigureCommands;
class TFileTablePanel;

// Where the main window is and how big: its place, size and table height from and to the
// settings file's own section for them (with the table's columns and the figures panel's
// width), the outer size that may not shrink below 640 x 580, and the rule that keeps the
// table between the splitter's limits.
class TWindowGeometry : public QObject {
    Q_OBJECT

public:
    // The table's height before anything is restored.
    static constexpr int kDefaultTableHeight = 191;

    // `splitter` holds the table over the graph area.
    TWindowGeometry(QMainWindow& window, QSplitter& splitter, TFileTablePanel& table,
                    TFigureCommands& figures, std::string iniPath);

    // Places the window as it was saved; without a saved place, keeps it on the screens.
    void Restore();
    // Saves the place, unless the window was never shown (its place would mean nothing).
    void Save() const;
    // Takes the table height if the splitter rule allows it for the window's outer height.
    bool TryTableHeight(int height);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyMinimumOuterSize();

    QMainWindow& FWindow;
    QSplitter& FSplitter;
    TFileTablePanel& FTable;
    TFigureCommands& FFigures;
    std::string FIniPath;
    int FLastTableHeight = kDefaultTableHeight;
    bool FWasShown = false;
};

}  // namespace ostrel
