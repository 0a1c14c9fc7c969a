// The online game's packets and their byte layout: the handshake, the inputs,
// the confirmed-frame digests and the end. Every packet read from the network
// is decoded here, and nothing else of it is trusted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/match_rule.h"

// Layout: little-endian, fixed-size fields, no padding; byte 0 is the type.
// Offsets in bytes.
//
// Hello, type 1, 23 + n bytes. Its layout up to the name never changes, and a
// handshake of another protocol is read that far whatever follows, so any two
// versions read each other's and can name the difference.
//   1 "KIVO"   5 u8 protocol version   6 u16 game version major   8 u16 minor
//   10 u64 art digest (ArtDigest)   18 u8 pixel layout
//   19 u8 input delay, 0..8   20 u8 name length n, 0..16   21 n bytes of name,
//   printable ASCII (0x20..0x7E)
//   21 + n u8 match rule (MatchRuleKind: 0 endless, 1 first to kills, 2 time
//   limit)   22 + n u8 its value: 0 for endless, kills 1..99, minutes 1..30.
//   The host's rule is the match's; the joiner answers with the rule it took.
//
// Input, type 2, 25 + count bytes:
//   1 u32 frame: the sender's next world frame
//   5 u32 ack: how many of the receiver's control bytes the sender holds,
//     counting from world frame 0
//   9 i8 advantage: the sender's frame less its estimate of the receiver's
//     (time sync)
//   10 u32 sent time, ms of the sender's clock
//   14 u32 echo time: the receiver's latest sent time the sender has seen
//   18 u16 echo hold: ms between receiving that and sending this, so the
//     receiver can take its round trip; 0xFFFF: nothing to echo yet
//   20 u32 first: world frame of the first control byte
//   24 u8 count, 0..64   25 count control bytes, for frames first ..
//     first + count - 1; any value 0..255
//
// Digest, type 3, 13 bytes: 1 u32 frames played, 5 u64 rules digest after them.
//
// End, type 4, 6 bytes: 1 u8 reason (EndReason, Quit to NoProgress), 2 u32 frame.
//
// Every frame number (frame, ack, first + count, a digest's or an end's frame)
// is at most maxMatchFrames, so that no sum the session makes of a peer's
// numbers and its own small windows can pass 2^31.
//
// The first player (the host) speaks first: it sends its Hello when a peer
// connects; the second answers with its own once it has read the host's.

// 2: control bytes carry all eight bits; digests travel on the reliable
// channel; the handshake carries the match's rule.
inline constexpr uint8_t packetProtocolVersion = 2;
// About 207 days of play at 60 frames a second.
inline constexpr int32_t maxMatchFrames = 1 << 30;
inline constexpr int32_t maxNameLength = 16;
inline constexpr int32_t maxInputsPerPacket = 64;
inline constexpr int32_t maxPacketSize = 25 + maxInputsPerPacket;  // the longest, an Input
inline constexpr int32_t maxInputDelay = 8;

enum PacketType : uint8_t {
    PacketHello = 1,
    PacketInput = 2,
    PacketDigest = 3,
    PacketEnd = 4,
};

enum PixelLayout : uint8_t {
    PixelLayout555 = 0,
    PixelLayout565 = 1,
};

// Why a match ended: the reasons up to lastSentEndReason travel in the End
// packet; the rest are a side's own verdicts, never sent.
enum EndReason : uint8_t {
    EndNone = 0,
    EndQuit = 1,       // a player left (Escape); frame: the first frame it gives no byte for
    EndFinished = 2,   // a headless run played all its frames; frame: their number
    EndOutOfSync = 3,  // confirmed digests differ; frame says where
    EndVersionMismatch = 4,
    EndArtMismatch = 5,
    EndLayoutMismatch = 6,
    EndProtocolError = 7,   // the other side broke the protocol
    EndNoProgress = 8,      // no frame was confirmed for the progress limit
    EndConnectionLost = 9,  // the other side went silent, or its link timed out
    EndLeft = 10,           // the other side closed the link without an End
    EndNoAnswer = 11,       // a join that never connected
    EndNoHandshake = 12,    // connected, but no handshake came in time
    EndCancelled = 13,      // this side quit before play began
    EndLocalFault = 14,     // this side could not build or send a packet
};
inline constexpr uint8_t lastSentEndReason = EndNoProgress;

struct HelloPacket {
    uint8_t protocol = packetProtocolVersion;
    uint16_t versionMajor = 0;
    uint16_t versionMinor = 0;
    uint64_t artDigest = 0;
    uint8_t pixelLayout = PixelLayout555;
    uint8_t inputDelay = 0;
    uint8_t nameLength = 0;
    char name[maxNameLength + 1] = {};  // nul-terminated
    // When the match is over. Sent by this protocol only: a handshake of
    // another reads as endless.
    MatchRule rule;
};

struct InputPacket {
    uint32_t frame = 0;
    uint32_t ack = 0;
    int8_t advantage = 0;
    uint32_t sentMs = 0;
    uint32_t echoMs = 0;
    uint16_t echoHoldMs = 0;
    uint32_t firstInput = 0;
    uint8_t count = 0;
    uint8_t controls[maxInputsPerPacket] = {};
};

struct DigestPacket {
    uint32_t frame = 0;
    uint64_t digest = 0;
};

struct EndPacket {
    uint8_t reason = EndNone;
    uint32_t frame = 0;
};

// One decoded packet: type says which member holds it.
struct Packet {
    uint8_t type = 0;
    HelloPacket hello;
    InputPacket input;
    DigestPacket digest;
    EndPacket end;
};

// Each writes the packet into out and answers its size, or 0 when it does not
// fit in capacity or a field is out of range (a name too long or not
// printable, a rule out of its range, too many inputs, a delay past
// maxInputDelay, a frame past maxMatchFrames, a reason that is not sent). A
// handshake of another protocol than this one is written without the rule.
size_t EncodeHello(const HelloPacket& hello, uint8_t* out, size_t capacity);
size_t EncodeInput(const InputPacket& input, uint8_t* out, size_t capacity);
size_t EncodeDigest(const DigestPacket& digest, uint8_t* out, size_t capacity);
size_t EncodeEnd(const EndPacket& end, uint8_t* out, size_t capacity);

// Why two handshakes cannot play each other (another protocol or game
// version, other art, another pixel layout), or EndNone when they can.
EndReason HelloRefusal(const HelloPacket& local, const HelloPacket& remote);

// Reads size bytes as one packet. False, with out's contents unspecified, for
// anything but an exactly sized packet of a known type whose every field is in
// range: the caller drops it and counts it.
bool DecodePacket(const uint8_t* data, size_t size, Packet* out);
