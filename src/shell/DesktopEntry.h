#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// The few keys of a freedesktop.org desktop file that starting an application needs, read
// from its [Desktop Entry] group. Values are already unescaped (\s, \n, \t, \r, \\).
struct TDesktopEntry {
    std::string Type;
    std::string Exec;
    std::string TryExec;
    bool Hidden = false;

    // An entry that can be started with a file: an application, not hidden, with an Exec.
    bool CanOpenFiles() const { return Type == "Application" && !Hidden && !Exec.empty(); }
};

// Reads the [Desktop Entry] group of a desktop file's text. Other groups, comments and
// localised keys ("Exec[de]") are skipped; the first occurrence of a key wins. Returns
// nothing when the text has no [Desktop Entry] group.
std::optional<TDesktopEntry> ParseDesktopEntry(std::string_view text);

// Undoes the escapes of a desktop-file string value: \s \n \t \r \\. Any other backslash
// is kept as it is.
std::string UnescapeDesktopValue(std::string_view value);

// Turns an Exec value (already unescaped) into the program and its arguments for opening
// one file, without any shell:
// - arguments are separated by blanks; double quotes group an argument, and inside them a
//   backslash makes ", `, $ and \ literal; single quotes group literally; outside quotes a
//   backslash makes the next character literal;
// - %f, %F, %u and %U become filePath as it is (a local path serves where a URL is asked
//   for), only the first of them is used; %% is a percent sign; %i, %c, %k and the
//   deprecated %d %D %n %N %v %m are dropped; an argument that consisted only of dropped
//   codes disappears;
// - inside quotes only %% is recognised (as a percent sign), and the substituted path is
//   never scanned again, so a path with %, quotes, blanks or $() stays one literal argument;
// - when the line has no file field code, the file is added as the last argument.
// Returns nothing for a malformed line: no program, an unclosed quote, a trailing
// backslash, an unknown or incomplete field code, or a file code in the program's place
// (which would run the file itself).
std::optional<std::vector<std::string>> ExecCommandForFile(std::string_view exec,
                                                           const std::string& filePath);

// The paths, relative to an applications/ folder, where the desktop file with this id may
// be: the id itself, then with its dashes turned into subfolders from the left
// ("kde4-kate.desktop" also as "kde4/kate.desktop"). Empty for an id that could leave the
// folder (a "/" or a ".." part) or that is empty.
std::vector<std::string> DesktopFileRelativePaths(std::string_view desktopId);

// The applications/ folders to search, most important first: $XDG_DATA_HOME (by default
// $HOME/.local/share), then each entry of $XDG_DATA_DIRS (by default /usr/local/share and
// /usr/share). Empty or relative entries are skipped; every result ends with "/".
// Null pointers stand for unset variables.
std::vector<std::string> XdgApplicationFolders(const char* dataHome, const char* home,
                                               const char* dataDirs);

}  // namespace ostrel
