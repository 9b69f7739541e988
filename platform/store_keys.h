#pragma once
// The per-user store's key names and the value names both programs read or
// write: the finder and the list editor share one store, so each name is
// spelled here once.

/// Keys of the store (groups of values).
namespace StoreKey {
inline constexpr const char* kFolders = "1.0";  ///< the default folders
inline constexpr const char* kDialogs = "Dialogs";
inline constexpr const char* kDups = "Dups";          ///< the finder's options
inline constexpr const char* kSettings = "Settings";  ///< the editor's image types
inline constexpr const char* kMru = "MRU";            ///< the editor's recent lists
inline constexpr const char* kEditorPlacement = "WinStateOrvex";
}  // namespace StoreKey

/// Values that both programs use.
namespace StoreValue {
inline constexpr const char* kListPath = "ListPath";  ///< default image list folder ("1.0")
inline constexpr const char* kLastBatchFolder = "LastBatchFolder";  ///< "Dialogs"
inline constexpr const char* kLastBatchFile = "LastBatchFile";      ///< "Dialogs"
}  // namespace StoreValue
