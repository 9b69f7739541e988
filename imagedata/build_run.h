#pragma once
// The worker loops of build and fast-rebuild jobs: every image of a path list
// reduced to its record, on a pool of low-priority threads. Record i is
// written at index i, so the result does not depend on the number of threads.

#include <functional>
#include <string>
#include <vector>

#include "image_record.h"
#include "imaging.h"
#include "job_progress.h"

/// Makes the record of one image file; false when the file cannot be read as
/// an image. Called on several pool threads at once.
using ImageSigner = std::function<bool(const std::string& path, ImageRecord& record)>;

/// What a build or rebuild hands back to the user-interface thread.
struct BuildResult {
    std::vector<ImageRecord> records;  ///< record i belongs to names[i]
    std::vector<std::string> names;    ///< the paths, "Deleted" for images that failed to load
    bool completed = false;            ///< false when stopped: records and names are then empty
};

/// Makes the record of every path with `signer` on `threads` threads (0: one
/// per core). Sets progress.total to the number of paths; progress.progress
/// counts finished images. Stops soon after progress.requestStop().
/// The job's worker thread.
BuildResult BuildSlot(const std::vector<std::string>& paths, const ImageSigner& signer, int threads,
                      JobProgress& progress);

/// As BuildSlot, but a new path equal to an old path takes the old record
/// instead of reading the image: the first old entry with that path not taken
/// yet, each old entry taken at most once. Only new paths are read.
/// The job's worker thread.
BuildResult RebuildSlot(const std::vector<std::string>& newPaths,
                        const std::vector<std::string>& oldPaths,
                        const std::vector<ImageRecord>& oldRecords, const ImageSigner& signer,
                        int threads, JobProgress& progress);

/// Elongation modes of the four runs: primary build, secondary build, and both
/// fast rebuilds.
inline constexpr ResizeMode kPrimaryBuildElongation = ResizeMode::Lanczos3;
inline constexpr ResizeMode kSecondaryBuildElongation = ResizeMode::Gaussian;
inline constexpr ResizeMode kRebuildElongation = ResizeMode::Fallback;

/// A signer reading each file with SignatureFromFile and these modes. Any thread.
ImageSigner FileSigner(ResizeMode elongationMode, ResizeMode filter);

/// BuildSlot reading the image files themselves. The job's worker thread.
BuildResult BuildSlot(const std::vector<std::string>& paths, ResizeMode elongationMode,
                      ResizeMode filter, int threads, JobProgress& progress);

/// RebuildSlot reading the new image files with kRebuildElongation. The job's
/// worker thread.
BuildResult RebuildSlot(const std::vector<std::string>& newPaths,
                        const std::vector<std::string>& oldPaths,
                        const std::vector<ImageRecord>& oldRecords, ResizeMode filter, int threads,
                        JobProgress& progress);
