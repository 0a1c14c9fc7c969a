// The message screen: drawn once, then waiting for Enter or Escape.
#include "modes/message_mode.h"

#include "app/app_loop.h"
#include "app/overlay_view.h"
#include "app/painter.h"
#include "app/play_state.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {

constexpr int32_t headingTop = 150;
constexpr int32_t lineHeight = 26;
constexpr int32_t widest = pictureWidth - 120;

// The lines broken at spaces where one is wider than the box.
std::vector<std::string> Wrapped(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        std::string rest = line;
        while (TextWidth(nullptr, rest.c_str()) > widest) {
            size_t cut = rest.size();
            while ((cut = rest.rfind(' ', cut - 1)) != std::string::npos && cut > 0 &&
                   TextWidth(nullptr, rest.substr(0, cut).c_str()) > widest) {
            }
            if (cut == std::string::npos || cut == 0) {
                break;
            }
            out.push_back(rest.substr(0, cut));
            rest.erase(0, cut + 1);
        }
        out.push_back(rest);
    }
    return out;
}

}  // namespace

MessageMode::MessageMode(std::string heading, std::vector<std::string> lines,
                         std::unique_ptr<Mode> onChoose, const char* chooseHint,
                         std::unique_ptr<Mode> onBack, const char* backHint, int quitStatus)
    : heading(std::move(heading)),
      lines(std::move(lines)),
      onChoose(std::move(onChoose)),
      onBack(std::move(onBack)),
      hint(std::string("Enter: ") + chooseHint + "     Escape: " + backHint),
      quitStatus(quitStatus) {}

uint32_t MessageMode::Comforts() const {
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void MessageMode::Enter(AppLoop& app) {
    lines = Wrapped(lines);
    menuInput.Reset(&app.Players().Pads());
    Draw();
}

void MessageMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
}

void MessageMode::Frame(AppLoop& app, const FrameInput& input) {
    const uint32_t actions = menuInput.Frame(input.active ? &app.Players().Pads() : nullptr);
    if ((actions & MenuChoose) != 0) {
        Follow(app, onChoose);
    } else if ((actions & MenuBack) != 0) {
        Follow(app, onBack);
    } else if ((input.changes & (PlayChangeCover | PlayChangeSound)) != 0) {
        Draw();
        DrawVolumeNote(app.Play());
    }
}

void MessageMode::Follow(AppLoop& app, std::unique_ptr<Mode>& next) {
    if (next != nullptr) {
        app.SwitchTo(std::move(next));
    } else {
        app.Quit(quitStatus);
    }
}

void MessageMode::Draw() const {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    back->FillRect(0, 0, pictureWidth, pictureHeight, 0);
    DrawBox(*back, 40, headingTop - 40, pictureWidth - 40, pictureHeight - 110);
    DrawCentred(*back, heading.c_str(), pictureWidth / 2, headingTop, textYellow, LargeFont());
    int32_t y = headingTop + 60;
    for (const std::string& line : lines) {
        DrawCentred(*back, line.c_str(), pictureWidth / 2, y, textWhite);
        y += lineHeight;
    }
    DrawCentred(*back, hint.c_str(), pictureWidth / 2, pictureHeight - 160, textGrey);
}
