// What the headless and the windowed online match share: the link made from
// the command line, the addresses a host tells, the session's options, the
// player's name and the exit status a match's end stands for.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "net/enet_link.h"
#include "net/rollback_session.h"
#include "settings/game_options.h"

// Exit statuses of an online match (2, bad options, is the command line's).
inline constexpr int onlineExitDone = 0;    // played to its end, a player left, or a wait cancelled
inline constexpr int onlineExitFailed = 1;  // this side could not play on (out of sync, no port)
// The other side vanished, never answered, refused the match or broke the
// protocol.
inline constexpr int onlineExitOtherSide = 3;

EnetLinkOptions LinkOptionsFor(const OnlineOptions& online);

// Hosts on the port or starts joining the host. Answers "" or, when the port
// cannot be opened or the host's name not resolved, the line that says so
// (for the screen and standard error).
std::string StartLink(EnetLink& link, const OnlineOptions& online);

// Where another machine can reach a host on port: "ADDRESS:PORT" for each of
// this machine's addresses the link can take (IPv4: the ENet the game is
// built on speaks no IPv6), loopback left out. Empty when there are none.
std::vector<std::string> HostAddresses(uint16_t port);

// A host's lines on errors: the port it waits on ("waiting for a player on
// port N", what scripts read), then the addresses it is at.
void TellWaiting(FILE* errors, uint16_t port, const std::vector<std::string>& addresses);

// The name the other player sees: --name, else the printable ASCII of the
// login name (USER), cut to the handshake's length; "" when neither is known.
std::string PlayerName(const OnlineOptions& online);

// A joiner's HOST:PORT, as its end messages name it; "" for a host.
std::string JoinAddress(const OnlineOptions& online);

// name and address must outlive the session.
SessionOptions SessionOptionsFor(const OnlineOptions& online, const std::string& name,
                                 const std::string& address);

// The exit status for a match's end: done for a finished match, a quit by
// either player or a cancelled wait; failed when the match went out of sync
// or this side could not send; other-side for everything the other side did
// or failed to do (vanished, never answered, left, refused the match, broke
// the protocol, stopped moving).
int OnlineExitStatus(EndReason reason);
int OnlineExitStatus(const RollbackSession& session);

// One line on errors on how the link went, for whoever checks its cost:
// frames, seconds of play, round trip, rollbacks, and the bytes ENet put on
// the wire, in all, a second and a world frame.
void ReportLink(FILE* errors, const RollbackSession& session, const EnetLink& link, double seconds);
