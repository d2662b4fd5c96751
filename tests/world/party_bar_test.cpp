// The party bar and the screen effects drawn with the demo adventure's own
// pictures and fonts: golden pictures of the bar with members in different
// states and of the note panel, the damage counter adding up blows that land
// together, small effects that end, members' flashes and the defeat screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "support/golden.h"
#include "world/panel.h"
#include "world/party_portraits.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/screen_effects.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

namespace {

const std::string GOLDEN = VORTHAN_SOURCE_DIR "/tests/world/golden/";
constexpr uint16_t SLATE = 0x294A;

// Six slots; the tests fill the ones they need.
class test_roster final : public party_roster {
  public:
    std::vector<roster_member> members = std::vector<roster_member>(6);
    int group = 1, chosen = -1;
    int slots() const override { return static_cast<int>(members.size()); }
    roster_member member(int slot) const override {
        return slot >= 0 && slot < slots() ? members[static_cast<size_t>(slot)] : roster_member{};
    }
    void place_member(int slot, int sector, int direction) override {
        members[static_cast<size_t>(slot)].sector = sector;
        members[static_cast<size_t>(slot)].direction = direction;
    }
    int active_group() const override { return group; }
    void set_active_group(int g) override { group = g; }
    int selected() const override { return chosen; }
    void select(int slot) override { chosen = slot; }
    int32_t money() const override { return 0; }
    void gather(int, int) override {}
};

roster_member member(const char* name, int face, int hp, int hp_max) {
    roster_member m;
    m.used = true;
    m.name = name;
    m.face = face;
    m.hp = hp;
    m.hp_max = hp_max;
    m.vp = m.vp_max = 50;
    m.mp = m.mp_max = 20;
    m.group = 1;
    m.sector = 10;
    return m;
}

class PartyBar : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_table[PATH_FONTS] = VORTHAN_DEMO_DIR "/font";
        path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
        register_picture_decoders();
        register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
        const decoder_fn pal8 = decoder_for(decoder_id::pcx_to_pal8);
        for (auto [id, name] : {std::pair{H_DESK, "desk.pcx"},
                                {H_POSTUP, "postup.pcx"},
                                {H_DEATH, "death.pcx"},
                                {H_PZASAH, "pzasah.pcx"},
                                {H_KREVMIN, "krevmin.pcx"},
                                {H_KREVMID, "krevmid.pcx"},
                                {H_KREVMAX, "krevmax.pcx"},
                                {H_FX, "fx.pcx"},
                                {H_STUPNICE, "stupnice.pcx"},
                                {H_RAMECEK, "ramecek.pcx"}})
            define_handle(id, name, pal8, PATH_GUI);
        define_handle(H_OKNO, "okno.pcx", decoder_for(decoder_id::pcx_to_hicolor), PATH_GUI);
        for (auto [id, name] : {std::pair{FONT_SADA16, "sada16.fon"},
                                {FONT_4X8, "font4x8.fon"},
                                {FONT_TINY, "tiny.fon"},
                                {FONT_IKONES, "ikones.fon"}})
            define_handle(id, name, nullptr, PATH_FONTS);
        ui_strings = string_list_create(200);
        string_list_set(ui_strings, 174, "Close");
        const char* notes[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
        for (int i = 0; i < 12; ++i) string_list_set(ui_strings, 180 + i, notes[i]);
    }
    static void TearDownTestSuite() {
        unbind_member_faces();
        reset_font_state();
        free_all_handles();
    }
    void SetUp() override {
        forget_screen_pictures();
        reset_font_state();
        reset_screen_effects();
        set_party_roster(&company);
        party.sector = 10;
        party.direction = 0;
        panel_mode = PANEL_PARTY;
        target_frame_buffer();
        clear_buffer(frame_buffer, SLATE);
    }
    void TearDown() override {
        set_party_roster(nullptr);
        panel_mode = PANEL_PARTY;
    }

    // The bottom panel as its decoder draws it: 640 x 102 of its 104 rows.
    static std::vector<uint16_t> panel_pixels() {
        int32_t length = 0;
        auto* drawn = static_cast<uint16_t*>(draw_panel_picture(nullptr, &length, H_PANEL));
        std::vector<uint16_t> pixels(drawn, drawn + SCREEN_PITCH * PANEL_ROWS);
        game_free(drawn);
        return pixels;
    }
    static int changed_pixels(int x, int y, int w, int h) {
        int n = 0;
        for (int row = y; row < y + h; ++row)
            for (int column = x; column < x + w; ++column) n += *pixel_address(column, row) != SLATE;
        return n;
    }

    test_roster company;
};

TEST(PartyPortraits, FaceFrameFollowsHitPointsAndStaysInsideThePicture) {
    EXPECT_EQ(face_state(40, 40), 0);
    // 3 - (4 hp - 4) / max hp, at each frame's edges.
    EXPECT_EQ(face_state(31, 40), 0);
    EXPECT_EQ(face_state(30, 40), 1);
    EXPECT_EQ(face_state(21, 40), 1);
    EXPECT_EQ(face_state(20, 40), 2);
    EXPECT_EQ(face_state(11, 40), 2);
    EXPECT_EQ(face_state(10, 40), 3);
    EXPECT_EQ(face_state(1, 40), 3);
    // Above the maximum (a spell's gift) and without a maximum: still one of
    // the four frames.
    EXPECT_EQ(face_state(400, 40), 0);
    EXPECT_EQ(face_state(5, 0), 3);
    EXPECT_EQ(face_state(-3, 40), 3);
}

TEST(PartyPortraits, AtMostFourStatusIconsInTheirOrder) {
    roster_member m;
    EXPECT_TRUE(status_icons(m).empty());
    m.flags = 0x0100 | 0x0010;
    EXPECT_EQ(status_icons(m), (std::vector<int>{6, 5}));
    m.flags = 0x1000 | 0x2000 | 0x0001 | 0x0020 | 0x0100 | 0x0008;
    m.levitating = true;
    EXPECT_EQ(status_icons(m), (std::vector<int>{1, 4, 2, 3}));
}

TEST_F(PartyBar, FourMembersInDifferentStates) {
    roster_member borin = member("Borin", 0, 42, 42);  // full health, a hit being shown
    borin.hit_shown = 7;
    roster_member lenka = member("Lenka", 1, 12, 30);  // hurt, selected, with status icons
    lenka.vp = 20;
    lenka.mp = 5;
    lenka.flags = 0x0100 | 0x0010;
    lenka.levitating = true;
    roster_member tomas = member("Tomas", 2, 0, 36);  // dead
    tomas.group = 0;
    roster_member vesna = member("Vesna", 5, 26, 26);  // another group, elsewhere
    vesna.group = 2;
    vesna.sector = 30;
    company.members = {borin, lenka, roster_member{}, tomas, vesna, roster_member{}};
    company.chosen = 1;
    EXPECT_TRUE(golden::matches(GOLDEN + "party_bar_states.png", panel_pixels().data(), SCREEN_WIDTH,
                                PANEL_ROWS, SCREEN_PITCH));
}

TEST_F(PartyBar, MembersBeyondTheSixPlacesAreLeftOut) {
    company.members.assign(6, member("Borin", 0, 42, 42));
    const std::vector<uint16_t> six = panel_pixels();
    company.members.assign(8, member("Borin", 0, 42, 42));
    EXPECT_EQ(panel_pixels(), six);
}

TEST_F(PartyBar, NotePanelShowsTheNotesAndEndsAfterItsTicks) {
    show_note_panel();
    EXPECT_EQ(panel_mode, PANEL_NOTES);
    EXPECT_TRUE(golden::matches(GOLDEN + "party_bar_notes.png", panel_pixels().data(), SCREEN_WIDTH,
                                PANEL_ROWS, SCREEN_PITCH));
    panel_back_to_party(true);
    EXPECT_EQ(panel_mode, PANEL_PARTY);
}

TEST_F(PartyBar, RuneInformationShowsNameLevelCostAndGlyph) {
    rune_panel_info rune;
    rune.name = "Ember";
    rune.level_label = "Level";
    rune.level = 3;
    rune.cost_label = "Magic";
    rune.cost = 12;
    rune.sheet = H_POSTUP;  // any 8-bit sheet: the shield cell
    rune.glyph_y = 6 * 13;
    rune.glyph_width = rune.glyph_height = 13;
    show_rune_info(rune);
    EXPECT_EQ(panel_mode, PANEL_RUNE);
    const std::vector<uint16_t> shown = panel_pixels();
    EXPECT_TRUE(
        golden::matches(GOLDEN + "party_bar_rune.png", shown.data(), SCREEN_WIDTH, PANEL_ROWS, SCREEN_PITCH));
    // A glyph rectangle outside the sheet draws nothing and reads nothing.
    rune.glyph_x = 5000;
    show_rune_info(rune);
    const std::vector<uint16_t> without_glyph = panel_pixels();
    EXPECT_NE(shown, without_glyph);
    panel_back_to_party(true);
}

TEST_F(PartyBar, DamageCounterAddsBlowsWithinTwoRedrawsAndEndsAfterEight) {
    show_damage(DAMAGE_SMALL, 5);
    advance_screen_effects();
    advance_screen_effects();
    show_damage(DAMAGE_MIDDLE, 7);  // two redraws later: counted with the first
    EXPECT_EQ(screen_effects.damage.amount, 12);
    EXPECT_EQ(screen_effects.damage.set, DAMAGE_MIDDLE);
    draw_screen_effects();
    EXPECT_TRUE(golden::matches(GOLDEN + "damage_counter_12.png", pixel_address(DAMAGE_X, DAMAGE_Y),
                                DAMAGE_WIDTH, DAMAGE_HEIGHT, SCREEN_PITCH));
    for (int i = 0; i < 3; ++i) advance_screen_effects();
    show_damage(DAMAGE_SMALL, 4);  // three redraws later: a blow of its own
    EXPECT_EQ(screen_effects.damage.amount, 4);
    EXPECT_EQ(screen_effects.damage.set, DAMAGE_SMALL);
    for (int i = 0; i < DAMAGE_FRAMES; ++i) advance_screen_effects();
    clear_buffer(frame_buffer, SLATE);
    draw_screen_effects();
    EXPECT_EQ(changed_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), 0);
}

TEST_F(PartyBar, SmallEffectsEndAfterFifteenRedrawsOldestFirst) {
    const effect_place at = effect_places()[6];
    start_effect(6);
    start_effect(static_cast<int>(effect_places().size()));  // not a place: ignored
    start_effect(-1);
    ASSERT_EQ(screen_effects.effects.size(), 1u);
    int drawn = 0;  // the sparkle's first and last frames are nearly empty
    for (int redraw = 0; redraw < EFFECT_FRAMES; ++redraw) {
        clear_buffer(frame_buffer, SLATE);
        draw_screen_effects();
        const int at_place = changed_pixels(at.x, at.y, EFFECT_ROWS, EFFECT_ROWS);
        drawn += at_place > 0;
        if (redraw <= 4) {
            EXPECT_EQ(changed_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), at_place) << "redraw " << redraw;
        }
        if (redraw == 4) start_effect(0);  // a newer one, ending later
        advance_screen_effects();
    }
    EXPECT_GE(drawn, EFFECT_FRAMES - 2);
    ASSERT_EQ(screen_effects.effects.size(), 1u);
    EXPECT_EQ(screen_effects.effects.front().position, 0);
    for (int i = 0; i < 5; ++i) advance_screen_effects();
    EXPECT_TRUE(screen_effects.effects.empty());
    clear_buffer(frame_buffer, SLATE);
    draw_screen_effects();
    EXPECT_EQ(changed_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), 0);
}

TEST_F(PartyBar, FlashDrawsOverTheMaskedMembersPlacesForTenRedraws) {
    // Slot 1 is empty, so the member of slot 2 sits in the second place.
    company.members = {member("Borin", 0, 1, 1), roster_member{}, member("Tomas", 2, 1, 1),
                       roster_member{},          roster_member{}, roster_member{}};
    flash_members(H_DEATH, 1u << 2);
    const int second_place = PARTY_BAR_FIRST_X + PARTY_SLOT_WIDTH + 3;
    for (int redraw = 0; redraw < FLASH_FRAMES; ++redraw) {
        clear_buffer(frame_buffer, SLATE);
        draw_member_flash();
        if (redraw == 0) {
            EXPECT_GT(changed_pixels(second_place, FLASH_Y, FLASH_WIDTH, FLASH_ROWS), 0);
            EXPECT_EQ(changed_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT),
                      changed_pixels(second_place, FLASH_Y, FLASH_WIDTH, FLASH_ROWS));
        }
        advance_screen_effects();
    }
    clear_buffer(frame_buffer, SLATE);
    draw_member_flash();
    EXPECT_EQ(changed_pixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), 0);
}

TEST_F(PartyBar, DefeatScreenDarkensByHalfAndCentresTheWrappedText) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            *pixel_address(x, y) = rgb555(x * 255 / 639, 120, y * 255 / 479);
    draw_defeat_screen(
        "The party has fallen. The keep of Vorthan keeps its secret, and no song will tell of "
        "those who went down into the dark.");
    EXPECT_EQ(*pixel_address(639, 479), blend50(rgb555(255, 120, 255), 0));
    EXPECT_TRUE(golden::matches(GOLDEN + "defeat_screen.png", frame_buffer));
}

}  // namespace
