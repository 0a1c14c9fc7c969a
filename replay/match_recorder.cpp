// MatchRecorder: the path chosen, the folder made, the start time and the
// final kills put in the header, short matches dropped, the kept ones
// pruned, and the failures told once.
#include "replay/match_recorder.h"

#include <ctime>

#include "replay/final_line.h"
#include "replay/kept_replays.h"
#include "replay/replay_path.h"

bool MatchRecorder::Start(const std::string& requestedPath, uint64_t artDigest, FILE* problems,
                          const MatchInfo& match) {
    errors = problems;
    reported = false;
    path.clear();
    keptFolder.clear();
    ReplayHeader header;
    header.artDigest = artDigest;
    header.match = match;
    header.startTime = clock != nullptr ? clock() : static_cast<int64_t>(std::time(nullptr));
    header.utcOffsetMinutes = static_cast<int16_t>(LocalUtcOffsetMinutes(header.startTime));
    std::string target = requestedPath;
    if (target.empty()) {
        const std::string folder = ReplayFolder();
        std::string problem;
        if (folder.empty()) {
            problem = "no folder for replays (neither XDG_DATA_HOME nor HOME is set)";
        } else if (!MakeReplayFolder(folder + "/" + lastReplayName, &problem)) {
            problem = "cannot make the replay folder: " + problem;
        }
        if (!problem.empty()) {
            if (errors != nullptr) {
                std::fprintf(errors, "kivoro: %s; this match is not recorded\n", problem.c_str());
            }
            reported = true;
            return false;
        }
        KeepOldLastReplay(folder);
        keptFolder = folder;
        target = folder + "/" + KeptReplayName(header.startTime, header.utcOffsetMinutes);
    }
    if (!writer.Open(target, header)) {
        Report();
        return false;
    }
    path = target;
    return true;
}

void MatchRecorder::NameOtherSide(const char* name, const MatchRule& rule) {
    if (writer.Recording() && !writer.NameOtherSide(name, rule)) {
        Report();
    }
}

bool MatchRecorder::Finish(uint64_t finalRulesDigest) {
    if (!writer.Recording()) {
        return false;
    }
    const WorldKills kills = CountWorldKills();
    writer.SetFinalKills(kills.first, kills.second);
    if (!keptFolder.empty() && writer.FrameCount() < keptShortestFrames) {
        writer.Abandon();
        path.clear();
        return true;
    }
    const bool finished = keptFolder.empty() ? writer.Finish(finalRulesDigest)
                                             : writer.FinishUnderNewName(finalRulesDigest);
    if (!finished) {
        Report();
        return false;
    }
    path = writer.Path();
    if (!keptFolder.empty()) {
        if (!PointLastReplayAt(keptFolder, path) && errors != nullptr) {
            std::fprintf(errors, "kivoro: cannot make %s/%s the match just kept (%s)\n",
                         keptFolder.c_str(), lastReplayName, path.c_str());
        }
        PruneKeptReplays(keptFolder, keptReplayLimit);
    }
    return true;
}

void MatchRecorder::Report() {
    if (reported) {
        return;
    }
    reported = true;
    if (errors != nullptr) {
        std::fprintf(errors, "kivoro: the match is not recorded: %s\n", writer.Problem().c_str());
    }
}
