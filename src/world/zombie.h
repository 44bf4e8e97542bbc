// Zombies: a fixed pool, the timed spawner, the chase and the bite.
#pragma once

class hgeSprite;
class Soldier;

class Zombie {
  public:
    explicit Zombie(hgeSprite* sprite);

    void Activate(hgeSprite* sprite);
    void SetPosition(float x, float y);
    bool IsActive() const { return active; }
    void Chase(const float& targetX, const float& targetY, const float& delta);
    // Contact damage; one timer is shared by every zombie.
    static void BiteSoldier(const float& delta, Soldier& soldier, Zombie& zombie);
    void Render();
    void SetSprite(hgeSprite* sprite);
    void TakeDamage(int amount);
    int Health() const { return health; }
    void Deactivate();

    float& XRef() { return x; }
    float& YRef() { return y; }
    float& AngleRef() { return angle; }

    int health;
    float x = 0.0f, y = 0.0f;
    float halfDistX = 0.0f, halfDistY = 0.0f;
    float angle = 0.0f;
    bool active;
    hgeSprite* sprite;
};

constexpr int kZombieCount = 100;
extern Zombie* zombies[kZombieCount];
constexpr float kZombieSpawnTimerStart = 0.5f;
// Set once, when the program starts, and never by start-up: the first bite of a game comes after
// half the contact time of the later ones.
constexpr float kBiteTimerStart = 0.5f;
extern float zombieSpawnTimer;
extern int zombieSpawnCursor;
extern float biteTimer;

void InitZombies();
void SpawnZombie(const float& delta, const float& x, const float& y);
