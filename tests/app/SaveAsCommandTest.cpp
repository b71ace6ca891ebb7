#include <gtest/gtest.h>

#include <QStringList>
#include <deque>
#include <filesystem>

#include "app/PathText.h"
#include "app/SaveAsCommand.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// Answers the save dialogs from a list: a path and the filter chosen with it.
class TScriptedSaveDialogs : public TSaveDialogService {
public:
    QString GetSaveFileName(QWidget*, const QString& proposedPath, const QStringList&,
                            QString& selectedFilter) override {
        Proposed.push_back(proposedPath);
        Preselected.push_back(selectedFilter);
        if (Answers.empty()) return {};
        const auto [path, filter] = Answers.front();
        Answers.pop_front();
        selectedFilter = filter;
        return path == kTakeProposed ? proposedPath : path;
    }
    bool ConfirmReplace(QWidget*, const QString& question) override {
        Questions.push_back(question);
        const bool yes = !Replies.empty() && Replies.front();
        if (!Replies.empty()) Replies.pop_front();
        return yes;
    }
    static inline const QString kTakeProposed = "<proposed>";
    std::deque<std::pair<QString, QString>> Answers;
    std::deque<bool> Replies;
    QStringList Proposed;
    QStringList Preselected;
    QStringList Questions;
};

TEST(SaveAsCommand, WritesEachSelectedPatternInTheChosenFormat) {
    TTempDir folder;
    TPatternDataList owned(true);
    TPatternDataList selection(false);
    for (const char* name : {"omni_850.msi", "panel_1900.vwa", "tilted_6deg.msi"}) {
        auto pattern = LoadPatternFile(std::string(OSTREL_SAMPLES_DIR "/") + name).TakeFirst();
        ASSERT_TRUE(pattern);
        selection.Add(*pattern);
        owned.Add(std::move(pattern));
    }
    TScriptedSaveDialogs dialogs;
    const QString out = QString::fromStdString(folder.Path());
    dialogs.Answers = {{out + "/a", TSaveAsCommand::kSaveFilters[3]},
                       {out + "/b.VWA", TSaveAsCommand::kSaveFilters[1]}};
    TSaveAsCommand command(nullptr, dialogs);
    // The third dialog is cancelled: the command stops there.
    EXPECT_EQ(command.Run(selection, folder.Path() + "/"), "2 patterns saved.");
    EXPECT_EQ(dialogs.Proposed,
              QStringList({out + "/omni_850", out + "/panel_1900", out + "/tilted_6deg"}));
    EXPECT_EQ(dialogs.Preselected[0], TSaveAsCommand::kSaveFilters[2]);
    EXPECT_EQ(dialogs.Preselected[1], TSaveAsCommand::kSaveFilters[3]);  // the last choice
    EXPECT_TRUE(ReadFileBytes(folder.File("a.csv")).starts_with("angle_deg,"));
    EXPECT_TRUE(LoadPatternFile(folder.File("b.VWA")).TakeFirst());

    // Never over the file a pattern was read from.
    const std::string source =
        folder.Write("src.msi", ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi"));
    auto pattern = LoadPatternFile(source).TakeFirst();
    ASSERT_TRUE(pattern);
    TPatternDataList one(false);
    one.Add(*pattern);
    dialogs.Answers = {{QString::fromStdString(source), TSaveAsCommand::kSaveFilters[0]}};
    EXPECT_NE(command.Run(one, {}).find("is the file the pattern was read from"),
              std::string::npos);
    EXPECT_EQ(command.Run(TPatternDataList(false), {}), "Select the patterns to save first.");
}

TEST(SaveAsCommand, ProposesNamesThatDifferAndNeverReplacesAFileUnasked) {
    TTempDir folder;
    const QString out = PathText(folder.Path());
    const QString nsma = TSaveAsCommand::kSaveFilters[2];
    TPatternDataList owned(true);
    TPatternDataList both(false);
    for (auto& pattern : LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm").Patterns) {
        both.Add(*pattern);
        owned.Add(std::move(pattern));
    }
    ASSERT_EQ(both.Count(), 2);
    TScriptedSaveDialogs dialogs;
    TSaveAsCommand command(nullptr, dialogs);
    dialogs.Answers = {{dialogs.kTakeProposed, nsma}, {dialogs.kTakeProposed, nsma}};
    EXPECT_EQ(command.Run(both, folder.Path() + "/"), "2 patterns saved.");
    EXPECT_EQ(dialogs.Proposed,
              QStringList({out + "/sector65_2freq@1850", out + "/sector65_2freq@2100"}));
    EXPECT_EQ(LoadPatternFile(folder.File("sector65_2freq@2100.nsm")).TakeFirst()->Frequency.Value,
              2100);
    EXPECT_TRUE(dialogs.Questions.isEmpty());

    // "which" becomes which.nsm, which exists: asked; "no" shows the dialog again.
    const std::string which = folder.Write("which.nsm", "keep");
    TPatternDataList first(false);
    first.Add(both.Items(0));
    dialogs.Proposed.clear();
    dialogs.Answers = {{out + "/which", nsma}};
    dialogs.Replies = {false};
    EXPECT_EQ(command.Run(first, {}), "0 patterns saved.");
    EXPECT_EQ(dialogs.Questions,
              QStringList{"which.nsm already exists.\nDo you want to replace it?"});
    EXPECT_EQ(dialogs.Proposed, QStringList({"sector65_2freq@1850", out + "/which.nsm"}));
    EXPECT_EQ(ReadFileBytes(which), "keep");
    dialogs.Answers = {{out + "/which", nsma}};
    dialogs.Replies = {true};
    EXPECT_EQ(command.Run(first, {}), "1 pattern saved.");
    EXPECT_TRUE(LoadPatternFile(which).TakeFirst());

    // Both patterns into one file (the second replacing the first): one file written.
    dialogs.Answers = {{out + "/one.nsm", nsma}, {out + "/one.nsm", nsma}};
    EXPECT_EQ(command.Run(both, {}), "1 pattern saved.");
    EXPECT_EQ(dialogs.Questions.size(), 2) << "the dialog asked about the name it was given";

    // Names that are not UTF-8: the proposal keeps the source's bytes, and a folder the
    // dialog could only show with U+FFFD is found again.
    const std::string latin = folder.Path() + "/caf\xE9";
    std::filesystem::create_directory(latin);
    std::filesystem::create_directory(folder.Path() + "/src");
    auto odd = LoadPatternFile(folder.Write("src/caf\xE9.msi",
                                            ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi")))
                   .TakeFirst();
    ASSERT_TRUE(odd);
    TPatternDataList oddOne(false);
    oddOne.Add(*odd);
    const QString msi = TSaveAsCommand::kSaveFilters[0];
    dialogs.Answers = {{dialogs.kTakeProposed, msi},
                       {out + QString::fromUtf8("/caf\uFFFD/x"), msi}};
    EXPECT_EQ(command.Run(oddOne, folder.Path() + "/"), "1 pattern saved.");
    EXPECT_TRUE(LoadPatternFile(latin + ".msi").TakeFirst());
    EXPECT_EQ(command.Run(oddOne, {}), "1 pattern saved.");
    EXPECT_TRUE(LoadPatternFile(latin + "/x.msi").TakeFirst());
}

TEST(SaveAsCommand, SaysWhatTheFormatCouldNotHoldAndWhyAPatternWasRefused) {
    TTempDir folder;
    auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(pattern);
    TPatternDataList one(false);
    one.Add(*pattern);
    TScriptedSaveDialogs dialogs;
    const QString out = QString::fromStdString(folder.Path());
    dialogs.Answers = {{out + "/a.vwa", TSaveAsCommand::kSaveFilters[1]}};
    TSaveAsCommand command(nullptr, dialogs);
    EXPECT_EQ(command.Run(one, {}),
              "1 pattern saved. a.vwa: the vertical width 9 is not written: a Verizon file has "
              "no place for it. a.vwa: the front-to-back ratio 25 is not written: a Verizon "
              "file has no place for it.");
    pattern->Gain.SetIsNull(true);
    dialogs.Answers = {{out + "/b.nsm", TSaveAsCommand::kSaveFilters[2]}};
    EXPECT_EQ(command.Run(one, {}), "0 patterns saved. Not written: " + folder.File("b.nsm") +
                                        ": an NSMA file needs the gain (MDGAIN), which is not "
                                        "known.");
    dialogs.Answers = {{out + "/c", TSaveAsCommand::kSaveFilters[4]}};
    EXPECT_EQ(command.Run(one, {}), "1 pattern saved.");
    EXPECT_TRUE(ReadFileBytes(folder.File("c.json")).starts_with("{\n  \"BASTA_AA_WP_version\""));
}

}  // namespace
}  // namespace ostrel
