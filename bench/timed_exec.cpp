// vesk_timed_exec PROGRAM [ARGS...]: notes the monotonic clock in
// VESK_EXEC_NS and replaces itself with PROGRAM, so that a preloaded swap
// shim can measure start-up from the exec on.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vesk_timed_exec PROGRAM [ARGS...]\n");
        return 2;
    }
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nanoseconds = static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec;
    setenv("VESK_EXEC_NS", std::to_string(nanoseconds).c_str(), 1);
    execvp(argv[1], argv + 1);
    std::perror("vesk_timed_exec");
    return 127;
}
