// The end messages, one per reason, told from this side's point of view.
#include "net/end_message.h"

#include <cstdio>

namespace {

const char* LayoutName(uint8_t layout) {
    return layout == PixelLayout565 ? "5-6-5" : "5-5-5";
}

const char* OtherName(const HelloPacket* remote) {
    return remote != nullptr && remote->nameLength > 0 ? remote->name : "the other player";
}

const char* Kills(int32_t count) {
    return count == 1 ? "kill" : "kills";
}

// "you win, 5 kills to 3", "Melsar wins, 5 kills to 3", "a draw at 2 kills
// each", told from this side.
void FormatDecided(const EndFacts& facts, char* out, size_t size) {
    const int32_t winner = facts.winner;
    if (winner != 0 && winner != 1) {
        std::snprintf(out, size, "a draw at %d %s each", facts.kills[0], Kills(facts.kills[0]));
        return;
    }
    const int32_t won = facts.kills[winner];
    const int32_t lost = facts.kills[1 - winner];
    if (winner == facts.localPlayer) {
        std::snprintf(out, size, "you win, %d %s to %d", won, Kills(won), lost);
    } else {
        std::snprintf(out, size, "%s wins, %d %s to %d", OtherName(facts.remote), won, Kills(won),
                      lost);
    }
}

}  // namespace

void FormatEndMessage(const EndFacts& facts, char* out, size_t size) {
    const HelloPacket* local = facts.local;
    const HelloPacket* remote = facts.remote;
    switch (facts.reason) {
        case EndQuit:
            if (facts.byOther) {
                std::snprintf(out, size, "%s ended the match", OtherName(remote));
            } else {
                std::snprintf(out, size, "match ended");
            }
            break;
        case EndCancelled:
            std::snprintf(out, size, "cancelled before the match began");
            break;
        case EndFinished:
            if (facts.decided) {
                FormatDecided(facts, out, size);
            } else {
                std::snprintf(out, size, "match finished after %d frames", facts.frame);
            }
            break;
        case EndOutOfSync:
            std::snprintf(out, size, "out of sync at frame %d", facts.frame);
            break;
        case EndVersionMismatch:
            if (remote != nullptr && local != nullptr) {
                std::snprintf(out, size,
                              "the other side runs version %u.%u (protocol %u), this side "
                              "%u.%u (protocol %u)",
                              remote->versionMajor, remote->versionMinor, remote->protocol,
                              local->versionMajor, local->versionMinor, local->protocol);
            } else {
                std::snprintf(out, size, "the other side runs another version");
            }
            break;
        case EndArtMismatch:
            std::snprintf(out, size, "art differs: the blast shapes are not the other side's");
            break;
        case EndLayoutMismatch:
            if (remote != nullptr && local != nullptr) {
                std::snprintf(out, size,
                              "pixel layout differs: this side uses %s, the other side %s",
                              LayoutName(local->pixelLayout), LayoutName(remote->pixelLayout));
            } else {
                std::snprintf(out, size, "pixel layout differs from the other side's");
            }
            break;
        case EndProtocolError:
            if (facts.byOther) {
                std::snprintf(out, size, "the other side says this side broke the protocol");
            } else if (facts.detail[0] != '\0') {
                std::snprintf(out, size, "the other side broke the protocol: %s", facts.detail);
            } else {
                std::snprintf(out, size, "the other side broke the protocol");
            }
            break;
        case EndNoProgress:
            if (facts.byOther) {
                std::snprintf(out, size, "the other side saw the match stop moving");
            } else {
                std::snprintf(out, size, "no progress for %u s", facts.limitSeconds);
            }
            break;
        case EndConnectionLost:
            std::snprintf(out, size, "connection lost");
            break;
        case EndLeft:
            // A host turns away a joiner while it plays another match.
            if (facts.beforePlay && facts.address[0] != '\0') {
                std::snprintf(out, size, "%s closed the connection before the match began",
                              facts.address);
            } else {
                std::snprintf(out, size, "the other side left");
            }
            break;
        case EndNoAnswer:
            std::snprintf(out, size, "nobody answered at %s", facts.address);
            break;
        case EndNoHandshake:
            std::snprintf(out, size, "%s answered but never started the match", facts.address);
            break;
        case EndLocalFault:
            std::snprintf(out, size, "this side failed: %s", facts.detail);
            break;
        case EndNone:
            std::snprintf(out, size, "%s", "");
            break;
    }
}
