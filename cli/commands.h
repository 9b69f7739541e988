#pragma once
// The four commands of twinly-cli. Each returns the program's exit status.
// Main thread.

#include "cli_options.h"
#include "console_prompter.h"

int RunBuild(const CliOptions& options, ConsolePrompter& prompter);
int RunRebuild(const CliOptions& options, ConsolePrompter& prompter);
int RunFind(const CliOptions& options, ConsolePrompter& prompter);
int RunInfo(const CliOptions& options, ConsolePrompter& prompter);
