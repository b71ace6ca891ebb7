#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ostrel {

// One option a command-line tool accepts: "--name", optionally a one-letter "-x" form, and
// whether it takes a value ("--name VALUE" or "--name=VALUE").
struct TOptionSpec {
    std::string Name;  // without the leading "--"
    char Short = 0;    // 0: no one-letter form
    bool TakesValue = false;
};

// An option as it appeared, in command-line order (some tools care about the order).
struct TGivenOption {
    std::string Name;
    std::string Value;
};

// The command line of a tool, parsed as Linux users expect: options and operands in any
// order, "--" ends the options, "-" alone is an operand, an option that takes a value never
// swallows another option, "--help" and "--version" are known to every tool.
class TCommandOptions {
public:
    // Returns "" or the usage error ("unknown option '--x'", "--to needs a value").
    std::string Parse(const std::vector<std::string>& arguments,
                      const std::vector<TOptionSpec>& specs);

    bool Has(const std::string& name) const;
    // The value of the last occurrence, or `fallback` when the option was not given.
    std::string Value(const std::string& name, const std::string& fallback = {}) const;
    std::vector<std::string> Values(const std::string& name) const;

    std::vector<TGivenOption> Options;
    std::vector<std::string> Operands;
    // Options and operands together in command-line order; an operand has an empty Name.
    std::vector<TGivenOption> Items;
};

// The standard answers: when "--help" or "--version" was given, writes the usage or
// "<tool> <version>" to `out` and returns true (the tool then exits 0).
bool AnswerHelpOrVersion(const TCommandOptions& options, const char* tool, const char* usage,
                         std::ostream& out);

}  // namespace ostrel
