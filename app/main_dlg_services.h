#pragma once

#include <QString>

class Desktop;
class FileOps;
class KeyValueStore;
class Prompter;

/// What the main window needs from outside; tests hand in temporary folders,
/// an isolated store and a scripted prompter.
struct MainDlgServices {
    KeyValueStore& store;
    Prompter& prompter;
    FileOps& fileOps;
    Desktop& desktop;
    /// Per-user data folder: on a first start the default data, log and list
    /// folders are made subfolders of it.
    QString dataFolder;
    /// The shipped Dups.log copied into a log folder that has none.
    QString seedLogFile;
};
