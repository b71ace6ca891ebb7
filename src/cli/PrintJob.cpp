#include "cli/PrintJob.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>
#include <ostream>
#include <string_view>

#include "cli/CommandOptions.h"
#include "formats/PatternFolders.h"
#include "graphs/PolarGraph.h"
#include "model/MainModel.h"
#include "model/SafeFile.h"
#include "model/Settings.h"
#include "shell/OrderedLoad.h"
#include "views/PrintedPages.h"

namespace ostrel {

const char kPrintUsage[] =
    "usage: ostrel-print [--mode single|overlay|both] [--graph polar|cartesian]\n"
    "                    [--scale 40|25|log] [--cut azimuth|horizontal] [--paper letter|a4]\n"
    "                    [--landscape] -o OUT.pdf [-r FOLDER]... FILE...\n"
    "       ostrel-print --help | --version\n"
    "Prints the pattern files into a PDF as the viewer's Print command does: single gives\n"
    "one page per pattern, overlay one page with all of them, both the overlay page first.\n"
    "Defaults: single, polar, 40 (dB floor), azimuth, letter, portrait; log is the\n"
    "logarithmic scale down to -20 dB. -r FOLDER takes every pattern file below the folder,\n"
    "in path order.\n"
    "OUT is replaced only by a complete PDF; when it cannot be written, the reason is given\n"
    "and an existing OUT stays as it was. An OUT that is one of the FILEs, or an existing\n"
    "file that is not a PDF, is refused.\n"
    "Exit status: 0 when every file loaded and OUT was written; 1 when a file or a folder\n"
    "did not load or OUT could not be written; 2 for a usage error or a refused OUT.\n";

namespace {

// The value of an option as one of its choices; false (with the reason) when it is none.
template <typename T>
bool ReadChoice(const TCommandOptions& options, const char* name,
                std::initializer_list<std::pair<const char*, T>> choices, T& value,
                std::string& error) {
    if (!options.Has(name)) return true;
    const std::string given = options.Value(name);
    for (const auto& [choiceName, choice] : choices) {
        if (given == choiceName) {
            value = choice;
            return true;
        }
    }
    error = "'" + given + "' is not a value of --" + name;
    return false;
}

// 0 parsed, 2 usage error, -1 help or version asked for.
int ParseRequest(const std::vector<std::string>& arguments, TPrintRequest& request,
                 std::string& error, std::ostream& out) {
    TCommandOptions options;
    error = options.Parse(arguments, {{"mode", 0, true},
                                      {"graph", 0, true},
                                      {"scale", 0, true},
                                      {"cut", 0, true},
                                      {"paper", 0, true},
                                      {"landscape"},
                                      {"recursive", 'r', true},
                                      {"output", 'o', true}});
    if (!error.empty()) return 2;
    if (AnswerHelpOrVersion(options, "ostrel-print", kPrintUsage, out)) return -1;
    const bool choicesRead =
        ReadChoice<std::uint8_t>(options, "mode",
                                 {{"single", pmSingle}, {"overlay", pmOverlay}, {"both", pmBoth}},
                                 request.PrintMode, error) &&
        ReadChoice<std::uint8_t>(options, "graph", {{"polar", gtPolar}, {"cartesian", gtCartesian}},
                                 request.GraphType, error) &&
        ReadChoice<std::uint8_t>(options, "scale", {{"25", 0}, {"40", 1}, {"log", 2}},
                                 request.ScaleMode, error) &&
        ReadChoice<bool>(options, "cut", {{"azimuth", true}, {"horizontal", false}},
                         request.UseAzimuth, error) &&
        ReadChoice<bool>(options, "paper", {{"letter", false}, {"a4", true}}, request.A4, error);
    if (!choicesRead) return 2;
    request.Landscape = options.Has("landscape");
    request.Output = options.Value("output");
    for (const TGivenOption& item : options.Items) {
        if (item.Name.empty()) {
            request.Files.push_back(item.Value);
        } else if (item.Name == "recursive") {
            for (TScannedPath& scanned : ScanPatternFolder(item.Value)) {
                if (scanned.Problem.empty()) {
                    request.Files.push_back(std::move(scanned.Path));
                } else {
                    request.FolderProblems.push_back(std::move(scanned.Problem));
                }
            }
        }
    }
    if (request.Output.empty()) {
        error = "no output file: give -o OUT.pdf";
        return 2;
    }
    if (request.Files.empty() && request.FolderProblems.empty()) {
        error = "no pattern files given";
        return 2;
    }
    return 0;
}

// The input that is the very file the output names (the same device and inode, so links
// count too), or nullptr.
const std::string* InputThatIsOutput(const TPrintRequest& request) {
    struct stat output {};
    if (::stat(request.Output.c_str(), &output) != 0) return nullptr;
    for (const std::string& path : request.Files) {
        struct stat input {};
        if (::stat(path.c_str(), &input) == 0 && input.st_dev == output.st_dev &&
            input.st_ino == output.st_ino) {
            return &path;
        }
    }
    return nullptr;
}

// An existing, non-empty regular file that does not start as every PDF does: most likely a
// pattern file that the shell put after "-o" (as "-o *.txt" does), never a file to replace.
bool ExistingFileIsNotPdf(const std::string& output) {
    struct stat status {};
    if (::stat(output.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0) {
        return false;
    }
    const int fd = ::open(output.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;  // the write will fail later, with its reason
    char head[5] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    return got != static_cast<ssize_t>(sizeof head) ||
           std::string_view(head, sizeof head) != "%PDF-";
}

// Sets the view state the pages read and puts the previous one back.
class TViewStateScope {
public:
    explicit TViewStateScope(const TPrintRequest& request) : FSaved(GetSettings()) {
        TSettings& settings = GetSettings();
        settings.FUseAzimuth = request.UseAzimuth;
        settings.FRadialFloor = ScaleFloor(request.ScaleMode);
        settings.FLogScale = request.ScaleMode == 2;
    }
    TViewStateScope(const TViewStateScope&) = delete;
    TViewStateScope& operator=(const TViewStateScope&) = delete;
    ~TViewStateScope() {
        TSettings& settings = GetSettings();
        settings.FUseAzimuth = FSaved.FUseAzimuth;
        settings.FRadialFloor = FSaved.FRadialFloor;
        settings.FLogScale = FSaved.FLogScale;
    }

private:
    TSettings FSaved;
};

}  // namespace

int RunPrint(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             TPdfTarget& target) {
    TPrintRequest request;
    std::string error;
    const int parsed = ParseRequest(arguments, request, error, out);
    if (parsed == -1) return 0;
    if (parsed != 0) {
        err << "ostrel-print: " << error << '\n' << kPrintUsage;
        return 2;
    }

    // Checked before anything is read: printing over an input would destroy it.
    if (const std::string* input = InputThatIsOutput(request)) {
        err << "ostrel-print: the output " << request.Output << " is the input file " << *input
            << "; nothing was read or written\n";
        return 2;
    }
    if (ExistingFileIsNotPdf(request.Output)) {
        err << "ostrel-print: " << request.Output
            << " exists and is not a PDF; it is left as it is (remove it to write there)\n";
        return 2;
    }
    if (const std::string problem = ReplaceProblem(request.Output); !problem.empty()) {
        err << "ostrel-print: cannot write " << request.Output << ": " << problem << '\n';
        return 1;
    }
    // What a run killed while writing this output left behind.
    RemoveStaleTemporaryFiles(request.Output);

    TMainModel model;
    bool allLoaded = request.FolderProblems.empty();
    for (const std::string& problem : request.FolderProblems) {
        err << "ostrel-print: " << problem << '\n';
    }
    TOrderedLoad load(request.Files);
    while (load.TakeNext([&](TLoadResult& result) {
        if (result.Patterns.empty()) {
            err << "ostrel-print: " << result.Path << ": " << result.Error << '\n';
            allLoaded = false;
            return;
        }
        for (auto& pattern : result.Patterns) model.AddPattern(std::move(pattern));
    })) {
    }
    if (model.Patterns.Count() == 0) {
        err << "ostrel-print: no file loaded; " << request.Output << " not written\n";
        return 1;
    }
    model.SetSelection(model.Patterns);

    const TViewStateScope viewState(request);
    try {
        TPatternDataPagePrinter pages([&] { return target.CreateDrawer(request); }, target.Logo());
        pages.Patterns.CopyFrom(model.Selection);
        pages.PrintMode = request.PrintMode;
        pages.SetGraphType(request.GraphType);
        pages.Print();
    } catch (const std::exception& failure) {
        err << "ostrel-print: " << failure.what() << '\n';
        return 1;
    }
    if (const std::string failure = target.Finish(request); !failure.empty()) {
        err << "ostrel-print: cannot write " << request.Output << ": " << failure << '\n';
        return 1;
    }
    return allLoaded ? 0 : 1;
}

}  // namespace ostrel
