// ReplayWriter: a fixed pending buffer written out with write(2), the header
// rewritten in place at the end with the frame count and the kills, then
// fsync and a rename, over the path or to the first free name.
#include "replay/replay_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "replay/replay_path.h"

ReplayWriter::~ReplayWriter() {
    Flush();
    Close();
}

bool ReplayWriter::Open(const std::string& target, uint64_t artDigest) {
    ReplayHeader plain;
    plain.artDigest = artDigest;
    plain.match.kind = MatchUnknown;
    return Open(target, plain);
}

bool ReplayWriter::Open(const std::string& target, const ReplayHeader& start) {
    Flush();
    Close();
    path = target;
    header = start;
    header.formatVersion = replayFormatVersion;
    header.frameCount = replayUnfinished;
    header.kills[0] = header.kills[1] = replayKillsUnknown;
    frames = 0;
    framesSinceFlush = 0;
    pendingSize = 0;
    failedStep = nullptr;
    failedError = 0;
    // O_EXCL: a file a crashed game of the same process id left is kept.
    const std::string stem = target + "." + std::to_string(static_cast<long>(getpid()));
    for (int32_t attempt = 1; fd < 0 && attempt <= 100; ++attempt) {
        partPath = attempt == 1 ? stem + ".part" : stem + "-" + std::to_string(attempt) + ".part";
        fd = open(partPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        Fail("create", errno);
        return false;
    }
    // Advisory, and released by the system however the game ends: others
    // reading the folder see the file is being written (ReplayFileInUse).
    flock(fd, LOCK_EX | LOCK_NB);
    uint8_t bytes[replayHeaderSize];
    EncodeReplayHeader(header, bytes);
    if (!WriteAll(bytes, sizeof bytes)) {
        Fail("write", errno);
        return false;
    }
    return true;
}

bool ReplayWriter::NameOtherSide(const char* name, const MatchRule& rule) {
    SetOtherName(header.match, name);
    header.match.rule = rule.Checked();
    if (fd < 0) {
        return false;
    }
    uint8_t bytes[replayHeaderSize];
    EncodeReplayHeader(header, bytes);
    if (pwrite(fd, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        Fail("write", errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

void ReplayWriter::SetFinalKills(uint32_t first, uint32_t second) {
    header.kills[0] = first;
    header.kills[1] = second;
}

bool ReplayWriter::AppendFrame(uint8_t first, uint8_t second) {
    if (fd < 0) {
        return false;
    }
    if (frames == replayMostFrames) {
        Fail("record more frames into", EFBIG);
        return false;
    }
    if (pendingSize + 2 > static_cast<int32_t>(sizeof pending) && !Flush()) {
        return false;
    }
    pending[pendingSize++] = first;
    pending[pendingSize++] = second;
    ++frames;
    ++framesSinceFlush;
    return ReplayDigestFollows(frames);
}

void ReplayWriter::AppendDigest(uint64_t rulesDigest) {
    if (fd < 0 || (pendingSize + 8 > static_cast<int32_t>(sizeof pending) && !Flush())) {
        return;
    }
    PutLittle64(pending + pendingSize, rulesDigest);
    pendingSize += 8;
}

bool ReplayWriter::Flush() {
    if (fd < 0) {
        return false;
    }
    if (pendingSize > 0 && !WriteAll(pending, static_cast<size_t>(pendingSize))) {
        Fail("write", errno);
        return false;
    }
    pendingSize = 0;
    framesSinceFlush = 0;
    return true;
}

bool ReplayWriter::Complete(uint64_t finalRulesDigest) {
    if (!Flush()) {
        return false;
    }
    // The frame count goes in before the final digest: a file stopped between
    // the two reads as cut short with every frame known, never as an
    // unfinished file whose last eight bytes would pass for four frames.
    header.frameCount = frames;
    uint8_t bytes[replayHeaderSize];
    EncodeReplayHeader(header, bytes);
    if (pwrite(fd, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        Fail("complete", errno != 0 ? errno : EIO);
        return false;
    }
    uint8_t digest[8];
    PutLittle64(digest, finalRulesDigest);
    if (!WriteAll(digest, sizeof digest)) {
        Fail("write", errno);
        return false;
    }
    // On disk before the rename, so that the name never points at a file a
    // power cut could still leave short.
    if (fsync(fd) != 0) {
        Fail("sync", errno);
        return false;
    }
    return true;
}

bool ReplayWriter::Finish(uint64_t finalRulesDigest) {
    if (!Complete(finalRulesDigest)) {
        return false;
    }
    // Renamed while still open and locked, so that no one takes the file for
    // one left behind in between.
    if (std::rename(partPath.c_str(), path.c_str()) != 0) {
        failedStep = "move into place";
        failedError = errno;
        Close();
        return false;
    }
    const int closed = close(fd);
    fd = -1;
    if (closed != 0) {
        Fail("close", errno);
        return false;
    }
    return true;
}

bool ReplayWriter::FinishUnderNewName(uint64_t finalRulesDigest) {
    if (!Complete(finalRulesDigest)) {
        return false;
    }
    if (!RenameToFreeName(partPath, path)) {
        failedStep = "move into place";
        failedError = errno;
        Close();
        return false;
    }
    Close();
    return true;
}

void ReplayWriter::Abandon() {
    if (fd < 0) {
        return;
    }
    unlink(partPath.c_str());
    Close();
    pendingSize = 0;
}

std::string ReplayWriter::Problem() const {
    if (failedStep == nullptr) {
        return std::string();
    }
    const std::string what = std::strcmp(failedStep, "move into place") == 0
                                 ? "cannot move " + partPath + " to " + path
                                 : std::string("cannot ") + failedStep + " " + partPath;
    return what + ": " + std::strerror(failedError);
}

bool ReplayWriter::WriteAll(const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void ReplayWriter::Fail(const char* step, int error) {
    failedStep = step;
    failedError = error;
    Close();
}

void ReplayWriter::Close() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}
