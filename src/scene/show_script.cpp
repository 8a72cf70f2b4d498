#include "scene/show_script.h"

#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/fade_effect.h"
#include "effects/face_direction.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "platform/sound/fsound.h"
#include "scene/scene_globals.h"
#include "timeline/timeline.h"

#include <boost/bind/bind.hpp>

namespace {

// Sound channel 0 carries the music; every sample plays on channel 1.
const int musicChannel = 0;
const int sampleChannel = 1;

Effect* hold(Sprite& sprite, const Vec2& at) { return new MoveEffect(&sprite, at, at); }

Effect* muteMusic(bool mute) {
    return new CallEffect(boost::bind(&FSOUND_SetMute, musicChannel, static_cast<signed char>(mute)));
}

}  // namespace

void addOpenCloseSequence(float t) {
    timeline.add(10, t, t + 1.0f, hold(spinefinSprite, centre));
    timeline.add(1, t + 1.0f, t + 1.15f, makePlayEffect(spinefinSample, sampleChannel));
    timeline.add(10, t + 1.0f, t + 1.15f, hold(spinefinOpenSprite, centre));
    timeline.add(10, t + 1.15f, t + 1.2f, hold(spinefinSprite, centre));
    timeline.add(10, t + 1.2f, t + 1.4f, hold(spinefinOpenSprite, centre));
    timeline.add(10, t + 1.4f, t + 5.0f, hold(spinefinSprite, centre));
}

void addShowScript() {
    // Title and by-line, then the tank fades in.
    timeline.add(2, 0, 5, new FadeEffect(&titleSprite, transparentBlack, opaqueWhite));
    timeline.add(2, 5, 15, hold(titleSprite, centre));
    timeline.add(2, 5, 15, new FadeEffect(&creditSprite, transparentBlack, opaqueWhite));
    timeline.add(2, 15, 20, new FadeEffect(&creditSprite, opaqueWhite, transparentBlack));
    timeline.add(2, 15, 20, new FadeEffect(&titleSprite, opaqueWhite, transparentBlack));
    timeline.add(1, 15, 20, new FadeEffect(&fishtankSprite, transparentBlack, opaqueWhite));
    timeline.add(1, 20, 60, hold(fishtankSprite, centre));

    // The fish comes in from the left along a curve, facing its way.
    PathEffect* path = new PathEffect(spinefinSprite);
    path->points.insert(path->points.end(), pathPoints, pathPoints + pathPointCount);
    path->callback = faceDirection;
    timeline.add(10, 20, 26, path);
    timeline.add(11, 23, 26, new BubbleEffect(Vec2{0.15f, 0.15f}, 3));
    timeline.add(10, 26, 30, new SwimEffect(spinefinSprite));

    // It stops and speaks, swells and shrinks back.
    addOpenCloseSequence(30);
    timeline.add(10, 33, 33.2f, new ScaleEffect(&spinefinSprite, Vec2{4.5f, 3.0f}, Vec2{5.0f, 5.0f}));
    timeline.add(10, 34, 34.2f, new ScaleEffect(&spinefinSprite, Vec2{5.0f, 5.0f}, Vec2{4.5f, 3.0f}));
    timeline.add(11, 31, 34, new BubbleEffect(Vec2{-0.15f, 0.25f}, 7));
    timeline.add(10, 35, 42.1f, new SwimEffect(spinefinSprite));

    // The crash: the second character lands on the fish.
    timeline.add(10, 42.1f, 42.3f, new MoveEffect(&spinefinSprite, Vec2{0, 0}, Vec2{-0.2f, -0.9f}));
    timeline.add(10, 42.2f, 42.3f, new ScaleEffect(&spinefinSprite, Vec2{4.5f, 3.0f}, Vec2{8.0f, 1.0f}));
    timeline.add(10, 42.3f, 52, new MoveEffect(&spinefinSprite, Vec2{-0.2f, -0.9f}, Vec2{-0.2f, -0.9f}));
    timeline.add(1, 40.1f, 40.2f, muteMusic(true));
    timeline.add(2, 40.1f, 40.2f, makePlayEffect(carcrashSample, sampleChannel));
    timeline.add(1, 45.1f, 45.2f, muteMusic(false));
    timeline.add(15, 42.1f, 42.3f, new MoveEffect(&tolvaneSprite, Vec2{0, 5.0f}, Vec2{0, 0.6f}));
    timeline.add(15, 42.3f, 52, new MoveEffect(&tolvaneSprite, Vec2{0, 0.6f}, Vec2{0, 0.6f}));
    timeline.add(1, 47, 47.1f, makePlayEffect(juiceSample, sampleChannel));
    timeline.add(20, 42.3f, 52, new BloodEffect(50.0f));
    timeline.add(10, 50, 52, new FadeEffect(&spinefinSprite, opaqueWhite, transparentBlack));
    timeline.add(1, 50, 52, new FadeEffect(&fishtankSprite, opaqueWhite, transparentBlack));

    // The outro.
    timeline.add(15, 52, 54, new MoveEffect(&tolvaneSprite, Vec2{0, 0.6f}, Vec2{-0.3f, -2.0f}));
    timeline.add(15, 52, 54, new ScaleEffect(&tolvaneSprite, Vec2{1.0f, 1.0f}, Vec2{0.8f, 0.8f}));
    timeline.add(15, 54, 64, new MoveEffect(&tolvaneSprite, Vec2{-0.3f, -2.0f}, Vec2{-0.3f, -2.0f}));
    timeline.add(1, 54, 54.1f, makePlayEffect(tolvaneSample, sampleChannel));
    timeline.add(16, 56, 58, new FadeEffect(&outroSprite, transparentBlack, opaqueWhite));
    timeline.add(16, 57, 59, new FadeEffect(&outro2Sprite, transparentBlack, opaqueWhite));
    timeline.add(15, 64, 68.5f, new FadeEffect(&tolvaneSprite, opaqueWhite, transparentBlack));
    timeline.add(16, 58, 68, new FadeEffect(&outroSprite, opaqueWhite, transparentBlack));
    timeline.add(16, 59, 68, new FadeEffect(&outro2Sprite, opaqueWhite, transparentBlack));
}
