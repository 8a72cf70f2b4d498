// The "Error" boxes of texture loading, recorded instead of shown.
#include "gfx/error_dialogs.h"
#include "gfx/texture.h"
#include "platform/dialog.h"
#include "platform/last_error.h"

#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

std::string goodPicture() {
    return vesk_test::writeRgbaPng("good.png", 2, 2, std::vector<vesk_test::Rgba>(4, vesk_test::Rgba{9, 9, 9, 255}));
}

TEST(TextureErrorBoxes, MissingFileGivesOneBoxWithThePathAsPassed) {
    VESK_REQUIRE_GL();
    setLastErrorCode(0);
    vesk_test::ErrorBoxRecorder boxes;
    const char* path = "./data/../data/no-such-picture.png";
    FileTexture2D texture(path);
    texture.load();
    EXPECT_EQ(boxes.texts(), Texts{"unable to load texture: ./data/../data/no-such-picture.png"});
    // Nothing was enabled or bound on the way out.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    // The failure leaves no code behind for the next texture's checks.
    EXPECT_EQ(lastErrorCode(), 0);
    FileTexture2D next(goodPicture().c_str());
    next.load();
    EXPECT_EQ(boxes.texts().size(), 1u);
}

TEST(TextureErrorBoxes, BrokenFileIsReportedTheSameWay) {
    VESK_REQUIRE_GL();
    setLastErrorCode(0);
    const std::string path = vesk_test::writeBytes("not-a-picture.png", {'h', 'e', 'l', 'l', 'o'});
    vesk_test::ErrorBoxRecorder boxes;
    FileTexture2D texture(path.c_str());
    texture.load();
    EXPECT_EQ(boxes.texts(), Texts{"unable to load texture: " + path});
    EXPECT_EQ(lastErrorCode(), 0);
}

TEST(TextureErrorBoxes, PendingErrorCodeIsReportedAtTheFirstCheckAndCleared) {
    VESK_REQUIRE_GL();
    const std::string path = goodPicture();
    vesk_test::ErrorBoxRecorder boxes;
    FileTexture2D texture(path.c_str());
    setLastErrorCode(EACCES);
    texture.load();
    // The label, then glibc's text for EACCES, with nothing between; the
    // upload itself raises nothing, so no second box.
    EXPECT_EQ(boxes.texts(), Texts{"FileTexture2D::load1Permission denied"});
    EXPECT_EQ(lastErrorCode(), 0);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2) << "the load goes on after the box";
}

TEST(TextureErrorBoxes, CleanLoadShowsNoBox) {
    VESK_REQUIRE_GL();
    setLastErrorCode(0);
    const std::string path = goodPicture();
    vesk_test::ErrorBoxRecorder boxes;
    FileTexture2D texture(path.c_str());
    texture.load();
    EXPECT_TRUE(boxes.texts().empty());
    EXPECT_EQ(lastErrorCode(), 0);
}

TEST(CheckLastError, ReportsOnlyANonZeroCodeAndAlwaysClearsIt) {
    vesk_test::ErrorBoxRecorder boxes;
    setLastErrorCode(0);
    checkLastError("Quiet::check");
    EXPECT_TRUE(boxes.texts().empty());
    EXPECT_EQ(lastErrorCode(), 0);

    setLastErrorCode(ENOENT);
    checkLastError("Loud::check1");
    EXPECT_EQ(boxes.texts(), Texts{"Loud::check1No such file or directory"});
    EXPECT_EQ(lastErrorCode(), 0);

    // The next check sees only what was raised since.
    checkLastError("Loud::check2");
    EXPECT_EQ(boxes.texts().size(), 1u);
    // The buffer is not cleared between checks.
    EXPECT_EQ(std::string(messageBuffer), "No such file or directory");

    setLastErrorCode(123456);
    checkLastError("Odd::check");
    EXPECT_EQ(boxes.texts().back(), "Odd::checkUnknown error 123456");
}

TEST(CheckLastError, EachThreadHasItsOwnCode) {
    setLastErrorCode(0);
    int seenThere = -1;
    std::thread other([&] {
        setLastErrorCode(EIO);
        seenThere = lastErrorCode();
    });
    other.join();
    EXPECT_EQ(seenThere, EIO);
    EXPECT_EQ(lastErrorCode(), 0);
}

TEST(ErrorBox, ShowErrorPassesTheTextUnchanged) {
    vesk_test::ErrorBoxRecorder boxes;
    showError("unable to load texture: data/x y.png");
    showError("");
    EXPECT_EQ(boxes.texts(), (Texts{"unable to load texture: data/x y.png", ""}));
}

TEST(ErrorBox, StderrFallbackPrefixesError) {
    testing::internal::CaptureStderr();
    printErrorToStderr("unable to load texture: data/blood.png");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: unable to load texture: data/blood.png\n");
}

}  // namespace
