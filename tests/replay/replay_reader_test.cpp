// Damaged and foreign files: the reader refuses what is no replay of this
// format, keeps what is whole of a replay cut short, never reads past the
// bytes it is given, and nothing damaged verifies as good unless it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "art/art_digest.h"
#include "replay/replay_reader.h"
#include "replay/replay_verifier.h"
#include "tests/replay/replay_test_files.h"

using namespace replaytest;

namespace {

constexpr int32_t scriptFrames = 130;

class ReplayReaderTest : public testing::Test {
protected:
    void SetUp() override {
        bytes = RecordHeadless(FlyingScript(scriptFrames), folder.File("a.kvr"));
    }

    // Reads a copy of exactly the given bytes, so that AddressSanitizer sees
    // any read past them.
    static ReplayReadResult Read(const std::vector<uint8_t>& data, Replay& replay) {
        std::unique_ptr<uint8_t[]> copy(new uint8_t[data.size()]);
        std::copy(data.begin(), data.end(), copy.get());
        return ReadReplay(copy.get(), data.size(), replay);
    }

    static std::string Reason(const std::vector<uint8_t>& data) {
        Replay replay;
        const ReplayReadResult result = Read(data, replay);
        EXPECT_EQ(result.status, ReplayReadRefused);
        return result.reason;
    }

    // Whether a file would pass as a good replay of this build: read whole,
    // fitting the headless world's art, every digest matching.
    static bool VerifiesAsGood(const std::vector<uint8_t>& data) {
        Replay replay;
        if (Read(data, replay).status != ReplayReadWhole) {
            return false;
        }
        ResetHeadlessWorld();
        if (!ReplayMismatch(replay.header, ArtDigest()).empty()) {
            return false;
        }
        const ReplayCheck check = VerifyReplay(replay);
        return !check.diverged && !check.killsDiffer;
    }

    ScratchFolder folder;
    std::vector<uint8_t> bytes;
};

TEST_F(ReplayReaderTest, TheUndamagedFileVerifies) {
    EXPECT_EQ(bytes.size(), 80u + 2 * 130 + 2 * 8 + 8);
    EXPECT_TRUE(VerifiesAsGood(bytes));
}

TEST_F(ReplayReaderTest, RefusesWhatIsNoReplay) {
    EXPECT_EQ(Reason({}), "the file is empty");
    EXPECT_EQ(Reason({'B', 'M', 0x36, 0, 0, 0}),
              "not a replay: it does not start with \"KVREPLAY\"");
    std::vector<uint8_t> text = {'1', ' ', '2', '\n'};
    EXPECT_EQ(Reason(text), "not a replay: it does not start with \"KVREPLAY\"");
    std::vector<uint8_t> other = bytes;
    other[7] = 'X';
    EXPECT_EQ(Reason(other), "not a replay: it does not start with \"KVREPLAY\"");
    EXPECT_EQ(Reason({'K', 'V', 'R'}), "cut short inside its header (3 bytes)");
    EXPECT_EQ(Reason(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 79)),
              "cut short inside its header (79 of 80 bytes)");
}

TEST_F(ReplayReaderTest, RefusesOtherFormatVersionsAndUnknownLayouts) {
    std::vector<uint8_t> other = bytes;
    PutLittle16(&other[8], 3);
    EXPECT_EQ(Reason(other), "replay format version 3; this build reads versions 1 to 2");
    PutLittle16(&other[8], 0);
    EXPECT_EQ(Reason(other), "replay format version 0; this build reads versions 1 to 2");
    other = bytes;
    PutLittle16(&other[10], 556);
    EXPECT_EQ(Reason(other), "unknown pixel layout 556 (555 and 565 are known)");
}

TEST_F(ReplayReaderTest, RefusesBytesAfterTheEnd) {
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Reason(longer), "extra bytes after the end of the replay (1)");
}

TEST_F(ReplayReaderTest, NamesTheOtherLayoutAndTheOtherArt) {
    Replay replay;
    ASSERT_EQ(Read(bytes, replay).status, ReplayReadWhole);
    const uint64_t art = replay.header.artDigest;
    EXPECT_EQ(ReplayMismatch(replay.header, art), "");

    ReplayHeader other = replay.header;
    other.pixelLayout = BuildPixelLayout() == pixelLayout555 ? pixelLayout565 : pixelLayout555;
    const bool built555 = BuildPixelLayout() == pixelLayout555;
    EXPECT_EQ(ReplayMismatch(other, art),
              built555
                  ? "made by the 5-6-5 pixel layout build of the game; this is the 5-5-5 build"
                  : "made by the 5-5-5 pixel layout build of the game; this is the 5-6-5 build");

    char theirs[24];
    std::snprintf(theirs, sizeof theirs, "0x%016llX", static_cast<unsigned long long>(art));
    EXPECT_EQ(ReplayMismatch(replay.header, 0x0123456789ABCDEFull),
              "made with other art (art digest " + std::string(theirs) +
                  "; the art here digests to 0x0123456789ABCDEF)");
}

// Every length the file could have been cut to: the frames and digests that
// are whole are kept, never more; what is kept verifies.
TEST_F(ReplayReaderTest, ACutFileKeepsItsWholeFramesAndDigestsAndSaysSo) {
    for (size_t length = replayHeaderSize; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        Replay replay;
        const ReplayReadResult result = Read(cut, replay);
        ASSERT_EQ(result.status, ReplayReadCutShort);
        // 128 bytes to a block of 60 frames and its digest.
        const size_t body = length - replayHeaderSize;
        const size_t frames =
            std::min<size_t>(scriptFrames, body / 128 * 60 + std::min<size_t>(body % 128 / 2, 60));
        EXPECT_EQ(replay.frames.size(), frames);
        EXPECT_EQ(replay.digests.size(), std::min<size_t>(body / 128, 2));
        EXPECT_FALSE(replay.finished);
        const std::string expected =
            frames == scriptFrames ? "cut short: all 130 frames are there, the final digest is not"
                                   : "cut short: the header counts 130 frames, the file holds " +
                                         std::to_string(frames);
        EXPECT_EQ(result.reason, expected);
        ResetHeadlessWorld();
        EXPECT_FALSE(VerifyReplay(replay).diverged);

        // The same bytes left by a game that never finished: its header still
        // says so (and the final digest was never written).
        if (length <= bytes.size() - 8) {
            std::vector<uint8_t> unfinished = cut;
            PutLittle32(&unfinished[20], replayUnfinished);
            Replay kept;
            const ReplayReadResult read = Read(unfinished, kept);
            EXPECT_EQ(read.status, ReplayReadCutShort);
            EXPECT_EQ(kept.frames, replay.frames);
            EXPECT_EQ(kept.digests, replay.digests);
            EXPECT_EQ(read.reason,
                      "unfinished: the game stopped recording it (crashed or was killed) after " +
                          std::to_string(frames) + " frames");
        }
    }
}

// The match's facts in the header (its start, kind, sides and the other
// side's name) play no part in the game; every other header byte does, the
// final kills too.
TEST_F(ReplayReaderTest, FlippedHeaderAndDigestBytesNeverVerify) {
    const size_t digestAt[] = {80 + 120, 80 + 248, bytes.size() - 8};
    for (size_t at = 0; at < bytes.size(); ++at) {
        const bool inDigest = std::any_of(std::begin(digestAt), std::end(digestAt),
                                          [at](size_t d) { return at >= d && at < d + 8; });
        const bool matchFact = (at >= replayStartOffset && at < replayKillsOffset) ||
                               (at >= replayNameOffset && at < size_t{replayHeaderSize});
        if ((at >= size_t{replayHeaderSize} && !inDigest) || matchFact) {
            continue;
        }
        for (const uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = bytes;
            damaged[at] ^= flip;
            EXPECT_FALSE(VerifiesAsGood(damaged)) << "byte " << at << " ^ " << int(flip);
        }
    }
}

// A charge pressed for a single frame in a match without charging fires a
// blast and changes the world for good, so a flipped charge bit must show;
// the two top bits are not controls and change no game.
TEST_F(ReplayReaderTest, FlippedControlBytesVerifyOnlyWhenTheGameIsTheSame) {
    for (int32_t frame = 0; frame < scriptFrames; ++frame) {
        for (const int player : {0, 1}) {
            const size_t at = replayHeaderSize + 2 * frame + 8 * (frame / 60) + player;
            std::vector<uint8_t> damaged = bytes;
            damaged[at] ^= ControlCharge;
            EXPECT_FALSE(VerifiesAsGood(damaged)) << "frame " << frame + 1 << " player " << player;
            damaged[at] ^= ControlCharge | 0xC0;
            EXPECT_TRUE(VerifiesAsGood(damaged)) << "frame " << frame + 1 << " player " << player;
        }
    }
}

TEST_F(ReplayReaderTest, RandomBytesNeverCrashAndNeverReadWhole) {
    std::mt19937 random(20240613);
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<uint8_t> data(random() % 400);
        for (uint8_t& byte : data) {
            byte = static_cast<uint8_t>(random());
        }
        // Half of them behind a real header, so the body is read too.
        if (trial % 2 == 0 && data.size() >= size_t{replayHeaderSize}) {
            std::copy(bytes.begin(), bytes.begin() + 20, data.begin());
        }
        Replay replay;
        const ReplayReadResult result = Read(data, replay);
        EXPECT_EQ(result.reason.empty(), result.status == ReplayReadWhole);
        if (result.status == ReplayReadWhole) {
            EXPECT_EQ(data.size(), ReplayFileSize(replay.frames.size()));
        }
        EXPECT_LE(replay.frames.size() * 2, data.size());
    }
}

TEST_F(ReplayReaderTest, LoadsFilesAndSaysWhyItCannot) {
    Replay replay;
    EXPECT_EQ(LoadReplayFile(folder.File("a.kvr"), replay).status, ReplayReadWhole);
    EXPECT_EQ(replay.frames.size(), size_t(scriptFrames));
    const ReplayReadResult missing = LoadReplayFile(folder.File("none.kvr"), replay);
    EXPECT_EQ(missing.status, ReplayReadRefused);
    EXPECT_EQ(missing.reason, "cannot open it: No such file or directory");
    EXPECT_TRUE(replay.frames.empty());
    const ReplayReadResult folderRead = LoadReplayFile(folder.path.string(), replay);
    EXPECT_EQ(folderRead.status, ReplayReadRefused);
    EXPECT_EQ(folderRead.reason, "cannot read it: Is a directory");
}

}  // namespace
