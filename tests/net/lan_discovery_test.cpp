// Discovery over real sockets in one process: a waiting EnetLink host and the
// discovery client on loopback (127.0.0.1, its broadcast address and ::1).
// The host is listed once however many paths reach it, a host of another
// version is listed as not playable, a host stops answering once a player is
// connected, and junk on the game's port disturbs neither ENet nor the
// answers. The loops' limits only catch a hang; their times are printed.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "net/enet_link.h"
#include "net/lan_discovery.h"

namespace {

constexpr auto hangGuard = std::chrono::seconds(10);

LanIdentity TestIdentity() {
    LanIdentity identity;
    identity.versionMajor = 1;
    identity.versionMinor = 0;
    identity.artDigest = 0xFEEDFACECAFEBEEFu;
    return identity;
}

EnetLinkOptions AdvertisingHost(const char* name, const LanIdentity& identity = TestIdentity()) {
    EnetLinkOptions options;
    options.lan.enabled = true;
    options.lan.identity = identity;
    std::snprintf(options.lan.name, sizeof options.lan.name, "%s", name);
    return options;
}

uint32_t NowMs() {
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
}

// Services the links and polls the discovery until done() holds; false after
// the guard. Prints how long it took.
bool PollUntil(LanDiscovery& discovery, std::initializer_list<EnetLink*> links,
               const std::function<bool()>& done, const char* what) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < hangGuard) {
        for (EnetLink* link : links) {
            link->Service();
        }
        discovery.Poll(NowMs());
        if (done()) {
            std::printf(
                "%s after %.3f s\n", what,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Whether this machine gives a socket an IPv6 loopback address.
bool HasIpv6Loopback() {
    const int fd = socket(AF_INET6, SOCK_DGRAM, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

void SendTo(uint16_t port, const void* data, size_t size) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    sendto(fd, data, size, 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);
}

TEST(LanDiscovery, FindsAWaitingHostOnceOverEveryPath) {
    EnetLink host(AdvertisingHost("Ann"));
    ASSERT_TRUE(host.Host(0));
    LanDiscovery discovery;
    ASSERT_TRUE(discovery.Start(host.Port(), TestIdentity(), 0));
    ASSERT_TRUE(discovery.AddTarget("127.0.0.1"));
    ASSERT_TRUE(discovery.AddTarget("127.255.255.255"));
    const bool ipv6 = HasIpv6Loopback() && discovery.AddTarget("::1");
    EXPECT_FALSE(discovery.AddTarget("not an address"));
    EXPECT_FALSE(discovery.AddTarget("127.0.0.1"));  // already a target

    // Every path answered: more answers than games.
    const int32_t paths = ipv6 ? 3 : 2;
    ASSERT_TRUE(PollUntil(
        discovery, {&host}, [&] { return host.LanAnswered() >= paths; }, "every path answered"));
    // Every answer read (the last may still be on its way).
    int32_t polls = 0;
    PollUntil(
        discovery, {&host}, [&] { return ++polls == 100; }, "read the answers");
    ASSERT_EQ(discovery.Count(), 1);
    const LanGame& game = discovery.Game(0);
    EXPECT_STREQ(game.name, "Ann");
    EXPECT_EQ(game.port, host.Port());
    EXPECT_EQ(game.verdict, LanPlayable);
    EXPECT_TRUE(game.Joinable());
    EXPECT_TRUE(game.heardOnIpv4);
    EXPECT_STREQ(game.address, "127.0.0.1");
    EXPECT_EQ(game.identity.artDigest, TestIdentity().artDigest);
    std::printf("%d answers over %d paths, one game listed (IPv6 %s)\n", host.LanAnswered(), paths,
                ipv6 ? "tried" : "not on this machine");
}

TEST(LanDiscovery, ListsAHostOfAnotherVersionAsNotPlayable) {
    LanIdentity newer = TestIdentity();
    ++newer.versionMinor;
    EnetLink other(AdvertisingHost("Newer", newer));
    EnetLink same(AdvertisingHost("Same"));
    ASSERT_TRUE(other.Host(0));
    ASSERT_TRUE(same.Host(0));
    // Two discoveries, one port each: the hosts are on two ports.
    LanDiscovery toOther;
    LanDiscovery toSame;
    ASSERT_TRUE(toOther.Start(other.Port(), TestIdentity(), 0));
    ASSERT_TRUE(toSame.Start(same.Port(), newer, 0));
    ASSERT_TRUE(toOther.AddTarget("127.0.0.1"));
    ASSERT_TRUE(toSame.AddTarget("127.0.0.1"));
    ASSERT_TRUE(PollUntil(
        toOther, {&other, &same},
        [&] {
            toSame.Poll(NowMs());
            return toOther.Count() == 1 && toSame.Count() == 1;
        },
        "both hosts answered"));
    // The host of another version, heard by this one; and this version's
    // host, heard by a game of the other: neither can play.
    for (const LanGame* game : {&toOther.Game(0), &toSame.Game(0)}) {
        EXPECT_EQ(game->verdict, LanOtherVersion) << game->name;
        EXPECT_FALSE(game->Joinable()) << game->name;
    }
    EXPECT_EQ(toOther.Game(0).identity.versionMinor, newer.versionMinor);
}

TEST(LanDiscovery, AHostAnswersOnlyWhileItWaits) {
    EnetLink host(AdvertisingHost("Ann"));
    EnetLink joiner;  // joiners never answer
    ASSERT_TRUE(host.Host(0));
    LanDiscovery discovery;
    ASSERT_TRUE(discovery.Start(host.Port(), TestIdentity(), 0));
    ASSERT_TRUE(discovery.AddTarget("127.0.0.1"));
    ASSERT_TRUE(PollUntil(
        discovery, {&host}, [&] { return discovery.Count() == 1; }, "the waiting host answered"));

    // Junk that looks like a discovery message, and junk that does not, on
    // the game's port: ENet still connects the player.
    const char junk[] = "KIVL that is no query";
    SendTo(host.Port(), junk, sizeof junk);
    const uint8_t noise[7] = {0xFF, 0x0F, 1, 2, 3, 4, 5};
    SendTo(host.Port(), noise, sizeof noise);
    ASSERT_TRUE(joiner.Join("127.0.0.1", host.Port()));
    ASSERT_TRUE(PollUntil(
        discovery, {&host, &joiner},
        [&] { return host.Status() == LinkConnected && joiner.Status() == LinkConnected; },
        "the player connected"));

    // Connected: the queries go unanswered and the host is forgotten.
    const int32_t answered = host.LanAnswered();
    ASSERT_TRUE(PollUntil(
        discovery, {&host, &joiner}, [&] { return discovery.QueriesSent() >= 2; },
        "queried again"));
    for (int32_t k = 0; k < 50; ++k) {
        host.Service();
        joiner.Service();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(host.LanAnswered(), answered);
    discovery.Poll(NowMs() + LanDiscovery::forgetAfterMs + 1);
    EXPECT_EQ(discovery.Count(), 0);

    // The player let go: the host waits, and answers, again.
    host.DropPeer();
    LanDiscovery again;
    ASSERT_TRUE(again.Start(host.Port(), TestIdentity(), 0));
    ASSERT_TRUE(again.AddTarget("127.0.0.1"));
    ASSERT_TRUE(PollUntil(
        again, {&host, &joiner}, [&] { return again.Count() == 1; },
        "the host waiting again answered"));
}

}  // namespace
