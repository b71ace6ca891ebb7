#pragma once

#include <string>

#include "model/ViewModes.h"

namespace ostrel {

// The program's one settings object: user options that persist in settings.ini, and the
// main window's current view state, which the drawing code reads and which is never saved.
class TSettings {
public:
    TSettings() = default;
    explicit TSettings(std::string iniPath) : FIniPath(std::move(iniPath)) {}

    // Reads the persisted entries from FIniPath; a missing entry gives its default. Never
    // raises: a missing, unreadable or malformed file gives the defaults. An empty FIniPath
    // means no file: nothing changes.
    void Load();
    // Writes the persisted entries to FIniPath, creating its folder when missing, and keeps
    // every other section of the file as it was. Never raises: a file that can't be read or
    // written loses the changes. An empty FIniPath means no file: nothing is written.
    void Save() const;

    std::string FOpenPath;          // persisted: [MainForm] FOpenPath
    std::string FFilterText;        // persisted: [MainForm] FFilterText, the table's filter
    std::string FIniPath;           // the file Load and Save use
    bool FAllowDuplicates = false;  // persisted: [Options] FAllowDuplicates
    bool FShowExtensions = false;   // persisted: [Options] FShowExtensions
    // persisted: [Options] FDensityThreshold; with more patterns selected than this, the
    // graphs show one density image instead of a curve each. At least 1.
    int FDensityThreshold = 500;
    THCut FHCut = THCut::Azimuth;  // view state: the cut the horizontal graphs show
    double FRadialFloor = -40;     // view state: lowest level of the radial/level axis, dB
    bool FLogScale = false;        // view state: logarithmic radial scale
    bool FShowBeamTicks = false;   // view state: -3 dB crossings ticked on the polar graphs
};

// The settings object, created with the defaults and loaded on the first call.
TSettings& GetSettings();

// Fixes the path GetSettings will load from; call before the first GetSettings (an object
// that already exists keeps its path). Without a call, DefaultSettingsFilePath is used; an
// empty path means the settings are neither read nor written.
void SetSettingsFilePath(const std::string& iniPath);

// Frees the settings object after saving it once, if it was ever created (program end).
void SaveAndFreeSettings();

// Start-up care of the settings file at `iniPath`: removes the temporary files a run
// killed while saving left beside it, and says why this run's changes cannot be saved, ""
// when they can. A read-only file, or one in a read-only folder, or one that cannot be read
// (too large, say) is then left exactly as it is; a folder that does not exist yet is no
// problem (saving creates it).
std::string PrepareSettingsFile(const std::string& iniPath);

// Frees the settings object, if any, without saving it; the next GetSettings starts afresh.
void DiscardSettings();

// Where settings.ini goes: in the user's configuration folder for the installed program;
// otherwise beside the running program when its folder takes new files, else in the user's
// configuration folder (see ChooseSettingsFilePath).
std::string DefaultSettingsFilePath();

// The choice DefaultSettingsFilePath makes, on given facts: "settings.ini" in
// `programFolder` when it is writable and the program is not the installed copy (which
// never writes into a system folder such as /usr/bin, not even as root); otherwise
// "OstrelViewer/settings.ini" under `xdgConfigHome` when that is an absolute path, else
// under `home` + "/.config"; when neither is known, the program folder after all (saving
// then fails silently) unless the program is installed, and with no program folder either,
// the empty path (no settings file). Null pointers count as unset.
std::string ChooseSettingsFilePath(const std::string& programFolder, bool programFolderWritable,
                                   bool installedProgram, const char* xdgConfigHome,
                                   const char* home);

// Whether a new file can be created in the folder, found out by creating and removing one
// (permission bits alone say nothing about a read-only file system, or about root).
bool CanCreateFilesIn(const std::string& folder);

}  // namespace ostrel
