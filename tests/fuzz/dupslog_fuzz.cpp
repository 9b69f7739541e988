// Dups logs: a log that reads saves and reads back the same, holds only
// whole pair blocks, and the viewer's operations on it (sorting, percentages,
// marking deleted) stay in bounds.

#include <cstdint>

#include "fuzz_support.h"
#include "log_reader.h"
#include "log_writer.h"
#include "match_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string& path = input.fill(data, size);

    MatchList list;
    list.m_logView = {"kept"};
    const int result = ReadDupsLog(path, list);
    if (result != kLogRead) {
        if (list.m_logView.size() != 1 || list.m_logView[0] != "kept" ||
            !list.m_leftPaths.empty()) {
            fuzz::Fail("a refused log changed the list");
        }
        return 0;
    }
    if (list.m_rightPaths.size() > list.m_leftPaths.size()) {
        fuzz::Fail("more right paths than left");
    }
    const std::string copy = (fuzz::ScratchFolder() / "copy.log").string();
    if (SaveLogView(copy, list)) {
        MatchList again;
        if (ReadDupsLog(copy, again) != kLogRead || again.m_logView != list.m_logView ||
            again.m_leftPaths != list.m_leftPaths || again.m_rightPaths != list.m_rightPaths) {
            fuzz::Fail("log round trip");
        }
    }
    const int pairs = list.pairCount();
    for (int i = 0; i < pairs; ++i) {
        list.percentKey(i);
        list.percentOfPair(i);
    }
    // A log that reads holds nothing but five-line pair blocks, so every one
    // of a sortable size sorts.
    if (!SortPairs(list, size % 2 == 0) && pairs >= 2 && pairs <= 10000) {
        fuzz::Fail("pairs that read but do not sort");
    }
    if (!list.m_leftPaths.empty()) {
        list.markDeleted(list.m_leftPaths.front());
    }
    if (list.pairCount() != pairs) {
        fuzz::Fail("pair count changed");
    }
    return 0;
}
