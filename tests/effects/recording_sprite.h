// A sprite that records, instead of drawing, the fields it is drawn with,
// and counts its tick calls. It has no texture, so it makes no GL calls of
// its own; the transform calls of draw() around render() still run.
#pragma once

#include "gfx/sprite.h"

#include <vector>

struct DrawnFields {
    Vec2 position;
    Vec2 scale;
    Color color;
};

class RecordingSprite : public Sprite {
public:
    void render() override { draws.push_back(DrawnFields{position, scale, color}); }
    void tick(float now) override { ticks.push_back(now); }

    std::vector<DrawnFields> draws;
    std::vector<float> ticks;
};
