#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QUrl;

namespace ostrel {

// An invisible clickable area laid over a label: it shows the hand cursor and, when
// clicked, opens its link (a web address or a document) with the desktop's program for
// it. It draws nothing; the text the user sees is the label under it.
class TLinkControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Link READ Link WRITE SetLink)

public:
    using TNotifyEvent = std::function<void(TLinkControl& sender)>;
    // Hands an address to the desktop; the result is not needed.
    using TUrlOpener = std::function<void(const QUrl& url)>;

    explicit TLinkControl(QWidget* parent = nullptr);

    const QString& Link() const { return FLink; }
    void SetLink(const QString& link) { FLink = link; }

    // Replaces the way the link is opened (the desktop services by default); an empty
    // opener restores the default.
    void SetOpener(TUrlOpener opener);

    // Whether the mouse is over the control.
    bool Hovering() const { return FHovering; }

    // The address the link opens: a web address as it is, a file path as a file address.
    static QUrl LinkUrl(const QString& link);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // What the mouse does, also for callers that track the mouse themselves.
    void MouseEnter();
    void MouseLeave();
    // A click: the clicked signal first, then the link is opened.
    void Click();

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString FLink;
    TUrlOpener FOpener;
    bool FHovering = false;
    bool FPressed = false;
};

}  // namespace ostrel
