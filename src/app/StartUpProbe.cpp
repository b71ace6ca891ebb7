#include "app/StartUpProbe.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace ostrel {

namespace {

// Started by the first call, made while the program's static objects are set up.
QElapsedTimer& SinceMain() {
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return timer;
}

// Waits for the window's first paint, then lets the paint reach the screen before reporting.
class TFirstPaintWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            // The paint is flushed to the screen when this event round is over.
            QTimer::singleShot(0, this, [] {
                std::fprintf(stderr, "first paint: %.1f ms after the program's own code began\n",
                             static_cast<double>(SinceMain().nsecsElapsed()) / 1e6);
                std::fflush(stderr);
                ::_exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool FSeen = false;
};

// The clock starts as the program's static objects are made, before main runs.
const bool kClockStarted = (SinceMain(), true);

}  // namespace

void WatchStartUp(QWidget& window) {
    if (std::getenv(kStartUpProbeVariable) == nullptr) return;
    window.installEventFilter(new TFirstPaintWatcher(&window));
}

}  // namespace ostrel
