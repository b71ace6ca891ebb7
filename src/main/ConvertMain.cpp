#include <iostream>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrel::RunConvert(arguments, std::cout, std::cerr);
}
