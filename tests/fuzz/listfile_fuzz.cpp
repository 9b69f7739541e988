// Image lists through all three readers. Folder lines are answered by a small
// made-up tree with links back into itself, so no input walks the real disk.

#include <cstdint>
#include <functional>
#include <unordered_set>

#include "fuzz_support.h"
#include "list_file.h"
#include "path_compare.h"
#include "scripted_prompter.h"

namespace {

class MadeUpListing : public FolderListing {
  public:
    MadeUpListing(FolderId id, bool fails) : m_id(id), m_fails(fails) {}
    FolderId id() const override { return m_id; }
    bool failed() const override { return m_fails && m_next >= kEntries.size(); }
    bool next(FolderEntry& entry) override {
        if (m_next >= kEntries.size()) {
            return false;
        }
        entry = kEntries[m_next++];
        return true;
    }

  private:
    inline static const std::vector<FolderEntry> kEntries = {
        {"a.jpg", false}, {"b.txt", false},           {"sub", true},
        {"C.PNG", false}, {"odd\r\nname.gif", false}, {"loop", true}};
    FolderId m_id;
    bool m_fails;
    std::size_t m_next = 0;
};

// Five folder identities only, so every walk soon meets a folder it is inside.
class MadeUpTree : public FolderSource {
  public:
    std::unique_ptr<FolderListing> open(const std::string& folder) override {
        if (folder.size() > 64) {
            return nullptr;
        }
        const std::size_t h = std::hash<std::string>{}(folder);
        if (h % 11 == 0) {
            return nullptr;
        }
        return std::make_unique<MadeUpListing>(FolderId{1, h % 5}, h % 7 == 0);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string& path = input.fill(data, size);
    MadeUpTree tree;

    {
        DatafileSlot slot;
        ScriptedPrompter prompter;
        // Keeps what was gathered when the list fills up.
        for (int i = 0; i < 4; ++i) {
            prompter.answerMessage(PromptAnswer::Ok);
        }
        const int read = ReadListFileWith(tree, path, slot, prompter);
        if (slot.paths().size() > static_cast<std::size_t>(kPathListCapacity) ||
            (read == 0 && !slot.paths().empty())) {
            fuzz::Fail("filling reader");
        }
        // Every path once, written plainly, and none a list or log cannot carry.
        std::unordered_set<std::string> gathered;
        for (const std::string& name : slot.paths()) {
            if (HasLineBreak(name) || name.find("//") != std::string::npos ||
                name.find("/./") != std::string::npos) {
                fuzz::Fail("a gathered path a list or log cannot carry as it stands");
            }
            if (!name.empty() && name != kDeletedEntry && !gathered.insert(PathKey(name)).second) {
                fuzz::Fail("a path gathered twice");
            }
        }
    }
    const int quick = CountListFileWith(tree, path, true);
    const int full = CountListFileWith(tree, path, false);
    // A quick count reads the same lines as a full one until it passes 999.
    if (quick < 0 || full < 0 || (quick <= 999 && quick != full) || (full != 0 && quick > full)) {
        fuzz::Fail("counts");
    }

    ScriptedPrompter prompter;
    std::vector<std::string> empty;
    const int intoEmpty = MergeListFile(path, empty, prompter);
    std::vector<std::string> entries = {"/kept.jpg"};
    const std::vector<std::string> before = entries;
    const int intoList = MergeListFile(path, entries, prompter);
    if (intoEmpty != intoList || (intoList == 0 && (entries != before || !empty.empty()))) {
        fuzz::Fail("merging reader result");
    }
    std::unordered_set<std::string> seen;
    for (const std::string& e : entries) {
        seen.insert(PathKey(e));
    }
    if (intoList == 1 && seen.size() != entries.size()) {
        fuzz::Fail("a merge into a non-empty list added a duplicate");
    }
    return 0;
}
