#include "world/zombie.h"

#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/contact.h"
#include "world/shared_state.h"
#include "world/soldier.h"

Zombie* zombies[kZombieCount];
float zombieSpawnTimer = kZombieSpawnTimerStart;
int zombieSpawnCursor = 0;
float biteTimer = kBiteTimerStart;

namespace {

constexpr float kHotSpot = 25.0f;
// A bite takes 10 health, at most once a second of contact.
constexpr int kBiteDamage = 10;
constexpr double kBiteInterval = 1.0;

// One axis of the chase: the zombie covers level * dt / 2 of the remaining distance.
void ChaseAxis(float& pos, float target, float& halfDist, float delta) {
    if (target > pos) {
        halfDist = static_cast<float>(static_cast<double>(target) - pos);
    } else if (target < pos) {
        halfDist = static_cast<float>(static_cast<double>(pos) - target);
    }
    halfDist = static_cast<float>(halfDist * 0.5);
    if (target == pos) {
        return;
    }
    const double step = static_cast<double>(level) * delta * halfDist;
    const double moved = target > pos ? pos + step : pos - step;
    // Deliberate rule: a long frame or a high level would otherwise throw the zombie past the
    // soldier (and further away each frame once level * dt passes 2), so a step ends on the
    // target at the most. Shorter steps move exactly by the product above.
    const bool passes = target > pos ? moved > target : moved < target;
    pos = passes ? target : static_cast<float>(moved);
}

}  // namespace

Zombie::Zombie(hgeSprite* sprite) : health(100), active(false), sprite(sprite) {
    sprite->SetHotSpot(kHotSpot, kHotSpot);
}

void Zombie::Activate(hgeSprite* image) {
    sprite = image;
    health = 100;
    active = true;
}

void Zombie::SetPosition(float newX, float newY) {
    x = newX;
    y = newY;
}

void Zombie::Chase(const float& targetX, const float& targetY, const float& delta) {
    // The facing comes from where the zombie stood before this step.
    angle = AimAngle(x, y, targetX, targetY);
    ChaseAxis(x, targetX, halfDistX, delta);
    ChaseAxis(y, targetY, halfDistY, delta);
}

void Zombie::BiteSoldier(const float& delta, Soldier& soldier, Zombie& zombie) {
    if (!Touches(soldier.XRef(), soldier.YRef(), zombie.x, zombie.y)) {
        return;
    }
    if (biteTimer >= kBiteInterval) {
        soldier.TakeDamage(kBiteDamage);
        biteTimer = 0.0f;
    } else {
        biteTimer = static_cast<float>(static_cast<double>(biteTimer) + delta);
    }
}

void Zombie::Render() {
    sprite->RenderEx(x, y, angle, 1.0f, 0.0f);
}

void Zombie::SetSprite(hgeSprite* image) {
    sprite = image;
    sprite->SetHotSpot(kHotSpot, kHotSpot);
}

void Zombie::TakeDamage(int amount) {
    health -= amount;
}

void Zombie::Deactivate() {
    active = false;
}

void InitZombies() {
    zombieSpawnTimer = kZombieSpawnTimerStart;
    zombieSpawnCursor = 0;
    for (Zombie*& zombie : zombies) {
        zombie = new Zombie(zombieSprite);
    }
}

void SpawnZombie(const float& delta, const float& x, const float& y) {
    // One zombie every half second at level 1, twice as often at level 2, and so on.
    constexpr double kSpawnInterval = 0.5;
    const double interval = kSpawnInterval / static_cast<double>(level);
    if (zombieSpawnTimer < interval) {
        // The frame that carries the timer over the interval only accumulates.
        zombieSpawnTimer = static_cast<float>(static_cast<double>(zombieSpawnTimer) + delta);
        return;
    }
    if (zombieSpawnCursor >= kZombieCount) {
        // Running off the end costs a whole attempt.
        zombieSpawnCursor = 0;
    } else if (!zombies[zombieSpawnCursor]->IsActive()) {
        PlayEffect(zombieSound, kZombieSoundVolume);
        Zombie& zombie = *zombies[zombieSpawnCursor];
        zombie.Activate(zombieSprite);
        zombie.SetPosition(x, y);
        ++zombieSpawnCursor;
    }
    // A live zombie in the cursor's slot stalls the spawner on that slot. Either way the excess
    // over the interval is dropped.
    zombieSpawnTimer = 0.0f;
}
