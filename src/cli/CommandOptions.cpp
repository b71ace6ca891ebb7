#include "cli/CommandOptions.h"

#include <algorithm>
#include <ostream>

namespace ostrel {

namespace {

// Every tool's own options, after those of its table.
const TOptionSpec kHelpOption{"help", 'h', nullptr, "this text", {}};
const TOptionSpec kVersionOption{"version", 0, nullptr, "the program's version", {}};

// Where the help text of an option starts; a longer name and value take a line of their own.
constexpr size_t kHelpColumn = 18;

// A word that is an option rather than a value: "-x" or "--x", but not "-" alone nor a
// negative number ("-3" is a value, as an offset or a level may be).
bool LooksLikeOption(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    const char next = word[1];
    return !(next >= '0' && next <= '9') && next != '.';
}

struct TGiven {
    const TOptionSpec* Option = nullptr;  // nullptr: an operand
    std::string Value;
};

// The words split into options and operands, or the usage error.
std::string Split(const TCommandLine& line, const std::vector<std::string>& arguments,
                  std::vector<TGiven>& given) {
    std::vector<const TOptionSpec*> known;
    for (const TOptionSpec& option : line.Options) known.push_back(&option);
    known.push_back(&kHelpOption);
    known.push_back(&kVersionOption);
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || !LooksLikeOption(word)) {
            given.push_back({nullptr, word});
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = word.find('=');
        const bool hasInlineValue = word[1] == '-' && equals != std::string::npos;
        auto found = std::find_if(known.begin(), known.end(), [&](const TOptionSpec* option) {
            return word[1] == '-' ? word.compare(2, equals - 2, option->Name) == 0
                                  : word.size() == 2 && option->Short == word[1];
        });
        if (found == known.end()) return "unknown option '" + word + "'";
        const TOptionSpec* option = *found;
        const std::string name = std::string("--") + option->Name;
        if (!option->Value) {
            if (hasInlineValue) return name + " takes no value";
            given.push_back({option, {}});
        } else if (hasInlineValue) {
            given.push_back({option, word.substr(equals + 1)});
        } else if (i + 1 == arguments.size() || arguments[i + 1] == "--" ||
                   LooksLikeOption(arguments[i + 1])) {
            return name + " needs a value";
        } else {
            given.push_back({option, arguments[++i]});
        }
    }
    return {};
}

}  // namespace

TArgumentHandler SetFlag(bool& flag) {
    return [&flag](const std::string&) {
        flag = true;
        return std::string();
    };
}

TArgumentHandler StoreValue(std::string& value) {
    return [&value](const std::string& given) {
        value = given;
        return std::string();
    };
}

TArgumentHandler AppendValue(std::vector<std::string>& values) {
    return [&values](const std::string& given) {
        values.push_back(given);
        return std::string();
    };
}

TParsedCommandLine ParseCommandLine(const TCommandLine& line,
                                    const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err) {
    TParsedCommandLine parsed;
    std::vector<TGiven> given;
    if (const std::string problem = Split(line, arguments, given); !problem.empty()) {
        parsed.ExitStatus = UsageError(line, problem, err);
        return parsed;
    }
    auto isGiven = [&given](const TOptionSpec& option) {
        return std::any_of(given.begin(), given.end(),
                           [&](const TGiven& g) { return g.Option == &option; });
    };
    if (isGiven(kHelpOption)) {
        out << HelpText(line);
        parsed.ExitStatus = 0;
        return parsed;
    }
    if (isGiven(kVersionOption)) {
        out << line.Tool << ' ' << OSTREL_VERSION << '\n';
        parsed.ExitStatus = 0;
        return parsed;
    }
    for (const TGiven& g : given) {
        if (g.Option) ++parsed.OptionCount;
        const TArgumentHandler& handle = g.Option ? g.Option->Handle : line.Operand;
        if (!handle) continue;
        if (const std::string problem = handle(g.Value); !problem.empty()) {
            // A problem with a value names the option it was given to.
            const std::string option = g.Option ? std::string("--") + g.Option->Name + ": " : "";
            parsed.ExitStatus = UsageError(line, option + problem, err);
            return parsed;
        }
    }
    return parsed;
}

int UsageError(const TCommandLine& line, const std::string& problem, std::ostream& err) {
    if (!problem.empty()) err << line.Tool << ": " << problem << '\n';
    err << line.Usage << '\n';
    return 2;
}

std::string HelpText(const TCommandLine& line) {
    std::string text = std::string(line.Usage) + "\n\n" + line.About + "\n\n";
    auto addEntry = [&text](const std::string& label, const std::string& help) {
        text += "  " + label;
        const size_t used = 2 + label.size();
        text += used + 2 <= kHelpColumn ? std::string(kHelpColumn - used, ' ')
                                        : "\n" + std::string(kHelpColumn, ' ');
        for (const char c : help) {
            text += c;
            if (c == '\n') text.append(kHelpColumn, ' ');
        }
        text += '\n';
    };
    auto addOption = [&addEntry](const TOptionSpec& option) {
        std::string label = option.Short ? std::string{'-', option.Short, ',', ' '} : "";
        label += std::string("--") + option.Name;
        if (option.Value) label += std::string(" ") + option.Value;
        addEntry(label, option.Help);
    };
    for (const TOptionSpec& option : line.Options) addOption(option);
    addEntry("--", "end of options: every later word is a file");
    addOption(kHelpOption);
    addOption(kVersionOption);
    if (*line.Notes) text += std::string("\n") + line.Notes;
    return text;
}

}  // namespace ostrel
