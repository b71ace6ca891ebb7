#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// What a tool does with the value of one of its options ("" for an option that takes none)
// or with an operand. Returns "" or the usage error ("unknown format 'pdf'").
using TArgumentHandler = std::function<std::string(const std::string& value)>;

// One option of a tool: "--NAME", optionally a one-letter "-X" form, the value it takes
// ("--NAME VALUE" or "--NAME=VALUE"), its lines in --help and what it does.
struct TOptionSpec {
    const char* Name = "";        // without the leading "--"
    char Short = 0;               // 0: no one-letter form
    const char* Value = nullptr;  // the value as --help names it ("DIR"); nullptr: none
    const char* Help = "";        // '\n' continues the text on the next line
    TArgumentHandler Handle;      // may be empty when only the count matters
};

// A tool's command line: the one table its parsing and its --help text come from. Every
// tool also knows "-h"/"--help", "--version" and "--" (the end of the options).
struct TCommandLine {
    const char* Tool = "";
    const char* Usage = "";  // the "usage: ..." lines, without a final newline
    const char* About = "";  // what the tool does, before the options
    std::vector<TOptionSpec> Options;
    const char* Notes = "";  // after the options: details and the exit status
    TArgumentHandler Operand;
};

// The handlers most options need: set a flag, keep the value (the last one given counts),
// collect every value in order.
TArgumentHandler SetFlag(bool& flag);
TArgumentHandler StoreValue(std::string& value);
TArgumentHandler AppendValue(std::vector<std::string>& values);

struct TParsedCommandLine {
    // Set when the tool is done: 0 after --help or --version was answered on standard
    // output, 2 after a usage error was reported.
    std::optional<int> ExitStatus;
    int OptionCount = 0;  // the options given, each occurrence counted
};

// Parses the command line as Linux users expect: options and operands in any order, "--"
// ends the options, "-" alone and negative numbers are operands or values, an option that
// takes a value never swallows another option, no abbreviated names. Nothing is handled
// when a word is wrong; then "--help" and "--version" are answered; then the handlers run
// in command-line order, the first problem a handler reports being the usage error (after
// "--NAME: " when it is an option's).
TParsedCommandLine ParseCommandLine(const TCommandLine& line,
                                    const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err);

// Writes "<tool>: <problem>" (when there is one) and the usage lines to `err`; returns 2.
int UsageError(const TCommandLine& line, const std::string& problem, std::ostream& err);

// The --help text: usage, about, one entry per option and the notes.
std::string HelpText(const TCommandLine& line);

}  // namespace ostrel
