#include "dialogs/Surface3dFrm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "qtdraw/CanvasDrawer.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

namespace {

// Degrees the view turns per pixel dragged.
constexpr double kDegreesPerPixel = 0.5;

// The area the surface is drawn in: forwards drags, wheel turns and the keys that turn and
// zoom to the window. It takes the focus, so the arrows turn the surface from the start.
class TSurfacePaintBox : public QWidget {
public:
    TSurfacePaintBox(QWidget* parent, std::function<void(QPainter&, QSize)> paint,
                     std::function<void(int, int)> drag, std::function<void(double)> zoom,
                     std::function<void(TSurfaceView::TStep)> step)
        : QWidget(parent),
          FPaint(std::move(paint)),
          FDrag(std::move(drag)),
          FZoom(std::move(zoom)),
          FStep(std::move(step)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(200, 160);
        setCursor(Qt::OpenHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        FPaint(painter, size());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        FLast = event->position().toPoint();
        FDragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!FDragging) return;
        const QPoint now = event->position().toPoint();
        FDrag(now.x() - FLast.x(), now.y() - FLast.y());
        FLast = now;
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        FDragging = false;
        setCursor(Qt::OpenHandCursor);
    }
    void wheelEvent(QWheelEvent* event) override {
        // One notch is 120.
        FZoom(std::pow(TSurfaceView::kZoomNotch, event->angleDelta().y() / 120.0));
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        static const std::pair<int, TSurfaceView::TStep> kKeys[] = {
            {Qt::Key_Left, TSurfaceView::stLeft},     {Qt::Key_Right, TSurfaceView::stRight},
            {Qt::Key_Up, TSurfaceView::stUp},         {Qt::Key_Down, TSurfaceView::stDown},
            {Qt::Key_Plus, TSurfaceView::stZoomIn},   {Qt::Key_Equal, TSurfaceView::stZoomIn},
            {Qt::Key_Minus, TSurfaceView::stZoomOut}, {Qt::Key_Underscore, TSurfaceView::stZoomOut},
        };
        for (const auto& [key, step] : kKeys) {
            if (event->key() == key) {
                FStep(step);
                event->accept();
                return;
            }
        }
        QWidget::keyPressEvent(event);
    }

private:
    std::function<void(QPainter&, QSize)> FPaint;
    std::function<void(int, int)> FDrag;
    std::function<void(double)> FZoom;
    std::function<void(TSurfaceView::TStep)> FStep;
    QPoint FLast;
    bool FDragging = false;
};

}  // namespace

TSurface3dForm::TSurface3dForm(QWidget* parent)
    : QWidget(parent, Qt::Window), FView(std::make_unique<TSurfaceView>()) {
    setObjectName("Surface3dForm");
    setWindowTitle("View 3D");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 620);

    btnReset = new QPushButton("&Reset", this);
    btnReset->setObjectName("btnReset");
    connect(btnReset, &QPushButton::clicked, this, &TSurface3dForm::ResetView);
    btnCopyImage = new QPushButton("&Copy Image", this);
    btnCopyImage->setObjectName("btnCopyImage");
    connect(btnCopyImage, &QPushButton::clicked, this, &TSurface3dForm::CopyImage);
    cbMethod = new QComboBox(this);
    cbMethod->setObjectName("cbMethod");
    cbMethod->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(cbMethod, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(FSources.size())) {
            SetSource(FSources[static_cast<size_t>(index)]);
        }
    });
    cbComponent = new QComboBox(this);
    cbComponent->setObjectName("cbComponent");
    cbComponent->setToolTip("The component of the measured sphere");
    connect(cbComponent, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(FComponents.size())) {
            SetComponent(FComponents[static_cast<size_t>(index)]);
        }
    });
    cbScale = new QComboBox(this);
    cbScale->setObjectName("cbScale");
    cbScale->addItems({"25 dB", "40 dB", "Logarithmic"});
    // The list holds the scales in their order.
    cbScale->setCurrentIndex(static_cast<int>(FView->ScaleMode()));
    connect(cbScale, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) SetScaleMode(static_cast<TScaleMode>(index));
    });

    lstPatterns = new QListWidget(this);
    lstPatterns->setObjectName("lstPatterns");
    lstPatterns->setFixedWidth(180);
    connect(lstPatterns, &QListWidget::currentRowChanged, this, &TSurface3dForm::ShowPattern);

    FPaintArea = new TSurfacePaintBox(
        this, [this](QPainter& painter, QSize size) { Paint(painter, size); },
        [this](int dx, int dy) { DragBy(dx, dy); },
        [this](double factor) {
            FView->ZoomBy(factor);
            FPaintArea->update();
        },
        [this](TSurfaceView::TStep step) {
            FView->Step(step);
            FPaintArea->update();
        });
    FPaintArea->setObjectName("pbSurface");
    FPaintArea->setToolTip("Drag or arrow keys to turn, wheel or +/\u2212 to zoom, Esc to close");
    FPaintArea->setFocus();

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Surface:", this));
    controls->addWidget(cbMethod);
    controls->addWidget(cbComponent);
    controls->addWidget(new QLabel("Scale:", this));
    controls->addWidget(cbScale);
    controls->addStretch(1);
    controls->addWidget(btnReset);
    controls->addWidget(btnCopyImage);
    auto* body = new QHBoxLayout;
    body->addWidget(lstPatterns);
    body->addWidget(FPaintArea, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(body, 1);
}

TSurface3dForm::~TSurface3dForm() = default;

void TSurface3dForm::SetPatterns(const TPatternDataList& patterns) {
    FView->SetPattern(nullptr);
    FPatterns.clear();
    lstPatterns->clear();
    for (int i = 0; i < patterns.Count(); ++i) {
        const TPatternData& source = patterns.Items(i);
        lstPatterns->addItem(QString::fromStdString(DisplayName(source, true)));
        FPatterns.push_back(source.Clone());
    }
    // One pattern needs no list.
    lstPatterns->setVisible(FPatterns.size() > 1);
    if (!FPatterns.empty()) lstPatterns->setCurrentRow(0);
    ShowPattern(FPatterns.empty() ? -1 : 0);
}

void TSurface3dForm::ApplyOffsets(const TPatternDataList& patterns) {
    for (const auto& own : FPatterns) {
        for (int i = 0; i < patterns.Count(); ++i) {
            const TPatternData& source = patterns.Items(i);
            if (source.Id != own->Id) continue;
            own->HRotationOffset = source.HRotationOffset;
            own->VRotationOffset = source.VRotationOffset;
        }
    }
    FView->Refresh();
    FPaintArea->update();
}

void TSurface3dForm::ShowPattern(int index) {
    const bool valid = index >= 0 && index < PatternCount();
    FView->SetPattern(valid ? FPatterns[static_cast<size_t>(index)].get() : nullptr);
    if (valid && lstPatterns->currentRow() != index) lstPatterns->setCurrentRow(index);
    setWindowTitle(valid ? "View 3D - " + QString::fromStdString(DisplayName(
                                              *FPatterns[static_cast<size_t>(index)], true))
                         : QString("View 3D"));
    UpdateChoices();
    FPaintArea->update();
}

void TSurface3dForm::SetSource(TSurfaceSource source) {
    FView->SetSource(source);
    UpdateChoices();
    FPaintArea->update();
}

void TSurface3dForm::SetComponent(TSphereComponent component) {
    FView->SetComponent(component);
    UpdateChoices();
    FPaintArea->update();
}

void TSurface3dForm::UpdateChoices() {
    const QSignalBlocker blockMethod(cbMethod);
    const QSignalBlocker blockComponent(cbComponent);
    const TPatternData* pattern = FView->Pattern();
    FSources = pattern ? SurfaceSources(*pattern) : std::vector<TSurfaceSource>{};
    cbMethod->clear();
    for (const TSurfaceSource& source : FSources) {
        cbMethod->addItem(QString::fromStdString(SurfaceSourceText(*pattern, source)));
    }
    const TSurfaceSource shown{FView->ShowsMeasured(), FView->Method()};
    for (size_t i = 0; i < FSources.size(); ++i) {
        // The measured item stands for any method behind it.
        if (FSources[i] == shown || (shown.Measured && FSources[i].Measured)) {
            cbMethod->setCurrentIndex(static_cast<int>(i));
        }
    }

    FComponents.clear();
    if (pattern && pattern->Sphere) FComponents = pattern->Sphere->Components();
    cbComponent->clear();
    for (const TSphereComponent component : FComponents) {
        cbComponent->addItem(SphereComponentName(component));
    }
    const auto at = std::find(FComponents.begin(), FComponents.end(), FView->Component());
    cbComponent->setCurrentIndex(static_cast<int>(at - FComponents.begin()));
    // The estimates come from the cuts of the total level: the components are the sphere's.
    cbComponent->setVisible(FComponents.size() > 1);
    cbComponent->setEnabled(FView->ShowsMeasured());
}

void TSurface3dForm::SetScaleMode(TScaleMode mode) {
    FView->SetScaleMode(mode);
    const int index = static_cast<int>(mode);
    if (cbScale->currentIndex() != index) cbScale->setCurrentIndex(index);
    FPaintArea->update();
}

void TSurface3dForm::keyPressEvent(QKeyEvent* event) {
    // Keys the controls leave alone reach the window: Esc closes it, as Esc closes dialogs.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSurface3dForm::DragBy(int dx, int dy) {
    FView->Turn(-dx * kDegreesPerPixel, dy * kDegreesPerPixel);
    FPaintArea->update();
}

void TSurface3dForm::ResetView() {
    FView->Reset();
    FPaintArea->update();
}

void TSurface3dForm::Paint(QPainter& painter, QSize size) {
    TCanvasDrawer drawer;
    drawer.SetCanvas(&painter, 1, 1);
    FView->Draw(drawer, TRect{0, 0, size.width(), size.height()});
}

QByteArray TSurface3dForm::SvgImage(QSize size) {
    return SvgPicture(size, logicalDpiY(),
                      [this, size](QPainter& painter) { Paint(painter, size); });
}

QImage TSurface3dForm::PngImage(QSize size) {
    return PngPicture(size, [this, size](QPainter& painter) { Paint(painter, size); });
}

void TSurface3dForm::CopyImage() {
    const QSize size = FPaintArea->size();
    CopyPicture(size, logicalDpiY(), [this, size](QPainter& painter) { Paint(painter, size); });
}

TSurface3dForm* OpenSurface3dWindow(QWidget* parent, const TPatternDataList& patterns,
                                    TScaleMode scaleMode) {
    auto* window = new TSurface3dForm(parent);
    window->SetScaleMode(scaleMode);
    window->SetPatterns(patterns);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace ostrel
