#pragma once

#include <string>

// The program's fixed texts: its title, its maker and the maker's addresses. One place, so
// the window caption, the status bar, the about box and the launches agree.
namespace ostrel::branding {

inline constexpr const char* kProgramTitle = "Ostrel Viewer";
inline constexpr const char* kMakerName = "Velmor";
// The window caption: the maker's name in front of the program title.
inline constexpr const char* kWindowCaption = "Velmor Ostrel Viewer";
inline constexpr const char* kMakerLine = "Velmor, 2016";
// The project's version ("0.1.0"), set once in the top-level CMakeLists.txt; --version,
// the about box, the package and the AppStream entry all show it.
const char* ProgramVersion();
// The about box's version line: "Ver. " and the version.
std::string VersionText();
// Shown in the status bar.
inline constexpr const char* kWebAddress = "www.velmor.example";
// The maker's privacy-policy page: the about box's link and "License Agreement".
inline constexpr const char* kPrivacyUrl = "https://www.velmor.example/privacy";
inline constexpr const char* kLegalNotice =
    "This program is protected by copyright law. Velmor grants you the right to use it for "
    "viewing and printing antenna radiation patterns; redistribution of modified copies "
    "requires the written consent of Velmor.";
inline constexpr const char* kProgrammerName = "Ostrel team";

}  // namespace ostrel::branding
