// The name sent in the handshake: what the other side sees and what the
// handshake can carry, whatever the login name is.
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

}  // namespace
