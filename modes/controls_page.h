// ControlsPage: the title menu's page of the players' controls: each player's
// six keys in a table beside the pad's buttons, and the pads connected and
// whose they are. Choosing a key and pressing another one binds that, saved
// and in play at once; Escape cancels. A key the game keeps for itself, or one
// another control has, is refused with the settings file's own words.
#pragma once

#include <cstdint>

#include "settings/key_bindings.h"

class AppLoop;
class LocalInput;
class MenuInput;
class Surface;

class ControlsPage {
public:
    enum Result : uint8_t { Stay, Back };
    // Display frames a key captured (or Escape) must have been let go before
    // the page takes the arrows and Enter again: the key's own messages
    // reach the menu a little after the key state shows it.
    static constexpr int32_t settleFrames = 6;
    // The row of Back, after the six controls.
    static constexpr int32_t backRow = controlCount;

    void Open(AppLoop& app);
    // One display frame: keys is the key state read this frame (256 entries
    // by scan code, non-zero while down), null while the window has no focus
    // (nothing is captured then). Up and down choose a control (or Back),
    // left and right the player, Enter starts listening for the new key.
    // While listening, the first key to go down that was up the frame before
    // is the one: Escape (or a pad's B) cancels; any other key is checked and
    // bound or refused. The menu's actions are ignored from then until that
    // key has been let go for settleFrames frames, and input forgets them.
    Result Act(uint32_t actions, const uint8_t* keys, MenuInput& input, AppLoop& app);
    void Draw(Surface& back, int32_t top) const;

    bool Listening() const { return state == StateListening; }
    // Listening, or waiting for the key taken to be let go.
    bool TakingAKey() const { return state != StateChoosing; }
    int32_t Row() const { return row; }
    int32_t Player() const { return player; }
    // The line under the page: what is asked for, what was bound, or why a
    // key was refused.
    const char* Note() const { return note; }
    // The keys the page takes now.
    const char* Hint() const;

private:
    enum State : uint8_t { StateChoosing, StateListening, StateSettling };

    Result Choose(uint32_t actions, const uint8_t* keys);
    void Listen(uint32_t actions, const uint8_t* keys, AppLoop& app);
    void Bind(uint8_t key, AppLoop& app);
    void DescribePads(LocalInput& players);

    KeyBindings bindings = DefaultKeyBindings();
    State state = StateChoosing;
    int32_t row = 0;
    int32_t player = 0;
    uint8_t previous[256] = {};
    uint8_t heldKey = 0;  // Settling: the key to be let go
    int32_t quietFrames = 0;
    char note[128] = {};
    char padLines[3][96] = {};
};
