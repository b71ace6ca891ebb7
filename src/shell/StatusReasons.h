#pragma once

#include <string>
#include <vector>

namespace ostrel {

class TPatternDataList;

// What the main window's stretching status panel says after a command that opens, closes or
// launches something: one line, and the full list of reasons for its tool tip.
struct TStatusMessage {
    std::string Text;
    std::string ToolTip;

    bool operator==(const TStatusMessage&) const = default;
};

// Collects the outcome of opening one or more files, so that a user can find out why a file
// left no row, without a message box interrupting a batch.
class TOpenReport {
public:
    void Opened(const std::string& path);
    // The file did not load; `reason` is the reader's message.
    void Failed(const std::string& path, const std::string& reason);
    // The file was skipped because it is open already.
    void Duplicate(const std::string& path);
    // A folder that could not be read, or gave no pattern file; `problem` names the folder
    // (it is no file, so it is not counted among the files tried).
    void FolderProblem(const std::string& problem);

    int Tried() const { return FTried; }
    int OpenedCount() const { return FOpened; }
    const std::vector<std::string>& Problems() const { return FProblems; }

    // "panel.msi opened", "3 files opened", "a.msi: Cannot find Vertical section.",
    // "2 of 3 files opened — b.msi is already open", "panel.msi opened — cannot read folder
    // /lib/old: Permission denied"; the tool tip lists every problem on a line of its own.
    // Empty when nothing was tried and nothing went wrong.
    TStatusMessage Message() const;

private:
    int FTried = 0;
    int FOpened = 0;
    std::string FLastOpened;
    std::vector<std::string> FProblems;
};

// An EDX import that added `cuts` patterns: "72 cuts imported from sector65_edx.doc".
TStatusMessage CutsImportedMessage(const std::string& path, int cuts);
// Patterns taken out of the table by Close All or Delete: "panel.msi closed",
// "3 files closed"; empty when there were none.
TStatusMessage ClosedMessage(const TPatternDataList& closed);

// A chosen recent file that is gone (it has been taken off the list).
TStatusMessage MissingRecentFileMessage(const std::string& path);
// No plain-text editor could be started on the file.
TStatusMessage NoEditorMessage(const std::string& path);
// The desktop could not open a web address or document.
TStatusMessage NoBrowserMessage(const std::string& address);
// The 3D viewer file is not beside the program ("Unable to locate 3D module").
TStatusMessage No3dModuleMessage();
// The 3D viewer file is there but could not be started.
TStatusMessage No3dRuntimeMessage();
// This run's settings cannot be saved to the settings file, and why.
TStatusMessage SettingsNotSavedMessage(const std::string& iniPath, const std::string& reason);
// The quick guide is not beside the program.
TStatusMessage MissingGuideMessage(const std::string& path);

}  // namespace ostrel
