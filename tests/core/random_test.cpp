#include <gtest/gtest.h>

#include "core/random.h"

TEST(Random, SeededSequenceFollowsTheFifteenBitGenerator) {
    random_seed(1);
    // state = state * 214013 + 2531011; value = (state >> 16) & 0x7FFF
    EXPECT_EQ(random_next(), 41);
    EXPECT_EQ(random_next(), 18467);
    EXPECT_EQ(random_next(), 6334);
    random_seed(1);
    EXPECT_EQ(random(10), 1);
    EXPECT_EQ(random(100), 67);
}

TEST(Random, ZeroRangeGivesZeroWithoutDrawing) {
    random_seed(12345);
    uint32_t before = random_state();
    EXPECT_EQ(random(0), 0);
    EXPECT_EQ(random_state(), before);
    for (int i = 0; i < 1000; ++i) {
        int v = random(6);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 6);
    }
}
