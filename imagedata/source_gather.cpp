#include "source_gather.h"

#include <algorithm>

#include "folder_walk.h"
#include "list_file.h"
#include "signature.h"

namespace {

bool isRebuild(BuildRun run) {
    return run == BuildRun::RebuildPrimary || run == BuildRun::RebuildSecondary;
}

}  // namespace

ResizeMode ElongationMode(BuildRun run) {
    switch (run) {
        case BuildRun::BuildPrimary:
            return ResizeMode::Lanczos3;
        case BuildRun::BuildSecondary:
            return ResizeMode::Gaussian;
        case BuildRun::RebuildPrimary:
        case BuildRun::RebuildSecondary:
            break;
    }
    return ResizeMode::Fallback;
}

ImageSigner MakeRunSigner(BuildRun run, ResizeMode filter, ImageFormats formats) {
    const ResizeMode elongation = ElongationMode(run);
    return [elongation, filter, formats](const std::string& path, ImageRecord& record) {
        return SignatureFromFile(path, elongation, filter, record, formats);
    };
}

GatherResult GatherSourcePaths(BuildRun run, DatafileSlot& slot, Prompter& prompter,
                               bool* userCancelled, ImageFormats formats) {
    const bool rebuild = isRebuild(run);
    const bool fromFolder = rebuild ? slot.m_nSourceKind != 0 : slot.m_nSourceKind == 1;
    slot.m_strSourceNote = slot.sourceNote();
    slot.clearData();
    const auto reserveFor = [&slot](int count) { slot.reservePaths(count); };
    bool gathered = false;
    if (fromFolder) {
        if (!rebuild) {
            reserveFor(
                CountFolderImages(slot.m_strSourceFolder, slot.m_bSubfolders == 1, false, formats));
        }
        gathered = AddFolderImages(slot.m_strSourceFolder, slot.m_bSubfolders == 1, slot, prompter,
                                   userCancelled, formats) != AddResult::Stopped;
    } else {
        if (!rebuild) {
            DiskFolderSource disk;
            reserveFor(CountListFileWith(disk, slot.m_strSourceList, false, formats));
        }
        gathered = ReadListFile(slot.m_strSourceList, slot, prompter, userCancelled, formats) != 0;
    }
    if (!gathered) {
        return GatherResult::Stopped;
    }
    return slot.paths().size() < 2 ? GatherResult::TooFew : GatherResult::Gathered;
}
