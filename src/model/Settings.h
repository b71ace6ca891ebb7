#pragma once

#include <string>

namespace ostrel {

// The program's one settings object: user options that persist in settings.ini, and the
// main window's current view state, which the drawing code reads and which is never saved.
class TSettings {
public:
    TSettings() = default;
    explicit TSettings(std::string iniPath) : FIniPath(std::move(iniPath)) {}

    // Reads the persisted entries from FIniPath; never raises.
    void Load();
    // Writes the persisted entries to FIniPath; never raises.
    void Save() const;

    std::string FOpenPath;          // persisted: [MainForm] FOpenPath
    std::string FIniPath;           // the file Load and Save use
    bool FAllowDuplicates = false;  // persisted: [Options] FAllowDuplicates
    bool FShowExtensions = false;   // persisted: [Options] FShowExtensions
    bool FUseAzimuth = true;        // view state: H cut shows the azimuth cut
    double FRadialFloor = -40;      // view state: lowest level of the radial/level axis, dB
    bool FLogScale = false;         // view state: logarithmic radial scale
};

// The settings object, created with the defaults and loaded on the first call.
TSettings& GetSettings();

// Fixes the path GetSettings will load from; call before the first GetSettings.
void SetSettingsFilePath(const std::string& iniPath);

// Frees the settings object after saving it once, if it was ever created (program end).
void SaveAndFreeSettings();

}  // namespace ostrel
