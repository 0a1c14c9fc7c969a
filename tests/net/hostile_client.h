// HostileClient: a test-only ENet peer on 127.0.0.1 that speaks the game's
// packet layout by hand, to do what an honest side never would: end before
// its handshake, lie about frames, send empty or huge packets, stay mute.
// It joins a host, or hosts and never speaks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/net/peer_ledger.h"

struct _ENetHost;
struct _ENetPeer;

class HostileClient {
public:
    HostileClient();
    HostileClient(const HostileClient&) = delete;
    HostileClient& operator=(const HostileClient&) = delete;
    // Goes without a word.
    ~HostileClient();

    // Starts joining the host on 127.0.0.1:port; Service moves it on until
    // Connected. False when ENet cannot start.
    bool Join(uint16_t port);
    // Hosts on port (0: any free one) and takes every client; says nothing.
    bool Host(uint16_t port);
    uint16_t Port() const;

    // Takes what came, waiting up to waitMs for the first event: packets into
    // the ledger, connects and disconnects noted.
    void Service(uint32_t waitMs = 0);
    bool Connected() const { return connected; }
    // The other side let this one go (or ENet gave up on it).
    bool Disconnected() const { return disconnected; }
    int32_t ClientsSeen() const { return clientsSeen; }

    // Sends bytes as they are, of any size, empty included.
    void SendRaw(const uint8_t* data, size_t size, bool reliable);
    // This build's handshake; with rule, its two rule bytes as given, in
    // range or not.
    void Hello(const uint8_t* rule = nullptr);
    void Input(const InputPacket& input);
    void End(EndReason reason, uint32_t frame);
    // The ledger's packet playing along (zero bytes, no digests).
    void PlayAlong() { Input(ledger.PlayAlong()); }
    // Disconnects politely, after what was sent.
    void Leave();
    // Vanishes: no goodbye, nothing more answered.
    void Vanish();

    PeerLedger ledger;

private:
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    bool connected = false;
    bool disconnected = false;
    int32_t clientsSeen = 0;
};
