// MatchRecorder: the path chosen, the folder made, the failures told once.
#include "replay/match_recorder.h"

#include "replay/replay_path.h"

bool MatchRecorder::Start(const std::string& requestedPath, uint64_t artDigest, FILE* problems) {
    errors = problems;
    reported = false;
    std::string path = requestedPath;
    if (path.empty()) {
        path = DefaultReplayPath();
        std::string problem;
        if (path.empty()) {
            problem = "no folder for replays (neither XDG_DATA_HOME nor HOME is set)";
        } else if (!MakeReplayFolder(path, &problem)) {
            problem = "cannot make the replay folder: " + problem;
        }
        if (!problem.empty()) {
            if (errors != nullptr) {
                std::fprintf(errors, "kivoro: %s; this match is not recorded\n", problem.c_str());
            }
            reported = true;
            return false;
        }
    }
    if (!writer.Open(path, artDigest)) {
        Report();
        return false;
    }
    return true;
}

bool MatchRecorder::Finish(uint64_t finalRulesDigest) {
    if (!writer.Recording()) {
        return false;
    }
    if (!writer.Finish(finalRulesDigest)) {
        Report();
        return false;
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
