// Packet encoding and the untrusting decoder: exact sizes, known types, every
// field in range.
#include "net/packet_codec.h"

#include <cstring>

#include "engine/little_endian.h"

namespace {

constexpr uint8_t helloMagic[4] = {'K', 'I', 'V', 'O'};
constexpr size_t helloFixedSize = 21;  // up to the name
constexpr size_t helloRuleSize = 2;    // after the name
constexpr size_t inputFixedSize = 25;
constexpr size_t digestSize = 13;
constexpr size_t endSize = 6;
constexpr auto frameBound = static_cast<uint32_t>(maxMatchFrames);

// Little-endian writing and reading at a running offset. The callers check
// the sizes first; these never look at them.
class Writer {
public:
    explicit Writer(uint8_t* out) : out(out) {}
    void U8(uint8_t v) { out[at++] = v; }
    void U16(uint16_t v) {
        PutLittle16(out + at, v);
        at += 2;
    }
    void U32(uint32_t v) {
        PutLittle32(out + at, v);
        at += 4;
    }
    void U64(uint64_t v) {
        PutLittle64(out + at, v);
        at += 8;
    }
    void Bytes(const void* data, size_t size) {
        std::memcpy(out + at, data, size);
        at += size;
    }
    size_t at = 0;

private:
    uint8_t* out;
};

class Reader {
public:
    explicit Reader(const uint8_t* in) : in(in) {}
    uint8_t U8() { return in[at++]; }
    uint16_t U16() { return GetLittle16(Bytes(2)); }
    uint32_t U32() { return GetLittle32(Bytes(4)); }
    uint64_t U64() { return GetLittle64(Bytes(8)); }
    const uint8_t* Bytes(size_t size) {
        const uint8_t* start = in + at;
        at += size;
        return start;
    }
    size_t at = 0;

private:
    const uint8_t* in;
};

bool PrintableName(const char* name, size_t length) {
    for (size_t k = 0; k < length; ++k) {
        if (name[k] < 0x20 || name[k] > 0x7E) {
            return false;
        }
    }
    return true;
}

// A rule exactly as it travels: a known kind, its value in range, and 0 for
// endless.
bool ValidRule(const MatchRule& rule) {
    return rule.Checked() == rule;
}

// Whether a handshake of this protocol carries the rule after the name.
bool CarriesRule(const HelloPacket& hello) {
    return hello.protocol == packetProtocolVersion;
}

bool ValidInputFrames(const InputPacket& input) {
    return input.frame <= frameBound && input.ack <= frameBound &&
           input.firstInput <= frameBound - input.count;
}

bool ValidEnd(const EndPacket& end) {
    return end.reason != EndNone && end.reason <= lastSentEndReason && end.frame <= frameBound;
}

bool DecodeHello(const uint8_t* data, size_t size, HelloPacket* hello) {
    if (size < helloFixedSize || std::memcmp(data + 1, helloMagic, sizeof helloMagic) != 0) {
        return false;
    }
    Reader r(data + 5);
    hello->protocol = r.U8();
    hello->versionMajor = r.U16();
    hello->versionMinor = r.U16();
    hello->artDigest = r.U64();
    hello->pixelLayout = r.U8();
    hello->inputDelay = r.U8();
    hello->nameLength = r.U8();
    const size_t named = helloFixedSize + hello->nameLength;
    // Another protocol's handshake is read up to its name, for its version;
    // this protocol's is exactly as long as its rule makes it.
    if (hello->pixelLayout > PixelLayout565 || hello->inputDelay > maxInputDelay ||
        hello->nameLength > maxNameLength || size < named ||
        (CarriesRule(*hello) && size != named + helloRuleSize)) {
        return false;
    }
    std::memcpy(hello->name, r.Bytes(hello->nameLength), hello->nameLength);
    hello->name[hello->nameLength] = '\0';
    hello->rule = MatchRule{};
    if (CarriesRule(*hello)) {
        hello->rule.kind = r.U8();
        hello->rule.value = r.U8();
        if (!ValidRule(hello->rule)) {
            return false;
        }
    }
    return PrintableName(hello->name, hello->nameLength);
}

bool DecodeInput(const uint8_t* data, size_t size, InputPacket* input) {
    if (size < inputFixedSize) {
        return false;
    }
    Reader r(data + 1);
    input->frame = r.U32();
    input->ack = r.U32();
    input->advantage = static_cast<int8_t>(r.U8());
    input->sentMs = r.U32();
    input->echoMs = r.U32();
    input->echoHoldMs = r.U16();
    input->firstInput = r.U32();
    input->count = r.U8();
    if (input->count > maxInputsPerPacket || size != inputFixedSize + input->count ||
        !ValidInputFrames(*input)) {
        return false;
    }
    std::memcpy(input->controls, r.Bytes(input->count), input->count);
    return true;
}

}  // namespace

size_t EncodeHello(const HelloPacket& hello, uint8_t* out, size_t capacity) {
    const size_t size =
        helloFixedSize + hello.nameLength + (CarriesRule(hello) ? helloRuleSize : 0);
    if (hello.nameLength > maxNameLength || size > capacity || hello.inputDelay > maxInputDelay ||
        hello.pixelLayout > PixelLayout565 || !PrintableName(hello.name, hello.nameLength) ||
        (CarriesRule(hello) && !ValidRule(hello.rule))) {
        return 0;
    }
    Writer w(out);
    w.U8(PacketHello);
    w.Bytes(helloMagic, sizeof helloMagic);
    w.U8(hello.protocol);
    w.U16(hello.versionMajor);
    w.U16(hello.versionMinor);
    w.U64(hello.artDigest);
    w.U8(hello.pixelLayout);
    w.U8(hello.inputDelay);
    w.U8(hello.nameLength);
    w.Bytes(hello.name, hello.nameLength);
    if (CarriesRule(hello)) {
        w.U8(hello.rule.kind);
        w.U8(static_cast<uint8_t>(hello.rule.value));
    }
    return w.at;
}

size_t EncodeInput(const InputPacket& input, uint8_t* out, size_t capacity) {
    const size_t size = inputFixedSize + input.count;
    if (input.count > maxInputsPerPacket || size > capacity || !ValidInputFrames(input)) {
        return 0;
    }
    Writer w(out);
    w.U8(PacketInput);
    w.U32(input.frame);
    w.U32(input.ack);
    w.U8(static_cast<uint8_t>(input.advantage));
    w.U32(input.sentMs);
    w.U32(input.echoMs);
    w.U16(input.echoHoldMs);
    w.U32(input.firstInput);
    w.U8(input.count);
    w.Bytes(input.controls, input.count);
    return w.at;
}

size_t EncodeDigest(const DigestPacket& digest, uint8_t* out, size_t capacity) {
    if (capacity < digestSize || digest.frame > frameBound) {
        return 0;
    }
    Writer w(out);
    w.U8(PacketDigest);
    w.U32(digest.frame);
    w.U64(digest.digest);
    return w.at;
}

size_t EncodeEnd(const EndPacket& end, uint8_t* out, size_t capacity) {
    if (capacity < endSize || !ValidEnd(end)) {
        return 0;
    }
    Writer w(out);
    w.U8(PacketEnd);
    w.U8(end.reason);
    w.U32(end.frame);
    return w.at;
}

EndReason HelloRefusal(const HelloPacket& local, const HelloPacket& remote) {
    if (remote.protocol != local.protocol || remote.versionMajor != local.versionMajor ||
        remote.versionMinor != local.versionMinor) {
        return EndVersionMismatch;
    }
    if (remote.artDigest != local.artDigest) {
        return EndArtMismatch;
    }
    if (remote.pixelLayout != local.pixelLayout) {
        return EndLayoutMismatch;
    }
    return EndNone;
}

bool DecodePacket(const uint8_t* data, size_t size, Packet* out) {
    if (data == nullptr || size == 0) {
        return false;
    }
    out->type = data[0];
    switch (data[0]) {
        case PacketHello:
            return DecodeHello(data, size, &out->hello);
        case PacketInput:
            return DecodeInput(data, size, &out->input);
        case PacketDigest: {
            if (size != digestSize) {
                return false;
            }
            Reader r(data + 1);
            out->digest.frame = r.U32();
            out->digest.digest = r.U64();
            return out->digest.frame <= frameBound;
        }
        case PacketEnd: {
            if (size != endSize) {
                return false;
            }
            Reader r(data + 1);
            out->end.reason = r.U8();
            out->end.frame = r.U32();
            return ValidEnd(out->end);
        }
        default:
            return false;
    }
}
