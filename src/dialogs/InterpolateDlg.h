#pragma once

#include <QDialog>
#include <optional>

#include "model/DerivedPatterns.h"
#include "shell/InterpolationRange.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ostrel {

// Pattern > Interpolate: asks whether to interpolate by frequency or by electrical tilt and
// at which value, shows the range the two patterns allow, and refuses a value outside it (or
// no number) with the reason, staying open. Starts on frequency unless only tilt serves.
class TInterpolateDialog : public QDialog {
    Q_OBJECT

public:
    // `a` and `b` must outlive the dialog.
    TInterpolateDialog(QWidget* parent, const TPatternData& a, const TPatternData& b);

    void SetAxis(TInterpolationAxis axis);
    TInterpolationAxis Axis() const { return FRange.Axis; }
    void SetValueText(const QString& text);
    // Closes the dialog as accepted when the value is good; otherwise shows why not and
    // returns false.
    bool TryAccept();
    // The accepted value.
    double Value() const { return FValue.value_or(0); }
    // What the dialog says under the value: the range, or why the value is refused.
    QString Message() const;

    QRadioButton* rbFrequency = nullptr;
    QRadioButton* rbTilt = nullptr;
    QLineEdit* edValue = nullptr;
    QLabel* lblValue = nullptr;
    QLabel* lblRange = nullptr;
    QLabel* lblProblem = nullptr;
    QDialogButtonBox* btnBox = nullptr;

private:
    void ShowRange();

    const TPatternData& FA;
    const TPatternData& FB;
    TInterpolationRange FRange;
    std::optional<double> FValue;
};

}  // namespace ostrel
