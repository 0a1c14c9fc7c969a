// RollbackSession: one player's side of an online game. It sends this side's
// control bytes, predicts the other player's, steps the world, and when a real
// input contradicts a prediction it restores the saved world and re-runs the
// frames to the present. It also keeps both sides' clocks level, detects
// desyncs on confirmed frames, reports the confirmed frames to a recorder, and
// takes the match through its phases, each with a time limit of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/confirmed_queue.h"
#include "net/digest_check.h"
#include "net/link.h"
#include "net/match_tally.h"
#include "net/net_stats.h"
#include "net/packet_codec.h"
#include "net/remote_controls.h"
#include "rules/frame_events.h"
#include "rules/world_snapshot.h"

struct SessionOptions {
    int32_t localPlayer = 0;  // 0: the first fighter (the host), 1: the second
    int32_t inputDelay = 2;   // 0..8: the byte read at local frame t acts at world frame t + D
    const char* name = "";    // shown to the other side while it waits for us
    // The other side is given up after this long without a packet, or
    // without a frame of progress; a join nobody answers, after this long.
    uint32_t silenceLimitMs = 5000;
    // Stop after this many world frames, once both sides hold every input for
    // them (headless runs); 0 plays on until a player quits or the rule
    // decides the match.
    int32_t frameLimit = 0;
    // Hears what each stepped frame made heard, re-runs included (the sounds
    // of a windowed match); null steps silently.
    FrameEventListener* listener = nullptr;
    // Joining: HOST:PORT, as the end messages name it.
    const char* address = "";
    // A delay this side adds to everything it sends (--net-delay): the limits
    // above and below are stretched by twice it, a round trip through two
    // such sides.
    uint32_t linkDelayMs = 0;
    // Hosting: a client that connected must send its handshake within this,
    // or it is let go and the next one is taken. A joiner waits for the
    // host's handshake the silence limit and twice this.
    uint32_t handshakeLimitMs = 2000;
    // Hosting: when the match is over, told to the joiner in the handshake.
    // A joiner's is not used: it plays the host's.
    MatchRule rule = {};
};

// The phases of a match, in order; every one but the host's wait is bounded.
enum MatchPhase : uint8_t {
    PhaseConnecting = 0,   // no other side: the host waits, the joiner knocks
    PhaseHandshaking = 1,  // connected: the handshakes go both ways
    PhasePlaying = 2,
    // The match is ending: its last frames are played out (Leaving), then the
    // end is delivered and the link closed (EndReasonCode is then set).
    PhaseEnding = 3,
    PhaseEnded = 4,
};

// Takes confirmed frames as they come (a replay recorder, a test).
class ConfirmedFrameSink {
public:
    virtual ~ConfirmedFrameSink() = default;
    virtual void Confirmed(const ConfirmedFrame& frame) = 0;
};

// What the frame loop does with the display frame a Tick answered for.
enum TickResult : uint8_t {
    TickConnecting = 0,  // no match yet: show the connecting or waiting screen
    TickAdvanced = 1,    // the world moved one frame: draw it
    TickHeld = 2,        // the world did not move (ahead, or ending): draw it again, read no input
    TickStalled = 3,     // the other side is too far behind: "Waiting for NAME"
    TickEnded = 4,       // the match is over: EndReasonCode and EndMessage say why
};

class RollbackSession {
public:
    // The world must be set up (terrain generated) before: the snapshots are
    // allocated here, for its size.
    RollbackSession(Link& link, const SessionOptions& options);
    RollbackSession(const RollbackSession&) = delete;
    RollbackSession& operator=(const RollbackSession&) = delete;
    virtual ~RollbackSession() = default;

    // One display frame: takes what arrived, moves through the phases and
    // their limits, corrects mispredictions, then, unless it must wait, steps
    // the world one frame with localControls as this side's byte for world
    // frame (current + inputDelay), and sends. When the match's rule decides
    // the match at a confirmed frame, that frame is the last one both sides
    // play: the match then ends as a finished one (EndFinished).
    TickResult Tick(uint8_t localControls);
    // Takes what arrived without stepping, after waiting up to waitMs for it
    // (0: not at all): called between Ticks, so that packets are read as they
    // come and the round trip is the network's, not the frame rate's.
    void Poll(uint32_t waitMs = 0);
    // This player leaves. While playing, the match ends on both sides at the
    // first world frame this side has given no byte for: the other side is
    // told, and Tick goes on (reading no input that matters) until both hold
    // every byte before that frame, so that both record the same frames, or
    // quitPlayOutMs pass; then the link closes, within closeLimitMs. Called
    // again, or before play began, it ends at once.
    void Quit();
    // After the end: puts the world back to just after the last confirmed
    // frame (this side may have predicted a few beyond it), the state a
    // replay of the confirmed frames ends in. False when that cannot be done.
    bool RewindToConfirmed();

    // Takes the oldest confirmed frame not taken yet; false when none waits.
    bool PopConfirmed(ConfirmedFrame* out);

    MatchPhase Phase() const { return phase; }
    bool Playing() const { return phase == PhasePlaying; }
    // The match is playing out its last frames (a player quit, or the other
    // side finished).
    bool Leaving() const { return phase == PhaseEnding && endReason == EndNone; }
    bool Ended() const { return phase == PhaseEnded; }
    bool Stalled() const { return stalled; }
    // Set once the end is decided, while the link closes (PhaseEnding).
    EndReason EndReasonCode() const { return endReason; }
    // True when the other side ended the match or vanished.
    bool EndedByOther() const { return endedByOther; }
    const char* EndMessage() const { return message; }
    // The host's latest word on a client it let go during the handshake,
    // and how many there were: the host itself waits on.
    const char* Notice() const { return notice; }
    int32_t NoticeCount() const { return noticeCount; }
    // The other player's name, empty until the handshake.
    const char* RemoteName() const { return remoteHello.name; }
    // This player's name as the other side sees it, and fighter (0: the
    // host's, 1: the joiner's).
    const char* LocalName() const { return localHello.name; }
    int32_t LocalPlayer() const { return localPlayer; }
    // The match's rule (the host's) and what the confirmed frames add up to
    // by it; the rule is known to a joiner once play begins.
    const MatchRule& Rule() const { return tally.Rule(); }
    const MatchTally& Tally() const { return tally; }
    // The next world frame to run; the world shows the frame before it.
    int32_t CurrentFrame() const { return currentFrame; }
    // Frames whose inputs are all known and whose results are final.
    int32_t ConfirmedFrames() const { return confirmedEnd; }
    const NetStats& Stats() const { return stats; }

    // After a quit this side plays out its last frames for this long at
    // most, and it waits this long at most for the link to close.
    static constexpr uint32_t quitPlayOutMs = 400;
    static constexpr uint32_t closeLimitMs = 250;
    // A play-out the other side started has a second and the display frames
    // it needs to step its frames.
    static constexpr uint32_t playOutMs = 1000;
    // Inputs go out when there is something new, else at this interval.
    static constexpr uint32_t inputResendMs = 16;

private:
    friend class RemoteControls;
    // Who started the play-out of the last frames.
    enum Leaver : uint8_t { LeaverNone, LeaverThisSide, LeaverOtherQuit, LeaverOtherFinished };

    // A frame's bytes, and what its last step made of them: a re-run
    // overwrites it, so a confirmed frame's is its final one.
    struct FrameSlot {
        uint8_t local;
        uint8_t remote;      // the other side's byte, once received
        uint8_t remoteUsed;  // the byte the world was last stepped with (maybe predicted)
        uint64_t digest;     // DigestRules after the frame, on digest frames
        FrameEvents events;  // what the step made heard, and the hits
        int32_t deaths[2];   // each fighter's deaths after it
        bool decides;        // the rule decides the match with this frame
    };

    static constexpr int32_t ringSize = 128;
    static constexpr int32_t snapshotCount = maxPrediction + 2;

    // Milliseconds from a to b on a clock that may wrap; 0 when b is before a
    // (a time taken after b, as a packet's arrival during the same frame).
    static uint32_t Since(uint32_t a, uint32_t b);
    FrameSlot& Slot(int32_t frame) { return slots[frame % ringSize]; }
    bool Hosting() const { return localPlayer == 0; }
    uint32_t Allowance() const { return 2 * options.linkDelayMs; }
    void ReceiveAll();
    void Handle(const Packet& packet);
    void HandleHello(const HelloPacket& hello);
    void HandleInput(const InputPacket& input);
    void HandleDigest(const DigestPacket& digest);
    void HandleEnd(const EndPacket& end);
    void UpdateConnecting(uint32_t now);
    void EnterHandshaking(uint32_t now);
    void UpdateHandshaking(uint32_t now);
    // Hosting: tells the client why it is refused, then lets it go.
    void RefuseClient(EndReason refusal);
    void LetClientGo(const char* why);
    void BeginPlay(uint32_t now);
    void CheckPlayLimits(uint32_t now);
    void UpdateClosing(uint32_t now);
    TickResult Play(uint8_t localControls, uint32_t now);
    void Rollback();
    void Step(int32_t frame);
    void Advance(uint8_t localControls);
    int32_t Advantage() const;
    bool ShouldHold();
    void ReportConfirmed();
    void NoteProgress(uint32_t now);
    void SendHello();
    void SendInputs(uint32_t now);
    void SendDigest(int32_t frame, uint64_t digest);
    void SendEnd(EndReason reason, int32_t frame);
    bool SendReliable(const uint8_t* data, size_t size, const char* what);
    void BeginLeaving(int32_t endFrame, Leaver who);
    // The end is decided: the message is written, the other side told where
    // it should be, and the link starts closing. The first verdict stands.
    void Verdict(EndReason reason, int32_t frame, bool byOther, const char* detail = "");
    void Drop() { ++stats.packetsDropped; }
    bool Finished() const;

    Link& link;
    SessionOptions options;
    MatchPhase phase = PhaseConnecting;
    uint32_t phaseStartMs = 0;
    HelloPacket localHello;
    HelloPacket remoteHello;
    bool helloReceived = false;

    int32_t localPlayer = 0;
    int32_t localDelay = 2;
    int32_t frameLimit = maxMatchFrames;   // the last frame is frameLimit - 1
    int32_t currentFrame = 0;              // the next world frame to step
    int32_t localKnownEnd = 0;             // this side's bytes are held for frames below
    RemoteControls remoteControls{*this};  // the other side's bytes, known or predicted
    int32_t remoteKnownEnd = 0;            // the other side's bytes are known for frames below
    int32_t remoteAck = 0;                 // the other side holds this side's bytes below
    int32_t confirmedEnd = 0;              // confirmed frames reported below
    int32_t firstWrong = -1;               // earliest frame stepped with a wrong prediction
    int32_t remoteFrame = 0;               // the latest frame the other side reported
    int8_t remoteAdvantage = 0;
    bool stalled = false;
    bool waitingForDigests = false;
    int32_t framesSinceHold = 0;
    Leaver leaver = LeaverNone;
    bool otherFinished = false;     // the other side holds every frame and needs nothing more
    uint32_t endingDeadlineMs = 0;  // the play-out's, then the close's

    uint32_t lastHeardMs = 0;
    uint32_t lastProgressMs = 0;
    int64_t progressMark = 0;
    uint32_t playStartMs = 0;
    bool haveEcho = false;  // a time of the other side's to echo
    uint32_t echoMs = 0;
    uint32_t echoReceivedMs = 0;
    uint32_t lastInputSentMs = 0;
    int32_t lastSentKnownEnd = -1;
    int32_t lastSentAck = -1;

    FrameSlot slots[ringSize] = {};
    WorldSnapshot snapshots[snapshotCount];
    int32_t snapshotFrame[snapshotCount] = {};
    DigestCheck digests;
    ConfirmedQueue confirmed;
    MatchTally tally;

    EndReason endReason = EndNone;
    bool endedByOther = false;
    char message[160] = {};
    char notice[160] = {};
    int32_t noticeCount = 0;
    uint8_t packetBuffer[linkPacketLimit + 1] = {};
    Packet decoded;
    NetStats stats;
};
