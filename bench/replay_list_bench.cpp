// Listing the replay folder as the menu's Replays list will: a hundred kept
// replays of five-minute matches, each read from its header alone, sorted
// newest first. The listing should take well under 100 ms; the figure here is
// with the files in the page cache, as they are after the game wrote them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "replay/kept_replays.h"
#include "replay/replay_list.h"
#include "replay/replay_path.h"
#include "replay/replay_writer.h"

namespace {

constexpr int32_t matchFrames = 18000;

// A folder of keptReplayLimit finished replays a minute apart, made once.
class ReplayFolderFixture {
public:
    ReplayFolderFixture() {
        folder = (std::filesystem::temp_directory_path() /
                  ("kivoro_list_bench_" + std::to_string(getpid())))
                     .string();
        std::filesystem::create_directories(folder);
        for (int32_t k = 0; k < keptReplayLimit; ++k) {
            ReplayHeader header;
            header.startTime = 1796749402 + 60 * k;
            header.match = OnlineMatch(k % 2 == 0 ? SideFirst : SideSecond, "Mira");
            ReplayWriter writer;
            writer.Open(folder + "/" + KeptReplayName(header.startTime, 0), header);
            for (int32_t frame = 0; frame < matchFrames; ++frame) {
                writer.RecordFrame(static_cast<uint8_t>(frame), 0, [] { return uint64_t{7}; });
            }
            writer.SetFinalKills(static_cast<uint32_t>(k % 7), static_cast<uint32_t>(k % 5));
            writer.Finish(1);
        }
    }
    ~ReplayFolderFixture() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

void BM_ListHundredReplays(benchmark::State& state) {
    static const ReplayFolderFixture fixture;
    size_t listed = 0;
    for (auto _ : state) {
        const std::vector<ReplayListEntry> list = ReadReplayList(fixture.folder);
        listed = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    if (listed != static_cast<size_t>(keptReplayLimit)) {
        state.SkipWithError("the folder did not list a hundred replays");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(listed));
}

}  // namespace

BENCHMARK(BM_ListHundredReplays)->Unit(benchmark::kMillisecond);
