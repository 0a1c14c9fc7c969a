// RollbackSession: one player's side of an online game. It sends this side's
// control bytes, predicts the other player's, steps the world, and when a real
// input contradicts a prediction it restores the saved world and re-runs the
// frames to the present. It also keeps both sides' clocks level, detects
// desyncs on confirmed frames and reports the confirmed frames to a recorder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/link.h"
#include "net/net_stats.h"
#include "net/packet_codec.h"
#include "rules/frame_events.h"
#include "rules/world_snapshot.h"
#include "rules/world_timing.h"

struct SessionOptions {
    int32_t localPlayer = 0;  // 0: the first fighter (the host), 1: the second
    int32_t inputDelay = 2;   // 0..8: the byte read at local frame t acts at world frame t + D
    const char* name = "";    // shown to the other side while it waits for us
    // The other side is given up after this long without a packet.
    uint32_t silenceLimitMs = 5000;
    // Stop after this many world frames, once both sides hold every input for
    // them (headless runs); 0 plays on until a player quits.
    int32_t frameLimit = 0;
    // Hears what each stepped frame made heard, re-runs included (the sounds
    // of a windowed match); null steps silently.
    FrameEventListener* listener = nullptr;
};

// One world frame both players' inputs are known for, as stepped: what a
// replay records. hasDigest every digestInterval frames.
struct ConfirmedFrame {
    int32_t frame = 0;
    uint8_t controls[2] = {0, 0};  // first player, second player
    bool hasDigest = false;
    uint64_t rulesDigest = 0;  // DigestRules after this frame
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
    TickHeld = 2,        // this side is ahead: draw the same world again, read no input
    TickStalled = 3,     // the other side is too far behind: "Waiting for NAME"
    TickEnded = 4,       // the match is over: EndReasonCode and EndMessage say why
};

inline constexpr int32_t digestInterval = rulesDigestInterval;

class RollbackSession {
public:
    // The world must be set up (terrain generated) before: the snapshots are
    // allocated here, for its size.
    RollbackSession(Link& link, const SessionOptions& options);
    RollbackSession(const RollbackSession&) = delete;
    RollbackSession& operator=(const RollbackSession&) = delete;
    virtual ~RollbackSession() = default;

    // One display frame: takes what arrived, corrects mispredictions, then,
    // unless it must wait, steps the world one frame with localControls as this
    // side's byte for world frame (current + inputDelay), and sends.
    TickResult Tick(uint8_t localControls);
    // This player leaves. While playing, the match ends on both sides at the
    // first world frame this side has given no byte for: the other side is
    // told, and Tick goes on (reading no input that matters) until both hold
    // every byte before that frame, so that both record the same frames; then
    // Ended. Called again, or before play began, it ends at once.
    void Quit();
    // After the end: puts the world back to just after the last confirmed
    // frame (this side may have predicted a few beyond it), the state a
    // replay of the confirmed frames ends in. False when that cannot be done.
    bool RewindToConfirmed();

    // Takes the oldest confirmed frame not taken yet; false when none waits.
    bool PopConfirmed(ConfirmedFrame* out);

    bool Playing() const { return phase == PhasePlaying; }
    // A player quit and the match is playing out its last frames.
    bool Leaving() const { return leaving; }
    bool Ended() const { return phase == PhaseEnded; }
    bool Stalled() const { return stalled; }
    EndReason EndReasonCode() const { return endReason; }
    // True when the other side ended the match or vanished.
    bool EndedByOther() const { return endedByOther; }
    const char* EndMessage() const { return message; }
    // The other player's name, empty until the handshake.
    const char* RemoteName() const { return remoteHello.name; }
    // The next world frame to run; the world shows the frame before it.
    int32_t CurrentFrame() const { return currentFrame; }
    // Frames whose inputs are all known and whose results are final.
    int32_t ConfirmedFrames() const { return confirmedEnd; }
    const NetStats& Stats() const { return stats; }

private:
    enum Phase : uint8_t { PhaseConnecting, PhaseHandshaking, PhasePlaying, PhaseEnded };

    struct FrameSlot {
        uint8_t local;
        uint8_t remote;      // the other side's byte, once received
        uint8_t remoteUsed;  // the byte the world was last stepped with (maybe predicted)
        uint64_t digest;     // DigestRules after the frame, on digest frames
    };
    struct DigestEntry {
        int32_t frame;  // frames played, a multiple of digestInterval; 0 for none
        uint64_t digest;
    };

    static constexpr int32_t ringSize = 128;
    static constexpr int32_t snapshotCount = maxPrediction + 2;
    static constexpr int32_t digestKeep = 8;
    static constexpr int32_t confirmedCapacity = 256;

    FrameSlot& Slot(int32_t frame) { return slots[frame % ringSize]; }
    void ReceiveAll();
    void Handle(const Packet& packet);
    void HandleHello(const HelloPacket& hello);
    void HandleInput(const InputPacket& input);
    void HandleDigest(const DigestPacket& digest);
    void BeginPlay();
    void Rollback();
    void Step(int32_t frame);
    void Advance(uint8_t localControls);
    int32_t Advantage() const;
    bool ShouldHold();
    void ReportConfirmed();
    void NoteDigest(DigestEntry* table, int32_t frame, uint64_t digest);
    void CompareDigests(int32_t frame);
    void SendHello();
    void SendInputs();
    void SendDigest(const DigestEntry& entry);
    void SendEnd(EndReason reason, uint32_t frame);
    void End(EndReason reason, int32_t frame, bool byOther);
    void BeginLeaving(int32_t endFrame, bool byOther);
    void Drop() { ++stats.packetsDropped; }
    bool Finished() const;

    Link& link;
    SessionOptions options;
    Phase phase = PhaseConnecting;
    HelloPacket localHello;
    HelloPacket remoteHello;
    bool helloReceived = false;

    int32_t localPlayer = 0;
    int32_t localDelay = 2;
    int32_t currentFrame = 0;    // the next world frame to step
    int32_t localKnownEnd = 0;   // this side's bytes are held for frames below
    int32_t remoteKnownEnd = 0;  // the other side's bytes are known for frames below
    int32_t remoteAck = 0;       // the other side holds this side's bytes below
    int32_t confirmedEnd = 0;    // confirmed frames reported below
    int32_t firstWrong = -1;     // earliest frame stepped with a wrong prediction
    int32_t remoteFrame = 0;     // the latest frame the other side reported
    int8_t remoteAdvantage = 0;
    bool remoteFinished = false;
    bool stalled = false;
    int32_t framesSinceHold = 0;
    bool leaving = false;      // a quit is playing out; options.frameLimit is its end
    bool leftByOther = false;  // the other player quit first

    uint32_t lastHeardMs = 0;
    uint32_t playStartMs = 0;
    bool haveEcho = false;  // a time of the other side's to echo
    uint32_t echoMs = 0;
    uint32_t echoReceivedMs = 0;

    FrameSlot slots[ringSize] = {};
    WorldSnapshot snapshots[snapshotCount];
    int32_t snapshotFrame[snapshotCount] = {};
    DigestEntry ownDigests[digestKeep] = {};
    DigestEntry remoteDigests[digestKeep] = {};
    DigestEntry latestOwnDigest = {};
    int32_t digestResendIn = 0;
    ConfirmedFrame confirmed[confirmedCapacity] = {};
    int32_t confirmedHead = 0;
    int32_t confirmedCount = 0;

    EndReason endReason = EndNone;
    bool endedByOther = false;
    char message[128] = {};
    uint8_t packetBuffer[maxPacketSize + 1] = {};
    Packet decoded;
    NetStats stats;
};
