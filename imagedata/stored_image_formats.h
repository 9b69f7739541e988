#pragma once
// Where the switch "Read HEIC, AVIF, WebP, JPEG XL and RAW" is kept: a "Yes" or
// "No" value beside the other find settings, so the window and twinly-cli
// read the same files from the same folder.

#include "image_suffix.h"
#include "key_value_store.h"
#include "store_keys.h"

inline constexpr const char* kImageFormatsStoreKey = StoreKey::kDups;
inline constexpr const char* kImageFormatsStoreValue = "NewFormats";

/// ImageFormats::Classic when the stored value reads "No"; All otherwise, also
/// when the key or the value is missing (the switch is on by default).
/// User-interface thread.
ImageFormats ReadStoredImageFormats(KeyValueStore& store);
