#include "scene/setup_scene.h"

#include "app/sound_loading.h"
#include "gfx/image_prefetch.h"
#include "gfx/texture.h"
#include "scene/scene_globals.h"
#include "scene/show_script.h"

namespace {

// The sprites' images, in the order loadAssets loads them.
constexpr const char* fishtankImage = "data/fishtank.png";
constexpr const char* spinefinImage = "data/spinefin-256-transparent.png";
constexpr const char* spinefinOpenImage = "data/spinefin-open.png";
constexpr const char* tolvaneImage = "data/tolvane-transparent.png";
constexpr const char* titleImage = "data/kelpwake-filled.png";
constexpr const char* creditImage = "data/by-vesk.png";
constexpr const char* outroImage = "data/outro.png";
constexpr const char* outro2Image = "data/outro2.png";

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
    loadSprite(fishtankSprite, fishtankImage);
    fishtankSprite.rect = QuadRect{-1, -1, 1, 1};
    loadSprite(spinefinSprite, spinefinImage);
    spinefinSprite.scale = Vec2{4.5f, 3.0f};
    loadSprite(spinefinOpenSprite, spinefinOpenImage);
    spinefinOpenSprite.scale = Vec2{4.5f, 3.0f};
    loadSprite(tolvaneSprite, tolvaneImage);
    tolvaneSprite.rect = QuadRect{-0.75f, -3.0f, 0.75f, 3.0f};
    loadSprite(titleSprite, titleImage);
    titleSprite.rect = QuadRect{-1, -0.25f, 1, 0.25f};
    loadSprite(creditSprite, creditImage);
    creditSprite.rect = QuadRect{-0.2f, -0.05f, 0.2f, 0.05f};
    creditSprite.position = Vec2{0.7f, -0.2f};
    loadSprite(outroSprite, outroImage);
    outroSprite.rect = QuadRect{0, 0, 1, 1};
    loadSprite(outro2Sprite, outro2Image);
    outro2Sprite.rect = QuadRect{0, -0.5f, 1, -0.25f};
}

}  // namespace

void prefetchSceneImages() {
    // An image left out here is decoded by its texture's load.
    prefetchImages({fishtankImage, spinefinImage, spinefinOpenImage, tolvaneImage, titleImage, creditImage, outroImage,
                    outro2Image});
}

void setupScene() {
    loadAssets();
    addShowScript();
}
