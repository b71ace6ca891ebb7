#include "dialogs/CoverageFrm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

#include "model/NumberText.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasDrawer.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/PaintBox.h"

namespace ostrel {

namespace {

QString DistanceValue(const TGroundDistance& distance) {
    return QString::fromStdString(KeyDistanceText(distance));
}

}  // namespace

TCoverageForm::TCoverageForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("CoverageForm");
    setWindowTitle("Coverage");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1280, 760);

    auto* fields = new QFormLayout;
    const auto edit = [this, fields](const char* name, const QString& label, const QString& text,
                                     const QString& hint) {
        auto* field = new QLineEdit(text, this);
        field->setObjectName(name);
        field->setToolTip(hint);
        field->setMaximumWidth(120);
        connect(field, &QLineEdit::textChanged, this, &TCoverageForm::Recompute);
        fields->addRow(label, field);
        return field;
    };
    const TCoverageSite defaults;
    const auto number = [](double value) { return QString::fromStdString(FormatGeneral(value)); };
    edtHeight = edit("edtHeight", "&Height, m:", number(defaults.HeightM),
                     "The antenna's height above the ground");
    edtRxHeight = edit("edtRxHeight", "&Receiver height, m:", number(defaults.RxHeightM),
                       "The receiver's height above the ground");
    edtTilt = edit("edtTilt", "Mechanical &tilt, \u00B0:", number(defaults.MechTiltDeg),
                   "Positive tilts the antenna down");
    edtPower =
        edit("edtPower", "&Power, dBm:", number(defaults.PowerDbm), "The power into the antenna");
    cbModel = new QComboBox(this);
    cbModel->setObjectName("cbModel");
    cbModel->setToolTip("The path-loss model; no point is louder than free space");
    connect(cbModel, &QComboBox::currentIndexChanged, this, &TCoverageForm::Recompute);
    fields->addRow("&Model:", cbModel);
    edtRadius = edit("edtRadius", "R&adius, km:", number(defaults.RadiusKm),
                     "How far the map reaches from the antenna");
    edtStep = edit("edtStep", "&Step, m:", number(defaults.StepM), "The grid's spacing");
    const char* const thresholdNames[3] = {"edtThreshold1", "edtThreshold2", "edtThreshold3"};
    for (size_t i = 0; i < 3; ++i) {
        edtThresholds[i] = edit(thresholdNames[i], QString("Threshold %1, dBm:").arg(i + 1),
                                number(kDefaultCoverageThresholds[i]),
                                "A level drawn as a contour on the map and a line on the profile");
    }
    cbLevels = new QComboBox(this);
    cbLevels->setObjectName("cbLevels");
    cbLevels->setToolTip(
        "The pattern's level in each direction: its measured sphere, or an "
        "estimate from its two cuts");
    connect(cbLevels, &QComboBox::currentIndexChanged, this, &TCoverageForm::Recompute);
    fields->addRow("&Levels:", cbLevels);

    lblProblem = new QLabel(this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setWordWrap(true);
    lblProblem->setStyleSheet("color: #c00000; font-weight: bold");
    lblKeyDistances = new QLabel(this);
    lblKeyDistances->setObjectName("lblKeyDistances");
    lblKeyDistances->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblModelNote = new QLabel(this);
    lblModelNote->setObjectName("lblModelNote");
    lblModelNote->setWordWrap(true);
    auto* flat = new QLabel("Flat ground: no terrain, clutter or earth curvature.", this);
    flat->setWordWrap(true);
    btnCopyImage = new QPushButton("&Copy Image", this);
    btnCopyImage->setObjectName("btnCopyImage");
    connect(btnCopyImage, &QPushButton::clicked, this, &TCoverageForm::CopyImage);
    btnPrint = new QPushButton("&Print...", this);
    btnPrint->setObjectName("btnPrint");
    connect(btnPrint, &QPushButton::clicked, this, &TCoverageForm::Print);

    FPaintArea = new TPaintBox(
        this, [this](QPainter& painter, QSize size) { Paint(painter, size); }, QSize(360, 260));
    FPaintArea->setObjectName("pbCoverage");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnCopyImage);
    buttons->addWidget(btnPrint);
    auto* side = new QVBoxLayout;
    side->addLayout(fields);
    side->addWidget(lblProblem);
    side->addWidget(lblKeyDistances);
    side->addWidget(lblModelNote);
    side->addWidget(flat);
    side->addStretch(1);
    side->addLayout(buttons);
    auto* sideBox = new QWidget(this);
    sideBox->setLayout(side);
    sideBox->setFixedWidth(330);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(sideBox);
    layout->addWidget(FPaintArea, 1);
}

TCoverageForm::~TCoverageForm() {
    // The worker reads the window's job only; it posts its result to a window that is gone,
    // which Qt drops.
    if (FWorker.joinable()) FWorker.join();
}

void TCoverageForm::SetPattern(const TPatternData& pattern) {
    FSource = &pattern;
    FPattern = pattern.Clone();
    setWindowTitle("Coverage - " + QString::fromStdString(DisplayName(pattern, true)));
    {
        const QSignalBlocker block(cbModel);
        cbModel->clear();
        const double frequency = CoverageFrequencyMhz(pattern, TCoverageSite());
        cbModel->addItem(QString("Default: %1").arg(PathModelName(DefaultPathModel(frequency))));
        cbModel->setItemData(0,
                             QString("The model for %1 MHz when none is chosen")
                                 .arg(QString::fromStdString(FormatGeneral(frequency))),
                             Qt::ToolTipRole);
        for (int i = 0; i < kPathModelCount; ++i) {
            cbModel->addItem(PathModelName(static_cast<TPathModel>(i)));
        }
        cbModel->setCurrentIndex(0);
    }
    FillLevelSources();
    Recompute();
}

void TCoverageForm::FillLevelSources() {
    const QSignalBlocker block(cbLevels);
    cbLevels->clear();
    FLevelItems = {TCoverageLevels::Measured, TCoverageLevels::WeightedBilinear,
                   TCoverageLevels::CutSum};
    for (const TCoverageLevels levels : FLevelItems) cbLevels->addItem(CoverageLevelsText(levels));
    // A file of two cuts has no sphere to measure by.
    const bool sphere = FPattern && FPattern->Sphere;
    if (auto* items = qobject_cast<QStandardItemModel*>(cbLevels->model())) {
        items->item(0)->setEnabled(sphere);
    }
    cbLevels->setCurrentIndex(sphere ? 0 : 1);
}

void TCoverageForm::ApplyOffsets(const TPatternDataList& patterns) {
    if (!FPattern) return;
    for (int i = 0; i < patterns.Count(); ++i) {
        const TPatternData& pattern = patterns.Items(i);
        if (&pattern != FSource) continue;
        FPattern->HRotationOffset = pattern.HRotationOffset;
        FPattern->VRotationOffset = pattern.VRotationOffset;
        Recompute();
    }
}

void TCoverageForm::PatternClosed(const TPatternData* pattern) {
    if (pattern && pattern != FSource) return;
    // Nothing of it may be read any more.
    FSource = nullptr;
    close();
}

void TCoverageForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::optional<TCoverageSite> TCoverageForm::ReadSite(std::string& problem) const {
    TCoverageSite site;
    const struct {
        QLineEdit* Field;
        double* Value;
        const char* Name;
    } numbers[] = {
        {edtHeight, &site.HeightM, "Height"},
        {edtRxHeight, &site.RxHeightM, "Receiver height"},
        {edtTilt, &site.MechTiltDeg, "Mechanical tilt"},
        {edtPower, &site.PowerDbm, "Power"},
        {edtRadius, &site.RadiusKm, "Radius"},
        {edtStep, &site.StepM, "Step"},
    };
    for (const auto& number : numbers) {
        const std::optional<double> value = ParseNumber(number.Field->text().toStdString());
        if (!value) {
            problem = std::string(number.Name) + ": \"" + number.Field->text().toStdString() +
                      "\" is not a number";
            return std::nullopt;
        }
        *number.Value = *value;
    }
    const int model = cbModel->currentIndex();
    if (model > 0) site.Model = static_cast<TPathModel>(model - 1);
    const int levels = cbLevels->currentIndex();
    if (levels >= 0 && levels < static_cast<int>(FLevelItems.size())) {
        site.Levels = FLevelItems[static_cast<size_t>(levels)];
    }
    problem = CoverageFieldProblem(CoverageSiteProblem(*FPattern, site));
    if (!problem.empty()) return std::nullopt;
    return site;
}

std::optional<TCoverageThresholds> TCoverageForm::ReadThresholds(std::string& problem) const {
    TCoverageThresholds thresholds{};
    for (size_t i = 0; i < 3; ++i) {
        const std::optional<double> value = ParseNumber(edtThresholds[i]->text().toStdString());
        if (!value) {
            problem = "Threshold " + std::to_string(i + 1) + ": \"" +
                      edtThresholds[i]->text().toStdString() + "\" is not a number";
            return std::nullopt;
        }
        thresholds[i] = *value;
    }
    return thresholds;
}

void TCoverageForm::Recompute() {
    if (!FPattern) return;
    ++FRequested;
    std::string problem;
    const std::optional<TCoverageThresholds> thresholds = ReadThresholds(problem);
    const std::optional<TCoverageSite> site = thresholds ? ReadSite(problem) : std::nullopt;
    FProblem = problem;
    if (thresholds) FThresholds = *thresholds;
    if (site) {
        if (FWorker.joinable()) {
            FPending = true;
        } else {
            StartJob();
        }
    }
    ShowState();
}

void TCoverageForm::StartJob() {
    std::string problem;
    const std::optional<TCoverageSite> site = ReadSite(problem);
    if (!site) return;
    // The job has its own copy of the pattern, so that offsets may change meanwhile.
    std::shared_ptr<const TPatternData> pattern(FPattern->Clone());
    const long long generation = FRequested;
    FWorker = std::thread([this, pattern, site = *site, generation] {
        TResult result;
        result.Generation = generation;
        result.Site = site;
        try {
            result.Coverage = ComputeCoverage(*pattern, site);
        } catch (const std::exception& error) {
            result.Problem = error.what();
        }
        {
            const std::lock_guard<std::mutex> lock(FLock);
            FDone = std::move(result);
        }
        QMetaObject::invokeMethod(
            this, [this] { TakeResult(); }, Qt::QueuedConnection);
    });
}

void TCoverageForm::TakeResult() {
    if (!FWorker.joinable()) return;
    FWorker.join();
    std::optional<TResult> done;
    {
        const std::lock_guard<std::mutex> lock(FLock);
        done.swap(FDone);
    }
    if (done && done->Generation > FShown) {
        FShown = done->Generation;
        if (done->Coverage) {
            FCoverage = std::move(done->Coverage);
            FShownSite = done->Site;
        } else if (done->Generation == FRequested) {
            FProblem = done->Problem;
        }
    }
    if (FPending) {
        FPending = false;
        StartJob();
    }
    ShowState();
}

void TCoverageForm::Settle() {
    while (FWorker.joinable()) TakeResult();
}

QString TCoverageForm::ProblemText() const {
    return QString::fromStdString(FProblem);
}

bool TCoverageForm::Stale() const {
    return FCoverage && !FProblem.empty();
}

QString TCoverageForm::KeyDistancesText() const {
    if (!FCoverage) return QString();
    return QString("Beam hit: %1\n\u22123 dB inner: %2\n\u22123 dB outer: %3\nFirst null: %4")
        .arg(DistanceValue(FCoverage->BeamHit), DistanceValue(FCoverage->Inner3Db),
             DistanceValue(FCoverage->Outer3Db), DistanceValue(FCoverage->FirstNull));
}

void TCoverageForm::ShowState() {
    lblProblem->setText(ProblemText());
    lblProblem->setVisible(!FProblem.empty());
    lblKeyDistances->setText(KeyDistancesText());
    QString model;
    if (FCoverage) {
        model = QString("Model: %1 at %2 MHz")
                    .arg(PathModelName(FCoverage->Model))
                    .arg(QString::fromStdString(FormatGeneral(FCoverage->FrequencyMhz)));
        if (!FCoverage->RangeNote.empty()) {
            model += "\n" + QString::fromStdString(FCoverage->RangeNote);
        }
        if (!FCoverage->GainStated) {
            model += "\nThe file states no gain: 0 dBi, levels relative to the peak.";
        }
    }
    lblModelNote->setText(model);
    btnCopyImage->setEnabled(FCoverage.has_value());
    btnPrint->setEnabled(FCoverage.has_value());
    FPaintArea->update();
}

TCoverageView TCoverageForm::View() const {
    TCoverageView view;
    view.Coverage = Coverage();
    view.Thresholds = FThresholds;
    if (Stale()) view.Note = "Out of date: " + FProblem;
    return view;
}

void TCoverageForm::Paint(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    TCanvasDrawer drawer;
    drawer.SetCanvas(&painter, 1, 1);
    View().Draw(drawer, TRealRect{4, 4, size.width() - 4.0, size.height() - 4.0});
}

QByteArray TCoverageForm::SvgImage(QSize size) {
    return SvgPicture(size, logicalDpiY(),
                      [this, size](QPainter& painter) { Paint(painter, size); });
}

QImage TCoverageForm::PngImage(QSize size) {
    return PngPicture(size, [this, size](QPainter& painter) { Paint(painter, size); });
}

void TCoverageForm::CopyImage() {
    const QSize size = FPaintArea->size();
    CopyPicture(size, logicalDpiY(), [this, size](QPainter& painter) { Paint(painter, size); });
}

void TCoverageForm::PrintTo(QPrinter& printer) {
    if (!FCoverage || !FPattern) return;
    TCanvasPdfOutput pdfFile(printer);
    const std::unique_ptr<TGraphic> logo = LoadLogoGraphic();
    TPrinterDrawer drawer(printer);
    drawer.SetTitle("Coverage - " + DisplayName(*FPattern, false));
    drawer.BeginDoc();
    TCoveragePage page;
    page.Drawer = &drawer;
    page.Logo = logo.get();
    page.PatternName = DisplayName(*FPattern, true);
    page.Site = FShownSite;
    page.Coverage = &*FCoverage;
    page.Thresholds = FThresholds;
    page.Draw();
    drawer.EndDoc();
    if (const std::string failure = pdfFile.Finish(); !failure.empty()) {
        throw std::runtime_error("The PDF could not be written to '" + pdfFile.TargetPath() +
                                 "': " + failure);
    }
}

void TCoverageForm::Print() {
    if (!FCoverage) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        PrintTo(printer);
    } catch (const std::exception& error) {
        QMessageBox::critical(this, windowTitle(), QString::fromUtf8(error.what()));
    }
}

TCoverageForm* OpenCoverageWindow(QWidget* parent, const TPatternData& pattern) {
    auto* window = new TCoverageForm(parent);
    window->SetPattern(pattern);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace ostrel
