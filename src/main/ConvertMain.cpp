#include <iostream>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"
#include "model/SafeFile.h"

int main(int argc, char** argv) {
    // Stopped with Ctrl+C or kill, the tool leaves no temporary file behind.
    ostrel::RemoveTemporaryFilesOnSignals();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrel::RunConvert(arguments, std::cout, std::cerr);
}
