// The virtual clock advances without sleeping.
#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(VirtualClock, SleepAdvancesTimeInstantly)
{
    CVirtualClock clock;
    SetClock(&clock);
    int64_t start = clock.Now();
    SleepMs(300);
    SleepMs(0);
    SleepMs(50);
    EXPECT_EQ(clock.Now() - start, 350);
    SetClock(nullptr);
}
