#include <gtest/gtest.h>

#include <QDir>

#include "run_state.h"
#include "temp_dir.h"

namespace {

DatafileSlot slotOf(std::vector<std::string> paths) {
    std::vector<ImageRecord> records(paths.size());
    for (ImageRecord& r : records) {
        r.nWidth = 10;
    }
    DatafileSlot slot;
    slot.setEntries(std::move(paths), std::move(records));
    return slot;
}

// Counts each signal of a run state.
struct Signals {
    explicit Signals(RunState& run) {
        QObject::connect(&run, &RunState::slotChanged, [this](int slot) { ++slotChanges[slot]; });
        QObject::connect(&run, &RunState::singleImageChanged, [this] { ++single; });
        QObject::connect(&run, &RunState::compareModeChanged, [this] { ++mode; });
        QObject::connect(&run, &RunState::matchLinesChanged, [this] { ++lines; });
        QObject::connect(&run, &RunState::flagsChanged, [this] { ++flags; });
        QObject::connect(&run, &RunState::movesChanged, [this] { ++moves; });
    }
    int slotChanges[2] = {0, 0};
    int single = 0;
    int mode = 0;
    int lines = 0;
    int flags = 0;
    int moves = 0;
};

}  // namespace

TEST(RunState, TheDataAModeNeedsDecidesWhetherAComparisonCanRun) {
    RunState run;
    Signals seen(run);
    EXPECT_FALSE(run.comparisonDataLoaded());
    run.setSlot(kPrimarySlot, slotOf({"/a.jpg", "/b.jpg"}));
    EXPECT_EQ(seen.slotChanges[kPrimarySlot], 1);
    EXPECT_TRUE(run.comparisonDataLoaded());

    run.setCompareMode(CompareMode::SecondaryToPrimary);
    run.setCompareMode(CompareMode::SecondaryToPrimary);
    EXPECT_EQ(seen.mode, 1);  // only a change is announced
    EXPECT_FALSE(run.comparisonDataLoaded());
    run.setSlot(kSecondarySlot, slotOf({"/c.jpg"}));
    EXPECT_TRUE(run.comparisonDataLoaded());

    run.setCompareMode(CompareMode::SingleToPrimary);
    EXPECT_FALSE(run.comparisonDataLoaded());
    EXPECT_FALSE(run.findSettings().prescreen);
    run.setSingleImage("/single.png", ImageRecord{});
    EXPECT_EQ(seen.single, 1);
    EXPECT_TRUE(run.comparisonDataLoaded());

    run.clearSlot(kPrimarySlot);
    EXPECT_FALSE(run.comparisonDataLoaded());
    EXPECT_EQ(seen.slotChanges[kPrimarySlot], 2);
    EXPECT_EQ(seen.slotChanges[kSecondarySlot], 1);
}

TEST(RunState, ARemovedImageIsMarkedInTheListAndBothSlots) {
    RunState run;
    Signals seen(run);
    run.setSlot(kPrimarySlot, slotOf({"/a.jpg", "/b.jpg"}));
    run.setSlot(kSecondarySlot, slotOf({"/b.jpg", "/c.jpg"}));
    run.markDeleted("/b.jpg");
    EXPECT_EQ(run.primary().records()[1].nWidth, 0);
    EXPECT_EQ(run.primary().records()[0].nWidth, 10);
    EXPECT_EQ(run.secondary().records()[0].nWidth, 0);
    EXPECT_TRUE(run.primaryUnsaved());
    EXPECT_EQ(seen.lines, 1);
    EXPECT_EQ(seen.flags, 1);

    // Only the primary data file's records call for the reminder to save.
    run.setPrimaryUnsaved(false);
    run.markDeleted("/c.jpg");
    EXPECT_EQ(run.secondary().records()[1].nWidth, 0);
    EXPECT_FALSE(run.primaryUnsaved());
}

TEST(RunState, TheMoveRuleFollowsTheFolders) {
    TempDir dir;
    const std::string left = dir.file("left");
    QDir().mkpath(QString::fromStdString(left));
    RunState run;
    Signals seen(run);
    run.settings().m_bMoveTo = 1;
    run.settings().m_strMoveFolder = left;
    run.settings().m_strMoveFolder2 = dir.file("missing");
    run.applyMoveRule();
    EXPECT_TRUE(run.moves().leftMoves);
    EXPECT_FALSE(run.moves().rightMoves);
    EXPECT_EQ(run.settings().m_bMoveTo, 1);
    run.settings().m_strMoveFolder = dir.file("gone");
    run.applyMoveRule();
    EXPECT_FALSE(run.moves().leftMoves);
    EXPECT_EQ(run.settings().m_bMoveTo, 0);
    EXPECT_EQ(seen.moves, 2);
}
