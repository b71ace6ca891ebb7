#include <gtest/gtest.h>

#include <sstream>

#include "cli/CommandOptions.h"

using namespace ostrel;

namespace {

struct TCase {
    std::vector<std::string> Arguments;
    int Status;                      // -1: the tool runs
    std::string Err;                 // the first line on standard error
    std::string To;                  // the values of --to, in order
    std::vector<std::string> Files;  // the operands
};

}  // namespace

TEST(CommandOptions, ParsesAsLinuxToolsDo) {
    const std::vector<TCase> cases = {
        {{"a.msi", "--to", "nsm", "b.msi"}, -1, "", "nsm", {"a.msi", "b.msi"}},
        {{"--to=csv", "-r", "dir"}, -1, "", "csv", {"dir"}},
        {{"-t", "vwa", "--to", "msi"}, -1, "", "vwa msi", {}},
        {{"--to", "-3", "-", "--to", "-.5"}, -1, "", "-3 -.5", {"-"}},  // numbers and "-"
        {{"--", "--to", "-r"}, -1, "", "", {"--to", "-r"}},             // "--" ends the options
        {{"--to", "--recursive", "a"}, 2, "tool: --to needs a value", "", {}},
        {{"--to", "--", "a"}, 2, "tool: --to needs a value", "", {}},
        {{"a", "-t"}, 2, "tool: --to needs a value", "", {}},
        {{"--recursive=yes"}, 2, "tool: --recursive takes no value", "", {}},
        {{"-x"}, 2, "tool: unknown option '-x'", "", {}},
        {{"--rec", "a"}, 2, "tool: unknown option '--rec'", "", {}},  // no abbreviations
        {{"--tox=a"}, 2, "tool: unknown option '--tox=a'", "", {}},
        // A handler's problem is the usage error; the handlers before it have run.
        {{"--to", "a", "--to", "bad", "b"}, 2, "tool: --to: bad value 'bad'", "a", {}},
        // A wrong word wins over --help, --help over what the handlers would say.
        {{"--help", "-x"}, 2, "tool: unknown option '-x'", "", {}},
        {{"--to", "bad", "-h"}, 0, "", "", {}},
        {{"--version", "--help"}, 0, "", "", {}},
    };
    for (const TCase& c : cases) {
        std::string to;
        std::vector<std::string> files;
        const TCommandLine line{"tool",
                                "usage: tool [--to X] FILE...",
                                "Does things.",
                                {{"to", 't', "X", "where to",
                                  [&to](const std::string& value) {
                                      if (value == "bad") return "bad value '" + value + "'";
                                      to += (to.empty() ? "" : " ") + value;
                                      return std::string();
                                  }},
                                 {"recursive", 'r', nullptr, "deep", {}}},
                                "",
                                [&files](const std::string& file) {
                                    files.push_back(file);
                                    return std::string();
                                }};
        std::ostringstream out;
        std::ostringstream err;
        const std::string label = testing::PrintToString(c.Arguments);
        const TParsedCommandLine parsed = ParseCommandLine(line, c.Arguments, out, err);
        EXPECT_EQ(parsed.ExitStatus.value_or(-1), c.Status) << label;
        EXPECT_EQ(err.str().substr(0, err.str().find('\n')), c.Err) << label;
        if (c.Status == 2) {
            EXPECT_NE(err.str().find("\nusage: tool [--to X] FILE...\n"), std::string::npos);
        }
        EXPECT_EQ(out.str().empty(), c.Status != 0) << label;
        EXPECT_EQ(to, c.To) << label;
        if (c.Status == -1) {
            EXPECT_EQ(files, c.Files) << label;
        }
    }
}

TEST(CommandOptions, HelpComesFromTheTable) {
    const TCommandLine line{"tool",
                            "usage: tool [-o DIR] FILE...",
                            "Does things.",
                            {{"output", 'o', "DIR", "where to write\nwhat it writes", {}},
                             {"fast", 0, nullptr, "quickly", {}}},
                            "Exit status: 0.\n",
                            {}};
    EXPECT_EQ(HelpText(line),
              "usage: tool [-o DIR] FILE...\n"
              "\n"
              "Does things.\n"
              "\n"
              "  -o, --output DIR\n"
              "                  where to write\n"
              "                  what it writes\n"
              "  --fast          quickly\n"
              "  --              end of options: every later word is a file\n"
              "  -h, --help      this text\n"
              "  --version       the program's version\n"
              "\n"
              "Exit status: 0.\n");
    std::ostringstream out;
    std::ostringstream err;
    ParseCommandLine(line, {"--version"}, out, err);
    EXPECT_EQ(out.str(), "tool " OSTREL_VERSION "\n");
    EXPECT_EQ(ParseCommandLine(line, {"a", "--fast", "-o", "d", "--fast"}, out, err).OptionCount,
              3);
}
