// The rune panel composing spells against a small spell book of its own:
// tabs cycle, unknown runes are holes, a rune lists its variants, a spell
// on a member waits for a portrait and is cast or handed to the battle; the
// panel drawn with the demo's rune pictures and fonts.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <vector>

#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "support/golden.h"
#include "world/panel.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

namespace {

constexpr int SCAN_LEFT = 75, SCAN_RIGHT = 77, SCAN_ESCAPE = 1;
constexpr int HEAL = 21;  // water, first rune, first variant

spell_def make_spell(const char* name, int power, int cost, int target_kind, uint8_t flags = 0) {
    spell_def def;
    std::snprintf(def.spell_name, sizeof def.spell_name, "%s", name);
    def.power = uint16_t(power);
    def.cost = uint16_t(cost);
    def.target_kind = int16_t(target_kind);
    def.spell_flags = flags;
    def.code = 1;
    return def;
}

// A few spells, the casting rule of magic points and power, and the casts made.
class book_spells : public rune_spells {
  public:
    std::map<int, spell_def> book;
    std::vector<std::pair<int, int>> casts;  // (spell and target, caster)
    int places_asked = 0;
    const spell_def* spell(int number) override {
        const auto found = book.find(number);
        return found == book.end() ? nullptr : &found->second;
    }
    int can_cast(int slot, int number) override {
        const spell_def* def = spell(number);
        const party_member& m = party_members[slot];
        if (!def || m.mp < def->cost) return 1;
        return m.stats[STAT_MAGIC_POWER] >= def->power ? 0 : 2;
    }
    void cast(int spell_and_target, int caster) override { casts.emplace_back(spell_and_target, caster); }
    bool ask_place(int) override {
        ++places_asked;
        return true;
    }
};

void centre_click(const rune_rect& r) {
    rune_panel_click(r.x + r.w / 2, r.y + r.h / 2);
}

void click_portrait(int position) {
    rune_panel_click(party_slot_x(position) + 30, PANEL_FIRST_ROW + 40);
}

class RunePanel : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_party();
        for (int slot = 0; slot < 3; ++slot) {
            party_member& m = party_members[slot];
            m.used = 1;
            m.mp = 20;
            m.stats[STAT_MP_MAX] = 30;
            m.stats[STAT_MAGIC_POWER] = 30;
            std::snprintf(m.name, sizeof m.name, "%s", slot == 0 ? "Ardo" : slot == 1 ? "Bera" : "Cil");
        }
        party_state.runes[1] = 0x05;  // water: runes 0 and 2
        party_state.runes[0] = 0x01;  // fire: rune 0
        spells.book[HEAL] = make_spell("Mend", 10, 6, ST_CHOSEN);
        spells.book[HEAL + 1] = make_spell("Great mend", 50, 12, ST_CHOSEN_DEAD);
        spells.book[HEAL + 2] = make_spell("Tide", 20, 40, ST_OWN_SECTOR);
        spells.book[spell_number(1, 2, 0)] = make_spell("Far gaze", 5, 25, ST_CASTER, SPF_CHOOSE_PLACE);
        spells.book[0] = make_spell("Spark", 5, 3, ST_SECTOR_AHEAD);
        set_rune_spells(&spells);
        ui_strings = string_list_create(100);
        string_list_set(ui_strings, 47, "Cast");
        string_list_set(ui_strings, 16, "Mana");
    }
    void TearDown() override {
        close_rune_panel();
        set_rune_spells(nullptr);
        reset_party();
    }
    book_spells spells;
};

}  // namespace

TEST_F(RunePanel, TabsCycleBothWaysAndAClickOnAHoleListsNothing) {
    open_rune_panel(0);
    ASSERT_TRUE(rune_panel().open);
    const int first = rune_panel().group;
    rune_panel_key(SCAN_LEFT);
    EXPECT_EQ(rune_panel().group, (first + 4) % 5);
    for (int step = 0; step < 6; ++step) rune_panel_key(SCAN_RIGHT);
    EXPECT_EQ(rune_panel().group, first);  // one step back, then once round
    centre_click(rune_tab_rect(1));
    EXPECT_EQ(rune_panel().group, 1);
    centre_click(rune_place_rect(1));  // water rune 1 is unknown: a hole
    EXPECT_EQ(rune_panel().rune, -1);
    centre_click(rune_place_rect(2));
    EXPECT_EQ(rune_panel().rune, 2);
    rune_panel_key(SCAN_RIGHT);  // another tab forgets the rune
    EXPECT_EQ(rune_panel().rune, -1);
    rune_panel_key(SCAN_ESCAPE);
    EXPECT_FALSE(rune_panel().open);
}

TEST_F(RunePanel, AKnownRuneShowsItsVariantInformationWithPowerAndCost) {
    open_rune_panel(0);
    centre_click(rune_tab_rect(1));
    centre_click(rune_place_rect(0));
    ASSERT_EQ(rune_panel().rune, 0);
    const rune_rect second = rune_variant_rect(1);
    EXPECT_TRUE(rune_panel_point(second.x + 5, second.y + 5));
    EXPECT_EQ(panel_mode, PANEL_RUNE);
    panel_back_to_party(true);
}

TEST_F(RunePanel, AHealWaitsForAPortraitAndIsCastOnThatMember) {
    open_rune_panel(0);
    centre_click(rune_tab_rect(1));
    centre_click(rune_place_rect(0));
    centre_click(rune_variant_rect(0));
    EXPECT_EQ(rune_panel().waiting, HEAL);
    EXPECT_TRUE(spells.casts.empty());
    // A click beside the portraits asks on; the third portrait is the target.
    rune_panel_click(10, PANEL_FIRST_ROW + 40);
    EXPECT_EQ(rune_panel().waiting, HEAL);
    click_portrait(2);
    ASSERT_EQ(spells.casts.size(), 1u);
    EXPECT_EQ(spells.casts[0].first, HEAL + 512 * (2 + 1));
    EXPECT_EQ(spells.casts[0].second, 0);
    EXPECT_FALSE(rune_panel().open);
}

TEST_F(RunePanel, SpellsTheMemberCannotPayAreRefusedAndOthersCastAtOnce) {
    open_rune_panel(1);
    centre_click(rune_tab_rect(1));
    centre_click(rune_place_rect(0));
    centre_click(rune_variant_rect(2));  // costs 40, Bera has 20
    EXPECT_TRUE(rune_panel().open);
    EXPECT_EQ(rune_panel().waiting, -1);
    // Too weak in magic is risky, not refused: it waits for the target.
    centre_click(rune_variant_rect(1));
    EXPECT_EQ(rune_panel().waiting, HEAL + 1);
    rune_panel_key(SCAN_ESCAPE);  // no target after all
    EXPECT_EQ(rune_panel().waiting, -1);
    EXPECT_TRUE(rune_panel().open);
    // A spell on the sector ahead goes at once, without a target.
    centre_click(rune_tab_rect(0));
    centre_click(rune_place_rect(0));
    centre_click(rune_variant_rect(0));
    ASSERT_EQ(spells.casts.size(), 1u);
    EXPECT_EQ(spells.casts[0], std::make_pair(0, 1));
}

TEST_F(RunePanel, InBattleTheComposedSpellGoesToThePlanInsteadOfBeingCast) {
    std::vector<std::pair<int, int>> planned;
    open_rune_panel(0, [&](int caster, int arg) { planned.emplace_back(caster, arg); });
    centre_click(rune_tab_rect(1));
    centre_click(rune_place_rect(2));  // a place spell: the place is asked first
    party_members[0].mp = 30;
    centre_click(rune_variant_rect(0));
    EXPECT_EQ(spells.places_asked, 1);
    ASSERT_EQ(planned.size(), 1u);
    EXPECT_EQ(planned[0], std::make_pair(0, spell_number(1, 2, 0)));
    EXPECT_TRUE(spells.casts.empty());
}

TEST(RunePanelPicture, AComposedHealWaitingForItsTargetLooksAsBefore) {
    path_table[PATH_FONTS] = VORTHAN_DEMO_DIR "/font";
    path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
    register_picture_decoders();
    register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
    const decoder_fn pal8 = decoder_for(decoder_id::pcx_to_pal8);
    define_handle(H_RUNEHOLE, "runehole.pcx", pal8, PATH_GUI);
    define_handle(H_RUNEMASK, "runemask.pcx", pal8, PATH_GUI);
    const char* sheets[] = {"r_ohen.pcx", "r_voda.pcx", "r_zeme.pcx", "r_vzduch.pcx", "r_mysl.pcx"};
    for (int group = 0; group < RUNE_GROUP_COUNT; ++group)
        define_handle(handle_id(H_R_OHEN + group), sheets[group], pal8, PATH_GUI);
    define_handle(FONT_SADA16, "sada16.fon", nullptr, PATH_FONTS);
    forget_screen_pictures();
    reset_font_state();
    ui_strings = string_list_create(100);
    string_list_set(ui_strings, 47, "Cast");
    string_list_set(ui_strings, 16, "Mana");

    reset_party();
    party_member& m = party_members[0];
    m.used = 1;
    m.mp = 14;
    m.stats[STAT_MP_MAX] = 30;
    m.stats[STAT_MAGIC_POWER] = 20;
    std::snprintf(m.name, sizeof m.name, "Ardo");
    party_state.runes[1] = 0x4B;  // water: runes 0, 1, 3, 6; rune 3 beyond her magic points
    book_spells spells;
    spells.book[HEAL] = make_spell("Mend", 10, 6, ST_CHOSEN);
    spells.book[HEAL + 1] = make_spell("Great mend", 30, 12, ST_CHOSEN_DEAD);
    spells.book[HEAL + 2] = make_spell("Tide", 20, 40, ST_OWN_SECTOR);
    spells.book[spell_number(1, 1, 0)] = make_spell("Mist", 5, 4, ST_CASTER);
    spells.book[spell_number(1, 3, 0)] = make_spell("Flood", 60, 50, ST_SECTOR_AHEAD);
    spells.book[spell_number(1, 6, 0)] = make_spell("Still water", 5, 8, ST_CASTER);
    set_rune_spells(&spells);
    open_rune_panel(0);
    centre_click(rune_tab_rect(1));
    centre_click(rune_place_rect(0));
    centre_click(rune_variant_rect(0));
    ASSERT_EQ(rune_panel().waiting, HEAL);

    target_frame_buffer();
    clear_buffer(frame_buffer, 0x294A);
    draw_rune_panel();
    EXPECT_TRUE(
        golden::matches(VORTHAN_SOURCE_DIR "/tests/rules_rune_panel/golden/composed.png", frame_buffer));

    close_rune_panel();
    set_rune_spells(nullptr);
    panel_back_to_party(true);
    reset_party();
    reset_font_state();
    free_all_handles();
}
