// The replay list: what a folder's replays say from their headers and sizes
// alone (a file whose frames are garbage, or too large to load, lists as its
// header says), agreeing with the replay reader on every cut; every kind of
// bad file listed with its reason; newest first.
#include "replay/replay_list.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "replay/replay_reader.h"
#include "replay/replay_writer.h"
#include "tests/replay/replay_test_files.h"
#include "tests/sound/scoped_env.h"

using namespace replaytest;

namespace {

constexpr int64_t someStart = 1796749402;  // 2026-12-08 17:03:22 UTC

// A finished header for frames frames, started at start.
std::vector<uint8_t> Header(uint32_t frames, int64_t start) {
    ReplayHeader header;
    header.artDigest = 99;
    header.frameCount = frames;
    header.startTime = start;
    header.utcOffsetMinutes = 60;
    header.match = ComputerMatch(2, SideFirst);
    header.kills[0] = 4;
    header.kills[1] = 1;
    std::vector<uint8_t> bytes(replayHeaderSize);
    EncodeReplayHeader(header, bytes.data());
    return bytes;
}

const ReplayListEntry* Find(const std::vector<ReplayListEntry>& list, const std::string& name) {
    for (const ReplayListEntry& entry : list) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

TEST(ReplayList, ReadsHeadersNeverFrames) {
    ScratchFolder folder;
    // Garbage where the frames go: the list takes the header's word.
    std::vector<uint8_t> garbage = Header(3600, someStart);
    garbage.resize(ReplayFileSize(3600), 0xEE);
    WriteBytes(folder.File("garbage.kvr"), garbage);
    // Four hundred million frames, a sparse file of 853 MB: too large for the
    // reader to load, listed from its header in no time.
    const uint32_t huge = 400000000;
    WriteBytes(folder.File("huge.kvr"), Header(huge, someStart + 1));
    ASSERT_EQ(truncate(folder.File("huge.kvr").c_str(), ReplayFileSize(huge)), 0);
    Replay replay;
    EXPECT_EQ(LoadReplayFile(folder.File("huge.kvr"), replay).status, ReplayReadRefused);

    const auto began = std::chrono::steady_clock::now();
    const std::vector<ReplayListEntry> list = ReadReplayList(folder.path.string());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("listed a file of %llu bytes in %.6f s\n",
                static_cast<unsigned long long>(ReplayFileSize(huge)), seconds);
    EXPECT_LT(seconds, 5.0) << "a guard against reading the frames";
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "huge.kvr");
    EXPECT_EQ(list[0].summary.state, ReplayListFinished);
    EXPECT_EQ(list[0].summary.frames, huge);
    const ReplayListEntry& entry = list[1];
    EXPECT_EQ(entry.summary.state, ReplayListFinished);
    EXPECT_EQ(entry.summary.frames, 3600u);
    EXPECT_EQ(ReplayStartText(entry), "2026-12-08 18:03:22");  // the header's local time
    EXPECT_FALSE(entry.timeFromFile);
    EXPECT_EQ(ReplayLengthText(entry.summary.frames), "1:00");
    EXPECT_EQ(ReplayKillsText(entry.summary.header), "4-1");
    EXPECT_EQ(ReplayMatchText(entry.summary.header),
              "against the computer (level 2), played as the first player");
    EXPECT_FALSE(entry.keptByGame);
}

// Every length a real replay can be cut to lists as the reader reads it.
TEST(ReplayList, AgreesWithTheReaderOnEveryCut) {
    ScratchFolder folder;
    const std::vector<uint8_t> bytes = RecordHeadless(FlyingScript(130), folder.File("a.kvr"));
    for (const bool unfinished : {false, true}) {
        for (size_t length = 0; length <= bytes.size() + 1; ++length) {
            SCOPED_TRACE(std::to_string(length) + (unfinished ? " unfinished" : ""));
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::min(length, bytes.size()));
            cut.resize(length, 0);
            if (unfinished && cut.size() >= 24) {
                PutLittle32(&cut[replayFrameCountOffset], replayUnfinished);
            }
            Replay replay;
            const ReplayReadResult read = ReadReplay(cut.data(), cut.size(), replay);
            const ReplaySummary summary = SummarizeReplay(
                cut.data(), std::min<size_t>(cut.size(), replayHeaderSize), cut.size());
            EXPECT_EQ(summary.reason, read.reason);
            EXPECT_EQ(summary.state == ReplayListUnreadable, read.status == ReplayReadRefused);
            EXPECT_EQ(summary.state == ReplayListFinished, read.status == ReplayReadWhole);
            if (read.status != ReplayReadRefused) {
                EXPECT_EQ(summary.frames, replay.frames.size());
            }
        }
    }
}

TEST(ReplayList, ListsEveryBadFileWithItsReasonAndSkipsWhatIsNoFile) {
    ScratchFolder folder;
    const std::vector<uint8_t> good = RecordHeadless(FlyingScript(61), folder.File("good.kvr"));
    WriteBytes(folder.File("empty.kvr"), {});
    WriteBytes(folder.File("text.kvr"), {'h', 'e', 'l', 'l', 'o'});
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    WriteBytes(folder.File("longer.kvr"), longer);
    WriteBytes(folder.File("short.kvr"), std::vector<uint8_t>(good.begin(), good.end() - 30));
    WriteBytes(folder.File("old.kvr"), ToVersion1(good));
    WriteBytes(folder.File("notes.txt"), {'x'});
    WriteBytes(folder.File("last.kvr"), good);
    std::filesystem::create_directories(folder.File("folder.kvr"));
    ASSERT_EQ(mkfifo(folder.File("pipe.kvr").c_str(), 0600), 0);

    const std::vector<ReplayListEntry> list = ReadReplayList(folder.path.string());
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(Find(list, "last.kvr"), nullptr);
    EXPECT_EQ(Find(list, "notes.txt"), nullptr);
    EXPECT_EQ(Find(list, "folder.kvr"), nullptr);
    EXPECT_EQ(Find(list, "pipe.kvr"), nullptr);
    const struct {
        const char* name;
        ReplayListState state;
        const char* reason;
    } expected[] = {
        {"good.kvr", ReplayListFinished, ""},
        {"empty.kvr", ReplayListUnreadable, "the file is empty"},
        {"text.kvr", ReplayListUnreadable, "not a replay: it does not start with \"KVREPLAY\""},
        {"longer.kvr", ReplayListUnreadable, "extra bytes after the end of the replay (1)"},
        {"short.kvr", ReplayListCutShort,
         "cut short: the header counts 61 frames, the file holds 54"},
        {"old.kvr", ReplayListFinished, ""},
    };
    for (const auto& file : expected) {
        const ReplayListEntry* entry = Find(list, file.name);
        ASSERT_NE(entry, nullptr) << file.name;
        EXPECT_EQ(entry->summary.state, file.state) << file.name;
        EXPECT_EQ(entry->summary.reason, file.reason) << file.name;
    }
    // A version 1 file: no match facts, its time the file's.
    const ReplayListEntry* old = Find(list, "old.kvr");
    EXPECT_EQ(old->summary.frames, 61u);
    EXPECT_TRUE(old->timeFromFile);
    EXPECT_EQ(ReplayMatchText(old->summary.header), "?");
    EXPECT_EQ(ReplayKillsText(old->summary.header), "?");
    EXPECT_TRUE(ReadReplayList(folder.File("missing")).empty());
}

TEST(ReplayList, NewestFirstAndTheLaterOfTwoFromOneSecond) {
    ScratchFolder folder;
    const int64_t times[] = {someStart, someStart + 60, someStart - 60, someStart, someStart};
    const char* names[] = {"2026-12-08_17-03-22.kvr", "b.kvr", "c.kvr", "2026-12-08_17-03-22-2.kvr",
                           "2026-12-08_17-03-22-10.kvr"};
    for (int k = 0; k < 5; ++k) {
        std::vector<uint8_t> bytes = Header(0, times[k]);
        bytes.resize(ReplayFileSize(0));
        WriteBytes(folder.File(names[k]), bytes);
    }
    std::vector<std::string> order;
    for (const ReplayListEntry& entry : ReadReplayList(folder.path.string())) {
        order.push_back(entry.name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"b.kvr", "2026-12-08_17-03-22-10.kvr",
                                               "2026-12-08_17-03-22-2.kvr",
                                               "2026-12-08_17-03-22.kvr", "c.kvr"}));
}

TEST(ReplayList, WordsTheMatchAndTheLength) {
    ReplayHeader header;
    EXPECT_EQ(ReplayMatchText(header), "local");
    header.match = OnlineMatch(SideSecond, "Bo\nb");
    EXPECT_EQ(ReplayMatchText(header), "online against Bo?b (played here as the second player)");
    header.match = OnlineMatch(SideFirst, "");
    EXPECT_EQ(ReplayMatchText(header), "online against ? (played here as the first player)");
    header.match.kind = static_cast<ReplayMatchKind>(77);
    EXPECT_EQ(ReplayMatchText(header), "?");
    EXPECT_EQ(ReplayLengthText(0), "0:00");
    EXPECT_EQ(ReplayLengthText(3725), "1:02");
    EXPECT_EQ(ReplayLengthText(60 * 60 * 75), "75:00");
    EXPECT_EQ(ReplayKillsText(header), "?");
}

}  // namespace
