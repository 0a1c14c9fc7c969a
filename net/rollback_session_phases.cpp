// The rollback session's phases: connecting, the handshake and the host's
// turning away of clients, the limits of play, the play-out of the last
// frames, the verdict and the close.
#include <cstdio>

#include "net/end_message.h"
#include "net/rollback_session.h"

namespace {

// A display frame, as the play-out of the last frames allows for each.
constexpr uint32_t displayFrameMs = 17;

}  // namespace

void RollbackSession::UpdateConnecting(uint32_t now) {
    const LinkStatus status = link.Status();
    if (status == LinkConnected) {
        EnterHandshaking(now);
    } else if (!Hosting() && (status != LinkConnecting ||
                              Since(phaseStartMs, now) > options.silenceLimitMs + Allowance())) {
        // A host waits for a player as long as it likes; a join is answered
        // within the silence limit or given up.
        Verdict(EndNoAnswer, 0, true);
    }
}

void RollbackSession::EnterHandshaking(uint32_t now) {
    phase = PhaseHandshaking;
    phaseStartMs = now;
    lastHeardMs = now;
    // The host speaks first; the joiner answers the host's handshake.
    if (Hosting()) {
        SendHello();
    }
}

void RollbackSession::UpdateHandshaking(uint32_t now) {
    const LinkStatus status = link.Status();
    if (helloReceived) {
        const EndReason refusal = HelloRefusal(localHello, remoteHello);
        if (refusal == EndNone) {
            if (!Hosting()) {
                // The match is played by the host's rule; the answer says
                // it was taken.
                localHello.rule = remoteHello.rule;
                SendHello();
            }
            BeginPlay(now);
            return;
        }
        if (Hosting()) {
            RefuseClient(refusal);
        } else {
            // The host is told this side's handshake, so that it can name
            // what differs too.
            SendHello();
            Verdict(refusal, 0, false);
        }
        return;
    }
    const bool gone = status == LinkClosed || status == LinkLeft;
    const uint32_t limit =
        Hosting() ? options.handshakeLimitMs + Allowance()
                  : options.silenceLimitMs + 2 * options.handshakeLimitMs + Allowance();
    if (Hosting()) {
        if (gone) {
            LetClientGo("a client left before its handshake");
        } else if (Since(phaseStartMs, now) > limit) {
            LetClientGo("a client sent no handshake in time");
        }
    } else if (gone) {
        Verdict(status == LinkLeft ? EndLeft : EndConnectionLost, 0, true);
    } else if (Since(phaseStartMs, now) > limit) {
        Verdict(EndNoHandshake, 0, true);
    }
}

void RollbackSession::RefuseClient(EndReason refusal) {
    SendEnd(refusal, 0);
    char why[128];
    EndFacts facts;
    facts.reason = refusal;
    facts.local = &localHello;
    facts.remote = &remoteHello;
    FormatEndMessage(facts, why, sizeof why);
    LetClientGo(why);
}

void RollbackSession::LetClientGo(const char* why) {
    std::snprintf(notice, sizeof notice, "let a client go: %s", why);
    ++noticeCount;
    remoteHello = HelloPacket{};
    helloReceived = false;
    link.DropPeer();
    phase = PhaseConnecting;
    const uint32_t now = link.NowMs();
    phaseStartMs = now;
    if (link.Status() == LinkConnected) {
        EnterHandshaking(now);
    }
}

void RollbackSession::BeginPlay(uint32_t now) {
    remoteKnownEnd = remoteHello.inputDelay;
    for (FrameSlot& slot : slots) {
        slot = FrameSlot{};
    }
    tally.Start(localHello.rule);
    phase = PhasePlaying;
    phaseStartMs = now;
    playStartMs = now;
    lastProgressMs = now;
    link.RefuseOthers();
}

void RollbackSession::CheckPlayLimits(uint32_t now) {
    if (endReason != EndNone) {
        return;
    }
    const LinkStatus status = link.Status();
    const bool gone = status == LinkClosed || status == LinkLeft;
    if (phase == PhasePlaying) {
        const uint32_t limit = options.silenceLimitMs + Allowance();
        if (gone) {
            Verdict(status == LinkLeft ? EndLeft : EndConnectionLost, currentFrame, true);
        } else if (Since(lastHeardMs, now) > limit) {
            Verdict(EndConnectionLost, currentFrame, true);
        } else if (Since(lastProgressMs, now) > limit) {
            if (waitingForDigests) {
                Verdict(EndProtocolError, currentFrame, false, "it sends no digests");
            } else {
                Verdict(EndNoProgress, currentFrame, false);
            }
        }
        return;
    }
    // Playing out the last frames: the other side going away is the end when
    // this side still waits for its bytes; past the deadline, the end anyway.
    const bool needsOther = remoteKnownEnd < frameLimit;
    if ((gone && needsOther) || static_cast<int32_t>(now - endingDeadlineMs) >= 0) {
        if (leaver == LeaverOtherFinished) {
            Verdict(EndFinished, confirmedEnd, false);
        } else {
            Verdict(EndQuit, confirmedEnd, leaver == LeaverOtherQuit);
        }
    }
}

void RollbackSession::UpdateClosing(uint32_t now) {
    if (link.Status() != LinkClosing || static_cast<int32_t>(now - endingDeadlineMs) >= 0) {
        phase = PhaseEnded;
    }
}

void RollbackSession::Quit() {
    if (phase == PhaseConnecting || phase == PhaseHandshaking) {
        // A joiner may already play: it names no frame it has confirmed.
        if (link.Status() == LinkConnected) {
            SendEnd(EndQuit, localKnownEnd);
        }
        Verdict(EndCancelled, 0, false);
        return;
    }
    if (phase == PhaseEnding) {
        if (Leaving()) {
            Verdict(EndQuit, confirmedEnd, leaver == LeaverOtherQuit);
        }
        return;
    }
    if (phase != PhasePlaying) {
        return;
    }
    // This side's bytes stop at localKnownEnd: the other side has them or
    // will (they are sent until acknowledged) and gets none past it, so
    // neither side can confirm a frame beyond it.
    BeginLeaving(localKnownEnd, LeaverThisSide);
    SendEnd(EndQuit, localKnownEnd);
}

void RollbackSession::BeginLeaving(int32_t endFrame, Leaver who) {
    // Both players quitting at once end at the earlier of the two frames.
    if (endFrame < frameLimit) {
        frameLimit = endFrame;
    }
    if (phase != PhasePlaying) {
        return;
    }
    phase = PhaseEnding;
    leaver = who;
    const uint32_t now = link.NowMs();
    if (who == LeaverThisSide) {
        endingDeadlineMs = now + quitPlayOutMs;
    } else {
        // The frames left to step are bounded by the frame window, so no
        // message can stretch this.
        const int32_t toStep = frameLimit > currentFrame ? frameLimit - currentFrame : 0;
        endingDeadlineMs =
            now + playOutMs + Allowance() + static_cast<uint32_t>(toStep) * displayFrameMs;
    }
}

bool RollbackSession::Finished() const {
    // Done once every frame is final here and the other side holds all of this
    // side's inputs (or is done itself), so it can finish without us.
    return currentFrame >= frameLimit && confirmedEnd >= frameLimit &&
           (remoteAck >= frameLimit || otherFinished);
}

void RollbackSession::HandleHello(const HelloPacket& hello) {
    if (helloReceived) {
        Drop();
        return;
    }
    remoteHello = hello;
    helloReceived = true;
}

void RollbackSession::HandleEnd(const EndPacket& end) {
    const auto frame = static_cast<int32_t>(end.frame);
    if (phase == PhaseHandshaking) {
        if (Hosting()) {
            // The client refused this side (after its handshake, which says
            // why), quit or lied: either way it goes.
            const EndReason refusal =
                helloReceived ? HelloRefusal(localHello, remoteHello) : EndNone;
            if (refusal != EndNone) {
                RefuseClient(refusal);
            } else {
                LetClientGo(end.reason == EndQuit ? "a client left before the match"
                                                  : "a client ended the handshake");
            }
        } else if (end.reason == EndVersionMismatch || end.reason == EndArtMismatch ||
                   end.reason == EndLayoutMismatch) {
            Verdict(static_cast<EndReason>(end.reason), 0, true);
        } else if (end.reason == EndQuit) {
            Verdict(EndLeft, 0, true);
        } else {
            Verdict(EndProtocolError, 0, false, "an end before the match began");
        }
        return;
    }
    switch (end.reason) {
        case EndFinished:
            // The other side holds every frame up to its limit and has seen
            // this side hold all of its bytes below it: nothing more will
            // come, and nothing more is needed.
            if (frame < confirmedEnd || frame > remoteKnownEnd) {
                Verdict(EndProtocolError, currentFrame, false, "a finish it had not reached");
            } else {
                otherFinished = true;
                BeginLeaving(frame, LeaverOtherFinished);
            }
            break;
        case EndQuit:
            // The other player quit: play on to the frame it names, which no
            // frame confirmed here lies beyond.
            if (frame < confirmedEnd || frame > localKnownEnd + ringSize) {
                Verdict(EndProtocolError, currentFrame, false, "a quit at a frame never played");
            } else {
                BeginLeaving(frame, LeaverOtherQuit);
            }
            break;
        case EndOutOfSync:
            // Only a digest this side has also made can differ.
            if (frame <= 0 || frame % digestInterval != 0 || frame > confirmedEnd) {
                Verdict(EndProtocolError, currentFrame, false, "a desync at a frame never played");
            } else {
                Verdict(EndOutOfSync, frame, true);
            }
            break;
        default:
            // A refusal (the joiner plays from its own handshake on, before
            // the host has judged it), a protocol error or a stop.
            Verdict(static_cast<EndReason>(end.reason), currentFrame, true);
            break;
    }
}

void RollbackSession::Verdict(EndReason reason, int32_t frame, bool byOther, const char* detail) {
    if (endReason != EndNone || phase == PhaseEnded) {
        return;
    }
    endReason = reason;
    endedByOther = byOther;
    stalled = false;
    EndFacts facts;
    facts.reason = reason;
    facts.byOther = byOther;
    facts.frame = frame;
    facts.local = &localHello;
    facts.remote = helloReceived ? &remoteHello : nullptr;
    facts.address = options.address;
    facts.detail = detail;
    facts.limitSeconds = (options.silenceLimitMs + Allowance() + 999) / 1000;
    facts.beforePlay = phase == PhaseConnecting || phase == PhaseHandshaking;
    if (reason == EndFinished && tally.Outcome().decided) {
        facts.decided = true;
        facts.winner = tally.Outcome().winner;
        facts.kills[0] = tally.Kills(0);
        facts.kills[1] = tally.Kills(1);
        facts.localPlayer = localPlayer;
    }
    FormatEndMessage(facts, message, sizeof message);
    // The other side is told a verdict it can act on; a quit that played
    // out was announced when it began.
    const bool tell = !byOther && reason <= lastSentEndReason && reason != EndQuit &&
                      link.Status() == LinkConnected;
    if (tell) {
        SendEnd(reason, frame);
    }
    phase = PhaseEnding;
    endingDeadlineMs = link.NowMs() + closeLimitMs;
    link.Close();
    UpdateClosing(link.NowMs());
}
