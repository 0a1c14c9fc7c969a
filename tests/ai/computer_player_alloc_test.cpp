// The computer player allocates nothing once made: the game asks it for a
// byte in every frame, and the frame loop allocates nothing. Every operator
// new of this test program is counted here, and a match's worth of Controls
// calls must not move the count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "ai/computer_player.h"
#include "art/rules_world.h"
#include "rules/world_step.h"

#if defined(__SANITIZE_ADDRESS__)
#define KIVORO_ALLOCATOR_TAKEN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIVORO_ALLOCATOR_TAKEN 1
#endif
#endif

namespace {

std::atomic<int64_t> allocations{0};

}  // namespace

#ifndef KIVORO_ALLOCATOR_TAKEN

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

#endif  // KIVORO_ALLOCATOR_TAKEN

namespace {

TEST(ComputerPlayerAllocationTest, ControlsAllocateNothing) {
#ifdef KIVORO_ALLOCATOR_TAKEN
    GTEST_SKIP() << "AddressSanitizer owns the allocator";
#endif
    SetUpRulesWorld();
    ComputerPlayer first(0, ComputerLevel::Hard, 1);
    ComputerPlayer second(1, ComputerLevel::Easy, 2);
    int64_t during = 0;
    for (int32_t frame = 0; frame < 5400; ++frame) {
        const int64_t before = allocations.load();
        const uint8_t a = first.Controls(frame);
        const uint8_t b = second.Controls(frame);
        during += allocations.load() - before;
        StepWorld(a, b);
    }
    EXPECT_EQ(during, 0);
    // The counter counts: a player made with new is counted.
    const int64_t before = allocations.load();
    auto* made = new ComputerPlayer(0, ComputerLevel::Normal, 3);
    delete made;
    EXPECT_GT(allocations.load(), before);
}

}  // namespace
