// The windowed online frame loop: one session Tick per display frame, drawn
// only when the world moved, so that neither a held frame nor a re-run one
// advances the fighters' animation or repeats a sound.
#include "online/online_game.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/display/app_window.h"
#include "engine/display/screen.h"
#include "engine/input/gamepad_set.h"
#include "engine/input/input_device.h"
#include "art/art_digest.h"
#include "platform/platform_objects.h"
#include "app/game_view.h"
#include "replay/match_recorder.h"
#include "app/overlay_view.h"
#include "app/play_state.h"
#include "app/player_input.h"
#include "platform/set_up_world.h"
#include "online/confirmed_recorder.h"
#include "platform/fighter_sounds.h"
#include "online/online_link.h"
#include "online/online_view.h"

namespace {

// "Waiting for NAME" stays up this many display frames after the last stalled
// one: a link that stalls every other frame would make it flicker.
constexpr int32_t stallShownFrames = 30;
// How long the message a match ended with stays up (Escape closes it sooner).
constexpr auto messageShown = std::chrono::seconds(4);
// After Escape the window is gone, but the last few frames are still played
// out with the other side; the loop then has no display to pace it.
constexpr auto windowlessPace = std::chrono::milliseconds(16);

// This player's control byte: every key set and pad OR'ed together.
uint8_t ReadLocalControls(LocalDevices& devices) {
    input.Update();
    devices.pads.Update();
    const PlayerInput::Frame frame = devices.input.Read(input.keys, devices.pads);
    return static_cast<uint8_t>(frame.controls[0] | frame.controls[1]);
}

void TakeConfirmed(RollbackSession& session, ConfirmedRecorder& sink) {
    ConfirmedFrame frame;
    while (session.PopConfirmed(&frame)) {
        sink.Confirmed(frame);
    }
}

// The ended match's message over the last picture, until Escape or a while.
void ShowEndMessage(const char* message) {
    DrawMessageBox(message);
    const auto until = std::chrono::steady_clock::now() + messageShown;
    while (std::chrono::steady_clock::now() < until && appWindow.PumpMessage()) {
        screen.Present(0);
    }
}

}  // namespace

int RunOnlineGame(const GameOptions& options, LocalDevices& devices) {
    const OnlineOptions& online = options.online;
    SetUpWorld();
    EnetLink link(LinkOptionsFor(online));
    if (!StartLink(link, online, stderr)) {
        appWindow.Destroy();
        return onlineExitFailed;
    }
    char waitingLine[160];
    if (online.role == OnlineHost) {
        std::snprintf(waitingLine, sizeof waitingLine,
                      "Waiting for a player on port %u \x97 Esc to cancel",
                      static_cast<unsigned>(link.Port()));
    } else {
        std::snprintf(waitingLine, sizeof waitingLine, "Connecting to %s\x85",
                      online.hostName.c_str());
    }
    MatchRecorder recorder;
    recorder.Start(options.record, ArtDigest(), stderr);
    ConfirmedRecorder sink(recorder);
    const std::string name = PlayerName(online);
    const std::string address = JoinAddress(online);
    SessionOptions sessionOptions = SessionOptionsFor(online, name, address);
    sessionOptions.listener = &fighterSounds;
    RollbackSession session(link, sessionOptions);

    bool windowGone = false;
    int32_t stallShown = 0;
    auto playStart = std::chrono::steady_clock::now();
    bool playing = false;
    while (!session.Ended()) {
        if (!playing && session.Playing()) {
            playing = true;
            playStart = std::chrono::steady_clock::now();
        }
        if (!windowGone && !appWindow.PumpMessage()) {
            // Escape, or the window closed: this player leaves.
            windowGone = true;
            session.Quit();
        }
        // An inactive window reads no keys (they may be another program's),
        // but the match goes on: the other side cannot wait.
        const uint8_t controls =
            !windowGone && appWindow.active ? ReadLocalControls(devices) : uint8_t{0};
        const uint32_t changes = windowGone ? 0u : devices.comforts();
        const TickResult result = session.Tick(controls);
        TakeConfirmed(session, sink);
        if (windowGone) {
            std::this_thread::sleep_for(windowlessPace);
            continue;
        }
        stallShown = result == TickStalled ? stallShownFrames : stallShown > 0 ? stallShown - 1 : 0;
        const char* waitingFor = nullptr;
        if (stallShown > 0) {
            waitingFor =
                session.RemoteName()[0] != '\0' ? session.RemoteName() : "the other player";
        }
        switch (result) {
            case TickConnecting:
                DrawLineScreen(waitingLine);
                break;
            case TickAdvanced:
                DrawFrame();
                devices.input.RumbleOnHits(devices.pads, fighters);
                DrawVolumeNote(devices.play);
                DrawLinkCorner(session.Stats().roundTripMs, waitingFor);
                break;
            case TickStalled:
            case TickHeld:
                // The last frame is kept on the back surface; only the corner
                // changes, and a new volume note.
                if ((changes & PlayChangeSound) != 0) {
                    DrawVolumeNote(devices.play);
                }
                DrawLinkCorner(session.Stats().roundTripMs, waitingFor);
                break;
            case TickEnded:
                break;
        }
        if (result != TickEnded) {
            screen.Present(0);
        }
    }
    TakeConfirmed(session, sink);
    sink.Finish(session);
    std::fprintf(stderr, "kivoro: %s\n", session.EndMessage());
    if (playing) {
        ReportLink(
            stderr, session, link,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count());
    }
    if (!windowGone) {
        // The end message stands over the world both replays end in, not a
        // few frames this side had predicted beyond it.
        if (playing && session.RewindToConfirmed()) {
            DrawFrame();
        }
        ShowEndMessage(session.EndMessage());
    }
    return OnlineExitStatus(session);
}
