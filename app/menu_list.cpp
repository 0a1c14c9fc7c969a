// MenuList: the items, the choice, the drawing.
#include "app/menu_list.h"

#include <cstdio>

#include "app/menu_input.h"
#include "app/painter.h"
#include "engine/display/surface.h"

void MenuList::Clear() {
    count = 0;
    selected = 0;
}

int32_t MenuList::Add(const char* label, const char* value) {
    if (count == maxItems) {
        return -1;
    }
    std::snprintf(labels[count], textSize, "%s", label);
    std::snprintf(values[count], textSize, "%s", value);
    return count++;
}

void MenuList::SetValue(int32_t item, const char* value) {
    if (item >= 0 && item < count) {
        std::snprintf(values[item], textSize, "%s", value);
    }
}

void MenuList::SetLabel(int32_t item, const char* label) {
    if (item >= 0 && item < count) {
        std::snprintf(labels[item], textSize, "%s", label);
    }
}

const char* MenuList::Label(int32_t item) const {
    return item >= 0 && item < count ? labels[item] : "";
}

bool MenuList::Move(uint32_t actions) {
    if (count == 0) {
        return false;
    }
    const int32_t before = selected;
    if ((actions & MenuUp) != 0) {
        selected = (selected + count - 1) % count;
    }
    if ((actions & MenuDown) != 0) {
        selected = (selected + 1) % count;
    }
    return selected != before;
}

void MenuList::Select(int32_t item) {
    if (item >= 0 && item < count) {
        selected = item;
    }
}

void MenuList::Draw(Surface& surface, int32_t centreX, int32_t top, int32_t rowHeight) const {
    bool withValues = false;
    for (int32_t i = 0; i < count; ++i) {
        withValues = withValues || values[i][0] != '\0';
    }
    for (int32_t i = 0; i < count; ++i) {
        const int32_t y = top + i * rowHeight;
        const int32_t labelWidth = TextWidth(LargeFont(), labels[i]);
        const int32_t labelLeft = withValues ? centreX - 10 - labelWidth : centreX - labelWidth / 2;
        int32_t right = labelLeft + labelWidth;
        if (withValues && values[i][0] != '\0') {
            right = centreX + 10 + TextWidth(LargeFont(), values[i]);
        }
        if (i == selected) {
            FillBox(surface, labelLeft - 16, y - 4, right + 16, y + largeTextHeight + 6, 0x30, 0x60,
                    0xC0);
        }
        surface.DrawText(labels[i], labelLeft, y, i == selected ? textWhite : textGrey,
                         LargeFont());
        if (withValues && values[i][0] != '\0') {
            surface.DrawText(values[i], centreX + 10, y, i == selected ? textYellow : textWhite,
                             LargeFont());
        }
    }
}
