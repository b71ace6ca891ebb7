#include "cli/ConvertJob.h"

#include "cli/CommandOptions.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <utility>

#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "model/SafeFile.h"
#include "shell/SaveTargets.h"

namespace ostrel {

namespace {

const char kUsage[] = "usage: ostrel-convert --to msi|vwa|nsm|csv|json [-o DIR] [--] FILE...";

const char kAbout[] = "Writes the patterns of antenna pattern files in another format.";

const char kNotes[] =
    "Reads every format the viewer reads (Ostrel, Verizon, NSMA, EDX .pat), chosen by the\n"
    "file's content and extension. Each pattern becomes one file named after its input with\n"
    "the format's extension; an NSMA file of several frequencies gives one file per\n"
    "frequency, NAME@FREQUENCY.EXT. An input is never overwritten, nor is a file written\n"
    "twice in one run. Files are replaced only once completely written.\n"
    "\n"
    "A figure the output format cannot hold (a Verizon gain of 2.1 dBi or less, a vertical\n"
    "width in a Verizon file, an unknown frequency in NSMA) is noted on standard error; a\n"
    "pattern the format cannot take (NSMA without a gain; BASTA JSON without a frequency, or\n"
    "whose beam widths or front-to-back are neither stated nor computable) is not written.\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any did not, 2 for a usage error.\n";

struct TFileId {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator<(const TFileId& other) const {
        return Device != other.Device ? Device < other.Device : Inode < other.Inode;
    }
};

bool FileIdOf(const std::string& path, TFileId& id) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    id = {info.st_dev, info.st_ino};
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct TConvertRequest {
    TPatternFormat Format = TPatternFormat::Nsma;
    std::string OutputFolder;  // "" = beside each input
    std::vector<std::string> Files;
};

// Fills `request`; returns the exit status when the tool is done (help, version or a usage
// error).
std::optional<int> ParseArguments(const std::vector<std::string>& arguments,
                                  TConvertRequest& request, std::ostream& out, std::ostream& err) {
    bool formatGiven = false;
    const TCommandLine line{
        "ostrel-convert",
        kUsage,
        kAbout,
        {{"to", 0, "FORMAT",
          "msi: Ostrel text; vwa: Verizon; nsm: NSMA WG16.99.050;\n"
          "csv: a table of the three cuts (angle, azimuth, vertical, horizontal);\n"
          "json: NGMN BASTA 3D pattern, the sphere in 1 degree steps estimated\n"
          "from the two cuts (weighted bilinear)",
          [&](const std::string& name) {
              formatGiven = true;
              return FormatFromName(name, request.Format)
                         ? std::string()
                         : "unknown format '" + name + "' (msi, vwa, nsm, csv or json)";
          }},
         {"output", 'o', "DIR", "write the converted files into DIR (default: beside each input)",
          [&](const std::string& folder) {
              struct stat info {};
              if (folder.empty() || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                  return "'" + folder + "' is not a folder";
              }
              request.OutputFolder = folder.back() == '/' ? folder : folder + "/";
              return std::string();
          }}},
        kNotes,
        AppendValue(request.Files)};
    if (arguments.empty()) return UsageError(line, {}, err);
    const TParsedCommandLine parsed = ParseCommandLine(line, arguments, out, err);
    if (parsed.ExitStatus) return parsed.ExitStatus;
    if (!formatGiven) return UsageError(line, "--to is required", err);
    if (request.Files.empty()) return UsageError(line, "no file given", err);
    return std::nullopt;
}

}  // namespace

int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TConvertRequest request;
    if (const auto status = ParseArguments(arguments, request, out, err)) return *status;

    // Every input is known before anything is written, so no output can replace one.
    std::set<TFileId> inputs;
    for (const std::string& file : request.Files) {
        TFileId id;
        if (FileIdOf(file, id)) inputs.insert(id);
    }
    std::set<TFileId> written;
    const std::string extension(FormatExtension(request.Format));
    bool allConverted = true;
    for (const std::string& file : request.Files) {
        const TLoadedFile loaded = LoadPatternFile(file);
        const auto& patterns = loaded.Patterns;
        if (!loaded.Loaded()) {
            err << "ostrel-convert: " << file << ": " << loaded.Failure << '\n';
            allConverted = false;
            continue;
        }
        const std::string folder =
            request.OutputFolder.empty() ? FolderOf(file) : request.OutputFolder;
        for (const auto& pattern : patterns) {
            // "file@frequency" for one of several patterns of a file, as Save As proposes.
            const std::string name = ProposedSaveName(*pattern);
            const std::string target = folder + name + "." + extension;
            TFileId id;
            const bool exists = FileIdOf(target, id);
            if (exists && inputs.count(id) > 0) {
                err << "ostrel-convert: " << file << ": not written, " << target
                    << " is an input file\n";
                allConverted = false;
                continue;
            }
            if (exists && written.count(id) > 0) {
                err << "ostrel-convert: " << file << ": not written, " << target
                    << " was already written in this run\n";
                allConverted = false;
                continue;
            }
            TWrittenPattern text;
            try {
                text = PatternFileText(*pattern, request.Format, name);
            } catch (const std::exception& failure) {
                text.Failure = failure.what();
            }
            if (!text.Failure.empty()) {
                err << "ostrel-convert: " << pattern->FileName << ": not written, " << text.Failure
                    << '\n';
                allConverted = false;
                continue;
            }
            // What a run killed while writing this target left behind.
            RemoveStaleTemporaryFiles(target);
            if (const std::string reason = WriteWholeFile(target, text.Text); !reason.empty()) {
                err << "ostrel-convert: " << target << ": " << reason << '\n';
                allConverted = false;
                continue;
            }
            if (FileIdOf(target, id)) written.insert(id);
            out << file << " -> " << target << '\n';
            for (const std::string& note : text.Notes) {
                err << "ostrel-convert: " << target << ": note: " << note << '\n';
            }
        }
    }
    out.flush();
    return allConverted ? 0 : 1;
}

}  // namespace ostrel
