// OnlineMatchMode: an online match in the game's window. The waiting or
// connecting screen, then the split screen of the shared world with the
// link's corner of the panel, then the message the match ended with. This
// player's fighter takes every local key set and pad at once; mute, the
// volume and the window mode work, the pause and the help do not (the other
// side plays on), and frames go on without the focus.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "app/local_input.h"
#include "app/mode.h"
#include "app/play_state.h"
#include "net/enet_link.h"
#include "net/rollback_session.h"
#include "online/confirmed_recorder.h"
#include "replay/match_recorder.h"
#include "settings/game_options.h"

class OnlineMatchMode : public Mode {
public:
    OnlineMatchMode(const GameOptions& options, LocalInput& input);
    ~OnlineMatchMode() override;

    // Sets the world up and starts the link; a link that cannot start ends
    // the mode at once with its status (online_link.h), said on standard
    // error.
    void Enter(AppLoop& app) override;
    // Escape leaves the match, which then ends on both sides; the loop quits
    // with the match's status once it has ended and its message was shown.
    void Frame(AppLoop& app, const FrameInput& input) override;
    // The window is gone: this player leaves, and the match's last frames
    // are played out with the other side without a window, for a second at
    // most.
    void Leave(AppLoop& app) override;

    uint32_t Comforts() const override;
    bool ReadsPlayers() const override { return true; }
    bool RunsWithoutFocus() const override { return true; }

private:
    void PlayFrame(uint8_t controls, uint32_t changes);
    void TakeConfirmed();
    void Conclude();

    GameOptions options;
    LocalInput& input;
    KeyControls controls;
    const PlayState* play = nullptr;  // the loop's, for the volume note
    std::string name;
    std::string address;  // HOST:PORT joined, for the session's messages
    std::unique_ptr<EnetLink> link;
    std::unique_ptr<MatchRecorder> recorder;
    std::unique_ptr<ConfirmedRecorder> sink;
    std::unique_ptr<RollbackSession> session;
    char waitingLine[160] = {};
    int32_t stallShown = 0;
    bool playing = false;
    bool leaving = false;    // this player pressed Escape
    bool concluded = false;  // the end was recorded and told
    std::chrono::steady_clock::time_point playStart;
    std::chrono::steady_clock::time_point messageUntil;
};
