// The windowed online match: one session Tick per display frame, drawn only
// when the world moved, so that neither a held frame nor a re-run one
// advances the fighters' animation or repeats a sound; the packets read
// between frames; the screens before the match and after it.
#include "online/online_match_mode.h"

#include <cstdio>

#include "app/app_loop.h"
#include "app/game_view.h"
#include "app/overlay_view.h"
#include "app/play_state.h"
#include "art/art_digest.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/window_messages.h"
#include "online/online_link.h"
#include "online/online_view.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"

namespace {

// "Waiting for NAME" stays up this many display frames after the last stalled
// one: a link that stalls every other frame would make it flicker.
constexpr int32_t stallShownFrames = 30;
// Once the window is gone, the last few frames are still played out with the
// other side, for this long at most, paced without a display.
constexpr auto windowlessLimit = std::chrono::seconds(1);
constexpr uint32_t windowlessPaceMs = 16;

}  // namespace

OnlineMatchMode::OnlineMatchMode(const GameOptions& options, LocalInput& input)
    : options(options), input(input), controls(input, KeyControls::EitherPlayer) {}

OnlineMatchMode::OnlineMatchMode(const GameOptions& options, LocalInput& input,
                                 ModeDirectory& directory, const MatchChoice& choice)
    : options(options),
      input(input),
      directory(&directory),
      choice(choice),
      controls(input, KeyControls::EitherPlayer) {}

OnlineMatchMode::~OnlineMatchMode() = default;

uint32_t OnlineMatchMode::Comforts() const {
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void OnlineMatchMode::Enter(AppLoop& app) {
    const OnlineOptions& online = options.online;
    SetUpWorld();
    fighterSounds.Reset();
    app.Play().StartMatch();
    app.Players().StartMatch();
    play = &app.Play();
    menuInput.Reset(&app.Players().Pads());
    link = std::make_unique<EnetLink>(LinkOptionsFor(online));
    problem = StartLink(*link, online);
    if (!problem.empty()) {
        std::fprintf(stderr, "kivoro: %s\n", problem.c_str());
        link.reset();
        return;
    }
    name = PlayerName(online);
    address = JoinAddress(online);
    if (online.role == OnlineHost) {
        addresses = HostAddresses(link->Port());
        TellWaiting(stderr, link->Port(), addresses);
    } else {
        std::fprintf(stderr, "kivoro: connecting to %s\n", address.c_str());
    }
    recorder = std::make_unique<MatchRecorder>();
    recorder->Start(options.record, ArtDigest(), stderr,
                    OnlineMatch(online.role == OnlineJoin ? SideSecond : SideFirst, ""));
    sink = std::make_unique<ConfirmedRecorder>(*recorder);
    SessionOptions sessionOptions = SessionOptionsFor(online, name, address);
    sessionOptions.listener = &fighterSounds;
    session = std::make_unique<RollbackSession>(*link, sessionOptions);
    playStart = std::chrono::steady_clock::now();
}

void OnlineMatchMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
    // Any key pressed anew closes an end's lines, once they have stood a
    // moment (a key the player pressed in play does not).
    if (telling && message == WM_KEYDOWN && (lParam & KeyRepeatBit) == 0 &&
        std::chrono::steady_clock::now() - toldAt >= messageGrace) {
        keyPressed = true;
    }
}

void OnlineMatchMode::Frame(AppLoop& app, const FrameInput& frameInput) {
    const uint32_t actions = menuInput.Frame(frameInput.active ? &app.Players().Pads() : nullptr);
    if (telling) {
        const auto stood = std::chrono::steady_clock::now() - toldAt;
        const bool padPressed = stood >= messageGrace && (actions & (MenuChoose | MenuBack)) != 0;
        if (keyPressed || padPressed || stood >= messageShown) {
            Finish(app);
        }
        return;
    }
    if (session == nullptr) {
        // The link could not start (said on standard error in Enter).
        Tell({{Capitalized(problem.c_str()), LineHeading}, {"Press any key", LinePlain}}, false);
        return;
    }
    if ((frameInput.commands & (CommandPause | CommandHelp)) != 0) {
        app.Play().ShowNote(noPauseNote);
    }
    const bool escape = (frameInput.commands & CommandEscape) != 0;
    if (!leaving) {
        if (!playing || directory == nullptr) {
            // A wait is cancelled at once; from the command line, a match
            // is left at once too, and ends on both sides.
            if (escape) {
                leaving = true;
                session->Quit();
            }
        } else if (!asking) {
            if (escape || (actions & MenuLeave) != 0) {
                AskToLeave(true);
            }
        } else if ((actions & MenuChoose) != 0) {
            AskToLeave(false);
            leaving = true;
            session->Quit();
        } else if ((actions & MenuBack) != 0) {
            AskToLeave(false);
        }
    }
    // An inactive window reads no keys (they may be another program's), nor
    // does the leave box; the match goes on: the other side cannot wait.
    const bool reads = frameInput.active && !leaving && !asking;
    PlayFrame(app, reads ? controls.Controls(0) : uint8_t{0}, frameInput);
    if (session->Ended()) {
        Ended(app);
    }
}

void OnlineMatchMode::PlayFrame(AppLoop& app, uint8_t bytes, const FrameInput& frameInput) {
    if (!playing && session->Playing()) {
        playing = true;
        playStart = std::chrono::steady_clock::now();
        waitingLines.clear();
        // In the header at once, so that a replay left unfinished has it.
        recorder->NameOtherSide(session->RemoteName(), session->Rule());
    }
    const TickResult result = session->Tick(bytes);
    TakeConfirmed();
    // What the Tick sent goes out now rather than with the next frame's.
    session->Poll();
    if (session->NoticeCount() != noticesShown) {
        noticesShown = session->NoticeCount();
        std::fprintf(stderr, "kivoro: %s; waiting on\n", session->Notice());
    }
    stallShown = result == TickStalled ? stallShownFrames : stallShown > 0 ? stallShown - 1 : 0;
    const char* waitingFor = nullptr;
    if (stallShown > 0) {
        waitingFor = session->RemoteName()[0] != '\0' ? session->RemoteName() : "the other player";
    }
    switch (result) {
        case TickConnecting:
            ShowWaiting();
            break;
        case TickAdvanced:
            DrawFrame();
            input.RumbleOnHits();
            if (asking) {
                AskToLeave(true);
            }
            DrawVolumeNote(*play);
            DrawLinkCorner(session->Stats(), waitingFor);
            break;
        case TickStalled:
        case TickHeld:
            // The last frame is kept on the back surface; only the corner
            // changes, and a note.
            if ((frameInput.changes & PlayChangeSound) != 0 || app.Play().NoteShown()) {
                DrawVolumeNote(*play);
            }
            DrawLinkCorner(session->Stats(), waitingFor);
            break;
        case TickEnded:
            break;
    }
}

void OnlineMatchMode::ShowWaiting() {
    const MatchPhase phase = session->Phase();
    if (phase == waitingShown && session->NoticeCount() == waitingNotices &&
        !waitingLines.empty()) {
        return;
    }
    waitingShown = phase;
    waitingNotices = session->NoticeCount();
    waitingLines = WaitingLines(options.online.role == OnlineHost, phase, link->Port(), address,
                                addresses, session->Notice());
    DrawLinesScreen(waitingLines);
}

void OnlineMatchMode::AskToLeave(bool open) {
    asking = open;
    if (open) {
        // The world cannot stop: the box stands over it as it goes on.
        DrawMessageBox({{"Leave the match?", LineHeading},
                        {"Enter: leave, Escape: play on", LinePlain},
                        {"The match goes on meanwhile", LinePlain}});
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
        std::fprintf(stderr, "kivoro: kills: %s\n", KillsLine(*session).c_str());
        ReportLink(
            stderr, *session, *link,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count());
    }
}

void OnlineMatchMode::Ended(AppLoop& app) {
    Conclude();
    if (leaving) {
        // This player left or cancelled: nothing to tell.
        Finish(app);
        return;
    }
    // What follows stands over the world both replays end in, not a few
    // frames this side had predicted beyond it.
    if (playing && session->RewindToConfirmed()) {
        DrawFrame();
    }
    const bool decided =
        session->EndReasonCode() == EndFinished && session->Tally().Outcome().decided;
    if (decided && directory != nullptr) {
        soundDevice.PauseOutput(true);
        HoldStoppedPicture();
        app.SwitchTo(directory->EndScreen(choice, SummaryOf(*session)));
        return;
    }
    std::vector<ScreenLine> lines{{Capitalized(session->EndMessage()), LineHeading}};
    if (playing) {
        lines.push_back({KillsLine(*session), LinePlain});
    }
    lines.push_back(
        {directory != nullptr ? "Press any key for the menu" : "Press any key", LinePlain});
    Tell(std::move(lines), playing);
}

void OnlineMatchMode::Tell(std::vector<ScreenLine> lines, bool overWorld) {
    telling = true;
    keyPressed = false;
    toldAt = std::chrono::steady_clock::now();
    if (overWorld) {
        soundDevice.PauseOutput(true);
        soundPaused = true;
        DrawMessageBox(lines);
    } else {
        // Nothing else on screen: the lines are not drawn over others.
        DrawLinesScreen(lines);
    }
}

void OnlineMatchMode::Finish(AppLoop& app) {
    if (directory != nullptr) {
        app.SwitchTo(directory->Menu());
        return;
    }
    app.Quit(session != nullptr ? OnlineExitStatus(*session) : onlineExitFailed);
}

void OnlineMatchMode::WaitUntil(uint64_t deadlineNs) {
    for (;;) {
        const uint64_t now = FrameLimiter::MonotonicNanoseconds();
        if (now >= deadlineNs) {
            return;
        }
        const uint64_t leftMs = (deadlineNs - now) / 1000000u;
        if (session == nullptr || session->Ended() || leftMs == 0) {
            FrameLimiter::SleepUntilNanoseconds(deadlineNs);
            return;
        }
        // Returns as soon as a packet came: it is taken at once.
        session->Poll(static_cast<uint32_t>(leftMs));
    }
}

void OnlineMatchMode::Leave(AppLoop&) {
    if (soundPaused) {
        soundDevice.PauseOutput(false);
    }
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
        session->Poll(windowlessPaceMs);
    }
    Conclude();
}
