#pragma once
// Where the programs find their own files and keep the user's.

#include <QString>

/// Folder of the running program file, without a trailing separator.
QString ProgramFolder();

/// Per-user data folder shared by both programs (~/.local/share/Velmora/Twinly);
/// home of the default DupData, DupLogs and Orvexs folders.
QString UserDataFolder();

/// A read-only file shipped with the programs (help pages, placeholder
/// pictures, the seed log), given relative to the shared folder ("help/x.html").
/// Looks next to the program, in the installed share folder and in the source
/// tree; empty when found nowhere.
QString FindSharedFile(const QString& relative);

/// The list editor program: next to this program, else found on PATH, else
/// just its name.
QString OrvexExecutable();
