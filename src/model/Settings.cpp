#include "model/Settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "model/AsciiText.h"
#include "model/InstallLayout.h"
#include "model/ProfileFile.h"
#include "model/SafeFile.h"

namespace ostrel {

namespace {

constexpr const char* kMainFormSection = "MainForm";
constexpr const char* kOptionsSection = "Options";
constexpr const char* kOpenPathKey = "FOpenPath";
constexpr const char* kFilterTextKey = "FFilterText";
constexpr const char* kAllowDuplicatesKey = "FAllowDuplicates";
constexpr const char* kShowExtensionsKey = "FShowExtensions";
constexpr const char* kDensityThresholdKey = "FDensityThreshold";
constexpr const char* kFileName = "settings.ini";

std::unique_ptr<TSettings> GSettings;
std::optional<std::string> GSettingsFilePath;

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

std::string JoinPath(const std::filesystem::path& folder, const std::string& relative) {
    return (folder / relative).string();
}

}  // namespace

void TSettings::Load() {
    if (FIniPath.empty()) return;
    try {
        TProfileFile ini;
        ini.Load(FIniPath);
        const TSettings defaults;
        FOpenPath = ini.ReadString(kMainFormSection, kOpenPathKey, defaults.FOpenPath);
        FFilterText = ini.ReadString(kMainFormSection, kFilterTextKey, defaults.FFilterText);
        FAllowDuplicates =
            ini.ReadBool(kOptionsSection, kAllowDuplicatesKey, defaults.FAllowDuplicates);
        FShowExtensions =
            ini.ReadBool(kOptionsSection, kShowExtensionsKey, defaults.FShowExtensions);
        const int threshold =
            ini.ReadInteger(kOptionsSection, kDensityThresholdKey, defaults.FDensityThreshold);
        FDensityThreshold = threshold >= 1 ? threshold : defaults.FDensityThreshold;
    } catch (...) {
        // Settings are a convenience: an unreadable file must not stop the program.
    }
}

void TSettings::Save() const {
    if (FIniPath.empty()) return;
    try {
        const std::filesystem::path folder = std::filesystem::path(FIniPath).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder);
        // Read first: the file holds other parts' sections, which must survive. A file that
        // exists but cannot be read is left alone rather than replaced by our three entries.
        TProfileFile ini;
        ini.Load(FIniPath);
        ini.WriteString(kMainFormSection, kOpenPathKey, FOpenPath);
        if (FFilterText.empty()) {
            ini.DeleteKey(kMainFormSection, kFilterTextKey);
        } else {
            // A line break would end the entry; the filter treats any control character as
            // a blank anyway.
            ini.WriteString(kMainFormSection, kFilterTextKey, OneLineText(FFilterText));
        }
        ini.WriteBool(kOptionsSection, kAllowDuplicatesKey, FAllowDuplicates);
        ini.WriteBool(kOptionsSection, kShowExtensionsKey, FShowExtensions);
        ini.WriteInteger(kOptionsSection, kDensityThresholdKey, FDensityThreshold);
        ini.Save(FIniPath);
    } catch (...) {
        // A settings file that can't be written loses this run's changes, nothing more.
    }
}

TSettings& GetSettings() {
    if (!GSettings) {
        GSettings = std::make_unique<TSettings>(GSettingsFilePath ? *GSettingsFilePath
                                                                  : DefaultSettingsFilePath());
        GSettings->Load();
    }
    return *GSettings;
}

void SetSettingsFilePath(const std::string& iniPath) {
    GSettingsFilePath = iniPath;
}

void SaveAndFreeSettings() {
    if (GSettings) GSettings->Save();
    GSettings.reset();
}

std::string PrepareSettingsFile(const std::string& iniPath) {
    if (iniPath.empty()) return {};
    RemoveStaleTemporaryFiles(iniPath);
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(iniPath).parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, error)) return {};
    if (std::string problem = ReplaceProblem(iniPath); !problem.empty()) return problem;
    // Saving reads the file first, to keep the sections of others: a file it cannot read
    // (one too large, say) is left alone, and this run's changes with it.
    try {
        TProfileFile ini;
        ini.Load(iniPath);
    } catch (const std::exception& failure) {
        // The message names the file, which the status bar names already.
        std::string reason = failure.what();
        const std::string named = "\"" + iniPath + "\". ";
        if (const size_t at = reason.find(named); at != std::string::npos) {
            reason.erase(0, at + named.size());
        }
        return reason;
    }
    return {};
}

void DiscardSettings() {
    GSettings.reset();
}

bool CanCreateFilesIn(const std::string& folder) {
    if (folder.empty()) return false;
    std::random_device random;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::string probe =
            JoinPath(folder, ".ostrel-write-probe-" + std::to_string(random()));
        if (std::FILE* file = std::fopen(probe.c_str(), "wbx")) {
            std::fclose(file);
            std::remove(probe.c_str());
            return true;
        }
        std::error_code error;
        if (!std::filesystem::exists(probe, error)) return false;  // not a name clash
    }
    return false;
}

std::string ChooseSettingsFilePath(const std::string& programFolder, bool programFolderWritable,
                                   bool installedProgram, const char* xdgConfigHome,
                                   const char* home) {
    const std::string relative = std::string("OstrelViewer/") + kFileName;
    const bool haveProgramFolder = !programFolder.empty() && !installedProgram;
    if (haveProgramFolder && programFolderWritable) return JoinPath(programFolder, kFileName);
    // Relative configuration homes are to be ignored.
    if (IsSet(xdgConfigHome) && xdgConfigHome[0] == '/') return JoinPath(xdgConfigHome, relative);
    if (IsSet(home)) return JoinPath(std::filesystem::path(home) / ".config", relative);
    if (haveProgramFolder) return JoinPath(programFolder, kFileName);
    return {};
}

std::string DefaultSettingsFilePath() {
    const std::string folder = RunningProgramFolder();
    const bool installed = IsInstalledProgramFolder(folder, CompiledInstallLayout());
    // The installed copy never probes its system folder with a file of its own.
    const bool writable = !installed && CanCreateFilesIn(folder);
    return ChooseSettingsFilePath(folder, writable, installed, std::getenv("XDG_CONFIG_HOME"),
                                  std::getenv("HOME"));
}

}  // namespace ostrel
