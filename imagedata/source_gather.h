#pragma once
// Filling a slot's path list from its source (a folder or an image list) at
// the start of a build or a fast rebuild, and the resampling modes of those
// runs. The window and the command-line tool both start their runs here, so
// the same source gives the same data file whichever of them builds it.

#include "build_run.h"
#include "datafile_slot.h"
#include "image_suffix.h"
#include "imaging.h"
#include "prompter.h"

/// The four runs that fill a slot. They differ in how very elongated images
/// are reduced and in whether the path list is reserved before it is filled.
enum class BuildRun { BuildPrimary, BuildSecondary, RebuildPrimary, RebuildSecondary };

/// The filter of the 10 x 10 reduction at every start ("Gaussian").
inline constexpr ResizeMode kDefaultThumbFilter = ResizeMode::Gaussian;

/// Shown by the caller when a source holds fewer than 2 images.
inline constexpr const char* kTooFewImagesMessage = "You need at least 2 image files to process!";

/// The mode for images more than four times as long as wide: Lanczos3 for a
/// primary build, Gaussian for a secondary build, Fallback for both rebuilds.
/// Any thread.
ResizeMode ElongationMode(BuildRun run);

/// SignatureFromFile with the run's elongation mode, `filter` and `formats`:
/// the signer to hand to BuildSlot or RebuildSlot. Any thread; the signer may
/// be called on several threads at once.
ImageSigner MakeRunSigner(BuildRun run, ResizeMode filter = kDefaultThumbFilter,
                          ImageFormats formats = ImageFormats::All);

/// How a gathering ended.
enum class GatherResult {
    Stopped,   ///< no paths to build from; any message was already shown
    TooFew,    ///< fewer than 2 paths: the caller shows kTooFewImagesMessage
    Gathered,  ///< at least 2 paths are in the slot's path list
};

/// Sets the slot's source note from its source, drops its records and paths,
/// and fills the path list from the source: an image list with ReadListFile,
/// a folder (with its subfolders when m_bSubfolders is 1) with
/// AddFolderImages, which may ask through `prompter` when the list is full.
/// A build first counts the source to reserve the list; a rebuild does not.
/// A source whose kind is neither 0 nor 1 is an image list for a build and a
/// folder for a rebuild, as the data file reader files its path.
/// `userCancelled` and `formats` as for AddFolderImages. User-interface thread.
GatherResult GatherSourcePaths(BuildRun run, DatafileSlot& slot, Prompter& prompter,
                               bool* userCancelled = nullptr,
                               ImageFormats formats = ImageFormats::All);
