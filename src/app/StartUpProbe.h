#pragma once

class QWidget;

namespace ostrel {

// Name of the environment variable that turns the start-up probe on.
inline constexpr const char* kStartUpProbeVariable = "OSTREL_STARTUP_PROBE";

// When OSTREL_STARTUP_PROBE is set: once `window` has painted for the first time, writes
// "first paint: N ms after ..." to standard error and ends the program at once, without
// saving settings, so that bench/startup.sh can time start-up from outside. Does nothing
// otherwise.
void WatchStartUp(QWidget& window);

}  // namespace ostrel
