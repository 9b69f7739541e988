#pragma once
// The main window's status vocabulary, shared by everything that reports into it.

inline constexpr const char* kTextNotBuilt = "Image data file: not built";
inline constexpr const char* kTextBuiltReady = "Image data file: built - ready";
inline constexpr const char* kTextReadingImages = "Reading image files...";
inline constexpr const char* kTextNoPairs = "No matching image pairs!";
inline constexpr const char* kTextInvalidLog = "Not a valid dups log record file!";
inline constexpr const char* kTextNoDups = "No matching image pairs. No dups!";
inline constexpr const char* kTextSourcePrimary = "Source: primary datafile";
inline constexpr const char* kTextSourceSecondary = "Source: secondary datafile";
inline constexpr const char* kTextSourceSingle = "Single image file";
inline constexpr const char* kTextNoSingle = "Single image: none opened";
inline constexpr const char* kTextNoFileOpened = "No file opened.";
inline constexpr const char* kTextFindHint = "'Get data' to enable";
inline constexpr const char* kTextNoDataFile = "No data file loaded";
inline constexpr const char* kTextCaption = "Twinly";

/// Page indexes of the tab control.
enum MainPage { kPageMethod = 0, kPageGetData = 1, kPageFind = 2, kPageView = 3 };
