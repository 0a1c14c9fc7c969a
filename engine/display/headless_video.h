// Telling a display from SDL's fallback drivers that show nothing: with no
// desktop to reach (no DISPLAY or WAYLAND_DISPLAY, as over ssh) SDL 2.26 starts
// its "offscreen" driver instead of failing, and a game on it would run
// unseen. Tests and tools ask for "dummy" or "offscreen" by name and keep them.
#pragma once

// True when `driver` (SDL's current video driver) shows nothing and
// `requested` (SDL_VIDEODRIVER: a name or a comma-separated list, any case;
// null or empty when unset) did not name it.
bool IsUnrequestedHeadlessDriver(const char* driver, const char* requested);

// The same for the running SDL video subsystem and its driver hint.
bool VideoShowsNothing();
