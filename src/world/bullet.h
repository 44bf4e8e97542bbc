// Bullets: a fixed pool launched in rotation by the weapons.
#pragma once

class hgeSprite;

class Bullet {
  public:
    Bullet(bool active, hgeSprite* sprite);

    void SetFrameDelta(const float& delta);
    void SetPosition(const float& x, const float& y);
    // Must follow SetPosition: the stop lines and speeds are worked out from the position.
    void SetTarget(const float& x, const float& y);
    void SetAngle(float angle);
    void SetActive(bool active);

    float& XRef() { return x; }
    float& YRef() { return y; }
    bool& ActiveRef() { return active; }

    void Move();
    void Render();

    float targetX = 0.0f, targetY = 0.0f;
    float x = 0.0f, y = 0.0f;
    float frameDelta = 0.0f;
    float angle = 0.0f;
    bool active;
    float stepX = 0.0f, stepY = 0.0f;
    hgeSprite* sprite;
};

constexpr int kBulletCount = 50;
extern Bullet* bullets[kBulletCount];
extern int bulletCursor;
// Each weapon's fire timer as a game starts.
constexpr float kPistolFireTimerStart = 0.25f;
constexpr float kSmgFireTimerStart = 0.1f;
extern float pistolFireTimer;
extern float smgFireTimer;

void InitBullets();
