// The headless match: the rules world, the link, a scripted peer, and the
// final line once every frame is confirmed on both sides.
#include "online/headless_match.h"

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "art/rules_world.h"
#include "net/scripted_peer.h"
#include "online/confirmed_recorder.h"
#include "online/online_link.h"
#include "replay/byte_script.h"
#include "replay/final_line.h"
#include "replay/match_recorder.h"
#include "rules/script_controls.h"

namespace {

// While nothing can be stepped (connecting, stalled, held back, ending), the
// loop waits on the link this long at most: a packet wakes it at once, so
// the round trip is the network's.
constexpr uint32_t idleWaitMs = 2;

volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal) {
    stopSignal = signal;
}

// SIGINT and SIGTERM, for as long as the match runs, ask it to end: the
// other side is told and the replay finished, well within a second.
class StopSignals {
public:
    StopSignals() {
        stopSignal = 0;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt);
        sigaction(SIGTERM, &action, &previousTerm);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals() {
        sigaction(SIGINT, &previousInt, nullptr);
        sigaction(SIGTERM, &previousTerm, nullptr);
    }

private:
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
};

}  // namespace

int RunHeadlessMatch(const GameOptions& options, FILE* out, FILE* errors) {
    const OnlineOptions& online = options.online;
    std::vector<uint8_t> script;
    std::string problem;
    if (!ReadByteScript(online.script, script, &problem)) {
        std::fprintf(errors, "kivoro: --script %s: %s\n", online.script.c_str(), problem.c_str());
        return optionsExitBadOptions;
    }
    const RulesArt art = SetUpRulesWorld();
    if (!art.blastSheetRead) {
        // Without the shapes this side plays another world than a side
        // with them: the handshake compares the art, and this says why.
        std::fprintf(errors, "kivoro: %s\n", MissingBlastSheetNote().c_str());
    }

    EnetLink link(LinkOptionsFor(online));
    const std::string linkProblem = StartLink(link, online);
    if (!linkProblem.empty()) {
        std::fprintf(errors, "kivoro: %s\n", linkProblem.c_str());
        return onlineExitFailed;
    }
    if (online.role == OnlineHost) {
        // The port chosen for --host 0 is told, so that a joiner can be started.
        TellWaiting(errors, link.Port(), HostAddresses(link.Port()));
    }
    MatchRecorder recorder;
    recorder.Start(options.record, art.artDigest, errors,
                   OnlineMatch(online.role == OnlineJoin ? SideSecond : SideFirst, ""));
    ConfirmedRecorder sink(recorder);
    const std::string name = PlayerName(online);
    ScriptControls local(std::move(script));
    const std::string address = JoinAddress(online);
    ScriptedPeer peer(link, SessionOptionsFor(online, name, address), local, &sink);
    RollbackSession& session = peer.Session();
    const StopSignals signals;
    auto playStart = std::chrono::steady_clock::now();
    bool playing = false;
    bool stopping = false;
    int32_t noticesTold = 0;
    while (!peer.Done()) {
        if (stopSignal != 0 && !stopping) {
            stopping = true;
            session.Quit();
        }
        if (!playing && session.Playing()) {
            playing = true;
            playStart = std::chrono::steady_clock::now();
            // In the header at once, so that a replay left unfinished has it.
            recorder.NameOtherSide(session.RemoteName(), session.Rule());
        }
        const TickResult result = peer.Step();
        if (session.NoticeCount() != noticesTold) {
            noticesTold = session.NoticeCount();
            std::fprintf(errors, "kivoro: %s; waiting on\n", session.Notice());
            std::fflush(errors);
        }
        if (result != TickAdvanced) {
            session.Poll(idleWaitMs);
        }
    }
    if (stopping) {
        std::fprintf(errors, "kivoro: stopped by %s: %s\n",
                     stopSignal == SIGINT ? "SIGINT" : "SIGTERM", session.EndMessage());
        sink.Finish(session);
        return 128 + stopSignal;
    }
    if (!peer.Finished()) {
        std::fprintf(errors, "kivoro: %s\n", session.EndMessage());
        // What was confirmed stays a replay of the match up to there.
        sink.Finish(session);
        return OnlineExitStatus(session);
    }
    sink.Finish(session);
    if (session.Tally().Outcome().decided) {
        // The rule decided the match before its last frame.
        std::fprintf(errors, "kivoro: %s\n", session.EndMessage());
    }
    std::fprintf(out, "%s\n", FinalLine(static_cast<uint32_t>(session.ConfirmedFrames())).c_str());
    std::fflush(out);
    ReportLink(errors, session, link,
               std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count());
    return onlineExitDone;
}
