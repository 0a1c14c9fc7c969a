// The rollback session: handshake, input exchange, prediction and re-running,
// time sync, desync detection and the end of a match.
#include "net/rollback_session.h"

#include <cstdio>
#include <cstring>

#include "art/art_digest.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

namespace {

constexpr uint16_t noEcho = 0xFFFF;        // echo hold meaning "nothing to echo yet"
constexpr int32_t digestResendEvery = 15;  // display frames between resends of a digest
constexpr int32_t smoothingShift = 3;      // round trip: new = old + (sample - old) / 8

const char* LayoutName(uint8_t layout) {
    return layout == PixelLayout565 ? "5-6-5" : "5-5-5";
}

int8_t ClampAdvantage(int32_t value) {
    return static_cast<int8_t>(value < -128 ? -128 : value > 127 ? 127 : value);
}

}  // namespace

RollbackSession::RollbackSession(Link& link, const SessionOptions& options)
    : link(link), options(options) {
    localPlayer = options.localPlayer == 1 ? 1 : 0;
    localDelay = options.inputDelay < 0               ? 0
                 : options.inputDelay > maxInputDelay ? maxInputDelay
                                                      : options.inputDelay;
    for (WorldSnapshot& snapshot : snapshots) {
        snapshot.AllocateForWorld();
    }
    localHello.versionMajor = KIVORO_VERSION_MAJOR;
    localHello.versionMinor = KIVORO_VERSION_MINOR;
    localHello.artDigest = ArtDigest();
#if KIVORO_PIXEL_565
    localHello.pixelLayout = PixelLayout565;
#else
    localHello.pixelLayout = PixelLayout555;
#endif
    localHello.inputDelay = static_cast<uint8_t>(localDelay);
    // Names travel as printable ASCII; anything else shows as '?'.
    const char* name = options.name != nullptr ? options.name : "";
    while (localHello.nameLength < maxNameLength && name[localHello.nameLength] != '\0') {
        const char c = name[localHello.nameLength];
        localHello.name[localHello.nameLength++] = c >= 0x20 && c <= 0x7E ? c : '?';
    }
    // The first inputDelay frames of each side are known to be empty.
    localKnownEnd = localDelay;
    remoteAck = localDelay;
    lastHeardMs = link.NowMs();
}

TickResult RollbackSession::Tick(uint8_t localControls) {
    stalled = false;
    if (phase == PhaseEnded) {
        return TickEnded;
    }
    link.Service();
    ReceiveAll();
    if (phase == PhaseConnecting && link.Status() == LinkConnected) {
        SendHello();
        phase = PhaseHandshaking;
        lastHeardMs = link.NowMs();
    }
    // A host may wait for a player as long as it likes; once connected, the
    // other side must be heard from.
    const uint32_t silentMs = link.NowMs() - lastHeardMs;
    if (link.Status() == LinkClosed ||
        (phase != PhaseConnecting && silentMs > options.silenceLimitMs)) {
        if (phase != PhaseEnded && !remoteFinished) {
            // Once a player quit, the other side going away is the quit's end.
            if (leaving) {
                End(EndQuit, currentFrame, leftByOther);
            } else {
                End(EndConnectionLost, currentFrame, true);
            }
        }
    }
    if (phase == PhaseHandshaking && helloReceived) {
        BeginPlay();
    }
    if (phase == PhaseEnded) {
        return TickEnded;
    }
    if (phase != PhasePlaying) {
        return TickConnecting;
    }

    Rollback();
    TickResult result = TickAdvanced;
    const bool atLimit = options.frameLimit > 0 && currentFrame >= options.frameLimit;
    if (atLimit) {
        result = TickHeld;
    } else if (currentFrame >= remoteKnownEnd + maxPrediction ||
               currentFrame + localDelay + 1 - remoteAck >= ringSize ||
               currentFrame + 1 - confirmedEnd >= ringSize) {
        stalled = true;
        ++stats.stalledFrames;
        result = TickStalled;
    } else if (ShouldHold()) {
        ++stats.heldFrames;
        result = TickHeld;
    } else {
        Advance(localControls);
    }
    ReportConfirmed();
    if (phase == PhaseEnded) {
        return TickEnded;
    }
    SendInputs();
    if (latestOwnDigest.frame > 0 && --digestResendIn <= 0) {
        SendDigest(latestOwnDigest);
    }
    stats.bytesSent = link.BytesSent();
    const uint32_t playedMs = link.NowMs() - playStartMs;
    if (playedMs > 0) {
        stats.bytesPerSecond = static_cast<uint32_t>(stats.bytesSent * 1000 / playedMs);
    }
    if (Finished()) {
        if (leaving) {
            // The other side needs nothing more from this one either.
            SendEnd(EndFinished, static_cast<uint32_t>(currentFrame));
            End(EndQuit, currentFrame, leftByOther);
        } else {
            End(EndFinished, currentFrame, false);
        }
        return TickEnded;
    }
    return result;
}

void RollbackSession::Quit() {
    if (phase != PhasePlaying || leaving) {
        End(EndQuit, currentFrame, false);
        return;
    }
    // This side's bytes stop at localKnownEnd: the other side has them or
    // will (they are sent until acknowledged) and gets none past it, so
    // neither side can confirm a frame beyond it.
    BeginLeaving(localKnownEnd, false);
    SendEnd(EndQuit, static_cast<uint32_t>(localKnownEnd));
}

void RollbackSession::BeginLeaving(int32_t endFrame, bool byOther) {
    // Both players quitting at once end at the earlier of the two frames.
    if (options.frameLimit == 0 || endFrame < options.frameLimit) {
        options.frameLimit = endFrame;
    }
    if (!leaving) {
        leftByOther = byOther;
    }
    leaving = true;
}

bool RollbackSession::RewindToConfirmed() {
    if (currentFrame == confirmedEnd) {
        return true;
    }
    // The frames past the confirmed ones were predicted, so the world before
    // the first of them was saved when it was stepped.
    const int32_t index = confirmedEnd % snapshotCount;
    if (currentFrame < confirmedEnd || snapshotFrame[index] != confirmedEnd ||
        !snapshots[index].Restore()) {
        return false;
    }
    currentFrame = confirmedEnd;
    return true;
}

bool RollbackSession::PopConfirmed(ConfirmedFrame* out) {
    if (confirmedCount == 0) {
        return false;
    }
    *out = confirmed[confirmedHead];
    confirmedHead = (confirmedHead + 1) % confirmedCapacity;
    --confirmedCount;
    return true;
}

bool RollbackSession::Finished() const {
    // Done once every frame is final here and the other side holds all of this
    // side's inputs (or is done itself), so it can finish without us.
    return options.frameLimit > 0 && currentFrame >= options.frameLimit &&
           confirmedEnd >= options.frameLimit &&
           (remoteAck >= options.frameLimit || remoteFinished);
}

void RollbackSession::ReceiveAll() {
    for (;;) {
        const size_t size = link.Receive(packetBuffer, sizeof packetBuffer);
        if (size == 0 || phase == PhaseEnded) {
            return;
        }
        ++stats.packetsReceived;
        if (size > static_cast<size_t>(maxPacketSize) ||
            !DecodePacket(packetBuffer, size, &decoded)) {
            Drop();
            continue;
        }
        lastHeardMs = link.NowMs();
        Handle(decoded);
    }
}

void RollbackSession::Handle(const Packet& packet) {
    switch (packet.type) {
        case PacketHello:
            HandleHello(packet.hello);
            break;
        case PacketInput:
            HandleInput(packet.input);
            break;
        case PacketDigest:
            HandleDigest(packet.digest);
            break;
        case PacketEnd:
            if (packet.end.reason == EndFinished) {
                // The other side has every frame; this one needs nothing more
                // from it and finishes on its own.
                remoteFinished = true;
            } else if (packet.end.reason == EndQuit && phase == PhasePlaying &&
                       static_cast<int64_t>(packet.end.frame) >= confirmedEnd) {
                // The other player quit: play on to the frame it names, which
                // no frame confirmed here lies beyond.
                BeginLeaving(static_cast<int32_t>(packet.end.frame), true);
            } else {
                End(static_cast<EndReason>(packet.end.reason),
                    static_cast<int32_t>(packet.end.frame), true);
            }
            break;
        default:
            Drop();
            break;
    }
}

void RollbackSession::HandleHello(const HelloPacket& hello) {
    if (helloReceived) {
        Drop();
        return;
    }
    remoteHello = hello;
    helloReceived = true;
}

void RollbackSession::BeginPlay() {
    if (remoteHello.protocol != localHello.protocol ||
        remoteHello.versionMajor != localHello.versionMajor ||
        remoteHello.versionMinor != localHello.versionMinor) {
        End(EndVersionMismatch, 0, false);
        return;
    }
    if (remoteHello.artDigest != localHello.artDigest) {
        End(EndArtMismatch, 0, false);
        return;
    }
    if (remoteHello.pixelLayout != localHello.pixelLayout) {
        End(EndLayoutMismatch, 0, false);
        return;
    }
    remoteKnownEnd = remoteHello.inputDelay;
    for (int32_t frame = 0; frame < ringSize; ++frame) {
        slots[frame] = FrameSlot{};
    }
    phase = PhasePlaying;
    playStartMs = link.NowMs();
}

void RollbackSession::HandleInput(const InputPacket& input) {
    if (phase != PhasePlaying) {
        // Unreliable inputs may overtake the handshake; they come again.
        return;
    }
    const auto frame = static_cast<int32_t>(input.frame);
    const auto ack = static_cast<int32_t>(input.ack);
    if (ack > localKnownEnd) {
        Drop();  // acknowledges bytes never sent
        return;
    }
    if (ack > remoteAck) {
        remoteAck = ack;
    }
    if (frame >= remoteFrame) {
        remoteFrame = frame;
        remoteAdvantage = input.advantage;
        haveEcho = true;
        echoMs = input.sentMs;
        echoReceivedMs = link.NowMs();
    }
    if (input.echoHoldMs != noEcho) {
        const uint32_t sample = link.NowMs() - input.echoMs - input.echoHoldMs;
        if (sample < 60000) {
            stats.roundTripMs =
                stats.roundTripMs == 0
                    ? sample
                    : static_cast<uint32_t>(static_cast<int32_t>(stats.roundTripMs) +
                                            ((static_cast<int32_t>(sample) -
                                              static_cast<int32_t>(stats.roundTripMs)) >>
                                             smoothingShift));
        }
    }
    // Only the next unknown frame extends what is known: a gap waits for the
    // resend that the acknowledgement asks for.
    const int32_t lowestLive = confirmedEnd < remoteAck ? confirmedEnd : remoteAck;
    for (int32_t k = 0; k < input.count; ++k) {
        const int32_t f = static_cast<int32_t>(input.firstInput) + k;
        if (f < remoteKnownEnd) {
            continue;
        }
        if (f > remoteKnownEnd || f >= lowestLive + ringSize - 1) {
            break;
        }
        FrameSlot& slot = Slot(f);
        slot.remote = input.controls[k];
        if (f < currentFrame && slot.remoteUsed != slot.remote &&
            (firstWrong < 0 || f < firstWrong)) {
            firstWrong = f;
        }
        ++remoteKnownEnd;
    }
}

void RollbackSession::HandleDigest(const DigestPacket& digest) {
    const auto frame = static_cast<int32_t>(digest.frame);
    if (phase != PhasePlaying || frame <= 0 || frame % digestInterval != 0) {
        Drop();
        return;
    }
    NoteDigest(remoteDigests, frame, digest.digest);
    CompareDigests(frame);
}

void RollbackSession::Step(int32_t frame) {
    FrameSlot& slot = Slot(frame);
    uint8_t remote = slot.remote;
    if (frame >= remoteKnownEnd) {
        // A guess: this frame may have to be run again from here.
        WorldSnapshot& snapshot = snapshots[frame % snapshotCount];
        snapshot.Take();
        snapshotFrame[frame % snapshotCount] = frame;
        remote = remoteKnownEnd > 0 ? Slot(remoteKnownEnd - 1).remote : 0;
    }
    slot.remoteUsed = remote;
    const uint8_t first = localPlayer == 0 ? slot.local : remote;
    const uint8_t second = localPlayer == 0 ? remote : slot.local;
    StepWorld(first, second);
    if (options.listener != nullptr) {
        options.listener->Heard(frame, frameEvents);
    }
    if ((frame + 1) % digestInterval == 0) {
        slot.digest = DigestRules();
    }
}

void RollbackSession::Advance(uint8_t localControls) {
    // No byte is given past the match's last frame: the other side must never
    // confirm a frame this side does not play.
    const int32_t frame = currentFrame + localDelay;
    if (options.frameLimit == 0 || frame < options.frameLimit) {
        Slot(frame).local = localControls;
        localKnownEnd = frame + 1;
    }
    Step(currentFrame);
    ++currentFrame;
}

void RollbackSession::Rollback() {
    if (firstWrong < 0) {
        return;
    }
    const int32_t from = firstWrong;
    firstWrong = -1;
    const WorldSnapshot& snapshot = snapshots[from % snapshotCount];
    if (snapshotFrame[from % snapshotCount] != from || !snapshot.Restore()) {
        // Cannot happen while the prediction window holds; if it did, the
        // world could no longer be trusted.
        End(EndProtocolError, from, false);
        return;
    }
    if (options.listener != nullptr) {
        options.listener->RerunBegins(from);
    }
    for (int32_t frame = from; frame < currentFrame; ++frame) {
        Step(frame);
    }
    if (options.listener != nullptr) {
        options.listener->RerunEnds();
    }
    const int32_t length = currentFrame - from;
    ++stats.rollbacks;
    stats.rollbackFrames += length;
    if (length > stats.longestRollback) {
        stats.longestRollback = length;
    }
    ++stats.rollbackLengths[length < maxPrediction + 1 ? length : maxPrediction + 1];
}

// Time sync. Each side's advantage is its frame less the latest frame it has
// seen from the other; with both running level, the two advantages are equal
// (each is the one-way delay in frames). The side whose advantage exceeds the
// other's by two frames or more is one frame or more ahead: it holds one
// display frame, then waits at least a round trip before holding again, so it
// sees the effect before the next step and closes the gap without overshoot.
// The other side's frame is aged by the time since it was heard, at 60 frames
// a second, so lost packets do not look like a side falling behind.
int32_t RollbackSession::Advantage() const {
    const uint32_t sinceHeardMs = link.NowMs() - echoReceivedMs;
    const int32_t aged = static_cast<int32_t>(sinceHeardMs < 1000 ? sinceHeardMs * 60 / 1000 : 60);
    return currentFrame - (remoteFrame + aged);
}

bool RollbackSession::ShouldHold() {
    ++framesSinceHold;
    if (remoteFinished) {
        return false;
    }
    const int32_t advantage = Advantage();
    const int32_t roundTripFrames = static_cast<int32_t>(stats.roundTripMs) / 16;
    if (advantage - remoteAdvantage >= 2 && framesSinceHold > 2 + roundTripFrames) {
        framesSinceHold = 0;
        return true;
    }
    return false;
}

void RollbackSession::ReportConfirmed() {
    int32_t end = remoteKnownEnd < currentFrame ? remoteKnownEnd : currentFrame;
    if (options.frameLimit > 0 && end > options.frameLimit) {
        end = options.frameLimit;
    }
    for (int32_t frame = confirmedEnd; frame < end && phase != PhaseEnded; ++frame) {
        const FrameSlot& slot = Slot(frame);
        ConfirmedFrame entry;
        entry.frame = frame;
        entry.controls[localPlayer] = slot.local;
        entry.controls[1 - localPlayer] = slot.remote;
        entry.hasDigest = (frame + 1) % digestInterval == 0;
        entry.rulesDigest = entry.hasDigest ? slot.digest : 0;
        if (confirmedCount == confirmedCapacity) {
            confirmedHead = (confirmedHead + 1) % confirmedCapacity;
            --confirmedCount;
            ++stats.confirmedDropped;
        }
        confirmed[(confirmedHead + confirmedCount) % confirmedCapacity] = entry;
        ++confirmedCount;
        confirmedEnd = frame + 1;
        if (entry.hasDigest) {
            NoteDigest(ownDigests, frame + 1, slot.digest);
            latestOwnDigest = DigestEntry{frame + 1, slot.digest};
            SendDigest(latestOwnDigest);
            CompareDigests(frame + 1);
        }
    }
}

void RollbackSession::NoteDigest(DigestEntry* table, int32_t frame, uint64_t digest) {
    table[(frame / digestInterval) % digestKeep] = DigestEntry{frame, digest};
}

void RollbackSession::CompareDigests(int32_t frame) {
    const int32_t index = (frame / digestInterval) % digestKeep;
    const DigestEntry& own = ownDigests[index];
    const DigestEntry& other = remoteDigests[index];
    if (own.frame == frame && other.frame == frame && own.digest != other.digest) {
        End(EndOutOfSync, frame, false);
    }
}

void RollbackSession::SendHello() {
    uint8_t buffer[maxPacketSize];
    const size_t size = EncodeHello(localHello, buffer, sizeof buffer);
    link.Send(ChannelReliable, buffer, size);
}

void RollbackSession::SendInputs() {
    InputPacket input;
    input.frame = static_cast<uint32_t>(currentFrame);
    input.ack = static_cast<uint32_t>(remoteKnownEnd);
    input.advantage = ClampAdvantage(Advantage());
    const uint32_t now = link.NowMs();
    input.sentMs = now;
    if (haveEcho) {
        const uint32_t held = now - echoReceivedMs;
        input.echoMs = echoMs;
        input.echoHoldMs = static_cast<uint16_t>(held < noEcho ? held : noEcho - 1);
    } else {
        input.echoHoldMs = noEcho;
    }
    // Every byte the other side has not acknowledged, oldest first, so a lost
    // packet costs nothing as long as a later one arrives.
    int32_t count = localKnownEnd - remoteAck;
    count = count < 0 ? 0 : count > maxInputsPerPacket ? maxInputsPerPacket : count;
    input.firstInput = static_cast<uint32_t>(remoteAck);
    input.count = static_cast<uint8_t>(count);
    for (int32_t k = 0; k < count; ++k) {
        input.controls[k] = Slot(remoteAck + k).local;
    }
    uint8_t buffer[maxPacketSize];
    const size_t size = EncodeInput(input, buffer, sizeof buffer);
    link.Send(ChannelUnreliable, buffer, size);
}

void RollbackSession::SendDigest(const DigestEntry& entry) {
    DigestPacket packet;
    packet.frame = static_cast<uint32_t>(entry.frame);
    packet.digest = entry.digest;
    uint8_t buffer[maxPacketSize];
    const size_t size = EncodeDigest(packet, buffer, sizeof buffer);
    link.Send(ChannelUnreliable, buffer, size);
    digestResendIn = digestResendEvery;
}

void RollbackSession::SendEnd(EndReason reason, uint32_t frame) {
    EndPacket packet;
    packet.reason = reason;
    packet.frame = frame;
    uint8_t buffer[maxPacketSize];
    const size_t size = EncodeEnd(packet, buffer, sizeof buffer);
    if (size > 0) {
        link.Send(ChannelReliable, buffer, size);
    }
}

void RollbackSession::End(EndReason reason, int32_t frame, bool byOther) {
    if (phase == PhaseEnded) {
        return;
    }
    phase = PhaseEnded;
    endReason = reason;
    endedByOther = byOther;
    stalled = false;
    const char* other = remoteHello.nameLength > 0 ? remoteHello.name : "the other player";
    switch (reason) {
        case EndQuit:
            std::snprintf(message, sizeof message, byOther ? "%s ended the match" : "match ended",
                          other);
            break;
        case EndFinished:
            std::snprintf(message, sizeof message, "match finished after %d frames", frame);
            break;
        case EndOutOfSync:
            std::snprintf(message, sizeof message, "out of sync at frame %d", frame);
            break;
        case EndVersionMismatch:
            if (byOther) {
                std::snprintf(message, sizeof message, "the other side runs another version");
            } else {
                std::snprintf(message, sizeof message,
                              "version differs: this side runs %u.%u, the other side %u.%u",
                              localHello.versionMajor, localHello.versionMinor,
                              remoteHello.versionMajor, remoteHello.versionMinor);
            }
            break;
        case EndArtMismatch:
            std::snprintf(message, sizeof message,
                          "art differs: the blast shapes are not the other side's");
            break;
        case EndLayoutMismatch:
            if (byOther) {
                std::snprintf(message, sizeof message,
                              "pixel layout differs from the other side's");
            } else {
                std::snprintf(message, sizeof message,
                              "pixel layout differs: this side uses %s, the other side %s",
                              LayoutName(localHello.pixelLayout),
                              LayoutName(remoteHello.pixelLayout));
            }
            break;
        case EndConnectionLost:
            std::snprintf(message, sizeof message, "connection lost");
            break;
        default:
            std::snprintf(message, sizeof message, "the other side broke the protocol");
            break;
    }
    // A quit that played out was announced when it began.
    if (!byOther && reason != EndConnectionLost && !(leaving && reason == EndQuit)) {
        SendEnd(reason, static_cast<uint32_t>(frame));
    }
    link.Close();
}
