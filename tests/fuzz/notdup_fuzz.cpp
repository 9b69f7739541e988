// The list of pairs marked "not a duplicate": what the reader takes must be a
// list the writer can carry and read back unchanged, and what it refuses must
// leave the caller's list as it was.

#include <cstdint>
#include <unordered_set>

#include "fuzz_support.h"
#include "not_dup_list.h"
#include "path_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string& path = input.fill(data, size);

    NotDupList list;
    const FileStamp keptA{"/kept/a.jpg", 1, 2};
    const FileStamp keptB{"/kept/b.jpg", 3, -4};
    if (!list.add(keptA, keptB)) {
        fuzz::Fail("a plain pair is refused");
    }
    std::string problem;
    const NotDupReadResult result = ReadNotDupList(path, list, problem);
    if (result == NotDupReadResult::Invalid) {
        if (problem.empty() || list.count() != 1 || list.find(keptA.path, keptB.path) == nullptr) {
            fuzz::Fail("a refused list changed the caller's list or said nothing");
        }
        return 0;
    }
    if (static_cast<std::size_t>(list.count()) > kMaxNotDupPairs) {
        fuzz::Fail("more pairs than a list may hold");
    }
    std::unordered_set<std::string> keys;
    for (const NotDupPair& pair : list.pairs()) {
        const std::string& a = pair.first.path;
        const std::string& b = pair.second.path;
        if (a.empty() || b.empty() || HasLineBreak(a) || HasLineBreak(b) ||
            a.size() > kMaxNotDupPathBytes || b.size() > kMaxNotDupPathBytes) {
            fuzz::Fail("a path the list cannot carry");
        }
        if (SamePath(a, b) || PathKey(b) < PathKey(a)) {
            fuzz::Fail("a pair of one path, or its paths out of order");
        }
        if (!keys.insert(PathKey(a) + '\n' + PathKey(b)).second) {
            fuzz::Fail("one pair recorded twice");
        }
        if (list.find(b, a) != &pair) {
            fuzz::Fail("a pair not found the other way round");
        }
    }

    // What was read survives a save and a second read unchanged.
    const std::string saved = (fuzz::ScratchFolder() / "notdups.txt").string();
    if (!SaveNotDupList(saved, list)) {
        fuzz::Fail("saving a list that was read");
    }
    NotDupList again;
    if (ReadNotDupList(saved, again, problem) != NotDupReadResult::Read ||
        again.count() != list.count()) {
        fuzz::Fail("a saved list reads back differently");
    }
    for (int i = 0; i < list.count(); ++i) {
        const NotDupPair& one = list.pairs()[static_cast<std::size_t>(i)];
        const NotDupPair& two = again.pairs()[static_cast<std::size_t>(i)];
        if (!(one.first == two.first) || !(one.second == two.second)) {
            fuzz::Fail("a saved pair reads back differently");
        }
    }
    return 0;
}
