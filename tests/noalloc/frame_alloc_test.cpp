// The frame loop allocates nothing: every allocation of this program goes
// through the counters below (operator new and delete, and malloc and its kin,
// forwarded to glibc's own entry points), and 1000 frames of real play after
// the world's set-up must not move them: the pads polled, the keys and pads
// read, the rules, the picture, the present, with pauses, the help, volume
// notes and a settings file written on the way, every frame recorded to a
// replay as the game records it. Nor may 1000 frames recorded by the replay
// writer alone, nor a replay's playback at each speed and seeking in it, nor online play's
// snapshots, rollbacks and packets once the match has begun.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "app/game_view.h"
#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "app/player_input.h"
#include "app/replay_playback.h"
#include "art/art_digest.h"
#include "art/rules_world.h"
#include "engine/display/screen.h"
#include "engine/input/gamepad_set.h"
#include "engine/sound/sound_device.h"
#include "net/enet_link.h"
#include "net/lan_discovery.h"
#include "net/memory_link.h"
#include "net/rollback_session.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "replay/match_recorder.h"
#include "replay/replay_reader.h"
#include "replay/replay_writer.h"
#include "rules/fighter.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_snapshot.h"
#include "rules/world_step.h"
#include "settings/key_bindings.h"
#include "settings/settings_file.h"
#include "tests/app/scripted_match.h"
#include "tests/rules/harness_script.h"

#if defined(__SANITIZE_ADDRESS__)
#define KIVORO_ALLOCATOR_TAKEN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIVORO_ALLOCATOR_TAKEN 1
#endif
#endif

namespace {

// Only allocations on the thread that runs the frames are counted; SDL's audio
// thread mixes on its own.
thread_local bool countingThread = false;
std::atomic<bool> counting{false};
std::atomic<int64_t> allocationCount{0};

// The callers of the first allocations, for the failure message.
constexpr int32_t callerSlots = 8;
void* callers[callerSlots];
size_t callerSizes[callerSlots];
std::atomic<int32_t> callerCount{0};

inline void Count(size_t size, void* caller) {
    if (counting.load(std::memory_order_relaxed) && countingThread) {
        const int32_t slot = callerCount.fetch_add(1);
        if (slot < callerSlots) {
            callers[slot] = caller;
            callerSizes[slot] = size;
        }
        allocationCount.fetch_add(1);
    }
}

std::string DescribeCallers() {
    std::string text;
    const int32_t count = std::min(callerCount.load(), callerSlots);
    for (int32_t i = 0; i < count; ++i) {
        Dl_info info{};
        char line[512];
        if (dladdr(callers[i], &info) != 0 && info.dli_sname != nullptr) {
            std::snprintf(line, sizeof line, "\n  %zu bytes from %s (%s)", callerSizes[i],
                          info.dli_sname, info.dli_fname);
        } else {
            // An offset into the file, for addr2line.
            std::snprintf(line, sizeof line, "\n  %zu bytes from %s+0x%zx", callerSizes[i],
                          info.dli_fname != nullptr ? info.dli_fname : "?",
                          static_cast<size_t>(static_cast<char*>(callers[i]) -
                                              static_cast<char*>(info.dli_fbase)));
        }
        text += line;
    }
    return text;
}

}  // namespace

#ifndef KIVORO_ALLOCATOR_TAKEN

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* memory);

// Every allocator entry point of glibc lands in the same heap, so memory from
// any of these may be freed by any other, and by the library's own free.
void* malloc(size_t size) {
    Count(size, __builtin_return_address(0));
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    Count(count * size, __builtin_return_address(0));
    return __libc_calloc(count, size);
}

void* realloc(void* memory, size_t size) {
    Count(size, __builtin_return_address(0));
    return __libc_realloc(memory, size);
}

void free(void* memory) {
    __libc_free(memory);
}
}

void* operator new(size_t size) {
    Count(size, __builtin_return_address(0));
    void* memory = __libc_malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void* operator new[](size_t size) {
    Count(size, __builtin_return_address(0));
    void* memory = __libc_malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Count(size, __builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    Count(size, __builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}

void* operator new(size_t size, std::align_val_t alignment) {
    Count(size, __builtin_return_address(0));
    void* memory = __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void operator delete(void* memory) noexcept {
    __libc_free(memory);
}
void operator delete[](void* memory) noexcept {
    __libc_free(memory);
}
void operator delete(void* memory, size_t) noexcept {
    __libc_free(memory);
}
void operator delete[](void* memory, size_t) noexcept {
    __libc_free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    __libc_free(memory);
}
void operator delete(void* memory, size_t, std::align_val_t) noexcept {
    __libc_free(memory);
}

#endif  // KIVORO_ALLOCATOR_TAKEN

namespace {

// The comforts used along the run: a pause with the volume changed inside it,
// the help over it, a lost focus, and mute, each let go again.
uint32_t ScriptedCommands(int32_t frame) {
    switch (frame) {
        case 300:
        case 360:
            return CommandPause;
        case 310:
            return CommandVolumeDown;
        case 320:
        case 330:
            return CommandHelp;
        case 500:
            return CommandFocusLost;
        case 540:
            return CommandPause | CommandMute;
        case 600:
            return CommandMute | CommandVolumeUp;
        default:
            return 0;
    }
}

}  // namespace

TEST(FrameAllocations, AThousandFramesOfPlayAllocateNothing) {
#ifdef KIVORO_ALLOCATOR_TAKEN
    GTEST_SKIP() << "AddressSanitizer owns the allocator";
#endif
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The art the build generates lies beside the test program; the working
    // directory is tried first, so start there.
    ASSERT_EQ(chdir(KIVORO_ASSET_DIR), 0);
    ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
    // With a sound device the fighters' sounds really start and stop.
    soundDevice.Create(nullptr);
    SetUpWorld();
    ASSERT_NE(dirtTiles[0].rleData, nullptr) << "the generated art was not found";
    GamePadSet pads;
    pads.Open();
    PlayerInput input;
    PlayState state;
    PrepareOverlays(DefaultKeyBindings());
    const std::string settingsPath = testing::TempDir() + "kivoro_noalloc/settings.ini";
    Settings settings;
    uint8_t keys[256] = {};
    const std::string replayFile = (std::filesystem::temp_directory_path() /
                                    ("kivoro_noalloc_play_" + std::to_string(getpid()) + ".kvr"))
                                       .string();
    ScriptedMatch match(replayFile.c_str());
    ASSERT_TRUE(match.match.Recorder().Recording());

    int32_t mostBlasts = 0;
    int32_t deaths = 0;
    int32_t stoppedFrames = 0;
    countingThread = true;
    counting = true;
    for (int32_t frame = 0; frame < 1000; ++frame) {
        pads.Update();
        const PlayerInput::Frame read = input.Read(keys, pads);
        const uint32_t changes = match.Play(state, ScriptedCommands(frame),
                                            FightingControls(0, frame) | read.controls[0],
                                            FightingControls(1, frame) | read.controls[1]);
        input.RumbleOnHits(pads, fighters);
        if ((changes & PlayChangeSound) != 0) {
            settings.volume = state.volume;
            WriteSettingsFile(settingsPath.c_str(), settings);
        }
        screen.Present(0);
        mostBlasts = std::max(mostBlasts, blastCount);
        stoppedFrames += state.WorldRuns() ? 0 : 1;
    }
    counting = false;
    countingThread = false;
    deaths = fighters[0].deaths + fighters[1].deaths;

    EXPECT_EQ(allocationCount.load(), 0) << "first allocations:" << DescribeCallers();
    // The run did what it is meant to exercise.
    EXPECT_GT(mostBlasts, 1);
    EXPECT_GT(deaths, 0);
    EXPECT_EQ(stoppedFrames, 60 + 40);
    Settings written;
    ReadSettingsFile(settingsPath.c_str(), written, stderr);
    EXPECT_EQ(written.volume, 100);
    // Only the frames the world stepped were recorded.
    ASSERT_TRUE(match.match.Finish());
    Replay replay;
    ASSERT_EQ(LoadReplayFile(replayFile, replay).status, ReplayReadWhole);
    EXPECT_EQ(replay.frames.size(), static_cast<size_t>(1000 - stoppedFrames));

    // The replay played back: at 2x and 4x, paused, with a volume note,
    // sought ahead, back (played again from the start) and from the start,
    // to its end and on, held there.
    ReplayPlayback playback;
    playback.Use(replay);
    playback.Start();
    allocationCount = 0;
    callerCount = 0;
    countingThread = true;
    counting = true;
    for (int32_t frame = 0; frame < 600; ++frame) {
        uint32_t commands = ScriptedCommands(frame);
        if (frame == 100 || frame == 200) {
            commands |= ReplayCommandFaster;
        }
        if (frame == 150 || frame == 330 || frame == 420) {
            commands |= ReplayCommandAhead;
        }
        if (frame == 250 || frame == 340) {
            commands |= ReplayCommandBack;
        }
        if (frame == 260) {
            commands |= ReplayCommandRestart;
        }
        ShowReplay(playback, state, commands);
        screen.Present(0);
    }
    counting = false;
    countingThread = false;
    EXPECT_EQ(allocationCount.load(), 0) << "first allocations:" << DescribeCallers();
    EXPECT_TRUE(playback.Ended());
    EXPECT_FALSE(playback.OutOfSync());
    std::remove(replayFile.c_str());
}

// Recording a match adds nothing to that: the replay writer keeps its pending
// bytes in a fixed buffer, written out every 30 frames, and the rules digest
// it keeps every 60 frames is computed in place.
TEST(FrameAllocations, RecordingAThousandFramesAllocatesNothing) {
#ifdef KIVORO_ALLOCATOR_TAKEN
    GTEST_SKIP() << "AddressSanitizer owns the allocator";
#endif
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("kivoro_noalloc_" + std::to_string(getpid()) + ".kvr"))
                                 .string();
    const RulesArt art = SetUpRulesWorld();
    ASSERT_TRUE(art.blastSheetRead) << "the generated art was not found";
    ReplayWriter writer;
    ASSERT_TRUE(writer.Open(file, art.artDigest)) << writer.Problem();

    allocationCount = 0;
    callerCount = 0;
    countingThread = true;
    counting = true;
    for (int32_t frame = 0; frame < 1000; ++frame) {
        const uint8_t first = FightingControls(0, frame);
        const uint8_t second = FightingControls(1, frame);
        StepWorld(first, second);
        writer.RecordFrame(first, second, DigestRules);
    }
    counting = false;
    countingThread = false;
    EXPECT_EQ(allocationCount.load(), 0) << "first allocations:" << DescribeCallers();

    ASSERT_TRUE(writer.Finish(DigestRules())) << writer.Problem();
    Replay replay;
    ASSERT_EQ(LoadReplayFile(file, replay).status, ReplayReadWhole);
    EXPECT_EQ(replay.frames.size(), 1000u);
    EXPECT_EQ(replay.digests.size(), 16u);
    std::remove(file.c_str());
}

// Two online peers in one process over a slow, lossy in-memory link, each world
// kept in a snapshot and switched in around its turn: rollbacks re-run frames,
// packets are encoded and decoded, confirmed frames queued, all in storage made
// before the match.
TEST(FrameAllocations, OnlineFramesWithRollbacksAllocateNothing) {
#ifdef KIVORO_ALLOCATOR_TAKEN
    GTEST_SKIP() << "AddressSanitizer owns the allocator";
#endif
    ResetHeadlessWorld();
    WorldSnapshot hostWorld;
    WorldSnapshot joinWorld;
    hostWorld.AllocateForWorld();
    joinWorld.AllocateForWorld();
    hostWorld.Take();
    joinWorld.Take();
    VirtualClock clock;
    MemoryLink hostLink(clock, {75, 25, 20, 7});
    MemoryLink joinLink(clock, {75, 25, 20, 9});
    MemoryLink::Connect(hostLink, joinLink);
    RollbackSession host(hostLink, SessionOptions{0, 2, "Torvik"});
    RollbackSession join(joinLink, SessionOptions{1, 2, "Melsar"});
    ConfirmedFrame confirmed;

    countingThread = true;
    counting = true;
    for (int32_t round = 0; round < 1500; ++round) {
        clock.nowMs += round % 3 == 0 ? 16 : 17;
        hostWorld.Restore();
        host.Tick(FightingControls(0, host.CurrentFrame()));
        hostWorld.Take();
        joinWorld.Restore();
        join.Tick(FightingControls(1, join.CurrentFrame()));
        joinWorld.Take();
        while (host.PopConfirmed(&confirmed) || join.PopConfirmed(&confirmed)) {
        }
    }
    counting = false;
    countingThread = false;

    EXPECT_EQ(allocationCount.load(), 0) << "first allocations:" << DescribeCallers();
    EXPECT_TRUE(host.Playing());
    EXPECT_GT(host.Stats().rollbacks, 10);
    EXPECT_GT(host.ConfirmedFrames(), 1000);
}

TEST(FrameAllocations, LookingForGamesAllocatesNothing) {
#ifdef KIVORO_ALLOCATOR_TAKEN
    GTEST_SKIP() << "AddressSanitizer owns the allocator";
#endif
    // A waiting host that answers, and the join page's discovery polled each
    // frame of half a minute of its clock (a query a second).
    EnetLinkOptions options;
    options.lan.enabled = true;
    options.lan.identity = LocalLanIdentity();
    EnetLink host(options);
    ASSERT_TRUE(host.Host(0));
    LanDiscovery discovery;
    ASSERT_TRUE(discovery.Start(host.Port(), LocalLanIdentity(), 0));
    ASSERT_TRUE(discovery.AddTarget("127.0.0.1"));

    countingThread = true;
    counting = true;
    uint32_t nowMs = 0;
    for (int32_t frame = 0; frame < 1800; ++frame, nowMs += 16) {
        host.Service();
        discovery.Poll(nowMs);
    }
    counting = false;
    countingThread = false;

    EXPECT_EQ(allocationCount.load(), 0) << "first allocations:" << DescribeCallers();
    EXPECT_GE(discovery.QueriesSent(), 28);
    EXPECT_GE(host.LanAnswered(), 20);
    EXPECT_EQ(discovery.Count(), 1);
}
