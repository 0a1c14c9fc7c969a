// The messages that find games on the local network: a query a player's game
// sends round the network, and the answer of a host waiting for a player.
// Both are read here, and nothing else of them is trusted (docs/lan-discovery.md).
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/packet_codec.h"

// Layout: little-endian, fixed-size fields, no padding. Offsets in bytes.
// The layout never changes, so that every version reads every other's and can
// say that it is another version; a later one that needs more adds a kind.
//
// Query, kind 1, exactly 64 bytes:
//   0 "KIVL"   4 u8 kind   5 u8 protocol version   6 u16 game version major
//   8 u16 minor   10 u64 art digest   18 u8 pixel layout   19 45 zero bytes.
//   The padding makes a query as long as the longest answer: a query with a
//   forged sender makes a host send no more than it was sent.
//
// Answer, kind 2, 28 + 4n + m bytes (60 at most):
//   0 "KIVL"   4 u8 kind   5 u8 protocol   6 u16 major   8 u16 minor
//   10 u64 art digest   18 u8 pixel layout (the host's, as in the query)
//   19 u8 verdict: the host's judgement of the asker (LanVerdict, 0..3)
//   20 u32 instance: drawn at random when the host starts, so that one host
//     heard on two paths is listed once
//   24 u16 game port (1..65535)
//   26 u8 n, 0..4   27 n IPv4 addresses, 4 bytes each in network order: where
//     the host can be joined (the game's link speaks IPv4 only, and an answer
//     heard over IPv6 comes from an address it cannot join)
//   27 + 4n u8 m, 0..16   28 + 4n m bytes of name, printable ASCII

inline constexpr size_t lanQuerySize = 64;
inline constexpr size_t lanAnswerMaxSize = 60;
inline constexpr int32_t lanMaxAddresses = 4;

enum LanKind : uint8_t {
    LanKindQuery = 1,
    LanKindAnswer = 2,
};

// Whether two games can play each other; the reasons they cannot are those
// of the handshake (HelloRefusal).
enum LanVerdict : uint8_t {
    LanPlayable = 0,
    LanOtherVersion = 1,  // another protocol or game version
    LanOtherArt = 2,
    LanOtherLayout = 3,
};
inline constexpr uint8_t lastLanVerdict = LanOtherLayout;

// What a game must share with another to play it.
struct LanIdentity {
    uint8_t protocol = packetProtocolVersion;
    uint16_t versionMajor = 0;
    uint16_t versionMinor = 0;
    uint64_t artDigest = 0;
    uint8_t pixelLayout = PixelLayout555;
};

struct LanQuery {
    LanIdentity identity;
};

struct LanAnswer {
    LanIdentity identity;
    uint8_t verdict = LanPlayable;
    uint32_t instance = 0;
    uint16_t port = 0;
    uint8_t addressCount = 0;
    uint8_t addresses[lanMaxAddresses][4] = {};
    uint8_t nameLength = 0;
    char name[maxNameLength + 1] = {};  // nul-terminated
};

// This build's identity: its version, its art's digest, its pixel layout.
// The art must have been loaded (its digest is that of the shapes cut).
LanIdentity LocalLanIdentity();

// Whether a game of identity remote can play this one (local).
LanVerdict JudgeLanIdentity(const LanIdentity& local, const LanIdentity& remote);

// Whether a datagram starts as this game's discovery messages do: one that
// does is never an ENet packet, whatever follows.
bool IsLanMessage(const uint8_t* data, size_t size);

// Each writes the message into out and answers its size, or 0 when it does
// not fit in capacity or a field is out of range.
size_t EncodeLanQuery(const LanQuery& query, uint8_t* out, size_t capacity);
size_t EncodeLanAnswer(const LanAnswer& answer, uint8_t* out, size_t capacity);

// Each reads size bytes as one message of its kind. False, with out's
// contents unspecified, for anything but an exactly sized message whose every
// field is in range.
bool DecodeLanQuery(const uint8_t* data, size_t size, LanQuery* out);
bool DecodeLanAnswer(const uint8_t* data, size_t size, LanAnswer* out);
