#include "app/outcome.h"

#include <algorithm>
#include <iterator>

#include "app/game.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

using replay::Digest;

// Every key and button the game reads with Input_GetKeyState: walking, the weapons, Enter, Escape
// and the fire button.
constexpr int kReadKeys[] = {HGEK_W, HGEK_A,     HGEK_S,      HGEK_D,      HGEK_1,
                             HGEK_2, HGEK_ENTER, HGEK_ESCAPE, HGEK_LBUTTON};
// In the order ProbeOutcome fills them in; the first three name a replay that played the same.
constexpr const char* kFieldNames[replay::kOutcomeFields] = {"score",  "kills",      "level",
                                                             "health", "ammunition", "clip"};

void AddMarks(Digest& d) {
    for (int order = 0; order < kMarkCount; ++order) {
        const GroundPlacement& mark = *MarkInOrder(order);
        if (mark.IsActive()) {
            d.Add(order);
            d.Add(mark.x);
            d.Add(mark.y);
            d.Add(mark.angle);
        }
    }
}

}  // namespace

replay::GameDescription ReplayedGame(const char* name, const char* version) {
    return {name,
            version,
            kReadKeys,
            static_cast<int>(std::size(kReadKeys)),
            kFieldNames,
            3,
            "the same numbers, but the soldier, a zombie, a bullet, a pickup or a mark stands "
            "elsewhere",
            "the same numbers, but another sound was played, or at another time, volume or pitch",
            ProbeOutcome};
}

void ProbeOutcome(replay::Outcome* outcome) {
    Soldier& s = *soldier;
    const std::int32_t fields[replay::kOutcomeFields] = {
        score,       kills,
        level,       s.HealthRef(),
        s.AmmoRef(), s.WeaponRef() == kSubmachineGun ? s.SmgClipRef() : s.PistolClipRef()};
    std::copy(std::begin(fields), std::end(fields), outcome->fields);
    Digest d;
    d.Add(s.XRef());
    d.Add(s.YRef());
    d.Add(s.AngleRef());
    d.Add(s.WeaponRef());
    d.Add(s.PistolClipRef());
    d.Add(s.SmgClipRef());
    d.Add(moveSpeed);
    d.Add(levelUpShown);
    d.Add(soldierDead);
    for (Bullet* b : bullets) {
        if (b->ActiveRef()) {
            d.Add(b->XRef());
            d.Add(b->YRef());
        }
    }
    for (const Zombie* z : zombies) {
        if (z->IsActive()) {
            d.Add(z->x);
            d.Add(z->y);
            d.Add(z->health);
        }
    }
    for (const Pickup* p : pickups) {
        if (p->IsActive()) {
            d.Add(p->kind);
            d.Add(p->x);
            d.Add(p->y);
        }
    }
    AddMarks(d);
    d.Add(zombieSpawnTimer);
    d.Add(biteTimer);
    d.Add(pistolFireTimer);
    d.Add(smgFireTimer);
    d.Add(bulletCursor);
    d.Add(zombieSpawnCursor);
    d.Add(pickupCursor);
    outcome->digest = d.Value();
}
