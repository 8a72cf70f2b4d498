#include "scene/setup_scene.h"

#include "app/sound_loading.h"
#include "gfx/image_prefetch.h"
#include "gfx/texture.h"
#include "scene/scene_globals.h"
#include "scene/show_script.h"

namespace {

void loadSprite(Sprite& sprite, const char* imagePath) {
    sprite.setTexture(new FileTexture2D(imagePath));
    sprite.texture->load();
}

void loadAssets() {
    spinefinSample = loadSample("data/spinefin.wav");
    juiceSample = loadSample("data/juice.wav");
    tolvaneSample = loadSample("data/tolvane.wav");
    carcrashSample = loadSample("data/carcrash.wav");

    // Sizes in view units: the background covers the whole square view; the
    // fish are the default 0.2 quad scaled to 0.9 x 0.6; the second
    // character is 1.5 x 6; the outro images are anchored at the centre.
    loadSprite(fishtankSprite, "data/fishtank.png");
    fishtankSprite.rect = QuadRect{-1, -1, 1, 1};
    loadSprite(spinefinSprite, "data/spinefin-256-transparent.png");
    spinefinSprite.scale = Vec2{4.5f, 3.0f};
    loadSprite(spinefinOpenSprite, "data/spinefin-open.png");
    spinefinOpenSprite.scale = Vec2{4.5f, 3.0f};
    loadSprite(tolvaneSprite, "data/tolvane-transparent.png");
    tolvaneSprite.rect = QuadRect{-0.75f, -3.0f, 0.75f, 3.0f};
    loadSprite(titleSprite, "data/kelpwake-filled.png");
    titleSprite.rect = QuadRect{-1, -0.25f, 1, 0.25f};
    loadSprite(creditSprite, "data/by-vesk.png");
    creditSprite.rect = QuadRect{-0.2f, -0.05f, 0.2f, 0.05f};
    creditSprite.position = Vec2{0.7f, -0.2f};
    loadSprite(outroSprite, "data/outro.png");
    outroSprite.rect = QuadRect{0, 0, 1, 1};
    loadSprite(outro2Sprite, "data/outro2.png");
    outro2Sprite.rect = QuadRect{0, -0.5f, 1, -0.25f};
}

}  // namespace

void prefetchSceneImages() {
    // loadAssets's images in its order; one missing here is only decoded later.
    prefetchImages({"data/fishtank.png", "data/spinefin-256-transparent.png", "data/spinefin-open.png",
                    "data/tolvane-transparent.png", "data/kelpwake-filled.png", "data/by-vesk.png", "data/outro.png",
                    "data/outro2.png"});
}

void setupScene() {
    loadAssets();
    addShowScript();
}
