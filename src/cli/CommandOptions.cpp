#include "cli/CommandOptions.h"

#include <algorithm>
#include <ostream>

namespace ostrel {

namespace {

constexpr const char* kVersion = OSTREL_VERSION;

// A word that is an option rather than a value: "-x" or "--x", but not "-" alone nor a
// negative number ("-3" is a value, as an offset or a level may be).
bool LooksLikeOption(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    const char next = word[1];
    return !(next >= '0' && next <= '9') && next != '.';
}

}  // namespace

std::string TCommandOptions::Parse(const std::vector<std::string>& arguments,
                                   const std::vector<TOptionSpec>& specs) {
    std::vector<TOptionSpec> known = specs;
    known.push_back({"help", 'h', false});
    known.push_back({"version", 0, false});
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || !LooksLikeOption(word)) {
            Operands.push_back(word);
            Items.push_back({{}, word});
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name;
        std::string inlineValue;
        bool hasInlineValue = false;
        const TOptionSpec* declared = nullptr;
        if (word[1] == '-') {
            const size_t equals = word.find('=');
            name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            if (equals != std::string::npos) {
                inlineValue = word.substr(equals + 1);
                hasInlineValue = true;
            }
            auto found = std::find_if(known.begin(), known.end(),
                                      [&](const TOptionSpec& s) { return s.Name == name; });
            if (found != known.end()) declared = &*found;
        } else if (word.size() == 2) {
            auto found = std::find_if(known.begin(), known.end(),
                                      [&](const TOptionSpec& s) { return s.Short == word[1]; });
            if (found != known.end()) declared = &*found;
        }
        if (!declared) return "unknown option '" + word + "'";
        name = declared->Name;
        if (!declared->TakesValue) {
            if (hasInlineValue) return "--" + name + " takes no value";
            Options.push_back({name, {}});
            Items.push_back(Options.back());
            continue;
        }
        if (!hasInlineValue) {
            if (i + 1 == arguments.size() || arguments[i + 1] == "--" ||
                LooksLikeOption(arguments[i + 1])) {
                return "--" + name + " needs a value";
            }
            inlineValue = arguments[++i];
        }
        Options.push_back({name, inlineValue});
        Items.push_back(Options.back());
    }
    return {};
}

bool TCommandOptions::Has(const std::string& name) const {
    return std::any_of(Options.begin(), Options.end(),
                       [&](const TGivenOption& o) { return o.Name == name; });
}

std::string TCommandOptions::Value(const std::string& name, const std::string& fallback) const {
    for (auto it = Options.rbegin(); it != Options.rend(); ++it) {
        if (it->Name == name) return it->Value;
    }
    return fallback;
}

std::vector<std::string> TCommandOptions::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const TGivenOption& option : Options) {
        if (option.Name == name) values.push_back(option.Value);
    }
    return values;
}

bool AnswerHelpOrVersion(const TCommandOptions& options, const char* tool, const char* usage,
                         std::ostream& out) {
    if (options.Has("help")) {
        out << usage << '\n';
        return true;
    }
    if (options.Has("version")) {
        out << tool << ' ' << kVersion << '\n';
        return true;
    }
    return false;
}

}  // namespace ostrel
