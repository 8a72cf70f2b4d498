// Data files that are not regular files: a named pipe (FIFO), on which
// open() would wait for a writer forever, and a directory. Either gives the
// loader's own error box and no data, and loading goes on.
#include "app/sound_loading.h"
#include "gfx/texture.h"

#include "support/error_box_recorder.h"
#include "support/png_test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

// Runs `load`. Were it stuck opening the FIFO at `path`, a helper opens the
// write end every 10 s to let it go on, and the answer is false.
bool loadsWithoutWaiting(const std::string& path, const std::function<void()>& load) {
    std::promise<void> finished;
    std::atomic<bool> stuck{false};
    std::thread watchdog([&, done = finished.get_future()] {
        while (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);  // fails unless a reader waits
            if (fd >= 0) stuck = true, close(fd);
        }
    });
    load();
    finished.set_value();
    watchdog.join();
    return !stuck;
}

}  // namespace

// No GL context is needed: without one the texture's GL calls do nothing,
// and a file that cannot be decoded never reaches them.
TEST(SpecialDataFiles, NamedPipeAndDirectoryAreRefused) {
    const std::string pipe = vesk_test::testFilePath("pipe"), folder = vesk_test::testFilePath("folder");
    ASSERT_TRUE(mkfifo(pipe.c_str(), 0600) == 0 && mkdir(folder.c_str(), 0700) == 0);
    for (const std::string& path : {pipe, folder}) {
        vesk_test::ErrorBoxRecorder boxes;
        EXPECT_TRUE(loadsWithoutWaiting(path, [&] { EXPECT_EQ(loadSample(path.c_str()), nullptr); })) << path;
        EXPECT_TRUE(loadsWithoutWaiting(path, [&] { FileTexture2D(path.c_str()).load(); })) << path;
        const std::vector<std::string> expected{"unable to load sound: " + path, "unable to load texture: " + path};
        EXPECT_EQ(boxes.texts(), expected);
    }
}
