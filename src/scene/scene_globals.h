// The show's content: its sprites, its samples and the constants of the
// script. All live for the whole process; effects write the sprites' fields
// and the sprites keep the last values written.
#pragma once

#include "gfx/color.h"
#include "gfx/sprite.h"
#include "gfx/vec2.h"

struct FSOUND_STREAM;

// Sample streams, loaded by setupScene; null when a file failed to load.
extern FSOUND_STREAM* spinefinSample;
extern FSOUND_STREAM* juiceSample;
extern FSOUND_STREAM* tolvaneSample;
extern FSOUND_STREAM* carcrashSample;

extern Sprite fishtankSprite;      // full-view background
extern Sprite spinefinSprite;      // the fish, mouth closed
extern Sprite spinefinOpenSprite;  // the fish, mouth open
extern Sprite tolvaneSprite;       // the second character
extern Sprite titleSprite;         // the title card
extern Sprite creditSprite;        // the by-line
extern Sprite outroSprite;
extern Sprite outro2Sprite;

extern const Vec2 centre;
extern const Color opaqueWhite;
extern const Color transparentBlack;

// Control points of the fish's way in; the first and last are doubled so
// that the curve starts on the first and runs into the last.
extern const Vec2 pathPoints[];
extern const unsigned pathPointCount;
