#include "world/bullet.h"

#include <algorithm>

#include "render2d/hgesprite.h"
#include "world/assets.h"

Bullet* bullets[kBulletCount];
int bulletCursor = 0;
float pistolFireTimer = kPistolFireTimerStart;
float smgFireTimer = kSmgFireTimerStart;

namespace {

// Past the aim point the bullet flies on to a stop line this far beyond it.
constexpr float kOvershoot = 1000.0f;
// Speed is this many times the firing distance per second.
constexpr int kSpeedFactor = 50;

// Works out one axis of a launch: the stop line and the speed.
void AimAxis(float position, float& target, float& step) {
    if (target > position) {
        step = target - position;
        target = static_cast<float>(static_cast<double>(target) + kOvershoot);
    } else if (target < position) {
        step = position - target;
        target = static_cast<float>(static_cast<double>(target) - kOvershoot);
    }
}

// One axis of a move toward the stop line; a step that would cross it ends on it.
void MoveAxis(float& position, float target, float step, float delta) {
    const double distance = static_cast<double>(step) * delta;
    if (target > position) {
        position = static_cast<float>(std::min(position + distance, static_cast<double>(target)));
    } else if (target < position) {
        position = static_cast<float>(std::max(position - distance, static_cast<double>(target)));
    }
}

}  // namespace

void InitBullets() {
    pistolFireTimer = kPistolFireTimerStart;
    smgFireTimer = kSmgFireTimerStart;
    bulletCursor = 0;
    for (Bullet*& bullet : bullets) {
        bullet = new Bullet(false, bulletSprite);
    }
}

Bullet::Bullet(bool active, hgeSprite* sprite) : active(active), sprite(sprite) {
    sprite->SetHotSpot(0.0f, 0.0f);
}

void Bullet::SetFrameDelta(const float& delta) {
    frameDelta = delta;
}

void Bullet::SetPosition(const float& newX, const float& newY) {
    x = newX;
    y = newY;
}

void Bullet::SetTarget(const float& aimX, const float& aimY) {
    targetX = aimX;
    targetY = aimY;
    AimAxis(x, targetX, stepX);
    AimAxis(y, targetY, stepY);
    if (stepX < kOvershoot) {
        stepX *= static_cast<float>(kSpeedFactor);
    }
    if (stepY < kOvershoot) {
        stepY *= static_cast<float>(kSpeedFactor);
    }
}

void Bullet::SetAngle(float newAngle) {
    angle = newAngle;
}

void Bullet::SetActive(bool isActive) {
    active = isActive;
}

void Bullet::Move() {
    MoveAxis(x, targetX, stepX, frameDelta);
    MoveAxis(y, targetY, stepY, frameDelta);
}

void Bullet::Render() {
    // The streak's top-left corner sits on the bullet, whatever the shared sprite was given last.
    sprite->SetHotSpot(0.0f, 0.0f);
    sprite->RenderEx(x, y, angle, 1.0f, 0.0f);
}
