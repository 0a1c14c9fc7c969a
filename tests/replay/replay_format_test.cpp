// The replay header in both versions: every field of version 2 back as it
// went in, version 1's short header with the match's facts unknown, and a
// version 1 file read and verified as it always was.
#include "replay/replay_format.h"

#include <gtest/gtest.h>

#include <cstring>

#include "replay/replay_reader.h"
#include "replay/replay_verifier.h"
#include "tests/replay/replay_test_files.h"

using namespace replaytest;

namespace {

TEST(ReplayHeaderFormat, EveryFieldComesBackAsItWentIn) {
    ReplayHeader header;
    header.pixelLayout = pixelLayout565;
    header.artDigest = 0x8877665544332211ull;
    header.frameCount = 123456;
    header.startTime = -86400 * 365;  // before 1970 is a time like any other
    header.utcOffsetMinutes = -570;
    header.match = OnlineMatch(SideSecond, "");
    std::memset(header.match.otherName, 'n', replayNameSize);  // all 32 bytes, no NUL
    header.kills[0] = 0xFFFFFFFE;
    header.kills[1] = 0;
    header.match.rule = MatchRule{MatchFirstToKills, 99};
    uint8_t bytes[replayHeaderSize];
    ASSERT_EQ(EncodeReplayHeader(header, bytes), replayHeaderSize);
    EXPECT_EQ(std::memcmp(bytes, "KVREPLAY\x02\x00", 10), 0);
    EXPECT_EQ(bytes[replayKindOffset], MatchOnline);
    EXPECT_EQ(bytes[replaySideOffset], SideSecond);
    EXPECT_EQ(bytes[replayRuleOffset], MatchFirstToKills);
    EXPECT_EQ(bytes[replayRuleValueOffset], 99);
    EXPECT_EQ(bytes[replayRuleValueOffset + 1], 0);
    const ReplayHeader back = DecodeReplayHeader(bytes);
    EXPECT_EQ(back.formatVersion, 2);
    EXPECT_EQ(back.pixelLayout, header.pixelLayout);
    EXPECT_EQ(back.artDigest, header.artDigest);
    EXPECT_EQ(back.frameCount, header.frameCount);
    EXPECT_EQ(back.startTime, header.startTime);
    EXPECT_EQ(back.utcOffsetMinutes, header.utcOffsetMinutes);
    EXPECT_EQ(back.match.kind, MatchOnline);
    EXPECT_EQ(back.match.side, SideSecond);
    EXPECT_EQ(back.match.level, 0);
    EXPECT_EQ(std::string(back.match.otherName), std::string(replayNameSize, 'n'));
    EXPECT_EQ(back.kills[0], header.kills[0]);
    EXPECT_EQ(back.kills[1], header.kills[1]);
    EXPECT_EQ(back.match.rule, header.match.rule);

    header.match = ComputerMatch(300, SideFirst);  // a level is one byte
    EncodeReplayHeader(header, bytes);
    EXPECT_EQ(DecodeReplayHeader(bytes).match.level, 255);
    EXPECT_STREQ(DecodeReplayHeader(bytes).match.otherName, "");
}

// The rule as written, and as read from bytes another program (or damage)
// left: a value out of its range held to it, a kind unknown read as endless.
TEST(ReplayHeaderFormat, TheRuleIsKeptAndReadWithinItsRange) {
    struct Case {
        uint8_t kind;
        uint8_t value;
        MatchRule read;
    };
    const Case cases[] = {
        {MatchEndless, 0, MatchRule{}},
        {MatchFirstToKills, 1, MatchRule{MatchFirstToKills, 1}},
        {MatchFirstToKills, 0, MatchRule{MatchFirstToKills, 1}},
        {MatchFirstToKills, 200, MatchRule{MatchFirstToKills, MatchRule::mostKills}},
        {MatchTimeLimit, 30, MatchRule{MatchTimeLimit, 30}},
        {MatchTimeLimit, 31, MatchRule{MatchTimeLimit, MatchRule::mostMinutes}},
        {MatchEndless, 7, MatchRule{}},
        {3, 5, MatchRule{}},
        {255, 255, MatchRule{}},
    };
    ReplayHeader header;
    uint8_t bytes[replayHeaderSize];
    ASSERT_EQ(EncodeReplayHeader(header, bytes), replayHeaderSize);
    EXPECT_EQ(DecodeReplayHeader(bytes).match.rule, MatchRule{});
    for (const Case& c : cases) {
        bytes[replayRuleOffset] = c.kind;
        bytes[replayRuleValueOffset] = c.value;
        const MatchRule read = DecodeReplayHeader(bytes).match.rule;
        EXPECT_EQ(read, c.read) << int(c.kind) << " " << int(c.value);
        // What is read is written back the same.
        header.match.rule = read;
        uint8_t again[replayHeaderSize];
        EncodeReplayHeader(header, again);
        EXPECT_EQ(DecodeReplayHeader(again).match.rule, read);
    }
}

TEST(ReplayHeaderFormat, VersionOneIsTheShortHeaderWithTheFactsUnknown) {
    ReplayHeader header;
    header.formatVersion = 1;
    header.artDigest = 5;
    header.frameCount = 9;
    header.startTime = 1000;
    header.match = OnlineMatch(SideFirst, "X");
    header.match.rule = MatchRule{MatchFirstToKills, 5};
    header.kills[0] = header.kills[1] = 3;
    uint8_t bytes[replayHeaderSize] = {};
    ASSERT_EQ(EncodeReplayHeader(header, bytes), replayHeaderSizeV1);
    const ReplayHeader back = DecodeReplayHeader(bytes);
    EXPECT_EQ(back.formatVersion, 1);
    EXPECT_EQ(back.artDigest, 5u);
    EXPECT_EQ(back.frameCount, 9u);
    EXPECT_EQ(back.startTime, 0);
    EXPECT_EQ(back.match.kind, MatchUnknown);
    EXPECT_EQ(back.match.rule, MatchRule{});
    EXPECT_EQ(back.kills[0], replayKillsUnknown);
    EXPECT_EQ(back.kills[1], replayKillsUnknown);
    header.formatVersion = 7;
    EXPECT_EQ(EncodeReplayHeader(header, bytes), 0);
    EXPECT_EQ(ReplayFileSize(61, 1), 24u + 122 + 8 + 8);
    EXPECT_EQ(ReplayFileSize(61), 80u + 122 + 8 + 8);
}

TEST(ReplayHeaderFormat, AVersionOneFileReadsAndVerifies) {
    ScratchFolder folder;
    const std::vector<uint8_t> bytes = RecordHeadless(FlyingScript(130), folder.File("a.kvr"));
    const std::vector<uint8_t> old = ToVersion1(bytes);
    ASSERT_EQ(old.size(), ReplayFileSize(130, 1));
    Replay now;
    Replay then;
    ASSERT_EQ(ReadReplay(bytes.data(), bytes.size(), now).status, ReplayReadWhole);
    const ReplayReadResult read = ReadReplay(old.data(), old.size(), then);
    ASSERT_EQ(read.status, ReplayReadWhole) << read.reason;
    EXPECT_EQ(then.header.formatVersion, 1);
    EXPECT_EQ(then.frames, now.frames);
    EXPECT_EQ(then.digests, now.digests);
    EXPECT_EQ(then.finalDigest, now.finalDigest);
    ResetHeadlessWorld();
    const ReplayCheck check = VerifyReplay(then);
    EXPECT_FALSE(check.diverged);
    EXPECT_FALSE(check.killsDiffer);
    EXPECT_EQ(check.digestsChecked, 3);
}

}  // namespace
