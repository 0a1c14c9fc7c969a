// Opening the game's window and devices, in the order the game has always
// opened them: the window, the hidden cursor, the display mode, the sound,
// the keyboard, the pads.
#pragma once

#include <cstdio>

class LocalInput;
class PlayState;
struct Settings;

// The window (through GameWindowProc), covering the display or, windowed,
// made where it will stay; the cursor hidden; the display set to the game's
// picture. False, with one line on errors and nothing left open, when there
// is no display to play on or the picture cannot be shown.
// The window of its own takes the size the settings remember, and the window
// the game's icon.
bool OpenGameWindow(bool windowed, const Settings& settings, FILE* errors);

// The sound device at play's volume (without one, a line on errors and the
// game plays silently), the keyboard, the pads with the settings' keys, the
// window mode shown, and the overlays prepared.
void OpenGameDevices(bool windowed, const Settings& settings, const PlayState& play,
                     LocalInput& players, FILE* errors);
