#include "model/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <locale.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <random>

#include "model/Errors.h"

namespace ostrel {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// Closes a descriptor when it goes out of scope unless it was closed (and checked) before.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : FFd(fd) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (FFd >= 0) ::close(FFd);
    }
    int Get() const { return FFd; }
    // Hands the descriptor over; it is no longer closed here.
    int Release() {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }
    // Closes now; false (errno set) when the close reports an error such as a write the
    // file system could not complete after all.
    bool Close() {
        const int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0;
    }

private:
    int FFd;
};

// Writes every byte, resuming after interruptions and short writes; false with errno set
// on the first failure.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::string ErrorText() {
    return SystemErrorText(errno);
}

std::string RandomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kLetters[pick(generator)];
    return suffix;
}

// A file or folder whose permission bits allow nobody to write is treated as read-only even
// for root, who could write it anyway: the user marked it so on purpose.
bool MayWrite(const std::string& path, const struct stat& status) {
    if ((status.st_mode & kAnyWriteBit) == 0) {
        errno = EACCES;
        return false;
    }
    return ::access(path.c_str(), W_OK) == 0;
}

// Where a write goes: the file a symbolic link points to, its folder ("" for the working
// folder, else ending in "/") and what is known of it.
struct TTarget {
    std::string Path;
    std::string Folder;
    std::string Name;
    bool Exists = false;
    bool InPlace = false;  // a device or pipe: written directly, not replaced
    mode_t Mode = 0;
};

// Where a chain of symbolic links ends, also when no file is there yet (a dangling link):
// each link's text counts from the link's own folder. A path that is not a link is itself.
// A chain that does not end (a loop) ends at a link.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
        if (size <= 0) return path;
        link.resize(static_cast<size_t>(size));
        const size_t slash = path.rfind('/');
        if (link.front() != '/' && slash != std::string::npos) link.insert(0, path, 0, slash + 1);
        path = std::move(link);
    }
    return path;
}

// Fills `target` and says why it cannot be written ("" when it can).
std::string ResolveTarget(const std::string& path, TTarget& target) {
    target.Path = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target.Path = resolved;
        std::free(resolved);
    } else if (!path.empty()) {
        // A link to a file not written yet: the file is made where the link points, and the
        // link stays.
        target.Path = FollowLinks(path);
        struct stat status {};
        if (::lstat(target.Path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
            return SystemErrorText(ELOOP);
        }
    }
    const size_t slash = target.Path.rfind('/');
    target.Folder = slash == std::string::npos ? std::string() : target.Path.substr(0, slash + 1);
    target.Name = target.Path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (path.empty()) return SystemErrorText(ENOENT);

    struct stat status {};
    target.Exists = ::stat(target.Path.c_str(), &status) == 0;
    target.Mode = status.st_mode;
    if (target.Exists) {
        if (S_ISDIR(status.st_mode)) return SystemErrorText(EISDIR);
        if (!S_ISREG(status.st_mode)) {
            target.InPlace = true;
            return {};
        }
        if (!MayWrite(target.Path, status)) return ErrorText();
    }
    const std::string folder = target.Folder.empty() ? "." : target.Folder;
    if (::stat(folder.c_str(), &status) != 0) return ErrorText();
    if (!MayWrite(folder, status)) return ErrorText();
    return {};
}

bool IsRandomSuffix(std::string_view text) {
    if (text.size() < 8 || text.size() > 16) return false;
    for (const char c : text) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// Targets that a rename cannot replace (devices, pipes): written in place.
std::string WriteInPlace(const std::string& path, std::string_view bytes) {
    // No blocking open: a named pipe with no reader is refused rather than waited for.
    TDescriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) return ErrorText();
    const int flags = ::fcntl(file.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!WriteAll(file.Get(), bytes)) return ErrorText();
    if (!file.Close()) return ErrorText();
    return {};
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path,
                                 const std::string& reason) {
    throw EFileError(std::string(what) + " \"" + path + "\". " + reason);
}

const char* FileKindName(mode_t mode) {
    if (S_ISFIFO(mode)) return "named pipe";
    if (S_ISCHR(mode)) return "character device";
    if (S_ISDIR(mode)) return "directory";
    if (S_ISSOCK(mode)) return "socket";
    if (S_ISBLK(mode)) return "block device";
    return "unknown kind";
}

[[noreturn]] void ThrowNotRegular(const std::string& path, mode_t mode) {
    ThrowFileError("Cannot open file", path,
                   std::string("Not a regular file (") + FileKindName(mode) + ")");
}

[[noreturn]] void ThrowTooLarge(const std::string& path, std::uint64_t maxBytes,
                                std::string_view kind) {
    ThrowFileError("Cannot open file", path,
                   "Too large for a " + std::string(kind) + " (more than " +
                       std::to_string(maxBytes / (1024 * 1024)) + " MiB)");
}

// The temporary files being written, for the signal handler: fixed slots of plain bytes,
// claimed and released through lock-free atomics, so the handler neither allocates nor
// locks.
struct TPendingSlot {
    std::atomic<int> State{0};  // 0 free, 1 being filled, 2 holds a path
    char Path[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);
constexpr int kPendingSlots = 8;
TPendingSlot GPendingSlots[kPendingSlots];

extern "C" void RemovePendingAndRaiseAgain(int signalNumber) {
    const int savedErrno = errno;
    for (TPendingSlot& slot : GPendingSlots) {
        if (slot.State.load(std::memory_order_acquire) == 2) ::unlink(slot.Path);
    }
    errno = savedErrno;
    // The handler was installed to be reset on entry: this ends the program as the signal
    // would have.
    ::raise(signalNumber);
}

// Signals that would end the program are held while a temporary file is created and
// remembered, so none can come between the two.
class TTerminationSignalsHeld {
public:
    TTerminationSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &held, &FPrevious);
    }
    ~TTerminationSignalsHeld() { pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
    TTerminationSignalsHeld(const TTerminationSignalsHeld&) = delete;
    TTerminationSignalsHeld& operator=(const TTerminationSignalsHeld&) = delete;

private:
    sigset_t FPrevious;
};

}  // namespace

TPendingTemporaryFile::TPendingTemporaryFile(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    for (int i = 0; i < kPendingSlots; ++i) {
        int expected = 0;
        if (GPendingSlots[i].State.compare_exchange_strong(expected, 1)) {
            std::memcpy(GPendingSlots[i].Path, path.c_str(), path.size() + 1);
            GPendingSlots[i].State.store(2, std::memory_order_release);
            FSlot = i;
            return;
        }
    }
}

TPendingTemporaryFile::~TPendingTemporaryFile() {
    if (FSlot >= 0) GPendingSlots[FSlot].State.store(0, std::memory_order_release);
}

void RemoveTemporaryFilesOnSignals() {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemovePendingAndRaiseAgain;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

TReadingFile::TReadingFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind)
    : FMaxBytes(maxBytes), FPath(path), FKind(kind) {
    // Never blocks in open (a named pipe without a writer would wait for ever); whatever
    // the path names is judged on the open descriptor, so it cannot be swapped in between.
    TDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        const int error = errno;
        struct stat status {};
        // A socket cannot be opened at all; say what it is rather than "No such device".
        if (error == ENXIO && ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
            ThrowNotRegular(path, status.st_mode);
        }
        ThrowFileError("Cannot open file", path, SystemErrorText(error));
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) ThrowFileError("Cannot open file", path, ErrorText());
    if (!S_ISREG(status.st_mode)) ThrowNotRegular(path, status.st_mode);
    FSize = static_cast<std::uint64_t>(status.st_size);
    if (FSize > maxBytes) ThrowTooLarge(path, maxBytes, kind);
    FFd = file.Release();
}

TReadingFile::~TReadingFile() {
    ::close(FFd);
}

bool TReadingFile::ReadInto(std::string& bytes, size_t upTo) {
    // The bytes arrive in a reused buffer and are copied once into the result: no
    // zero-filling of a string that is overwritten anyway. A pattern file takes one read: a
    // short read that brings the bytes to the size the file had when opened has met its end
    // (a short read for any other reason leaves fewer bytes, and the loop reads on).
    constexpr size_t kChunk = 64 * 1024;
    thread_local const std::unique_ptr<char[]> chunk(new char[kChunk]);
    while (bytes.size() < upTo) {
        const size_t asked = std::min(kChunk, upTo - bytes.size());
        const ssize_t got = ::read(FFd, chunk.get(), asked);
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowFileError("Cannot read file", FPath, ErrorText());
        }
        if (got == 0) return true;
        bytes.append(chunk.get(), static_cast<size_t>(got));
        FRead += static_cast<std::uint64_t>(got);
        if (static_cast<size_t>(got) < asked && FRead == FSize) return true;
        // A file that grows while it is read, or one of the system's files that report no
        // size at all, is held to the same limit.
        if (bytes.size() > FMaxBytes) ThrowTooLarge(FPath, FMaxBytes, FKind);
    }
    return false;
}

std::string ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind,
                          size_t spareCapacity) {
    TReadingFile file(path, maxBytes, kind);
    std::string bytes;
    bytes.reserve(static_cast<size_t>(file.Size()) + spareCapacity);
    file.ReadInto(bytes);
    return bytes;
}

TMemoryFile::TMemoryFile() : FFd(::memfd_create("ostrel-output", MFD_CLOEXEC)) {
    if (FFd < 0) throw EFileError("Cannot create a file in memory. " + ErrorText());
    FPath = "/proc/self/fd/" + std::to_string(FFd);
}

TMemoryFile::~TMemoryFile() {
    ::close(FFd);
}

std::string TMemoryFile::Bytes() const {
    struct stat status {};
    if (::fstat(FFd, &status) != 0)
        throw EFileError("Cannot read a file in memory. " + ErrorText());
    std::string bytes(static_cast<size_t>(status.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(FFd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) errno = EIO;  // shorter than it said
        if (got <= 0) throw EFileError("Cannot read a file in memory. " + ErrorText());
        done += static_cast<size_t>(got);
    }
    return bytes;
}

std::string SystemErrorText(int errorNumber) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (cLocale != static_cast<locale_t>(0)) return ::strerror_l(errorNumber, cLocale);
    return "System error " + std::to_string(errorNumber);
}

std::string TemporaryFilePrefix(std::string_view fileName) {
    return "." + std::string(fileName) + ".tmp-";
}

std::string ReplaceProblem(const std::string& path) {
    TTarget target;
    return ResolveTarget(path, target);
}

std::string WriteWholeFile(const std::string& path, std::string_view bytes) {
    TTarget target;
    if (std::string problem = ResolveTarget(path, target); !problem.empty()) return problem;
    if (target.InPlace) return WriteInPlace(target.Path, bytes);

    std::string temporary;
    int fd = -1;
    std::optional<TPendingTemporaryFile> pending;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = target.Folder + TemporaryFilePrefix(target.Name) + RandomSuffix();
        const TTerminationSignalsHeld held;
        // O_EXCL: never write into a file someone else created under the same name.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return ErrorText();
        if (fd >= 0) pending.emplace(temporary);
    }
    if (fd < 0) return ErrorText();
    TDescriptor file(fd);

    std::string failure;
    if (target.Exists && ::fchmod(file.Get(), target.Mode & 07777) != 0) failure = ErrorText();
    if (failure.empty() && !WriteAll(file.Get(), bytes)) failure = ErrorText();
    // The data must be on the disk before the rename makes it the file's content.
    if (failure.empty() && ::fsync(file.Get()) != 0) failure = ErrorText();
    if (failure.empty() && !file.Close()) failure = ErrorText();
    if (failure.empty() && ::rename(temporary.c_str(), target.Path.c_str()) != 0) {
        failure = ErrorText();
    }
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // Best effort: make the rename itself durable.
    TDescriptor folder(::open(target.Folder.empty() ? "." : target.Folder.c_str(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) ::fsync(folder.Get());
    return {};
}

int RemoveStaleTemporaryFiles(const std::string& path, std::int64_t olderThanSeconds) {
    TTarget target;
    ResolveTarget(path, target);
    const std::string prefix = TemporaryFilePrefix(target.Name);
    DIR* folder = ::opendir(target.Folder.empty() ? "." : target.Folder.c_str());
    if (!folder) return 0;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.substr(0, prefix.size()) != prefix ||
            !IsRandomSuffix(name.substr(prefix.size()))) {
            continue;
        }
        const std::string candidate = target.Folder + std::string(name);
        struct stat status {};
        // Only our own files, and none another running copy may be writing right now.
        if (::lstat(candidate.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid() ||
            now - static_cast<std::int64_t>(status.st_mtime) < olderThanSeconds) {
            continue;
        }
        if (::unlink(candidate.c_str()) == 0) ++removed;
    }
    ::closedir(folder);
    return removed;
}

}  // namespace ostrel
