// The scheduler at its edges: before a start, at it, just after a stop, the
// same time reached from two sides, and the contract breaches it refuses.
#include "app/show_clock.h"
#include "platform/timer.h"
#include "timeline/timeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Lines;
Lines journal;  // what the recording effects did, in order, across all of them

class RecordingEffect : public Effect {
public:
    explicit RecordingEffect(const std::string& name, bool* deleted = nullptr) : name(name), deleted(deleted) {}
    ~RecordingEffect() override {
        journal.push_back(name + " deleted");
        if (deleted) *deleted = true;
    }
    void schedule(float, float) override { journal.push_back(name + " schedule"); }
    void update(float now) override { journal.push_back(name + " update " + std::to_string(now).substr(0, 5)); }
    void draw() override { journal.push_back(name + " draw"); }

    std::string name;
    bool* deleted;
};

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        journal.clear();
        useManualTimer(5000);
        clock.reset();
    }
    void TearDown() override { useSystemTimer(); }

    // One frame at `seconds` of show time (whole milliseconds); returns what
    // it did, then run()'s answer.
    Lines frameAt(double seconds) {
        setManualTimer(5000 + static_cast<uint32_t>(seconds * 1000 + 0.5));
        journal.clear();
        const bool more = t.run();
        Lines lines = journal;
        lines.push_back(more ? "more" : "done");
        return lines;
    }
    RecordingEffect* add(int layer, float start, float end, const std::string& name) {
        RecordingEffect* effect = new RecordingEffect(name);
        EXPECT_TRUE(t.add(layer, start, end, effect)) << name;
        return effect;
    }

    ShowClock clock;
    Timeline t{clock};
};

TEST_F(TimelineTest, AddSchedulesAtOnceAndPlacesTheStopJustBeforeTheEnd) {
    EXPECT_FALSE(Timeline(clock).run());  // an empty timeline is done at once
    RecordingEffect* a = add(7, 1.5f, 4.0f, "a");
    EXPECT_EQ(a->layer, 7);
    EXPECT_EQ(journal, Lines{"a schedule"});
    add(1, 1.5f, 2.0f, "b");
    // Time, then the order of adding among equal times.
    std::vector<std::pair<float, std::string>> events;
    for (const TimelineEvent& e : t.scheduledEvents())
        events.emplace_back(e.time, static_cast<RecordingEffect*>(e.effect)->name + (e.isStart ? "+" : "-"));
    EXPECT_EQ(events, (std::vector<std::pair<float, std::string>>{
                          {1.5f, "a+"}, {1.5f, "b+"}, {1.9999f, "b-"}, {3.9999f, "a-"}}));
}

TEST_F(TimelineTest, EdgesOfASpanBeforeAtAndAfter) {
    add(1, 2.0f, 3.0f, "a");
    add(1, 2.0f, 4.0f, "long");
    EXPECT_EQ(frameAt(1.999), (Lines{"more"}));
    EXPECT_EQ(frameAt(2.0), (Lines{"a update 2.000", "a draw", "long update 2.000", "long draw", "more"}));
    EXPECT_EQ(frameAt(2.999), (Lines{"a update 2.999", "a draw", "long update 2.999", "long draw", "more"}));
    EXPECT_EQ(frameAt(3.0), (Lines{"a deleted", "long update 3.000", "long draw", "more"}));
    // The run that handles the last event draws nothing and answers false.
    EXPECT_EQ(frameAt(4.0), (Lines{"long deleted", "done"}));
    EXPECT_EQ(frameAt(5.0), (Lines{"done"}));
}

TEST_F(TimelineTest, DueEventsAreHandledInTimeOrderThenAddingOrderBeforeAnyUpdate) {
    add(1, 3.0f, 5.0f, "second");  // begins where "first" ends; added before it
    add(1, 1.0f, 3.0f, "first");
    add(1, 0.5f, 1.2f, "x");  // ends at 1.1999
    add(1, 1.0f, 1.1f, "y");  // ends at 1.0999, before x
    add(1, 1.0f, 1.2f, "z");  // ends with x, added after it
    add(1, 1.0f, 1.05f, "blink");  // its whole span falls between two frames
    frameAt(0.9);
    EXPECT_EQ(frameAt(1.5), (Lines{"blink deleted", "y deleted", "x deleted", "z deleted",
                                   "first update 1.500", "first draw", "more"}));
    EXPECT_EQ(frameAt(3.0), (Lines{"first deleted", "second update 3.000", "second draw", "more"}));
}

TEST_F(TimelineTest, ActiveEffectsRunByLayerThenByAddress) {
    add(2, 0.0f, 1.0f, "high");
    RecordingEffect* x = add(1, 0.0f, 1.0f, "x");
    RecordingEffect* y = add(1, 0.0f, 1.0f, "y");
    add(-3, 0.0f, 1.0f, "negative");
    const std::string low = x < y ? "x" : "y", higher = x < y ? "y" : "x";
    EXPECT_EQ(frameAt(0.5), (Lines{"negative update 0.500", "negative draw", low + " update 0.500", low + " draw",
                                   higher + " update 0.500", higher + " draw", "high update 0.500", "high draw",
                                   "more"}));
}

TEST_F(TimelineTest, AnEffectAddedTwiceRunsOncePerFrameAndIsDeletedOnce) {
    RecordingEffect* twice = add(1, 0.0f, 2.0f, "twice");
    ASSERT_TRUE(t.add(4, 1.0f, 3.0f, twice));  // overlapping: the later layer holds
    EXPECT_EQ(twice->layer, 4);
    RecordingEffect* reused = add(1, 0.0f, 1.0f, "reused");
    ASSERT_TRUE(t.add(1, 5.0f, 6.0f, reused));  // comes after its first stop deleted it
    add(0, 0.0f, 10.0f, "keep");
    frameAt(0.5);
    EXPECT_EQ(frameAt(1.5), (Lines{"reused deleted", "keep update 1.500", "keep draw", "twice update 1.500",
                                   "twice draw", "more"}));
    EXPECT_EQ(frameAt(2.5), (Lines{"keep update 2.500", "keep draw", "twice update 2.500", "twice draw", "more"}));
    EXPECT_EQ(frameAt(3.5), (Lines{"twice deleted", "keep update 3.500", "keep draw", "more"}));
    // Without the skip this would touch freed memory (ASan sees it).
    EXPECT_EQ(frameAt(5.5), (Lines{"keep update 5.500", "keep draw", "more"}));
}

TEST_F(TimelineTest, RefusesBreachesOfItsContractAndDeletesWhatItRefuses) {
    bool deleted[4] = {};
    EXPECT_FALSE(t.add(1, 2.0f, 2.00005f, new RecordingEffect("short", &deleted[0])));
    EXPECT_FALSE(t.add(1, 2.0f, 1.0f, new RecordingEffect("backwards", &deleted[1])));
    EXPECT_FALSE(t.add(1, 0.0f, std::nanf(""), new RecordingEffect("nan", &deleted[2])));
    EXPECT_FALSE(t.add(1, 0.0f, 1.0f, nullptr));
    EXPECT_TRUE(t.scheduledEvents().empty());
    // Exactly 0.0001 s long is still accepted: it starts and stops together.
    add(1, 1.0f, 1.0f + 0.0001f, "tiny");
    add(1, 0.0f, 5.0f, "keep");
    frameAt(0.5);
    EXPECT_FALSE(t.add(1, 1.0f, 2.0f, new RecordingEffect("late", &deleted[3])));
    EXPECT_EQ(t.scheduledEvents().size(), 4u);
    for (bool d : deleted) EXPECT_TRUE(d);
}

TEST_F(TimelineTest, DestroyingTheTimelineDeletesEveryEffectItStillHolds) {
    bool running = false, waiting = false;
    {
        Timeline own(clock);
        own.add(1, 0.0f, 5.0f, new RecordingEffect("running", &running));
        own.add(1, 3.0f, 5.0f, new RecordingEffect("waiting", &waiting));
        setManualTimer(6000);
        EXPECT_TRUE(own.run());
    }
    EXPECT_TRUE(running);
    EXPECT_TRUE(waiting);
}

}  // namespace
