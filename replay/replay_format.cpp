// The replay header's encoding and the names of the pixel layouts.
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

void EncodeReplayHeader(const ReplayHeader& header, uint8_t* out) {
    std::memcpy(out, replayMagic, sizeof replayMagic);
    PutLittle16(out + replayVersionOffset, header.formatVersion);
    PutLittle16(out + replayLayoutOffset, header.pixelLayout);
    PutLittle64(out + replayArtOffset, header.artDigest);
    PutLittle32(out + replayFrameCountOffset, header.frameCount);
}

ReplayHeader DecodeReplayHeader(const uint8_t* in) {
    ReplayHeader header;
    header.formatVersion = GetLittle16(in + replayVersionOffset);
    header.pixelLayout = GetLittle16(in + replayLayoutOffset);
    header.artDigest = GetLittle64(in + replayArtOffset);
    header.frameCount = GetLittle32(in + replayFrameCountOffset);
    return header;
}
