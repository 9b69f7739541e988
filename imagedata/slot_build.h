#pragma once
// One build or fast rebuild of a data file slot: the sequence the window and
// the command-line tool share, so the same source gives the same data file
// whichever of them builds it.

#include "build_run.h"
#include "datafile_slot.h"
#include "prompter.h"
#include "source_gather.h"

/// A build reads every image of a source; a fast rebuild starts from the
/// entries of a slot (purged with PurgeMissingRecords first) and reads only
/// the images they do not hold. Three steps, each on its own thread's turn:
/// gather() where the user may be asked, readImages() on the job's worker,
/// takeSlot() once the worker has ended.
class SlotBuild {
  public:
    /// Builds (or, for a rebuild `run`, rebuilds from `old`) the source that
    /// `source` describes: kind, folder, subfolder flag, list path and path
    /// capacity. Its entries are not used.
    SlotBuild(BuildRun run, const DatafileSlot& source, SlotEntries old = {});

    /// Fills the path list from the source and sets the source note, as
    /// GatherSourcePaths does, taking the files `formats` says are images.
    /// The thread that owns `prompter`.
    GatherResult gather(Prompter& prompter, bool* userCancelled = nullptr,
                        ImageFormats formats = ImageFormats::All);
    /// Paths gathered: the units of the job.
    int pathCount() const { return static_cast<int>(m_slot.paths().size()); }

    /// Makes the record of every gathered path with `signer` (reusing the old
    /// records of a rebuild) on `threads` threads (0: one per core), with
    /// BuildSlot's progress and stop contract. False when stopped. The job's
    /// worker thread, after gather().
    bool readImages(const ImageSigner& signer, int threads, JobProgress& progress);

    /// The built slot: its source, note, paths and records (no entries when
    /// readImages did not complete). After readImages has returned.
    DatafileSlot takeSlot();

  private:
    BuildRun m_run;
    DatafileSlot m_slot;
    SlotEntries m_old;
    BuildResult m_result;
};
