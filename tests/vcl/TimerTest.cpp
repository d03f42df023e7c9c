#include "TestForm.h"

#include <algorithm>

using Timer = VclFixture;

namespace {
int Ticks(const TTestForm& f) {
    return static_cast<int>(std::count(f.log.begin(), f.log.end(), "tick"));
}
} // namespace

TEST_F(Timer, DefaultsToOneSecondAndStartsOnlyOnceLoaded) {
    TTimer t(nullptr);
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_FALSE(t.Running()) << "no handler yet";

    TTestForm* form = MakeForm();
    EXPECT_TRUE(form->tmTick->Running());
    fake.Advance(999);
    EXPECT_EQ(Ticks(*form), 0);
    fake.Advance(1);
    EXPECT_EQ(Ticks(*form), 1);
    fake.Advance(3000);
    EXPECT_EQ(Ticks(*form), 4);
    TObject::Free(form);
    EXPECT_EQ(fake.ActiveTimers(), 0) << "a destroyed timer stops";
}

TEST_F(Timer, SwitchingOnStartsAFreshPeriodAndSettingTheSameValueChangesNothing) {
    TTestForm* form = MakeForm();
    fake.Advance(600);
    form->tmTick->SetEnabled(true); // already on: the period keeps running
    fake.Advance(400);
    EXPECT_EQ(Ticks(*form), 1);

    fake.Advance(300);
    form->tmTick->SetEnabled(false);
    form->tmTick->SetEnabled(true); // a fresh period from now
    fake.Advance(999);
    EXPECT_EQ(Ticks(*form), 1);
    fake.Advance(1);
    EXPECT_EQ(Ticks(*form), 2);

    form->tmTick->SetEnabled(false);
    fake.Advance(5000);
    EXPECT_EQ(Ticks(*form), 2);
    TObject::Free(form);
}

TEST_F(Timer, LateTicksMergeIntoOne) {
    TTestForm* form = MakeForm();
    fake.Stall(5500); // the loop was busy for five and a half periods
    fake.Pump();
    EXPECT_EQ(Ticks(*form), 1);
    fake.Advance(999);
    EXPECT_EQ(Ticks(*form), 1);
    fake.Advance(1);
    EXPECT_EQ(Ticks(*form), 2) << "the next tick is a full period after the merged one";
    TObject::Free(form);
}

TEST_F(Timer, ATimerStoppedInsideItsOwnTickStaysStopped) {
    TTimer t(nullptr);
    int ticks = 0;
    t.SetOnTimer([&](TObject*) {
        ++ticks;
        t.SetEnabled(false);
    });
    fake.Advance(10000);
    EXPECT_EQ(ticks, 1);
}
