#pragma once
// A stop asked from outside the program (SIGTERM at logout, SIGINT from Ctrl+C) ends it cleanly:
// the signals reach the event loop through a pipe, and there every pending insert or edit is
// cancelled, every open transaction rolled back and every connection closed before the program
// ends. The in-process engine catches the same signals to shut itself down, which would leave the
// program running on a dead connection; it is asked first, through its shutdown callback, and told
// to leave the stop to the program.

// Call once, when the application object exists and before the database is first used.
void VoInstallCleanStop();

// The stop itself: cancels what is pending, rolls back and closes the connections, shuts the engine
// down and ends the program at once with the exit code.
void VoStopCleanly(int exitCode = 0);

// Cancels the pending insert or edit of every query collection of the process.
void VoCancelAllPendingEdits();
