#include "SimpleTimer.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SimpleTimerTest : public ::testing::Test {
protected:
    TManualTimers clock;
    TTimerSourceScope useClock{&clock};

    // A callback that counts its ticks and checks who sent them.
    TNotifyEvent::Fn Counter(int& ticks, const TSimpleTimer*& sender) {
        return [&ticks, &sender](QObject* s) {
            ++ticks;
            sender = static_cast<const TSimpleTimer*>(s);
        };
    }
};

TEST_F(SimpleTimerTest, DefaultTimerTicksEverySecondAndOnlyWithACallback) {
    TSimpleTimer timer;
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Enabled());
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(clock.Period(timer.TimerId()), 1000u);
    clock.Advance(3000); // ticks without a callback do nothing

    int ticks = 0;
    const TSimpleTimer* sender = nullptr;
    timer.SetOnTimer(Counter(ticks, sender));
    clock.Advance(999);
    EXPECT_EQ(ticks, 0);
    clock.Advance(1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(sender, &timer);
    clock.Advance(2000);
    EXPECT_EQ(ticks, 3);

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(clock.IsRunning(timer.TimerId()));
    clock.Advance(5000);
    EXPECT_EQ(ticks, 3);
}

TEST_F(SimpleTimerTest, ZeroIntervalSuspendsAndANewIntervalResumes) {
    int ticks = 0;
    const TSimpleTimer* sender = nullptr;
    TSimpleTimer timer(1000, Counter(ticks, sender));
    timer.SetEnabled(true);
    clock.Advance(1500);
    ASSERT_EQ(ticks, 1);

    timer.SetInterval(0);
    EXPECT_TRUE(timer.Enabled()); // suspended, not stopped
    EXPECT_FALSE(clock.IsRunning(timer.TimerId()));
    clock.Advance(10000);
    EXPECT_EQ(ticks, 1);

    timer.SetInterval(250);
    EXPECT_EQ(clock.Period(timer.TimerId()), 250u);
    clock.Advance(1000);
    EXPECT_EQ(ticks, 5);
}

TEST_F(SimpleTimerTest, ChangingTheIntervalRestartsThePeriodButAnEqualValueDoesNot) {
    int ticks = 0;
    const TSimpleTimer* sender = nullptr;
    TSimpleTimer timer(1000, Counter(ticks, sender));
    timer.SetEnabled(true);
    clock.Advance(600);
    timer.SetInterval(1000);
    clock.Advance(400);
    EXPECT_EQ(ticks, 1) << "an equal interval must not restart the period";

    clock.Advance(600);
    timer.SetInterval(500); // restarts at 1600
    clock.Advance(499);
    EXPECT_EQ(ticks, 1);
    clock.Advance(1);
    EXPECT_EQ(ticks, 2);
}

TEST_F(SimpleTimerTest, ZeroIntervalOrNoSystemTimerLeavesTheTimerDisabled) {
    TSimpleTimer timer(0, [](QObject*) {});
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Enabled());
    // Disabled, so a new interval does not start it either.
    timer.SetInterval(100);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(clock.IsRunning(timer.TimerId()));

    clock.Refuse = true;
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(SimpleTimerTest, ClearingTheCallbackSuspendsUntilEnabledOrANewInterval) {
    int ticks = 0;
    const TSimpleTimer* sender = nullptr;
    TSimpleTimer timer(100, Counter(ticks, sender));
    timer.SetEnabled(true);
    clock.Advance(100);
    ASSERT_EQ(ticks, 1);

    timer.SetOnTimer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_FALSE(clock.IsRunning(timer.TimerId()));
    timer.SetOnTimer(Counter(ticks, sender));
    clock.Advance(1000);
    EXPECT_EQ(ticks, 1) << "a new callback alone does not restart the timer";

    timer.SetInterval(200);
    clock.Advance(200);
    EXPECT_EQ(ticks, 2);

    timer.SetOnTimer(nullptr);
    timer.SetOnTimer(Counter(ticks, sender));
    timer.SetEnabled(true);
    clock.Advance(200);
    EXPECT_EQ(ticks, 3);
}

TEST_F(SimpleTimerTest, TicksOnTheirWayToAStoppedOrFreedTimerAreDropped) {
    int ticks = 0;
    const TSimpleTimer* sender = nullptr;
    auto timer = std::make_unique<TSimpleTimer>(100, Counter(ticks, sender));
    TSimpleTimer keeper; // keeps the shared window alive after the timer goes
    timer->SetEnabled(true);
    const TTimerId id = timer->TimerId();

    timer->SetEnabled(false);
    TSimpleTimerHandler::Instance()->TimerMessage(id); // a tick already queued
    EXPECT_EQ(ticks, 0);

    timer->SetEnabled(true);
    timer->SetInterval(0);
    TSimpleTimerHandler::Instance()->TimerMessage(id);
    EXPECT_EQ(ticks, 0) << "a suspended timer gets no ticks";

    timer->SetInterval(100);
    timer.reset();
    TSimpleTimerHandler::Instance()->TimerMessage(id);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(clock.RunningCount(), 0u);
}

TEST_F(SimpleTimerTest, ATickMayFreeItsOwnTimerAndOthersDueAtTheSameTime) {
    std::unique_ptr<TSimpleTimer> first;
    std::unique_ptr<TSimpleTimer> second;
    int secondTicks = 0;
    first = std::make_unique<TSimpleTimer>(100, [&](QObject*) {
        second.reset();
        first.reset();
    });
    second = std::make_unique<TSimpleTimer>(100, [&](QObject*) { ++secondTicks; });
    first->SetEnabled(true);
    second->SetEnabled(true);
    clock.Advance(1000);
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(secondTicks, 0);
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

TEST_F(SimpleTimerTest, TheSharedWindowLivesExactlyAsLongAsItsLastTimer) {
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    auto a = std::make_unique<TSimpleTimer>();
    TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->Users(), 1u);
    auto b = std::make_unique<TSimpleTimer>(50, nullptr);
    EXPECT_EQ(TSimpleTimerHandler::Instance(), handler);
    EXPECT_EQ(handler->Users(), 2u);
    a.reset();
    EXPECT_EQ(TSimpleTimerHandler::Instance(), handler);
    EXPECT_EQ(handler->Users(), 1u);
    b.reset();
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    // A release with no user left does nothing.
    TSimpleTimerHandler::ReleaseTimerWindow();
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

// The real system timers: Qt's, on the hidden shared object.
TEST(SimpleTimerQtTest, RunsOnTheEventLoopAndStopsWhenDisabled) {
    int ticks = 0;
    TSimpleTimer timer(5, [&](QObject*) { ++ticks; });
    timer.SetEnabled(true);
    ASSERT_TRUE(timer.Enabled());
    EXPECT_TRUE(TSimpleTimerHandler::Instance()->HasTimer(timer.TimerId()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));

    timer.SetEnabled(false);
    EXPECT_FALSE(TSimpleTimerHandler::Instance()->HasTimer(timer.TimerId()));
    const int stoppedAt = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, stoppedAt);

    // A period beyond what the system can hold gives no timer.
    timer.SetInterval(0x80000000u);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Enabled());
}

} // namespace
