// What covers the game's picture while a comfort is in use: the dimmed views
// of a stopped world with the pause line or the help table in the middle, and
// the volume note in the panel. The world's own drawing is not repeated while
// it stands still (it would advance the fighters' idle animation): the frame
// it stopped on is kept and covered.
#pragma once

#include "app/play_state.h"
#include "settings/controls_help.h"
#include "settings/key_bindings.h"

// The help texts for these bindings, the pause line's font and the memory for
// the kept frame. Once, after the display mode is set and before the first
// frame: drawing the covers later allocates nothing.
void PrepareOverlays(const KeyBindings& bindings);

// The help's texts for new bindings (the keys changed in the menu).
void SetOverlayKeys(const KeyBindings& bindings);

// Keeps the frame on the back surface as the stopped world's picture: the
// panel drawn afresh (without a note), the views dimmed.
void HoldStoppedPicture();

// The kept picture on the back surface, as it was kept (a screen drawn over a
// stopped world draws this first).
void DrawHeldPicture();

// The kept picture on the back surface, covered by the help table when it is
// shown or else by the pause line, and the volume note while it lasts.
void DrawStoppedFrame(const PlayState& state);

// The same with another centred line in place of the pause line (Windows-1252
// text).
void DrawStoppedFrame(const PlayState& state, const char* line);

// The kept picture with a question in the middle that stands over the help
// too (the question is what the player must answer now).
void DrawQuestionFrame(const PlayState& state, const char* question);

// Draws text, right-aligned, at the panel's top right, clear of the panel's own texts (which keep
// to the left of x = 600) and of the volume note below it.
void DrawPanelCornerText(const char* text);

// The volume note in the panel's free corner, while it lasts.
void DrawVolumeNote(const PlayState& state);

// The texts the help shows, as built by PrepareOverlays.
const ControlsHelp& OverlayControlsHelp();

// The line shown in the middle while paused (Windows-1252 text).
inline constexpr const char* pausedLine = "Paused \x97 P to continue, Esc to quit";
// The same in a match started from the title menu, where Escape asks to leave.
inline constexpr const char* pausedLeaveLine = "Paused \x97 P to continue, Esc to leave";
