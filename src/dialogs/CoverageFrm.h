#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QWidget>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/PatternData.h"
#include "views/Coverage.h"
#include "views/CoverageView.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;

namespace ostrel {

// The coverage window of View › Coverage: where one pattern's signal lands on flat ground.
// A form of the site (heights, tilt, power, model, radius, step, thresholds, level source)
// beside the map and the profile along boresight. Every change of a field computes anew on a
// worker thread; a result never replaces one of newer fields, and fields that cannot be
// computed leave the last picture standing, marked out of date, with the reason. Esc closes
// it, as it closes the 3D window. Non-modal;
// it computes on its own copy of the pattern, takes the pattern's offsets when they change
// and closes when the pattern is closed.
class TCoverageForm : public QWidget {
    Q_OBJECT

public:
    explicit TCoverageForm(QWidget* parent = nullptr);
    ~TCoverageForm() override;

    // Follows `pattern` (the main window's, not owned: only compared and read here).
    void SetPattern(const TPatternData& pattern);
    const TPatternData* Source() const { return FSource; }
    // Takes the offsets of the followed pattern when it is in `patterns`.
    void ApplyOffsets(const TPatternDataList& patterns);
    // Closes the window when `pattern` is the one it follows; nullptr closes it always (all
    // patterns were closed).
    void PatternClosed(const TPatternData* pattern);

    // Reads the fields and computes anew (the fields' changes call it).
    void Recompute();
    // Waits for the computations asked for and shows the newest result.
    void Settle();

    // The coverage shown, if any; the fields' problem ("" when they can be computed).
    const TCoverage* Coverage() const { return FCoverage ? &*FCoverage : nullptr; }
    QString ProblemText() const;
    // Whether the picture is of other fields than the ones shown.
    bool Stale() const;
    QString KeyDistancesText() const;

    // SVG and PNG of the picture at `size`, as Copy Image puts them on the clipboard.
    QByteArray SvgImage(QSize size);
    QImage PngImage(QSize size);
    void CopyImage();
    // The one page: the site values, the profile and the map.
    void PrintTo(QPrinter& printer);
    // Asks for a printer, then prints; a failure is said in a message box.
    void Print();

    QWidget* PaintArea() const { return FPaintArea; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TResult {
        long long Generation = 0;
        TCoverageSite Site;
        std::optional<TCoverage> Coverage;
        std::string Problem;
    };

    void Paint(QPainter& painter, QSize size);
    // The site the fields describe, or the first field's problem.
    std::optional<TCoverageSite> ReadSite(std::string& problem) const;
    std::optional<TCoverageThresholds> ReadThresholds(std::string& problem) const;
    void StartJob();
    // Called on the window's thread when a job has finished.
    void TakeResult();
    void ShowState();
    TCoverageView View() const;
    void FillLevelSources();

    const TPatternData* FSource = nullptr;
    std::unique_ptr<TPatternData> FPattern;
    std::optional<TCoverage> FCoverage;
    TCoverageSite FShownSite;
    TCoverageThresholds FThresholds = kDefaultCoverageThresholds;
    std::string FProblem;
    long long FRequested = 0;
    long long FShown = 0;

    std::thread FWorker;
    std::mutex FLock;
    std::optional<TResult> FDone;  // under FLock
    bool FPending = false;

    QLineEdit* edtHeight = nullptr;
    QLineEdit* edtRxHeight = nullptr;
    QLineEdit* edtTilt = nullptr;
    QLineEdit* edtPower = nullptr;
    QComboBox* cbModel = nullptr;
    QLineEdit* edtRadius = nullptr;
    QLineEdit* edtStep = nullptr;
    QLineEdit* edtThresholds[3] = {};
    QComboBox* cbLevels = nullptr;
    std::vector<TCoverageLevels> FLevelItems;  // cbLevels' items
    QLabel* lblProblem = nullptr;
    QLabel* lblKeyDistances = nullptr;
    QLabel* lblModelNote = nullptr;
    QPushButton* btnCopyImage = nullptr;
    QPushButton* btnPrint = nullptr;
    QWidget* FPaintArea = nullptr;
};

// Opens a coverage window over `parent` on the pattern.
TCoverageForm* OpenCoverageWindow(QWidget* parent, const TPatternData& pattern);

}  // namespace ostrel
