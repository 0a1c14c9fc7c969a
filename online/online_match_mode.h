// OnlineMatchMode: an online match in the game's window. The waiting or
// connecting screen (the host's addresses, Esc to cancel), then the split
// screen of the shared world with the link's corner of the panel, then how
// it ended. This player's fighter takes every local key set and pad at once;
// mute, the volume and the window mode work; the pause and the help cannot
// (the other side plays on), and say so; frames go on without the focus.
// Between frames the packets are read as they come.
//
// Started from the command line it is the whole run: Escape leaves (or
// cancels the wait) and the program ends; any other end stands on screen,
// with both players' kills, until a key or ten seconds. Started from the
// title menu, Escape asks first, a match the rule decided goes to its end
// screen, and any other end stands likewise, then goes back to the menu.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/local_input.h"
#include "app/menu_input.h"
#include "app/mode.h"
#include "app/mode_directory.h"
#include "app/play_state.h"
#include "net/enet_link.h"
#include "net/rollback_session.h"
#include "online/confirmed_recorder.h"
#include "online/online_screens.h"
#include "replay/match_recorder.h"
#include "settings/game_options.h"

class OnlineMatchMode : public Mode {
public:
    // From the command line.
    OnlineMatchMode(const GameOptions& options, LocalInput& input);
    // Chosen from the title menu: directory gives what follows, choice plays
    // it again.
    OnlineMatchMode(const GameOptions& options, LocalInput& input, ModeDirectory& directory,
                    const MatchChoice& choice);
    ~OnlineMatchMode() override;

    // Sets the world up and starts the link; a link that cannot start says
    // why (on screen and standard error) and ends the mode.
    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    // The window is gone: this player leaves, and the match's last frames
    // are played out with the other side without a window, for a second at
    // most.
    void Leave(AppLoop& app) override;
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // Reads the packets as they arrive until the next frame is due.
    void WaitUntil(uint64_t deadlineNs) override;

    uint32_t Comforts() const override;
    bool ReadsPlayers() const override { return true; }
    bool RunsWithoutFocus() const override { return true; }

    // How long an end's message stands at most, and how long keys are not
    // taken as a dismissal after it appears (a key pressed in play).
    static constexpr auto messageShown = std::chrono::seconds(10);
    static constexpr auto messageGrace = std::chrono::milliseconds(500);
    // The note P, F1 and a pad's Start show.
    static constexpr const char* noPauseNote = "An online match cannot pause";

private:
    void PlayFrame(AppLoop& app, uint8_t controls, const FrameInput& input);
    void ShowWaiting();
    void AskToLeave(bool open);
    void TakeConfirmed();
    void Conclude();
    void Ended(AppLoop& app);
    // The end's lines stand over what is shown until a key or messageShown.
    void Tell(std::vector<ScreenLine> lines, bool overWorld);
    // After the lines stood (or when nothing needs saying): the menu, or the
    // program's end with the match's status.
    void Finish(AppLoop& app);

    GameOptions options;
    LocalInput& input;
    ModeDirectory* directory = nullptr;
    MatchChoice choice;
    KeyControls controls;
    MenuInput menuInput;
    const PlayState* play = nullptr;  // the loop's, for the volume note
    std::string name;
    std::string address;  // HOST:PORT joined, for the session's messages
    std::string problem;  // why the link could not start
    std::vector<std::string> addresses;
    std::vector<ScreenLine> waitingLines;
    MatchPhase waitingShown = PhaseEnded;  // the phase and notices the lines were made for
    int32_t waitingNotices = 0;
    int32_t noticesShown = 0;  // told on standard error
    std::unique_ptr<EnetLink> link;
    std::unique_ptr<MatchRecorder> recorder;
    std::unique_ptr<ConfirmedRecorder> sink;
    std::unique_ptr<RollbackSession> session;
    int32_t stallShown = 0;
    bool playing = false;
    bool asking = false;     // the leave box is up (a match from the menu)
    bool leaving = false;    // this player left
    bool concluded = false;  // the end was recorded and told on standard error
    bool telling = false;    // an end's lines stand
    bool keyPressed = false;
    bool soundPaused = false;  // while an end's lines stand over the world
    std::chrono::steady_clock::time_point playStart;
    std::chrono::steady_clock::time_point toldAt;
};
