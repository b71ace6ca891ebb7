#include <iostream>
#include <string>
#include <vector>

#include "cli/FileReport.h"
#include "cli/ToolOutput.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrel::RunWithCheckedOutput(
        "ostrel-inspect",
        [&](std::ostream& out, std::ostream& err) {
            return ostrel::RunInspect(arguments, out, err);
        },
        std::cerr);
}
