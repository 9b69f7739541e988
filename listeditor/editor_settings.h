#pragma once
// The list editor's options, folders and recent lists in the per-user store
// shared with the duplicate finder.

#include <cstdint>
#include <optional>
#include <string>

#include "list_entry.h"
#include "recent_lists.h"

class KeyValueStore;
class Prompter;

struct EditorSettings {
    /// Where the list dialogs start ("1.0"/"ListPath", shared, never written here).
    std::string defaultListFolder;
    ImageTypeFilter types;
    std::string lastBatchFolder;  ///< last folder picked with "Add folder..."
    std::string lastBatchFile;    ///< last folder used by "Add file(s)...", ends in the separator
    bool autoCount = true;
    RecentLists recent;
};

/// Reads the settings; a missing value keeps the field's default and a switch
/// is on unless stored as "No". Camera files always start off.
/// User-interface thread.
void LoadEditorSettings(KeyValueStore& store, EditorSettings& settings);

/// Writes the settings; a key that cannot be written is reported with its
/// own message and the rest is still written. User-interface thread.
void SaveEditorSettings(KeyValueStore& store, const EditorSettings& settings, Prompter& prompter);

/// A window's placement as stored: flags, show state (1 normal, 2 minimised,
/// 3 maximised) and the normal rectangle.
struct WindowPlacement {
    std::int32_t flags = 0;
    std::int32_t showCmd = 1;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

/// The saved placement, when one was saved and all six numbers read back.
std::optional<WindowPlacement> LoadWindowPlacement(KeyValueStore& store);
void SaveWindowPlacement(KeyValueStore& store, const WindowPlacement& placement);
