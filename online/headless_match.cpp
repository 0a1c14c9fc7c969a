// The headless match: the rules world, the link, a scripted peer, and the
// final line once every frame is confirmed on both sides.
#include "online/headless_match.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "art/rules_world.h"
#include "net/scripted_peer.h"
#include "online/byte_script.h"
#include "online/confirmed_recorder.h"
#include "online/online_link.h"
#include "replay/final_line.h"
#include "replay/match_recorder.h"
#include "rules/script_controls.h"

namespace {

// While nothing can be stepped (connecting, stalled, held back), the loop
// sleeps this long rather than spin a core; the link's packets wait in the
// socket meanwhile.
constexpr auto idleSleep = std::chrono::milliseconds(1);

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

    EnetLink link(LinkOptionsFor(online));
    if (!StartLink(link, online, errors)) {
        return onlineExitFailed;
    }
    if (online.role == OnlineHost) {
        // The port chosen for --host 0 is told, so that a joiner can be started.
        std::fprintf(errors, "kivoro: waiting for a player on port %u\n",
                     static_cast<unsigned>(link.Port()));
        std::fflush(errors);
    }
    MatchRecorder recorder;
    recorder.Start(options.record, art.artDigest, errors,
                   OnlineMatch(online.role == OnlineJoin ? SideSecond : SideFirst, ""));
    ConfirmedRecorder sink(recorder);
    const std::string name = PlayerName(online);
    ScriptControls local(std::move(script));
    ScriptedPeer peer(link, SessionOptionsFor(online, name), local, &sink);
    auto playStart = std::chrono::steady_clock::now();
    bool playing = false;
    while (!peer.Done()) {
        if (!playing && peer.Session().Playing()) {
            playing = true;
            playStart = std::chrono::steady_clock::now();
        }
        if (peer.Step() != TickAdvanced) {
            std::this_thread::sleep_for(idleSleep);
        }
    }
    RollbackSession& session = peer.Session();
    if (!peer.Finished()) {
        std::fprintf(errors, "kivoro: %s\n", session.EndMessage());
        // What was confirmed stays a replay of the match up to there.
        sink.Finish(session);
        return OnlineExitStatus(session);
    }
    sink.Finish(session);
    std::fprintf(out, "%s\n", FinalLine(static_cast<uint32_t>(session.ConfirmedFrames())).c_str());
    std::fflush(out);
    ReportLink(errors, session, link,
               std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count());
    return onlineExitDone;
}
