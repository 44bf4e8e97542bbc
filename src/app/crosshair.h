// The aim point: a plain pair of coordinates, overwritten with the mouse every frame.
#pragma once

class Crosshair {
  public:
    Crosshair(float x, float y) : x(x), y(y) {}
    float x;
    float y;
};
