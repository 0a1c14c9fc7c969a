// The windowed online match: one session Tick per display frame, drawn only
// when the world moved, so that neither a held frame nor a re-run one
// advances the fighters' animation or repeats a sound.
#include "online/online_match_mode.h"

#include <cstdio>
#include <thread>

#include "app/app_loop.h"
#include "app/game_view.h"
#include "app/overlay_view.h"
#include "app/play_state.h"
#include "art/art_digest.h"
#include "online/online_link.h"
#include "online/online_view.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"

namespace {

// "Waiting for NAME" stays up this many display frames after the last stalled
// one: a link that stalls every other frame would make it flicker.
constexpr int32_t stallShownFrames = 30;
// How long the message a match ended with stays up (Escape closes it sooner).
constexpr auto messageShown = std::chrono::seconds(4);
// Once the window is gone, the last few frames are still played out with the
// other side, for this long at most, paced without a display.
constexpr auto windowlessLimit = std::chrono::seconds(1);
constexpr auto windowlessPace = std::chrono::milliseconds(16);

}  // namespace

OnlineMatchMode::OnlineMatchMode(const GameOptions& options, LocalInput& input)
    : options(options), input(input), controls(input, KeyControls::EitherPlayer) {}

OnlineMatchMode::~OnlineMatchMode() = default;

uint32_t OnlineMatchMode::Comforts() const {
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void OnlineMatchMode::Enter(AppLoop& app) {
    const OnlineOptions& online = options.online;
    SetUpWorld();
    fighterSounds.Reset();
    app.Play().StartMatch();
    play = &app.Play();
    link = std::make_unique<EnetLink>(LinkOptionsFor(online));
    if (!StartLink(*link, online).empty()) {
        link.reset();
        return;
    }
    if (online.role == OnlineHost) {
        std::snprintf(waitingLine, sizeof waitingLine,
                      "Waiting for a player on port %u \x97 Esc to cancel",
                      static_cast<unsigned>(link->Port()));
    } else {
        std::snprintf(waitingLine, sizeof waitingLine, "Connecting to %s\x85",
                      online.hostName.c_str());
    }
    recorder = std::make_unique<MatchRecorder>();
    recorder->Start(options.record, ArtDigest(), stderr,
                    OnlineMatch(online.role == OnlineJoin ? SideSecond : SideFirst, ""));
    sink = std::make_unique<ConfirmedRecorder>(*recorder);
    name = PlayerName(online);
    address = JoinAddress(online);
    SessionOptions sessionOptions = SessionOptionsFor(online, name, address);
    sessionOptions.listener = &fighterSounds;
    session = std::make_unique<RollbackSession>(*link, sessionOptions);
    playStart = std::chrono::steady_clock::now();
}

void OnlineMatchMode::Frame(AppLoop& app, const FrameInput& frameInput) {
    if (session == nullptr) {
        // The link could not start; it was said why.
        app.Quit(onlineExitFailed);
        return;
    }
    if (concluded) {
        // The end message stands until Escape or a while.
        if ((frameInput.commands & CommandEscape) != 0 ||
            std::chrono::steady_clock::now() >= messageUntil) {
            app.Quit(OnlineExitStatus(*session));
        }
        return;
    }
    if ((frameInput.commands & CommandEscape) != 0 && !leaving) {
        // This player leaves: the match ends on both sides.
        leaving = true;
        session->Quit();
    }
    // An inactive window reads no keys (they may be another program's), but
    // the match goes on: the other side cannot wait.
    const uint8_t bytes = frameInput.active && !leaving ? controls.Controls(0) : uint8_t{0};
    PlayFrame(bytes, frameInput.changes);
    if (!session->Ended()) {
        return;
    }
    Conclude();
    if (leaving) {
        app.Quit(OnlineExitStatus(*session));
        return;
    }
    // The end message stands over the world both replays end in, not a few
    // frames this side had predicted beyond it.
    if (playing && session->RewindToConfirmed()) {
        DrawFrame();
    }
    DrawMessageBox(session->EndMessage());
    messageUntil = std::chrono::steady_clock::now() + messageShown;
}

void OnlineMatchMode::PlayFrame(uint8_t bytes, uint32_t changes) {
    if (!playing && session->Playing()) {
        playing = true;
        playStart = std::chrono::steady_clock::now();
    }
    const TickResult result = session->Tick(bytes);
    TakeConfirmed();
    stallShown = result == TickStalled ? stallShownFrames : stallShown > 0 ? stallShown - 1 : 0;
    const char* waitingFor = nullptr;
    if (stallShown > 0) {
        waitingFor = session->RemoteName()[0] != '\0' ? session->RemoteName() : "the other player";
    }
    switch (result) {
        case TickConnecting:
            DrawLineScreen(waitingLine);
            break;
        case TickAdvanced:
            DrawFrame();
            input.RumbleOnHits();
            DrawVolumeNote(*play);
            DrawLinkCorner(session->Stats().roundTripMs, waitingFor);
            break;
        case TickStalled:
        case TickHeld:
            // The last frame is kept on the back surface; only the corner
            // changes, and a new volume note.
            if ((changes & PlayChangeSound) != 0) {
                DrawVolumeNote(*play);
            }
            DrawLinkCorner(session->Stats().roundTripMs, waitingFor);
            break;
        case TickEnded:
            break;
    }
}

void OnlineMatchMode::TakeConfirmed() {
    ConfirmedFrame frame;
    while (session->PopConfirmed(&frame)) {
        sink->Confirmed(frame);
    }
}

void OnlineMatchMode::Conclude() {
    if (concluded || session == nullptr) {
        return;
    }
    concluded = true;
    TakeConfirmed();
    sink->Finish(*session);
    std::fprintf(stderr, "kivoro: %s\n",
                 session->Ended() ? session->EndMessage() : "left the match");
    if (playing) {
        ReportLink(
            stderr, *session, *link,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count());
    }
}

void OnlineMatchMode::Leave(AppLoop&) {
    if (session == nullptr || concluded) {
        return;
    }
    if (!leaving) {
        leaving = true;
        session->Quit();
    }
    const auto until = std::chrono::steady_clock::now() + windowlessLimit;
    while (!session->Ended() && std::chrono::steady_clock::now() < until) {
        session->Tick(0);
        TakeConfirmed();
        std::this_thread::sleep_for(windowlessPace);
    }
    Conclude();
}
