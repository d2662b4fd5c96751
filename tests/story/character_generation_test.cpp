// Character generation: the disc's profiles under the pearl, the pearl's place
// from the pointer, a member's roll and the party's bonuses, the name field's
// keys; the screen headless: portraits, names, the pearl dragged, the sheet's
// five points, the member limits, refusals, removal, starting over, leaving.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "base/strings.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/random.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "rules/party.h"
#include "story/character_generation.h"
#include "story/character_sheet.h"
#include "support/golden.h"
#include "window_harness.h"

namespace {

// ---- The disc ---------------------------------------------------------------

TEST(ChargenDisc, PearlAtTheCentreGivesTheBalancedProfileWhateverItsAngle) {
    for (int angle : {0, 22, 180, 359}) {
        const stat_profile p = profile_under_pearl({angle, 0});
        EXPECT_EQ(p, stat_profiles[8]) << angle;
        for (int stat = 0; stat < 4; ++stat) {
            EXPECT_EQ(p.minimum(stat), 12);
            EXPECT_EQ(p.maximum(stat), 17);
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(p.regeneration(i), 2);
    }
}

TEST(ChargenDisc, PearlOnTheRimBlendsTheTwoNeighbouringCompassProfiles) {
    for (int k = 0; k < 8; ++k) EXPECT_EQ(profile_under_pearl({45 * k, DISC_RADIUS}), stat_profiles[k]) << k;
    const stat_profile at22 = profile_under_pearl({22, DISC_RADIUS});
    EXPECT_EQ(at22.minimum(0), 15);  // 17 + (13 - 17) x 22 / 45 = 15.04
    EXPECT_EQ(at22.maximum(0), 20);  // 22 + (18 - 22) x 22 / 45 = 20.04
    EXPECT_EQ(at22.minimum(2), 18);  // 17 + 3 x 22 / 45 = 18.47
    // Past 315 degrees the last profile blends with the first.
    const stat_profile at337 = profile_under_pearl({337, DISC_RADIUS});
    EXPECT_EQ(at337.minimum(0), 19);  // 20 - 3 x 22 / 45 = 18.53
    EXPECT_EQ(at337.minimum(1), 2);   // 0 + 5 x 22 / 45 = 2.44
    EXPECT_EQ(at337.regeneration(0), 4);
}

// Two roundings to the nearest sixteenth and whole: at most 1 + 1/8 away.
TEST(ChargenDisc, EveryPlaceOnTheDiscStaysCloseToTheExactBlend) {
    for (int angle = 0; angle < 360; ++angle) {
        for (int distance = 0; distance <= DISC_RADIUS; distance += 5) {
            const stat_profile got = profile_under_pearl({angle, distance});
            const stat_profile& p = stat_profiles[angle / 45];
            const stat_profile& q = stat_profiles[(angle / 45 + 1) % 8];
            for (int i = 0; i < PROFILE_VALUES; ++i) {
                const double rim = p.values[i] + (q.values[i] - p.values[i]) * (angle % 45) / 45.0;
                const double exact =
                    stat_profiles[8].values[i] + (rim - stat_profiles[8].values[i]) * distance / 75.0;
                ASSERT_LE(std::abs(got.values[i] - exact), 1.125) << angle << " " << distance << " " << i;
            }
        }
    }
}

TEST(ChargenDisc, PointerPlacesThePearlByAngleAndDistanceClampedToTheRim) {
    EXPECT_EQ(pearl_at_point(DISC_X + 40, DISC_Y), (pearl_place{0, 40}));
    EXPECT_EQ(pearl_at_point(DISC_X, DISC_Y - 20), (pearl_place{90, 20}));
    EXPECT_EQ(pearl_at_point(DISC_X - 10, DISC_Y), (pearl_place{180, 10}));
    EXPECT_EQ(pearl_at_point(DISC_X, DISC_Y + 300), (pearl_place{270, DISC_RADIUS}));
    EXPECT_EQ(pearl_at_point(DISC_X + 30, DISC_Y - 30), (pearl_place{45, 42}));
    EXPECT_EQ(pearl_at_point(DISC_X + 50, DISC_Y + 1).angle, 358);
    int x = 0, y = 0;
    pearl_point({90, 50}, x, y);
    EXPECT_NEAR(x, DISC_X, 1);
    EXPECT_EQ(y, DISC_Y - 50);
}

// ---- Members ---------------------------------------------------------------------

stat_profile fixed_profile(int s0, int s1, int s2, int s3) {
    return stat_profile{{s0, s0, s1, s1, s2, s2, s3, s3, 3, 1, 2}};
}

TEST(ChargenMembers, StrengthAndSpeedOfTwentyGiveFortyHitPointsAndTheirReserves) {
    party_member m;
    prepare_member_placeholder(m, 7);
    roll_member(m, fixed_profile(20, 8, 20, 11));
    EXPECT_EQ(m.base_stats[STAT_HP_MAX], 40);
    EXPECT_EQ(m.stats[STAT_HP_MAX], 40);
    EXPECT_EQ(m.hp, 40);
    EXPECT_EQ(m.food, 24480);
    EXPECT_EQ(m.water, 13320);
    EXPECT_EQ(m.mp, 16);
    EXPECT_EQ(m.vp, 22);
    EXPECT_EQ(m.base_stats[STAT_DEFENSE_MIN], 1);
    EXPECT_EQ(m.base_stats[STAT_DEFENSE_MAX], 2);
    EXPECT_EQ(m.base_stats[STAT_ATTACK_MIN], 1);
    EXPECT_EQ(m.base_stats[STAT_ATTACK_MAX], 2);
    EXPECT_EQ(m.base_stats[STAT_HP_REGEN], 3);
    EXPECT_EQ(m.base_stats[STAT_MP_REGEN], 1);
    EXPECT_EQ(m.base_stats[STAT_VP_REGEN], 2);
    EXPECT_EQ(m.level, 1);
    EXPECT_EQ(m.free_points, 5);
    EXPECT_EQ(m.inventory_size, 6);
    EXPECT_EQ(m.mp_cap, 0x7FFF);
    EXPECT_EQ(m.sector, 7);
    EXPECT_EQ(m.group, 1);
    EXPECT_TRUE(m.used);
}

TEST(ChargenMembers, RollsFallInsideTheRangesAndReachBothEnds) {
    random_seed(1234);
    const stat_profile rim = profile_under_pearl({135, DISC_RADIUS});
    std::map<int, int> seen_low, seen_high;
    for (int i = 0; i < 300; ++i) {
        party_member m;
        roll_member(m, rim);
        for (int stat = 0; stat < 4; ++stat) {
            ASSERT_GE(m.base_stats[stat], rim.minimum(stat));
            ASSERT_LE(m.base_stats[stat], rim.maximum(stat));
            seen_low[stat] += m.base_stats[stat] == rim.minimum(stat);
            seen_high[stat] += m.base_stats[stat] == rim.maximum(stat);
        }
    }
    for (int stat = 0; stat < 4; ++stat) {
        EXPECT_GT(seen_low[stat], 0) << stat;
        EXPECT_GT(seen_high[stat], 0) << stat;
    }
}

TEST(ChargenMembers, ButtonsFollowTheMemberLimits) {
    EXPECT_EQ(chargen_button_mask(0, false), 2);
    EXPECT_EQ(chargen_button_mask(2, true), 2 | 4);
    EXPECT_EQ(chargen_button_mask(3, true), 1 | 4);  // play, but no fourth member
}

TEST(ChargenMembers, StrongAndDexterousMembersOfTheFirstThreePlacesHitAndParryBetter) {
    reset_party();
    for (int slot = 0; slot < 4; ++slot) {
        prepare_member_placeholder(party_members[slot], 0);
        roll_member(party_members[slot], fixed_profile(slot == 1 ? 20 : 21, 10, 10, slot == 2 ? 20 : 21));
    }
    apply_party_bonuses();
    EXPECT_EQ(party_members[0].base_stats[STAT_ATTACK_MAX], 3);
    EXPECT_EQ(party_members[0].base_stats[STAT_DEFENSE_MAX], 3);
    EXPECT_EQ(party_members[1].base_stats[STAT_ATTACK_MAX], 2);
    EXPECT_EQ(party_members[2].base_stats[STAT_DEFENSE_MAX], 2);
    EXPECT_EQ(party_members[3].base_stats[STAT_ATTACK_MAX], 2);  // the fourth place gets nothing
    reset_party();
}

// ---- The name field -----------------------------------------------------------

constexpr uint16_t ch(char c) {
    return uint16_t(0x1E00 | uint8_t(c));
}
constexpr uint16_t BACKSPACE = 0x0E08, HOME = 71 << 8, LEFT = 75 << 8, RIGHT = 77 << 8, END = 79 << 8,
                   DEL = 83 << 8, CTRL_LEFT = 115 << 8, CTRL_RIGHT = 116 << 8;

TEST(ChargenNameField, FirstCharacterReplacesTheNameThenCharactersInsertAtTheCursor) {
    line_editor e;
    e.start("Radek");
    EXPECT_EQ(e.cursor, 5u);
    e.key(ch('A'));
    EXPECT_EQ(e.text, "A");
    for (char c : std::string("da")) e.key(ch(c));
    e.key(HOME);
    e.key(ch('K'));
    EXPECT_EQ(e.text, "KAda");
    e.key(RIGHT);
    e.key(DEL);
    EXPECT_EQ(e.text, "KAa");
    e.key(END);
    e.key(BACKSPACE);
    e.key(LEFT);
    e.key(BACKSPACE);
    EXPECT_EQ(e.text, "A");
    EXPECT_EQ(e.key(0x1C0D), line_editor::accepted);
    EXPECT_EQ(e.key(0x011B), line_editor::cancelled);
}

TEST(ChargenNameField, KeysMovingOrEditingFirstKeepTheNameAndWordsAreJumped) {
    line_editor e;
    e.start("Old Bear Man");
    e.key(CTRL_LEFT);
    EXPECT_EQ(e.cursor, 9u);
    e.key(CTRL_LEFT);
    EXPECT_EQ(e.cursor, 4u);
    e.key(CTRL_RIGHT);
    EXPECT_EQ(e.cursor, 9u);
    e.key(ch('X'));  // the mark is gone: inserted
    EXPECT_EQ(e.text, "Old Bear XMan");
}

TEST(ChargenNameField, TheNameStaysWithinFourteenCharactersAndTheFieldsWidth) {
    line_editor e;
    e.start("");
    e.key(BACKSPACE);
    for (int i = 0; i < 20; ++i) e.key(ch('a'));
    EXPECT_EQ(e.text.size(), 14u);
    line_editor narrow;
    narrow.width = 30;
    narrow.text_width = [](const std::string& s) { return 7 * int(s.size()); };
    narrow.start("");
    narrow.key(BACKSPACE);
    for (int i = 0; i < 10; ++i) narrow.key(ch('w'));
    EXPECT_EQ(narrow.text, "wwww");
    narrow.key(ch('\t'));
    EXPECT_EQ(narrow.text, "wwww");  // control characters never enter a name
}

// ---- The screen ------------------------------------------------------------------

std::vector<uint8_t> bit_font(int w, int h) {
    test_fonts::font_bytes font;
    for (int c = 33; c < 127; ++c) {
        std::vector<uint8_t> codes;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                codes.push_back(x < w - 1 && y < h - 1 && ((c >> ((x + y) % 7)) & 1) ? 2 : 0);
        font.glyph(static_cast<uint8_t>(c), w, h, codes);
    }
    font.glyph(' ', w - 1, h, std::vector<uint8_t>(size_t((w - 1) * h), 0));
    return font.bytes;
}

class ChargenScreen : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(FONT_6X9, bit_font(6, 9));
        test_fonts::install(FONT_SADA16, bit_font(8, 10));
        const std::map<int, const char*> texts = {
            {2, "S %d-%d"},  {3, "M %d-%d"},  {4, "R %d-%d"}, {5, "O %d-%d"},   {111, "A name!"},
            {113, "Leave?"}, {114, "Yes"},    {115, "No"},    {116, "Again?"},  {117, "Dismiss?"},
            {118, "YN"},     {160, "Radek"},  {161, "Borek"}, {162, "Jaromir"}, {163, "Vit"},
            {164, "Dana"},   {165, "Zora"},   {166, "Lida"},  {167, "Vera"},    {170, "Play"},
            {171, "Done"},   {172, "Delete"}, {173, "Again"}};
        for (const auto& [number, words] : texts) string_list_set(ui_strings, number, words);
        reset_party();
        random_seed(77);
    }
    void TearDown() override {
        reset_font_state();
        for (handle_id id : {FONT_6X9, FONT_SADA16, H_CHARGEN_BACKGROUND, H_CHARGEN_PEARL, H_CHARGEN,
                             H_CHARGENB, H_CHARGENM})
            undefine_handle(id);
        for (int i = 0; i < PORTRAIT_PLACES; ++i) {
            undefine_handle(handle_id(H_CHARGEN_FACES + i));
            undefine_handle(handle_id(H_CHARGEN_FIGURES + i));
        }
        string_list_free(ui_strings);
        reset_party();
        WindowTest::TearDown();
    }
    // The cycles of the opening animation: the script starts after them.
    static constexpr int OPENING = 13;
    static void at(int poll, std::function<void()> step) { WindowTest::at(poll + OPENING, std::move(step)); }
    static void key(int poll, uint16_t code) { WindowTest::key(poll + OPENING, code); }
    static void mouse(int poll, int x, int y, uint16_t events, bool left) {
        WindowTest::mouse(poll + OPENING, x, y, events, left);
    }
    static void click(int poll, int x, int y) { WindowTest::click(poll + OPENING, x, y); }
    static int place_x(int place) { return STRIP_X + STRIP_STEP * place + STRIP_PLACE_W / 2; }
    static constexpr int STRIP_MIDDLE = STRIP_Y + STRIP_PLACE_H / 2;
    static void pick_place(int poll, int place) { click(poll, place_x(place), STRIP_MIDDLE); }
    static void button(int poll, int b) { click(poll, 570, 405 + 19 * b); }
    // Drags the pearl from the centre to (x, y) in three cycles.
    static void drag_pearl(int poll, int x, int y) {
        mouse(poll, DISC_X, DISC_Y, MOUSE_EV_LEFT_DOWN, true);
        mouse(poll + 1, x, y, MOUSE_EV_MOTION, true);
        mouse(poll + 2, x, y, MOUSE_EV_LEFT_UP, false);
    }
    static void type(int poll, const std::string& text) {
        for (char c : text) key(poll++, ch(c));
    }
    static sheet_plus plus_sign(int attribute) {
        party_member someone;
        someone.free_points = 1;
        return sheet_plus_signs(someone)[size_t(attribute)];
    }
    static void raise(int poll, int attribute) {
        const sheet_plus sign = plus_sign(attribute);
        click(poll, sign.x + 1, sign.y + 1);
    }
};

std::vector<std::pair<int, int>> presented;  // the rows and heights handed to the display

TEST_F(ChargenScreen, TheScreenOpensFromTheMiddleInTwelveStepsBeforeItTakesKeys) {
    presented.clear();
    set_screen_update([](int, int y, int, int h) { presented.push_back({y, h}); });
    WindowTest::key(3, KEY_ESCAPE);  // during the opening: nobody listens
    at(0, [] {
        ASSERT_GE(presented.size(), 24u);
        for (int step = 1; step <= 12; ++step) {
            EXPECT_EQ(presented[size_t(2 * step - 2)], std::make_pair(240 - 20 * step, 20)) << step;
            EXPECT_EQ(presented[size_t(2 * step - 1)], std::make_pair(240 + 20 * step - 20, 20)) << step;
        }
    });
    key(1, KEY_ESCAPE);
    at(2, [] { EXPECT_TRUE(chargen_running()); });
    key(3, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
    set_screen_update(nullptr);
}

TEST_F(ChargenScreen, ThreeMembersMadeWithPortraitsNamesPearlAndPointsStartTheGame) {
    // The first: the fifth place (a woman, portrait 1) with her default name,
    // the pearl on the rim at 0 degrees, all five points to strength.
    pick_place(2, 4);
    at(4, [] {
        EXPECT_EQ(chargen_member_being_made(), 0);
        EXPECT_STREQ(party_members[0].name, "Dana");
        EXPECT_EQ(party_members[0].face, 1);
        EXPECT_EQ(party_members[0].female, 1);
    });
    drag_pearl(5, DISC_X + 200, DISC_Y);
    at(8, [] { EXPECT_EQ(chargen_pearl(), (pearl_place{0, DISC_RADIUS})); });
    key(9, KEY_ENTER);
    int strength = 0;
    at(11, [&] {
        EXPECT_TRUE(chargen_on_sheet());
        strength = party_members[0].base_stats[STAT_STRENGTH];
        EXPECT_GE(strength, 17);
        EXPECT_LE(strength, 22);
        EXPECT_EQ(party_members[0].free_points, 5);
    });
    for (int i = 0; i < 6; ++i) raise(12 + 2 * i, STAT_STRENGTH);  // the sixth finds no point left
    at(25, [&] {
        EXPECT_EQ(party_members[0].free_points, 0);
        EXPECT_GT(party_members[0].base_stats[STAT_STRENGTH], strength);
    });
    button(26, 1);  // done: the next member
    // The second: her portrait is taken; the first place with a typed name.
    pick_place(30, 4);
    at(32, [] { EXPECT_EQ(party_members[1].face, 0xFF); });
    pick_place(33, 0);
    type(35, "Ada");
    key(39, KEY_ENTER);
    key(41, KEY_ENTER);
    // The third, then no fourth: done is off and play starts the game.
    pick_place(45, 7);
    key(47, KEY_ENTER);
    at(49, [] {
        EXPECT_TRUE(chargen_on_sheet());
        EXPECT_EQ(chargen_button_mask(3, true) & 2, 0);
    });
    button(50, 1);
    at(53, [] {
        EXPECT_TRUE(chargen_on_sheet());  // done does not start a fourth
        EXPECT_EQ(chargen_member_being_made(), 2);
    });
    button(54, 0);
    EXPECT_TRUE(run_character_generation());
    EXPECT_FALSE(chargen_running());
    int used = 0;
    for (const party_member& m : party_members) used += m.used;
    EXPECT_EQ(used, 3);
    EXPECT_STREQ(party_members[1].name, "Ada");
    EXPECT_EQ(party_members[1].face, 0);
    EXPECT_EQ(party_members[1].female, 0);
    EXPECT_STREQ(party_members[2].name, "Vera");
    EXPECT_EQ(party_members[2].face, 7);
    EXPECT_EQ(party_members[2].free_points, 5);  // unspent points stay for later
}

TEST_F(ChargenScreen, MembersNeedAPortraitToBeRolledAndANameToLeaveTheSheet) {
    key(2, KEY_ENTER);
    at(4, [] { EXPECT_FALSE(chargen_on_sheet()); });
    pick_place(5, 1);
    for (int i = 0; i < 5; ++i) key(7 + i, BACKSPACE);
    key(13, KEY_ENTER);
    at(15, [] { EXPECT_TRUE(chargen_on_sheet()); });
    key(16, KEY_ENTER);
    at(18, [] {
        EXPECT_EQ(chargen_message(), "A name!");
        EXPECT_TRUE(chargen_on_sheet());
        EXPECT_EQ(chargen_member_being_made(), 0);
    });
    type(19, "Bo");
    key(22, KEY_ENTER);
    at(24, [] {
        EXPECT_EQ(chargen_member_being_made(), 1);
        EXPECT_STREQ(party_members[0].name, "Bo");
    });
    button(25, 0);  // play with one member: refused
    at(28, [] { EXPECT_TRUE(chargen_running()); });
    key(29, KEY_ESCAPE);
    key(31, KEY_ENTER);  // yes, leave
    EXPECT_FALSE(run_character_generation());
    for (const party_member& m : party_members) EXPECT_FALSE(m.used);
}

TEST_F(ChargenScreen, APortraitBringsItsDefaultNameUntilOneIsTyped) {
    pick_place(2, 1);
    at(4, [] { EXPECT_STREQ(party_members[0].name, "Borek"); });
    pick_place(5, 5);
    at(7, [] {
        EXPECT_STREQ(party_members[0].name, "Zora");
        EXPECT_EQ(party_members[0].face, 5);
        EXPECT_EQ(party_members[0].female, 1);
    });
    type(8, "Q");
    pick_place(10, 6);
    at(12, [] {
        EXPECT_STREQ(party_members[0].name, "Q");
        EXPECT_EQ(party_members[0].face, 6);
    });
    key(13, KEY_ESCAPE);
    key(15, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
}

TEST_F(ChargenScreen, APressAwayFromThePearlLeavesItWhereItIs) {
    mouse(2, DISC_X + 40, DISC_Y - 20, MOUSE_EV_LEFT_DOWN, true);
    mouse(3, DISC_X + 60, DISC_Y - 20, MOUSE_EV_MOTION, true);
    mouse(4, DISC_X + 60, DISC_Y - 20, MOUSE_EV_LEFT_UP, false);
    at(6, [] { EXPECT_EQ(chargen_pearl(), pearl_place{}); });
    drag_pearl(7, DISC_X, DISC_Y - 30);
    at(11, [] { EXPECT_EQ(chargen_pearl(), (pearl_place{90, 30})); });
    key(12, KEY_ESCAPE);
    key(14, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
}

TEST_F(ChargenScreen, ThePearlsShadowDarkensTheDiscAndItsOtherPixelsTakeTheirColours) {
    install_picture(H_CHARGEN_BACKGROUND, 640, 480, [](int, int) { return uint8_t{50}; });
    // Three columns each: transparent, lit, shadow (bit 7 set).
    install_picture(H_CHARGEN_PEARL, 9, 9, [](int x, int) { return uint8_t(x < 3 ? 0 : x < 6 ? 7 : 200); });
    const uint16_t ground = colour_of_index(50);
    at(3, [ground] {
        const uint16_t* row = frame_buffer + DISC_Y * SCREEN_PITCH;
        EXPECT_EQ(row[DISC_X - 3], ground);
        EXPECT_EQ(row[DISC_X], colour_of_index(7));
        EXPECT_EQ(row[DISC_X + 3], (ground >> 1) & 0x3DEF);
        EXPECT_EQ(row[DISC_X + 5], ground);
    });
    key(4, KEY_ESCAPE);
    key(6, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
}

// Hand-made pictures: a striped ground, a ringed disc, faces and figures of
// one colour per portrait (a lighter band for the eyes), the button strip.
void install_screen_pictures() {
    install_picture(H_CHARGEN_BACKGROUND, 640, 480, [](int x, int y) {
        const int dx = x - DISC_X, dy = y - DISC_Y;
        if (dx * dx + dy * dy < 80 * 80) return uint8_t(dx * dx + dy * dy < 6 * 6 ? 60 : 61);
        return uint8_t(y % 32 < 2 ? 52 : 50);
    });
    install_picture(H_CHARGEN_PEARL, 9, 9, [](int x, int y) { return uint8_t(x + y > 10 ? 200 : 70); });
    for (int i = 0; i < PORTRAIT_PLACES; ++i) {
        install_picture(handle_id(H_CHARGEN_FACES + i), 54, 300,
                        [i](int, int y) { return uint8_t(y % 75 > 20 && y % 75 < 26 ? 90 : 80 + i); });
        install_picture(handle_id(H_CHARGEN_FIGURES + i), 60, 200,
                        [i](int x, int) { return uint8_t(x > 10 && x < 50 ? 100 + i : 0); });
    }
    install_picture(H_CHARGEN, 120, 102, [](int, int) { return uint8_t{110}; });
    install_picture(H_CHARGENB, 120, 76, [](int, int y) { return uint8_t(y < 2 ? 112 : 111); });
}

TEST_F(ChargenScreen, GoldenTheSecondMemberBeingMadeBesideTheFirst) {
    install_screen_pictures();
    pick_place(2, 1);
    type(4, "Ash");
    drag_pearl(8, DISC_X - 40, DISC_Y - 40);
    key(12, KEY_ENTER);
    key(14, KEY_ENTER);
    pick_place(16, 5);
    drag_pearl(18, DISC_X + 20, DISC_Y + 60);
    at(22, [] {
        EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/story/golden/chargen_second_member.png",
                                    frame_buffer));
    });
    key(23, KEY_ENTER);
    at(25, [] {
        EXPECT_TRUE(
            golden::matches(VORTHAN_SOURCE_DIR "/tests/story/golden/chargen_sheet.png", frame_buffer));
    });
    key(26, KEY_ESCAPE);
    key(28, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
}

TEST_F(ChargenScreen, RemovalAndStartingOverFreePlacesAndPortraits) {
    pick_place(2, 2);
    key(4, KEY_ENTER);
    key(6, KEY_ENTER);
    pick_place(8, 3);
    key(10, KEY_ENTER);
    key(12, KEY_ENTER);
    at(14, [] { EXPECT_EQ(chargen_member_being_made(), 2); });
    // Delete, then the first member's face, then yes.
    button(15, 2);
    at(17, [] { EXPECT_TRUE(chargen_removal_mode()); });
    click(18, 16 + 20, 378 + 30);
    key(21, KEY_ENTER);
    at(24, [] {
        EXPECT_FALSE(party_members[0].used);
        EXPECT_FALSE(portrait_taken(3, 2));  // her portrait is free again
        EXPECT_TRUE(portrait_taken(4, 2));
        EXPECT_EQ(chargen_member_being_made(), 2);
    });
    // Again, yes: everything is cleared and the first place is made.
    button(25, 3);
    key(28, KEY_ENTER);
    at(31, [] {
        EXPECT_FALSE(party_members[1].used);
        EXPECT_EQ(chargen_member_being_made(), 0);
        EXPECT_FALSE(portrait_taken(4, 0));
    });
    key(32, KEY_ESCAPE);
    key(34, KEY_ENTER);
    EXPECT_FALSE(run_character_generation());
}

}  // namespace
