#include "slot_build.h"

namespace {

bool isRebuild(BuildRun run) {
    return run == BuildRun::RebuildPrimary || run == BuildRun::RebuildSecondary;
}

}  // namespace

SlotBuild::SlotBuild(BuildRun run, const DatafileSlot& source, SlotEntries old)
    : m_run(run), m_slot(source.sourceOnly()), m_old(std::move(old)) {}

GatherResult SlotBuild::gather(Prompter& prompter, bool* userCancelled, ImageFormats formats) {
    return GatherSourcePaths(m_run, m_slot, prompter, userCancelled, formats);
}

bool SlotBuild::readImages(const ImageSigner& signer, int threads, JobProgress& progress) {
    m_result = isRebuild(m_run) ? RebuildSlot(m_slot.paths(), m_old.paths, m_old.records, signer,
                                              threads, progress)
                                : BuildSlot(m_slot.paths(), signer, threads, progress);
    m_old = {};
    return m_result.completed;
}

DatafileSlot SlotBuild::takeSlot() {
    m_slot.setEntries(std::move(m_result.names), std::move(m_result.records));
    m_result = {};
    return std::move(m_slot);
}
