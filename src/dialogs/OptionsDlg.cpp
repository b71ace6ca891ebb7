#include "dialogs/OptionsDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "model/Settings.h"
#include "widgets/AppFonts.h"
#include "widgets/DialogBorder.h"

namespace ostrel {

namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 253;

// A bold section heading followed, on the same line, by a rule to the right edge.
void AddHeading(QWidget* page, const QString& text, int y, int pageWidth) {
    auto* label = new QLabel(text, page);
    label->setFont(TahomaFont(11, true));
    label->adjustSize();
    label->move(12, y);
    auto* rule = new QFrame(page);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    const int ruleLeft = label->x() + label->width() + 6;
    rule->setGeometry(ruleLeft, y + label->height() / 2 - 1, pageWidth - 12 - ruleLeft, 2);
}

}  // namespace

TOptionsDialog::TOptionsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Options"));
    setFont(TahomaFont());
    SetFixedDialogBorder(*this, kClientWidth, kClientHeight);

    pcOptions = new QTabWidget(this);
    pcOptions->setGeometry(8, 8, kClientWidth - 16, 204);
    auto* page = new QWidget();
    pcOptions->addTab(page, QStringLiteral("Options"));
    // The page's own width is known only after layout; take it from the tab widget.
    const int pageWidth = pcOptions->width() - 6;

    AddHeading(page, QStringLiteral("Files"), 12, pageWidth);
    chkDuplicateFiles = new QCheckBox(QStringLiteral("Allow duplicate files to be opened"), page);
    chkDuplicateFiles->setObjectName(QStringLiteral("chkDuplicateFiles"));
    chkDuplicateFiles->setGeometry(24, 34, pageWidth - 36, 17);

    AddHeading(page, QStringLiteral("Screen"), 68, pageWidth);
    chkShowExtensions = new QCheckBox(QStringLiteral("Show filename extensions in list"), page);
    chkShowExtensions->setObjectName(QStringLiteral("chkShowExtensions"));
    chkShowExtensions->setGeometry(24, 90, pageWidth - 36, 17);
    auto* densityLabel = new QLabel(QStringLiteral("One density image when more than"), page);
    densityLabel->setGeometry(24, 114, pageWidth - 36, 17);
    seDensityThreshold = new QSpinBox(page);
    seDensityThreshold->setObjectName(QStringLiteral("seDensityThreshold"));
    seDensityThreshold->setRange(1, 10000000);
    seDensityThreshold->setGeometry(24, 134, 96, 22);
    densityLabel->setBuddy(seDensityThreshold);
    auto* densityUnit = new QLabel(QStringLiteral("patterns are selected"), page);
    densityUnit->setGeometry(126, 137, pageWidth - 138, 17);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setGeometry(kClientWidth - 171, kClientHeight - 33, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setGeometry(kClientWidth - 83, kClientHeight - 33, 75, 25);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A click is the user's change; setting the marks from code does not come through here.
    connect(chkDuplicateFiles, &QCheckBox::clicked, this,
            [this](bool checked) { FAllowDuplicates = checked; });
    connect(chkShowExtensions, &QCheckBox::clicked, this,
            [this](bool checked) { FShowExtensions = checked; });
    connect(seDensityThreshold, &QSpinBox::valueChanged, this,
            [this](int value) { FDensityThreshold = value; });
}

void TOptionsDialog::LoadFrom(const TSettings& settings) {
    FAllowDuplicates = settings.FAllowDuplicates;
    FShowExtensions = settings.FShowExtensions;
    chkDuplicateFiles->setChecked(FAllowDuplicates);
    chkShowExtensions->setChecked(FShowExtensions);
    FDensityThreshold = settings.FDensityThreshold;
    seDensityThreshold->setValue(FDensityThreshold);
}

void TOptionsDialog::ApplyTo(TSettings& settings) const {
    settings.FAllowDuplicates = FAllowDuplicates;
    settings.FShowExtensions = FShowExtensions;
    settings.FDensityThreshold = FDensityThreshold;
}

bool ExecuteOptionsDialog(QWidget* parent, TSettings& settings, const TOptionsDialogRunner& run) {
    TOptionsDialog dialog(parent);
    dialog.LoadFrom(settings);
    const int result = run ? run(dialog) : dialog.exec();
    if (result != QDialog::Accepted) return false;
    dialog.ApplyTo(settings);
    return true;
}

}  // namespace ostrel
