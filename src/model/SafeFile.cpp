#include "model/SafeFile.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

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

}  // namespace

std::string SystemErrorText(int errorNumber) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (cLocale != static_cast<locale_t>(0)) return ::strerror_l(errorNumber, cLocale);
    return "System error " + std::to_string(errorNumber);
}

std::string TemporaryFilePrefix(std::string_view fileName) {
    return "." + std::string(fileName) + ".tmp-";
}

std::string WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return SystemErrorText(ENOENT);

    // Replace the file a symbolic link points to, not the link.
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat oldStatus {};
    const bool exists = ::stat(target.c_str(), &oldStatus) == 0;
    if (exists) {
        if (S_ISDIR(oldStatus.st_mode)) return SystemErrorText(EISDIR);
        if (!S_ISREG(oldStatus.st_mode)) return WriteInPlace(target, bytes);
        if (!MayWrite(target, oldStatus)) return ErrorText();
    }

    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0) return ErrorText();
    if (!MayWrite(folder, folderStatus)) return ErrorText();

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = (slash == std::string::npos ? std::string() : folder) +
                    TemporaryFilePrefix(name) + RandomSuffix();
        // O_EXCL: never write into a file someone else created under the same name.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return ErrorText();
    }
    if (fd < 0) return ErrorText();
    TDescriptor file(fd);

    std::string failure;
    if (exists && ::fchmod(file.Get(), oldStatus.st_mode & 07777) != 0) failure = ErrorText();
    if (failure.empty() && !WriteAll(file.Get(), bytes)) failure = ErrorText();
    // The data must be on the disk before the rename makes it the file's content.
    if (failure.empty() && ::fsync(file.Get()) != 0) failure = ErrorText();
    if (failure.empty() && !file.Close()) failure = ErrorText();
    if (failure.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = ErrorText();
    }
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // Best effort: make the rename itself durable.
    TDescriptor folderHandle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderHandle.Get() >= 0) ::fsync(folderHandle.Get());
    return {};
}

}  // namespace ostrel
