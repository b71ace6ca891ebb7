#include "cli/PrintJob.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/CommandOptions.h"
#include "formats/PatternFolders.h"
#include "graphs/PolarGraph.h"
#include "model/MainModel.h"
#include "model/SafeFile.h"
#include "shell/OrderedLoad.h"
#include "views/PrintedPages.h"

namespace ostrel {

namespace {

const char kUsage[] =
    "usage: ostrel-print [--mode single|overlay|both] [--graph polar|cartesian]\n"
    "                    [--scale 40|25|log] [--cut azimuth|horizontal] [--paper letter|a4]\n"
    "                    [--landscape] -o OUT.pdf [-r FOLDER]... FILE...\n"
    "       ostrel-print --help | --version";

const char kAbout[] =
    "Prints the pattern files into a PDF as the viewer's Print command does: single gives\n"
    "one page per pattern, overlay one page with all of them, both the overlay page first.";

const char kNotes[] =
    "OUT is replaced only by a complete PDF; when it cannot be written, the reason is given\n"
    "and an existing OUT stays as it was. An OUT that is one of the FILEs, or an existing\n"
    "file that is not a PDF, is refused.\n"
    "Exit status: 0 when every file loaded and OUT was written; 1 when a file or a folder\n"
    "did not load or OUT could not be written; 2 for a usage error or a refused OUT.\n";

// Sets `value` to the choice an option's value names, or says it names none.
template <typename T>
TArgumentHandler Choice(std::vector<std::pair<std::string, T>> choices, T& value) {
    return [choices = std::move(choices), &value](const std::string& given) {
        std::string names;
        for (const auto& [name, choice] : choices) {
            if (given == name) {
                value = choice;
                return std::string();
            }
            names += (names.empty() ? "" : ", ") + name;
        }
        return "'" + given + "' is none of " + names;
    };
}

// Fills `request`; returns the exit status when the tool is done (help, version or a usage
// error).
std::optional<int> ParseRequest(const std::vector<std::string>& arguments, TPrintRequest& request,
                                std::ostream& out, std::ostream& err) {
    const TCommandLine line{
        "ostrel-print",
        kUsage,
        kAbout,
        {{"mode", 0, "MODE", "single (the default), overlay or both",
          Choice<TPrintMode>({{"single", TPrintMode::Single},
                              {"overlay", TPrintMode::Overlay},
                              {"both", TPrintMode::Both}},
                             request.PrintMode)},
         {"graph", 0, "GRAPH", "polar (the default) or cartesian",
          Choice<TGraphType>({{"polar", TGraphType::Polar}, {"cartesian", TGraphType::Cartesian}},
                             request.GraphType)},
         {"scale", 0, "SCALE",
          "the radial scale: 40 (dB floor, the default), 25, or log\n"
          "(logarithmic down to -20 dB)",
          Choice<TScaleMode>({{"25", TScaleMode::Range25Db},
                              {"40", TScaleMode::Range40Db},
                              {"log", TScaleMode::Logarithmic}},
                             request.ScaleMode)},
         {"cut", 0, "CUT", "the horizontal cut drawn: azimuth (the default) or horizontal",
          Choice<THCut>({{"azimuth", THCut::Azimuth}, {"horizontal", THCut::Horizontal}},
                        request.HCut)},
         {"paper", 0, "PAPER", "letter (the default) or a4",
          Choice<bool>({{"letter", false}, {"a4", true}}, request.A4)},
         {"landscape", 0, nullptr, "landscape pages (default: portrait)",
          SetFlag(request.Landscape)},
         {"output", 'o', "OUT.pdf", "the PDF to write", StoreValue(request.Output)},
         {"recursive", 'r', "FOLDER", "every pattern file below FOLDER, in path order (may repeat)",
          [&](const std::string& folder) {
              for (TScannedPath& scanned : ScanPatternFolder(folder)) {
                  if (!scanned.Problem.empty()) {
                      request.FolderProblems.push_back(std::move(scanned.Problem));
                  } else {
                      request.Files.push_back(scanned.Path);
                      if (scanned.Bytes) request.ReadByScans.push_back(std::move(scanned));
                  }
              }
              return std::string();
          }}},
        kNotes,
        AppendValue(request.Files)};
    const TParsedCommandLine parsed = ParseCommandLine(line, arguments, out, err);
    if (parsed.ExitStatus) return parsed.ExitStatus;
    if (request.Output.empty()) return UsageError(line, "no output file: give -o OUT.pdf", err);
    if (request.Files.empty() && request.FolderProblems.empty()) {
        return UsageError(line, "no pattern files given", err);
    }
    return std::nullopt;
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

}  // namespace

TViewState PrintViewState(const TPrintRequest& request) {
    TViewState state = CurrentViewState();
    state.HCut = request.HCut;
    state.RadialFloorDb = ScaleFloor(request.ScaleMode);
    state.LogScale = request.ScaleMode == TScaleMode::Logarithmic;
    return state;
}

int RunPrint(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             TPdfTarget& target) {
    TPrintRequest request;
    if (const auto status = ParseRequest(arguments, request, out, err)) return *status;

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
    TOrderedLoad load(request.Files, WorkersBesideTaker(), LoadScannedFiles(request.ReadByScans));
    while (load.TakeNext([&](TLoadResult& result) {
        if (!result.Loaded()) {
            err << "ostrel-print: " << result.Path << ": " << result.Failure << '\n';
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

    try {
        TPatternDataPagePrinter pages([&] { return target.CreateDrawer(request); }, target.Logo());
        pages.Patterns.CopyFrom(model.Selection);
        pages.PrintMode = request.PrintMode;
        pages.SetGraphType(request.GraphType);
        pages.View = PrintViewState(request);
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
