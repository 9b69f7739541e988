#pragma once
// Ctrl+C (and a terminal hang-up or a kill) asks the running command to stop;
// the command then ends without writing its output.

/// Installs handlers for SIGINT, SIGTERM and SIGHUP that only raise a flag.
/// A second signal ends the program at once. Main thread, once.
void InstallStopHandlers();

/// True once a stop signal arrived. Any thread.
bool StopSignalled();

/// The signal that arrived first, 0 when none.
int StopSignalNumber();
