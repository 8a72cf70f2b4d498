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

// What the recording effects did, in order, across all of them.
std::vector<std::string> journal;

class RecordingEffect : public Effect {
public:
    explicit RecordingEffect(const std::string& name, bool* deleted = nullptr) : name(name), deleted(deleted) {}
    ~RecordingEffect() override {
        journal.push_back(name + " deleted");
        if (deleted) *deleted = true;
    }
    void schedule(float start, float end) override {
        journal.push_back(name + " schedule " + std::to_string(start) + " " + std::to_string(end));
    }
    void update(float now) override {
        lastNow = now;
        journal.push_back(name + " update");
    }
    void draw() override { journal.push_back(name + " draw"); }

    std::string name;
    bool* deleted;
    float lastNow = -1;
};

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        journal.clear();
        useManualTimer(5000);
        clock.reset();
    }
    void TearDown() override { useSystemTimer(); }

    // Puts the clock at `seconds` of show time (whole milliseconds).
    void at(double seconds) { setManualTimer(5000 + static_cast<uint32_t>(seconds * 1000 + 0.5)); }

    std::vector<std::string> takeJournal() {
        std::vector<std::string> taken;
        taken.swap(journal);
        return taken;
    }

    ShowClock clock;
};

typedef std::vector<std::string> Lines;

TEST_F(TimelineTest, EmptyTimelineAnswersFalseWithoutReadingTheClock) {
    // A clock whose read would be visible: the manual timer is never touched
    // by run, so check the answer and that nothing else happened.
    Timeline empty(clock);
    EXPECT_FALSE(empty.run());
    EXPECT_FALSE(empty.run());
    EXPECT_TRUE(takeJournal().empty());
}

TEST_F(TimelineTest, AddSchedulesAtOnceAndPlacesTheStopJustBeforeTheEnd) {
    Timeline t(clock);
    RecordingEffect* effect = new RecordingEffect("a");
    ASSERT_TRUE(t.add(7, 1.5f, 4.0f, effect));
    EXPECT_EQ(effect->layer, 7);
    EXPECT_EQ(takeJournal(), Lines({"a schedule 1.500000 4.000000"}));
    ASSERT_EQ(t.scheduledEvents().size(), 2u);
    const TimelineEvent& start = *t.scheduledEvents().begin();
    const TimelineEvent& stop = *t.scheduledEvents().rbegin();
    EXPECT_TRUE(start.isStart);
    EXPECT_EQ(start.time, 1.5f);
    EXPECT_FALSE(stop.isStart);
    EXPECT_EQ(stop.time, 4.0f - 0.0001f);
    EXPECT_EQ(stop.time, 3.9999f);
}

TEST_F(TimelineTest, NothingRunsBeforeTheStartAndTheEffectRunsFromItsStartOn) {
    Timeline t(clock);
    RecordingEffect* effect = new RecordingEffect("a");
    t.add(1, 2.0f, 3.0f, effect);
    takeJournal();

    at(1.999);
    EXPECT_TRUE(t.run());
    EXPECT_TRUE(takeJournal().empty());

    at(2.0);
    EXPECT_TRUE(t.run());
    EXPECT_EQ(takeJournal(), Lines({"a update", "a draw"}));
    EXPECT_EQ(effect->lastNow, 2.0f);
}

TEST_F(TimelineTest, TheRunThatProcessesTheLastEventDrawsNothingAndAnswersFalse) {
    Timeline t(clock);
    t.add(1, 0.0f, 1.0f, new RecordingEffect("short"));
    t.add(1, 0.0f, 2.0f, new RecordingEffect("long"));
    takeJournal();

    at(1.5);  // "short" is retired; "long" still runs
    EXPECT_TRUE(t.run());
    EXPECT_EQ(takeJournal(), Lines({"short deleted", "long update", "long draw"}));

    at(1.999);  // the last whole millisecond before the stop at 1.9999
    EXPECT_TRUE(t.run());
    EXPECT_EQ(takeJournal(), Lines({"long update", "long draw"}));

    at(2.0);
    EXPECT_FALSE(t.run());
    EXPECT_EQ(takeJournal(), Lines({"long deleted"}));
    EXPECT_FALSE(t.run());
}

TEST_F(TimelineTest, DueEventsAreHandledInTimeOrderThenInsertionOrderBeforeAnyUpdate) {
    Timeline t(clock);
    t.add(1, 1.0f, 2.0f, new RecordingEffect("b"));  // all three start at 1
    t.add(1, 1.0f, 9.0f, new RecordingEffect("c"));
    t.add(1, 0.5f, 1.2f, new RecordingEffect("a"));  // starts first, ends at 1.1999
    t.add(1, 1.0f, 1.1f, new RecordingEffect("d"));  // ends at 1.0999, before a
    takeJournal();

    at(1.5);  // a, b, c, d started; a and d stopped; all before any update
    EXPECT_TRUE(t.run());
    Lines lines = takeJournal();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "d deleted");
    EXPECT_EQ(lines[1], "a deleted");
    for (size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].find("deleted"), std::string::npos) << lines[i];
    EXPECT_EQ(lines.size(), 2u + 4u);  // b and c, each updated and drawn
}

TEST_F(TimelineTest, ASpanPassingBetweenTwoFramesIsDeletedWithoutUpdateOrDraw) {
    Timeline t(clock);
    t.add(1, 1.0f, 1.05f, new RecordingEffect("blink"));
    t.add(1, 0.0f, 5.0f, new RecordingEffect("keep"));
    takeJournal();
    at(0.9);
    t.run();
    takeJournal();
    at(1.2);
    EXPECT_TRUE(t.run());
    EXPECT_EQ(takeJournal(), Lines({"blink deleted", "keep update", "keep draw"}));
}

TEST_F(TimelineTest, AnEndingEffectIsRetiredBeforeTheOneBeginningAtTheSameTime) {
    // Added in the "wrong" order: the beginning one first.
    Timeline t(clock);
    bool firstDeleted = false;
    t.add(1, 3.0f, 5.0f, new RecordingEffect("second"));
    t.add(1, 1.0f, 3.0f, new RecordingEffect("first", &firstDeleted));
    takeJournal();

    at(2.999);  // one millisecond before the hand-over: "first" still runs
    t.run();
    EXPECT_EQ(takeJournal(), Lines({"first update", "first draw"}));

    at(3.0);
    EXPECT_TRUE(t.run());
    EXPECT_TRUE(firstDeleted);
    EXPECT_EQ(takeJournal(), Lines({"first deleted", "second update", "second draw"}));
}

TEST_F(TimelineTest, ActiveEffectsRunByLayerThenByAddress) {
    Timeline t(clock);
    RecordingEffect* high = new RecordingEffect("high");
    RecordingEffect* x = new RecordingEffect("x");
    RecordingEffect* y = new RecordingEffect("y");
    RecordingEffect* negative = new RecordingEffect("negative");
    t.add(2, 0.0f, 1.0f, high);
    t.add(1, 0.0f, 1.0f, x);
    t.add(1, 0.0f, 1.0f, y);
    t.add(-3, 0.0f, 1.0f, negative);
    takeJournal();
    at(0.5);
    t.run();
    std::string lowerAddress = x < y ? "x" : "y";
    std::string higherAddress = x < y ? "y" : "x";
    EXPECT_EQ(takeJournal(), Lines({"negative update", "negative draw", lowerAddress + " update", lowerAddress + " draw",
                                    higherAddress + " update", higherAddress + " draw", "high update", "high draw"}));
}

TEST_F(TimelineTest, AnEffectAddedTwiceOverlappingRunsOncePerFrameAndIsDeletedOnce) {
    Timeline t(clock);
    RecordingEffect* twice = new RecordingEffect("twice");
    t.add(1, 0.0f, 2.0f, twice);
    t.add(4, 1.0f, 3.0f, twice);  // the later add's layer holds
    EXPECT_EQ(twice->layer, 4);
    t.add(1, 0.0f, 10.0f, new RecordingEffect("keep"));
    takeJournal();

    at(1.5);
    t.run();
    EXPECT_EQ(takeJournal(), Lines({"keep update", "keep draw", "twice update", "twice draw"}));
    at(2.5);  // the first interval has ended, the second still holds it
    t.run();
    EXPECT_EQ(takeJournal(), Lines({"keep update", "keep draw", "twice update", "twice draw"}));
    at(3.5);
    t.run();
    EXPECT_EQ(takeJournal(), Lines({"twice deleted", "keep update", "keep draw"}));
}

TEST_F(TimelineTest, RefusesBreachesOfItsContractAndDeletesWhatItRefuses) {
    Timeline t(clock);
    bool shortDeleted = false, backwardsDeleted = false, nanDeleted = false, lateDeleted = false;
    EXPECT_FALSE(t.add(1, 2.0f, 2.00005f, new RecordingEffect("short", &shortDeleted)));
    EXPECT_FALSE(t.add(1, 2.0f, 1.0f, new RecordingEffect("backwards", &backwardsDeleted)));
    EXPECT_FALSE(t.add(1, 0.0f, std::nanf(""), new RecordingEffect("nan", &nanDeleted)));
    EXPECT_FALSE(t.add(1, 0.0f, 1.0f, nullptr));
    EXPECT_TRUE(shortDeleted);
    EXPECT_TRUE(backwardsDeleted);
    EXPECT_TRUE(nanDeleted);
    EXPECT_TRUE(t.scheduledEvents().empty());
    // Exactly 0.0001 s long is still accepted: it starts and stops together.
    EXPECT_TRUE(t.add(1, 1.0f, 1.0f + 0.0001f, new RecordingEffect("tiny")));
    t.add(1, 0.0f, 5.0f, new RecordingEffect("keep"));
    takeJournal();

    at(0.5);
    t.run();
    EXPECT_FALSE(t.add(1, 1.0f, 2.0f, new RecordingEffect("late", &lateDeleted)));
    EXPECT_TRUE(lateDeleted);
    EXPECT_EQ(t.scheduledEvents().size(), 4u);
}

TEST_F(TimelineTest, ASecondIntervalAfterTheEffectWasDeletedIsSkipped) {
    Timeline t(clock);
    RecordingEffect* reused = new RecordingEffect("reused");
    t.add(1, 0.0f, 1.0f, reused);
    t.add(1, 2.0f, 3.0f, reused);  // comes after the first stop has deleted it
    t.add(1, 0.0f, 5.0f, new RecordingEffect("keep"));
    takeJournal();
    at(0.5);
    t.run();
    takeJournal();
    at(1.5);
    t.run();
    EXPECT_EQ(takeJournal(), Lines({"reused deleted", "keep update", "keep draw"}));
    at(2.5);
    t.run();  // would touch freed memory without the skip (ASan sees it)
    EXPECT_EQ(takeJournal(), Lines({"keep update", "keep draw"}));
}

TEST_F(TimelineTest, DestroyingTheTimelineDeletesEveryEffectItStillHolds) {
    bool running = false, waiting = false;
    {
        Timeline t(clock);
        t.add(1, 0.0f, 5.0f, new RecordingEffect("running", &running));
        t.add(1, 3.0f, 5.0f, new RecordingEffect("waiting", &waiting));
        at(1.0);
        t.run();
    }
    EXPECT_TRUE(running);
    EXPECT_TRUE(waiting);
}

}  // namespace
