// Releases a fixed number of bubbles from one point: each fans out
// sideways while it slows down horizontally, climbs at a constant speed from
// its birth height to the top edge of the view or up to 0.3 beyond it by the
// end of the span, and wobbles. Sizes and speeds are drawn from the show's
// random generator when the effect is scheduled.
#pragma once

#include "effects/bubble.h"
#include "gfx/texture.h"
#include "gfx/vec2.h"
#include "timeline/effect.h"

#include <boost/shared_ptr.hpp>

#include <deque>

// The one texture of every bubble, "data/bubble.png": empty at process
// start, loaded by the first BubbleEffect::schedule and kept to process exit.
// Defined with the scene's globals (scene/scene_globals.cpp), before the
// timeline, so that it is destroyed after the timeline and the sprites.
// GL thread only.
extern boost::shared_ptr<Texture2D> bubbleTexture;

class BubbleEffect : public Effect {
public:
    // `count` default bubbles born at `origin` (view units).
    BubbleEffect(const Vec2& origin, unsigned count);

    // Loads bubbleTexture if it is still empty (needs a current GL context;
    // a failed load still counts as loaded), then gives every bubble, in
    // index order, its start state from five random draws. A span that is
    // not positive gives the bubbles no vertical speed.
    void schedule(float start, float end) override;
    // One motion step of every bubble once at least 0.01 s of effect time
    // has passed since the last step; earlier frames change nothing.
    void update(float now) override;
    // The bubbles' sprites in index order, later ones over earlier ones.
    void draw() override;

    Vec2 origin;
    std::deque<Bubble> bubbles;  // the count never changes
    float start = 0;             // show time, seconds
    float lastStep = 0;          // effect time of the last step, seconds
};
