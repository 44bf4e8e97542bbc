// Counts every allocation made while the game plays: the global operator new is replaced here,
// and the link wraps malloc, calloc and realloc, so the game's own C allocations count too.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "app/frame.h"
#include "app/game.h"
#include "app/scene.h"
#include "support/game_fixture.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {
bool counting = false;
long allocations = 0;

void Count() {
    if (counting) {
        ++allocations;
    }
}
}  // namespace

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);

void* __wrap_malloc(std::size_t size) {
    Count();
    return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
    Count();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, std::size_t size) {
    Count();
    return __real_realloc(block, size);
}
}

void* operator new(std::size_t size) {
    Count();
    void* block = __real_malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    Count();
    return __real_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace test {
namespace {

// Only the game's callbacks are counted, not the test engine's bookkeeping around them.
bool CountedFrame() {
    counting = true;
    const bool quit = FrameFunc();
    counting = false;
    return quit;
}

bool CountedRender() {
    counting = true;
    const bool result = RenderFunc();
    counting = false;
    return result;
}

using AllocationTest = GameTest;

TEST_F(AllocationTest, PlayingAllocatesNothing) {
    engine.frameFunc = CountedFrame;
    engine.renderFunc = CountedRender;
    engine.record = false;
    const int walkKeys[] = {HGEK_W, HGEK_D, HGEK_S, HGEK_A};

    int levelUps = 0;
    for (int frame = 0; frame < 6000; ++frame) {
        // Aim at the first zombie on the field, fire with both weapons in turn and walk about.
        Frame input = MakeFrame(1.0f / 60.0f);
        for (Zombie* zombie : zombies) {
            if (zombie->IsActive()) {
                input.mouseX = zombie->XRef();
                input.mouseY = zombie->YRef();
                break;
            }
        }
        input.held = {HGEK_LBUTTON, (frame / 300) % 2 == 0 ? HGEK_1 : HGEK_2,
                      walkKeys[(frame / 40) % 4]};
        if (levelUpShown) {
            input.pressed = HGEK_ENTER;
            ++levelUps;
        }
        Play(input);
    }
    EXPECT_GT(score, 0);
    EXPECT_GT(levelUps, 0);

    // The death screen too.
    soldier->HealthRef() = 0;
    PlayN(MakeFrame(), 10);
    EXPECT_TRUE(soldierDead);

    EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace test
