// A host on ENet at 127.0.0.1 against hand-made clients that break the rules:
// an end before the handshake or in the middle of a match, then silence or a
// disconnect; frame numbers near 2^31; empty and oversized packets; a
// handshake that never comes while a real player joins; inputs with nothing
// new; no digests; a third client during a match. The host neither hangs nor
// crashes (the sanitizer build runs these too), and says what happened.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/enet_link.h"
#include "net/scripted_peer.h"
#include "rules/headless_world.h"
#include "tests/net/hostile_client.h"
#include "tests/net/peer_world.h"
#include "tests/net/session_harness.h"

namespace {

using Clock = std::chrono::steady_clock;

// Short limits keep the tests quick; the limits' lengths are the in-memory
// tests' business.
SessionOptions HostOptions(int32_t frameLimit = 0) {
    SessionOptions options{0, 2, "Torvik", 600, frameLimit};
    options.handshakeLimitMs = 300;
    return options;
}

// Runs turn() every millisecond or so until done() or limitMs pass; answers
// the milliseconds it took.
int64_t RunUntil(const std::function<bool()>& done, const std::function<void()>& turn,
                 int64_t limitMs = 10000) {
    const auto start = Clock::now();
    while (!done() &&
           std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() <
               limitMs) {
        turn();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class HostilePeer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetHeadlessWorld();
        ASSERT_TRUE(link.Host(0));
    }

    // The host playing with a hostile client that has shaken hands and plays
    // along for a while.
    void StartPlaying(HostileClient& client) {
        session = std::make_unique<RollbackSession>(link, HostOptions());
        ASSERT_TRUE(client.Join(link.Port()));
        RunUntil([&] { return client.ledger.sawHello; },
                 [&] {
                     session->Tick(0);
                     client.Service();
                 });
        client.Hello();
        RunUntil([&] { return session->ConfirmedFrames() >= 60; },
                 [&] {
                     session->Tick(0);
                     client.Service();
                     client.PlayAlong();
                 });
        ASSERT_TRUE(session->Playing()) << session->EndMessage();
    }

    EnetLink link;
    std::unique_ptr<RollbackSession> session;
};

// Three clients that never play, then a real player: End(Finished) before its
// handshake and a polite leave; the same and a vanishing; a mute one still
// connected when the real player joins. The host lets each go and plays.
TEST_F(HostilePeer, AWaitingHostOutlivesClientsThatNeverHandshake) {
    constexpr int32_t frames = 120;
    const std::vector<uint8_t> hostScript = Wander(0, frames);
    const std::vector<uint8_t> joinScript = Wander(1, frames);
    ScriptedPeer host(link, HostOptions(frames), hostScript.data(), frames);
    PeerWorld hostWorld;
    PeerWorld joinWorld;
    const auto hostTurn = [&] { hostWorld.Step(host); };

    for (const bool vanish : {false, true}) {
        HostileClient liar;
        ASSERT_TRUE(liar.Join(link.Port()));
        bool said = false;
        RunUntil([&] { return liar.Disconnected(); },
                 [&] {
                     hostTurn();
                     liar.Service();
                     if (liar.Connected() && !said) {
                         liar.End(EndFinished, 0);
                         said = true;
                     }
                 },
                 2000);
        EXPECT_TRUE(liar.Disconnected()) << "the host kept a client that ended before playing";
        vanish ? liar.Vanish() : liar.Leave();
    }
    EXPECT_EQ(host.Session().NoticeCount(), 2);
    EXPECT_STREQ(host.Session().Notice(), "let a client go: a client ended the handshake");

    HostileClient mute;
    ASSERT_TRUE(mute.Join(link.Port()));
    RunUntil([&] { return mute.Connected(); },
             [&] {
                 hostTurn();
                 mute.Service();
             });
    ASSERT_TRUE(mute.Connected());
    EnetLink joinLink;
    ASSERT_TRUE(joinLink.Join("127.0.0.1", link.Port()));
    ScriptedPeer join(joinLink, SessionOptions{1, 2, "Melsar", 5000, frames}, joinScript.data(),
                      frames);
    const int64_t took = RunUntil([&] { return host.Done() && join.Done(); },
                                  [&] {
                                      hostTurn();
                                      mute.Service();
                                      joinWorld.Step(join);
                                  });
    std::printf("[ timing   ] the real player's match ended %lld ms after it joined\n",
                static_cast<long long>(took));
    EXPECT_TRUE(host.Finished()) << host.Session().EndMessage();
    EXPECT_TRUE(join.Finished()) << join.Session().EndMessage();
    EXPECT_EQ(host.Session().NoticeCount(), 3);
    EXPECT_STREQ(host.Session().Notice(), "let a client go: a client sent no handshake in time");
}

// A handshake whose rule is out of range is no handshake: the client is let
// go when its time is up, and the host waits on.
TEST_F(HostilePeer, AHandshakeWithARuleOutOfRangeIsNotTaken) {
    session = std::make_unique<RollbackSession>(link, HostOptions());
    HostileClient client;
    ASSERT_TRUE(client.Join(link.Port()));
    RunUntil([&] { return client.ledger.sawHello; },
             [&] {
                 session->Tick(0);
                 client.Service();
             });
    const uint8_t badRule[2] = {MatchFirstToKills, 0};
    client.Hello(badRule);
    const int64_t took = RunUntil([&] { return client.Disconnected(); },
                                  [&] {
                                      session->Tick(0);
                                      client.Service();
                                  });
    std::printf("[ timing   ] let go %lld ms after its handshake\n", static_cast<long long>(took));
    EXPECT_TRUE(client.Disconnected());
    EXPECT_EQ(session->Stats().packetsDropped, 1);
    EXPECT_EQ(session->Phase(), PhaseConnecting);
    EXPECT_STREQ(session->Notice(), "let a client go: a client sent no handshake in time");
}

// End(Finished) in the middle of a match, then a polite leave or a vanishing:
// a finish at frames the client sent ends as a finish, one it never reached
// as a broken protocol; either way within the limits.
TEST_F(HostilePeer, AFinishMidMatchThenGoneEndsTheHostInTime) {
    struct Case {
        const char* name;
        bool truthful;
        bool vanish;
        EndReason reason;
    };
    const Case cases[] = {
        {"true finish, leaves", true, false, EndFinished},
        {"true finish, vanishes", true, true, EndFinished},
        {"false finish, leaves", false, false, EndProtocolError},
        {"false finish, vanishes", false, true, EndProtocolError},
    };
    for (const Case& c : cases) {
        ResetHeadlessWorld();
        EnetLink hostLink;
        ASSERT_TRUE(hostLink.Host(0));
        RollbackSession host(hostLink, HostOptions());
        HostileClient client;
        ASSERT_TRUE(client.Join(hostLink.Port()));
        bool answered = false;
        RunUntil([&] { return host.ConfirmedFrames() >= 60; },
                 [&] {
                     host.Tick(0);
                     client.Service();
                     if (client.ledger.sawHello && !answered) {
                         client.Hello();
                         answered = true;
                     }
                     if (answered) {
                         client.PlayAlong();
                     }
                 });
        ASSERT_TRUE(host.Playing()) << c.name << ": " << host.EndMessage();
        client.Service();
        client.End(EndFinished, c.truthful ? client.ledger.acked : 5000000);
        client.Service(20);
        c.vanish ? client.Vanish() : client.Leave();
        const int64_t took = RunUntil([&] { return host.Ended(); },
                                      [&] {
                                          host.Tick(0);
                                          client.Service();
                                      });
        std::printf("[ timing   ] %s: ended in %lld ms, %s\n", c.name, static_cast<long long>(took),
                    host.EndMessage());
        ASSERT_TRUE(host.Ended()) << c.name;
        EXPECT_EQ(host.EndReasonCode(), c.reason) << c.name << ": " << host.EndMessage();
        EXPECT_LT(took, 3000) << c.name;
    }
}

// Numbers a decoder must refuse or a session must not believe, and packets
// of no length or far too long: all dropped, the match plays on.
TEST_F(HostilePeer, LyingFramesAndOddSizedPacketsAreDropped) {
    HostileClient client;
    StartPlaying(client);
    const int32_t droppedBefore = session->Stats().packetsDropped;
    // An input for frame 0x7FFFFFFF, written by hand: the encoder refuses it.
    uint8_t input[25 + 1] = {PacketInput, 0xFF, 0xFF, 0xFF, 0x7F};
    input[24] = 1;
    client.SendRaw(input, sizeof input, false);
    // Inputs from the first frame 0x7FFFFFF0 on.
    uint8_t late[25 + 4] = {PacketInput};
    late[20] = 0xF0, late[21] = 0xFF, late[22] = 0xFF, late[23] = 0x7F, late[24] = 4;
    client.SendRaw(late, sizeof late, false);
    // Decodable, but far beyond any frame this match has played.
    InputPacket far = client.ledger.PlayAlong();
    far.frame = maxMatchFrames;
    client.Input(far);
    client.SendRaw(nullptr, 0, false);
    client.SendRaw(nullptr, 0, true);
    const std::vector<uint8_t> oversized(200, PacketInput);
    client.SendRaw(oversized.data(), oversized.size(), false);
    const std::vector<uint8_t> huge(100000, PacketEnd);
    client.SendRaw(huge.data(), huge.size(), true);
    const int32_t confirmed = session->ConfirmedFrames();
    RunUntil([&] { return session->ConfirmedFrames() >= confirmed + 60 || session->Ended(); },
             [&] {
                 session->Tick(0);
                 client.Service();
                 client.PlayAlong();
             });
    EXPECT_TRUE(session->Playing()) << session->EndMessage();
    EXPECT_GE(session->ConfirmedFrames(), confirmed + 60);
    // The two past the decoder's bound and the one past the window; the
    // empty and oversized ones never reach the session.
    EXPECT_EQ(session->Stats().packetsDropped - droppedBefore, 3);
}

TEST_F(HostilePeer, InputsWithNothingNewEndTheMatch) {
    HostileClient client;
    StartPlaying(client);
    const InputPacket same = client.ledger.PlayAlong();
    const int64_t took = RunUntil([&] { return session->Ended(); },
                                  [&] {
                                      session->Tick(0);
                                      client.Service();
                                      client.Input(same);
                                  });
    std::printf("[ timing   ] ended %lld ms after the last new frame: %s\n",
                static_cast<long long>(took), session->EndMessage());
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndNoProgress);
    EXPECT_STREQ(session->EndMessage(), "no progress for 1 s");
}

TEST_F(HostilePeer, NoDigestsIsABrokenProtocol) {
    HostileClient client;
    StartPlaying(client);
    RunUntil([&] { return session->Ended(); },
             [&] {
                 session->Tick(0);
                 client.Service();
                 client.PlayAlong();
             });
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndProtocolError);
    EXPECT_STREQ(session->EndMessage(), "the other side broke the protocol: it sends no digests");
    EXPECT_EQ(session->ConfirmedFrames(), DigestCheck::lagFrames);
}

// One match at a time: a player who comes during one is turned away at once,
// and told so.
TEST_F(HostilePeer, AThirdClientIsTurnedAwayDuringAMatch) {
    HostileClient player;
    StartPlaying(player);
    EnetLink lateLink;
    ASSERT_TRUE(lateLink.Join("127.0.0.1", link.Port()));
    const std::string address = "127.0.0.1:" + std::to_string(link.Port());
    SessionOptions lateOptions{1, 2, "Late"};
    lateOptions.address = address.c_str();
    RollbackSession late(lateLink, lateOptions);
    const int64_t took = RunUntil([&] { return late.Ended(); },
                                  [&] {
                                      session->Tick(0);
                                      player.Service();
                                      player.PlayAlong();
                                      late.Tick(0);
                                  },
                                  3000);
    std::printf("[ timing   ] turned away in %lld ms\n", static_cast<long long>(took));
    ASSERT_TRUE(late.Ended());
    EXPECT_EQ(late.EndReasonCode(), EndLeft);
    EXPECT_EQ(std::string(late.EndMessage()),
              address + " closed the connection before the match began");
    EXPECT_TRUE(session->Playing()) << session->EndMessage();
}

}  // namespace
