// kivoro_replay verify FILE | print FILE | make SCRIPT OUT | info FILE | list [FOLDER]
//
// verify runs a replay headless with the game's rules and art and compares
// every rules digest it holds, and the final kills its header gives, then
// prints the final line (final_line.h). print writes its control bytes as a
// script, one frame per line; make writes a replay from a script
// (control_script.h). info prints what the header says (the match, its
// start, length, kills and rule); list does that for every replay of a folder (the
// game's, by default), newest first, a line each; neither reads the frames.
// Exit status: 0 when all went well; 1 when a replay diverged or was cut
// short (what could be done was done); 2 when a file cannot be read as a
// replay or script, or written, or the command line is wrong. Every problem
// is one line on standard error.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "art/rules_world.h"
#include "replay/final_line.h"
#include "replay/replay_controls.h"
#include "replay/replay_list.h"
#include "replay/replay_path.h"
#include "replay/replay_reader.h"
#include "replay/replay_verifier.h"
#include "replay/replay_writer.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"
#include "tools/replay/control_script.h"

namespace {

constexpr int exitGood = 0;
constexpr int exitPartial = 1;
constexpr int exitUnusable = 2;

void Problem(const std::string& file, const std::string& what) {
    std::fprintf(stderr, "kivoro_replay: %s: %s\n", file.c_str(), what.c_str());
}

// Loads a replay; a refused file is reported and answers false.
bool Load(const std::string& file, Replay& replay, ReplayReadResult& result) {
    result = LoadReplayFile(file, replay);
    if (result.status == ReplayReadRefused) {
        Problem(file, result.reason);
        return false;
    }
    return true;
}

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016" PRIX64, value);
    return text;
}

int Verify(const std::string& file) {
    Replay replay;
    ReplayReadResult read;
    if (!Load(file, replay, read)) {
        return exitUnusable;
    }
    const RulesArt art = SetUpRulesWorld();
    const std::string mismatch = ReplayMismatch(replay.header, art.artDigest);
    if (!mismatch.empty()) {
        Problem(file, art.blastSheetRead ? mismatch : mismatch + "; " + MissingBlastSheetNote());
        return exitUnusable;
    }
    const ReplayCheck check = VerifyReplay(replay);
    int status = exitGood;
    if (check.diverged) {
        // Digests lie every replayDigestEvery frames, so the first difference
        // arose after the previous one.
        const uint32_t after = check.divergedAfter;
        const uint32_t from =
            after == 0 ? 0 : (after - 1) / replayDigestEvery * replayDigestEvery + 1;
        Problem(file, "out of sync after frame " + std::to_string(after) + " (it arose in frames " +
                          std::to_string(from) + " to " + std::to_string(after) +
                          "): the rules digest is " + Hex(check.actualDigest) + ", the replay's " +
                          Hex(check.expectedDigest));
        status = exitPartial;
    }
    if (check.killsDiffer) {
        const uint32_t* kills = replay.header.kills;
        Problem(file, "the header gives the kills as " + std::to_string(kills[0]) + "-" +
                          std::to_string(kills[1]) + ", the match ends " +
                          std::to_string(check.worldKills[0]) + "-" +
                          std::to_string(check.worldKills[1]));
        status = exitPartial;
    }
    if (read.status == ReplayReadCutShort) {
        Problem(file, read.reason + "; verified the frames it holds");
        status = exitPartial;
    }
    std::printf("%s: %" PRIu32 " frames, %d digest%s checked, %s\n", file.c_str(), check.framesRun,
                check.digestsChecked, check.digestsChecked == 1 ? "" : "s",
                check.diverged ? "out of sync" : "all match");
    std::printf("%s\n", FinalLine(check.framesRun).c_str());
    return status;
}

int Print(const std::string& file) {
    Replay replay;
    ReplayReadResult read;
    if (!Load(file, replay, read)) {
        return exitUnusable;
    }
    for (const FrameControls& frame : replay.frames) {
        std::printf("%u %u\n", frame.first, frame.second);
    }
    if (read.status == ReplayReadCutShort) {
        Problem(file, read.reason + "; printed the frames it holds");
        return exitPartial;
    }
    return exitGood;
}

int Make(const std::string& scriptFile, const std::string& out) {
    std::ifstream script(scriptFile);
    if (!script) {
        Problem(scriptFile, std::string("cannot open it: ") + std::strerror(errno));
        return exitUnusable;
    }
    std::vector<FrameControls> frames;
    std::string error;
    if (!ParseControlScript(script, frames, &error)) {
        Problem(scriptFile, error + "; nothing written");
        return exitUnusable;
    }
    if (script.bad()) {
        Problem(scriptFile, "cannot read it; nothing written");
        return exitUnusable;
    }
    const RulesArt art = SetUpRulesWorld();
    if (!art.blastSheetRead) {
        Problem(out, MissingBlastSheetNote() +
                         "; making the replay without them, as the game would play");
    }
    ReplayWriter writer;
    if (!writer.Open(out, art.artDigest)) {
        Problem(out, writer.Problem());
        return exitUnusable;
    }
    ReplayControls first(frames, 0);
    ReplayControls second(frames, 1);
    for (int32_t frame = 0; frame < static_cast<int32_t>(frames.size()); ++frame) {
        const uint8_t firstBytes = first.Controls(frame);
        const uint8_t secondBytes = second.Controls(frame);
        StepWorld(firstBytes, secondBytes);
        writer.RecordFrame(firstBytes, secondBytes, DigestRules);
    }
    if (!writer.Finish(DigestRules())) {
        Problem(out, writer.Problem());
        std::remove(writer.PartPath().c_str());
        return exitUnusable;
    }
    return exitGood;
}

int Info(const std::string& file) {
    ReplayListEntry entry;
    if (!ReadReplayEntry(file, entry)) {
        Problem(file, "not a file");
        return exitUnusable;
    }
    const ReplaySummary& summary = entry.summary;
    if (summary.state == ReplayListUnreadable) {
        Problem(file, summary.reason);
        return exitUnusable;
    }
    const ReplayHeader& header = summary.header;
    const int32_t offset = entry.utcOffsetMinutes;
    std::printf("format version: %u\n", header.formatVersion);
    std::printf("pixel layout: %s\n", PixelLayoutName(header.pixelLayout));
    std::printf("art digest: %s\n", Hex(header.artDigest).c_str());
    std::printf("match: %s\n", ReplayMatchText(header).c_str());
    std::printf("started: %s UTC%c%02d:%02d%s\n", ReplayStartText(entry).c_str(),
                offset < 0 ? '-' : '+', std::abs(offset) / 60, std::abs(offset) % 60,
                entry.timeFromFile ? " (the file's time: the header has none)" : "");
    std::printf("frames: %" PRIu32 " (%s)\n", summary.frames,
                ReplayLengthText(summary.frames).c_str());
    std::printf("kills: %s\n", ReplayKillsText(header).c_str());
    char rule[48] = "?";
    if (header.formatVersion >= 2) {
        DescribeRule(header.match.rule, rule, sizeof rule);
    }
    std::printf("rule: %s\n", rule);
    std::printf("state: %s\n",
                summary.reason.empty() ? ReplayStateName(summary.state) : summary.reason.c_str());
    return exitGood;
}

int List(const std::string& folder) {
    if (folder.empty()) {
        Problem("list", "no folder for replays (neither XDG_DATA_HOME nor HOME is set)");
        return exitUnusable;
    }
    for (const ReplayListEntry& entry : ReadReplayList(folder)) {
        const ReplaySummary& summary = entry.summary;
        if (summary.state == ReplayListUnreadable) {
            std::printf("%-19s  %6s  %-7s  %-10s  %s: %s\n", "?", "?", "?",
                        ReplayStateName(summary.state), entry.name.c_str(), summary.reason.c_str());
            continue;
        }
        std::printf("%-19s  %6s  %-7s  %-10s  %s: %s\n", ReplayStartText(entry).c_str(),
                    ReplayLengthText(summary.frames).c_str(),
                    ReplayKillsText(summary.header).c_str(), ReplayStateName(summary.state),
                    entry.name.c_str(), ReplayMatchText(summary.header).c_str());
    }
    return exitGood;
}

void Usage(FILE* to) {
    std::fprintf(to,
                 "usage: kivoro_replay verify FILE      run a replay, check its digests\n"
                 "       kivoro_replay print FILE       write its control bytes, a frame a line\n"
                 "       kivoro_replay make SCRIPT OUT  make a replay from such lines\n"
                 "       kivoro_replay info FILE        what its header says of the match\n"
                 "       kivoro_replay list [FOLDER]    the replays kept there, newest first\n");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        Usage(stdout);
        return exitGood;
    }
    if (command == "verify" && argc == 3) {
        return Verify(argv[2]);
    }
    if (command == "print" && argc == 3) {
        return Print(argv[2]);
    }
    if (command == "make" && argc == 4) {
        return Make(argv[2], argv[3]);
    }
    if (command == "info" && argc == 3) {
        return Info(argv[2]);
    }
    if (command == "list" && (argc == 2 || argc == 3)) {
        return List(argc == 3 ? argv[2] : ReplayFolder());
    }
    Usage(stderr);
    return exitUnusable;
}
