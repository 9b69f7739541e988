#include <gtest/gtest.h>

#include "datafile_slot.h"
#include "scripted_prompter.h"
#include "slot_build.h"
#include "temp_dir.h"

namespace {

ImageRecord recordOfWidth(int width) {
    ImageRecord r;
    r.nWidth = static_cast<std::uint16_t>(width);
    return r;
}

// Reads nothing: the record is made from the path's length.
bool lengthSigner(const std::string& path, ImageRecord& record) {
    record = recordOfWidth(static_cast<int>(path.size()));
    return path.find("bad") == std::string::npos;
}

}  // namespace

TEST(DatafileSlot, EveryRecordKeepsItsPath) {
    DatafileSlot slot;
    slot.setEntries({"/a.jpg", "/b.jpg", "/c.jpg"}, {recordOfWidth(1), recordOfWidth(2)});
    EXPECT_EQ(slot.count(), 2);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{"/a.jpg", "/b.jpg"}));
    slot.setEntries({"/a.jpg"}, {recordOfWidth(1), recordOfWidth(2)});
    EXPECT_EQ(slot.count(), 1);
    EXPECT_EQ(slot.paths().size(), 1u);

    slot.setEntries({"/a.jpg", "/b.jpg", "/A.jpg", "/b.jpg"},
                    {recordOfWidth(1), recordOfWidth(2), recordOfWidth(3), recordOfWidth(4)});
    EXPECT_TRUE(slot.markDeleted("/b.jpg"));
    EXPECT_FALSE(slot.markDeleted("/missing.jpg"));
    EXPECT_EQ(slot.records()[1].nWidth, 0);
    EXPECT_EQ(slot.records()[3].nWidth, 0);
    EXPECT_EQ(slot.records()[0].nWidth, 1);
    EXPECT_EQ(slot.records()[2].nWidth, 3);

    slot.m_strSourceFolder = "/pictures";
    const SlotEntries taken = slot.takeEntries();
    EXPECT_EQ(taken.paths.size(), 4u);
    EXPECT_EQ(taken.records.size(), 4u);
    EXPECT_FALSE(slot.hasRecords());
    EXPECT_TRUE(slot.paths().empty());
    EXPECT_EQ(slot.m_strSourceFolder, "/pictures");
}

TEST(SlotBuild, BuildsAndRebuildsFromTheSourceAlone) {
    TempDir dir;
    const std::string a = dir.write("pics/a.jpg", "");
    dir.write("pics/bad.jpg", "");
    DatafileSlot source;
    source.m_strSourceFolder = dir.file("pics/");
    // Entries of the caller's slot play no part in a build.
    source.setEntries({"/elsewhere.jpg"}, {recordOfWidth(9)});
    ScriptedPrompter prompter;
    JobProgress progress;

    SlotBuild build(BuildRun::BuildPrimary, source);
    ASSERT_EQ(build.gather(prompter), GatherResult::Gathered);
    EXPECT_EQ(build.pathCount(), 2);
    ASSERT_TRUE(build.readImages(lengthSigner, 1, progress));
    DatafileSlot built = build.takeSlot();
    ASSERT_EQ(built.count(), 2);
    EXPECT_EQ(built.m_strSourceNote, "; Source: " + dir.file("pics/"));
    for (int i = 0; i < 2; ++i) {
        const std::string& path = built.paths()[static_cast<std::size_t>(i)];
        const int width = built.records()[static_cast<std::size_t>(i)].nWidth;
        if (path == kDeletedEntry) {
            EXPECT_EQ(width, 0);  // the unreadable image
        } else {
            EXPECT_EQ(path, a);
            EXPECT_EQ(width, static_cast<int>(a.size()));
        }
    }

    // A rebuild keeps the old record of a path it finds again and reads the new one.
    const std::string c = dir.write("pics/c.jpg", "");
    SlotEntries old;
    old.paths = {a};
    old.records = {recordOfWidth(7)};
    SlotBuild rebuild(BuildRun::RebuildPrimary, built, std::move(old));
    ASSERT_EQ(rebuild.gather(prompter), GatherResult::Gathered);
    EXPECT_EQ(rebuild.pathCount(), 3);
    ASSERT_TRUE(rebuild.readImages(lengthSigner, 2, progress));
    const DatafileSlot again = rebuild.takeSlot();
    ASSERT_EQ(again.count(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        if (again.paths()[i] == a) {
            EXPECT_EQ(again.records()[i].nWidth, 7);
        } else if (again.paths()[i] == c) {
            EXPECT_EQ(again.records()[i].nWidth, static_cast<int>(c.size()));
        }
    }
}

TEST(SlotBuild, AStoppedBuildHandsBackNoEntries) {
    TempDir dir;
    dir.write("pics/a.jpg", "");
    dir.write("pics/b.jpg", "");
    DatafileSlot source;
    source.m_strSourceFolder = dir.file("pics/");
    ScriptedPrompter prompter;
    SlotBuild build(BuildRun::BuildSecondary, source);
    ASSERT_EQ(build.gather(prompter), GatherResult::Gathered);
    JobProgress progress;
    progress.requestStop();
    EXPECT_FALSE(build.readImages(lengthSigner, 1, progress));
    const DatafileSlot slot = build.takeSlot();
    EXPECT_FALSE(slot.hasRecords());
    EXPECT_TRUE(slot.paths().empty());
}
