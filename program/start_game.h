// The whole program: the command line, then either a headless online match,
// or the window with the mode the options ask for (the specified local match
// without options, a replay, an online match) run by the application loop.
#pragma once

// Answers the process's exit status: 0 after a normal end (and after --help
// or --version), 2 for a command line it cannot read, 1 (with a message on
// standard error) when there is no display to play on or the replay cannot be
// played; online, the match's own statuses (online/online_link.h).
int StartGame(int argc, const char* const* argv);
