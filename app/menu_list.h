// MenuList: a column of items, one of them chosen, as every screen of the
// title menu shows them: moved through with up and down, each item with an
// optional value shown right of it (changed with left and right by the page
// that owns it). Draws into the back surface; allocates nothing.
#pragma once

#include <cstdint>

class Surface;

class MenuList {
public:
    static constexpr int32_t maxItems = 16;
    static constexpr int32_t textSize = 64;

    void Clear();
    // Answers the item's index, or -1 when the list is full.
    int32_t Add(const char* label, const char* value = "");
    void SetValue(int32_t item, const char* value);
    void SetLabel(int32_t item, const char* label);

    // Up and down move the choice, wrapping round; answers true when it moved.
    bool Move(uint32_t actions);
    void Select(int32_t item);
    int32_t Selected() const { return selected; }
    int32_t Count() const { return count; }
    const char* Label(int32_t item) const;

    // The items, centred on column centreX from row top, rowHeight apart;
    // the chosen one on a highlight. With values, labels are right-aligned
    // to centreX - 10 and values left-aligned from centreX + 10.
    void Draw(Surface& surface, int32_t centreX, int32_t top, int32_t rowHeight) const;

private:
    char labels[maxItems][textSize] = {};
    char values[maxItems][textSize] = {};
    int32_t count = 0;
    int32_t selected = 0;
};
