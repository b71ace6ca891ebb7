#include <gtest/gtest.h>

#include "cli/CommandOptions.h"

using namespace ostrel;

namespace {

const std::vector<TOptionSpec> kSpecs = {{"to", 't', true}, {"recursive", 'r', false}};

struct TCase {
    std::vector<std::string> Arguments;
    std::string Error;               // expected usage error, "" when the line is valid
    std::string To;                  // value of --to
    std::vector<std::string> Files;  // operands
};

}  // namespace

TEST(CommandOptions, ParsesAsLinuxToolsDo) {
    const std::vector<TCase> cases = {
        {{"a.msi", "--to", "nsm", "b.msi"}, "", "nsm", {"a.msi", "b.msi"}},
        {{"--to=csv", "-r", "dir"}, "", "csv", {"dir"}},
        {{"-t", "vwa", "--to", "msi"}, "", "msi", {}},   // the last one counts
        {{"--to", "-3", "-"}, "", "-3", {"-"}},          // numbers and "-" are values
        {{"--", "--to", "-r"}, "", "", {"--to", "-r"}},  // "--" ends the options
        {{"--to", "--recursive", "a"}, "--to needs a value", "", {}},
        {{"--to"}, "--to needs a value", "", {}},
        {{"--recursive=yes"}, "--recursive takes no value", "", {}},
        {{"-x"}, "unknown option '-x'", "", {}},
        {{"--tox", "a"}, "unknown option '--tox'", "", {}},
    };
    for (const TCase& c : cases) {
        TCommandOptions options;
        EXPECT_EQ(options.Parse(c.Arguments, kSpecs), c.Error) << c.Arguments.front();
        if (!c.Error.empty()) continue;
        EXPECT_EQ(options.Value("to"), c.To) << c.Arguments.front();
        EXPECT_EQ(options.Operands, c.Files) << c.Arguments.front();
    }
}
