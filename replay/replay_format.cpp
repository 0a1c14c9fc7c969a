// The replay header's encoding in both versions, the match facts it keeps,
// and the names of the pixel layouts and match kinds.
#include "replay/replay_format.h"

#include <cstring>

const char* PixelLayoutName(uint16_t layout) {
    switch (layout) {
        case pixelLayout555:
            return "5-5-5";
        case pixelLayout565:
            return "5-6-5";
        default:
            return nullptr;
    }
}

MatchInfo LocalMatch() {
    return MatchInfo();
}

MatchInfo ComputerMatch(int32_t level, ReplaySide side) {
    MatchInfo info;
    info.kind = MatchComputer;
    info.level = static_cast<uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
    info.side = side;
    return info;
}

MatchInfo OnlineMatch(ReplaySide side, const char* otherName) {
    MatchInfo info;
    info.kind = MatchOnline;
    info.side = side;
    SetOtherName(info, otherName);
    return info;
}

void SetOtherName(MatchInfo& info, const char* otherName) {
    std::memset(info.otherName, 0, sizeof info.otherName);
    if (otherName == nullptr) {
        return;
    }
    size_t length = strnlen(otherName, replayNameSize + 1);
    if (length > replayNameSize) {
        // Cut before a UTF-8 continuation byte is never in the middle of a
        // character.
        length = replayNameSize;
        while (length > 0 && (static_cast<uint8_t>(otherName[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(info.otherName, otherName, length);
}

const char* MatchKindName(ReplayMatchKind kind) {
    switch (kind) {
        case MatchLocal:
            return "local";
        case MatchComputer:
            return "computer";
        case MatchOnline:
            return "online";
        default:
            return "unknown";
    }
}

int32_t EncodeReplayHeader(const ReplayHeader& header, uint8_t* out) {
    const int32_t size = ReplayHeaderSize(header.formatVersion);
    if (size == 0) {
        return 0;
    }
    std::memset(out, 0, static_cast<size_t>(size));
    std::memcpy(out, replayMagic, sizeof replayMagic);
    PutLittle16(out + replayVersionOffset, header.formatVersion);
    PutLittle16(out + replayLayoutOffset, header.pixelLayout);
    PutLittle64(out + replayArtOffset, header.artDigest);
    PutLittle32(out + replayFrameCountOffset, header.frameCount);
    if (header.formatVersion == 1) {
        return size;
    }
    PutLittle64(out + replayStartOffset, static_cast<uint64_t>(header.startTime));
    PutLittle16(out + replayUtcOffsetOffset, static_cast<uint16_t>(header.utcOffsetMinutes));
    out[replayKindOffset] = header.match.kind;
    out[replayLevelOffset] = header.match.level;
    out[replaySideOffset] = header.match.side;
    const MatchRule rule = header.match.rule.Checked();
    out[replayRuleOffset] = rule.kind;
    out[replayRuleValueOffset] = static_cast<uint8_t>(rule.value);
    PutLittle32(out + replayKillsOffset, header.kills[0]);
    PutLittle32(out + replayKillsOffset + 4, header.kills[1]);
    std::memcpy(out + replayNameOffset, header.match.otherName,
                strnlen(header.match.otherName, replayNameSize));
    return size;
}

ReplayHeader DecodeReplayHeader(const uint8_t* in) {
    ReplayHeader header;
    header.formatVersion = GetLittle16(in + replayVersionOffset);
    header.pixelLayout = GetLittle16(in + replayLayoutOffset);
    header.artDigest = GetLittle64(in + replayArtOffset);
    header.frameCount = GetLittle32(in + replayFrameCountOffset);
    if (header.formatVersion != 2) {
        header.match.kind = MatchUnknown;
        return header;
    }
    header.startTime = static_cast<int64_t>(GetLittle64(in + replayStartOffset));
    header.utcOffsetMinutes = static_cast<int16_t>(GetLittle16(in + replayUtcOffsetOffset));
    header.match.kind = static_cast<ReplayMatchKind>(in[replayKindOffset]);
    header.match.level = in[replayLevelOffset];
    header.match.side = static_cast<ReplaySide>(in[replaySideOffset]);
    header.match.rule = MatchRule{in[replayRuleOffset], in[replayRuleValueOffset]}.Checked();
    header.kills[0] = GetLittle32(in + replayKillsOffset);
    header.kills[1] = GetLittle32(in + replayKillsOffset + 4);
    std::memcpy(header.match.otherName, in + replayNameOffset, replayNameSize);
    header.match.otherName[replayNameSize] = '\0';
    return header;
}
