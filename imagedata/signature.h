#pragma once
// Reducing an image to its ImageRecord: the 10 x 10 thumbnail, channel sums,
// colour flag and size the comparisons work on.

#include <cstdint>
#include <string>

#include "decode_budget.h"
#include "image_record.h"
#include "image_suffix.h"
#include "imaging.h"

/// Large images are first reduced to this square with ResizeMode::PreReduce.
inline constexpr std::uint32_t kPreReducedSide = 400;
/// An image whose sides differ by more than this factor is "elongated".
inline constexpr double kElongationLimit = 4.0;

/// 1 when some pixel's red byte differs from its green or blue byte, else 0
/// (also for an empty image). Any thread.
int IsColorImage(const RgbBuffer& image);

/// Width / height or height / width strictly above kElongationLimit. Any thread.
bool IsElongated(std::uint32_t width, std::uint32_t height);

/// The pre-reduction rule: (aspect ratio above 1.6 and both sides over 600) or
/// both sides at least 2000. Any thread.
bool NeedsPreReduction(std::uint32_t width, std::uint32_t height);

/// Fills every field of `record` from a loaded image, for build and rebuild
/// runs. Elongated images go to 10 x 10 in one step with `elongationMode`;
/// others may first be replaced by their 400 x 400 reduction (so `image` may
/// change), then reduced with `filter`, or ResizeMode::Fallback if that fails.
/// An empty image gives a record with nWidth 0. Any thread.
void MakeSignature(RgbBuffer& image, ResizeMode elongationMode, ResizeMode filter,
                   ImageRecord& record);

/// The single comparison image's record: one reduction straight to 10 x 10
/// (Fallback when elongated, PreReduce where the pre-reduction rule holds,
/// else `filter`); colour flag and size of the loaded image. Any thread.
void MakeSingleImageSignature(const RgbBuffer& image, ResizeMode filter, ImageRecord& record);

/// The build's fast path: loads the file as LoadImageFile does, decoding no
/// more than the record needs when the image will be pre-reduced (a JPEG or
/// a camera's preview JPEG at the smallest DCT scale keeping both sides at or
/// above 400; a HEIF or AVIF file's embedded thumbnail, a JPEG XL file's
/// low-frequency pass when at least 256 on the short side), then
/// MakeSignature. The decode first reserves from `budget` what the size its
/// header declares will cost, waiting while other threads hold the budget.
/// False on a failed load, with LastImageError() set and
/// `record` zeroed (nWidth 0). Safe on several threads at once.
bool SignatureFromFile(const std::string& path, ResizeMode elongationMode, ResizeMode filter,
                       ImageRecord& record, ImageFormats formats = ImageFormats::All,
                       DecodeBudget& budget = DecodeBudget::ForBuilds());
