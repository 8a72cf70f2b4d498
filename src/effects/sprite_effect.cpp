#include "effects/sprite_effect.h"

void SpriteEffect::draw() { target->draw(); }
