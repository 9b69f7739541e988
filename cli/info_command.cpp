#include <cstdio>

#include "cli_files.h"
#include "commands.h"
#include "datafile_io.h"

namespace {

const char* kindName(int kind) {
    return kind == 1 ? "folder" : kind == 0 ? "image list" : "unknown";
}

void printRecords(const DatafileSlot& slot) {
    std::printf("\n#\tWidth\tHeight\tColor\tRed\tGreen\tBlue\tPath\n");
    for (int i = 0; i < slot.count(); ++i) {
        const ImageRecord& r = slot.records()[static_cast<std::size_t>(i)];
        std::printf("%d\t%u\t%u\t%u\t%u\t%u\t%u\t%s\n", i + 1, unsigned{r.nWidth},
                    unsigned{r.nHeight}, unsigned{r.bColor}, unsigned{r.nSumRed},
                    unsigned{r.nSumGreen}, unsigned{r.nSumBlue},
                    slot.paths()[static_cast<std::size_t>(i)].c_str());
    }
}

}  // namespace

int RunInfo(const CliOptions& options, ConsolePrompter& prompter) {
    DatafileSlot slot;
    if (const std::string problem = ReadDataInto(options.input, 0, slot, prompter);
        !problem.empty()) {
        return Fail(problem);
    }
    int unreadable = 0;
    for (const ImageRecord& record : slot.records()) {
        unreadable += record.nWidth == 0 ? 1 : 0;
    }
    std::printf("%s\n", DatafileLabel(options.input).c_str());
    std::printf("Records: %d\n", slot.count());
    std::printf("Deleted or unreadable: %d\n", unreadable);
    std::printf("Source kind: %s (%d)\n", kindName(slot.m_nSourceKind), slot.m_nSourceKind);
    std::printf("Source path: %s\n",
                (slot.m_nSourceKind != 0 ? slot.m_strSourceFolder : slot.m_strSourceList).c_str());
    std::printf("Subfolders: %s\n", slot.m_bSubfolders == 1 ? "yes" : "no");
    std::printf("%s\n", slot.m_strSourceNote.c_str());
    if (options.records) {
        printRecords(slot);
    }
    return std::fflush(stdout) == 0 ? kExitOk : Fail("cannot write the standard output");
}
