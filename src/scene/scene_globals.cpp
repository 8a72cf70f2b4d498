#include "scene/scene_globals.h"

#include "app/show_clock.h"
#include "effects/bubble_effect.h"
#include "timeline/timeline.h"

FSOUND_STREAM* spinefinSample = nullptr;
FSOUND_STREAM* juiceSample = nullptr;
FSOUND_STREAM* tolvaneSample = nullptr;
FSOUND_STREAM* carcrashSample = nullptr;

// Built in this order before main runs and destroyed in the reverse order
// at exit, after the sound system has been closed: the sprites release their
// textures first, then the timeline goes with any effect it still holds, and
// the shared bubble texture last. (Defined in bubble_effect.cpp it would go
// first: that file's statics are set up after these.) Every program that
// links the effects links this file, so the order holds in each of them.
boost::shared_ptr<Texture2D> bubbleTexture;
// The timeline is built with no argument and reads the show clock, handed
// in here so that the timeline's own code knows only its Clock.
Timeline::Timeline() : Timeline(showClock) {}
Timeline timeline;
Sprite spinefinSprite;
Sprite spinefinOpenSprite;
Sprite fishtankSprite;
Sprite tolvaneSprite;
Sprite titleSprite;
Sprite creditSprite;
Sprite outroSprite;
Sprite outro2Sprite;

const Vec2 centre = {0, 0};
const Color opaqueWhite = {1, 1, 1, 1};
const Color transparentBlack = {0, 0, 0, 0};

const Vec2 pathPoints[] = {
    {-2.0f, 0.0f},   {-2.0f, 0.0f},  {-1.0f, 0.2f},   {-0.5f, -0.2f}, {-0.2f, 0.1f},  {-0.15f, 0.035f}, {-0.04f, -0.03f},
    {0.0f, 0.025f},  {0.04f, -0.02f}, {-0.02f, 0.015f}, {0.01f, -0.01f}, {0.0f, 0.0f},   {0.0f, 0.0f},
};
const unsigned pathPointCount = sizeof pathPoints / sizeof pathPoints[0];
