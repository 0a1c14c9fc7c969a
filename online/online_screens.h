// What an online match says on its screens, as text: the lines before the
// match (the host's addresses, the joiner's host, the handshake, how to
// cancel), and after it the players' names, the summary the end screen shows
// and the line with both players' kills. Texts are Windows-1252, as the
// panel's are; the lines on standard error are plain ASCII.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/mode_directory.h"
#include "net/rollback_session.h"
#include "online/screen_line.h"

// A message of the session's as a screen shows it: its first letter a
// capital ("you win" on standard error, "You win" on screen).
std::string Capitalized(const char* message);

// What a host or a joiner shows before the match. host: true for the host;
// phase: the session's (connecting or handshaking); port: the host's; where:
// a joiner's HOST:PORT; addresses: the host's (HostAddresses); notice: the
// host's latest word on a client it let go ("" for none).
std::vector<ScreenLine> WaitingLines(bool host, MatchPhase phase, uint16_t port,
                                     const std::string& where,
                                     const std::vector<std::string>& addresses, const char* notice);

// Both players' names as this side shows them, the host's first: this
// side's own name (or "You" without one) and the other side's (or "Other
// player").
void NamePlayers(const RollbackSession& session, char (*names)[32]);

// The end screen's summary of a match the rule decided, from the confirmed
// frames: the rule, the winner, the frames, both players' kills, deaths and
// statistics, their names and the side this machine played.
MatchSummary SummaryOf(const RollbackSession& session);

// "Torvik 3 kills, Melsar 1 kill": both players' kills, host first.
std::string KillsLine(const RollbackSession& session);
