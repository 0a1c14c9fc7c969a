// What the online match says: the lines before the match for each side and
// phase, and after a match the rule decided, the names, the summary and the
// kills as each side tells them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modes/end_screen_mode.h"
#include "online/online_screens.h"
#include "rules/headless_world.h"
#include "tests/net/session_harness.h"
#include "tests/rules/harness_script.h"

namespace {

std::vector<std::string> Texts(const std::vector<ScreenLine>& lines, ScreenLineKind kind) {
    std::vector<std::string> texts;
    for (const ScreenLine& line : lines) {
        if (line.kind == kind) {
            texts.push_back(line.text);
        }
    }
    return texts;
}

bool Says(const std::vector<ScreenLine>& lines, const std::string& text) {
    for (const ScreenLine& line : lines) {
        if (line.text.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(WaitingLines, TheHostListsItsAddressesWithThePort) {
    const std::vector<std::string> addresses = {"192.168.1.20:47700", "10.0.0.5:47700"};
    const std::vector<ScreenLine> lines =
        WaitingLines(true, PhaseConnecting, 47700, "", addresses, "");
    EXPECT_EQ(Texts(lines, LineHeading),
              std::vector<std::string>{"Waiting for a player on UDP port 47700"});
    EXPECT_EQ(Texts(lines, LineAddress), addresses);
    EXPECT_TRUE(Says(lines, "Esc to cancel"));
    EXPECT_TRUE(Texts(lines, LineNotice).empty());

    // A machine with many addresses shows the first few; one with none says
    // who can join all the same.
    const std::vector<std::string> many(9, "10.1.1.1:5000");
    EXPECT_EQ(Texts(WaitingLines(true, PhaseConnecting, 5000, "", many, ""), LineAddress).size(),
              4u);
    const std::vector<ScreenLine> none = WaitingLines(true, PhaseConnecting, 5000, "", {}, "");
    EXPECT_TRUE(Texts(none, LineAddress).empty());
    EXPECT_TRUE(Says(none, "127.0.0.1:5000"));
}

TEST(WaitingLines, EachPhaseAndSideHasItsOwnHeading) {
    struct Case {
        bool host;
        MatchPhase phase;
        const char* heading;
    };
    const Case cases[] = {
        {true, PhaseConnecting, "Waiting for a player on UDP port 47700"},
        {true, PhaseHandshaking, "A player connected: starting the match\x85"},
        {false, PhaseConnecting, "Connecting to example.org:47700\x85"},
        {false, PhaseHandshaking, "Connected to example.org:47700: starting the match\x85"},
    };
    for (const Case& c : cases) {
        const std::vector<ScreenLine> lines =
            WaitingLines(c.host, c.phase, 47700, "example.org:47700", {"10.0.0.5:47700"}, "");
        EXPECT_EQ(Texts(lines, LineHeading), std::vector<std::string>{c.heading});
        EXPECT_TRUE(Says(lines, "Esc to cancel")) << c.heading;
        EXPECT_EQ(Texts(lines, LineAddress).size(), c.host ? 1u : 0u) << c.heading;
    }
    // The host's word on a client it let go stands among its lines.
    const std::vector<ScreenLine> noticed =
        WaitingLines(true, PhaseConnecting, 47700, "", {}, "let a client go: it left");
    EXPECT_EQ(Texts(noticed, LineNotice), std::vector<std::string>{"Let a client go: it left"});
}

TEST(Capitalized, TheFirstLetterOnly) {
    EXPECT_EQ(Capitalized("you win, 1 kill to 0"), "You win, 1 kill to 0");
    EXPECT_EQ(Capitalized("Melsar ended the match"), "Melsar ended the match");
    EXPECT_EQ(Capitalized("192.168.1.2 closed"), "192.168.1.2 closed");
    EXPECT_EQ(Capitalized(""), "");
}

// A match the rule decided, played out between two sessions in memory: each
// side's summary has the same numbers, its own side, and both names.
TEST(OnlineSummary, BothSidesSumUpTheSameMatch) {
    ResetHeadlessWorld();
    const std::vector<FrameControls> script = BuildHarnessScript();
    Match match(static_cast<int32_t>(script.size()));
    for (size_t t = 0; t < script.size(); ++t) {
        match.first[t] = script[t].first;
        match.second[t] = script[t].second;
    }
    SessionOptions hostOptions{0, 2, "Torvik"};
    hostOptions.rule = MatchRule{MatchFirstToKills, 1};
    match.host = std::make_unique<ScriptedPeer>(match.hostLink, hostOptions, match.first.data(),
                                                static_cast<int32_t>(script.size()));
    match.join =
        std::make_unique<ScriptedPeer>(match.joinLink, SessionOptions{1, 2, "Melsar"},
                                       match.second.data(), static_cast<int32_t>(script.size()));
    match.RunUntilEnded(120000);
    ASSERT_TRUE(match.host->Finished()) << match.host->Session().EndMessage();
    ASSERT_TRUE(match.join->Finished()) << match.join->Session().EndMessage();

    const MatchSummary host = SummaryOf(match.host->Session());
    const MatchSummary join = SummaryOf(match.join->Session());
    EXPECT_EQ(host.rule, (MatchRule{MatchFirstToKills, 1}));
    EXPECT_EQ(join.rule, host.rule);
    EXPECT_TRUE(host.outcome.decided);
    EXPECT_EQ(join.outcome.winner, host.outcome.winner);
    EXPECT_EQ(join.frames, host.frames);
    EXPECT_EQ(host.frames, match.host->Session().ConfirmedFrames());
    for (int32_t player = 0; player < 2; ++player) {
        EXPECT_EQ(join.kills[player], host.kills[player]);
        EXPECT_EQ(join.deaths[player], host.deaths[player]);
        EXPECT_EQ(join.stats[player].blastsReleased, host.stats[player].blastsReleased);
        EXPECT_EQ(join.stats[player].hitsLanded, host.stats[player].hitsLanded);
        EXPECT_EQ(join.stats[player].damageDealt, host.stats[player].damageDealt);
        EXPECT_EQ(host.kills[player], host.deaths[1 - player]);
    }
    EXPECT_EQ(host.kills[0] + host.kills[1], 1);
    EXPECT_STREQ(host.names[0], "Torvik");
    EXPECT_STREQ(host.names[1], "Melsar");
    EXPECT_STREQ(join.names[0], "Torvik");
    EXPECT_EQ(host.localSide, 0);
    EXPECT_EQ(join.localSide, 1);

    // Each end screen says "You win" on the winner's side only.
    char title[64];
    const int32_t winner = host.outcome.winner;
    ASSERT_GE(winner, 0);
    DescribeWinner(winner == 0 ? host : join, title, sizeof title);
    EXPECT_STREQ(title, "You win");
    DescribeWinner(winner == 0 ? join : host, title, sizeof title);
    EXPECT_EQ(std::string(title), std::string(winner == 0 ? "Torvik" : "Melsar") + " wins");

    const std::string kills = KillsLine(match.host->Session());
    EXPECT_EQ(kills,
              winner == 0 ? "Torvik 1 kill, Melsar 0 kills" : "Torvik 0 kills, Melsar 1 kill");
    EXPECT_EQ(KillsLine(match.join->Session()), kills);
}

// Without names the sides are "You" and "Other player", each from its own
// side.
TEST(OnlineSummary, UnnamedPlayers) {
    ResetHeadlessWorld();
    VirtualClock clock;
    MemoryLink hostLink(clock, {});
    MemoryLink joinLink(clock, {});
    MemoryLink::Connect(hostLink, joinLink);
    RollbackSession host(hostLink, SessionOptions{0, 2, ""});
    RollbackSession join(joinLink, SessionOptions{1, 2, ""});
    for (int32_t k = 0; k < 5; ++k) {
        host.Tick(0);
        join.Tick(0);
    }
    ASSERT_TRUE(join.Playing());
    char names[2][32] = {};
    NamePlayers(join, names);
    EXPECT_STREQ(names[0], "Other player");
    EXPECT_STREQ(names[1], "You");
    EXPECT_EQ(KillsLine(host), "You 0 kills, Other player 0 kills");
}

}  // namespace
