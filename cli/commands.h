#pragma once
// The five commands of twinly-cli. Each returns the program's exit status.
// Main thread.

#include <string>

#include "cli_options.h"
#include "console_prompter.h"

int RunBuild(const CliOptions& options, ConsolePrompter& prompter);
int RunRebuild(const CliOptions& options, ConsolePrompter& prompter);
int RunFind(const CliOptions& options, ConsolePrompter& prompter);
int RunInfo(const CliOptions& options, ConsolePrompter& prompter);
int RunIgnore(const CliOptions& options, ConsolePrompter& prompter);

class NotDupList;

/// The user's list of pairs marked not a duplicate, under the data folder.
std::string NotDupListFile();
/// Reads `file` into `list` (a missing file is an empty list); the one-line
/// reason, naming the file, when it is damaged, else "".
std::string ReadNotDupsFor(const std::string& file, NotDupList& list);
