#include "cli/FileReport.h"

#include <ostream>

#include "formats/PatternLoaders.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

const char kUsage[] = "usage: ostrel-inspect [--cuts] FILE...";

void WriteBlock(const std::string& path, bool withCuts, std::ostream& out, bool& allLoaded) {
    std::string error;
    const std::unique_ptr<TPatternData> pattern = LoadPatternData(path, &error);
    out << "file: " << path << '\n';
    if (!pattern) {
        allLoaded = false;
        out << "loaded: no\n";
        out << "error: " << error << '\n';
        return;
    }
    out << "loaded: yes\n";
    out << "frequency: " << pattern->Frequency.DisplayText() << '\n';
    out << "gain: " << FormatGeneral(pattern->Gain.Value) << '\n';
    out << "gain_text: " << GainText(*pattern) << '\n';
    out << "horz_width: " << pattern->HorzWidth.DisplayText() << '\n';
    out << "vert_width: " << pattern->VertWidth.DisplayText() << '\n';
    if (!withCuts) return;
    out << "cuts:\n";
    for (int k = 0; k < pattern->AzimuthCut.Count(); ++k) {
        out << FormatGeneral(pattern->AzimuthCut.PointAt(k).X) << '\t'
            << FormatGeneral(pattern->AzimuthCut.PointAt(k).Y) << '\t'
            << FormatGeneral(pattern->VerticalCut.PointAt(k).Y) << '\t'
            << FormatGeneral(pattern->HorizontalCut.PointAt(k).Y) << '\n';
    }
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    bool withCuts = false;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--cuts") {
            withCuts = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            err << "ostrel-inspect: unknown option '" << argument << "'\n" << kUsage << '\n';
            return 2;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        err << kUsage << '\n';
        return 2;
    }
    bool allLoaded = true;
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) out << '\n';
        WriteBlock(files[i], withCuts, out, allLoaded);
    }
    out.flush();
    return allLoaded ? 0 : 1;
}

}  // namespace ostrel
