#include "widgets/LinkControl.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace ostrel {

namespace {

void OpenWithDesktop(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace

TLinkControl::TLinkControl(QWidget* parent) : QWidget(parent), FOpener(OpenWithDesktop) {
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

void TLinkControl::SetOpener(TUrlOpener opener) {
    FOpener = opener ? std::move(opener) : TUrlOpener(OpenWithDesktop);
}

QUrl TLinkControl::LinkUrl(const QString& link) {
    return QUrl::fromUserInput(link);
}

void TLinkControl::MouseEnter() {
    if (FHovering) return;
    if (OnMouseEnter) OnMouseEnter(*this);
    FHovering = true;
}

void TLinkControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(*this);
    FHovering = false;
}

void TLinkControl::Click() {
    emit clicked();
    if (!FLink.isEmpty()) FOpener(LinkUrl(FLink));
}

void TLinkControl::enterEvent(QEnterEvent* event) {
    MouseEnter();
    QWidget::enterEvent(event);
}

void TLinkControl::leaveEvent(QEvent* event) {
    MouseLeave();
    QWidget::leaveEvent(event);
}

void TLinkControl::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button() == Qt::LeftButton;
    event->accept();
}

// A click is a left press and release both on the control, as for a button.
void TLinkControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    event->accept();
    if (click) Click();
}

// Nothing to draw: the label underneath shows the text.
void TLinkControl::paintEvent(QPaintEvent*) {}

}  // namespace ostrel
