// Data files that are not regular files: a named pipe (FIFO), on which
// open() would wait for a writer forever, and a directory. Either gives the
// loader's own error box and no data, and loading goes on.
#include "scene/sound_loading.h"
#include "gfx/texture.h"

#include "support/error_box_recorder.h"
#include "support/png_test_files.h"

#include <sys/stat.h>
#include <unistd.h>

// No GL context is needed: without one the texture's GL calls do nothing,
// and a file that cannot be decoded never reaches them.
TEST(NonRegularDataFiles, NamedPipeAndDirectoryAreRefused) {
    const std::string pipe = vesk_test::testFilePath("pipe"), folder = vesk_test::testFilePath("folder");
    ASSERT_TRUE(mkfifo(pipe.c_str(), 0600) == 0 && mkdir(folder.c_str(), 0700) == 0);
    // A load stuck opening the FIFO never returns: the alarm then ends the
    // test process, and the test fails.
    alarm(10);
    for (const std::string& path : {pipe, folder}) {
        vesk_test::ErrorBoxRecorder boxes;
        EXPECT_EQ(loadSample(path.c_str()), nullptr) << path;
        FileTexture2D(path.c_str()).load();
        const std::vector<std::string> expected{"unable to load sound: " + path, "unable to load texture: " + path};
        EXPECT_EQ(boxes.texts(), expected);
    }
    alarm(0);
}
