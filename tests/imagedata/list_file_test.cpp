#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

#include "list_file.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace {

const std::string kListHead =
    "START\r\n; ; = Comment. Do not edit. To be run as a script.\r\n"
    "; File must have no format characters.\r\n";

std::string listBytes(const std::vector<std::string>& lines, bool withEnd = true) {
    std::string bytes = kListHead;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return withEnd ? bytes + "END\r\n" : bytes;
}

}  // namespace

TEST(ListFile, WritesTheExactBytesAndReadsThemBackUnchanged) {
    TempDir dir;
    const std::string path = dir.file("pics.lst");
    const std::vector<std::string> entries = {"/p/a.jpg", "/p/ (include subfolders)",
                                              "/q/ (no subfolders)", "/p/a.jpg"};
    ScriptedPrompter prompter;
    EXPECT_EQ(WriteListFile(path, entries, prompter), 1);
    EXPECT_EQ(ReadFileBytes(path), listBytes(entries));

    std::vector<std::string> merged;
    EXPECT_EQ(MergeListFile(path, merged, prompter), 1);
    EXPECT_EQ(merged, entries);  // into an empty list, duplicates included
    // Into a non-empty list only what is not there yet.
    EXPECT_EQ(MergeListFile(path, merged, prompter), 1);
    EXPECT_EQ(merged, entries);
    std::vector<std::string> other = {"/z.png", "/q/ (no subfolders)"};
    EXPECT_EQ(MergeListFile(path, other, prompter), 1);
    EXPECT_EQ(other, (std::vector<std::string>{"/z.png", "/q/ (no subfolders)", "/p/a.jpg",
                                               "/p/ (include subfolders)"}));
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(ListFile, RefusedWritesLeaveTheOldFileAndSaySo) {
    TempDir dir;
    const std::string path = dir.write("old.lst", "keep me");
    ScriptedPrompter prompter;
    prompter.answerMessage(PromptAnswer::Ok);
    EXPECT_EQ(WriteListFile(path, {}, prompter), 0);
    EXPECT_EQ(ReadFileBytes(path), "keep me");
    EXPECT_EQ(prompter.messageTexts(),
              std::vector<std::string>{"Image list is empty - nothing to save!"});

    // A folder path that runs through a file cannot be created, even as root.
    ScriptedPrompter failing;
    failing.answerMessage(PromptAnswer::Ok);
    const std::string blocked = dir.file("old.lst/new.lst");
    EXPECT_EQ(WriteListFile(blocked, {"/a.jpg"}, failing), 0);
    ASSERT_EQ(failing.calls().size(), 1u);
    EXPECT_EQ(failing.calls()[0].icon, PromptIcon::Error);
    EXPECT_NE(failing.calls()[0].text.find(blocked), std::string::npos);
}

TEST(ListFile, MergeRefusesMissingShortHeaderlessAndOverlongFiles) {
    TempDir dir;
    std::vector<std::string> entries = {"/kept.jpg"};
    ScriptedPrompter prompter;
    for (int i = 0; i < 5; ++i) {
        prompter.answerMessage(PromptAnswer::Ok);
    }
    EXPECT_EQ(MergeListFile(dir.file("none.lst"), entries, prompter), 0);
    EXPECT_EQ(MergeListFile(dir.write("short.lst", "START\r\nab"), entries, prompter), 0);
    EXPECT_EQ(
        MergeListFile(dir.write("plain.lst", "/a.jpg\r\n/b.jpg\r\nEND\r\n"), entries, prompter), 0);
    const std::string overlong = listBytes({"/fine.jpg", std::string(kMaxListLineBytes + 1, 'x')});
    EXPECT_EQ(MergeListFile(dir.write("long.lst", overlong), entries, prompter), 0);
    EXPECT_EQ(entries, std::vector<std::string>{"/kept.jpg"});
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{"No file found at " + dir.file("none.lst"),
                                        "Not a valid Image list!", "Not a valid Image list!",
                                        "Not a valid Image list!"}));
    EXPECT_EQ(prompter.calls()[0].caption, "Error");

    // Without "END" the end of the file ends the merge; a last line without CR is dropped.
    EXPECT_EQ(
        MergeListFile(dir.write("open.lst", kListHead + "/b.jpg\r\n/c.jpg"), entries, prompter), 1);
    EXPECT_EQ(entries, (std::vector<std::string>{"/kept.jpg", "/b.jpg"}));
}

TEST(ListFile, BuildingReaderTakesFoldersFilesAndOddLinesAsTheyStand) {
    TempDir dir;
    const std::string tree = dir.path().string() + "/tree";
    dir.write("tree/x.jpg", "");
    dir.write("tree/notes.txt", "");
    dir.write("tree/sub/y.png", "");
    const std::string path =
        dir.write("mixed.lst",
                  listBytes({"; a comment", tree + "/ (no subfolders)", "/p/a.jpg   ",
                             "  /p/lead.jpg", "", "/p/readme.txt", tree + " (include subfolders)",
                             tree + "/ (include subfolders)", "; END"}));
    ScriptedPrompter prompter;
    DatafileSlot slot;
    slot.appendPath("/stale.jpg");
    EXPECT_EQ(ReadListFile(path, slot, prompter), 1);
    // The last folder line adds only what the first did not: its x.jpg is held already.
    EXPECT_EQ(slot.paths(),
              (std::vector<std::string>{tree + "/x.jpg", "/p/a.jpg", "  /p/lead.jpg", "",
                                        "/p/readme.txt", tree, tree + "/sub/y.png"}));
    EXPECT_EQ(CountListFile(path, false), 7);
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(ListFile, EveryReaderTakesCrLfLfAndCrAloneAsLineEnds) {
    TempDir dir;
    ScriptedPrompter prompter;
    const std::vector<std::string> expected = {"/x/a.jpg", "/x/b.jpg"};
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        // As `printf 'START\n/x/a.jpg\n/x/b.jpg\nEND\n'` writes it, with a comment.
        const std::string path =
            dir.write("hand.lst", "START" + end + "; made by hand" + end + "/x/a.jpg" + end +
                                      "/x/b.jpg" + end + "END" + end);
        DatafileSlot slot;
        EXPECT_EQ(ReadListFile(path, slot, prompter), 1) << (end == "\n" ? "LF" : "CR");
        EXPECT_EQ(slot.paths(), expected);
        EXPECT_EQ(CountListFile(path, false), 2);
        std::vector<std::string> merged;
        EXPECT_EQ(MergeListFile(path, merged, prompter), 1);
        EXPECT_EQ(merged, expected);
    }
    const std::string mixed = dir.write("mixed.lst", "START\n/x/a.jpg\r\n\r/x/b.jpg\rEND\n");
    DatafileSlot slot;
    EXPECT_EQ(ReadListFile(mixed, slot, prompter), 1);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{"/x/a.jpg", "", "/x/b.jpg"}));
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(ListFile, BuildHoldsEachPathOnceWithoutDoubledSeparatorsOrDotSteps) {
    TempDir dir;
    const std::string tree = dir.path().string() + "/tree";
    dir.write("tree/x.jpg", "");
    dir.write("tree/sub/y.png", "");
    const std::string path = dir.write(
        "twice.lst",
        listBytes({tree + "//./x.jpg", "/p/a.jpg", tree + "/ (include subfolders)",
                   tree + "/sub/y.png", "/p//a.jpg", "/p/./a.jpg", tree + "/./ (no subfolders)"}));
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(ReadListFile(path, slot, prompter), 1);
    EXPECT_EQ(slot.paths(),
              (std::vector<std::string>{tree + "/x.jpg", "/p/a.jpg", tree + "/sub/y.png"}));
    EXPECT_EQ(CountListFile(path, false), 3);
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(ListFile, WriterRefusesAnEntryWithALineBreak) {
    TempDir dir;
    const std::string path = dir.write("keep.lst", "old list");
    ScriptedPrompter prompter;
    prompter.answerMessage(PromptAnswer::Ok);
    EXPECT_EQ(WriteListFile(path, {"/p/a.jpg", "/p/odd\r\nname/ (no subfolders)"}, prompter), 0);
    EXPECT_EQ(ReadFileBytes(path), "old list");
    EXPECT_EQ(prompter.messageTexts(),
              std::vector<std::string>{"Unable to save the image list file: " + path +
                                       "\nAn entry holds a line break, which an image list "
                                       "cannot carry:\n/p/odd\\r\\nname/ (no subfolders)"});
}

TEST(ListFile, BuildingReadersNeedHeaderAndEnd) {
    TempDir dir;
    const std::string missing = dir.file("missing.lst");
    const std::string pipe = dir.file("pipe.lst");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string noHeader = dir.write("noheader.lst", "/a.jpg\r\nEND\r\n");
    const std::string noEnd = dir.write("noend.lst", listBytes({"/a.jpg", "/b.jpg"}, false));
    const std::string overlong =
        dir.write("long.lst", listBytes({"/a.jpg", std::string(kMaxListLineBytes + 1, 'y')}));
    ScriptedPrompter prompter;
    for (int i = 0; i < 5; ++i) {
        prompter.answerMessage(PromptAnswer::Ok);
    }
    for (const std::string& path : {missing, pipe, noHeader, noEnd, overlong}) {
        DatafileSlot slot;
        slot.appendPath("/stale.jpg");
        EXPECT_EQ(ReadListFile(path, slot, prompter), 0) << path;
        EXPECT_TRUE(slot.paths().empty()) << path;
        EXPECT_EQ(CountListFile(path, false), 0) << path;
    }
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{
                  "Not a valid image list file path: " + missing,
                  "Not a valid image list file path: " + pipe, "Not a valid Twinly image list!",
                  "Not a valid Twinly image list!", "Not a valid Twinly image list!"}));
}

TEST(ListFile, CountStopsPast999WhenQuickAndAFullPathListDropsFileLines) {
    TempDir dir;
    std::vector<std::string> lines;
    for (int i = 0; i <= kPathListCapacity; ++i) {
        lines.push_back("/p/" + std::to_string(i) + ".jpg");
    }
    const std::string path = dir.write("many.lst", listBytes(lines));
    EXPECT_EQ(CountListFile(path, true), 1000);
    EXPECT_EQ(CountListFile(path, false), kPathListCapacity + 1);

    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(ReadListFile(path, slot, prompter), 1);
    EXPECT_EQ(slot.paths().size(), static_cast<std::size_t>(kPathListCapacity));
    EXPECT_EQ(slot.paths().back(), lines[kPathListCapacity - 1]);
    EXPECT_TRUE(prompter.calls().empty());
}
