#include <gtest/gtest.h>

#include <algorithm>

#include "list_file.h"
#include "scripted_prompter.h"
#include "signature.h"
#include "source_gather.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

const std::string kListHead =
    "START\r\n; ; = Comment. Do not edit. To be run as a script.\r\n"
    "; File must have no format characters.\r\n";

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A slot as a previous build left it: records and paths that must go.
DatafileSlot staleSlot() {
    DatafileSlot slot;
    slot.setEntries({"/old/a.jpg", "/old/b.jpg", "/old/c.jpg"}, std::vector<ImageRecord>(3));
    slot.m_strSourceNote = "; Source: /old";
    return slot;
}

}  // namespace

TEST(SourceGather, FolderWithSubfoldersReplacesTheOldPathsAndSetsTheNote) {
    TempDir dir;
    const std::string a = dir.write("pics/a.jpg", "");
    const std::string b = dir.write("pics/sub/b.PNG", "");
    dir.write("pics/notes.txt", "");
    DatafileSlot slot = staleSlot();
    slot.m_nSourceKind = 1;
    slot.m_bSubfolders = 1;
    slot.m_strSourceFolder = dir.file("pics");
    ScriptedPrompter prompter;
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter), GatherResult::Gathered);
    EXPECT_EQ(sorted(slot.paths()), sorted({a, b}));
    EXPECT_TRUE(slot.records().empty());
    EXPECT_EQ(slot.m_strSourceNote, "; Source: " + dir.file("pics") + " + all subfolders");

    // Without subfolders the same folder holds one image: too few, and the
    // message is the caller's to show.
    slot.m_bSubfolders = 0;
    EXPECT_EQ(GatherSourcePaths(BuildRun::RebuildPrimary, slot, prompter), GatherResult::TooFew);
    EXPECT_EQ(slot.paths(), std::vector<std::string>{a});
    EXPECT_EQ(slot.m_strSourceNote, "; Source: " + dir.file("pics"));
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(SourceGather, ImageListsAreReadAndRefusedListsStopWithTheirMessage) {
    TempDir dir;
    const std::string a = dir.write("pics/a.jpg", "");
    const std::string list =
        dir.write("two.lst", kListHead + a + "\r\n" + dir.file("other.gif") + "\r\nEND\r\n");
    DatafileSlot slot = staleSlot();
    slot.m_nSourceKind = 0;
    slot.m_strSourceList = list;
    slot.m_strSourceFolder = dir.file("pics");  // not the source: the list is
    ScriptedPrompter prompter;
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildSecondary, slot, prompter), GatherResult::Gathered);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{a, dir.file("other.gif")}));
    EXPECT_EQ(slot.m_strSourceNote, "; Source: " + list);

    prompter.answerMessage(PromptAnswer::Ok);
    slot.m_strSourceList = dir.write("bad.lst", "not a list\r\n");
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter), GatherResult::Stopped);
    EXPECT_TRUE(slot.records().empty());
    EXPECT_EQ(prompter.messageTexts().size(), 1u);
}

TEST(SourceGather, AnOddSourceKindIsAListToABuildAndAFolderToARebuild) {
    TempDir dir;
    dir.write("pics/a.jpg", "");
    dir.write("pics/b.jpg", "");
    DatafileSlot slot;
    slot.m_nSourceKind = 2;  // as a damaged data file may hold
    slot.m_strSourceFolder = dir.file("pics");
    ScriptedPrompter prompter;
    EXPECT_EQ(GatherSourcePaths(BuildRun::RebuildSecondary, slot, prompter),
              GatherResult::Gathered);
    EXPECT_EQ(slot.paths().size(), 2u);

    prompter.answerMessage(PromptAnswer::Ok);
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter), GatherResult::Stopped);
    EXPECT_EQ(prompter.messageTexts().size(), 1u);  // the empty list path is refused
}

TEST(SourceGather, EachRunSignsElongatedImagesWithItsOwnMode) {
    TempDir dir;
    // Six times as wide as high: reduced in one step with the run's mode.
    const std::string path = dir.file("wide.png");
    ASSERT_TRUE(WriteImage(GradientImage(600, 100, Qt::red, Qt::blue), path, "PNG"));
    const std::pair<BuildRun, ResizeMode> runs[] = {
        {BuildRun::BuildPrimary, ResizeMode::Lanczos3},
        {BuildRun::BuildSecondary, ResizeMode::Gaussian},
        {BuildRun::RebuildPrimary, ResizeMode::Fallback},
        {BuildRun::RebuildSecondary, ResizeMode::Fallback},
    };
    for (const auto& [run, mode] : runs) {
        EXPECT_EQ(ElongationMode(run), mode);
        ImageRecord viaSigner;
        ImageRecord expected;
        ASSERT_TRUE(MakeRunSigner(run)(path, viaSigner));
        ASSERT_TRUE(SignatureFromFile(path, mode, kDefaultThumbFilter, expected));
        EXPECT_EQ(viaSigner, expected);
        EXPECT_EQ(viaSigner.nWidth, 600);
    }
    ImageRecord primary;
    ImageRecord rebuilt;
    ASSERT_TRUE(MakeRunSigner(BuildRun::BuildPrimary)(path, primary));
    ASSERT_TRUE(MakeRunSigner(BuildRun::RebuildPrimary)(path, rebuilt));
    EXPECT_NE(primary, rebuilt);  // else the mode check above proves nothing

    ImageRecord missing;
    EXPECT_FALSE(MakeRunSigner(BuildRun::BuildPrimary)(dir.file("none.jpg"), missing));
    EXPECT_EQ(missing.nWidth, 0);
}
