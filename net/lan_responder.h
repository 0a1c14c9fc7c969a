// LanResponder: a waiting host's answers to the discovery queries of players
// on the local network. The IPv4 queries come in on the game's own socket
// (EnetLink hands them over); the IPv6 ones, sent to the link's all-nodes
// group, on a socket of the responder's own on the same port number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/lan_message.h"

// How a host presents itself to the players looking for a game.
struct LanAdvert {
    bool enabled = false;
    LanIdentity identity;
    char name[maxNameLength + 1] = {};  // printable ASCII
};

class LanResponder {
public:
    explicit LanResponder(const LanAdvert& advert);
    LanResponder(const LanResponder&) = delete;
    LanResponder& operator=(const LanResponder&) = delete;
    ~LanResponder();

    // Notes the game's port and this machine's IPv4 addresses, and opens the
    // IPv6 socket on that port (without it, only IPv4 queries are answered).
    void Start(uint16_t gamePort);

    // The answer to a datagram: its size in out, or 0 when the datagram is no
    // query or this second's answers are spent. nowMs: any millisecond clock.
    size_t Answer(const uint8_t* data, size_t size, uint32_t nowMs, uint8_t* out, size_t capacity);
    // Reads what came in on the IPv6 socket, a bounded number of datagrams;
    // answers the queries when answering (a host not waiting drops them).
    void PollIpv6(bool answering, uint32_t nowMs);

    bool Ipv6Open() const { return ipv6Socket >= 0; }
    uint32_t Instance() const { return answer.instance; }
    int32_t Answered() const { return answered; }

    // At most this many answers a second, however many queries come.
    static constexpr int32_t answersPerSecond = 64;
    static constexpr int32_t datagramsPerPoll = 16;

private:
    LanAnswer answer;  // the fields every answer shares
    LanIdentity identity;
    int ipv6Socket = -1;
    uint32_t secondStartMs = 0;
    int32_t answersThisSecond = 0;
    int32_t answered = 0;
};
