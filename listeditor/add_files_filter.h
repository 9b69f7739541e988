#pragma once

#include <string>

#include "list_entry.h"

/// The filter of the "Add file(s)..." dialog for the enabled types: one entry
/// for all of them, one per type, then all files.
std::string AddFilesFilter(const ImageTypeFilter& types);
