#include <iostream>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"
#include "cli/ToolOutput.h"
#include "model/SafeFile.h"

int main(int argc, char** argv) {
    // Stopped with Ctrl+C or kill, the tool leaves no temporary file behind.
    ostrel::RemoveTemporaryFilesOnSignals();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrel::RunWithCheckedOutput(
        "ostrel-convert",
        [&](std::ostream& out, std::ostream& err) {
            return ostrel::RunConvert(arguments, out, err);
        },
        std::cerr);
}
