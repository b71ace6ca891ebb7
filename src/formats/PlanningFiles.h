#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// The common base of the pattern file readers and writers: two point lists as read
// (X = angle in degrees, Y = level in dB as written), the path and the frequency in MHz.
class TPlanningFile {
public:
    TPlanningFile() = default;
    TPlanningFile(const TPlanningFile&) = delete;
    TPlanningFile& operator=(const TPlanningFile&) = delete;
    virtual ~TPlanningFile() = default;

    virtual void SaveToFile(const std::string& fileName);
    virtual void LoadFromFile(const std::string& fileName);

    // Value text of the first of lines 0..lastIndex whose first token, upper-cased, equals
    // `keyword`; the value is the second token as written. Empty when none matches.
    static std::string_view FindValue(std::string_view keyword,
                                      const std::vector<std::string_view>& lines, int lastIndex);
    // Index of that line, -1 when none.
    static int FindLine(std::string_view keyword, const std::vector<std::string_view>& lines,
                        int lastIndex);

    TRealPointList HorizontalPoints;
    TRealPointList VerticalPoints;
    std::string FileName;
    double Frequency = 0;
};

// The Ostrel text format: keyword header lines, a "HORIZONTAL" section and a "VERTICAL"
// section of angle/level lines.
class TOstrelFile : public TPlanningFile {
public:
    enum TGainUnit { guDbi = 0, guDbd = 1, guUnknown = 2 };
    struct TGainLine {
        bool Found = false;
        double Value = 0;
        TGainUnit Unit = guUnknown;
        bool Stated = false;  // the value is a number
    };

    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) override;

    // Reads from text already in memory (the file's bytes); FileName is left as it is.
    void LoadFromText(std::string_view text);
    // The same reading done plainly: all lines cut first, then every rule applied line by
    // line. LoadFromText reads the usual files in one pass and falls back on this for
    // anything else; both give the same figures, points and errors.
    void LoadFromTextLineByLine(std::string_view text);
    std::string SaveToText(const std::string& fileName) const;

    // Resampling the points divides by the width of the interval that first holds each
    // whole degree; when two points in a row at one degree make that width 0, raises
    // EFormatError naming the angle and both lines of `text`, the text the points were read
    // from. Does nothing otherwise. Loaders ask only once building the cuts has failed.
    void RefuseRepeatedDegree(std::string_view text) const;

    static TGainLine ParseGain(const std::vector<std::string_view>& lines);
    // The gain, unit and Found flag of one GAIN line; nothing found for an empty line.
    static TGainLine ParseGainLine(std::string_view line);

    std::string Tilt;
    // The ELECTRICAL_TILT line some makers write beside TILT, as text.
    std::string ElectricalTilt;
    double Gain = 0;  // dBi
    // The header has a number for it (reading sets these; "FREQUENCY" alone, or a value
    // such as "5.15-5.87", states nothing). Writing puts out a value that is stated or not
    // 0, else the keyword alone.
    bool FrequencyStated = false;
    bool GainStated = false;
    std::string Make;
    double HWidth = 0;
    double FrontToBack = 0;
    double VWidth = 0;

private:
    bool LoadUsualText(std::string_view text);
    template <class TFind, class TGain>
    void ReadHeader(TFind&& find, TGain&& gain);
};

// The Verizon ".vwa" format: "key:" header lines and two sections of absolute gains, each
// closed by "END". Reading normalises each cut to a 0 dB peak; the vertical section is
// re-indexed by position (its 180th line is the 0-degree direction).
class TVerizonFile : public TPlanningFile {
public:
    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) override;

    void LoadFromText(std::string_view text);
    // As TOstrelFile::LoadFromTextLineByLine.
    void LoadFromTextLineByLine(std::string_view text);
    // As TOstrelFile::RefuseRepeatedDegree, for the horizontal section (the vertical one is
    // placed by position).
    void RefuseRepeatedDegree(std::string_view text) const;
    // `dateMeasured` is the "mm-dd-yyyy" text of the date line.
    std::string SaveToText(const std::string& dateMeasured) const;

    // Like TPlanningFile::FindValue, but the last matching line wins.
    static std::string_view FindValue(std::string_view key,
                                      const std::vector<std::string_view>& lines, int lastIndex);

    std::string ModelName;
    std::string Manufacturer;
    double ElectricalTilt = 0;
    bool ElectricalTiltStated = false;  // the header has a number for it
    std::string AntennaType;
    double UpperFreq = 0;
    std::string DateMeasured;
    std::string Description;
    double LowerFreq = 0;
    double WeightKg = 0;
    double HeightM = 0;
    double WidthM = 0;
    double DepthM = 0;
    double MaxGainDbd = 0;
    double HorzBeamwidth = 0;
    double MaxGainDbi = 0;
    // The header has a number for the frequency. Writing puts out the frequency, the tilt
    // and the dBd gain when they are stated or not 0, else the key alone.
    bool FrequencyStated = false;
    bool MaxGainDbdStated = false;

private:
    bool LoadUsualText(std::string_view text);
    template <class TFind>
    void ReadHeader(TFind&& find);
    // Checks the sections, re-indexes the vertical rows and levels both cuts to 0 dB.
    void AdoptVerticalRows(const TRealPointList& rows);
};

// What Verizon readers add to "max_gain_dbd:" to get dBi. Not the 2.14 dB of a dipole, but
// what the files in use rely on.
constexpr double kVerizonDbdToDbi = 2.1;

// Today's local date as "mm-dd-yyyy".
std::string TodayText();
// Today's local date as strftime writes it in `format` (short formats only).
std::string LocalDateText(const char* format);

}  // namespace ostrel
