#include "app/OpenFilesFlow.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "app/FileTableModel.h"
#include "app/PathText.h"
#include "model/MainModel.h"
#include "model/NumberText.h"
#include "model/Settings.h"
#include "shell/PathNames.h"

namespace ostrel {

namespace {

// How long one slice of adding rows may keep the window from its input. Adding a pattern
// costs microseconds; the table's insertion at the end of a slice costs more, so slices
// are not made smaller than needed.
constexpr qint64 kSliceMs = 40;

}  // namespace

QString GroupedCount(long long count) {
    return QString::fromStdString(GroupedCountText(count));
}

TOpenFilesFlow::TOpenFilesFlow(QWidget& window, QStatusBar& statusBar, TMainModel& model,
                               TFileTableModel& table, THooks hooks)
    : QObject(&window), FWindow(window), FModel(model), FTable(table), FHooks(std::move(hooks)) {
    FProgressBox = new QWidget(&statusBar);
    FProgressBox->setObjectName("pnlLoading");
    auto* layout = new QHBoxLayout(FProgressBox);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    FProgressLabel = new QLabel(FProgressBox);
    FProgressLabel->setObjectName("lblLoading");
    FProgressBar = new QProgressBar(FProgressBox);
    FProgressBar->setObjectName("Progress");
    FProgressBar->setTextVisible(false);
    FProgressBar->setFixedWidth(120);
    FProgressBar->setMaximumHeight(14);
    FCancelButton = new QToolButton(FProgressBox);
    FCancelButton->setObjectName("btnCancelLoading");
    FCancelButton->setText(tr("Cancel"));
    FCancelButton->setToolTip(tr("Stop opening files (Esc); the files opened so far stay"));
    FCancelButton->setAutoRaise(true);
    FCancelButton->setMaximumHeight(17);
    layout->addWidget(FProgressLabel);
    layout->addWidget(FProgressBar);
    layout->addWidget(FCancelButton);
    statusBar.addPermanentWidget(FProgressBox);
    FProgressBox->hide();
    connect(FCancelButton, &QToolButton::clicked, this, &TOpenFilesFlow::Cancel);
    FDeliverTimer = new QTimer(this);
    FDeliverTimer->setSingleShot(true);
    FDeliverTimer->setInterval(0);
    connect(FDeliverTimer, &QTimer::timeout, this, &TOpenFilesFlow::Deliver);

    FEscape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    FEscape->setContext(Qt::WindowShortcut);
    FEscape->setEnabled(false);
    connect(FEscape, &QShortcut::activated, this, &TOpenFilesFlow::Cancel);

    // Closing the window stops the readers at once rather than when the window is freed.
    window.installEventFilter(this);
}

TOpenFilesFlow::~TOpenFilesFlow() {
    // The workers finish the file each is reading; nothing more reaches the model.
    FScan.reset();
}

bool TOpenFilesFlow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &FWindow && event->type() == QEvent::Close && FLoad) Cancel();
    return QObject::eventFilter(watched, event);
}

bool TOpenFilesFlow::Open(const QStringList& paths) {
    if (FLoad) {
        FWaiting += paths;
        return !paths.isEmpty();
    }
    std::vector<std::string> given;
    given.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : paths) given.push_back(PathBytes(path));
    FBatch = std::make_unique<TOpenBatch>(FModel, GetSettings().FAllowDuplicates);
    FScan = std::make_unique<TScanningLoad>(std::move(given), [this] {
        QMetaObject::invokeMethod(
            this, [this] { ScheduleDelivery(); }, Qt::QueuedConnection);
    });
    FLoad = &FScan->Load();
    if (FScan->FoundNothing()) {
        FScan.reset();
        FLoad = nullptr;
        const std::unique_ptr<TOpenBatch> batch = std::move(FBatch);
        if (FHooks.Finished) FHooks.Finished(batch->Report(), false);
        return false;
    }
    if (!FLoad->InputEnded()) {
        // Listing a large folder takes a while: the progress shows at once, and its count
        // once files come.
        FProgressBar->setRange(0, 0);
        FProgressLabel->setText(tr("Listing"));
        FProgressBox->show();
    }
    ShowProgress();
    FEscape->setEnabled(true);
    return true;
}

void TOpenFilesFlow::TakeProblems() {
    // Folders that could not be read are reasons of the batch; the scan goes on past them.
    for (const std::string& problem : FScan->TakeProblems()) FBatch->FolderProblem(problem);
}

void TOpenFilesFlow::Deliver() {
    if (!FLoad) return;
    QElapsedTimer slice;
    slice.start();
    TakeProblems();
    {
        // The rows of a slice reach the table as one insertion.
        const TFileTableBatch batch(FTable);
        while (!FLoad->Done() && slice.elapsed() < kSliceMs) {
            if (FLoad->TakeReady([this](TLoadResult& result) { Take(result); }, 256) == 0) {
                break;
            }
        }
    }
    if (FLoad->Done()) {
        Finish();
        return;
    }
    ShowProgress();
    // Out of time with results still waiting: come back after the input that queued up.
    // Otherwise the next result (or the end of the listing) calls for the next delivery.
    if (slice.elapsed() >= kSliceMs) ScheduleDelivery();
}

void TOpenFilesFlow::Take(TLoadResult& result) {
    if (FBatch->Add(result) && FHooks.FileOpened) FHooks.FileOpened(result.Path);
}

void TOpenFilesFlow::ScheduleDelivery() {
    // A zero timer, not a posted call: posted calls that post the next one run back to back
    // in one pass of the event loop and would starve input while a backlog is added; a
    // timer fires once per pass, after the window's events.
    if (FLoad && !FDeliverTimer->isActive()) FDeliverTimer->start();
}

void TOpenFilesFlow::FinishNow() {
    // Each Finish may start the batch that was waiting.
    while (FLoad) {
        TakeProblems();
        {
            const TFileTableBatch batch(FTable);
            while (FLoad->TakeNext([this](TLoadResult& result) { Take(result); })) {
            }
        }
        // The listing is over once the last file was taken.
        TakeProblems();
        Finish();
    }
}

void TOpenFilesFlow::Cancel() {
    if (!FLoad) return;
    FWaiting.clear();
    FLoad->Cancel();
    Finish();
}

void TOpenFilesFlow::Finish() {
    const bool cancelled = FLoad->Cancelled() || FLoad->Taken() < FLoad->Total();
    if (FLoad->Total() > 1) {
        FProgressBar->setRange(0, FLoad->Total());
        FProgressBar->setValue(FLoad->Taken());
    }
    if (!cancelled) TakeProblems();
    FScan.reset();
    FLoad = nullptr;
    FDeliverTimer->stop();
    const std::unique_ptr<TOpenBatch> batch = std::move(FBatch);
    FEscape->setEnabled(false);
    FProgressBox->hide();
    if (!batch->LastReadPath().empty()) {
        // The Open dialog starts in the folder of the last file read.
        GetSettings().FOpenPath = AbsoluteFolderOf(batch->LastReadPath());
    }
    if (FHooks.Finished) FHooks.Finished(batch->Report(), cancelled);
    if (!FWaiting.isEmpty()) Open(std::exchange(FWaiting, {}));
}

void TOpenFilesFlow::ShowProgress() {
    // A single file needs no progress and no Cancel; while folders are being listed the
    // total grows.
    if (FLoad->Total() <= 1) return;
    FProgressBar->setRange(0, FLoad->Total());
    FProgressBar->setValue(FLoad->Taken());
    FProgressLabel->setText(ProgressText());
    FProgressBox->show();
}

QString TOpenFilesFlow::ProgressText() const {
    return tr("%1 of %2")
        .arg(GroupedCount(FProgressBar->value()), GroupedCount(FProgressBar->maximum()));
}

bool TOpenFilesFlow::IsProgressVisible() const {
    return !FProgressBox->isHidden();
}

int TOpenFilesFlow::ProgressValue() const {
    return FProgressBar->value();
}

int TOpenFilesFlow::ProgressMaximum() const {
    return FProgressBar->maximum();
}

}  // namespace ostrel
