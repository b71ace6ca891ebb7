#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace ostrel {

// What a command-line tool's run function returned and wrote.
struct TToolRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs `run(arguments, out, err)` with string streams.
template <class TRunFunction>
TToolRun RunTool(TRunFunction&& run, const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    TToolRun result;
    result.Status = run(arguments, out, err);
    result.Out = out.str();
    result.Err = err.str();
    return result;
}

}  // namespace ostrel
