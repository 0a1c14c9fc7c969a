// The replay list: each file opened, its header read with one pread and its
// size taken from fstat, its lock tried when it is unfinished; then the
// entries sorted newest first.
#include "replay/replay_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "replay/replay_path.h"
#include "replay/replay_reader.h"
#include "rules/world_timing.h"

namespace {

std::string Number(uint64_t value) {
    return std::to_string(value);
}

bool EndsWith(const std::string& text, const char* end) {
    const size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

// Of two kept replays from one second, "-2" came after none and before "-3".
uint32_t SameSecondNumber(const std::string& name) {
    constexpr size_t stampLength = 19;  // 2026-12-08_17-03-22
    if (name.size() <= stampLength + 1 || name[stampLength] != '-') {
        return 1;
    }
    return static_cast<uint32_t>(std::strtoul(name.c_str() + stampLength + 1, nullptr, 10));
}

bool Newer(const ReplayListEntry& a, const ReplayListEntry& b) {
    if (a.startTime != b.startTime) {
        return a.startTime > b.startTime;
    }
    const uint32_t na = SameSecondNumber(a.name);
    const uint32_t nb = SameSecondNumber(b.name);
    return na != nb ? na > nb : a.name > b.name;
}

// Fills entry for the file name in folder (its path and name set); false for
// no regular file (a folder named like a replay, a FIFO), which the list
// leaves out.
bool ReadEntry(int folder, const std::string& name, ReplayListEntry& entry) {
    entry.keptByGame = IsKeptReplayName(entry.name);
    // O_NONBLOCK: a FIFO given a replay's name must not hang the list.
    const int file = openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        entry.summary.reason = std::string("cannot open it: ") + std::strerror(errno);
        return true;
    }
    struct stat status;
    uint8_t head[replayHeaderSize];
    ssize_t got = -1;
    if (fstat(file, &status) != 0) {
        entry.summary.reason = std::string("cannot read it: ") + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        close(file);
        return false;
    } else if ((got = pread(file, head, sizeof head, 0)) < 0) {
        entry.summary.reason = std::string("cannot read it: ") + std::strerror(errno);
    } else {
        entry.summary =
            SummarizeReplay(head, static_cast<size_t>(got), static_cast<uint64_t>(status.st_size));
        if (entry.summary.state == ReplayListUnfinished && flock(file, LOCK_SH | LOCK_NB) != 0 &&
            errno == EWOULDBLOCK) {
            entry.summary.state = ReplayListRecording;
        }
    }
    close(file);
    const ReplayHeader& header = entry.summary.header;
    if (entry.summary.state != ReplayListUnreadable && header.startTime != 0) {
        entry.startTime = header.startTime;
        entry.utcOffsetMinutes = header.utcOffsetMinutes;
    } else if (got >= 0) {
        entry.startTime = status.st_mtime;
        entry.utcOffsetMinutes = LocalUtcOffsetMinutes(entry.startTime);
        entry.timeFromFile = true;
    }
    return true;
}

}  // namespace

ReplaySummary SummarizeReplay(const uint8_t* head, size_t headSize, uint64_t fileSize) {
    ReplaySummary summary;
    const size_t known = static_cast<size_t>(std::min<uint64_t>(headSize, fileSize));
    const ReplayReadResult checked = CheckReplayHeader(head, known);
    if (checked.status != ReplayReadWhole) {
        summary.reason = checked.reason;
        return summary;
    }
    summary.header = DecodeReplayHeader(head);
    const uint32_t promised = summary.header.frameCount;
    const uint64_t body = fileSize - ReplayHeaderSize(summary.header.formatVersion);
    if (promised == replayUnfinished) {
        summary.state = ReplayListUnfinished;
        summary.frames =
            static_cast<uint32_t>(std::min<uint64_t>(ReplayFramesIn(body), replayMostFrames));
        summary.reason =
            "unfinished: the game stopped recording it (crashed or was killed) after " +
            Number(summary.frames) + " frames";
        return summary;
    }
    // The bytes of the frames and the digests between them, as the reader
    // walks them: a cut anywhere in them keeps the whole frames before it.
    const uint64_t framesBytes = 2 * uint64_t{promised} + 8 * (promised / replayDigestEvery);
    if (body < framesBytes) {
        summary.state = ReplayListCutShort;
        summary.frames = static_cast<uint32_t>(std::min<uint64_t>(ReplayFramesIn(body), promised));
        summary.reason = "cut short: the header counts " + Number(promised) +
                         " frames, the file holds " + Number(summary.frames);
        return summary;
    }
    summary.frames = promised;
    if (body - framesBytes < 8) {
        summary.state = ReplayListCutShort;
        summary.reason =
            "cut short: all " + Number(promised) + " frames are there, the final digest is not";
    } else if (body - framesBytes > 8) {
        summary.state = ReplayListUnreadable;
        summary.frames = 0;
        summary.reason =
            "extra bytes after the end of the replay (" + Number(body - framesBytes - 8) + ")";
    } else {
        summary.state = ReplayListFinished;
    }
    return summary;
}

std::vector<ReplayListEntry> ReadReplayList(const std::string& folderPath) {
    std::vector<ReplayListEntry> entries;
    DIR* folder = opendir(folderPath.c_str());
    if (folder == nullptr) {
        return entries;
    }
    const int descriptor = dirfd(folder);
    while (const dirent* found = readdir(folder)) {
        const std::string name = found->d_name;
        if (name == lastReplayName || (!EndsWith(name, ".kvr") && !EndsWith(name, ".part"))) {
            continue;
        }
        ReplayListEntry entry;
        entry.name = name;
        entry.path = folderPath + "/" + name;
        if (ReadEntry(descriptor, name, entry)) {
            entries.push_back(std::move(entry));
        }
    }
    closedir(folder);
    std::sort(entries.begin(), entries.end(), Newer);
    return entries;
}

bool ReadReplayEntry(const std::string& path, ReplayListEntry& entry) {
    entry = ReplayListEntry();
    entry.path = path;
    const size_t slash = path.rfind('/');
    entry.name = slash == std::string::npos ? path : path.substr(slash + 1);
    return ReadEntry(AT_FDCWD, path, entry);
}

bool ReplayFileInUse(const std::string& path) {
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    const bool locked = flock(file, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(file);
    return locked;
}

std::string ReplayStartText(const ReplayListEntry& entry) {
    const std::time_t local =
        static_cast<std::time_t>(entry.startTime + int64_t{entry.utcOffsetMinutes} * 60);
    std::tm parts{};
    if (gmtime_r(&local, &parts) == nullptr) {
        return "?";
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string ReplayLengthText(uint32_t frames) {
    const uint32_t seconds = frames / worldFramesPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}

std::string ReplayKillsText(const ReplayHeader& header) {
    if (header.kills[0] == replayKillsUnknown && header.kills[1] == replayKillsUnknown) {
        return "?";
    }
    return std::to_string(header.kills[0]) + "-" + std::to_string(header.kills[1]);
}

std::string ReplayMatchText(const ReplayHeader& header) {
    const MatchInfo& match = header.match;
    const char* side = match.side == SideFirst    ? "the first player"
                       : match.side == SideSecond ? "the second player"
                                                  : nullptr;
    switch (match.kind) {
        case MatchLocal:
            return "local";
        case MatchComputer: {
            std::string text = "against the computer (level " + std::to_string(match.level) + ")";
            return side != nullptr ? text + ", played as " + side : text;
        }
        case MatchOnline: {
            std::string name;
            for (const char* c = match.otherName; *c != '\0'; ++c) {
                const auto byte = static_cast<unsigned char>(*c);
                name += byte < 0x20 || byte == 0x7F ? '?' : *c;
            }
            std::string text = "online against " + (name.empty() ? std::string("?") : name);
            return side != nullptr ? text + " (played here as " + side + ")" : text;
        }
        default:
            return "?";
    }
}

const char* ReplayStateName(ReplayListState state) {
    switch (state) {
        case ReplayListFinished:
            return "finished";
        case ReplayListCutShort:
            return "cut short";
        case ReplayListUnfinished:
            return "unfinished";
        case ReplayListRecording:
            return "recording";
        default:
            return "unreadable";
    }
}
