// The discovery messages: byte layouts written out by hand, round trips, the
// refusals of every malformed message, the judgement of another build, and a
// responder's answers and their limit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net/lan_message.h"
#include "net/lan_responder.h"

namespace {

LanIdentity SomeIdentity() {
    LanIdentity identity;
    identity.protocol = 2;
    identity.versionMajor = 1;
    identity.versionMinor = 3;
    identity.artDigest = 0x1122334455667788u;
    identity.pixelLayout = PixelLayout565;
    return identity;
}

LanAnswer SomeAnswer(int32_t addresses, const char* name) {
    LanAnswer answer;
    answer.identity = SomeIdentity();
    answer.verdict = LanOtherArt;
    answer.instance = 0xA1B2C3D4;
    answer.port = 47700;
    answer.addressCount = static_cast<uint8_t>(addresses);
    for (int32_t k = 0; k < addresses; ++k) {
        const uint8_t address[4] = {192, 168, 1, static_cast<uint8_t>(10 + k)};
        std::memcpy(answer.addresses[k], address, 4);
    }
    answer.nameLength = static_cast<uint8_t>(std::strlen(name));
    std::memcpy(answer.name, name, answer.nameLength);
    return answer;
}

std::vector<uint8_t> Encoded(const LanAnswer& answer) {
    std::vector<uint8_t> bytes(lanAnswerMaxSize);
    bytes.resize(EncodeLanAnswer(answer, bytes.data(), bytes.size()));
    return bytes;
}

std::vector<uint8_t> EncodedQuery(const LanIdentity& identity) {
    std::vector<uint8_t> bytes(lanQuerySize);
    LanQuery query;
    query.identity = identity;
    bytes.resize(EncodeLanQuery(query, bytes.data(), bytes.size()));
    return bytes;
}

TEST(LanMessage, QueryLayoutIsAsDocumented) {
    const std::vector<uint8_t> bytes = EncodedQuery(SomeIdentity());
    const std::vector<uint8_t> head = {'K',  'I',  'V',  'L',  1,    2,    1,    0,    3, 0,
                                       0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 1};
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 19), head);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 19, bytes.end()), std::vector<uint8_t>(45, 0));
    LanQuery back;
    ASSERT_TRUE(DecodeLanQuery(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(back.identity.artDigest, 0x1122334455667788u);
    EXPECT_EQ(back.identity.versionMinor, 3);
    EXPECT_EQ(back.identity.pixelLayout, PixelLayout565);
}

TEST(LanMessage, AnswerLayoutIsAsDocumented) {
    const std::vector<uint8_t> bytes = Encoded(SomeAnswer(1, "Ann"));
    const std::vector<uint8_t> expected = {'K',  'I',  'V',  'L',  2,    2,    1,    0,    3, 0,
                                           0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 1,
                                           2,                           // verdict: other art
                                           0xD4, 0xC3, 0xB2, 0xA1,      // instance
                                           0x54, 0xBA,                  // port 47700
                                           1,    192,  168,  1,    10,  // one address
                                           3,    'A',  'n',  'n'};
    EXPECT_EQ(bytes, expected);
}

TEST(LanMessage, AnswersRoundTripWithEveryAddressCountAndNameLength) {
    for (int32_t addresses = 0; addresses <= lanMaxAddresses; ++addresses) {
        for (const char* name : {"", "x", "Ann on the sofa!", "~ {}|"}) {
            const LanAnswer answer = SomeAnswer(addresses, name);
            const std::vector<uint8_t> bytes = Encoded(answer);
            ASSERT_EQ(bytes.size(), 28u + 4u * addresses + std::strlen(name));
            LanAnswer back;
            ASSERT_TRUE(DecodeLanAnswer(bytes.data(), bytes.size(), &back)) << addresses << name;
            EXPECT_STREQ(back.name, name);
            EXPECT_EQ(back.addressCount, addresses);
            EXPECT_EQ(std::memcmp(back.addresses, answer.addresses, sizeof back.addresses), 0);
            EXPECT_EQ(back.instance, answer.instance);
            EXPECT_EQ(back.port, 47700);
            EXPECT_EQ(back.verdict, LanOtherArt);
            EXPECT_EQ(back.identity.artDigest, answer.identity.artDigest);
        }
    }
}

TEST(LanMessage, RefusesEveryMalformedAnswer) {
    const std::vector<uint8_t> good = Encoded(SomeAnswer(2, "Bob"));  // 39 bytes
    struct Case {
        const char* what;
        size_t offset;  // the byte changed, or the size cut to, or grown by one
        int32_t value;  // -1: cut to offset; -2: one byte more
    };
    const Case cases[] = {
        {"wrong magic", 3, 'O'},
        {"a query's kind", 4, LanKindQuery},
        {"an unknown kind", 4, 9},
        {"a pixel layout past 5-6-5", 18, 2},
        {"a verdict past the last", 19, 4},
        {"port 0", 24, 0},
        {"five addresses", 26, 5},
        {"the address count off by one", 26, 1},
        {"a name longer than the limit", 35, 17},
        {"the name length off by one", 35, 4},
        {"a control character in the name", 37, 0x1F},
        {"DEL in the name", 37, 0x7F},
        {"a byte past ASCII in the name", 37, 0xE9},
        {"cut before the identity ends", 10, -1},
        {"cut before the name length", 35, -1},
        {"cut in the name", 38, -1},
        {"one byte too many", 0, -2},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        if (c.value == -1) {
            bytes.resize(c.offset);
        } else if (c.value == -2) {
            bytes.push_back(0);
        } else if (c.offset == 24) {
            bytes[24] = bytes[25] = 0;
        } else {
            bytes[c.offset] = static_cast<uint8_t>(c.value);
        }
        LanAnswer back;
        EXPECT_FALSE(DecodeLanAnswer(bytes.data(), bytes.size(), &back)) << c.what;
    }
    // Every size short of the whole, and a message as long as the longest
    // with its counts too small.
    for (size_t size = 0; size < good.size(); ++size) {
        LanAnswer back;
        EXPECT_FALSE(DecodeLanAnswer(good.data(), size, &back)) << size;
    }
    std::vector<uint8_t> padded = good;
    padded.resize(lanAnswerMaxSize + 1);
    LanAnswer back;
    EXPECT_FALSE(DecodeLanAnswer(padded.data(), padded.size(), &back));
    EXPECT_FALSE(DecodeLanAnswer(nullptr, 0, &back));
}

TEST(LanMessage, RefusesEveryMalformedQuery) {
    const std::vector<uint8_t> good = EncodedQuery(SomeIdentity());
    LanQuery back;
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(DecodeLanQuery(good.data(), size, &back)) << size;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(DecodeLanQuery(longer.data(), longer.size(), &back));
    for (const size_t offset : {size_t{0}, size_t{4}, size_t{18}, size_t{19}, size_t{63}}) {
        std::vector<uint8_t> bytes = good;
        bytes[offset] = 7;  // magic, kind, layout, padding
        EXPECT_FALSE(DecodeLanQuery(bytes.data(), bytes.size(), &back)) << offset;
    }
    // An answer is no query, and the other way round.
    const std::vector<uint8_t> answer = Encoded(SomeAnswer(0, ""));
    EXPECT_FALSE(DecodeLanQuery(answer.data(), answer.size(), &back));
    LanAnswer notAnswer;
    EXPECT_FALSE(DecodeLanAnswer(good.data(), good.size(), &notAnswer));
}

TEST(LanMessage, EncodersRefuseFieldsOutOfRange) {
    uint8_t out[lanAnswerMaxSize];
    LanAnswer badName = SomeAnswer(0, "Ann");
    badName.name[1] = '\n';
    LanAnswer noPort = SomeAnswer(0, "Ann");
    noPort.port = 0;
    LanAnswer tooMany = SomeAnswer(0, "Ann");
    tooMany.addressCount = lanMaxAddresses + 1;
    for (const LanAnswer& answer : {badName, noPort, tooMany}) {
        EXPECT_EQ(EncodeLanAnswer(answer, out, sizeof out), 0u);
    }
    const LanAnswer good = SomeAnswer(4, "0123456789abcdef");
    EXPECT_EQ(EncodeLanAnswer(good, out, sizeof out), lanAnswerMaxSize);
    EXPECT_EQ(EncodeLanAnswer(good, out, lanAnswerMaxSize - 1), 0u);
    LanQuery query;
    EXPECT_EQ(EncodeLanQuery(query, out, lanQuerySize - 1), 0u);
}

TEST(LanMessage, JudgesAnotherBuildAsTheHandshakeWould) {
    const LanIdentity local = SomeIdentity();
    struct Case {
        const char* what;
        void (*change)(LanIdentity&);
        LanVerdict verdict;
    };
    const Case cases[] = {
        {"the same build", [](LanIdentity&) {}, LanPlayable},
        {"another minor version", [](LanIdentity& i) { ++i.versionMinor; }, LanOtherVersion},
        {"another major version", [](LanIdentity& i) { --i.versionMajor; }, LanOtherVersion},
        {"another protocol", [](LanIdentity& i) { ++i.protocol; }, LanOtherVersion},
        {"other art", [](LanIdentity& i) { i.artDigest ^= 1; }, LanOtherArt},
        {"another layout", [](LanIdentity& i) { i.pixelLayout = PixelLayout555; }, LanOtherLayout},
        {"another version and other art",
         [](LanIdentity& i) {
             ++i.versionMinor;
             i.artDigest = 0;
         },
         LanOtherVersion},
    };
    for (const Case& c : cases) {
        LanIdentity remote = local;
        c.change(remote);
        EXPECT_EQ(JudgeLanIdentity(local, remote), c.verdict) << c.what;
    }
}

TEST(LanResponder, AnswersEveryVersionWithItsVerdictAndKeepsToItsLimit) {
    LanAdvert advert;
    advert.identity = SomeIdentity();
    std::strcpy(advert.name, "Host\x01");  // shown, but never sent, as it is
    LanResponder responder(advert);
    responder.Start(47711);
    LanIdentity older = SomeIdentity();
    --older.versionMinor;
    const std::vector<uint8_t> same = EncodedQuery(SomeIdentity());
    const std::vector<uint8_t> other = EncodedQuery(older);
    uint8_t out[lanAnswerMaxSize];
    LanAnswer answer;

    size_t size = responder.Answer(same.data(), same.size(), 5000, out, sizeof out);
    ASSERT_TRUE(DecodeLanAnswer(out, size, &answer));
    EXPECT_EQ(answer.verdict, LanPlayable);
    EXPECT_EQ(answer.port, 47711);
    EXPECT_STREQ(answer.name, "Host?");
    EXPECT_EQ(answer.instance, responder.Instance());
    size = responder.Answer(other.data(), other.size(), 5000, out, sizeof out);
    ASSERT_TRUE(DecodeLanAnswer(out, size, &answer));
    EXPECT_EQ(answer.verdict, LanOtherVersion);
    EXPECT_EQ(answer.identity.versionMinor, 3);  // its own version, not the asker's

    // Not a query: no answer, and nothing counted against the limit.
    const std::vector<uint8_t> notQuery = Encoded(SomeAnswer(0, ""));
    EXPECT_EQ(responder.Answer(notQuery.data(), notQuery.size(), 5000, out, sizeof out), 0u);

    int32_t answered = 2;
    for (int32_t k = 0; k < 2 * LanResponder::answersPerSecond; ++k) {
        answered += responder.Answer(same.data(), same.size(), 5999, out, sizeof out) > 0;
    }
    EXPECT_EQ(answered, LanResponder::answersPerSecond);
    EXPECT_GT(responder.Answer(same.data(), same.size(), 6000, out, sizeof out), 0u);
}

}  // namespace
