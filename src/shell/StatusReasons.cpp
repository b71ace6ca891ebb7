#include "shell/StatusReasons.h"

#include "model/PatternData.h"

namespace ostrel {

namespace {

TStatusMessage Both(const std::string& text) {
    return {text, text};
}

}  // namespace

void TOpenReport::Opened(const std::string& path) {
    ++FTried;
    FLastOpened = FileNamePart(path);
    ++FOpened;
}

void TOpenReport::Failed(const std::string& path, const std::string& reason) {
    ++FTried;
    FProblems.push_back(FileNamePart(path) + ": " + (reason.empty() ? "not readable" : reason));
}

void TOpenReport::Duplicate(const std::string& path) {
    ++FTried;
    FProblems.push_back(FileNamePart(path) + " is already open");
}

void TOpenReport::FolderProblem(const std::string& problem) {
    FProblems.push_back(problem);
}

TStatusMessage TOpenReport::Message() const {
    if (FTried == 0 && FProblems.empty()) return {};
    // A folder of thousands of broken files names the first few; the rest are counted,
    // so that the status bar never lays out megabytes of text.
    constexpr size_t kLineProblems = 5;
    constexpr size_t kToolTipProblems = 40;
    std::string problems;
    std::string toolTip;
    for (size_t i = 0; i < FProblems.size(); ++i) {
        const std::string more = "\u2026 and " + std::to_string(FProblems.size() - i) + " more";
        if (i < kLineProblems) {
            problems += (i == 0 ? "" : "; ") + FProblems[i];
        } else if (i == kLineProblems) {
            problems += "; " + more;
        }
        if (i == kToolTipProblems) {
            toolTip += "\n" + more;
            break;
        }
        toolTip += (i == 0 ? "" : "\n") + FProblems[i];
    }
    if (FProblems.empty()) {
        return Both(FTried == 1 ? FLastOpened + " opened"
                                : std::to_string(FTried) + " files opened");
    }
    if (FTried == 1 && FOpened == 1) return {FLastOpened + " opened \u2014 " + problems, toolTip};
    if (FTried <= 1) return {problems, toolTip};
    return {std::to_string(FOpened) + " of " + std::to_string(FTried) + " files opened \u2014 " +
                problems,
            toolTip};
}

TStatusMessage CutsImportedMessage(const std::string& path, int cuts) {
    return Both(std::to_string(cuts) + (cuts == 1 ? " cut" : " cuts") + " imported from " +
                FileNamePart(path));
}

TStatusMessage ClosedMessage(const TPatternDataList& closed) {
    if (closed.Count() == 0) return {};
    if (closed.Count() == 1) return Both(DisplayName(closed.Items(0), true) + " closed");
    return Both(std::to_string(closed.Count()) + " files closed");
}

TStatusMessage MissingRecentFileMessage(const std::string& path) {
    return Both(path + " no longer exists; it has been taken off the Reopen list");
}

TStatusMessage NoEditorMessage(const std::string& path) {
    return Both("No text editor could be started for " + FileNamePart(path));
}

TStatusMessage NoBrowserMessage(const std::string& address) {
    return Both("No browser or viewer could be started for " + address);
}

TStatusMessage No3dModuleMessage() {
    return Both("Unable to locate 3D module");
}

TStatusMessage No3dRuntimeMessage() {
    return Both("The 3D viewer could not be started: neither it nor mono or wine can run");
}

TStatusMessage SettingsNotSavedMessage(const std::string& iniPath, const std::string& reason) {
    return Both("Settings changed in this session will not be saved: " + iniPath + ": " + reason);
}

TStatusMessage MissingGuideMessage(const std::string& path) {
    return Both("The quick guide is missing: " + path);
}

}  // namespace ostrel
