// The discovery client: two non-blocking sockets (IPv4 with broadcast, IPv6
// for the link-local multicast), the targets listed once at the start, and a
// fixed table of the games heard.
#include "net/lan_discovery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

// A non-blocking UDP socket of the family on a port of the system's choice,
// or -1.
int OpenSocket(int family) {
    const int fd = socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int on = 1;
    sockaddr_storage address{};
    socklen_t size = 0;
    bool ready = false;
    if (family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
        v4->sin_family = AF_INET;
        size = sizeof *v4;
        ready = setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
    } else {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
        v6->sin6_family = AF_INET6;
        size = sizeof *v6;
        // The link-local group only: one hop, and this machine's own hosts
        // hear it too (the loop is on by default; said here for the reader).
        const int hops = 1;
        ready = setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) == 0 &&
                setsockopt(fd, IPPROTO_IPV6, IPV6_MULTICAST_HOPS, &hops, sizeof hops) == 0 &&
                setsockopt(fd, IPPROTO_IPV6, IPV6_MULTICAST_LOOP, &on, sizeof on) == 0;
    }
    if (!ready || bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void CloseSocket(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// ff02::1, every node of a link.
constexpr in6_addr allNodes = {{{0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}};

}  // namespace

bool LanDiscovery::Start(uint16_t queryPort, const LanIdentity& identity, uint32_t paths) {
    Stop();
    port = queryPort;
    local = identity;
    LanQuery message;
    message.identity = identity;
    if (EncodeLanQuery(message, query, sizeof query) == 0) {
        return false;
    }
    ipv4Socket = OpenSocket(AF_INET);
    ipv6Socket = OpenSocket(AF_INET6);
    ListInterfaces(paths);
    return Started();
}

void LanDiscovery::Stop() {
    CloseSocket(ipv4Socket);
    CloseSocket(ipv6Socket);
    ipv4TargetCount = ipv6TargetCount = networkCount = gameCount = 0;
    queried = false;
    queriesSent = refused = 0;
}

void LanDiscovery::ListInterfaces(uint32_t paths) {
    if ((paths & LanBroadcast) != 0) {
        in_addr everyone{};
        everyone.s_addr = htonl(INADDR_BROADCAST);
        AddIpv4Target(everyone);
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || (flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        if (entry->ifa_addr->sa_family == AF_INET && entry->ifa_netmask != nullptr) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            const auto* mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask);
            if (networkCount < maxTargets) {
                networks[networkCount++] = {ntohl(address->sin_addr.s_addr),
                                            ntohl(mask->sin_addr.s_addr)};
            }
            if ((paths & LanBroadcast) != 0 && (flags & IFF_BROADCAST) != 0 &&
                entry->ifa_broadaddr != nullptr) {
                AddIpv4Target(reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr);
            }
        } else if (entry->ifa_addr->sa_family == AF_INET6 && (paths & LanMulticast) != 0 &&
                   (flags & IFF_MULTICAST) != 0) {
            AddIpv6Target(allNodes, if_nametoindex(entry->ifa_name));
        }
    }
    freeifaddrs(list);
}

void LanDiscovery::AddIpv4Target(const in_addr& address) {
    if (ipv4Socket < 0 || ipv4TargetCount == maxTargets) {
        return;
    }
    for (int32_t k = 0; k < ipv4TargetCount; ++k) {
        if (ipv4Targets[k].sin_addr.s_addr == address.s_addr) {
            return;
        }
    }
    sockaddr_in& target = ipv4Targets[ipv4TargetCount++];
    target = {};
    target.sin_family = AF_INET;
    target.sin_addr = address;
    target.sin_port = htons(port);
}

void LanDiscovery::AddIpv6Target(const in6_addr& address, uint32_t scope) {
    if (ipv6Socket < 0 || ipv6TargetCount == maxTargets) {
        return;
    }
    for (int32_t k = 0; k < ipv6TargetCount; ++k) {
        if (std::memcmp(&ipv6Targets[k].sin6_addr, &address, sizeof address) == 0 &&
            ipv6Targets[k].sin6_scope_id == scope) {
            return;
        }
    }
    sockaddr_in6& target = ipv6Targets[ipv6TargetCount++];
    target = {};
    target.sin6_family = AF_INET6;
    target.sin6_addr = address;
    target.sin6_scope_id = scope;
    target.sin6_port = htons(port);
}

bool LanDiscovery::AddTarget(const char* address) {
    in_addr v4{};
    in6_addr v6{};
    const int32_t before = TargetCount();
    if (inet_pton(AF_INET, address, &v4) == 1) {
        AddIpv4Target(v4);
    } else if (inet_pton(AF_INET6, address, &v6) == 1) {
        AddIpv6Target(v6, 0);
    } else {
        return false;
    }
    return TargetCount() > before;
}

void LanDiscovery::SendQueries() {
    // A target that cannot be reached now (no route, an interface gone) is
    // tried again at the next round; its error changes nothing here.
    for (int32_t k = 0; k < ipv4TargetCount; ++k) {
        sendto(ipv4Socket, query, sizeof query, 0,
               reinterpret_cast<const sockaddr*>(&ipv4Targets[k]), sizeof ipv4Targets[k]);
    }
    for (int32_t k = 0; k < ipv6TargetCount; ++k) {
        sendto(ipv6Socket, query, sizeof query, 0,
               reinterpret_cast<const sockaddr*>(&ipv6Targets[k]), sizeof ipv6Targets[k]);
    }
    ++queriesSent;
}

void LanDiscovery::Poll(uint32_t nowMs) {
    if (!Started()) {
        return;
    }
    if (!queried || nowMs - lastQueryMs >= queryEveryMs) {
        queried = true;
        lastQueryMs = nowMs;
        SendQueries();
    }
    ReadAnswers(ipv4Socket, nowMs);
    ReadAnswers(ipv6Socket, nowMs);
    ForgetSilent(nowMs);
}

void LanDiscovery::ReadAnswers(int fd, uint32_t nowMs) {
    if (fd < 0) {
        return;
    }
    // One byte over the longest answer, so that a longer datagram is seen as
    // such and refused.
    uint8_t in[lanAnswerMaxSize + 1];
    for (int32_t k = 0; k < datagramsPerPoll; ++k) {
        sockaddr_storage from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            recvfrom(fd, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got < 0) {
            return;
        }
        LanAnswer answer;
        if (DecodeLanAnswer(in, static_cast<size_t>(got), &answer)) {
            Heard(answer, from, nowMs);
        } else {
            ++refused;
        }
    }
}

const LanGame* LanDiscovery::Find(uint32_t instance) const {
    for (int32_t k = 0; k < gameCount; ++k) {
        if (games[k].instance == instance) {
            return &games[k];
        }
    }
    return nullptr;
}

LanGame* LanDiscovery::Slot(uint32_t instance) {
    for (int32_t k = 0; k < gameCount; ++k) {
        if (games[k].instance == instance) {
            return &games[k];
        }
    }
    if (gameCount == maxGames) {
        return nullptr;
    }
    LanGame& game = games[gameCount++];
    game = LanGame();
    game.instance = instance;
    return &game;
}

void LanDiscovery::Heard(const LanAnswer& answer, const sockaddr_storage& from, uint32_t nowMs) {
    // A table full of games takes no more until one is forgotten.
    LanGame* game = Slot(answer.instance);
    if (game == nullptr) {
        return;
    }
    std::memcpy(game->name, answer.name, sizeof game->name);
    game->port = answer.port;
    game->identity = answer.identity;
    const LanVerdict ours = JudgeLanIdentity(local, answer.identity);
    game->verdict = ours != LanPlayable ? ours : static_cast<LanVerdict>(answer.verdict);
    game->heardMs = nowMs;
    // The address an IPv4 answer came from is one this machine reached; the
    // first stays the host's address whatever path is heard later (a host on
    // two networks answers from two, and the row would flicker).
    if (from.ss_family == AF_INET && !game->heardOnIpv4) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(from);
        inet_ntop(AF_INET, &v4.sin_addr, game->address, sizeof game->address);
        game->heardOnIpv4 = true;
    } else if (from.ss_family == AF_INET6 && !game->heardOnIpv4) {
        PickIpv4Address(answer, *game);
    }
}

bool LanDiscovery::OnLocalNetwork(const uint8_t address[4]) const {
    const uint32_t host = uint32_t{address[0]} << 24 | uint32_t{address[1]} << 16 |
                          uint32_t{address[2]} << 8 | address[3];
    for (int32_t n = 0; n < networkCount; ++n) {
        if ((host & networks[n].mask) == (networks[n].address & networks[n].mask)) {
            return true;
        }
    }
    return false;
}

void LanDiscovery::PickIpv4Address(const LanAnswer& answer, LanGame& game) const {
    game.address[0] = '\0';
    if (answer.addressCount == 0) {
        return;
    }
    int32_t pick = 0;
    while (pick < answer.addressCount && !OnLocalNetwork(answer.addresses[pick])) {
        ++pick;
    }
    if (pick == answer.addressCount) {
        pick = 0;
    }
    inet_ntop(AF_INET, answer.addresses[pick], game.address, sizeof game.address);
}

void LanDiscovery::ForgetSilent(uint32_t nowMs) {
    int32_t kept = 0;
    for (int32_t k = 0; k < gameCount; ++k) {
        if (nowMs - games[k].heardMs <= forgetAfterMs) {
            if (kept != k) {
                games[kept] = games[k];
            }
            ++kept;
        }
    }
    gameCount = kept;
}
