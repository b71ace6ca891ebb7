#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// What reading one pattern file gave: its patterns, or why there are none. Every reader
// reports through this; whatever a parser raises inside stops at LoadPatternBytes.
struct TLoadedFile {
    // Every pattern of the file, in file order (most files hold one, an NSMA file one per
    // frequency); none when the file did not load.
    std::vector<std::unique_ptr<TPatternData>> Patterns;
    // What the file holds that no pattern shows (cuts of other planes), one line each.
    std::vector<std::string> IgnoredParts;
    // Why the file did not load, in English; empty when it loaded.
    std::string Failure;

    bool Loaded() const { return Failure.empty(); }
    // The first pattern, moved out; null when the file did not load.
    std::unique_ptr<TPatternData> TakeFirst();
};

// The formats the readers know (the writers have their own list).
enum class TReadFormat { Ostrel, Verizon, Nsma, EdxPat, Basta };

// The reader for a file, from its first bytes and its name. The content decides first: a
// JSON object naming a BASTA key is an NGMN BASTA 3D file (never told by its ".json" name
// alone), a first line that is a REVNUM record is NSMA, a quoted name followed by a comma is an EDX
// pattern file. Otherwise the extension in any letter case: ".adf", ".nsm", ".nsma" NSMA,
// ".pat" EDX, ".vwa" Verizon, anything else Ostrel. `head` is the file's first bytes (at
// least its first 4 KB, or all of it).
TReadFormat ChooseReadFormat(std::string_view path, std::string_view head);

// True when the first bytes of a file say it is a pattern file whatever its name (the
// content rules of ChooseReadFormat): folders also open such files under other names.
bool HasPatternFileContent(std::string_view head);

// Reads the file at `path` once, through ReadFileBytes, and parses it as LoadPatternBytes.
TLoadedFile LoadPatternFile(const std::string& path);

// Parses a pattern file whose bytes are in memory already: the reader is chosen from the
// bytes and the path's extension, and the patterns are named after `path`. Bytes read with
// ReadFileBytes keep spare capacity behind them, which lets a parser read in blocks past
// their end without copying them first.
TLoadedFile LoadPatternBytes(const std::string& path, const std::string& bytes);

// True when the path's extension, upper-cased, is ".VWA".
bool IsVerizonFileName(const std::string& path);

}  // namespace ostrel
