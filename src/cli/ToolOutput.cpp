#include "cli/ToolOutput.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "model/SafeFile.h"

namespace ostrel {

TCheckedOutputBuffer::TCheckedOutputBuffer(int fd) : FFd(fd), FLineBuffered(::isatty(fd) == 1) {
    setp(FBuffer.data(), FBuffer.data() + FBuffer.size());
}

bool TCheckedOutputBuffer::WriteAll(const char* bytes, size_t count) {
    while (count > 0 && FFailure.empty()) {
        const ssize_t written = ::write(FFd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            FFailure = SystemErrorText(written < 0 ? errno : EIO);
            break;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return FFailure.empty();
}

bool TCheckedOutputBuffer::Drain() {
    const bool written = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(FBuffer.data(), FBuffer.data() + FBuffer.size());
    return written;
}

TCheckedOutputBuffer::int_type TCheckedOutputBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    if (FLineBuffered && traits_type::to_char_type(c) == '\n' && !Drain()) {
        return traits_type::eof();
    }
    return c;
}

std::streamsize TCheckedOutputBuffer::xsputn(const char* bytes, std::streamsize count) {
    if (!FFailure.empty() || count <= 0) return 0;
    const size_t size = static_cast<size_t>(count);
    if (size > static_cast<size_t>(epptr() - pptr())) {
        if (!Drain()) return 0;
        if (size >= FBuffer.size()) return WriteAll(bytes, size) ? count : 0;
    }
    std::memcpy(pptr(), bytes, size);
    pbump(static_cast<int>(size));
    if (FLineBuffered && std::memchr(bytes, '\n', size) && !Drain()) return 0;
    return count;
}

int TCheckedOutputBuffer::sync() {
    return Drain() ? 0 : -1;
}

std::string TCheckedOutputBuffer::Close() {
    Drain();
    if (FFd >= 0 && ::close(FFd) != 0 && errno != EINTR && FFailure.empty()) {
        FFailure = SystemErrorText(errno);
    }
    FFd = -1;
    return FFailure;
}

int RunWithCheckedOutput(const char* tool,
                         const std::function<int(std::ostream& out, std::ostream& err)>& run,
                         std::ostream& err, int outputFd) {
    TCheckedOutputBuffer buffer(outputFd);
    std::ostream out(&buffer);
    const int status = run(out, err);
    out.flush();
    const std::string failure = buffer.Close();
    if (failure.empty()) return status;
    err << tool << ": cannot write standard output: " << failure << '\n';
    return status == 0 ? 1 : status;
}

}  // namespace ostrel
