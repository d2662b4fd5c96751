// The dialog screen on the headless run over a small dialogy.dat written
// here: the warden's picture (the captured view), his words and the
// choices drawn, a choice picked by key and by click, a WAIT continued, a
// portrait picked and one cancelled, and the game screen back at the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/binding/world_binding.h"
#include "rules/party.h"
#include "story/dialog.h"
#include "story/dialog_game.h"
#include "story/dialog_screen.h"
#include "support/golden.h"
#include "window_harness.h"
#include "world/game_screen.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

// Writes the compiled form of a few paragraphs: tagged numbers and texts.
struct dialog_writer {
    std::vector<uint8_t> code;
    std::vector<std::pair<int, uint32_t>> paragraphs;

    dialog_writer& paragraph(int number) {
        paragraphs.emplace_back(number, uint32_t(code.size()));
        return *this;
    }
    dialog_writer& num(int value) {
        code.push_back(TAG_NUMBER);
        code.push_back(uint8_t(value & 0xFF));
        code.push_back(uint8_t((value >> 8) & 0xFF));
        return *this;
    }
    dialog_writer& text(const char* s) {
        code.push_back(TAG_TEXT);
        for (const char* p = s; *p; ++p) code.push_back(uint8_t(*p));
        code.push_back(0);
        return *this;
    }
    dialog_writer& op(int opcode) { return num(opcode); }
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
        };
        u32(uint32_t(paragraphs.size()));
        u32(0);
        for (const auto& [number, offset] : paragraphs) {
            u32(uint32_t(number) | uint32_t(number) << PARAGRAPH_REDIRECT_SHIFT);
            u32(offset);
        }
        out.insert(out.end(), code.begin(), code.end());
        return out;
    }
};

// The warden asks who comes; friends are greeted and one of them answers by
// name; the liar is asked to point at himself and may refuse.
std::vector<uint8_t> warden_dialog() {
    dialog_writer w;
    w.paragraph(1).op(DOP_PICTURE).text("SCREEN").op(DOP_TEXT).text("The warden looks up from his lamp.");
    w.op(DOP_SAY).text("Who goes there?").op(DOP_NOTE).text("He holds a crossbow.");
    w.op(DOP_CHOICE).num(2).text("Friends.").op(DOP_CHOICE).num(3).text("Nobody.").op(DOP_ASK);
    w.paragraph(2).op(DOP_SAY).text("Good.").op(DOP_WAIT).op(DOP_PICK_PORTRAIT).text("Who speaks?").num(4);
    w.op(DOP_SAY).text("Hello %n.").op(DOP_CHOICE).num(5).text("Bye.").op(DOP_ASK);
    w.paragraph(3).op(DOP_SAY).text("Liar.").op(DOP_PICK_PORTRAIT).text("Who lies?").num(4);
    w.op(DOP_GOTO).num(5);
    w.paragraph(4).op(DOP_SAY).text("Nobody then.").op(DOP_CHOICE).num(5).text("Bye.").op(DOP_ASK);
    w.paragraph(5).op(DOP_END);
    w.paragraph(6).op(DOP_SAY).text("Round and round.").op(DOP_GOTO).num(6);
    return w.bytes();
}

// Every printable character a 5 x 8 glyph showing its code's bits.
std::vector<uint8_t> bit_font() {
    test_fonts::font_bytes font;
    for (int c = 33; c < 127; ++c) {
        std::vector<uint8_t> codes;
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 8; ++y) codes.push_back(x < 4 && y < 7 && ((c >> ((x + y) % 7)) & 1) ? 2 : 0);
        font.glyph(static_cast<uint8_t>(c), 5, 8, codes);
    }
    font.glyph(' ', 4, 8, std::vector<uint8_t>(32, 0));
    return font.bytes;
}

int history_row_y(int row) {
    return HISTORY_Y + row * HISTORY_LINE_HEIGHT + 5;
}

std::vector<std::string> history_texts() {
    std::vector<std::string> lines;
    for (const history_line& line : dialog.history) lines.push_back(std::string(1, line.marker) + line.text);
    return lines;
}

class DialogScreen : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(DIALOG_FONT, bit_font());
        test_fonts::install(FONT_4X8, bit_font());
        register_panel_decoder();
        // The background: a frame of index 40 around panels of 41, 42 and 43;
        // entries 254 and 255 are the line colours.
        install_picture(H_DIALOG, 640, 360, [](int x, int y) {
            if (y >= 245 && y < 355 && x >= 9 && x < 631) return uint8_t{43};
            if (x >= 372 && x < 631 && y >= 9 && y < 241) return uint8_t{42};
            if (x >= 11 && x < 343 && y >= 11 && y < 203) return uint8_t{41};
            return uint8_t{40};
        });
        // The line colours told apart: yellow lines, a cyan selected choice.
        auto* background = static_cast<picture*>(get_handle_writable(H_DIALOG));
        ASSERT_NE(background, nullptr);
        picture_palette(background)[DIALOG_LINE_INDEX] = 0x7FE0;
        picture_palette(background)[DIALOG_SELECTED_INDEX] = 0x03FF;
        reset_party();
        install_rules_into_world();
        make_member(0, "Hero", 0);
        make_member(1, "Mate", 1);
        ASSERT_TRUE(load_dialogs(warden_dialog()));
        install_dialogs_for_test();
        // The view the dialog captures: bands that show how it is scaled.
        for (int y = VIEW_FIRST_ROW; y < PANEL_FIRST_ROW - 1; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x)
                frame_buffer[y * SCREEN_PITCH + x] =
                    uint16_t(((x / 16) & 31) << 10 | ((y / 12) & 31) << 5 | 8);
    }
    void TearDown() override {
        if (dialog.running) dialog_screen_ended();
        dialog = dialog_state{};
        dialog_flag_bytes().fill(0);
        set_dialog_world(nullptr);
        load_dialogs({});
        remove_rules_from_world();
        reset_map_services();
        reset_party();
        reset_font_state();
        for (handle_id id : {DIALOG_FONT, FONT_4X8, H_PANEL, H_DIALOG}) undefine_handle(id);
        WindowTest::TearDown();
    }
    // The game's dialog world over the test's dialogs (install_dialogs would
    // read the file from the maps folder).
    static void install_dialogs_for_test() {
        const std::vector<uint8_t> kept(game_dialogs().bytes);
        install_dialogs();
        ASSERT_TRUE(load_dialogs(kept));
    }
    static void make_member(int slot, const char* name, uint8_t female) {
        party_member& m = party_members[slot];
        m.used = 1;
        m.group = 1;
        m.female = female;
        m.level = 1;
        std::snprintf(m.name, sizeof m.name, "%s", name);
        const int16_t base[8] = {30, 10, 30, 25, 40, 30, 10, 1};
        std::copy(base, base + 8, m.base_stats);
        recompute_stats(m);
        m.hp = m.stats[STAT_HP_MAX];
        m.sector = static_cast<int16_t>(party.sector);
    }
    static int portrait_x(int position) { return party_slot_x(position) + 20; }
    static constexpr int PORTRAIT_Y = PANEL_FIRST_ROW + 40;
    static void finish(int poll) {
        at(poll, [] { stop_flag = 1; });
    }
};

TEST_F(DialogScreen, KeysPickAChoiceContinueTheWaitAndAPortraitAnswersByName) {
    at(1, [] {
        start_game_screen();
        dialog_start(1, -1);
        EXPECT_FALSE(scene.running);
        EXPECT_EQ(dialog.waiting, dialog_wait::ask);
        EXPECT_EQ(history_texts(), (std::vector<std::string>{"MWho goes there?", "EHe holds a crossbow.",
                                                             "0Friends.", "1Nobody."}));
    });
    key(2, 0x5000);  // Down: the history fits, so the next choice
    at(3, [] { EXPECT_EQ(dialog.selected_choice, 1); });
    key(3, 0x4800);  // Up
    at(4, [] { EXPECT_EQ(dialog.selected_choice, 0); });
    key(4, KEY_ENTER);
    at(5, [] {
        EXPECT_EQ(dialog.waiting, dialog_wait::wait);
        EXPECT_EQ(history_texts(), (std::vector<std::string>{"MWho goes there?", "EHe holds a crossbow.",
                                                             "MFriends.", "E", "MGood."}));
    });
    key(5, 0x3920);  // Space goes on after WAIT
    at(6, [] { EXPECT_EQ(dialog.waiting, dialog_wait::pick_portrait); });
    click(6, portrait_x(1), PORTRAIT_Y);  // Mate answers
    at(8, [] {
        EXPECT_EQ(dialog.slots[0].position, 1);
        EXPECT_EQ(dialog.waiting, dialog_wait::ask);
        ASSERT_GE(dialog.history.size(), 2u);
        EXPECT_EQ(dialog.history[dialog.history.size() - 2].text, "Hello Mate.");
    });
    click(9, 600, 100);  // one choice: any click picks it
    at(11, [] {
        EXPECT_FALSE(dialog.running);
        EXPECT_FALSE(dialog_screen_running());
        EXPECT_TRUE(scene.running);  // the game screen is back
    });
    finish(12);
    main_loop();
    stop_game_screen();
}

TEST_F(DialogScreen, AClickSelectsAChoiceTheReleasePicksItAndARightClickRefusesThePortrait) {
    at(1, [] { dialog_start(1, -1); });
    at(2, [] { EXPECT_TRUE(golden::matches(golden_dir + "dialog_choices.png", frame_buffer)); });
    mouse(3, 100, history_row_y(3), MOUSE_EV_LEFT_DOWN, true);  // "Nobody."
    at(4, [] {
        EXPECT_EQ(dialog.selected_choice, 1);
        EXPECT_EQ(dialog.waiting, dialog_wait::ask);  // picked only on the release
        EXPECT_TRUE(golden::matches(golden_dir + "dialog_selected.png", frame_buffer));
    });
    mouse(4, 100, history_row_y(3), MOUSE_EV_LEFT_UP, false);
    at(5, [] {
        EXPECT_EQ(dialog.waiting, dialog_wait::pick_portrait);
        EXPECT_EQ(dialog.history.back().text, "Who lies?");
    });
    mouse(6, 300, 200, MOUSE_EV_RIGHT_DOWN, false, true);
    at(7, [] {
        EXPECT_EQ(dialog.waiting, dialog_wait::ask);
        EXPECT_EQ(dialog.slots[0].position, 255);
        EXPECT_EQ(history_texts().back(), "0Bye.");
    });
    key(8, KEY_ENTER);
    at(9, [] { EXPECT_FALSE(dialog.running); });
    key(10, 0x5000);  // the dialog's keys are gone with it
    finish(11);
    main_loop();
}

TEST_F(DialogScreen, TheMapsDialogWaitsUntilThePartyStandsStill) {
    movement.moving = true;
    map_services.start_dialog(1);
    at(3, [] {
        EXPECT_FALSE(dialog.running);
        movement.moving = false;
    });
    at(5, [] { EXPECT_EQ(dialog.waiting, dialog_wait::ask); });
    finish(6);
    main_loop();
}

TEST_F(DialogScreen, AScriptThatNeverWaitsEndsAndGivesTheGameScreenBack) {
    at(1, [] {
        start_game_screen();
        dialog_start(6, -1);
        EXPECT_FALSE(dialog.running);
        EXPECT_FALSE(dialog_screen_running());
        EXPECT_TRUE(scene.running);
    });
    finish(2);
    main_loop();
    stop_game_screen();
}

TEST(DialogCapture, SeventeenColumnsGiveNineAndNineRowsGiveFive) {
    const int columns[] = {0, 2, 4, 6, 8, 9, 11, 13, 15, 17, 19};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(capture_source_column(i), columns[i]) << i;
    const int rows[] = {0, 2, 4, 6, 8, 9, 11, 13, 15, 17, 18};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(capture_source_row(i), rows[i]) << i;
    EXPECT_EQ(capture_source_row(CAPTURE_HEIGHT - 1), 359);  // the last row of the view
    EXPECT_LE(capture_source_column(CAPTURE_WIDTH - 1), SCREEN_WIDTH - 1);
}

}  // namespace
