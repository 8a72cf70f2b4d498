#include "gfx/image_prefetch.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct Prefetch {
    std::vector<std::string> paths;  // fixed before the thread starts
    std::mutex lock;
    std::condition_variable decoded;
    std::vector<std::unique_ptr<DecodedImage>> images;
    size_t done = 0;  // images[0, done) are final
    std::thread thread;

    // An exit during start-up waits for the decode under way.
    ~Prefetch() {
        if (thread.joinable()) thread.join();
    }
    void run() {
        for (size_t i = 0; i < paths.size(); ++i) {
            std::unique_ptr<DecodedImage> image = decodePngFile(paths[i].c_str(), prefetchMaxDimension);
            std::lock_guard<std::mutex> guard(lock);
            images[i] = std::move(image);
            ++done;
            decoded.notify_all();
        }
    }
};

Prefetch& prefetch() {
    static Prefetch instance;
    return instance;
}

}  // namespace

void prefetchImages(std::vector<std::string> paths) {
#ifndef __EMSCRIPTEN__  // no threads in the browser build
    Prefetch& p = prefetch();
    if (!p.paths.empty() || paths.empty()) return;
    p.paths = std::move(paths);
    p.images.resize(p.paths.size());
    p.thread = std::thread(&Prefetch::run, &p);
#else
    (void)paths;
#endif
}

std::unique_ptr<DecodedImage> takePrefetchedImage(const std::string& path) {
    Prefetch& p = prefetch();
    for (size_t i = 0; i < p.paths.size(); ++i) {
        if (p.paths[i] != path) continue;
        std::unique_lock<std::mutex> guard(p.lock);
        p.decoded.wait(guard, [&] { return p.done > i; });
        if (p.images[i]) return std::move(p.images[i]);
    }
    return nullptr;
}
