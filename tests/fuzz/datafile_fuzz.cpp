// Data files: any bytes either read into a slot that writes back to the same
// content, or leave the slot exactly as it was.

#include <cstdint>

#include "datafile_io.h"
#include "fuzz_support.h"
#include "scripted_prompter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string& path = input.fill(data, size);

    DatafileSlot slot;
    std::vector<ImageRecord> records(1);
    records[0].nWidth = 7;
    slot.setEntries({"/before.jpg"}, std::move(records));
    const DatafileSlot before = slot;
    ScriptedPrompter prompter;
    const int slotNumber = size % 2 == 0 ? 0 : 1;
    if (ReadDatafile(path, slotNumber, slot, prompter) != 1) {
        if (slot.paths() != before.paths() || slot.records() != before.records() ||
            slot.m_strSourceFolder != before.m_strSourceFolder ||
            slot.m_strSourceList != before.m_strSourceList) {
            fuzz::Fail("a refused file changed the slot");
        }
        return 0;
    }
    if (slot.paths().size() != slot.records().size() || !prompter.calls().empty()) {
        fuzz::Fail("read slot inconsistent");
    }
    const std::string copy = (fuzz::ScratchFolder() / "copy.dup").string();
    if (WriteDatafile(copy, slot) != 1) {
        fuzz::Fail("a slot read from a file cannot be written");
    }
    DatafileSlot again;
    if (ReadDatafile(copy, 0, again, prompter) != 1 || again.paths() != slot.paths() ||
        again.records() != slot.records() || again.m_nSourceKind != slot.m_nSourceKind ||
        again.m_bSubfolders != slot.m_bSubfolders ||
        again.m_strSourceFolder != slot.m_strSourceFolder ||
        again.m_strSourceList != slot.m_strSourceList) {
        fuzz::Fail("data file round trip");
    }
    return 0;
}
