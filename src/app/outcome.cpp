#include "app/outcome.h"

#include "app/game.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

using replay::Digest;

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

void ProbeOutcome(replay::Outcome* outcome) {
    Soldier& s = *soldier;
    outcome->score = score;
    outcome->kills = kills;
    outcome->level = level;
    outcome->health = s.HealthRef();
    outcome->ammo = s.AmmoRef();
    outcome->clip = s.WeaponRef() == kSubmachineGun ? s.SmgClipRef() : s.PistolClipRef();
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
