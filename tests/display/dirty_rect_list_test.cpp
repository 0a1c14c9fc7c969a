// DirtyRectList: thousands of random add and subtract sequences checked after
// every step against a grid oracle, and the merges the list chooses to make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "engine/display/dirty_rect_list.h"

// Internal linkage, at global scope so that std::find and gtest find them.
static bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static void PrintTo(const Rect& r, std::ostream* out) {
    *out << '{' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << '}';
}

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Overlapping or touching, at an edge or a corner.
bool Reaches(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

std::vector<Rect> Listed(DirtyRectList& list) {
    std::vector<Rect> rects;
    for (int32_t i = 0; list.Select(i); ++i) {
        rects.push_back(list.current);
    }
    return rects;
}

// Every coordinate the driver uses comes from xs and ys, and so does every edge
// a correct list can produce (bounds edges, merged boxes and cut pieces), so
// the spans between neighbouring values are the oracle's cells: each one is
// wholly inside or wholly outside any rectangle.
struct Grid {
    std::vector<int32_t> xs, ys;

    int32_t Columns() const { return static_cast<int32_t>(xs.size()) - 1; }
    int32_t Rows() const { return static_cast<int32_t>(ys.size()) - 1; }

    static int32_t IndexOf(const std::vector<int32_t>& values, int32_t v) {
        const auto at = std::lower_bound(values.begin(), values.end(), v);
        return at != values.end() && *at == v ? static_cast<int32_t>(at - values.begin()) : -1;
    }

    // Adds 1 to each cell of r; false when an edge is not one of the values.
    bool Paint(const Rect& r, std::vector<int>& cells) const {
        const int32_t left = IndexOf(xs, r.left), right = IndexOf(xs, r.right);
        const int32_t top = IndexOf(ys, r.top), bottom = IndexOf(ys, r.bottom);
        if (left < 0 || right < 0 || top < 0 || bottom < 0) {
            return false;
        }
        for (int32_t row = top; row < bottom; ++row) {
            for (int32_t column = left; column < right; ++column) {
                ++cells[row * Columns() + column];
            }
        }
        return true;
    }

    std::vector<int> Mark(const Rect& r) const {
        std::vector<int> cells(static_cast<size_t>(Columns()) * Rows(), 0);
        Paint(r, cells);
        return cells;
    }

    std::vector<int> Cover(const std::vector<Rect>& rects) const {
        std::vector<int> cells(static_cast<size_t>(Columns()) * Rows(), 0);
        for (const Rect& r : rects) {
            EXPECT_TRUE(Paint(r, cells)) << testing::PrintToString(r);
        }
        return cells;
    }
};

struct Setting {
    Rect bounds;
    Grid grid;
};

std::vector<int32_t> Span(int64_t first, int64_t last, std::vector<int32_t> extra) {
    for (int64_t v = first; v <= last; ++v) {
        extra.push_back(static_cast<int32_t>(v));
    }
    std::sort(extra.begin(), extra.end());
    extra.erase(std::unique(extra.begin(), extra.end()), extra.end());
    return extra;
}

std::vector<Setting> Settings() {
    constexpr int32_t Min = INT32_MIN;
    constexpr int32_t Max = INT32_MAX;
    return {
        // Small bounds at the origin; the extremes are clipped away.
        {Rect{0, 0, 20, 14}, Grid{Span(-3, 23, {Min, Max}), Span(-3, 17, {Min, Max})}},
        // Bounds against the int32 limits, where right - left overflows int32.
        {Rect{Max - 16, Min, Max, Min + 12},
         Grid{Span(Max - 20, Max, {Min, 0}), Span(Min, int64_t{Min} + 15, {Max, 0})}},
        // Empty bounds clip nothing: rectangles span up to the whole int32 range.
        {Rect{}, Grid{Span(-2, 2, {Min, Min + 1, Min + 2, Max - 2, Max - 1, Max}),
                      Span(-2, 2, {Min, Min + 1, Max - 1, Max})}},
    };
}

}  // namespace

TEST(DirtyRectList, MatchesAGridOracleOverRandomSequences) {
    std::mt19937 random(15);
    const auto pick = [&](const std::vector<int32_t>& values) {
        return values[random() % values.size()];
    };
    int32_t steps = 0;
    for (const Setting& setting : Settings()) {
        const Grid& grid = setting.grid;
        const bool clipping = setting.bounds.right > setting.bounds.left;
        for (int32_t sequence = 0; sequence < 1000; ++sequence) {
            const int32_t capacity = std::vector<int32_t>{1, 2, 3, 5, 8, 64}[random() % 6];
            DirtyRectList list(capacity);
            list.bounds = setting.bounds;
            std::vector<int> exact(static_cast<size_t>(grid.Columns()) * grid.Rows(), 0);
            for (int32_t step = 0; step < 24; ++step, ++steps) {
                // Inverted and empty rectangles come up often; both must be ignored.
                const Rect r{pick(grid.xs), pick(grid.ys), pick(grid.xs), pick(grid.ys)};
                const bool adding = random() % 3 != 0;
                const std::vector<Rect> before = Listed(list);
                Rect cut = r;
                if (clipping) {
                    cut = Rect{std::max(r.left, setting.bounds.left),
                               std::max(r.top, setting.bounds.top),
                               std::min(r.right, setting.bounds.right),
                               std::min(r.bottom, setting.bounds.bottom)};
                }
                const bool empty = cut.right <= cut.left || cut.bottom <= cut.top;
                if (adding) {
                    list.Add(r);
                } else {
                    list.Subtract(r);
                }
                const std::vector<int> mark =
                    empty ? std::vector<int>(exact.size(), 0) : grid.Mark(cut);
                for (size_t c = 0; c < exact.size(); ++c) {
                    exact[c] = mark[c] != 0 ? (adding ? 1 : 0) : exact[c];
                }
                const std::vector<Rect> after = Listed(list);
                SCOPED_TRACE(testing::Message()
                             << "sequence " << sequence << " step " << step
                             << (adding ? " add " : " subtract ") << testing::PrintToString(r)
                             << " capacity " << capacity);
                ASSERT_LE(static_cast<int32_t>(after.size()), capacity);
                for (const Rect& a : after) {
                    ASSERT_TRUE(a.right > a.left && a.bottom > a.top);
                    ASSERT_TRUE(!clipping || Contains(setting.bounds, a));
                }
                const std::vector<int> cover = grid.Cover(after);
                const std::vector<int> old = grid.Cover(before);
                // Every cell at most once (nothing overlaps) and every cell the
                // oracle holds is listed.
                for (size_t c = 0; c < cover.size(); ++c) {
                    ASSERT_LE(cover[c], 1) << "cell " << c;
                    ASSERT_GE(cover[c], exact[c]) << "cell " << c;
                }
                const auto wasListed = [&](const Rect& a) {
                    return std::find(before.begin(), before.end(), a) != before.end();
                };
                if (empty) {
                    ASSERT_EQ(after.size(), before.size());
                    ASSERT_TRUE(std::all_of(after.begin(), after.end(), wasListed));
                } else if (adding) {
                    // Whatever is new lies in the box of the added rectangle and
                    // the listed ones it merged with or may have grown into (those
                    // it reaches, touching counted), and nothing is lost.
                    Rect hull = cut;
                    for (bool grew = true; grew;) {
                        grew = false;
                        for (const Rect& b : before) {
                            const bool merged =
                                std::find(after.begin(), after.end(), b) == after.end();
                            if (!Contains(hull, b) && (merged || Reaches(hull, b))) {
                                hull = Rect{std::min(hull.left, b.left), std::min(hull.top, b.top),
                                            std::max(hull.right, b.right),
                                            std::max(hull.bottom, b.bottom)};
                                grew = true;
                            }
                        }
                    }
                    for (const Rect& a : after) {
                        ASSERT_TRUE(wasListed(a) || Contains(hull, a))
                            << testing::PrintToString(before) << testing::PrintToString(after);
                    }
                    for (size_t c = 0; c < cover.size(); ++c) {
                        ASSERT_GE(cover[c], std::max(old[c], mark[c])) << "cell " << c;
                    }
                } else {
                    // Only whole rectangles kept for lack of room still reach
                    // into the subtracted one; with room for every piece the
                    // result is exact.
                    const bool room = 4 * static_cast<int32_t>(before.size()) <= capacity;
                    for (const Rect& a : after) {
                        ASSERT_TRUE(!Overlap(a, cut) || (wasListed(a) && !room));
                    }
                    for (size_t c = 0; c < cover.size(); ++c) {
                        ASSERT_LE(cover[c], old[c]) << "cell " << c;
                        ASSERT_GE(cover[c], mark[c] != 0 ? 0 : old[c]) << "cell " << c;
                    }
                }
            }
        }
    }
    EXPECT_EQ(steps, 3 * 1000 * 24);
}

TEST(DirtyRectList, MergesOnlyWhereTheBoundingBoxWastesLittle) {
    DirtyRectList list;
    list.bounds = Rect{0, 0, 100, 100};
    list.Add(Rect{0, 0, 4, 4});
    list.Add(Rect{4, 0, 8, 4});   // a whole common edge: joined
    list.Add(Rect{8, 4, 12, 8});  // a corner only: apart
    ASSERT_EQ(Listed(list), (std::vector<Rect>{{0, 0, 8, 4}, {8, 4, 12, 8}}));

    list.Add(Rect{10, 6, 14, 10});  // box 36, covered 28: merged
    ASSERT_EQ(Listed(list), (std::vector<Rect>{{0, 0, 8, 4}, {8, 4, 14, 10}}));

    // A cross would merge into a box five times its area: the vertical bar is
    // cut around the horizontal one instead.
    list.Clear();
    list.Add(Rect{0, 40, 50, 42});
    list.Add(Rect{20, 20, 22, 70});
    std::vector<Rect> cross = Listed(list);
    std::sort(cross.begin(), cross.end(),
              [](const Rect& a, const Rect& b) { return a.top < b.top; });
    ASSERT_EQ(cross, (std::vector<Rect>{{20, 20, 22, 40}, {0, 40, 50, 42}, {20, 42, 22, 70}}));

    // A hole in the middle leaves four pieces: two bands and two sides.
    list.Clear();
    list.Add(Rect{0, 0, 10, 10});
    list.Subtract(Rect{3, 4, 5, 6});
    std::vector<Rect> ring = Listed(list);
    std::sort(ring.begin(), ring.end(), [](const Rect& a, const Rect& b) {
        return a.top * 100 + a.left < b.top * 100 + b.left;
    });
    ASSERT_EQ(ring,
              (std::vector<Rect>{{0, 0, 10, 4}, {0, 4, 3, 6}, {5, 4, 10, 6}, {0, 6, 10, 10}}));
}
