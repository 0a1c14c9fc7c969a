// Feeds arbitrary bytes to the packet decoder, as a network would. Whatever it
// accepts must encode back to exactly the bytes it was given (the layout has
// one spelling per packet; another protocol's handshake, to its name), so a decoder that reads a
// field wrongly or lets a bad one through shows up here as well as under the sanitizers.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/packet_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Packet packet;
    if (!DecodePacket(data, size, &packet)) {
        return 0;
    }
    uint8_t out[maxPacketSize];
    size_t written = 0;
    switch (packet.type) {
        case PacketHello:
            written = EncodeHello(packet.hello, out, sizeof out);
            break;
        case PacketInput:
            written = EncodeInput(packet.input, out, sizeof out);
            break;
        case PacketDigest:
            written = EncodeDigest(packet.digest, out, sizeof out);
            break;
        case PacketEnd:
            written = EncodeEnd(packet.end, out, sizeof out);
            break;
        default:
            std::abort();  // accepted a type that does not exist
    }
    // A handshake of another protocol is read, and written again, as far as
    // its name.
    const bool readInPart =
        packet.type == PacketHello && packet.hello.protocol != packetProtocolVersion;
    if (written == 0 || written > size || (written != size && !readInPart) ||
        std::memcmp(out, data, written) != 0) {
        std::abort();
    }
    return 0;
}
