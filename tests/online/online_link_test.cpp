// The name sent in the handshake: what the other side sees and what the
// handshake can carry, whatever the login name is. A host, and only a host,
// answers the players looking for a game on the network, under that name.
#include <gtest/gtest.h>

#include "net/packet_codec.h"
#include "online/online_link.h"
#include "tests/sound/scoped_env.h"

namespace {

TEST(PlayerName, TheLoginNameKeepsWhatTheHandshakeCanCarry) {
    OnlineOptions online;
    {
        const ScopedEnv user("USER", "mel");
        EXPECT_EQ(PlayerName(online), "mel");
        online.name = "Mel Sar";
        EXPECT_EQ(PlayerName(online), "Mel Sar");
        online.name.clear();
    }
    {
        const ScopedEnv user("USER", "jos\xC3\xA9\tm");
        EXPECT_EQ(PlayerName(online), "josm");
    }
    {
        const ScopedEnv user("USER", "a-login-name-longer-than-the-handshake-takes");
        EXPECT_EQ(PlayerName(online).size(), maxNameLength);
    }
    {
        const ScopedEnv user("USER", nullptr);
        EXPECT_EQ(PlayerName(online), "");
    }
}

TEST(LinkOptionsFor, AHostAndOnlyAHostAnswersUnderThePlayersName) {
    OnlineOptions online;
    online.name = "Mel Sar";
    online.role = OnlineHost;
    const EnetLinkOptions host = LinkOptionsFor(online);
    EXPECT_TRUE(host.lan.enabled);
    EXPECT_STREQ(host.lan.name, "Mel Sar");
    EXPECT_EQ(host.lan.identity.protocol, packetProtocolVersion);
    EXPECT_EQ(host.lan.identity.artDigest, LocalLanIdentity().artDigest);
    online.role = OnlineJoin;
    EXPECT_FALSE(LinkOptionsFor(online).lan.enabled);
}

}  // namespace
