// Builds the show: loads the samples and textures, sets up the sprites and
// fills the timeline with every effect of the script. Runs once, after the
// window and the sound system exist and before the music starts.
#pragma once

void setupScene();
// Starts decoding the sprites' images ahead (gfx/image_prefetch.h); called
// first thing, so that it overlaps the start of the window and the GL.
void prefetchSceneImages();
