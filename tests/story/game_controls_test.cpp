// The arithmetic of the options window's switches and sliders.
#include <gtest/gtest.h>

#include "story/game_controls.h"
#include "story/options_window.h"

namespace {

TEST(SwitchSlide, TurnedOnReachesTheEndAfterSixStepsAndTurnedOffSlidesBackFromItsPhase) {
    uint8_t value = 1;  // just turned on, phase 0
    for (int step = 1; step <= SWITCH_LAST_PHASE; ++step) {
        value = switch_slide_step(value);
        EXPECT_EQ(switch_phase(value), step);
    }
    EXPECT_EQ(switch_slide_step(value), value);  // at its end it stays
    // Turned off at phase 3: back down from 3, not from the end.
    value = 1;
    for (int i = 0; i < 3; ++i) value = switch_slide_step(value);
    value &= ~1;
    value = switch_slide_step(value);
    EXPECT_EQ(switch_phase(value), 2);
    value = switch_slide_step(switch_slide_step(value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(switch_slide_step(0), 0);
    EXPECT_EQ(switch_frame_row(0), 120);
    EXPECT_EQ(switch_frame_row(6), 0);
}

TEST(SliderArithmetic, BottomIsZeroTopIsTheMaximumAndTheValueIsClamped) {
    // 200 high at y 47, knob 10 high.
    EXPECT_EQ(slider_value_at(47, 200, 10, 47, 127), 127);
    EXPECT_EQ(slider_value_at(47, 200, 10, 0, 127), 127);
    EXPECT_EQ(slider_value_at(47, 200, 10, 247, 127), 0);
    EXPECT_EQ(slider_value_at(47, 200, 10, 47 + 200 - 5 - 95, 190), 95);
    EXPECT_EQ(slider_knob_top(47, 247, 10, 0, 127), 237);
    EXPECT_EQ(slider_knob_top(47, 247, 10, 127, 127), 47);
    EXPECT_EQ(slider_knob_top(47, 247, 10, 500, 127), 47);
}

TEST(SliderArithmetic, SliderNoTallerThanItsKnobOrWithoutRangeDoesNotDivideByZero) {
    EXPECT_EQ(slider_value_at(100, 10, 10, 100, 255), 255);
    EXPECT_EQ(slider_value_at(100, 10, 10, 110, 255), 0);
    EXPECT_EQ(slider_value_at(100, 8, 10, 100, 255), 255);
    EXPECT_EQ(slider_value_at(100, 200, 10, 100, 0), 0);
    EXPECT_EQ(slider_knob_top(100, 110, 10, 7, 255), 100);
    EXPECT_EQ(slider_knob_top(100, 300, 10, 7, 0), 290);
}

TEST(GameSpeedSlider, TopGivesSpeedOneBottomSpeedTwentyFiveAndSlowerSpeedsShowAtTheBottom) {
    EXPECT_EQ(game_speed_from_slider(24), 1);
    EXPECT_EQ(game_speed_from_slider(0), 25);
    EXPECT_EQ(game_speed_slider_value(25), 0);
    EXPECT_EQ(game_speed_slider_value(1), 24);
    EXPECT_EQ(game_speed_slider_value(40), 0);
}

}  // namespace
