// PeerLedger: what a test's hand-made peer has heard from a session (its
// handshake, how far its bytes and acknowledgements go, its digests and
// ends), and the input packet that plays along with it.
#pragma once

#include <cstdint>
#include <vector>

#include "net/packet_codec.h"

struct PeerLedger {
    // Reads one packet the session sent; false when it does not decode.
    bool Take(const uint8_t* data, size_t size) {
        Packet packet;
        if (!DecodePacket(data, size, &packet)) {
            return false;
        }
        switch (packet.type) {
            case PacketHello:
                sawHello = true;
                break;
            case PacketInput: {
                const InputPacket& input = packet.input;
                if (input.ack > acked) {
                    acked = input.ack;
                }
                if (input.firstInput <= theirBytes && input.firstInput + input.count > theirBytes) {
                    theirBytes = input.firstInput + input.count;
                }
                break;
            }
            case PacketDigest:
                ++digests;
                break;
            case PacketEnd:
                ends.push_back(packet.end);
                break;
        }
        return true;
    }

    // Zero bytes and no digests: this peer's bytes run its delay (2) ahead of
    // the session's, and it acknowledges all of the session's; the bytes the
    // session has not acknowledged go again.
    InputPacket PlayAlong() const {
        InputPacket input;
        const uint32_t mine = theirBytes + 2;
        input.frame = theirBytes;
        input.ack = theirBytes;
        input.echoHoldMs = 0xFFFF;
        input.firstInput = acked < mine ? acked : mine;
        const uint32_t count = mine - input.firstInput;
        input.count = static_cast<uint8_t>(count < maxInputsPerPacket ? count : maxInputsPerPacket);
        return input;
    }

    bool sawHello = false;
    uint32_t theirBytes = 2;  // the session's bytes held, from frame 0
    uint32_t acked = 2;       // this peer's bytes the session holds
    int32_t digests = 0;
    std::vector<EndPacket> ends;
};
