#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/MainModel.h"
#include "model/PlatformServices.h"

namespace ostrel {
namespace {

std::unique_ptr<TPatternData> Pattern(const std::string& fileName) {
    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = fileName;
    return pattern;
}

// Records the events in order, with what the model held at that moment.
struct TEventLog {
    explicit TEventLog(TMainModel& model) {
        model.OnPatternAdded = [this](TMainModel& sender, TPatternData& pattern) {
            Events.push_back("added " + pattern.FileName + " id " + std::to_string(pattern.Id) +
                             " count " + std::to_string(sender.Patterns.Count()));
        };
        model.OnPatternRemoved = [this](TMainModel& sender, TPatternData& pattern) {
            Events.push_back("removed " + pattern.FileName + " count " +
                             std::to_string(sender.Patterns.Count()));
        };
        model.OnCleared = [this](TMainModel& sender) {
            Events.push_back("cleared count " + std::to_string(sender.Patterns.Count()));
        };
        model.OnSelectionChanged = [this](TMainModel& sender) {
            Events.push_back("selection " + std::to_string(sender.Selection.Count()));
        };
    }
    std::vector<std::string> Events;
};

TEST(MainModel, IdsCountUpAndRestartAfterClear) {
    TMainModel model;
    TEventLog log(model);
    TPatternData& a = model.AddPattern(Pattern("a"));
    TPatternData& b = model.AddPattern(Pattern("b"));
    model.AddPattern(Pattern("c"));
    EXPECT_EQ(a.Id, 0);
    EXPECT_EQ(b.Id, 1);
    model.RemovePattern(b);
    EXPECT_EQ(model.AddPattern(Pattern("d")).Id, 3);
    EXPECT_EQ(model.Patterns.Count(), 3);
    model.Clear();
    EXPECT_EQ(model.Patterns.Count(), 0);
    EXPECT_EQ(model.AddPattern(Pattern("e")).Id, 0);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"added a id 0 count 1", "added b id 1 count 2",
                                                    "added c id 2 count 3", "removed b count 3",
                                                    "added d id 3 count 3", "cleared count 3",
                                                    "added e id 0 count 1"}));
}

TEST(MainModel, SelectionIsSortedByIdAndReportsEveryChange) {
    TMainModel model;
    TEventLog log(model);
    std::vector<TPatternData*> patterns;
    for (int i = 0; i < 10; ++i) patterns.push_back(&model.AddPattern(Pattern(std::to_string(i))));
    log.Events.clear();
    TPatternDataList chosen(false);
    chosen.Add(*patterns[5]);
    chosen.Add(*patterns[2]);
    chosen.Add(*patterns[9]);
    model.SetSelection(chosen);
    ASSERT_EQ(model.Selection.Count(), 3);
    EXPECT_EQ(model.Selection.Items(0).Id, 2);
    EXPECT_EQ(model.Selection.Items(1).Id, 5);
    EXPECT_EQ(model.Selection.Items(2).Id, 9);
    EXPECT_EQ(chosen.Items(0).Id, 5) << "the caller's list is not reordered";
    EXPECT_EQ(log.Events, (std::vector<std::string>{"selection 3"}));

    // Removing a selected pattern drops it from the selection without a selection event.
    model.RemovePattern(*patterns[5]);
    ASSERT_EQ(model.Selection.Count(), 2);
    EXPECT_EQ(model.Selection.Items(1).Id, 9);
    EXPECT_EQ(log.Events.back(), "removed 5 count 10");
    EXPECT_EQ(model.Patterns.Count(), 9);

    model.Clear();
    EXPECT_EQ(model.Selection.Count(), 0);
    EXPECT_EQ(log.Events.back(), "cleared count 9");
}

TEST(MainModel, RemovalEventsSeeThePatternStillSelected) {
    // The window's handlers read the selection while they delete rows: the pattern going (or
    // all of them on Clear) must still be selected when the event runs.
    TMainModel model;
    TPatternData& a = model.AddPattern(Pattern("a"));
    TPatternData& b = model.AddPattern(Pattern("b"));
    TPatternDataList both(false);
    both.Add(a);
    both.Add(b);
    model.SetSelection(both);
    std::vector<std::string> seen;
    model.OnPatternRemoved = [&seen](TMainModel& sender, TPatternData& pattern) {
        seen.push_back("removed " + pattern.FileName + " selected " +
                       std::to_string(sender.Selection.IndexOf(&pattern) >= 0) + " of " +
                       std::to_string(sender.Selection.Count()));
    };
    model.OnCleared = [&seen](TMainModel& sender) {
        seen.push_back("cleared selected " + std::to_string(sender.Selection.Count()));
    };
    model.RemovePattern(b);
    model.Clear();
    EXPECT_EQ(seen, (std::vector<std::string>{"removed b selected 1 of 2", "cleared selected 1"}));
    EXPECT_EQ(model.Selection.Count(), 0);
}

TEST(MainModel, RemovingAForeignPatternOnlyFiresTheEvent) {
    TMainModel model;
    TEventLog log(model);
    model.AddPattern(Pattern("kept"));
    TPatternData stranger;
    stranger.FileName = "stranger";
    model.RemovePattern(stranger);
    EXPECT_EQ(model.Patterns.Count(), 1);
    EXPECT_EQ(log.Events.back(), "removed stranger count 1");
}

TEST(MainModel, EventsAreOptionalAndNullPatternsRefused) {
    TMainModel model;
    model.AddPattern(Pattern("x"));
    TPatternDataList none(false);
    model.SetSelection(none);
    model.Clear();
    EXPECT_THROW(model.AddPattern(nullptr), EOstrelError);
    EXPECT_EQ(model.NextId, 0);
}

class TFakeEditor : public TEditorService {
public:
    void OpenInTextEditor(const std::string& filePath) override {
        Opened.push_back(filePath);
        if (Fail) throw std::runtime_error("no editor");
    }
    std::vector<std::string> Opened;
    bool Fail = false;
};

TEST(MainModel, ShowSourceHandsThePathAsItIsAndSwallowsFailures) {
    TMainModel model;
    TPatternData& pattern = model.AddPattern(Pattern("/home/rf/My Antennas/panel 65.msi"));
    TFakeEditor editor;
    model.ShowSource(pattern, editor);
    editor.Fail = true;
    EXPECT_NO_THROW(model.ShowSource(pattern, editor));
    EXPECT_EQ(editor.Opened, (std::vector<std::string>{"/home/rf/My Antennas/panel 65.msi",
                                                       "/home/rf/My Antennas/panel 65.msi"}));
}

}  // namespace
}  // namespace ostrel
