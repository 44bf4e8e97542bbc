// A long game with random and extreme input through the real frame and render callbacks: after
// every frame, nothing is NaN or infinite, every cursor is in its range, the soldier's numbers
// stay within the rules, and nothing was allocated.
//
//   ZS_SOAK_FRAMES=1000000 ZS_SOAK_SEED=7 ctest -R soak --output-on-failure
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "app/frame.h"
#include "app/game.h"
#include "app/startup.h"
#include "support/alloc_counter.h"
#include "support/game_fixture.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

long EnvNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtol(value, nullptr, 10) : fallback;
}

// Frames of input made up front, so that playing them allocates nothing.
class InputMaker {
  public:
    explicit InputMaker(std::uint32_t seed) : rng_(seed) {}

    void Fill(Frame& frame) {
        static constexpr std::array<float, 5> kDeltas = {0.0f, 1e-6f, 1.0f / 60.0f, 0.5f, 5.0f};
        const int pick = Uniform(0, 99);
        frame.delta = pick < 95 ? kDeltas[2] : kDeltas[static_cast<std::size_t>(pick % 5)];
        if (Uniform(0, 9) == 0) {
            // Far outside the screen, or exactly on the soldier.
            const float far = Uniform(0, 1) == 0 ? -1.0e6f : 1.0e6f;
            frame.mouseX = Uniform(0, 2) == 0 ? soldier->x : far * Uniform(0, 1);
            frame.mouseY = Uniform(0, 2) == 0 ? soldier->y : -far;
        } else {
            frame.mouseX = static_cast<float>(Uniform(-100, 900));
            frame.mouseY = static_cast<float>(Uniform(-100, 700));
        }
        if (Uniform(0, 1) == 0) {
            AimAtAZombie(frame);
        }
        frame.held.clear();
        for (int key : {HGEK_W, HGEK_A, HGEK_S, HGEK_D, HGEK_1, HGEK_2, HGEK_LBUTTON}) {
            if (Uniform(0, 9) < 3) {
                frame.held.push_back(key);
            }
        }
        const int press = Uniform(0, 999);
        frame.pressed = press < 20   ? HGEK_ENTER
                        : press < 25 ? HGEK_ESCAPE
                        : press < 35 ? HGEK_W
                                     : 0;
    }

  private:
    // Half the time the player aims at a zombie, as a player would, so games reach level-ups.
    static void AimAtAZombie(Frame& frame) {
        for (const Zombie* z : zombies) {
            if (z->active) {
                frame.mouseX = z->x;
                frame.mouseY = z->y;
                return;
            }
        }
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    std::mt19937 rng_;
};

bool Finite(float v) {
    return std::isfinite(v);
}

// Every rule the game keeps whatever the input; returns the first broken one, or "".
std::string BrokenInvariant() {
    const Soldier& s = *soldier;
    if (!Finite(s.x) || !Finite(s.y) || !Finite(s.angle)) {
        return "soldier position or angle not finite";
    }
    if (s.health > 100 || s.health < -10 * kZombieCount) {
        return "health " + std::to_string(s.health);
    }
    if (s.ammo < 0 || s.ammo > 1000) {
        return "reserve " + std::to_string(s.ammo);
    }
    if (s.pistolClip < 0 || s.pistolClip > 12 || s.smgClip < 0 || s.smgClip > 30) {
        return "clip out of range";
    }
    if (s.weapon != kPistol && s.weapon != kSubmachineGun) {
        return "weapon " + std::to_string(s.weapon);
    }
    if (bulletCursor < 0 || bulletCursor >= kBulletCount || zombieSpawnCursor < 0 ||
        zombieSpawnCursor > kZombieCount || pickupCursor < 0 || pickupCursor > kPickupCount ||
        bloodCursor < 0 || bloodCursor > kBloodCount || goreCursor < 0 || goreCursor > kGoreCount) {
        return "cursor out of range";
    }
    if (level < 1 || kills < 0 || score < 0 || score % 50 != 0) {
        return "level, kills or score";
    }
    for (const Bullet* b : bullets) {
        if (b->active && (!Finite(b->x) || !Finite(b->y))) {
            return "bullet position not finite";
        }
    }
    for (const Zombie* z : zombies) {
        if (z->active && (!Finite(z->x) || !Finite(z->y) || !Finite(z->angle))) {
            return "zombie position not finite";
        }
    }
    for (const Pickup* p : pickups) {
        if (p->active && (!Finite(p->x) || !Finite(p->y) || p->age < 0.0f || p->age >= 10.0f)) {
            return "pickup position or age";
        }
    }
    return {};
}

class SoakTest : public GameTest {
  protected:
    void Restart() {
        FreeGame();
        PrepareEngine(engine);
        ASSERT_EQ(RunGame(), 0);
        engine.record = false;
    }
};

TEST_F(SoakTest, RandomAndExtremeInputKeepsEveryRule) {
    const long frames = EnvNumber("ZS_SOAK_FRAMES", 1000000);
    InputMaker input(static_cast<std::uint32_t>(EnvNumber("ZS_SOAK_SEED", 1)));
    engine.record = false;

    // The first frame holds every key, so the scripted engine's input buffers are sized before
    // counting starts.
    Frame frame;
    frame.held = {HGEK_W, HGEK_A, HGEK_S, HGEK_D, HGEK_1, HGEK_2, HGEK_LBUTTON};
    engine.Step(frame);
    long games = 1;
    long deadFrames = 0;
    long levelUps = 0;
    long escapes = 0;
    long allocatingFrames = 0;
    int lastLevel = level;
    for (long i = 0; i < frames; ++i) {
        input.Fill(frame);
        const std::uint64_t before = AllocationCount();
        const bool quit = engine.Step(frame);
        allocatingFrames += AllocationCount() != before ? 1 : 0;

        ASSERT_EQ(quit, frame.pressed == HGEK_ESCAPE) << "frame " << i;
        escapes += quit ? 1 : 0;
        if (frame.pressed == HGEK_ENTER) {
            ASSERT_FALSE(levelUpShown) << "Enter left the level-up screen up, frame " << i;
        }
        const std::string broken = BrokenInvariant();
        ASSERT_TRUE(broken.empty()) << broken << ", frame " << i << ", game " << games;
        levelUps += level != lastLevel ? 1 : 0;
        lastLevel = level;

        // A dead soldier stays dead: after a while on the death screen a new game starts, so
        // the soak keeps exercising play.
        deadFrames = soldierDead ? deadFrames + 1 : 0;
        if (deadFrames > 300) {
            Restart();
            ++games;
            deadFrames = 0;
            lastLevel = level;
        }
    }
    std::printf("soak: %ld frames, %ld games, %ld level-ups, %ld escapes honoured\n", frames, games,
                levelUps, escapes);
    if (AllocCounterEnabled()) {
        EXPECT_EQ(allocatingFrames, 0) << "frames that allocated";
    }
    EXPECT_GT(games + levelUps, 1) << "the soak never got past the first level of one game";
}

// With render targets, a long stretch of marks placed in reused slots of full rings (each one
// patches its part of the ground layer) allocates nothing, and draws far fewer quads than the
// ground and every mark again.
TEST_F(SoakTest, PatchingTheGroundLayerAllocatesNothing) {
    engine.targets = true;
    Restart();
    HoldSpawner();
    const auto spot = [](int n, float* x, float* y) {
        *x = static_cast<float>((n * 37) % 820) - 10.0f;
        *y = static_cast<float>((n * 53) % 620) - 10.0f;
    };
    float x = 0.0f;
    float y = 0.0f;
    for (int n = 0; n < kBloodCount; ++n) {
        spot(n, &x, &y);
        bloodSplats[n]->Activate(x, y, static_cast<float>(n % 628) / 100.0f);
        gorePieces[n]->Activate(n % 2 == 0 ? kArm : kHead, y + 100.0f, x, 0.0f);
    }
    Frame frame;
    frame.delta = 0.0f;
    engine.Step(frame);  // the whole layer
    constexpr int kFrames = 3000;
    std::uint64_t allocations = 0;
    engine.quadCount = 0;
    for (int n = 0; n < kFrames; ++n) {
        spot(n * 11 + 5, &x, &y);
        const std::uint64_t before = AllocationCount();
        bloodSplats[NextRingSlot<kBloodCount>(bloodCursor)]->Activate(x, y, 0.01f * n);
        engine.Step(frame);
        allocations += AllocationCount() - before;
    }
    EXPECT_EQ(allocations, 0u);
    EXPECT_LT(engine.quadCount, kFrames * 1000) << "patches, not the whole layer each frame";
}

}  // namespace
}  // namespace test
