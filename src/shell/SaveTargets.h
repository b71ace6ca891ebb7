#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel {

class TPatternData;

// File names are at most 255 bytes on the usual file systems; a proposed name leaves room
// for the extension and for the temporary name a file is first written under.
inline constexpr size_t kMaxProposedStemBytes = 200;

// `stem` when it fits in `maxBytes`, else its start and its end around "\u2026HASH\u2026"
// (eight hex digits of the whole stem, so that names cut alike stay apart), cut between
// whole UTF-8 characters and at most `maxBytes` long.
std::string ShortenedFileStem(const std::string& stem, size_t maxBytes = kMaxProposedStemBytes);

// The name Save As proposes for a pattern: its file name without the extension, followed by
// "@frequency" for one of several patterns of a file ("sector65_2freq@1850"), so that the
// patterns of one file get names that differ; a derived pattern's name as it stands. One
// path component (see SafeFileName), shortened as ShortenedFileStem does.
std::string ProposedSaveName(const TPatternData& pattern);

// The path with ".extension" added unless its name already ends in it (any letter case).
std::string WithExtension(const std::string& path, std::string_view extension);

// The question a save dialog asks before it replaces an existing file, for a name the
// dialog never saw (we added its extension): "NAME already exists.\nDo you want to replace
// it?"
std::string ReplaceQuestion(const std::string& path);

// Where Save As stands after its dialogs: "2 patterns saved.", counting each file once
// however often it was written, then the failures.
std::string PatternsSavedText(int filesWritten, const std::string& failures);

// After Export Table: "Table of 12 patterns exported to NAME", and when a filter hides
// rows, " (12 of 40 shown by the filter)".
std::string TableExportedText(const std::string& path, int rowsWritten, int rowsInModel);

}  // namespace ostrel
