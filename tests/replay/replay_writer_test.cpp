// The replay writer: the bytes it writes, where its digests go, that a crash
// keeps everything up to the last flush, that a normal end replaces the old
// file in one step, and that a failing disk stops the recording, not the game.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "replay/replay_reader.h"
#include "replay/replay_verifier.h"
#include "replay/replay_writer.h"
#include "tests/replay/replay_test_files.h"

using namespace replaytest;

namespace {

// A digest function that remembers after which frames it was asked.
struct DigestLog {
    std::vector<uint32_t> askedAfter;
    const ReplayWriter* writer = nullptr;
    uint64_t operator()() {
        askedAfter.push_back(writer->FrameCount());
        return 0xD000 + writer->FrameCount();
    }
};

Replay ReadBack(const std::string& file, ReplayReadStatus expected) {
    Replay replay;
    const std::vector<uint8_t> bytes = ReadBytes(file);
    const ReplayReadResult result = ReadReplay(bytes.data(), bytes.size(), replay);
    EXPECT_EQ(result.status, expected) << result.reason;
    return replay;
}

// The example in docs/replay-format.md, byte for byte.
TEST(ReplayWriter, WritesTheDocumentedBytes) {
    ScratchFolder folder;
    ReplayWriter writer;
    ReplayHeader header;
    header.artDigest = 0x1122334455667788ull;
    header.startTime = 1796749402;
    header.utcOffsetMinutes = 60;
    header.match = OnlineMatch(SideSecond, "Mira");
    ASSERT_TRUE(writer.Open(folder.File("two.kvr"), header));
    writer.RecordFrame(0x11, 0x22, [] { return uint64_t{0}; });
    writer.RecordFrame(0x33, 0x44, [] { return uint64_t{0}; });
    writer.SetFinalKills(0, 1);
    ASSERT_TRUE(writer.Finish(0x0102030405060708ull));
    const uint16_t layout = BuildPixelLayout();
    std::vector<uint8_t> expected;
    const auto add = [&expected](std::initializer_list<uint8_t> bytes) {
        expected.insert(expected.end(), bytes);
    };
    add({'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'});          // magic
    add({2, 0});                                            // format version
    add({uint8_t(layout), uint8_t(layout >> 8)});           // 555 or 565
    add({0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});  // art digest
    add({2, 0, 0, 0});                                      // frame count
    add({0x5A, 0x38, 0x18, 0x6B, 0, 0, 0, 0});              // start time
    add({0x3C, 0});                                         // UTC offset
    add({3, 0, 1, 0, 0, 0});        // online, no level, the second player, zero
    add({0, 0, 0, 0, 1, 0, 0, 0});  // kills
    add({'M', 'i', 'r', 'a'});      // the other side's name
    expected.resize(expected.size() + 28);
    add({0x11, 0x22, 0x33, 0x44});                          // frames 1 and 2
    add({0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01});  // final digest
    EXPECT_EQ(ReadBytes(folder.File("two.kvr")), expected);

    // A replay made from a script says nothing of the match.
    ASSERT_TRUE(writer.Open(folder.File("plain.kvr"), 7));
    ASSERT_TRUE(writer.Finish(0));
    const std::vector<uint8_t> plain = ReadBytes(folder.File("plain.kvr"));
    ASSERT_EQ(plain.size(), ReplayFileSize(0));
    const ReplayHeader read = DecodeReplayHeader(plain.data());
    EXPECT_EQ(read.match.kind, MatchUnknown);
    EXPECT_EQ(read.startTime, 0);
    EXPECT_EQ(read.kills[0], replayKillsUnknown);
}

TEST(ReplayWriter, AsksForADigestAfterEverySixtiethFrameAndStoresIt) {
    ScratchFolder folder;
    ReplayWriter writer;
    DigestLog log;
    log.writer = &writer;
    ASSERT_TRUE(writer.Open(folder.File("d.kvr"), 7));
    for (int k = 0; k < 121; ++k) {
        writer.RecordFrame(uint8_t(k), uint8_t(k + 100), std::ref(log));
    }
    ASSERT_TRUE(writer.Finish(0xF1));
    EXPECT_EQ(log.askedAfter, (std::vector<uint32_t>{60, 120}));
    // Frame 60 ends at 80 + 120; its digest follows, before frame 61.
    const std::vector<uint8_t> bytes = ReadBytes(folder.File("d.kvr"));
    ASSERT_EQ(bytes.size(), 80u + 242 + 16 + 8);
    EXPECT_EQ(GetLittle64(&bytes[200]), 0xD000u + 60);
    EXPECT_EQ(bytes[208], 60);
}

TEST(ReplayWriter, ReadsBackFrameForFrameAtEveryLengthAroundABlock) {
    ScratchFolder folder;
    for (const int32_t frames : {0, 1, 59, 60, 61, 119, 120, 181}) {
        SCOPED_TRACE(frames);
        const std::vector<FrameControls> script = FlyingScript(frames);
        const std::vector<uint8_t> bytes = RecordHeadless(script, folder.File("r.kvr"));
        EXPECT_EQ(bytes.size(), ReplayFileSize(uint64_t(frames)));
        const Replay replay = ReadBack(folder.File("r.kvr"), ReplayReadWhole);
        EXPECT_EQ(replay.frames, script);
        EXPECT_EQ(replay.header.frameCount, uint32_t(frames));
        EXPECT_EQ(replay.digests.size(), size_t(frames / 60));
        EXPECT_TRUE(replay.finished);
        // What the world's own digests were, frame by frame.
        ResetHeadlessWorld();
        std::vector<uint64_t> expected;
        for (int32_t k = 0; k < frames; ++k) {
            StepWorld(script[k].first, script[k].second);
            if ((k + 1) % 60 == 0) {
                expected.push_back(DigestRules());
            }
        }
        EXPECT_EQ(replay.digests, expected);
        EXPECT_EQ(replay.finalDigest, DigestRules());
    }
}

TEST(ReplayWriter, WritesToItsPartFileEveryThirtyFrames) {
    ScratchFolder folder;
    ReplayWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("f.kvr"), 1));
    EXPECT_EQ(writer.PartPath(), folder.File("f.kvr") + "." + std::to_string(getpid()) + ".part");
    EXPECT_EQ(ReadBytes(writer.PartPath()).size(), 80u) << "the header goes out at once";
    for (int k = 0; k < 29; ++k) {
        writer.RecordFrame(1, 2, [] { return uint64_t{3}; });
    }
    EXPECT_EQ(ReadBytes(writer.PartPath()).size(), 80u);
    writer.RecordFrame(1, 2, [] { return uint64_t{3}; });
    EXPECT_EQ(ReadBytes(writer.PartPath()).size(), 80u + 60);
    for (int k = 0; k < 30; ++k) {
        writer.RecordFrame(1, 2, [] { return uint64_t{3}; });
    }
    EXPECT_EQ(ReadBytes(writer.PartPath()).size(), 80u + 120 + 8) << "with the digest";
    EXPECT_FALSE(std::filesystem::exists(folder.File("f.kvr")));
}

// The recording process is killed outright: no destructor, no last flush.
TEST(ReplayWriter, AKilledGameLeavesItsFramesUpToTheLastFlush) {
    ScratchFolder folder;
    const std::string file = folder.File("killed.kvr");
    const std::vector<FrameControls> script = FlyingScript(100);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ResetHeadlessWorld();
        ReplayWriter writer;
        writer.Open(file, 9);
        for (const FrameControls& frame : script) {
            StepWorld(frame.first, frame.second);
            writer.RecordFrame(frame.first, frame.second, DigestRules);
        }
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string part = file + "." + std::to_string(child) + ".part";
    EXPECT_FALSE(std::filesystem::exists(file));
    Replay replay;
    const std::vector<uint8_t> bytes = ReadBytes(part);
    const ReplayReadResult result = ReadReplay(bytes.data(), bytes.size(), replay);
    EXPECT_EQ(result.status, ReplayReadCutShort);
    EXPECT_NE(result.reason.find("unfinished"), std::string::npos) << result.reason;
    // Flushed after frames 30, 60 (with its digest) and 90.
    EXPECT_EQ(replay.frames, std::vector<FrameControls>(script.begin(), script.begin() + 90));
    ASSERT_EQ(replay.digests.size(), 1u);
    ResetHeadlessWorld();
    const ReplayCheck check = VerifyReplay(replay);
    EXPECT_EQ(check.framesRun, 90u);
    EXPECT_EQ(check.digestsChecked, 1);
    EXPECT_FALSE(check.diverged);
}

TEST(ReplayWriter, AWriterDroppedWithoutFinishKeepsEveryFrameUnfinished) {
    ScratchFolder folder;
    std::string part;
    {
        ReplayWriter writer;
        ASSERT_TRUE(writer.Open(folder.File("dropped.kvr"), 9));
        for (int k = 0; k < 75; ++k) {
            writer.RecordFrame(uint8_t(k), 0, [] { return uint64_t{5}; });
        }
        part = writer.PartPath();
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("dropped.kvr")));
    const Replay replay = ReadBack(part, ReplayReadCutShort);
    EXPECT_EQ(replay.frames.size(), 75u);
    EXPECT_EQ(replay.digests, std::vector<uint64_t>{5});
}

TEST(ReplayWriter, FinishReplacesTheOldFileInOneStepAndLeavesNoPartBehind) {
    ScratchFolder folder;
    const std::string file = folder.File("last.kvr");
    const std::vector<uint8_t> old = RecordHeadless(FlyingScript(10), file);
    ReplayWriter writer;
    for (int match = 0; match < 2; ++match) {
        ASSERT_TRUE(writer.Open(file, 3));
        for (int k = 0; k < 45; ++k) {
            writer.RecordFrame(2, 1, [] { return uint64_t{4}; });
        }
        // While the match goes on, the last finished replay is still there whole.
        if (match == 0) {
            EXPECT_EQ(ReadBytes(file), old);
        }
        ASSERT_TRUE(writer.Finish(6)) << writer.Problem();
        EXPECT_FALSE(writer.Recording());
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"last.kvr"});
        const Replay replay = ReadBack(file, ReplayReadWhole);
        EXPECT_EQ(replay.frames.size(), 45u);
        EXPECT_EQ(replay.finalDigest, 6u);
    }
}

TEST(ReplayWriter, SaysWhyItCannotStartOrFinish) {
    ScratchFolder folder;
    ReplayWriter writer;
    EXPECT_FALSE(writer.Open(folder.File("no/such/folder/x.kvr"), 1));
    EXPECT_NE(writer.Problem().find("cannot create " + folder.File("no/such/folder/x.kvr.")),
              std::string::npos)
        << writer.Problem();
    EXPECT_NE(writer.Problem().find("No such file or directory"), std::string::npos);
    writer.RecordFrame(1, 1, [] { return uint64_t{0}; });  // harmless
    EXPECT_FALSE(writer.Finish(0));

    // A folder in the way of the final name: the finished file stays under
    // its part name, whole.
    std::filesystem::create_directories(folder.File("taken.kvr/inside"));
    ASSERT_TRUE(writer.Open(folder.File("taken.kvr"), 1));
    writer.RecordFrame(1, 1, [] { return uint64_t{0}; });
    EXPECT_FALSE(writer.Finish(0));
    EXPECT_NE(writer.Problem().find("cannot move " + writer.PartPath() + " to "), std::string::npos)
        << writer.Problem();
    ReadBack(writer.PartPath(), ReplayReadWhole);
}

// A disk that fills up mid-match: the file-size limit makes writes fail as a
// full disk would, in a child process so the limit stays there.
TEST(ReplayWriter, AFullDiskStopsTheRecordingNotTheGame) {
    ScratchFolder folder;
    const std::string file = folder.File("full.kvr");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{156, 156};
        setrlimit(RLIMIT_FSIZE, &limit);
        ReplayWriter writer;
        bool good = writer.Open(file, 1);
        for (int k = 0; k < 200; ++k) {
            writer.RecordFrame(1, 2, [] { return uint64_t{3}; });
        }
        good = good && !writer.Recording() && !writer.Finish(0) &&
               writer.Problem().find("cannot write") != std::string::npos &&
               writer.Problem().find("File too large") != std::string::npos;
        _exit(good ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // What did reach the disk reads as far as it goes: the frames that fit in
    // the 76 bytes after the header's 80, the last write cut in its middle.
    const Replay replay =
        ReadBack(file + "." + std::to_string(child) + ".part", ReplayReadCutShort);
    EXPECT_EQ(replay.frames.size(), 38u);
}

}  // namespace
