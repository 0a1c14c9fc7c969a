// The rollback session's frames: ticks and polls, input exchange, prediction
// and re-running, time sync, confirmed frames and their digests, and what it
// sends (the phases are in rollback_session_phases.cpp).
#include "net/rollback_session.h"

#include <cstdio>
#include <cstring>

#include "art/art_digest.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

namespace {

constexpr uint16_t noEcho = 0xFFFF;         // echo hold meaning "nothing to echo yet"
constexpr int32_t smoothingShift = 3;       // round trip: new = old + (sample - old) / 8
constexpr uint32_t holdRoundTripMs = 1000;  // time sync trusts no longer a round trip

static_assert(maxPacketSize <= static_cast<int32_t>(linkPacketLimit));

int8_t ClampAdvantage(int32_t value) {
    return static_cast<int8_t>(value < -128 ? -128 : value > 127 ? 127 : value);
}

}  // namespace

uint32_t RollbackSession::Since(uint32_t a, uint32_t b) {
    const auto difference = static_cast<int32_t>(b - a);
    return difference > 0 ? static_cast<uint32_t>(difference) : 0;
}

RollbackSession::RollbackSession(Link& link, const SessionOptions& options)
    : link(link), options(options) {
    localPlayer = options.localPlayer == 1 ? 1 : 0;
    localDelay = options.inputDelay < 0               ? 0
                 : options.inputDelay > maxInputDelay ? maxInputDelay
                                                      : options.inputDelay;
    if (options.frameLimit > 0 && options.frameLimit < maxMatchFrames) {
        frameLimit = options.frameLimit;
    }
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
    // A joiner's rule is the host's, taken in the handshake.
    localHello.rule = Hosting() ? options.rule.Checked() : MatchRule{};
    // Names travel as printable ASCII; anything else shows as '?'.
    const char* name = options.name != nullptr ? options.name : "";
    while (localHello.nameLength < maxNameLength && name[localHello.nameLength] != '\0') {
        const char c = name[localHello.nameLength];
        localHello.name[localHello.nameLength++] = c >= 0x20 && c <= 0x7E ? c : '?';
    }
    if (this->options.address == nullptr) {
        this->options.address = "";
    }
    // The first inputDelay frames of each side are known to be empty.
    localKnownEnd = localDelay;
    remoteAck = localDelay;
    phaseStartMs = link.NowMs();
    lastHeardMs = phaseStartMs;
}

TickResult RollbackSession::Tick(uint8_t localControls) {
    stalled = false;
    if (phase == PhaseEnded) {
        return TickEnded;
    }
    link.Service();
    const uint32_t now = link.NowMs();
    // Connected first, so that what came with the connection is read.
    if (phase == PhaseConnecting) {
        UpdateConnecting(now);
    }
    ReceiveAll();
    if (phase == PhaseHandshaking) {
        UpdateHandshaking(now);
    }
    if (phase == PhasePlaying || phase == PhaseEnding) {
        CheckPlayLimits(now);
    }
    TickResult result = TickConnecting;
    if (Leaving() || phase == PhasePlaying) {
        result = Play(localControls, now);
    }
    if (phase == PhaseEnding && endReason != EndNone) {
        UpdateClosing(link.NowMs());
        result = TickHeld;
    }
    return phase == PhaseEnded ? TickEnded : result;
}

void RollbackSession::Poll(uint32_t waitMs) {
    if (phase == PhaseEnded) {
        return;
    }
    if (waitMs > 0) {
        link.Wait(waitMs);
    } else {
        link.Service();
    }
    if (phase == PhaseConnecting) {
        UpdateConnecting(link.NowMs());
    }
    ReceiveAll();
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
    return confirmed.Pop(out);
}

TickResult RollbackSession::Play(uint8_t localControls, uint32_t now) {
    Rollback();
    if (endReason != EndNone) {
        return TickHeld;
    }
    TickResult result = TickAdvanced;
    waitingForDigests = digests.Behind(confirmedEnd);
    if (currentFrame >= frameLimit) {
        result = TickHeld;
    } else if (currentFrame >= remoteKnownEnd + maxPrediction ||
               currentFrame + localDelay + 1 - remoteAck >= ringSize ||
               currentFrame + 1 - confirmedEnd >= ringSize || waitingForDigests) {
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
    NoteProgress(now);
    if (endReason != EndNone) {
        return TickHeld;
    }
    SendInputs(now);
    stats.bytesSent = link.BytesSent();
    const uint32_t playedMs = Since(playStartMs, now);
    if (playedMs > 0) {
        stats.bytesPerSecond = static_cast<uint32_t>(stats.bytesSent * 1000 / playedMs);
    }
    if (Finished()) {
        if (leaver == LeaverThisSide || leaver == LeaverOtherQuit) {
            // The other side needs nothing more from this one either.
            SendEnd(EndFinished, frameLimit);
            Verdict(EndQuit, frameLimit, leaver == LeaverOtherQuit);
        } else {
            Verdict(EndFinished, frameLimit, false);
        }
        return TickHeld;
    }
    return result;
}

void RollbackSession::NoteProgress(uint32_t now) {
    const int64_t mark = static_cast<int64_t>(confirmedEnd) + remoteAck + remoteKnownEnd;
    if (mark != progressMark) {
        progressMark = mark;
        lastProgressMs = now;
    }
}

void RollbackSession::ReceiveAll() {
    for (;;) {
        const size_t size = link.Receive(packetBuffer, sizeof packetBuffer);
        if (size == 0 || endReason != EndNone || phase == PhaseConnecting) {
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
            HandleEnd(packet.end);
            break;
        default:
            Drop();
            break;
    }
}

void RollbackSession::HandleInput(const InputPacket& input) {
    if (phase != PhasePlaying && phase != PhaseEnding) {
        // Unreliable inputs may overtake the handshake; they come again.
        return;
    }
    const auto frame = static_cast<int32_t>(input.frame);
    const auto ack = static_cast<int32_t>(input.ack);
    // The other side cannot be further on than this side's bytes and its
    // prediction window take it, nor hold bytes this side never sent.
    if (ack > localKnownEnd || frame > localKnownEnd + maxPrediction) {
        Drop();
        return;
    }
    if (ack > remoteAck) {
        remoteAck = ack;
    }
    const uint32_t now = link.NowMs();
    if (frame >= remoteFrame) {
        remoteFrame = frame;
        remoteAdvantage = input.advantage;
        haveEcho = true;
        echoMs = input.sentMs;
        echoReceivedMs = now;
    }
    if (input.echoHoldMs != noEcho) {
        const uint32_t sample = now - input.echoMs - input.echoHoldMs;
        if (sample < 60000) {
            stats.roundTripMs =
                !stats.roundTripKnown
                    ? sample
                    : static_cast<uint32_t>(static_cast<int32_t>(stats.roundTripMs) +
                                            ((static_cast<int32_t>(sample) -
                                              static_cast<int32_t>(stats.roundTripMs)) >>
                                             smoothingShift));
            stats.roundTripKnown = true;
        }
    }
    // Only the next unknown frame extends what is known: a gap waits for the
    // resend that the acknowledgement asks for. Nothing past the last frame
    // is taken.
    const int32_t lowestLive = confirmedEnd < remoteAck ? confirmedEnd : remoteAck;
    for (int32_t k = 0; k < input.count; ++k) {
        const int32_t f = static_cast<int32_t>(input.firstInput) + k;
        if (f < remoteKnownEnd) {
            continue;
        }
        if (f > remoteKnownEnd || f >= lowestLive + ringSize - 1 || f >= frameLimit) {
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
    if (phase != PhasePlaying && phase != PhaseEnding) {
        Drop();
        return;
    }
    const auto frame = static_cast<int32_t>(digest.frame);
    switch (digests.Remote(frame, digest.digest, localKnownEnd)) {
        case DigestCheck::DigestRefused:
            Drop();
            break;
        case DigestCheck::DigestDiffers:
            Verdict(EndOutOfSync, frame, false);
            break;
        case DigestCheck::DigestAgrees:
            break;
    }
}

void RollbackSession::Step(int32_t frame) {
    FrameSlot& slot = Slot(frame);
    const bool guess = remoteControls.Predicted(frame);
    // A guess may have to be run again from here. After a frame the rule
    // decided the match with (as it was last stepped), the world is kept as
    // well: once that frame is confirmed as it is, the match ends before this
    // one, and the world is put back to here (RewindToConfirmed).
    if (guess || (frame > 0 && Slot(frame - 1).decides)) {
        snapshots[frame % snapshotCount].Take();
        snapshotFrame[frame % snapshotCount] = frame;
    }
    const uint8_t remote = remoteControls.Controls(frame);
    slot.remoteUsed = remote;
    const uint8_t first = localPlayer == 0 ? slot.local : remote;
    const uint8_t second = localPlayer == 0 ? remote : slot.local;
    StepWorld(first, second);
    slot.events = frameEvents;
    slot.deaths[0] = fighters[0].deaths;
    slot.deaths[1] = fighters[1].deaths;
    slot.decides = DecideMatch(tally.Rule(), frame + 1, slot.deaths).decided;
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
    if (frame < frameLimit) {
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
        Verdict(EndLocalFault, from, false, "a frame to re-run was not saved");
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
// a second, so lost packets do not look like a side falling behind. Its frame
// is bounded by this side's window, so the sum cannot overflow.
int32_t RollbackSession::Advantage() const {
    const uint32_t sinceHeardMs = link.NowMs() - echoReceivedMs;
    const int32_t aged = static_cast<int32_t>(sinceHeardMs < 1000 ? sinceHeardMs * 60 / 1000 : 60);
    return currentFrame - (remoteFrame + aged);
}

bool RollbackSession::ShouldHold() {
    ++framesSinceHold;
    if (otherFinished) {
        return false;
    }
    const int32_t advantage = Advantage();
    const uint32_t roundTripMs =
        stats.roundTripMs < holdRoundTripMs ? stats.roundTripMs : holdRoundTripMs;
    const int32_t roundTripFrames = static_cast<int32_t>(roundTripMs) / 16;
    if (advantage - remoteAdvantage >= 2 && framesSinceHold > 2 + roundTripFrames) {
        framesSinceHold = 0;
        return true;
    }
    return false;
}

void RollbackSession::ReportConfirmed() {
    int32_t end = remoteKnownEnd < currentFrame ? remoteKnownEnd : currentFrame;
    if (end > frameLimit) {
        end = frameLimit;
    }
    for (int32_t frame = confirmedEnd; frame < end && endReason == EndNone; ++frame) {
        const FrameSlot& slot = Slot(frame);
        ConfirmedFrame entry;
        entry.frame = frame;
        entry.controls[localPlayer] = slot.local;
        entry.controls[1 - localPlayer] = slot.remote;
        entry.hasDigest = (frame + 1) % digestInterval == 0;
        entry.rulesDigest = entry.hasDigest ? slot.digest : 0;
        entry.events = slot.events;
        entry.deaths[0] = slot.deaths[0];
        entry.deaths[1] = slot.deaths[1];
        if (!confirmed.Push(entry)) {
            ++stats.confirmedDropped;
        }
        confirmedEnd = frame + 1;
        if (entry.hasDigest) {
            SendDigest(frame + 1, slot.digest);
            if (digests.Own(frame + 1, slot.digest) == DigestCheck::DigestDiffers) {
                Verdict(EndOutOfSync, frame + 1, false);
            }
        }
        if (tally.Count(entry)) {
            // The rule decided the match with this frame: the other side
            // decides at the same one, and neither plays past it.
            if (confirmedEnd < frameLimit) {
                frameLimit = confirmedEnd;
            }
            break;
        }
    }
}

bool RollbackSession::SendReliable(const uint8_t* data, size_t size, const char* what) {
    // Neither can fail for packets this side builds; if one did, the match
    // could not go on as the other side sees it.
    if (size == 0) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "could not encode its %s", what);
        Verdict(EndLocalFault, currentFrame, false, detail);
        return false;
    }
    if (!link.Send(ChannelReliable, data, size) && link.Status() == LinkConnected) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "could not send its %s", what);
        Verdict(EndLocalFault, currentFrame, false, detail);
        return false;
    }
    return true;
}

void RollbackSession::SendHello() {
    uint8_t buffer[maxPacketSize];
    SendReliable(buffer, EncodeHello(localHello, buffer, sizeof buffer), "handshake");
}

void RollbackSession::SendInputs(uint32_t now) {
    // Something new goes out at once; otherwise the unacknowledged bytes are
    // sent again at an interval, in case the last packet was lost.
    if (localKnownEnd == lastSentKnownEnd && remoteKnownEnd == lastSentAck &&
        Since(lastInputSentMs, now) < inputResendMs) {
        return;
    }
    InputPacket input;
    input.frame = static_cast<uint32_t>(currentFrame);
    input.ack = static_cast<uint32_t>(remoteKnownEnd);
    input.advantage = ClampAdvantage(Advantage());
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
    if (size == 0) {
        Verdict(EndLocalFault, currentFrame, false, "could not encode its inputs");
        return;
    }
    // Lost or not, the next one carries the same bytes.
    link.Send(ChannelUnreliable, buffer, size);
    lastInputSentMs = now;
    lastSentKnownEnd = localKnownEnd;
    lastSentAck = remoteKnownEnd;
}

void RollbackSession::SendDigest(int32_t frame, uint64_t digest) {
    DigestPacket packet;
    packet.frame = static_cast<uint32_t>(frame);
    packet.digest = digest;
    uint8_t buffer[maxPacketSize];
    SendReliable(buffer, EncodeDigest(packet, buffer, sizeof buffer), "digest");
}

void RollbackSession::SendEnd(EndReason reason, int32_t frame) {
    EndPacket packet;
    packet.reason = reason;
    packet.frame = static_cast<uint32_t>(frame < 0 ? 0 : frame);
    uint8_t buffer[maxPacketSize];
    SendReliable(buffer, EncodeEnd(packet, buffer, sizeof buffer), "end");
}
