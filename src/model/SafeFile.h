#pragma once

#include <string>
#include <string_view>

namespace ostrel {

// Writing a whole file so that a failure never destroys what was there.
//
// The bytes go into a new temporary file in the target's folder (named "." + target name +
// ".tmp-" + a random suffix), every write, the flush to disk and the close are checked, and
// only then does the temporary file replace the target by a rename. On any failure the
// temporary file is removed and the target keeps its old content.
//
// A target that is a symbolic link has the file it points to replaced; the link stays. A
// target that exists but is not a regular file (/dev/null, /dev/full, a terminal) cannot be
// replaced by a rename and is written directly, every write still checked. A read-only
// target, or one in a read-only folder, is left alone and reported, also when the program
// runs with privileges that would let it write anyway.
//
// Returns "" on success, otherwise the reason: the system's error text, in English.
std::string WriteWholeFile(const std::string& path, std::string_view bytes);

// The system's text for an errno value ("No space left on device"), always in English: the
// viewer switches the C locale to the user's, and these texts appear inside English lines.
std::string SystemErrorText(int errorNumber);

// The prefix of the temporary files WriteWholeFile creates for `fileName` (a name without
// folder): "." + fileName + ".tmp-".
std::string TemporaryFilePrefix(std::string_view fileName);

}  // namespace ostrel
