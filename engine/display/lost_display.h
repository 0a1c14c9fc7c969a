// Ending the program at once when its connection to the display dies (the X
// server ended under it, a forwarded display dropped), before anything at
// exit can wait on the dead connection.
#pragma once

// The message written to standard error, after the program's name.
constexpr const char* lostDisplayMessage = ": the connection to the display was lost\n";
// The process's exit status then.
constexpr int lostDisplayStatus = 1;

// On X11: installs Xlib's I/O error handler that writes one line to standard
// error and ends the process with lostDisplayStatus, running no exit handlers.
// Other video drivers report a lost display as a quit request. Safe to call
// again; does nothing before SDL's video subsystem runs.
void EndProcessWhenDisplayIsLost();
