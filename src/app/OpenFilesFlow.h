#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "shell/OpenBatch.h"
#include "shell/OrderedLoad.h"
#include "shell/ScanningLoad.h"

class QLabel;
class QProgressBar;
class QShortcut;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

namespace ostrel {

class TFileTableModel;
class TFileTableBatch;
class TMainModel;

// Opening many files without freezing the window: folders are listed and the files read on
// worker threads, and their patterns reach the model here, on the window's thread, in the
// order given, a slice at a time so that input is handled in between. The status bar shows "4,210
// of 20,000" with a Cancel button (and Esc) while a batch loads; cancelling keeps what has loaded;
// closing the window cancels at once.
class TOpenFilesFlow : public QObject {
    Q_OBJECT

public:
    struct THooks {
        // A file became patterns of the model (each file once, in the order given).
        std::function<void(const std::string& path)> FileOpened;
        // After the last file of a batch (or a cancel): the batch's outcome for the status bar.
        std::function<void(const TOpenReport& report, bool cancelled)> Finished;
    };

    TOpenFilesFlow(QWidget& window, QStatusBar& statusBar, TMainModel& model,
                   TFileTableModel& table, THooks hooks);
    ~TOpenFilesFlow() override;

    // Starts loading the files, folders replaced by the pattern files below them (listed on
    // a worker thread). Paths given while a batch loads wait and open as the next batch when
    // it ends. Returns false when there was nothing to load; a folder giving nothing says so
    // when its listing is done.
    bool Open(const QStringList& paths);
    // Stops reading, and drops the paths waiting; the files already added stay.
    void Cancel();
    // Waits for the rest of the batch, and of the one waiting, and adds them now (tests, and
    // callers that need the rows before going on).
    void FinishNow();

    bool IsLoading() const { return FScan != nullptr; }
    bool IsProgressVisible() const;
    int ProgressValue() const;
    int ProgressMaximum() const;
    // "4,210 of 20,000"
    QString ProgressText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Deliver();
    void Take(TLoadResult& result);
    void TakeProblems();
    void ScheduleDelivery();
    void Finish();
    void ShowProgress();

    QWidget& FWindow;
    TMainModel& FModel;
    TFileTableModel& FTable;
    THooks FHooks;
    std::unique_ptr<TScanningLoad> FScan;
    TOrderedLoad* FLoad = nullptr;  // FScan's
    std::unique_ptr<TOpenBatch> FBatch;
    // Paths given while a batch loads, opened when it ends.
    QStringList FWaiting;
    QTimer* FDeliverTimer = nullptr;

    QWidget* FProgressBox = nullptr;
    QLabel* FProgressLabel = nullptr;
    QProgressBar* FProgressBar = nullptr;
    QToolButton* FCancelButton = nullptr;
    QShortcut* FEscape = nullptr;
};

// "20,000": a count with thousands separators, whatever the locale.
QString GroupedCount(long long count);

}  // namespace ostrel
