// Preloaded into a GLUT program (LD_PRELOAD) to time it from outside: wraps
// glutSwapBuffers, counts the swaps and notes the monotonic time of the
// first and the last, and notes when glutMainLoop is entered (the program's
// start-up is done). The program itself is not changed.
//
// Environment:
//   VESK_SWAP_REPORT     file to write at exit, if there was a swap, one line:
//                        "swaps N first_ns F last_ns L startup_ns S mainloop_ns M"
//                        (S and M are -1 without VESK_EXEC_NS)
//   VESK_EXEC_NS         CLOCK_MONOTONIC nanoseconds at which the process was
//                        exec'd (set by vesk_timed_exec); start-up S is the
//                        time from then to the return of the first swap, M
//                        the time from then to the entry of glutMainLoop
//   VESK_EXIT_AT_FIRST_SWAP=1  write the report and _exit(0) right after the
//                        first swap, for start-up runs
//   VESK_FRAME_TIMES     file to write, one line per swap: the seconds from
//                        the entry of glutMainLoop to the swap's return, when
//                        the next frame starts and reads the show clock. The
//                        show clock is zeroed just before the main loop is
//                        entered, so these are the frames' show times (to
//                        the clock's millisecond).
//   VESK_AUDIO_DRIVER    file to write when glutMainLoop is entered (the
//                        sound device is open then), one line: the audio
//                        driver SDL opened, or "none"
//   VESK_SHOW_START      file to write when glutMainLoop is entered, one line:
//                        the CLOCK_REALTIME nanoseconds of show time 0, for
//                        lining up what other programs saw with the show
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int64_t monotonicNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t swaps = 0, firstSwap = -1, lastSwap = -1, mainLoopEntered = -1;
FILE* frameTimes = nullptr;

// Only a process that swapped reports: a preloaded launcher or wrapper that
// exits after the program must not overwrite the program's report.
void writeReport() {
    if (swaps == 0) return;
    const char* path = std::getenv("VESK_SWAP_REPORT");
    if (!path || !*path) return;
    int64_t startup = -1, mainLoop = -1;
    if (const char* exec = std::getenv("VESK_EXEC_NS")) {
        const int64_t execed = std::strtoll(exec, nullptr, 10);
        startup = firstSwap - execed;
        if (mainLoopEntered >= 0) mainLoop = mainLoopEntered - execed;
    }
    if (FILE* out = std::fopen(path, "w")) {
        std::fprintf(out, "swaps %lld first_ns %lld last_ns %lld startup_ns %lld mainloop_ns %lld\n",
                     static_cast<long long>(swaps), static_cast<long long>(firstSwap),
                     static_cast<long long>(lastSwap), static_cast<long long>(startup),
                     static_cast<long long>(mainLoop));
        std::fclose(out);
    }
}

// Static destructors of a preloaded library run at the program's exit(),
// after its own atexit handlers.
struct ReportAtExit {
    ~ReportAtExit() {
        writeReport();
        if (frameTimes) std::fclose(frameTimes);
    }
} reportAtExit;

}  // namespace

extern "C" void glutMainLoop() {
    mainLoopEntered = monotonicNanoseconds();
    const char* startPath = std::getenv("VESK_SHOW_START");
    if (FILE* out = startPath && *startPath ? std::fopen(startPath, "w") : nullptr) {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        std::fprintf(out, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
        std::fclose(out);
    }
    const char* path = std::getenv("VESK_FRAME_TIMES");
    if (path && *path) frameTimes = std::fopen(path, "w");
    const char* driverPath = std::getenv("VESK_AUDIO_DRIVER");
    if (FILE* out = driverPath && *driverPath ? std::fopen(driverPath, "w") : nullptr) {
        typedef const char* (*DriverFunction)();
        DriverFunction driver = reinterpret_cast<DriverFunction>(dlsym(RTLD_DEFAULT, "SDL_GetCurrentAudioDriver"));
        const char* name = driver ? driver() : nullptr;
        std::fprintf(out, "%s\n", name ? name : "none");
        std::fclose(out);
    }
    typedef void (*LoopFunction)();
    LoopFunction realLoop = reinterpret_cast<LoopFunction>(dlsym(RTLD_NEXT, "glutMainLoop"));
    if (realLoop) realLoop();
}

extern "C" void glutSwapBuffers() {
    typedef void (*SwapFunction)();
    static SwapFunction realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    if (realSwap) realSwap();
    const int64_t now = monotonicNanoseconds();
    if (swaps++ == 0) {
        firstSwap = now;
        const char* exitAtFirst = std::getenv("VESK_EXIT_AT_FIRST_SWAP");
        if (exitAtFirst && std::strcmp(exitAtFirst, "1") == 0) {
            lastSwap = now;
            writeReport();
            _exit(0);
        }
    }
    lastSwap = now;
    if (frameTimes) std::fprintf(frameTimes, "%.6f\n", (now - mainLoopEntered) / 1e9);
}
