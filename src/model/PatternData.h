#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "model/MeasuredSphere.h"
#include "model/PatternFigures.h"
#include "model/PrimitiveObjects.h"
#include "model/ViewModes.h"

namespace ostrel {

// The gain of a half-wave dipole in dBi: a gain in dBd plus this is the gain in dBi.
inline constexpr double kDipoleGainDbi = 2.14;

class TClipboardService;

// The in-memory record of one loaded antenna pattern: header figures, two rotation offsets
// and three 361-point cuts (X = -180..180 degrees, Y = -|level| in dB).
class TPatternData {
public:
    TPatternData() = default;
    TPatternData(const TPatternData&) = delete;
    TPatternData& operator=(const TPatternData&) = delete;
    virtual ~TPatternData() = default;

    // Copies everything but HorizontalCut, which the caller levels anew (the figures are
    // computed again when asked for).
    virtual void Assign(const TPatternData& source);
    // Copies everything, the horizontal cut and any figures computed included.
    void AssignWhole(const TPatternData& source);
    // A new record with everything of this one.
    std::unique_ptr<TPatternData> Clone() const;

    TRealPointList AzimuthCut;
    TRealPointList VerticalCut;
    TDoubleObject Frequency;
    TDoubleObject Gain;
    // The path of the file the pattern was read from; for one of several patterns of a file
    // (an NSMA file of several frequencies), followed by "@" and PartName. Set both with
    // NamePattern.
    std::string FileName;
    // The pattern's own name within its file (the PATFRE text of one of several frequencies);
    // empty for the only pattern of a file.
    std::string PartName;
    int Id = -1;
    double VRotationOffset = 0;
    double HRotationOffset = 0;
    TDoubleObject HorzWidth;
    TDoubleObject VertWidth;
    // The azimuth cut re-levelled to the vertical cut's value at 0 degrees.
    TRealPointList HorizontalCut;
    // Header figures that only some files state; null when absent (a stated front-to-back
    // of 0 counts as absent, as the files write it for "unknown").
    TDoubleObject FrontToBack;
    TDoubleObject ElectricalTilt;
    // The polarisation of each cut as the file states it ("V/V", "+45/+45"); "" when the
    // file does not say (only NSMA files do).
    std::string AzimuthPolarization;
    std::string VerticalPolarization;
    // The maker and the antenna's model as the file names them; "" when it does not.
    std::string Make;
    std::string Model;
    // The measured sphere of a 3D file, shared by the copies of the record; null for files of
    // two cuts. Its two cuts are the record's.
    std::shared_ptr<const TMeasuredSphere> Sphere;
    // True for a pattern made from other patterns (an envelope, an interpolation) rather than
    // read from a file: FileName then holds its name ("Envelope of 9") and no file is behind
    // it, so nothing reopens it.
    bool Derived = false;
    // What the cuts say, with the azimuth cut or with the horizontal cut: computed, for both,
    // when first asked for (by whatever shows, filters, sorts or prints them) and kept until
    // the cuts change, so loading a library computes none. A pattern is made on one thread
    // and handed over; from then on any number of threads may ask at once (the first
    // computes under a lock, the others wait or read what it stored). Changing the cuts, and
    // CutsChanged, is for the thread that owns the pattern while no other uses it.
    const TPatternFigures& Figures(THCut hCut) const;
    // True when the figures have been computed since the cuts last changed.
    bool FiguresKnown() const { return FFiguresKnown.load(std::memory_order_acquire); }
    // To call after changing the cuts: the figures are computed anew when next asked for.
    void CutsChanged();
    // Takes figures computed elsewhere as this pattern's (a copy's, or a test's own).
    void AdoptFigures(const TPatternFigures& azimuth, const TPatternFigures& horizontal);

private:
    mutable std::mutex FFiguresLock;
    mutable std::atomic<bool> FFiguresKnown{false};
    mutable TPatternFigures FAzimuthFigures;
    mutable TPatternFigures FHorizontalFigures;
};

// A list of patterns that owns them (the main model's) or only refers to them (all others).
class TPatternDataList : public TBaseObjectList<TPatternData> {
public:
    explicit TPatternDataList(bool ownsObjects) : TBaseObjectList(ownsObjects) {}

    // Clears this list, then refers to every pattern of `source` in order.
    void CopyFrom(const TPatternDataList& source);
    // Index of the first pattern read from the file at `path` (compared with SourcePath, both
    // trimmed of leading and trailing blanks and control characters; letter case counts, as
    // it does on Linux file systems), whichever of the file's patterns it is. -1 if none.
    int IndexOfFileName(const std::string& path) const;
    void SortById();

    // The cut table of CopyPointsToClipboard: a header of names, one line per point of the
    // first pattern's azimuth cut; tab-separated, CR LF line ends.
    std::string PointsTableText(bool useAzimuth) const;
    void CopyPointsToClipboard(bool useAzimuth, TClipboardService& clipboard) const;
};

// "%.1f (%.1f)" of the gain in dBi and in dBd (gain - 2.14).
std::string GainText(const TPatternData& pattern);

// Names a pattern read from the file at `path`; a non-empty `partName` names one of several
// patterns of that file.
void NamePattern(TPatternData& pattern, const std::string& path, const std::string& partName);
// The path of the file the pattern was read from: FileName without "@" PartName.
std::string_view SourcePath(const TPatternData& pattern);
// The file-name part of the source path, without its extension unless withExtension, then
// "@" PartName for one of several patterns of a file ("sector65_2freq@1850"). A derived
// pattern's name as it stands ("Envelope of 9").
std::string DisplayName(const TPatternData& pattern, bool withExtension);
std::string FileNamePart(const std::string& path);
// The same part of a path (what follows the last "/", all of it without one), as a view
// into `path`.
std::string_view FileNamePartView(std::string_view path);
std::string RemoveExtension(const std::string& name);
// Paths are compared as the file system compares them: exactly, letter case included, once
// leading and trailing blanks and control characters are trimmed.
std::string_view TrimmedPath(std::string_view text);

// The first interval (the index of its first point) that holds a whole degree first and has
// no width, two points in a row at that degree: resampling the points would divide by zero
// there. -1 when there is none.
int ZeroWidthInterval(const TRealPointList& source);
// 360 values at whole degrees 0..359 by linear interpolation in the first containing interval.
void ResampleCut(const TRealPointList& source, TRealPointList& dest);
// Resamples and stores -|level| at X = -180..180 (361 points).
void NormalizeCut(const TRealPointList& source, TRealPointList& dest);
// Appends the azimuth cut re-levelled so that it meets the vertical cut at 0 degrees.
void BuildHorizontalCut(const TRealPointList& azimuth, const TRealPointList& vertical,
                        TRealPointList& dest);
// The three cuts of a pattern from the two point lists of a file.
void BuildPatternCuts(const TRealPointList& horizontalPoints, const TRealPointList& verticalPoints,
                      TPatternData& pattern);

}  // namespace ostrel
