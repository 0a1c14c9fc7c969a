// The online match's shared set-up: link, session options, name, exit status.
#include "online/online_link.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/lan_message.h"
#include "net/local_addresses.h"
#include "net/packet_codec.h"

EnetLinkOptions LinkOptionsFor(const OnlineOptions& online) {
    EnetLinkOptions options;
    options.netDelayMs = online.netDelayMs;
    options.netLossPercent = online.netLossPercent;
    // Each side drops its own packets: the two sides' choices must differ,
    // or with the same seed they would lose the same packets in step.
    options.seed = online.role == OnlineHost ? 0x9E3779B97F4A7C15u : 0xC2B2AE3D27D4EB4Fu;
    // A host answers the players on the local network who look for a game
    // (docs/lan-discovery.md), with the name the other player would see.
    if (online.role == OnlineHost) {
        options.lan.enabled = true;
        options.lan.identity = LocalLanIdentity();
        const std::string name = PlayerName(online);
        std::snprintf(options.lan.name, sizeof options.lan.name, "%s", name.c_str());
    }
    return options;
}

std::string StartLink(EnetLink& link, const OnlineOptions& online) {
    if (online.role == OnlineHost) {
        if (!link.Host(online.port)) {
            return "cannot listen on UDP port " + std::to_string(online.port) + " (is it in use?)";
        }
        return {};
    }
    if (!link.Join(online.hostName.c_str(), online.port)) {
        return "cannot reach " + online.hostName + ": the name does not resolve";
    }
    return {};
}

std::vector<std::string> HostAddresses(uint16_t port) {
    std::vector<std::string> addresses = ListLocalAddresses(Ipv4Only);
    for (std::string& address : addresses) {
        address += ":" + std::to_string(port);
    }
    return addresses;
}

void TellWaiting(FILE* errors, uint16_t port, const std::vector<std::string>& addresses) {
    std::fprintf(errors, "kivoro: waiting for a player on port %u\n", static_cast<unsigned>(port));
    if (!addresses.empty()) {
        std::string line;
        for (const std::string& address : addresses) {
            line += (line.empty() ? "" : ", ") + address;
        }
        std::fprintf(errors, "kivoro: this machine is at %s\n", line.c_str());
    }
    std::fflush(errors);
}

std::string PlayerName(const OnlineOptions& online) {
    std::string name = online.name;
    if (name.empty()) {
        // The handshake carries printable ASCII only (--name is held to it);
        // a login name in another script keeps what it can.
        const char* login = std::getenv("USER");
        for (const char* c = login != nullptr ? login : ""; *c != '\0'; ++c) {
            if (*c >= 0x20 && *c <= 0x7E) {
                name += *c;
            }
        }
    }
    if (name.size() > maxNameLength) {
        name.resize(maxNameLength);
    }
    return name;
}

std::string JoinAddress(const OnlineOptions& online) {
    return online.role == OnlineJoin ? online.hostName + ":" + std::to_string(online.port) : "";
}

SessionOptions SessionOptionsFor(const OnlineOptions& online, const std::string& name,
                                 const std::string& address) {
    SessionOptions options;
    options.localPlayer = online.role == OnlineJoin ? 1 : 0;
    options.inputDelay = online.inputDelay;
    options.name = name.c_str();
    options.frameLimit = online.headless ? online.frames : 0;
    options.address = address.c_str();
    options.linkDelayMs = online.netDelayMs;
    options.rule = online.rule;
    return options;
}

int OnlineExitStatus(EndReason reason) {
    switch (reason) {
        case EndFinished:
        case EndQuit:
        case EndCancelled:
            return onlineExitDone;
        case EndOutOfSync:
        case EndLocalFault:
            return onlineExitFailed;
        default:
            return onlineExitOtherSide;
    }
}

int OnlineExitStatus(const RollbackSession& session) {
    return OnlineExitStatus(session.EndReasonCode());
}

void ReportLink(FILE* errors, const RollbackSession& session, const EnetLink& link,
                double seconds) {
    const NetStats& stats = session.Stats();
    const auto wire = static_cast<double>(link.WireBytesSent());
    const int32_t frames = session.ConfirmedFrames();
    std::fprintf(errors,
                 "kivoro: %d frames in %.2f s; round trip %u ms; %d rollbacks, longest %d "
                 "frames; %.0f bytes on the wire, %.0f a second, %.1f a frame\n",
                 frames, seconds, stats.roundTripMs, stats.rollbacks, stats.longestRollback, wire,
                 seconds > 0 ? wire / seconds : 0.0, frames > 0 ? wire / frames : 0.0);
}
