// The show's pictures, one function per image file, each drawn on a canvas
// of its own size. Sizes are powers of two (the show uploads them to
// OpenGL 1.1 textures as they are) and chosen near one texel per window
// pixel at the show's 512 x 512 window where the sprite's size allows.
#pragma once

#include "draw/canvas.h"

#include <memory>

// 512 x 512, opaque: the aquarium behind everything.
std::unique_ptr<Canvas> drawFishtank();
// 256 x 256: the fish facing left, drawn squeezed to 2/3 of its width
// because the show stretches it to 3 : 2. Only the mouth differs between
// the two.
std::unique_ptr<Canvas> drawSpinefin(bool mouthOpen);
// 256 x 1024: the diver, soles at 26.5 % of the height from the bottom,
// helmet in the top 29 %.
std::unique_ptr<Canvas> drawTolvane();
// 512 x 128: the title, its lower right corner (75..95 % of the width,
// bottom 20 %) left clear for the by-line.
std::unique_ptr<Canvas> drawTitle();
// 128 x 32: "by VESK".
std::unique_ptr<Canvas> drawByline();
// 256 x 256 and 256 x 64: the closing words.
std::unique_ptr<Canvas> drawOutro();
std::unique_ptr<Canvas> drawOutroCredits();
// 256 x 512: the blood wash, its top row clear.
std::unique_ptr<Canvas> drawBlood();
// 64 x 64: one bubble, clear inside.
std::unique_ptr<Canvas> drawBubble();
// 256 x 256: the desktop's icon, not loaded by the show.
std::unique_ptr<Canvas> drawIcon();
