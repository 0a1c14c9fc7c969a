// Discovery messages: this build's identity, the judgement of another's, and
// the untrusting decoder (exact sizes, known kinds, every field in range).
#include "net/lan_message.h"

#include <cstring>

#include "art/art_digest.h"
#include "engine/little_endian.h"

namespace {

// Read as ENet's header, "KI" is a compressed packet for peer 2889: no host
// of the game has that many peers nor takes compressed packets, so ENet
// would drop a discovery message, and a link can take it out first.
constexpr uint8_t lanMagic[4] = {'K', 'I', 'V', 'L'};
constexpr size_t identityEnd = 19;  // magic, kind and identity
constexpr size_t answerFixedSize = 28;

void PutHead(uint8_t kind, const LanIdentity& identity, uint8_t* out) {
    std::memcpy(out, lanMagic, sizeof lanMagic);
    out[4] = kind;
    out[5] = identity.protocol;
    PutLittle16(out + 6, identity.versionMajor);
    PutLittle16(out + 8, identity.versionMinor);
    PutLittle64(out + 10, identity.artDigest);
    out[18] = identity.pixelLayout;
}

bool GetHead(uint8_t kind, const uint8_t* in, size_t size, LanIdentity* identity) {
    if (in == nullptr || size < identityEnd || std::memcmp(in, lanMagic, sizeof lanMagic) != 0 ||
        in[4] != kind) {
        return false;
    }
    identity->protocol = in[5];
    identity->versionMajor = GetLittle16(in + 6);
    identity->versionMinor = GetLittle16(in + 8);
    identity->artDigest = GetLittle64(in + 10);
    identity->pixelLayout = in[18];
    return identity->pixelLayout <= PixelLayout565;
}

bool PrintableName(const char* name, size_t length) {
    for (size_t k = 0; k < length; ++k) {
        if (name[k] < 0x20 || name[k] > 0x7E) {
            return false;
        }
    }
    return true;
}

HelloPacket HelloOf(const LanIdentity& identity) {
    HelloPacket hello;
    hello.protocol = identity.protocol;
    hello.versionMajor = identity.versionMajor;
    hello.versionMinor = identity.versionMinor;
    hello.artDigest = identity.artDigest;
    hello.pixelLayout = identity.pixelLayout;
    return hello;
}

}  // namespace

LanIdentity LocalLanIdentity() {
    LanIdentity identity;
    identity.versionMajor = KIVORO_VERSION_MAJOR;
    identity.versionMinor = KIVORO_VERSION_MINOR;
    identity.artDigest = ArtDigest();
#if KIVORO_PIXEL_565
    identity.pixelLayout = PixelLayout565;
#else
    identity.pixelLayout = PixelLayout555;
#endif
    return identity;
}

LanVerdict JudgeLanIdentity(const LanIdentity& local, const LanIdentity& remote) {
    // The handshake's own rule, so that a game listed as playable is one the
    // handshake accepts.
    switch (HelloRefusal(HelloOf(local), HelloOf(remote))) {
        case EndNone:
            return LanPlayable;
        case EndArtMismatch:
            return LanOtherArt;
        case EndLayoutMismatch:
            return LanOtherLayout;
        default:
            return LanOtherVersion;
    }
}

bool IsLanMessage(const uint8_t* data, size_t size) {
    return data != nullptr && size >= sizeof lanMagic &&
           std::memcmp(data, lanMagic, sizeof lanMagic) == 0;
}

size_t EncodeLanQuery(const LanQuery& query, uint8_t* out, size_t capacity) {
    if (out == nullptr || capacity < lanQuerySize || query.identity.pixelLayout > PixelLayout565) {
        return 0;
    }
    std::memset(out, 0, lanQuerySize);
    PutHead(LanKindQuery, query.identity, out);
    return lanQuerySize;
}

size_t EncodeLanAnswer(const LanAnswer& answer, uint8_t* out, size_t capacity) {
    const size_t size = answerFixedSize + 4 * size_t{answer.addressCount} + answer.nameLength;
    if (out == nullptr || capacity < size || answer.identity.pixelLayout > PixelLayout565 ||
        answer.verdict > lastLanVerdict || answer.port == 0 ||
        answer.addressCount > lanMaxAddresses || answer.nameLength > maxNameLength ||
        !PrintableName(answer.name, answer.nameLength)) {
        return 0;
    }
    PutHead(LanKindAnswer, answer.identity, out);
    out[19] = answer.verdict;
    PutLittle32(out + 20, answer.instance);
    PutLittle16(out + 24, answer.port);
    out[26] = answer.addressCount;
    uint8_t* at = out + 27;
    for (int32_t k = 0; k < answer.addressCount; ++k, at += 4) {
        std::memcpy(at, answer.addresses[k], 4);
    }
    *at++ = answer.nameLength;
    std::memcpy(at, answer.name, answer.nameLength);
    return size;
}

bool DecodeLanQuery(const uint8_t* data, size_t size, LanQuery* out) {
    if (size != lanQuerySize || !GetHead(LanKindQuery, data, size, &out->identity)) {
        return false;
    }
    for (size_t k = identityEnd; k < lanQuerySize; ++k) {
        if (data[k] != 0) {
            return false;
        }
    }
    return true;
}

bool DecodeLanAnswer(const uint8_t* data, size_t size, LanAnswer* out) {
    if (size < answerFixedSize || size > lanAnswerMaxSize ||
        !GetHead(LanKindAnswer, data, size, &out->identity)) {
        return false;
    }
    out->verdict = data[19];
    out->instance = GetLittle32(data + 20);
    out->port = GetLittle16(data + 24);
    out->addressCount = data[26];
    if (out->verdict > lastLanVerdict || out->port == 0 || out->addressCount > lanMaxAddresses) {
        return false;
    }
    const size_t nameAt = 27 + 4 * size_t{out->addressCount};
    if (size <= nameAt) {
        return false;
    }
    for (int32_t k = 0; k < out->addressCount; ++k) {
        std::memcpy(out->addresses[k], data + 27 + 4 * k, 4);
    }
    out->nameLength = data[nameAt];
    if (out->nameLength > maxNameLength || size != nameAt + 1 + out->nameLength) {
        return false;
    }
    std::memcpy(out->name, data + nameAt + 1, out->nameLength);
    out->name[out->nameLength] = '\0';
    return PrintableName(out->name, out->nameLength);
}
