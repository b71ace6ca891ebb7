#include "formats/PatternLoaders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <optional>

#include "formats/BastaFile.h"
#include "formats/EdxPatFile.h"
#include "formats/NsmaFile.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

TPatternData& Target(TPatternDataLoader& loader) {
    if (!loader.PatternData) throw EOstrelError("No pattern to fill");
    return *loader.PatternData;
}

bool HasExtension(const std::string& path, std::string_view upperExtension) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && EqualsNoCase(name.substr(dot), upperExtension);
}

// The first bytes of a file, enough for its first lines; empty when it cannot be read or is
// not a regular file (the loader then reports why). Opened without blocking, so a named pipe
// with no writer never holds up the choice.
std::string FileHead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {};
    }
    std::string head(4096, '\0');
    const ssize_t got = ::read(fd, head.data(), head.size());
    ::close(fd);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return head;
}

// Builds the cuts; a division by zero there comes from two points in a row at one degree,
// which the file's reader then names with its lines.
template <class TFile>
void BuildCutsExplainingRepeats(const TFile& file, std::string_view text, TPatternData& pattern) {
    try {
        BuildPatternCuts(file.HorizontalPoints, file.VerticalPoints, pattern);
    } catch (const EInvalidOp&) {
        file.RefuseRepeatedDegree(text);
        throw;
    }
}

}  // namespace

bool TPatternDataLoader::Execute() {
    ErrorMessage.clear();
    FurtherPatterns.clear();
    IgnoredParts.clear();
    try {
        Load();
        return true;
    } catch (const std::bad_alloc&) {
        ErrorMessage = "Out of memory";
    } catch (const std::exception& error) {
        ErrorMessage = error.what();
    } catch (...) {
        ErrorMessage = "Unknown error";
    }
    return false;
}

void TOstrelDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TOstrelFile file;
    const std::string text = ReadFileBytes(FileName);
    file.FileName = FileName;
    file.LoadFromText(text);
    pattern.FileName = FileName;
    // A header without a number for them leaves them unknown (shown as 0 in the table).
    if (file.FrequencyStated) pattern.Frequency.SetValue(file.Frequency);
    if (file.GainStated) pattern.Gain.SetValue(file.Gain);
    if (file.HWidth != 0) pattern.HorzWidth.SetValue(file.HWidth);
    if (file.VWidth != 0) pattern.VertWidth.SetValue(file.VWidth);
    if (file.FrontToBack != 0) pattern.FrontToBack.SetValue(file.FrontToBack);
    // TILT often names a kind ("ELECTRICAL", "MECHANICAL"); only a number is a tilt.
    std::optional<double> tilt = ParseNumber(file.Tilt);
    if (!tilt) tilt = ParseNumber(file.ElectricalTilt);
    if (tilt) pattern.ElectricalTilt.SetValue(*tilt);
    BuildCutsExplainingRepeats(file, text, pattern);
}

void TVerizonDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TVerizonFile file;
    const std::string text = ReadFileBytes(FileName);
    file.FileName = FileName;
    file.LoadFromText(text);
    pattern.FileName = FileName;
    if (file.FrequencyStated) pattern.Frequency.SetValue(file.Frequency);
    // No gain above 0 dBi (nor a dBd gain above 0) is the format's "not known".
    if (file.MaxGainDbi != 0) pattern.Gain.SetValue(file.MaxGainDbi);
    if (file.HorzBeamwidth != 0) pattern.HorzWidth.SetValue(file.HorzBeamwidth);
    pattern.VertWidth.SetValue(0);
    if (file.ElectricalTiltStated) pattern.ElectricalTilt.SetValue(file.ElectricalTilt);
    BuildCutsExplainingRepeats(file, text, pattern);
}

void TNsmaDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TNsmaFile file;
    file.LoadFromFile(FileName);
    std::vector<std::string> ignored;
    std::vector<std::unique_ptr<TPatternData>> patterns =
        MakeNsmaPatterns(file, FileName, &ignored);
    pattern.AssignWhole(*patterns.front());
    FurtherPatterns.assign(std::make_move_iterator(patterns.begin() + 1),
                           std::make_move_iterator(patterns.end()));
    IgnoredParts = std::move(ignored);
}

void TEdxPatDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TEdxPatFile file;
    file.LoadFromFile(FileName);
    std::vector<std::string> ignored;
    const std::unique_ptr<TPatternData> read = MakeEdxPatPattern(file, FileName, &ignored);
    pattern.AssignWhole(*read);
    IgnoredParts = std::move(ignored);
}

void TBastaDataLoader::Load() {
    const std::vector<std::unique_ptr<TPatternData>> patterns =
        MakeBastaPatterns(ReadFileBytes(FileName), FileName);
    Target(*this).AssignWhole(*patterns.front());
}

bool IsVerizonFileName(const std::string& path) {
    return HasExtension(path, ".VWA");
}

bool HasPatternFileContent(const std::string& path) {
    const std::string head = FileHead(path);
    return LooksLikeBastaText(head) || LooksLikeNsmaText(head) || LooksLikeEdxPatText(head);
}

std::unique_ptr<TPatternDataLoader> CreateLoaderFor(const std::string& path) {
    const std::string head = FileHead(path);
    if (LooksLikeBastaText(head)) return std::make_unique<TBastaDataLoader>();
    if (LooksLikeNsmaText(head)) return std::make_unique<TNsmaDataLoader>();
    if (LooksLikeEdxPatText(head)) return std::make_unique<TEdxPatDataLoader>();
    if (HasExtension(path, ".ADF") || HasExtension(path, ".NSM") || HasExtension(path, ".NSMA")) {
        return std::make_unique<TNsmaDataLoader>();
    }
    if (HasExtension(path, ".PAT")) return std::make_unique<TEdxPatDataLoader>();
    if (IsVerizonFileName(path)) return std::make_unique<TVerizonDataLoader>();
    return std::make_unique<TOstrelDataLoader>();
}

std::vector<std::unique_ptr<TPatternData>> LoadPatternFile(const std::string& path,
                                                           std::string* errorMessage,
                                                           std::vector<std::string>* ignoredParts) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    auto first = std::make_unique<TPatternData>();
    auto loader = CreateLoaderFor(path);
    loader->FileName = path;
    loader->PatternData = first.get();
    if (!loader->Execute()) {
        if (errorMessage) *errorMessage = loader->ErrorMessage;
        return patterns;
    }
    if (errorMessage) errorMessage->clear();
    if (ignoredParts) *ignoredParts = std::move(loader->IgnoredParts);
    patterns.push_back(std::move(first));
    for (auto& further : loader->FurtherPatterns) patterns.push_back(std::move(further));
    return patterns;
}

std::unique_ptr<TPatternData> LoadPatternData(const std::string& path, std::string* errorMessage) {
    std::vector<std::unique_ptr<TPatternData>> patterns = LoadPatternFile(path, errorMessage);
    if (patterns.empty()) return nullptr;
    return std::move(patterns.front());
}

}  // namespace ostrel
