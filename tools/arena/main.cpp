// kivoro_arena [--frames N] [--seed S] [--record FILE] [--stats] FIRST SECOND
//
// Plays one match headless, as fast as it goes, in the world the game and
// kivoro_replay set up, between two players named as in arena_players.h. It
// prints the final line kivoro_replay verify prints for the same frames, then
// "kills: K1 K2" (each player's kills, the other fighter's deaths). With
// --record it also writes the match as a replay; with --stats it adds
// "self-inflicted: S1 S2", each fighter's deaths from a release that cost it
// its last health. Exit status: 0 after a played match; 1 when it was played
// but the replay could not be finished; 2 for a bad command line, a player
// that cannot be made, or an outside player that failed during the match
// (one line on standard error; no replay is left of such a match).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "art/rules_world.h"
#include "replay/final_line.h"
#include "replay/replay_writer.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tools/arena/arena_players.h"
#include "tools/arena/pipe_player.h"

namespace {

constexpr int exitPlayed = 0;
constexpr int exitRecordingFailed = 1;
constexpr int exitUnusable = 2;

// Three minutes at 60 frames a second.
constexpr uint64_t defaultFrames = 10'800;
// More than two days of play.
constexpr uint64_t mostFrames = 10'000'000;
// An outside player's longest wait for an answer; KIVORO_ARENA_TIMEOUT_MS
// changes it (tests use a short one).
constexpr int32_t defaultTimeoutMs = 5000;

struct Options {
    uint64_t frames = defaultFrames;
    uint64_t seed = 1;
    std::string record;
    bool stats = false;
    std::string players[2];
};

void Usage(FILE* to) {
    std::fprintf(
        to,
        "usage: kivoro_arena [--frames N] [--seed S] [--record FILE] [--stats] FIRST SECOND\n"
        "players: computer:LEVEL[:SEED] (easy, normal, hard), idle, script:FILE,\n"
        "         pipe:COMMAND, aggressor\n");
}

bool Refuse(const std::string& what) {
    std::fprintf(stderr, "kivoro_arena: %s\n", what.c_str());
    Usage(stderr);
    return false;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    int32_t named = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--stats") {
            options->stats = true;
            continue;
        }
        const bool takesValue = word == "--frames" || word == "--seed" || word == "--record";
        if (takesValue) {
            if (i + 1 >= argc) {
                return Refuse(word + " needs a value");
            }
            const std::string value = argv[++i];
            if (word == "--frames" && !ParseArenaNumber(value, mostFrames, &options->frames)) {
                return Refuse("\"" + value + "\" is not a frame count (0 to " +
                              std::to_string(mostFrames) + ")");
            }
            if (word == "--seed" && !ParseArenaNumber(value, UINT64_MAX, &options->seed)) {
                return Refuse("\"" + value + "\" is not a seed (a decimal number)");
            }
            if (word == "--record") {
                if (value.empty()) {
                    return Refuse("--record needs a file name");
                }
                options->record = value;
            }
            continue;
        }
        if (word.size() > 1 && word[0] == '-') {
            return Refuse("unknown option " + word);
        }
        if (named == 2) {
            return Refuse("more than two players");
        }
        options->players[named++] = word;
    }
    if (named < 2) {
        return Refuse("two players are needed");
    }
    return true;
}

int32_t AnswerTimeoutMs() {
    const char* text = std::getenv("KIVORO_ARENA_TIMEOUT_MS");
    uint64_t value = 0;
    if (text != nullptr && ParseArenaNumber(text, 600'000, &value) && value > 0) {
        return static_cast<int32_t>(value);
    }
    return defaultTimeoutMs;
}

// KIVORO_ARENA_TRACE=N prints the world every N frames on standard error,
// for watching a match unfold without a window.
int32_t TraceEvery() {
    const char* text = std::getenv("KIVORO_ARENA_TRACE");
    uint64_t value = 0;
    if (text != nullptr && ParseArenaNumber(text, 1'000'000, &value)) {
        return static_cast<int32_t>(value);
    }
    return 0;
}

void Trace(int32_t frame, const uint8_t* controls) {
    std::fprintf(stderr, "%6d", frame);
    for (int32_t side = 0; side < 2; ++side) {
        const Fighter& f = fighters[side];
        std::fprintf(stderr, " | %02X %4d,%4d st%-2d hp%4d ki%3d aim%3d f%d d%d", controls[side],
                     f.x, f.y, f.state, f.health, f.ki, f.aim, f.facing, f.deaths);
    }
    std::fprintf(stderr, " | blasts %d\n", blastCount);
}

const char* SideName(int32_t index) {
    return index == 0 ? "first" : "second";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        Usage(stdout);
        return exitPlayed;
    }
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        return exitUnusable;
    }
    const RulesArt art = SetUpRulesWorld();
    if (!art.blastSheetRead) {
        std::fprintf(stderr, "kivoro_arena: %s\n", MissingBlastSheetNote().c_str());
    }
    ArenaPlayer players[2];
    const int32_t timeoutMs = AnswerTimeoutMs();
    for (int32_t side = 0; side < 2; ++side) {
        std::string error;
        if (!MakeArenaPlayer(options.players[side], side, options.seed, timeoutMs, &players[side],
                             &error)) {
            std::fprintf(stderr, "kivoro_arena: %s player: %s\n", SideName(side), error.c_str());
            return exitUnusable;
        }
    }
    ReplayWriter writer;
    if (!options.record.empty() && !writer.Open(options.record, art.artDigest)) {
        std::fprintf(stderr, "kivoro_arena: %s\n", writer.Problem().c_str());
        return exitUnusable;
    }

    const int32_t traceEvery = TraceEvery();
    int32_t selfInflicted[2] = {0, 0};
    const auto frames = static_cast<int32_t>(options.frames);
    for (int32_t frame = 0; frame < frames; ++frame) {
        uint8_t controls[2] = {0, 0};
        for (int32_t side = 0; side < 2; ++side) {
            controls[side] = players[side].source->Controls(frame);
            const PipePlayer* pipe = players[side].pipe;
            if (pipe != nullptr && pipe->Failed()) {
                std::fprintf(stderr, "kivoro_arena: %s player (%s) %s\n", SideName(side),
                             players[side].name.c_str(), pipe->Problem().c_str());
                if (writer.Recording()) {
                    std::remove(writer.PartPath().c_str());
                }
                return exitUnusable;
            }
        }
        // A release costs ki / 5 health: one that costs all that is left is a
        // self-inflicted death.
        int32_t releaseCost[2];
        int32_t healthBefore[2];
        for (int32_t side = 0; side < 2; ++side) {
            releaseCost[side] = fighters[side].ki / 5;
            healthBefore[side] = fighters[side].health;
        }
        StepWorld(controls[0], controls[1]);
        for (int32_t e = 0; e < frameEvents.count; ++e) {
            const FighterEvent& event = frameEvents.events[e];
            if (event.kind == FighterReleased && event.fighter < 2 &&
                healthBefore[event.fighter] > 0 &&
                healthBefore[event.fighter] <= releaseCost[event.fighter]) {
                ++selfInflicted[event.fighter];
            }
        }
        if (traceEvery > 0 && frame % traceEvery == 0) {
            Trace(frame, controls);
        }
        if (!options.record.empty()) {
            writer.RecordFrame(controls[0], controls[1], DigestRules);
        }
    }
    for (ArenaPlayer& player : players) {
        if (player.pipe != nullptr) {
            player.pipe->Stop();
        }
    }

    int status = exitPlayed;
    if (!options.record.empty() && !writer.Finish(DigestRules())) {
        std::fprintf(stderr, "kivoro_arena: %s\n", writer.Problem().c_str());
        status = exitRecordingFailed;
    }
    std::printf("%s\n", FinalLine(static_cast<uint32_t>(frames)).c_str());
    std::printf("kills: %d %d\n", fighters[1].deaths, fighters[0].deaths);
    if (options.stats) {
        std::printf("self-inflicted: %d %d\n", selfInflicted[0], selfInflicted[1]);
    }
    return status;
}
