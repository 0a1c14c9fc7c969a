// The online match's texts: the waiting lines, the names, the summary and
// the kills.
#include "online/online_screens.h"

#include <cstdio>

namespace {

// How many addresses the host's screen lists: a machine with more (docker
// bridges, VPNs) shows the first, which ListLocalAddresses puts in the
// order the system gives.
constexpr size_t shownAddresses = 4;

const char* Kills(int32_t count) {
    return count == 1 ? "kill" : "kills";
}

}  // namespace

std::string Capitalized(const char* message) {
    std::string text = message;
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::vector<ScreenLine> WaitingLines(bool host, MatchPhase phase, uint16_t port,
                                     const std::string& where,
                                     const std::vector<std::string>& addresses,
                                     const char* notice) {
    std::vector<ScreenLine> lines;
    const bool handshaking = phase == PhaseHandshaking;
    if (!host) {
        lines.push_back({handshaking ? "Connected to " + where + ": starting the match\x85"
                                     : "Connecting to " + where + "\x85",
                         LineHeading});
        lines.push_back({"", LinePlain});
        lines.push_back({"Esc to cancel", LinePlain});
        return lines;
    }
    lines.push_back({handshaking ? std::string("A player connected: starting the match\x85")
                                 : "Waiting for a player on UDP port " + std::to_string(port),
                     LineHeading});
    lines.push_back({"", LinePlain});
    if (addresses.empty()) {
        lines.push_back({"No network address found: only a player on this machine", LinePlain});
        lines.push_back({"can join, at 127.0.0.1:" + std::to_string(port), LinePlain});
    } else {
        lines.push_back(
            {addresses.size() == 1 ? "The other player joins" : "The other player joins one of",
             LinePlain});
        for (size_t k = 0; k < addresses.size() && k < shownAddresses; ++k) {
            lines.push_back({addresses[k], LineAddress});
        }
    }
    lines.push_back({"", LinePlain});
    if (notice != nullptr && notice[0] != '\0') {
        lines.push_back({Capitalized(notice), LineNotice});
    }
    lines.push_back({"Esc to cancel", LinePlain});
    return lines;
}

void NamePlayers(const RollbackSession& session, char (*names)[32]) {
    const int32_t local = session.LocalPlayer();
    const char* own = session.LocalName();
    const char* other = session.RemoteName();
    std::snprintf(names[local], sizeof names[local], "%s", own[0] != '\0' ? own : "You");
    std::snprintf(names[1 - local], sizeof names[1 - local], "%s",
                  other[0] != '\0' ? other : "Other player");
}

MatchSummary SummaryOf(const RollbackSession& session) {
    const MatchTally& tally = session.Tally();
    MatchSummary summary;
    summary.rule = tally.Rule();
    summary.outcome = tally.Outcome();
    summary.frames = tally.Frames();
    for (int32_t player = 0; player < 2; ++player) {
        summary.kills[player] = tally.Kills(player);
        summary.deaths[player] = tally.Deaths(player);
        summary.stats[player] = tally.Stats().players[player];
    }
    NamePlayers(session, summary.names);
    summary.localSide = session.LocalPlayer();
    return summary;
}

std::string KillsLine(const RollbackSession& session) {
    char names[2][32] = {};
    NamePlayers(session, names);
    const MatchTally& tally = session.Tally();
    char line[128];
    std::snprintf(line, sizeof line, "%s %d %s, %s %d %s", names[0], tally.Kills(0),
                  Kills(tally.Kills(0)), names[1], tally.Kills(1), Kills(tally.Kills(1)));
    return line;
}
