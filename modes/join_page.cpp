// The join page's text field.
#include "modes/join_page.h"

#include <cstdio>

#include "app/app_loop.h"
#include "app/menu_input.h"
#include "app/painter.h"
#include "app/saved_settings.h"
#include "engine/display/surface.h"
#include "platform/screen_layout.h"

namespace {

constexpr size_t textLimit = lastJoinSize - 1;

}  // namespace

void JoinPage::Open(AppLoop& app) {
    text = app.Settings().Values().lastJoin;
    note = "";
}

JoinPage::Result JoinPage::Act(uint32_t actions, MenuInput& input, AppLoop& app) {
    for (const char* c = input.TakeTyped(); *c != '\0' && text.size() < textLimit; ++c) {
        // A host's name or address and a port: printable ASCII, no spaces.
        if (*c > ' ' && *c <= '~') {
            text += *c;
        }
    }
    if ((actions & MenuErase) != 0 && !text.empty()) {
        text.pop_back();
    }
    if ((actions & MenuBack) != 0) {
        return Back;
    }
    if ((actions & MenuChoose) == 0) {
        return Stay;
    }
    if (text.empty()) {
        note = "Type the host's name or address first.";
        return Stay;
    }
    app.Settings().NoteLastJoin(text.c_str());
    return Join;
}

void JoinPage::Draw(Surface& back, int32_t top) const {
    DrawCentred(back, "Join a game hosted on another machine", pictureWidth / 2, top, textWhite,
                LargeFont());
    constexpr int32_t fieldLeft = 150;
    constexpr int32_t fieldRight = pictureWidth - 150;
    const int32_t fieldTop = top + 60;
    DrawBox(back, fieldLeft, fieldTop, fieldRight, fieldTop + 44);
    char shown[textLimit + 2];
    std::snprintf(shown, sizeof shown, "%s_", text.c_str());
    back.DrawText(shown, fieldLeft + 12, fieldTop + 9, textWhite, LargeFont());
    DrawCentred(back, "The port is 47700 unless the host chose another.", pictureWidth / 2,
                fieldTop + 64, textGrey);
}
