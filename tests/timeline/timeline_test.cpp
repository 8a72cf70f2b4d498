// The scheduler at its edges: before a start, at it, just after a stop, the
// same time reached from two sides, and the misuse it stops at.
#include "app/show_clock.h"
#include "timeline/timeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// What the recording effects did, in order: "a@1.500" is an update of a at
// 1.5 s, "/" the draw that follows it, "~a" the deletion of a.
std::string journal;

struct RecordingEffect : Effect {
    explicit RecordingEffect(const char* name) : name(name) {}
    ~RecordingEffect() override { journal += " ~" + name; }
    void schedule(float, float) override { journal += " " + name + " scheduled"; }
    void update(float now) override { journal += " " + name + "@" + std::to_string(now).substr(0, 5); }
    void draw() override { journal += "/"; }
    std::string name;
};

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override { useManualTimer(5000), clock.reset(), journal.clear(); }
    void TearDown() override { useSystemTimer(); }

    // One frame at `seconds` of show time (whole milliseconds): what it did,
    // then run()'s answer.
    std::string frameAt(double seconds) {
        setManualTimer(5000 + static_cast<uint32_t>(seconds * 1000 + 0.5));
        journal.clear();
        const bool more = t.run();
        return journal + (more ? " more" : " done");
    }
    RecordingEffect* add(int layer, float start, float end, const char* name) {
        auto* effect = new RecordingEffect(name);
        t.add(layer, start, end, effect);
        return effect;
    }

    ShowClock clock;
    Timeline t{clock};
};

TEST_F(TimelineTest, AddSchedulesAtOnceAndPlacesTheStopJustBeforeTheEnd) {
    EXPECT_FALSE(Timeline(clock).run());  // an empty timeline is done at once
    EXPECT_EQ(add(7, 1.5f, 4.0f, "a")->layer, 7);
    EXPECT_EQ(journal, " a scheduled");
    add(1, 1.5f, 2.0f, "b");
    add(1, 1.0f, 1.0f + 0.0001f, "tiny");  // exactly 0.0001 s is still a span
    std::string events;  // by time, then in the order of adding
    for (const TimelineEvent& e : t.scheduledEvents())
        events += std::to_string(e.time) + (e.isStart ? " +" : " -") + static_cast<RecordingEffect*>(e.effect)->name +
                  " ";
    EXPECT_EQ(events, "1.000000 +tiny 1.000000 -tiny 1.500000 +a 1.500000 +b 1.999900 -b 3.999900 -a ");
    journal.clear();
    { Timeline(clock).add(1, 0.0f, 5.0f, new RecordingEffect("held")); }  // deleted with the timeline
    EXPECT_EQ(journal, " held scheduled ~held");
}

#ifndef NDEBUG
using TimelineDeathTest = TimelineTest;

TEST_F(TimelineDeathTest, MisuseStopsAtAnAssertionThatSaysWhatToDo) {
    const char* fix = "add a new effect";
    EXPECT_DEATH(t.add(1, 2.0f, 2.00005f, new RecordingEffect("short")), fix);
    EXPECT_DEATH(t.add(1, 2.0f, 1.0f, new RecordingEffect("backwards")), fix);
    EXPECT_DEATH(t.add(1, 0.0f, std::nanf(""), new RecordingEffect("nan")), fix);
    EXPECT_DEATH(t.add(1, 0.0f, 1.0f, nullptr), fix);
    RecordingEffect* once = add(1, 0.0f, 1.0f, "once");
    EXPECT_DEATH(t.add(1, 1.0f, 2.0f, once), fix);   // would start after its stop at 0.9999
    EXPECT_DEATH(t.add(1, -2.0f, 0.0f, once), fix);  // would stop before its start at 0
    frameAt(0.5);
    EXPECT_DEATH(t.add(1, 0.0f, 1.0f, new RecordingEffect("late")), fix);
}
#endif

TEST_F(TimelineTest, EdgesOfASpanBeforeAtAndAfter) {
    add(1, 2.0f, 3.0f, "a");
    add(2, 2.0f, 4.0f, "long");
    EXPECT_EQ(frameAt(1.999), " more");
    EXPECT_EQ(frameAt(2.0), " a@2.000/ long@2.000/ more");
    EXPECT_EQ(frameAt(2.999), " a@2.999/ long@2.999/ more");
    EXPECT_EQ(frameAt(3.0), " ~a long@3.000/ more");
    EXPECT_EQ(frameAt(4.0), " ~long done");  // the last event's frame draws nothing
}

TEST_F(TimelineTest, ActiveEffectsRunByLayerThenByAddress) {
    add(2, 0.0f, 1.0f, "high");
    const bool xFirst = add(1, 0.0f, 1.0f, "x") < add(1, 0.0f, 1.0f, "y");
    add(-3, 0.0f, 1.0f, "low");
    EXPECT_EQ(frameAt(0.5), xFirst ? " low@0.500/ x@0.500/ y@0.500/ high@0.500/ more"
                                   : " low@0.500/ y@0.500/ x@0.500/ high@0.500/ more");
}

TEST_F(TimelineTest, AnEffectAddedTwiceRunsOncePerFrameAndIsDeletedOnce) {
    RecordingEffect* twice = add(1, 0.0f, 2.0f, "twice");
    t.add(4, 1.0f, 3.0f, twice);  // overlapping: the later layer holds
    add(0, 0.0f, 10.0f, "keep");
    frameAt(0.5);
    EXPECT_EQ(frameAt(1.5), " keep@1.500/ twice@1.500/ more");
    EXPECT_EQ(frameAt(2.5), " keep@2.500/ twice@2.500/ more");
    EXPECT_EQ(frameAt(3.5), " ~twice keep@3.500/ more");
}


}  // namespace
