#include "dialogs/InterpolateDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/AppFonts.h"

namespace ostrel {

TInterpolateDialog::TInterpolateDialog(QWidget* parent, const TPatternData& a,
                                       const TPatternData& b)
    : QDialog(parent), FA(a), FB(b) {
    setObjectName("InterpolateDlg");
    setWindowTitle("Interpolate");
    setFont(TahomaFont());

    auto* between = new QLabel(QString::fromStdString("Between " + DisplayName(a, false) +
                                                      "\nand " + DisplayName(b, false)),
                               this);
    rbFrequency = new QRadioButton("&Frequency", this);
    rbFrequency->setObjectName("rbFrequency");
    rbTilt = new QRadioButton("Electrical &tilt", this);
    rbTilt->setObjectName("rbTilt");
    connect(rbFrequency, &QRadioButton::clicked, this,
            [this] { SetAxis(TInterpolationAxis::Frequency); });
    connect(rbTilt, &QRadioButton::clicked, this,
            [this] { SetAxis(TInterpolationAxis::ElectricalTilt); });
    edValue = new QLineEdit(this);
    edValue->setObjectName("edValue");
    connect(edValue, &QLineEdit::textEdited, this, [this] { lblProblem->clear(); });
    lblRange = new QLabel(this);
    lblRange->setObjectName("lblRange");
    lblProblem = new QLabel(this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setWordWrap(true);
    lblProblem->setStyleSheet("color: #b00000");
    // Room for a reason of two lines, so that the dialog keeps its size when one appears.
    lblProblem->setMinimumHeight(2 * lblProblem->fontMetrics().lineSpacing() + 2);
    auto* note =
        new QLabel("Linear in dB between the two patterns: a planning approximation.", this);
    note->setWordWrap(true);
    note->setStyleSheet("color: #606060");
    btnBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(btnBox, &QDialogButtonBox::accepted, this, [this] { TryAccept(); });
    connect(btnBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* axes = new QHBoxLayout;
    axes->addWidget(rbFrequency);
    axes->addWidget(rbTilt);
    axes->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow("By:", axes);
    // The label names the unit of the axis chosen (see SetAxis).
    lblValue = new QLabel(this);
    lblValue->setBuddy(edValue);
    form->addRow(lblValue, edValue);
    form->addRow("", lblRange);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(between);
    layout->addLayout(form);
    layout->addWidget(lblProblem);
    layout->addWidget(note);
    layout->addWidget(btnBox);
    setMinimumWidth(360);

    const bool byTilt =
        !InterpolationRangeOf(a, b, TInterpolationAxis::Frequency).Problem.empty() &&
        InterpolationRangeOf(a, b, TInterpolationAxis::ElectricalTilt).Problem.empty();
    SetAxis(byTilt ? TInterpolationAxis::ElectricalTilt : TInterpolationAxis::Frequency);
}

void TInterpolateDialog::SetAxis(TInterpolationAxis axis) {
    FRange = InterpolationRangeOf(FA, FB, axis);
    (axis == TInterpolationAxis::Frequency ? rbFrequency : rbTilt)->setChecked(true);
    lblValue->setText(axis == TInterpolationAxis::Frequency ? "&Value, MHz:" : "&Value, \u00B0:");
    ShowRange();
}

void TInterpolateDialog::SetValueText(const QString& text) {
    edValue->setText(text);
    lblProblem->clear();
}

void TInterpolateDialog::ShowRange() {
    const bool usable = FRange.Problem.empty();
    lblRange->setText(usable ? QString::fromStdString("Allowed: " + RangeText(FRange)) : QString());
    lblProblem->setText(QString::fromStdString(FRange.Problem));
    edValue->setEnabled(usable);
    edValue->setPlaceholderText(usable ? QString::fromStdString(RangeText(FRange)) : QString());
    btnBox->button(QDialogButtonBox::Ok)->setEnabled(usable);
}

bool TInterpolateDialog::TryAccept() {
    const TInterpolationValue checked =
        CheckInterpolationValue(FRange, edValue->text().toStdString());
    if (!checked.Value) {
        lblProblem->setText(QString::fromStdString(checked.Problem));
        edValue->setFocus();
        edValue->selectAll();
        return false;
    }
    FValue = checked.Value;
    accept();
    return true;
}

QString TInterpolateDialog::Message() const {
    return lblProblem->text().isEmpty() ? lblRange->text() : lblProblem->text();
}

}  // namespace ostrel
