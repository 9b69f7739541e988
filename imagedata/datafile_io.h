#pragma once
// Image data files (*.dup): "D", "B", the record count, the source path, kind
// and subfolder flag, then per record its path and 314 bytes of signature.
// Little-endian numbers, length-prefixed strings, no padding, no trailer.

#include <string>

#include "datafile_slot.h"
#include "prompter.h"

/// Writes the slot's records, paths and source to `path`, replacing it
/// atomically. Returns 1 when written, 0 when it could not be (the old file,
/// if any, is intact; nothing is shown: the caller tells the user).
/// User-interface thread, or any thread that owns `slot`.
int WriteDatafile(const std::string& path, const DatafileSlot& slot);

/// Reads a data file into `slot` (records, paths, source kind, subfolder flag,
/// and the source folder or list path by kind). `slotNumber` is 0 for the
/// primary slot and 1 for the secondary; it only chooses the header messages.
/// Returns 1 when filled; 0 otherwise, with the slot exactly as it was. A
/// wrong header is reported here; for every 0 the caller shows
/// "Unable to open Dups data file!". User-interface thread.
int ReadDatafile(const std::string& path, int slotNumber, DatafileSlot& slot, Prompter& prompter);

/// "Data file: " and the file name without its three-letter extension. Any thread.
std::string DatafileLabel(const std::string& path);

struct PurgeResult {
    int removed = 0;               ///< entries taken out
    bool removedExisting = false;  ///< one of them still had its file (its record was marked)
};

/// Removes, keeping the order, every entry whose file no longer exists or whose
/// record has width 0. The primary slot's unsaved flag follows removedExisting.
/// User-interface thread, or any thread that owns `slot`.
PurgeResult PurgeMissingRecords(DatafileSlot& slot);
