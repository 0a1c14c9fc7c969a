// A waiting host's discovery answers: built once but for the verdict, limited
// to a number a second, sent back to whoever asked.
#include "net/lan_responder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "net/local_addresses.h"

namespace {

// A non-blocking UDP socket for IPv6 alone on port (the game's IPv4 socket
// holds the same number for IPv4), or -1.
int OpenIpv6Socket(uint16_t port) {
    const int fd = socket(AF_INET6, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int on = 1;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_any;
    address.sin6_port = htons(port);
    // Bound to any address, the socket takes the datagrams sent to the
    // all-nodes group (ff02::1) of every link: every interface is in it.
    if (setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

LanResponder::LanResponder(const LanAdvert& advert) : identity(advert.identity) {
    answer.identity = advert.identity;
    std::random_device random;
    answer.instance = random();
    const size_t length = strnlen(advert.name, maxNameLength);
    for (size_t k = 0; k < length; ++k) {
        const char c = advert.name[k];
        answer.name[k] = c >= 0x20 && c <= 0x7E ? c : '?';
    }
    answer.nameLength = static_cast<uint8_t>(length);
}

LanResponder::~LanResponder() {
    if (ipv6Socket >= 0) {
        close(ipv6Socket);
    }
}

void LanResponder::Start(uint16_t gamePort) {
    answer.port = gamePort;
    answer.addressCount = 0;
    for (const std::string& text : ListLocalAddresses(Ipv4Only)) {
        in_addr address{};
        if (answer.addressCount < lanMaxAddresses &&
            inet_pton(AF_INET, text.c_str(), &address) == 1) {
            std::memcpy(answer.addresses[answer.addressCount++], &address, 4);
        }
    }
    if (ipv6Socket < 0 && gamePort != 0) {
        ipv6Socket = OpenIpv6Socket(gamePort);
    }
}

size_t LanResponder::Answer(const uint8_t* data, size_t size, uint32_t nowMs, uint8_t* out,
                            size_t capacity) {
    LanQuery query;
    if (answer.port == 0 || !DecodeLanQuery(data, size, &query)) {
        return 0;
    }
    if (nowMs - secondStartMs >= 1000) {
        secondStartMs = nowMs;
        answersThisSecond = 0;
    }
    if (answersThisSecond >= answersPerSecond) {
        return 0;
    }
    // Every version gets an answer, one of another version with the reason
    // it cannot play here: the asker lists this host as not playable.
    answer.verdict = JudgeLanIdentity(identity, query.identity);
    const size_t written = EncodeLanAnswer(answer, out, capacity);
    if (written > 0) {
        ++answersThisSecond;
        ++answered;
    }
    return written;
}

void LanResponder::PollIpv6(bool answering, uint32_t nowMs) {
    if (ipv6Socket < 0) {
        return;
    }
    // One byte over the query's size, so that a longer datagram is seen
    // as such and refused.
    uint8_t in[lanQuerySize + 1];
    uint8_t out[lanAnswerMaxSize];
    for (int32_t k = 0; k < datagramsPerPoll; ++k) {
        sockaddr_in6 from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            recvfrom(ipv6Socket, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got < 0) {
            return;
        }
        if (!answering) {
            continue;
        }
        const size_t size = Answer(in, static_cast<size_t>(got), nowMs, out, sizeof out);
        if (size > 0) {
            // A link-local sender's scope (its interface) came with its address.
            sendto(ipv6Socket, out, size, 0, reinterpret_cast<const sockaddr*>(&from), fromSize);
        }
    }
}
