// The headless online match: no window and no sound. This side's control
// bytes come from a script, exactly the given number of world frames are
// played as fast as the link allows, and the final line is printed.
#pragma once

#include <cstdio>

#include "settings/game_options.h"

// Plays options.online (a host or a joiner with headless set) and answers the
// exit status: onlineExitDone after printing the final line to out, the
// command line's bad-options status for a script that cannot be read (the
// bad line named on errors), or the status of an end that came early (its
// message on errors). The match is recorded as the local game records one.
int RunHeadlessMatch(const GameOptions& options, FILE* out, FILE* errors);
