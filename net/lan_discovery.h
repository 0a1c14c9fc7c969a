// LanDiscovery: finds the games waiting for a player on the local network. It
// sends the discovery query once a second (IPv4 broadcast, IPv6 multicast to
// every link's all-nodes group, and any address it is given) and keeps a list
// of who answered, each host once, forgetting those that fall silent. Polled
// each display frame without waiting; allocates nothing after Start.
#pragma once

#include <netinet/in.h>

#include <cstdint>

#include "net/lan_message.h"

// A game heard on the local network.
struct LanGame {
    char name[maxNameLength + 1] = {};
    // Where to join it: the IPv4 address it answered from, or for an answer
    // heard over IPv6 the one of its addresses on a network of this machine's
    // (else its first). "" when it gave none.
    char address[INET_ADDRSTRLEN] = {};
    uint16_t port = 0;
    LanIdentity identity;
    // Playable only when both this side and the host judged so.
    LanVerdict verdict = LanPlayable;
    uint32_t instance = 0;
    uint32_t heardMs = 0;
    bool heardOnIpv4 = false;

    bool Joinable() const { return verdict == LanPlayable && address[0] != '\0'; }
};

// Where the queries go besides the addresses added one by one.
enum LanPaths : uint32_t {
    LanBroadcast = 1u << 0,  // 255.255.255.255 and each interface's broadcast address
    LanMulticast = 1u << 1,  // ff02::1 on each interface with IPv6
};

class LanDiscovery {
public:
    static constexpr uint32_t queryEveryMs = 1000;
    // Three queries unanswered: the host has gone or started its match.
    static constexpr uint32_t forgetAfterMs = 3500;
    static constexpr int32_t maxGames = 16;
    static constexpr int32_t maxTargets = 16;
    static constexpr int32_t datagramsPerPoll = 32;

    LanDiscovery() = default;
    LanDiscovery(const LanDiscovery&) = delete;
    LanDiscovery& operator=(const LanDiscovery&) = delete;
    ~LanDiscovery() { Stop(); }

    // Opens the sockets and lists the interfaces' targets for paths; queries
    // go to port, from local's identity. The first goes out at the first
    // Poll. False when no socket could be opened.
    bool Start(uint16_t port, const LanIdentity& local,
               uint32_t paths = LanBroadcast | LanMulticast);
    // One more address to query, IPv4 or IPv6 as text (a host, or a
    // broadcast address such as 127.255.255.255). False when it is no
    // address, its family has no socket, or the targets are full.
    bool AddTarget(const char* address);
    // Closes the sockets and forgets the games.
    void Stop();

    // Sends the query when it is due, reads the answers that came (a bounded
    // number) and forgets the games not heard for forgetAfterMs. nowMs: any
    // millisecond clock, the same each call.
    void Poll(uint32_t nowMs);

    bool Started() const { return ipv4Socket >= 0 || ipv6Socket >= 0; }
    // The games heard, in the order they were first heard.
    int32_t Count() const { return gameCount; }
    const LanGame& Game(int32_t index) const { return games[index]; }
    // The game of that host, or null.
    const LanGame* Find(uint32_t instance) const;
    int32_t TargetCount() const { return ipv4TargetCount + ipv6TargetCount; }
    int32_t QueriesSent() const { return queriesSent; }
    // Datagrams read that were no answer.
    int32_t Refused() const { return refused; }

private:
    struct LocalNetwork {
        uint32_t address;  // host order
        uint32_t mask;
    };

    void ListInterfaces(uint32_t paths);
    void AddIpv4Target(const in_addr& address);
    void AddIpv6Target(const in6_addr& address, uint32_t scope);
    void SendQueries();
    void ReadAnswers(int socket, uint32_t nowMs);
    void Heard(const LanAnswer& answer, const sockaddr_storage& from, uint32_t nowMs);
    // The game of that host, a new row for it, or null when the table is full.
    LanGame* Slot(uint32_t instance);
    bool OnLocalNetwork(const uint8_t address[4]) const;
    void PickIpv4Address(const LanAnswer& answer, LanGame& game) const;
    void ForgetSilent(uint32_t nowMs);

    int ipv4Socket = -1;
    int ipv6Socket = -1;
    uint16_t port = 0;
    LanIdentity local;
    uint8_t query[lanQuerySize] = {};
    sockaddr_in ipv4Targets[maxTargets] = {};
    int32_t ipv4TargetCount = 0;
    sockaddr_in6 ipv6Targets[maxTargets] = {};
    int32_t ipv6TargetCount = 0;
    LocalNetwork networks[maxTargets] = {};
    int32_t networkCount = 0;
    LanGame games[maxGames];
    int32_t gameCount = 0;
    bool queried = false;
    uint32_t lastQueryMs = 0;
    int32_t queriesSent = 0;
    int32_t refused = 0;
};
