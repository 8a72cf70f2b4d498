// A fixture for effect tests that create textures: the shared GL test
// context, "Error" boxes recorded instead of shown, and small textures of
// known colours made from test PNG files.
#pragma once

#include "gfx/texture.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"

#include <boost/shared_ptr.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class GlEffectTest : public ::testing::Test {
protected:
    void SetUp() override { VESK_REQUIRE_GL(); }

    // A loaded 2 x 2 texture of one colour.
    static boost::shared_ptr<Texture2D> solidTexture(const std::string& name, vesk_test::Rgba colour) {
        const std::string path = vesk_test::writeRgbaPng(name + ".png", 2, 2, std::vector<vesk_test::Rgba>(4, colour));
        boost::shared_ptr<Texture2D> texture(new FileTexture2D(path.c_str()));
        texture->load();
        return texture;
    }

    const std::vector<std::string>& boxes() const { return errorBoxes.texts(); }

    vesk_test::ErrorBoxRecorder errorBoxes;
};
