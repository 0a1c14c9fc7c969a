// ReplayWriter: a fixed pending buffer written out with write(2), the header's
// frame count patched in place at the end, then fsync and rename.
#include "replay/replay_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

ReplayWriter::~ReplayWriter() {
    Flush();
    Close();
}

bool ReplayWriter::Open(const std::string& target, uint64_t artDigest) {
    Flush();
    Close();
    path = target;
    partPath = target + "." + std::to_string(static_cast<long>(getpid())) + ".part";
    frames = 0;
    framesSinceFlush = 0;
    pendingSize = 0;
    failedStep = nullptr;
    failedError = 0;
    fd = open(partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("create", errno);
        return false;
    }
    ReplayHeader header;
    header.artDigest = artDigest;
    header.frameCount = replayUnfinished;
    uint8_t bytes[replayHeaderSize];
    EncodeReplayHeader(header, bytes);
    if (!WriteAll(bytes, sizeof bytes)) {
        Fail("write", errno);
        return false;
    }
    return true;
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

bool ReplayWriter::Finish(uint64_t finalRulesDigest) {
    if (!Flush()) {
        return false;
    }
    // The frame count goes in before the final digest: a file stopped between
    // the two reads as cut short with every frame known, never as an
    // unfinished file whose last eight bytes would pass for four frames.
    uint8_t count[4];
    PutLittle32(count, frames);
    if (pwrite(fd, count, sizeof count, replayFrameCountOffset) != sizeof count) {
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
    const int closed = close(fd);
    fd = -1;
    if (closed != 0) {
        Fail("close", errno);
        return false;
    }
    if (std::rename(partPath.c_str(), path.c_str()) != 0) {
        failedStep = "move into place";
        failedError = errno;
        return false;
    }
    return true;
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
