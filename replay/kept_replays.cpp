// Kept replays: pruning by the replay list's order, last.kvr linked or copied
// in under a temporary name and renamed over the old one, and the last.kvr of
// an older game taken in among the kept.
#include "replay/kept_replays.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "replay/replay_format.h"
#include "replay/replay_list.h"
#include "replay/replay_path.h"
#include "replay/replay_reader.h"

int32_t PruneKeptReplays(const std::string& folder, int32_t keep) {
    const std::vector<ReplayListEntry> entries = ReadReplayList(folder);
    int32_t counted = 0;
    for (const ReplayListEntry& entry : entries) {
        counted += entry.keptByGame ? 1 : 0;
    }
    int32_t deleted = 0;
    // The list is newest first: the oldest are at its end.
    for (auto entry = entries.rbegin(); entry != entries.rend() && counted > keep; ++entry) {
        if (!entry->keptByGame || entry->summary.state == ReplayListRecording ||
            ReplayFileInUse(entry->path)) {
            continue;
        }
        if (unlink(entry->path.c_str()) == 0) {
            --counted;
            ++deleted;
        }
    }
    return deleted;
}

bool PointLastReplayAt(const std::string& folder, const std::string& path) {
    const std::string last = folder + "/" + lastReplayName;
    const std::string temporary = last + "." + std::to_string(static_cast<long>(getpid())) + ".tmp";
    unlink(temporary.c_str());
    if (link(path.c_str(), temporary.c_str()) != 0) {
        std::error_code error;
        if (!std::filesystem::copy_file(path, temporary, error)) {
            unlink(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), last.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

void KeepOldLastReplay(const std::string& folder) {
    const std::string last = folder + "/" + lastReplayName;
    const int file = open(last.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return;
    }
    uint8_t head[replayHeaderSizeV1];
    struct stat status;
    const bool old = fstat(file, &status) == 0 && S_ISREG(status.st_mode) &&
                     pread(file, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
                     CheckReplayHeader(head, sizeof head).status == ReplayReadWhole &&
                     DecodeReplayHeader(head).formatVersion == 1;
    close(file);
    if (!old) {
        return;
    }
    const int64_t modified = status.st_mtime;
    std::string kept = folder + "/" + KeptReplayName(modified, LocalUtcOffsetMinutes(modified));
    RenameToFreeName(last, kept);
}
