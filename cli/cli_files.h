#pragma once
// Exit codes and the file checks every command shares.

#include <string>
#include <vector>

#include "console_prompter.h"
#include "datafile_slot.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  ///< an input cannot be read or an output written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130;  ///< a stop signal ended the command

/// Prints "twinly-cli: " and `message` on stderr; returns kExitFailure.
int Fail(const std::string& message);

/// Reports a command stopped by a signal, naming the file it did not write;
/// returns kExitStopped.
int Stopped(const std::string& output);

/// The absolute, normalised form of a path given on the command line,
/// without a trailing separator.
std::string AbsolutePath(const std::string& path);

/// Why `output` cannot be written, before any work is done on it ("" when it
/// looks writable): its folder is missing, it is a folder, or it is one of the
/// inputs (which must never be overwritten by a result of another kind).
std::string OutputProblem(const std::string& output, const std::vector<std::string>& inputs);

/// Moves the entries of `more` to the end of `all`, keeping their order.
/// Any thread.
void AppendEntries(SlotEntries& all, SlotEntries more);

/// Reads a data file into `slot` (0 primary, 1 secondary) and sets its source
/// note as opening it in the window does. On failure returns the one-line
/// reason, naming the file; "" when read.
std::string ReadDataInto(const std::string& path, int slotNumber, DatafileSlot& slot,
                         ConsolePrompter& prompter);
