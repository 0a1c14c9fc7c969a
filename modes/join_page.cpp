// The join page's text field and the list of games found on the network.
#include "modes/join_page.h"

#include <cstdio>

#include "app/app_loop.h"
#include "app/menu_input.h"
#include "app/painter.h"
#include "app/saved_settings.h"
#include "engine/display/surface.h"
#include "net/lan_message.h"
#include "platform/screen_layout.h"
#include "settings/game_options.h"

namespace {

constexpr size_t textLimit = lastJoinSize - 1;
constexpr int32_t fieldLeft = 150;
constexpr int32_t fieldRight = pictureWidth - 150;
constexpr int32_t gameRowHeight = 34;

constexpr int32_t listLeft = 100;
constexpr int32_t listRight = pictureWidth - 100;

// Why a game found cannot be joined from here, short for its row and whole
// for the note; "" when it can.
const char* WhyNot(const LanGame& game, bool whole) {
    switch (game.verdict) {
        case LanPlayable:
            if (game.address[0] != '\0') {
                return "";
            }
            return whole ? "That host gave no IPv4 address to join it at." : "no IPv4 address";
        case LanOtherVersion:
            return whole ? "That host runs another version of the game: it cannot play this one."
                         : "another version";
        case LanOtherArt:
            return whole ? "That host runs other art: it cannot play this game." : "other art";
        default:
            return whole ? "That host draws in another pixel layout: it cannot play this game."
                         : "other pixel layout";
    }
}

}  // namespace

uint32_t JoinPage::NowMs() const {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - opened)
                                     .count());
}

void JoinPage::Open(AppLoop& app) {
    text = app.Settings().Values().lastJoin;
    address.clear();
    note = "";
    chosen = -1;
    opened = std::chrono::steady_clock::now();
    // The art is loaded by now (the menu's match behind it): the identity
    // carries its digest.
    discovery.Start(defaultPort, LocalLanIdentity());
}

void JoinPage::Move(uint32_t actions) {
    // The game picked stays picked while it is listed, wherever its row.
    if (chosen >= 0) {
        const LanGame* game = discovery.Find(chosenInstance);
        chosen = game != nullptr && game - &discovery.Game(0) < gamesShown
                     ? static_cast<int32_t>(game - &discovery.Game(0))
                     : -1;
    }
    const int32_t rows = discovery.Count() < gamesShown ? discovery.Count() : gamesShown;
    if ((actions & MenuDown) != 0 && chosen + 1 < rows) {
        ++chosen;
    }
    if ((actions & MenuUp) != 0 && chosen >= 0) {
        --chosen;
    }
    if (chosen >= 0) {
        chosenInstance = discovery.Game(chosen).instance;
    }
}

JoinPage::Result JoinPage::Act(uint32_t actions, MenuInput& input, AppLoop& app) {
    discovery.Poll(NowMs());
    bool typed = false;
    for (const char* c = input.TakeTyped(); *c != '\0' && text.size() < textLimit; ++c) {
        // A host's name or address and a port: printable ASCII, no spaces.
        if (*c > ' ' && *c <= '~') {
            text += *c;
            typed = true;
        }
    }
    if ((actions & MenuErase) != 0 && !text.empty()) {
        text.pop_back();
        typed = true;
    }
    Move(actions);
    if (typed) {
        chosen = -1;  // typing is for the field
    }
    if (typed || (actions & (MenuUp | MenuDown)) != 0) {
        note = "";
    }
    if ((actions & MenuBack) != 0) {
        discovery.Stop();
        return Back;
    }
    if ((actions & MenuChoose) == 0) {
        return Stay;
    }
    if (chosen >= 0) {
        return JoinChosen(app);
    }
    if (text.empty()) {
        note = "Type the host's name or address first.";
        return Stay;
    }
    address = text;
    app.Settings().NoteLastJoin(address.c_str());
    discovery.Stop();
    return Join;
}

JoinPage::Result JoinPage::JoinChosen(AppLoop& app) {
    const LanGame& game = discovery.Game(chosen);
    if (!game.Joinable()) {
        note = WhyNot(game, true);
        return Stay;
    }
    address = std::string(game.address) + ":" + std::to_string(game.port);
    app.Settings().NoteLastJoin(address.c_str());
    discovery.Stop();
    return Join;
}

void JoinPage::Draw(Surface& back, int32_t top) const {
    DrawCentred(back, "Join a game hosted on another machine", pictureWidth / 2, top, textWhite,
                LargeFont());
    const int32_t fieldTop = top + 60;
    DrawBox(back, fieldLeft, fieldTop, fieldRight, fieldTop + 44);
    char shown[textLimit + 2];
    std::snprintf(shown, sizeof shown, chosen < 0 ? "%s_" : "%s", text.c_str());
    back.DrawText(shown, fieldLeft + 12, fieldTop + 9, chosen < 0 ? textWhite : textGrey,
                  LargeFont());

    const int32_t listTop = fieldTop + 60;
    const int32_t rows = discovery.Count() < gamesShown ? discovery.Count() : gamesShown;
    if (rows == 0) {
        DrawCentred(back,
                    discovery.Started()
                        ? "Looking for games on this network\x85 (the port is 47700 unless "
                          "the host chose another)"
                        : "Games on this network cannot be looked for: type the host.",
                    pictureWidth / 2, listTop, textGrey);
        return;
    }
    DrawCentred(back, "Games waiting on this network (Up and Down pick one):", pictureWidth / 2,
                listTop, textGrey);
    for (int32_t k = 0; k < rows; ++k) {
        const LanGame& game = discovery.Game(k);
        const int32_t y = listTop + 26 + k * gameRowHeight;
        if (k == chosen) {
            FillBox(back, listLeft, y - 4, listRight, y + largeTextHeight + 4, 0x30, 0x60, 0xC0);
        }
        // The name on the left; on the right where to join it, or in grey
        // why it cannot be.
        const bool joinable = game.Joinable();
        const uint32_t colour = !joinable ? textGrey : k == chosen ? textWhite : textYellow;
        back.DrawText(game.name[0] != '\0' ? game.name : "(no name)", listLeft + 12, y, colour,
                      LargeFont());
        char right[64];
        if (joinable) {
            std::snprintf(right, sizeof right, "%s:%u", game.address,
                          static_cast<unsigned>(game.port));
            back.DrawText(right, listRight - 12 - TextWidth(LargeFont(), right), y, colour,
                          LargeFont());
        } else {
            std::snprintf(right, sizeof right, "%s (%u.%u)", WhyNot(game, false),
                          static_cast<unsigned>(game.identity.versionMajor),
                          static_cast<unsigned>(game.identity.versionMinor));
            back.DrawText(right, listRight - 12 - TextWidth(nullptr, right), y + 6, textGrey);
        }
    }
}
