// DirtyRectList: thousands of random add and subtract sequences checked after
// every step against a grid oracle, and the merges the list chooses to make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/display/dirty_rect_list.h"

// At global scope, so that std::find and gtest's comparisons find it.
static bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Reaches counts touching at an edge or a corner; Overlap needs shared area.
bool Reaches(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// In list order, or sorted top to bottom, then left to right.
std::vector<Rect> Listed(DirtyRectList& list, bool sorted = false) {
    std::vector<Rect> rects;
    for (int32_t i = 0; list.Select(i); ++i) {
        rects.push_back(list.current);
    }
    if (sorted) {
        std::sort(rects.begin(), rects.end(), [](const Rect& a, const Rect& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
    }
    return rects;
}

// Every coordinate the driver uses is one of xs and ys, and so is every edge a
// correct list can make (bounds edges, merged boxes, cut pieces); the spans
// between neighbouring values are the oracle's cells, each wholly inside or
// wholly outside any such rectangle.
struct Setting {
    Rect bounds;
    std::vector<int32_t> xs, ys;

    // One count per cell of each rectangle; -1 for an edge that is no value.
    std::vector<int> Cells(const std::vector<Rect>& rects) const {
        const auto index = [](const std::vector<int32_t>& values, int32_t v) {
            const auto at = std::lower_bound(values.begin(), values.end(), v);
            return at != values.end() && *at == v ? static_cast<int32_t>(at - values.begin()) : -1;
        };
        const int32_t columns = static_cast<int32_t>(xs.size()) - 1;
        std::vector<int> cells(columns * (ys.size() - 1), 0);
        for (const Rect& r : rects) {
            const int32_t left = index(xs, r.left), right = index(xs, r.right);
            const int32_t top = index(ys, r.top), bottom = index(ys, r.bottom);
            if (std::min({left, right, top, bottom}) < 0) {
                return {-1};
            }
            for (int32_t row = top; row < bottom; ++row) {
                for (int32_t column = left; column < right; ++column) {
                    ++cells[row * columns + column];
                }
            }
        }
        return cells;
    }
};

std::vector<int32_t> Values(int64_t first, int64_t last, std::vector<int32_t> extra) {
    for (int64_t v = first; v <= last; ++v) {
        extra.push_back(static_cast<int32_t>(v));
    }
    std::sort(extra.begin(), extra.end());
    return extra;
}

constexpr int32_t Min = INT32_MIN;
constexpr int32_t Max = INT32_MAX;

}  // namespace

TEST(DirtyRectList, MatchesAGridOracleOverRandomSequences) {
    const Setting settings[] = {
        // Small bounds at the origin; the extremes are clipped away.
        {Rect{0, 0, 20, 14}, Values(-3, 23, {Min, Max}), Values(-3, 17, {Min, Max})},
        // Bounds against the int32 limits, where right - left overflows int32.
        {Rect{Max - 16, Min, Max, Min + 12}, Values(Max - 20, Max, {Min, 0}),
         Values(Min, Min + 15, {0, Max})},
        // Empty bounds clip nothing: rectangles span up to the whole int32 range.
        {Rect{}, Values(-2, 2, {Min, Min + 1, Min + 2, Max - 2, Max - 1, Max}),
         Values(-2, 2, {Min, Min + 1, Max - 1, Max})},
    };
    std::mt19937 random(15);
    const auto pick = [&](const std::vector<int32_t>& v) { return v[random() % v.size()]; };
    for (const Setting& setting : settings) {
        const Rect& b = setting.bounds;
        const bool clipping = b.right > b.left;
        for (int32_t sequence = 0; sequence < 1000; ++sequence) {
            const int32_t capacity = std::vector<int32_t>{1, 2, 3, 5, 8, 64}[random() % 6];
            DirtyRectList list(capacity);
            list.bounds = b;
            std::vector<int> exact = setting.Cells({});
            for (int32_t step = 0; step < 24; ++step) {
                // Inverted and empty rectangles come up often; both are ignored.
                const Rect r{pick(setting.xs), pick(setting.ys), pick(setting.xs),
                             pick(setting.ys)};
                const Rect cut =
                    !clipping ? r
                              : Rect{std::max(r.left, b.left), std::max(r.top, b.top),
                                     std::min(r.right, b.right), std::min(r.bottom, b.bottom)};
                const bool empty = cut.right <= cut.left || cut.bottom <= cut.top;
                const bool adding = random() % 3 != 0;
                const std::vector<Rect> before = Listed(list);
                adding ? list.Add(r) : list.Subtract(r);
                const std::vector<Rect> after = Listed(list);
                SCOPED_TRACE(testing::Message() << "sequence " << sequence << " step " << step
                                                << " capacity " << capacity);

                if (!empty) {
                    const std::vector<int> mark = setting.Cells({cut});
                    for (size_t c = 0; c < exact.size(); ++c) {
                        exact[c] = mark[c] != 0 ? adding : exact[c];
                    }
                }
                const std::vector<int> cover = setting.Cells(after);
                ASSERT_EQ(cover.size(), exact.size()) << "an edge that is not a value";
                for (size_t c = 0; c < cover.size(); ++c) {
                    ASSERT_TRUE(cover[c] == 1 || cover[c] == exact[c]) << "cell " << c;
                }
                ASSERT_LE(static_cast<int32_t>(after.size()), capacity);
                const auto wasListed = [&](const Rect& a) {
                    return std::find(before.begin(), before.end(), a) != before.end();
                };
                // What is new lies in the box of the added rectangle and every
                // listed one it merged with or could have grown into; what a
                // subtraction leaves lies in the old rectangles, clear of the
                // subtracted one unless an old one stayed whole for lack of room.
                Rect hull = cut;
                for (bool grew = adding && !empty; grew;) {
                    grew = false;
                    for (const Rect& old : before) {
                        const bool merged =
                            std::find(after.begin(), after.end(), old) == after.end();
                        if (!Contains(hull, old) && (merged || Reaches(hull, old))) {
                            hull = Rect{std::min(hull.left, old.left), std::min(hull.top, old.top),
                                        std::max(hull.right, old.right),
                                        std::max(hull.bottom, old.bottom)};
                            grew = true;
                        }
                    }
                }
                const bool room = 4 * static_cast<int32_t>(before.size()) <= capacity;
                for (const Rect& a : after) {
                    ASSERT_TRUE(a.right > a.left && a.bottom > a.top);
                    ASSERT_TRUE(!clipping || Contains(b, a));
                    if (empty) {
                        ASSERT_TRUE(wasListed(a));
                    } else if (adding) {
                        ASSERT_TRUE(wasListed(a) || Contains(hull, a));
                    } else if (Overlap(a, cut)) {
                        ASSERT_TRUE(wasListed(a) && !room);
                    } else {
                        ASSERT_TRUE(std::any_of(before.begin(), before.end(),
                                                [&](const Rect& old) { return Contains(old, a); }));
                    }
                }
            }
        }
    }
}

TEST(DirtyRectList, MergesOnlyWhereTheBoundingBoxWastesLittle) {
    DirtyRectList list;
    list.bounds = Rect{0, 0, 100, 100};
    list.Add(Rect{0, 0, 4, 4});
    list.Add(Rect{4, 0, 8, 4});     // a whole common edge: joined
    list.Add(Rect{8, 4, 12, 8});    // a corner only: apart
    list.Add(Rect{10, 6, 14, 10});  // box 36, covered 28: merged
    EXPECT_EQ(Listed(list), (std::vector<Rect>{{0, 0, 8, 4}, {8, 4, 14, 10}}));

    // A cross would merge into a box five times its area: the vertical bar is
    // cut around the horizontal one instead.
    list.Clear();
    list.Add(Rect{0, 40, 50, 42});
    list.Add(Rect{20, 20, 22, 70});
    EXPECT_EQ(Listed(list, true),
              (std::vector<Rect>{{20, 20, 22, 40}, {0, 40, 50, 42}, {20, 42, 22, 70}}));

    // A hole in the middle leaves two bands and two sides.
    list.Clear();
    list.Add(Rect{0, 0, 10, 10});
    list.Subtract(Rect{3, 4, 5, 6});
    EXPECT_EQ(Listed(list, true),
              (std::vector<Rect>{{0, 0, 10, 4}, {0, 4, 3, 6}, {5, 4, 10, 6}, {0, 6, 10, 10}}));
}
