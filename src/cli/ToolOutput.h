#pragma once

#include <unistd.h>

#include <array>
#include <functional>
#include <iosfwd>
#include <streambuf>
#include <string>

namespace ostrel {

// A tool's standard output with every write checked. The bytes go straight to the file
// descriptor (line by line on a terminal, in large blocks otherwise); the first failed write
// is kept with the system's reason, and from then on the stream reports failure, so nothing
// after it is taken for written.
class TCheckedOutputBuffer : public std::streambuf {
public:
    explicit TCheckedOutputBuffer(int fd);
    TCheckedOutputBuffer(const TCheckedOutputBuffer&) = delete;
    TCheckedOutputBuffer& operator=(const TCheckedOutputBuffer&) = delete;

    // Writes what is buffered and closes the descriptor (some file systems report a failed
    // write only then). Returns "" or the reason the output was not written whole.
    std::string Close();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    bool Drain();
    bool WriteAll(const char* bytes, size_t count);

    int FFd;
    bool FLineBuffered;
    std::string FFailure;
    std::array<char, 1 << 16> FBuffer{};
};

// Runs one of the tools with `out` on its standard output (or on `outputFd`, which it then
// owns). When any write, the final flush or the close failed, the reason follows on `err`
// ("ostrel-inspect: cannot write standard output: No space left on device") and a status of
// 0 becomes 1: output that did not arrive is never reported as success.
int RunWithCheckedOutput(const char* tool,
                         const std::function<int(std::ostream& out, std::ostream& err)>& run,
                         std::ostream& err, int outputFd = STDOUT_FILENO);

}  // namespace ostrel
