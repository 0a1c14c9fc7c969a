// kivoro_hostile_peer: the hostile test client as a program, for the process
// tests. It hosts and never speaks (a host stuck before its handshake), or
// joins and never speaks (a client that never completes the handshake).
//   kivoro_hostile_peer mute-host          prints "listening on port N"
//   kivoro_hostile_peer mute-client PORT
// Either runs until killed.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/net/hostile_client.h"

int main(int argc, char** argv) {
    HostileClient client;
    if (argc == 2 && std::strcmp(argv[1], "mute-host") == 0) {
        if (!client.Host(0)) {
            std::fprintf(stderr, "kivoro_hostile_peer: cannot host\n");
            return 1;
        }
        std::printf("listening on port %u\n", static_cast<unsigned>(client.Port()));
    } else if (argc == 3 && std::strcmp(argv[1], "mute-client") == 0) {
        if (!client.Join(static_cast<uint16_t>(std::atoi(argv[2])))) {
            std::fprintf(stderr, "kivoro_hostile_peer: cannot join\n");
            return 1;
        }
    } else {
        std::fprintf(stderr, "usage: kivoro_hostile_peer mute-host | mute-client PORT\n");
        return 2;
    }
    std::fflush(stdout);
    for (;;) {
        client.Service(100);
    }
}
