// DeviceContext: text output with the selected font, colours and background mode.
#include "engine/display/device_context.h"

namespace {

constexpr int32_t maxRunLength = 2048;

}  // namespace

void DeviceContext::TextOut(int32_t x, int32_t y, const char* text, int32_t length) {
    if (text == nullptr || length <= 0) {
        return;
    }
    char run[maxRunLength + 1];
    int32_t count = 0;
    while (count < length && count < maxRunLength && text[count] != '\0') {
        run[count] = text[count];
        ++count;
    }
    run[count] = '\0';
    const uint32_t* background = backMode == BackgroundOpaque ? &backColour : nullptr;
    RenderTextRun(target, font, run, x, y, textColour, background);
}

bool DeviceContext::MeasureText(const char* text, int32_t* width, int32_t* height) const {
    return MeasureTextRun(font, text, width, height);
}
