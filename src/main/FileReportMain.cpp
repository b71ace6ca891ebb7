#include <iostream>
#include <string>
#include <vector>

#include "cli/FileReport.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrel::RunInspect(arguments, std::cout, std::cerr);
}
