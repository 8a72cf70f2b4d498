// What the timeline costs per frame: the show's own script frame by frame,
// and how a frame grows with the number of active effects (constant work
// each) and of due events (a logarithmic map and set step each).
//
// Drawing is stubbed by running with no GL context current: Mesa's dispatch
// then turns every GL call into a no-op, so draw() still makes all its GL
// calls but nothing is rasterised. Time comes from the manual timer.
//
// The show benchmark loads data/ from the working directory: run it from
// the build directory.
#include "app/show_clock.h"
#include "effects/move_effect.h"
#include "gfx/sprite.h"
#include "gfx/texture.h"
#include "platform/dialog.h"
#include "platform/random.h"
#include "platform/sound/fsound.h"
#include "platform/sound/mix_rate.h"
#include "platform/sound/sound_output.h"
#include "platform/timer.h"
#include "scene/setup_scene.h"
#include "scene/show_script.h"
#include "timeline/timeline.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {

// The least an effect can do: the timeline's own share of a frame.
class CountingEffect : public Effect {
public:
    void schedule(float, float) override {}
    void update(float now) override { last = now; }
    void draw() override { ++draws; }
    float last = 0;
    uint64_t draws = 0;
};

// Layers spread over 64 values, so the active set is not in address order.
int32_t layerOf(int64_t i) { return static_cast<int32_t>((i * 7919) % 64); }

// --- The show's script ---------------------------------------------------

int errorBoxes = 0;
void countErrorBox(const char*) { ++errorBoxes; }

// Loads the samples and textures once (no GL context: the textures stay
// empty) and fills the show's timeline, with no sound device.
bool startShowOnce() {
    static bool started = false;
    if (!started) {
        started = true;
        useManualTimer(0);
        setSoundOutput(SoundOutput::Manual);
        setErrorBoxHandler(countErrorBox);
        seedRandom(1);
        FSOUND_Init(mixRate, 8, 0);
        setupScene();
        showClock.reset();
    }
    return errorBoxes == 0;
}

// The show's timeline is the process-wide one and plays once; to play the
// script again it is rebuilt in place and filled anew.
void refillShowTimeline() {
    timeline.~Timeline();
    new (&timeline) Timeline();
    addShowScript();
}

// One iteration is one frame of the show at 60 frames per second; at the
// end of the show the script starts again (untimed). The sprites keep the
// values of the last pass, as they would in the show.
void BM_ShowFrame(benchmark::State& state) {
    if (!startShowOnce()) {
        state.SkipWithError("data/ did not load: run from the build directory");
        return;
    }
    static int64_t frame = 0;
    int64_t activeSum = 0, frames = 0;
    for (auto _ : state) {
        setManualTimer(static_cast<uint32_t>(frame * 1000 / 60));
        ++frame;
        if (!timeline.run()) {
            state.PauseTiming();
            refillShowTimeline();
            frame = 0;
            state.ResumeTiming();
        }
        activeSum += static_cast<int64_t>(timeline.activeEffects().size());
        ++frames;
    }
    state.counters["active"] = static_cast<double>(activeSum) / static_cast<double>(frames);
}
BENCHMARK(BM_ShowFrame)->Unit(benchmark::kNanosecond);

// --- Growth with active effects ------------------------------------------

// The first frame, which starts every effect. Kept out of line so that an
// instruction count (callgrind) of the frames that follow leaves it out.
[[gnu::noinline]] void startAll(Timeline& frames) {
    setManualTimer(1);
    frames.run();
}

// A frame with N effects running and no event due: one update and one draw
// each, in layer order.
void BM_FrameWithActiveEffects(benchmark::State& state) {
    const int64_t n = state.range(0);
    useManualTimer(0);
    ShowClock clock;
    clock.reset();
    Timeline frames(clock);
    for (int64_t i = 0; i < n; ++i) frames.add(layerOf(i), 0, 1e7f, new CountingEffect);
    startAll(frames);
    for (auto _ : state) benchmark::DoNotOptimize(frames.run());
    state.SetComplexityN(n);
    state.counters["per_effect"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameWithActiveEffects)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);

// The same with the show's most common effect, a hold of a textured sprite:
// its interpolation and all the GL calls of a sprite draw.
void BM_FrameWithActiveHolds(benchmark::State& state) {
    const int64_t n = state.range(0);
    useManualTimer(0);
    ShowClock clock;
    clock.reset();
    Sprite sprite;
    sprite.setTexture(new FileTexture2D("unloaded.png"));  // bound, never loaded
    Timeline frames(clock);
    for (int64_t i = 0; i < n; ++i) frames.add(layerOf(i), 0, 1e7f, new MoveEffect(&sprite, Vec2{0, 0}, Vec2{0, 0}));
    startAll(frames);
    for (auto _ : state) benchmark::DoNotOptimize(frames.run());
    state.SetComplexityN(n);
    state.counters["per_effect"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameWithActiveHolds)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);

// --- Growth with due events ----------------------------------------------

// One frame in which all 2N events of N effects fall due: N starts fill the
// active set and the count map to N entries, then N stops empty them and
// delete the effects. The last event ends the timeline, so run() returns
// before any update: the frame is event handling alone. Building the
// timeline is not timed.
void BM_FrameWithDueEvents(benchmark::State& state) {
    const int64_t n = state.range(0);
    useManualTimer(0);
    ShowClock clock;
    clock.reset();
    setManualTimer(1000);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Timeline> due(new Timeline(clock));
        for (int64_t i = 0; i < n; ++i) due->add(layerOf(i), static_cast<float>(i) * 1e-9f, 0.5f, new CountingEffect);
        state.ResumeTiming();
        benchmark::DoNotOptimize(due->run());
        state.PauseTiming();
        due.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
    state.counters["per_event"] = benchmark::Counter(static_cast<double>(2 * n),
                                                     benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameWithDueEvents)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Complexity(benchmark::oNLogN)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
