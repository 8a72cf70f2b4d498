#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A descriptor, closed on every way out unless handed on to a stream.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd; }
    void release() { fd = -1; }

private:
    int fd;
};

}  // namespace

FileStream openRegularFile(const char* path) {
    if (!path) return nullptr;
    // Without O_NONBLOCK, opening a FIFO waits for a writer. The check is on
    // the opened descriptor, so that the file cannot be swapped in between.
    Descriptor fd(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return nullptr;
    struct stat info;
    const int flags = fcntl(fd.get(), F_GETFL);
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return nullptr;
    }
    FileStream file(fdopen(fd.get(), "rb"));
    if (file) fd.release();  // the stream closes it now
    return file;
}
