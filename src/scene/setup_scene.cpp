#include "scene/setup_scene.h"

#include "timeline/timeline.h"

Timeline timeline;

namespace {
// Keeps the show running for a few seconds until the script exists.
class PauseEffect : public Effect {
public:
    void schedule(float, float) override {}
    void update(float) override {}
    void draw() override {}
};
}  // namespace

void setupScene() { timeline.add(0, 0, 5, new PauseEffect); }
