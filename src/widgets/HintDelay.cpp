#include "widgets/HintDelay.h"

#include <QApplication>
#include <QProxyStyle>

namespace ostrel {

namespace {

// The application's own style with a hint delay that can be changed while the program runs.
class THintDelayStyle : public QProxyStyle {
public:
    explicit THintDelayStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay && FDelay >= 0) return FDelay;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    int FDelay = -1;  // the base style's delay while negative
};

}  // namespace

int ApplicationHintDelay() {
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

void SetApplicationHintDelay(int milliseconds) {
    auto* style = dynamic_cast<THintDelayStyle*>(QApplication::style());
    if (!style) {
        style = new THintDelayStyle(QApplication::style()->name());
        QApplication::setStyle(style);
    }
    style->FDelay = milliseconds < 0 ? 0 : milliseconds;
}

}  // namespace ostrel
