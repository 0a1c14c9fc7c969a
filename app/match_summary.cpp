// A decided match's summary from the world, its players' names, its title.
#include "app/match_summary.h"

#include <cstdio>
#include <cstring>

#include "ai/computer_level.h"
#include "rules/world_state.h"

namespace {

void SetName(MatchSummary& summary, int32_t player, const char* name) {
    std::snprintf(summary.names[player], sizeof summary.names[player], "%s", name);
}

// The other side's name as the panel's font can show it: printable ASCII
// kept, anything else (control bytes, UTF-8 the font cannot draw) as '?'.
void SetShownName(MatchSummary& summary, int32_t player, const char* name) {
    char shown[sizeof summary.names[player]];
    size_t length = 0;
    for (const char* c = name; *c != '\0' && length + 1 < sizeof shown; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        shown[length++] = byte >= 0x20 && byte < 0x7F ? *c : '?';
    }
    shown[length] = '\0';
    SetName(summary, player, length > 0 ? shown : "Other player");
}

}  // namespace

MatchSummary SummariseWorld(const MatchRule& rule, int32_t frames, const MatchStats& stats) {
    MatchSummary summary;
    summary.rule = rule;
    summary.outcome = DecideMatch(rule, frames, fighters);
    summary.frames = frames;
    for (int32_t player = 0; player < 2; ++player) {
        summary.kills[player] = fighters[1 - player].deaths;
        summary.deaths[player] = fighters[player].deaths;
        summary.stats[player] = stats.players[player];
    }
    return summary;
}

void NameReplayPlayers(const MatchInfo& match, MatchSummary& summary) {
    const int32_t here = match.side == SideFirst ? 0 : match.side == SideSecond ? 1 : -1;
    if (match.kind == MatchComputer && here >= 0) {
        char computer[32];
        std::snprintf(computer, sizeof computer, "Computer (%s)",
                      ComputerLevelName(static_cast<ComputerLevel>(match.level)));
        SetName(summary, here, "You");
        SetName(summary, 1 - here, computer);
    } else if (match.kind == MatchOnline && here >= 0) {
        SetName(summary, here, "You");
        SetShownName(summary, 1 - here, match.otherName);
        summary.localSide = here;
    } else {
        SetName(summary, 0, "Left player");
        SetName(summary, 1, "Right player");
    }
}

void DescribeWinner(const MatchSummary& summary, char* text, int32_t size) {
    const auto room = static_cast<size_t>(size);
    const int32_t winner = summary.outcome.winner;
    if (winner < 0 || winner > 1) {
        std::snprintf(text, room, "A draw");
    } else if (winner == summary.localSide || std::strcmp(summary.names[winner], "You") == 0) {
        std::snprintf(text, room, "You win");
    } else {
        std::snprintf(text, room, "%s wins", summary.names[winner]);
    }
}
