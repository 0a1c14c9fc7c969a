// The packet codec: every packet type round-trips field for field, sizes and
// ranges are refused when wrong, and a byte-exact layout pins the format.
#include <gtest/gtest.h>

#include <cstring>

#include "net/packet_codec.h"

namespace {

HelloPacket SampleHello() {
    HelloPacket hello;
    hello.versionMajor = 1;
    hello.versionMinor = 2;
    hello.artDigest = 0x0123456789ABCDEFull;
    hello.pixelLayout = PixelLayout565;
    hello.inputDelay = 3;
    std::strcpy(hello.name, "Torvik");
    hello.nameLength = 6;
    hello.rule = MatchRule{MatchFirstToKills, 5};
    return hello;
}

InputPacket SampleInput() {
    InputPacket input;
    input.frame = 1000;
    input.ack = 998;
    input.advantage = -3;
    input.sentMs = 0xDEADBEEF;
    input.echoMs = 77;
    input.echoHoldMs = 12;
    input.firstInput = 995;
    input.count = 5;
    const uint8_t controls[] = {0x01, 0x12, 0x3F, 0x00, 0x20};
    std::memcpy(input.controls, controls, sizeof controls);
    return input;
}

}  // namespace

TEST(PacketCodec, EveryTypeRoundTrips) {
    uint8_t buffer[maxPacketSize];
    Packet packet;

    const HelloPacket hello = SampleHello();
    size_t size = EncodeHello(hello, buffer, sizeof buffer);
    ASSERT_EQ(size, 21u + 6u + 2u);
    ASSERT_TRUE(DecodePacket(buffer, size, &packet));
    EXPECT_EQ(packet.type, PacketHello);
    EXPECT_EQ(packet.hello.protocol, packetProtocolVersion);
    EXPECT_EQ(packet.hello.versionMajor, 1);
    EXPECT_EQ(packet.hello.versionMinor, 2);
    EXPECT_EQ(packet.hello.artDigest, hello.artDigest);
    EXPECT_EQ(packet.hello.pixelLayout, PixelLayout565);
    EXPECT_EQ(packet.hello.inputDelay, 3);
    EXPECT_STREQ(packet.hello.name, "Torvik");
    EXPECT_EQ(packet.hello.rule, (MatchRule{MatchFirstToKills, 5}));

    const InputPacket input = SampleInput();
    size = EncodeInput(input, buffer, sizeof buffer);
    ASSERT_EQ(size, 25u + 5u);
    ASSERT_TRUE(DecodePacket(buffer, size, &packet));
    EXPECT_EQ(packet.type, PacketInput);
    EXPECT_EQ(packet.input.frame, 1000u);
    EXPECT_EQ(packet.input.ack, 998u);
    EXPECT_EQ(packet.input.advantage, -3);
    EXPECT_EQ(packet.input.sentMs, 0xDEADBEEFu);
    EXPECT_EQ(packet.input.echoMs, 77u);
    EXPECT_EQ(packet.input.echoHoldMs, 12);
    EXPECT_EQ(packet.input.firstInput, 995u);
    ASSERT_EQ(packet.input.count, 5);
    EXPECT_EQ(std::memcmp(packet.input.controls, input.controls, 5), 0);

    size = EncodeDigest(DigestPacket{120, 0xFEDCBA9876543210ull}, buffer, sizeof buffer);
    ASSERT_EQ(size, 13u);
    ASSERT_TRUE(DecodePacket(buffer, size, &packet));
    EXPECT_EQ(packet.type, PacketDigest);
    EXPECT_EQ(packet.digest.frame, 120u);
    EXPECT_EQ(packet.digest.digest, 0xFEDCBA9876543210ull);

    size = EncodeEnd(EndPacket{EndOutOfSync, 240}, buffer, sizeof buffer);
    ASSERT_EQ(size, 6u);
    ASSERT_TRUE(DecodePacket(buffer, size, &packet));
    EXPECT_EQ(packet.type, PacketEnd);
    EXPECT_EQ(packet.end.reason, EndOutOfSync);
    EXPECT_EQ(packet.end.frame, 240u);
}

// The bytes on the wire, written out by hand from the documented layout.
TEST(PacketCodec, LayoutIsLittleEndianWithoutPadding) {
    uint8_t buffer[maxPacketSize];
    ASSERT_EQ(EncodeDigest(DigestPacket{0x01020304, 0x1122334455667788ull}, buffer, sizeof buffer),
              13u);
    const uint8_t digest[] = {3, 4, 3, 2, 1, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(std::memcmp(buffer, digest, sizeof digest), 0);

    HelloPacket hello = SampleHello();
    std::strcpy(hello.name, "A");
    hello.nameLength = 1;
    hello.rule = MatchRule{MatchTimeLimit, 30};
    ASSERT_EQ(EncodeHello(hello, buffer, sizeof buffer), 24u);
    const uint8_t expected[] = {1,    'K',  'I',  'V',  'O',  2, 1, 0, 2, 0,   0xEF, 0xCD,
                                0xAB, 0x89, 0x67, 0x45, 0x23, 1, 1, 3, 1, 'A', 2,    30};
    EXPECT_EQ(std::memcmp(buffer, expected, sizeof expected), 0);
}

TEST(PacketCodec, RefusesWrongSizesTypesAndRanges) {
    uint8_t buffer[maxPacketSize + 8];
    Packet packet;
    EXPECT_FALSE(DecodePacket(nullptr, 0, &packet));
    EXPECT_FALSE(DecodePacket(buffer, 0, &packet));

    // Every packet cut short, or with a byte too many, is refused.
    const size_t sizes[] = {EncodeHello(SampleHello(), buffer, sizeof buffer)};
    for (size_t cut = 1; cut < sizes[0]; ++cut) {
        EXPECT_FALSE(DecodePacket(buffer, cut, &packet)) << "hello cut to " << cut;
    }
    EXPECT_FALSE(DecodePacket(buffer, sizes[0] + 1, &packet));
    const size_t inputSize = EncodeInput(SampleInput(), buffer, sizeof buffer);
    for (size_t cut = 1; cut < inputSize; ++cut) {
        EXPECT_FALSE(DecodePacket(buffer, cut, &packet)) << "input cut to " << cut;
    }
    EXPECT_FALSE(DecodePacket(buffer, inputSize + 1, &packet));

    // Unknown types.
    buffer[0] = 0;
    EXPECT_FALSE(DecodePacket(buffer, 13, &packet));
    buffer[0] = 5;
    EXPECT_FALSE(DecodePacket(buffer, 13, &packet));

    // Fields out of range, each in an otherwise good packet.
    size_t size = EncodeHello(SampleHello(), buffer, sizeof buffer);
    buffer[1] = 'X';  // magic
    EXPECT_FALSE(DecodePacket(buffer, size, &packet));
    EncodeHello(SampleHello(), buffer, sizeof buffer);
    buffer[18] = 2;  // pixel layout
    EXPECT_FALSE(DecodePacket(buffer, size, &packet));
    EncodeHello(SampleHello(), buffer, sizeof buffer);
    buffer[19] = maxInputDelay + 1;
    EXPECT_FALSE(DecodePacket(buffer, size, &packet));
    EncodeHello(SampleHello(), buffer, sizeof buffer);
    buffer[21] = '\n';  // a name byte that is not printable
    EXPECT_FALSE(DecodePacket(buffer, size, &packet));
    EncodeHello(SampleHello(), buffer, sizeof buffer);
    buffer[20] = maxNameLength + 1;  // a name longer than allowed, packet sized to match
    EXPECT_FALSE(DecodePacket(buffer, 21 + maxNameLength + 1 + 2, &packet));

    size = EncodeInput(SampleInput(), buffer, sizeof buffer);
    buffer[24] = maxInputsPerPacket + 1;  // count past the limit, size to match
    EXPECT_FALSE(DecodePacket(buffer, 25 + maxInputsPerPacket + 1, &packet));

    size = EncodeEnd(EndPacket{EndQuit, 1}, buffer, sizeof buffer);
    buffer[1] = EndNone;
    EXPECT_FALSE(DecodePacket(buffer, size, &packet));
    // A side's own verdicts (connection lost and after) never travel.
    for (int reason = lastSentEndReason + 1; reason < 256; ++reason) {
        buffer[1] = static_cast<uint8_t>(reason);
        EXPECT_FALSE(DecodePacket(buffer, size, &packet)) << "reason " << reason;
    }
}

// The match's rule travels in the handshake as a kind and a value, each in its
// range; anything else is refused as the packet it came in.
TEST(PacketCodec, TheRuleIsHeldToItsRange) {
    struct Case {
        uint8_t kind, value;
        bool accepted;
    };
    const Case cases[] = {
        {MatchEndless, 0, true},        {MatchEndless, 1, false},
        {MatchFirstToKills, 1, true},   {MatchFirstToKills, 99, true},
        {MatchFirstToKills, 0, false},  {MatchFirstToKills, 100, false},
        {MatchTimeLimit, 1, true},      {MatchTimeLimit, 30, true},
        {MatchTimeLimit, 31, false},    {MatchTimeLimit, 255, false},
        {MatchTimeLimit + 1, 1, false}, {255, 5, false},
    };
    for (const Case& c : cases) {
        uint8_t buffer[maxPacketSize];
        const size_t size = EncodeHello(SampleHello(), buffer, sizeof buffer);
        buffer[size - 2] = c.kind;
        buffer[size - 1] = c.value;
        Packet packet;
        EXPECT_EQ(DecodePacket(buffer, size, &packet), c.accepted)
            << "kind " << int{c.kind} << " value " << int{c.value};
        if (c.accepted) {
            EXPECT_EQ(packet.hello.rule, (MatchRule{c.kind, c.value}));
        }
        HelloPacket hello = SampleHello();
        hello.rule = MatchRule{c.kind, c.value};
        EXPECT_EQ(EncodeHello(hello, buffer, sizeof buffer) > 0, c.accepted)
            << "kind " << int{c.kind} << " value " << int{c.value};
    }
}

// A handshake of another protocol is read as far as its name, whatever
// follows (the first protocol's had nothing after it), so that the two sides
// can name their versions; this protocol's must carry its rule.
TEST(PacketCodec, AnotherProtocolsHandshakeIsReadUpToItsName) {
    uint8_t buffer[maxPacketSize] = {};
    HelloPacket hello = SampleHello();
    hello.protocol = 1;
    const size_t oldSize = EncodeHello(hello, buffer, sizeof buffer);
    ASSERT_EQ(oldSize, 21u + 6u);
    Packet packet;
    ASSERT_TRUE(DecodePacket(buffer, oldSize, &packet));
    EXPECT_EQ(packet.hello.protocol, 1);
    EXPECT_STREQ(packet.hello.name, "Torvik");
    EXPECT_EQ(packet.hello.rule, MatchRule{});
    // A later protocol with more after the name.
    buffer[5] = packetProtocolVersion + 1;
    ASSERT_TRUE(DecodePacket(buffer, oldSize + 7, &packet));
    EXPECT_EQ(packet.hello.protocol, packetProtocolVersion + 1);
    EXPECT_EQ(packet.hello.versionMinor, 2);
    // This protocol's without its rule, or with a byte too many.
    buffer[5] = packetProtocolVersion;
    EXPECT_FALSE(DecodePacket(buffer, oldSize, &packet));
    EXPECT_FALSE(DecodePacket(buffer, oldSize + 1, &packet));
    EXPECT_FALSE(DecodePacket(buffer, oldSize + 3, &packet));
}

// Every frame number a peer sends is held to maxMatchFrames, so that the
// session's sums of them with its windows stay far from 2^31.
TEST(PacketCodec, FrameNumbersStayWithinTheMatchBound) {
    constexpr uint32_t bound = maxMatchFrames;
    struct Case {
        const char* field;
        uint32_t frame, ack, first;
        uint8_t count;
        bool accepted;
    };
    const Case cases[] = {
        {"frame at the bound", bound, 0, 0, 0, true},
        {"frame past it", bound + 1, 0, 0, 0, false},
        {"frame 0x7FFFFFFF", 0x7FFFFFFF, 0, 0, 1, false},
        {"frame 0xFFFFFFFF", 0xFFFFFFFF, 0, 0, 1, false},
        {"ack past the bound", 0, bound + 1, 0, 0, false},
        {"inputs ending at the bound", 0, 0, bound - 4, 4, true},
        {"inputs ending past it", 0, 0, bound - 3, 4, false},
        {"first past it, no inputs", 0, 0, bound + 1, 0, false},
    };
    for (const Case& c : cases) {
        // Written field by field, as a peer would: the encoder refuses these.
        uint8_t buffer[maxPacketSize] = {PacketInput};
        const auto put32 = [&buffer](size_t at, uint32_t v) {
            for (int k = 0; k < 4; ++k) {
                buffer[at + k] = static_cast<uint8_t>(v >> (8 * k));
            }
        };
        put32(1, c.frame);
        put32(5, c.ack);
        put32(20, c.first);
        buffer[24] = c.count;
        Packet packet;
        EXPECT_EQ(DecodePacket(buffer, 25u + c.count, &packet), c.accepted) << c.field;
        InputPacket input;
        input.frame = c.frame;
        input.ack = c.ack;
        input.firstInput = c.first;
        input.count = c.count;
        EXPECT_EQ(EncodeInput(input, buffer, sizeof buffer) > 0, c.accepted) << c.field;
    }
    uint8_t buffer[maxPacketSize];
    Packet packet;
    EXPECT_EQ(EncodeDigest(DigestPacket{bound + 1, 1}, buffer, sizeof buffer), 0u);
    EXPECT_EQ(EncodeEnd(EndPacket{EndOutOfSync, bound + 1}, buffer, sizeof buffer), 0u);
    ASSERT_EQ(EncodeDigest(DigestPacket{bound, 1}, buffer, sizeof buffer), 13u);
    ASSERT_TRUE(DecodePacket(buffer, 13, &packet));
    buffer[1] = 0x01;  // frame bound + 1
    EXPECT_FALSE(DecodePacket(buffer, 13, &packet));
    buffer[1] = 0x00;
    buffer[4] = 0x7F;  // frame 0x7F000000
    EXPECT_FALSE(DecodePacket(buffer, 13, &packet));
}

// All eight bits of a control byte travel: a script's byte reaches the other
// side as it was read.
TEST(PacketCodec, ControlBytesTravelWithAllEightBits) {
    InputPacket input;
    for (int first = 0; first < 256; first += maxInputsPerPacket) {
        input.firstInput = static_cast<uint32_t>(first);
        input.count = maxInputsPerPacket;
        for (int k = 0; k < maxInputsPerPacket; ++k) {
            input.controls[k] = static_cast<uint8_t>(first + k);
        }
        uint8_t buffer[maxPacketSize];
        const size_t size = EncodeInput(input, buffer, sizeof buffer);
        ASSERT_EQ(size, static_cast<size_t>(maxPacketSize));
        Packet packet;
        ASSERT_TRUE(DecodePacket(buffer, size, &packet));
        EXPECT_EQ(std::memcmp(packet.input.controls, input.controls, maxInputsPerPacket), 0);
    }
}

TEST(PacketCodec, EncodingRefusesWhatDecodingWould) {
    uint8_t buffer[maxPacketSize];
    HelloPacket hello = SampleHello();
    hello.nameLength = maxNameLength + 1;
    EXPECT_EQ(EncodeHello(hello, buffer, sizeof buffer), 0u);
    hello = SampleHello();
    hello.name[0] = '\t';
    EXPECT_EQ(EncodeHello(hello, buffer, sizeof buffer), 0u);
    EXPECT_EQ(EncodeInput(SampleInput(), buffer, 20), 0u);
    EXPECT_EQ(EncodeEnd(EndPacket{EndNone, 0}, buffer, sizeof buffer), 0u);
    EXPECT_EQ(EncodeEnd(EndPacket{EndConnectionLost, 0}, buffer, sizeof buffer), 0u);
}
