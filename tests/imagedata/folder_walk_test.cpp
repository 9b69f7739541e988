#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "folder_walk.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A tree held in memory with the listing order the test chooses. Folder keys
// end in "/"; an entry naming a folder key is a subfolder.
class FakeFolderSource : public FolderSource {
  public:
    void add(const std::string& folder, std::vector<FolderEntry> entries) {
        m_tree[folder] = std::move(entries);
    }
    void addImages(const std::string& folder, int n, const std::string& prefix = "img") {
        for (int i = 0; i < n; ++i) {
            m_tree[folder].push_back({prefix + std::to_string(i) + ".jpg", false});
        }
    }
    void addFolder(const std::string& parent, const std::string& name) {
        m_tree[parent].push_back({name, true});
        m_tree[parent + name + "/"];
    }
    void setId(const std::string& folder, std::uint64_t id) { m_ids[folder] = id; }
    int opened = 0;

    std::unique_ptr<FolderListing> open(const std::string& folder) override {
        ++opened;
        const auto it = m_tree.find(folder);
        if (it == m_tree.end()) {
            return nullptr;
        }
        const auto id = m_ids.find(folder);
        const std::uint64_t inode =
            id != m_ids.end() ? id->second : std::hash<std::string>{}(folder);
        return std::make_unique<Listing>(FolderId{1, inode}, it->second);
    }

  private:
    class Listing : public FolderListing {
      public:
        Listing(FolderId id, const std::vector<FolderEntry>& entries)
            : m_id(id), m_entries(entries) {}
        FolderId id() const override { return m_id; }
        bool failed() const override { return false; }
        bool next(FolderEntry& entry) override {
            if (m_next >= m_entries.size()) {
                return false;
            }
            entry = m_entries[m_next++];
            return true;
        }

      private:
        FolderId m_id;
        const std::vector<FolderEntry>& m_entries;
        std::size_t m_next = 0;
    };
    std::map<std::string, std::vector<FolderEntry>> m_tree;
    std::map<std::string, std::uint64_t> m_ids;
};

const std::string kCapacityText = "Limit is 32,000 image files.\nProcess the 32,000 now.";

}  // namespace

TEST(FolderWalk, SubfolderImagesStandWhereTheSubfolderWasMet) {
    FakeFolderSource tree;
    tree.add("/r/", {{"a.jpg", false}, {"sub", true}, {"notes.txt", false}, {"c.JPEG", false}});
    tree.add("/r/sub/", {{"x.png", false}, {"deeper", true}, {"z.gif", false}});
    tree.add("/r/sub/deeper/", {{"y.tif", false}});
    ScriptedPrompter prompter;

    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(tree, "/r", true, slot, prompter), AddResult::Done);
    EXPECT_EQ(slot.paths(),
              (std::vector<std::string>{"/r/a.jpg", "/r/sub/x.png", "/r/sub/deeper/y.tif",
                                        "/r/sub/z.gif", "/r/c.JPEG"}));
    EXPECT_EQ(CountFolderImages(tree, "/r/", true, false), 5);

    // Without subfolders they are neither listed nor even opened.
    DatafileSlot flat;
    tree.opened = 0;
    EXPECT_EQ(AddFolderImages(tree, "/r/", false, flat, prompter), AddResult::Done);
    EXPECT_EQ(flat.paths(), (std::vector<std::string>{"/r/a.jpg", "/r/c.JPEG"}));
    EXPECT_EQ(CountFolderImages(tree, "/r/", false, false), 2);
    EXPECT_EQ(tree.opened, 2);
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(FolderWalk, QuickCountStopsEachFolderPast999) {
    FakeFolderSource tree;
    tree.addImages("/big/", 1500);
    EXPECT_EQ(CountFolderImages(tree, "/big/", false, true), 1000);
    EXPECT_EQ(CountFolderImages(tree, "/big/", false, false), 1500);

    // 500 images, then a subfolder of 800: the subfolder's whole count is added.
    tree.addImages("/mixed/", 500);
    tree.addFolder("/mixed/", "sub");
    tree.addImages("/mixed/sub/", 800);
    tree.addImages("/mixed/", 300, "late");
    EXPECT_EQ(CountFolderImages(tree, "/mixed/", true, true), 1300);
    EXPECT_EQ(CountFolderImages(tree, "/mixed/", true, false), 1600);

    // The same images with the subfolder met first: 800, then 200 more.
    tree.addFolder("/first/", "sub");
    tree.addImages("/first/sub/", 800);
    tree.addImages("/first/", 500);
    EXPECT_EQ(CountFolderImages(tree, "/first/", true, true), 1000);
}

TEST(FolderWalk, UnlistableFolderCountsZeroButStopsTheFill) {
    FakeFolderSource tree;
    tree.add("/r/", {{"a.jpg", false}, {"locked", true}, {"b.jpg", false}});
    ScriptedPrompter prompter;
    EXPECT_EQ(CountFolderImages(tree, "/r/", true, false), 2);

    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(tree, "/r/", true, slot, prompter), AddResult::Stopped);
    EXPECT_EQ(slot.paths(), std::vector<std::string>{"/r/a.jpg"});

    EXPECT_EQ(CountFolderImages(tree, "/missing", true, false), 0);
    EXPECT_EQ(AddFolderImages(tree, "/missing", true, slot, prompter), AddResult::Stopped);
    // The user learns which folder stopped the walk.
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{"Unable to list the folder /r/locked/.",
                                        "Unable to list the folder /missing/."}));
}

TEST(FolderWalk, NamesWithLineBreaksStandAsDeletedEntriesAndAreNamed) {
    FakeFolderSource tree;
    tree.add("/r/",
             {{"a.jpg", false}, {"b\rc.jpg", false}, {"odd\r\nfolder", true}, {"d\ne.png", false}});
    tree.add("/r/odd\r\nfolder/", {{"x.gif", false}, {"notes.txt", false}});
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(tree, "/r/", true, slot, prompter), AddResult::Done);
    EXPECT_EQ(slot.paths(),
              (std::vector<std::string>{"/r/a.jpg", "Deleted", "Deleted", "Deleted"}));
    EXPECT_EQ(CountFolderImages(tree, "/r/", true, false), 4);
    EXPECT_EQ(prompter.messageTexts(),
              std::vector<std::string>{
                  "Left out 3 files whose name holds a line break, which image lists and dups "
                  "logs cannot carry:\n/r/b\\rc.jpg\n/r/odd\\r\\nfolder/x.gif\n/r/d\\ne.png"});
}

TEST(FolderWalk, TheStartFolderIsWrittenWithoutDoubledSeparatorsOrDotSteps) {
    FakeFolderSource tree;
    tree.add("/r/s/", {{"a.jpg", false}});
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(tree, "/r//./s/.", false, slot, prompter), AddResult::Done);
    EXPECT_EQ(slot.paths(), std::vector<std::string>{"/r/s/a.jpg"});
    EXPECT_EQ(CountFolderImages(tree, "//r/./s//", false, false), 1);
}

TEST(FolderWalk, FullListAsksOnceAndEndsEveryLevel) {
    FakeFolderSource tree;
    tree.add("/r/", {{"first.jpg", false}, {"sub", true}, {"after.jpg", false}});
    tree.addImages("/r/sub/", kPathListCapacity);

    ScriptedPrompter ok;
    ok.answerMessage(PromptAnswer::Ok);
    DatafileSlot kept;
    bool cancelled = false;
    EXPECT_EQ(AddFolderImages(tree, "/r/", true, kept, ok, &cancelled), AddResult::AtCapacity);
    ASSERT_EQ(ok.calls().size(), 1u);
    EXPECT_EQ(ok.calls()[0].caption, "Information");
    EXPECT_EQ(ok.calls()[0].text, kCapacityText);
    EXPECT_EQ(ok.calls()[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(ok.calls()[0].icon, PromptIcon::Warning);
    EXPECT_EQ(kept.paths().size(), static_cast<std::size_t>(kPathListCapacity));
    EXPECT_EQ(kept.paths().front(), "/r/first.jpg");
    EXPECT_FALSE(cancelled);

    ScriptedPrompter cancel;
    cancel.answerMessage(PromptAnswer::Cancel);
    DatafileSlot emptied;
    EXPECT_EQ(AddFolderImages(tree, "/r/", true, emptied, cancel, &cancelled), AddResult::Stopped);
    EXPECT_EQ(cancel.calls().size(), 1u);
    EXPECT_TRUE(emptied.paths().empty());
    EXPECT_TRUE(cancelled);
}

TEST(FolderWalk, FullListMetAtAFoldersFirstEntryLeavesTheStatusLine) {
    FakeFolderSource tree;
    tree.addImages("/r/", 2);
    DatafileSlot slot;
    for (int i = 0; i < kPathListCapacity; ++i) {
        slot.appendPath("/earlier/" + std::to_string(i));
    }
    ScriptedPrompter cancel;
    cancel.answerMessage(PromptAnswer::Cancel);
    bool cancelled = false;
    EXPECT_EQ(AddFolderImages(tree, "/r/", false, slot, cancel, &cancelled), AddResult::Stopped);
    EXPECT_TRUE(slot.paths().empty());
    EXPECT_FALSE(cancelled);
}

TEST(FolderWalk, AFolderAlreadyOnTheWalksPathIsNotEnteredAgain) {
    // "/r/back" leads to "/r/" again, "/r/side" to a folder met elsewhere.
    FakeFolderSource tree;
    tree.add("/r/", {{"a.jpg", false}, {"back", true}, {"side", true}});
    tree.add("/r/back/", {{"a.jpg", false}, {"back", true}, {"side", true}});
    tree.setId("/r/back/", 7);
    tree.setId("/r/", 7);
    tree.add("/r/side/", {{"s.jpg", false}});
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(tree, "/r/", true, slot, prompter), AddResult::Done);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{"/r/a.jpg", "/r/side/s.jpg"}));
    EXPECT_EQ(CountFolderImages(tree, "/r/", true, false), 2);
}

TEST(DiskFolderWalk, WalksHiddenFilesFollowsLinksAndStopsAtLoops) {
    TempDir dir;
    const std::string root = dir.file("root");
    dir.write("root/.hidden.png", "");
    dir.write("root/a/b.jpg", "");
    dir.write("root/a/readme.txt", "");
    dir.write("outside/o.gif", "");
    fs::create_directory_symlink(dir.path() / "root", dir.path() / "root/a/up");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "root/elsewhere");
    ASSERT_EQ(::mkfifo(dir.file("root/pipe.jpg").c_str(), 0600), 0);

    EXPECT_EQ(CountFolderImages(root, true, false), 3);
    EXPECT_EQ(CountFolderImages(root, false, false), 1);
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(root, true, slot, prompter), AddResult::Done);
    std::vector<std::string> found = slot.paths();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{root + "/.hidden.png", root + "/a/b.jpg",
                                               root + "/elsewhere/o.gif"}));

    // A folder that cannot be listed: here its path runs through a file.
    DatafileSlot none;
    EXPECT_EQ(CountFolderImages(root + "/a/readme.txt/x", true, false), 0);
    EXPECT_EQ(AddFolderImages(root + "/a/readme.txt/x", true, none, prompter), AddResult::Stopped);
    EXPECT_EQ(AddFolderImages("", true, none, prompter), AddResult::Stopped);
    EXPECT_TRUE(none.paths().empty());
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{
                  "Unable to list the folder " + root + "/a/readme.txt/x/: Not a directory",
                  "No folder was named to list."}));
}

TEST(DiskFolderWalk, HostileNamesOnDiskNeverReachThePathList) {
    TempDir dir;
    const std::string root = dir.file("root");
    dir.write("root/plain.jpg", "");
    dir.write("root/cr\rname.jpg", "");
    dir.write("root/lf\nname.jpg", "");
    dir.write("root/Image 2 path: \r\n/etc/passwd.jpg", "");
    dir.write("root/tree\r\n/inner.jpg", "");
    ScriptedPrompter prompter;
    DatafileSlot slot;
    EXPECT_EQ(AddFolderImages(root, true, slot, prompter), AddResult::Done);
    std::vector<std::string> found = slot.paths();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{root + "/plain.jpg", "Deleted", "Deleted",
                                               "Deleted", "Deleted"}));
    EXPECT_EQ(CountFolderImages(root, true, false), 5);
    ASSERT_EQ(prompter.messageTexts().size(), 1u);
    EXPECT_NE(prompter.messageTexts()[0].find(root + "/tree\\r\\n/inner.jpg"), std::string::npos);
}

TEST(DiskFolderWalk, CapacityOverEmptyJpegFiles) {
    TempDir dir;
    const std::string prefix = dir.path().string() + "/";
    for (int i = 0; i <= kPathListCapacity; ++i) {
        const int fd = ::creat((prefix + std::to_string(i) + ".jpg").c_str(), 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const std::string folder = dir.path().string();
    EXPECT_EQ(CountFolderImages(folder, false, false), kPathListCapacity + 1);

    ScriptedPrompter prompter;
    prompter.answerMessage(PromptAnswer::Ok);
    prompter.answerMessage(PromptAnswer::Cancel);
    DatafileSlot kept;
    EXPECT_EQ(AddFolderImages(folder, false, kept, prompter), AddResult::AtCapacity);
    EXPECT_EQ(kept.paths().size(), static_cast<std::size_t>(kPathListCapacity));
    EXPECT_EQ(std::set<std::string>(kept.paths().begin(), kept.paths().end()).size(),
              kept.paths().size());

    DatafileSlot emptied;
    bool cancelled = false;
    EXPECT_EQ(AddFolderImages(folder, false, emptied, prompter, &cancelled), AddResult::Stopped);
    EXPECT_TRUE(emptied.paths().empty());
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(prompter.messageTexts(), (std::vector<std::string>{kCapacityText, kCapacityText}));
}
