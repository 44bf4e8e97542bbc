#include "support/world_fixture.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "world/assets.h"
#include "world/bullet.h"
#include "world/zombie.h"

namespace test {

Placed PlacedAt(const hgeQuad& quad) {
    const double dx = quad.v[1].x - quad.v[0].x;
    const double dy = quad.v[1].y - quad.v[0].y;
    const double width = std::hypot(dx, dy);
    const double c = dx / width;
    const double s = dy / width;
    // v[0] is the hot spot's offset (-25, -25) turned by the angle.
    return {static_cast<float>(quad.v[0].x + 25.0 * c - 25.0 * s),
            static_cast<float>(quad.v[0].y + 25.0 * s + 25.0 * c),
            static_cast<float>(std::atan2(s, c))};
}

test::Frame WorldTest::Calm(std::vector<int> rolls, float delta) {
    test::Frame frame =
        test::WithSpawnDraws(test::MakeFrame(delta), 1,
                             {-25.0f, -25.0f, 825.0f, 625.0f, -25.0f, 625.0f, 825.0f, -25.0f});
    frame.ints.insert(frame.ints.end(), rolls.begin(), rolls.end());
    return frame;
}

test::Frame WorldTest::Holding(std::vector<int> held, float mouseX, float mouseY,
                               std::vector<int> rolls) {
    test::Frame frame = Calm(std::move(rolls));
    frame.held = std::move(held);
    frame.mouseX = mouseX;
    frame.mouseY = mouseY;
    return frame;
}

test::Frame WorldTest::Pressing(int key) {
    test::Frame frame = Calm();
    frame.pressed = key;
    return frame;
}

void WorldTest::HoldSpawner() {
    zombieSpawnTimer = -1.0e6f;
}

void WorldTest::PlaceZombie(int slot, float x, float y, int health) {
    Zombie& zombie = *zombies[slot];
    zombie.Activate(zombieSprite);
    zombie.SetPosition(x, y);
    zombie.TakeDamage(100 - health);
}

void WorldTest::LaunchAt(int slot, float x, float y) {
    // 100 pixels short of the point, launched in a 0.02 s frame: one move covers 50 x 0.02 of
    // the distance, that is all of it.
    Bullet& bullet = *bullets[slot];
    bullet.SetFrameDelta(0.02f);
    bullet.SetPosition(x - 100.0f, y);
    bullet.SetTarget(x, y);
    bullet.SetAngle(0.0f);
    bullet.SetActive(true);
}

void WorldTest::LoadRolls(std::vector<int> rolls) {
    // A frame with no callbacks only hands the engine its input.
    const hgeCallback frameFunc = engine.frameFunc;
    const hgeCallback renderFunc = engine.renderFunc;
    engine.frameFunc = nullptr;
    engine.renderFunc = nullptr;
    test::Frame frame;
    frame.ints.assign(rolls.begin(), rolls.end());
    engine.Step(frame);
    engine.frameFunc = frameFunc;
    engine.renderFunc = renderFunc;
}

void WorldTest::ShootZombie(int slot, std::vector<int> rolls) {
    LaunchAt(0, zombies[slot]->x, zombies[slot]->y);
    PlayFresh(Calm(std::move(rolls)));
}

std::vector<Placed> WorldTest::DrawnAt(const std::string& image) const {
    std::vector<Placed> out;
    for (const hgeQuad& quad : Quads(image)) {
        out.push_back(PlacedAt(quad));
    }
    return out;
}

int WorldTest::Shown(const std::string& label) const {
    for (const test::TextLine& line : Lines()) {
        if (line.text.rfind(label, 0) == 0) {
            return std::atoi(line.text.c_str() + label.size());
        }
    }
    return kNotShown;
}

int WorldTest::NumberAt(float x, float y) const {
    for (const test::TextLine& line : Lines()) {
        if (line.x == x && line.y == y) {
            return std::atoi(line.text.c_str());
        }
    }
    return kNotShown;
}

bool WorldTest::ShowsLine(const std::string& text) const {
    for (const test::TextLine& line : Lines()) {
        if (line.text.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> WorldTest::SoundFiles() const {
    std::vector<std::string> out;
    for (const test::Sound& sound : Sounds()) {
        out.push_back(sound.file);
    }
    return out;
}

}  // namespace test
