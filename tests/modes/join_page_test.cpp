// The join page's list of games found on the network, with real hosts on
// loopback: a game found is picked with the arrows and joined with Enter;
// typing goes back to the field; a game of another version is listed but
// refused with its reason; leaving the page stops the search.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "app/app_loop.h"
#include "app/local_input.h"
#include "app/menu_input.h"
#include "app/play_state.h"
#include "app/saved_settings.h"
#include "engine/display/window_messages.h"
#include "modes/join_page.h"
#include "net/enet_link.h"

namespace {

EnetLinkOptions Advertising(const char* name, uint16_t minorChange = 0) {
    EnetLinkOptions options;
    options.lan.enabled = true;
    options.lan.identity = LocalLanIdentity();
    options.lan.identity.versionMinor += minorChange;
    std::strcpy(options.lan.name, name);
    return options;
}

class JoinPageTest : public ::testing::Test {
protected:
    // Opens the page, its search pointed at the hosts' port on 127.0.0.1.
    void Open(uint16_t port) {
        page.Open(app);
        LanDiscovery& discovery = page.Discovery();
        ASSERT_TRUE(discovery.Start(port, LocalLanIdentity(), 0));
        ASSERT_TRUE(discovery.AddTarget("127.0.0.1"));
    }

    // Frames of the page (hosts serviced) until count games are listed; the
    // limit only catches a hang.
    void FramesUntilListed(EnetLink& host, int32_t count) {
        const auto start = std::chrono::steady_clock::now();
        while (page.Discovery().Count() < count &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            host.Service();
            ASSERT_EQ(page.Act(0, input, app), JoinPage::Stay);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(page.Discovery().Count(), count);
    }

    JoinPage::Result Press(uint32_t actions) { return page.Act(actions, input, app); }

    LocalInput players;
    SavedSettings settings;
    PlayState play;
    AppLoop app{players, settings, play, false};
    MenuInput input;
    JoinPage page;
};

TEST_F(JoinPageTest, PicksAGameFoundAndJoinsIt) {
    EnetLink host(Advertising("Ann"));
    ASSERT_TRUE(host.Host(0));
    Open(host.Port());
    EXPECT_EQ(page.Chosen(), -1);
    FramesUntilListed(host, 1);

    EXPECT_EQ(Press(MenuUp), JoinPage::Stay);  // already on the field
    EXPECT_EQ(page.Chosen(), -1);
    EXPECT_EQ(Press(MenuDown), JoinPage::Stay);
    EXPECT_EQ(page.Chosen(), 0);
    EXPECT_EQ(Press(MenuDown), JoinPage::Stay);  // no row below
    EXPECT_EQ(page.Chosen(), 0);
    ASSERT_EQ(Press(MenuChoose), JoinPage::Join);
    const std::string expected = "127.0.0.1:" + std::to_string(host.Port());
    EXPECT_EQ(page.Address(), expected);
    EXPECT_STREQ(settings.Values().lastJoin, expected.c_str());
    EXPECT_FALSE(page.Discovery().Started());
}

TEST_F(JoinPageTest, TypingGoesBackToTheField) {
    EnetLink host(Advertising("Ann"));
    ASSERT_TRUE(host.Host(0));
    Open(host.Port());
    FramesUntilListed(host, 1);
    Press(MenuDown);
    ASSERT_EQ(page.Chosen(), 0);
    input.Message(WM_CHAR, 'x', 0);
    EXPECT_EQ(Press(0), JoinPage::Stay);
    EXPECT_EQ(page.Chosen(), -1);
    ASSERT_EQ(Press(MenuChoose), JoinPage::Join);
    EXPECT_EQ(page.Address().back(), 'x');
    EXPECT_NE(page.Address().find("127.0.0.1:"), 0u);
}

TEST_F(JoinPageTest, RefusesAGameOfAnotherVersionAndSaysWhy) {
    EnetLink newer(Advertising("Newer", 1));
    ASSERT_TRUE(newer.Host(0));
    Open(newer.Port());
    FramesUntilListed(newer, 1);
    EXPECT_FALSE(page.Discovery().Game(0).Joinable());
    Press(MenuDown);
    EXPECT_EQ(Press(MenuChoose), JoinPage::Stay);
    EXPECT_NE(std::strstr(page.Note(), "another version"), nullptr) << page.Note();
    EXPECT_TRUE(page.Address().empty());
    EXPECT_EQ(Press(MenuBack), JoinPage::Back);
    EXPECT_FALSE(page.Discovery().Started());
}

}  // namespace
