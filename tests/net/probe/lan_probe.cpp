// kivoro_lan_probe: looks for games on the local network as the join page
// does, for the process tests, and prints what answered.
//   kivoro_lan_probe [--port P] [--target ADDRESS]... [--no-broadcast]
//                    [--no-multicast] [--version MAJOR.MINOR] [--want N]
//                    [--seconds S]
// Queries until N games answered (default 1) or S seconds passed (default 5),
// then prints one line a game on standard output:
//   game NAME ADDRESS:PORT version MAJOR.MINOR protocol P VERDICT via ipv4|ipv6
// and on standard error how long it took. --version makes the probe ask as a
// game of that version. Exits 0 when N games answered, 1 otherwise, 2 on bad
// arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "art/rules_world.h"
#include "net/lan_discovery.h"

namespace {

const char* VerdictName(LanVerdict verdict) {
    switch (verdict) {
        case LanPlayable:
            return "playable";
        case LanOtherVersion:
            return "other-version";
        case LanOtherArt:
            return "other-art";
        default:
            return "other-layout";
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kivoro_lan_probe [--port P] [--target ADDRESS]... [--no-broadcast] "
                 "[--no-multicast] [--version MAJOR.MINOR] [--want N] [--seconds S]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uint16_t port = 47700;
    uint32_t paths = LanBroadcast | LanMulticast;
    // The identity's art digest is that of the game's art, as the game loads it.
    SetUpRulesWorld();
    LanIdentity identity = LocalLanIdentity();
    int want = 1;
    double seconds = 5;
    const char* targets[LanDiscovery::maxTargets] = {};
    int targetCount = 0;
    for (int k = 1; k < argc; ++k) {
        const char* arg = argv[k];
        const char* value = k + 1 < argc ? argv[k + 1] : nullptr;
        if (std::strcmp(arg, "--no-broadcast") == 0) {
            paths &= ~LanBroadcast;
        } else if (std::strcmp(arg, "--no-multicast") == 0) {
            paths &= ~LanMulticast;
        } else if (value == nullptr) {
            return Usage();
        } else if (std::strcmp(arg, "--port") == 0) {
            port = static_cast<uint16_t>(std::atoi(value));
            ++k;
        } else if (std::strcmp(arg, "--target") == 0 && targetCount < LanDiscovery::maxTargets) {
            targets[targetCount++] = value;
            ++k;
        } else if (std::strcmp(arg, "--version") == 0) {
            unsigned major = 0;
            unsigned minor = 0;
            if (std::sscanf(value, "%u.%u", &major, &minor) != 2) {
                return Usage();
            }
            identity.versionMajor = static_cast<uint16_t>(major);
            identity.versionMinor = static_cast<uint16_t>(minor);
            ++k;
        } else if (std::strcmp(arg, "--want") == 0) {
            want = std::atoi(value);
            ++k;
        } else if (std::strcmp(arg, "--seconds") == 0) {
            seconds = std::atof(value);
            ++k;
        } else {
            return Usage();
        }
    }
    LanDiscovery discovery;
    if (!discovery.Start(port, identity, paths)) {
        std::fprintf(stderr, "kivoro_lan_probe: no socket could be opened\n");
        return 1;
    }
    for (int k = 0; k < targetCount; ++k) {
        if (!discovery.AddTarget(targets[k])) {
            std::fprintf(stderr, "kivoro_lan_probe: %s is no address to query\n", targets[k]);
            return 2;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    double took = 0;
    for (;;) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        discovery.Poll(static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
        took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (discovery.Count() >= want || took >= seconds) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (int32_t k = 0; k < discovery.Count(); ++k) {
        const LanGame& game = discovery.Game(k);
        std::printf("game %s %s:%u version %u.%u protocol %u %s via %s\n",
                    game.name[0] != '\0' ? game.name : "-",
                    game.address[0] != '\0' ? game.address : "-", static_cast<unsigned>(game.port),
                    static_cast<unsigned>(game.identity.versionMajor),
                    static_cast<unsigned>(game.identity.versionMinor),
                    static_cast<unsigned>(game.identity.protocol), VerdictName(game.verdict),
                    game.heardOnIpv4 ? "ipv4" : "ipv6");
    }
    std::fprintf(stderr, "kivoro_lan_probe: %d game(s) in %.3f s, %d queries to %d targets\n",
                 discovery.Count(), took, discovery.QueriesSent(), discovery.TargetCount());
    return discovery.Count() >= want ? 0 : 1;
}
