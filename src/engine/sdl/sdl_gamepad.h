// Gamepads, through SDL's game controller API and the mappings SDL carries for known pads, turned
// into the keys, button and crosshair motion the game already reads:
//   left stick or d-pad   W A S D, eight directions
//   right stick           moves the crosshair, the faster the further it is pushed
//   right trigger or A    the left mouse button (fire)
//   left shoulder or X    1 (pistol); right shoulder or Y: 2 (submachine gun)
//   Start                 Enter; Back: Escape
// Every pad plugged in steers the one soldier, whenever it was plugged in. Pads are opened and
// closed only when they come and go, so reading them every frame allocates nothing.
#pragma once

// The game keys a stick holds: HGEK_W or HGEK_S or 0, and HGEK_A or HGEK_D or 0.
struct WalkKeys {
    int vertical;
    int horizontal;
};

struct AimMotion {
    float x;
    float y;
};

// Sticks in -1..1 on each axis, y growing downwards as on the picture.
// A stick past kWalkDeadZone walks in the nearest of eight directions.
WalkKeys StickWalk(float x, float y);
// How far the crosshair moves in `seconds` with the aiming stick at (x, y), in picture pixels.
AimMotion StickAim(float x, float y, float seconds);

class GamePads {
  public:
    static constexpr float kWalkDeadZone = 0.25f;
    static constexpr float kAimDeadZone = 0.2f;
    // Picture pixels a second with the aiming stick fully pushed.
    static constexpr float kAimSpeed = 900.0f;
    // How far the trigger is pulled before the gun fires.
    static constexpr float kTriggerPull = 0.3f;
    static constexpr int kMaxPads = 8;

    // Opens every pad already plugged in; one that announces itself again later is not opened
    // twice.
    void OpenAll();
    void CloseAll();
    // SDL_CONTROLLERDEVICEADDED names the device by its index, SDL_CONTROLLERDEVICEREMOVED by its
    // instance id.
    void Added(int deviceIndex);
    void Removed(int instanceId);

    // The game key an SDL_GameControllerButton stands for; 0 for none.
    static int ButtonKey(int button);
    // Sets held[key] for every game key a pad holds now (held has a slot for every key code) and
    // gives the aiming stick pushed furthest.
    void Read(bool* held, float* aimX, float* aimY) const;

  private:
    int ids_[kMaxPads] = {};
    int count_ = 0;
};
