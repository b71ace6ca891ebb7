#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel {

// Reading a whole file that is what it claims to be, at once or not at all.
//
// The path is opened without blocking (a named pipe with no writer would wait for ever) and
// judged on the open descriptor: anything but a regular file (a named pipe, a device, a
// folder, a socket) and any file over `maxBytes` is refused unread. Throws EFileError
// 'Cannot open file "PATH". REASON' (such as "Not a regular file (named pipe)" or "Too large
// for a KIND (more than 64 MiB)") or 'Cannot read file "PATH". REASON'.
// `spareCapacity` more bytes are reserved behind the content in the same allocation, for a
// parser that reads a little past the end of its input.
std::string ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind,
                          size_t spareCapacity = 0);

// A file opened and judged as ReadWholeFile opens and judges it (same errors), whose bytes
// are then taken from the front in as many steps as the reader wants: a folder scan reads
// a file's head to learn what it is and, only when it is wanted, the rest, all through one
// open.
class TReadingFile {
public:
    TReadingFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind);
    ~TReadingFile();
    TReadingFile(const TReadingFile&) = delete;
    TReadingFile& operator=(const TReadingFile&) = delete;

    // The size the file had when it was opened.
    std::uint64_t Size() const { return FSize; }
    // Appends the file's next bytes to `bytes` until it holds `upTo` bytes or the file ends;
    // true when the file has ended. Throws EFileError when a read fails or the file grew past
    // the limit.
    bool ReadInto(std::string& bytes, size_t upTo = SIZE_MAX);

private:
    int FFd = -1;
    std::uint64_t FSize = 0;
    // The bytes read so far.
    std::uint64_t FRead = 0;
    std::uint64_t FMaxBytes;
    std::string FPath;
    std::string FKind;
};

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

// Why WriteWholeFile would refuse `path` before writing anything: a read-only file or
// folder, a missing folder, a folder as the target. "" when nothing stands in the way.
std::string ReplaceProblem(const std::string& path);

// Removes the temporary files WriteWholeFile left beside `path` when the program was killed
// while writing: only regular files of this user, named as it names them, and last changed
// at least `olderThanSeconds` ago (younger ones may belong to a copy of the program that is
// writing now). Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& path, std::int64_t olderThanSeconds = 60);

// Makes SIGINT and SIGTERM first remove the temporary files WriteWholeFile is writing, then
// end the program as those signals end it. For the command-line tools, once at start; a
// signal that is ignored (as under nohup) stays ignored.
void RemoveTemporaryFilesOnSignals();

// While it lives, `path` is a temporary file the handler of RemoveTemporaryFilesOnSignals
// removes. WriteWholeFile holds one for each file it writes. The path is kept in a fixed
// buffer the handler can read without allocating; a path too long for it (or more files at
// once than it has room for) is not removed.
class TPendingTemporaryFile {
public:
    explicit TPendingTemporaryFile(const std::string& path);
    ~TPendingTemporaryFile();
    TPendingTemporaryFile(const TPendingTemporaryFile&) = delete;
    TPendingTemporaryFile& operator=(const TPendingTemporaryFile&) = delete;

private:
    int FSlot = -1;
};

// A file held in memory only, with a path other code can open to write into it: for
// libraries that write to a named file without reporting failed writes (the toolkit's PDF
// printer). Its bytes are then written out, checked, with WriteWholeFile.
class TMemoryFile {
public:
    // Throws EFileError when the system offers no memory file.
    TMemoryFile();
    ~TMemoryFile();
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    // A path that opens this file ("/proc/self/fd/N"), valid while the object lives.
    const std::string& Path() const { return FPath; }
    // Everything written into it so far.
    std::string Bytes() const;

private:
    int FFd = -1;
    std::string FPath;
};

// The system's text for an errno value ("No space left on device"), always in English: the
// viewer switches the C locale to the user's, and these texts appear inside English lines.
std::string SystemErrorText(int errorNumber);

// The prefix of the temporary files WriteWholeFile creates for `fileName` (a name without
// folder): "." + fileName + ".tmp-".
std::string TemporaryFilePrefix(std::string_view fileName);

}  // namespace ostrel
