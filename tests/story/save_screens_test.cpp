// The save and load screens headless, over a folder of saves written by the
// test: the rows and their order, the autosave marks, the save screen's
// new-save row, saving over a row (a new file, the old one gone), deleting
// from the editor, a load that fails on a damaged file, the story panel,
// scrolling, the refusals in a battle and by the map's hook; a golden
// picture of each screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/strings.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "saves/temp_store.h"
#include "story/options_window.h"
#include "story/save_screens.h"
#include "support/golden.h"
#include "support/temp_folder.h"
#include "ui/toolkit.h"
#include "window_harness.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/panel.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";
constexpr uint32_t GAME = 0x65000001, OTHER_GAME = 0x65000002;
constexpr uint16_t KEY_UP = 0x4800, KEY_DOWN = 0x5000, KEY_PAGE_UP = 0x4900;

// A font of w-pixel glyphs drawn from the character's bits.
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

// A saved game whose store holds a story log of `lines` numbered lines.
void write_save(const std::string& folder, uint32_t game, uint32_t time, bool autosave,
                const std::string& description, int lines) {
    temp_store store;
    std::string story;
    for (int i = 1; i <= lines; ++i) story += description + " line " + std::to_string(i) + "\n";
    store.create("_STORY.TMP", story.data(), story.size());
    store.create("playtime", "\x3c\0\0\0", 4);
    ASSERT_TRUE(
        write_saved_game(build_path(folder, saved_game_name(game, time, autosave)), description, store));
}

std::vector<std::string> descriptions_shown() {
    std::vector<std::string> shown;
    for (const save_screen_row& row : save_screen_rows_shown())
        shown.push_back(row.description + (row.autosave ? " [auto]" : ""));
    return shown;
}

bool exists(const std::string& folder, const std::string& name) {
    return std::filesystem::exists(build_path(folder, name));
}

class a_battle final : public battle_screen {
  public:
    bool active() const override { return true; }
};

class SaveScreens : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(FONT_SADA16, bit_font(9, 10));  // the long description is squeezed
        test_fonts::install(FONT_5X8, bit_font(5, 8));
        test_fonts::install(FONT_6X9, bit_font(6, 9));
        const std::map<int, const char*> texts = {{75, "(unreadable)"}, {79, "The game did not load."},
                                                  {80, "OK"},           {81, "No saving in a battle."},
                                                  {98, "Save as"},      {172, "Delete"},
                                                  {239, "Cancel"}};
        for (const auto& [number, words] : texts) string_list_set(ui_strings, number, words);
        install_picture(H_SAVELOAD, LIST_HALF_W, SAVE_HALF_H,
                        [](int x, int y) { return uint8_t((y - 4) % SAVE_ROW_H < 2 || x < 20 ? 40 : 41); });
        install_picture(H_SVITEK, STORY_HALF_W, SAVE_HALF_H,
                        [](int x, int y) { return uint8_t(x < 40 || y < 30 ? 42 : 43 + (y / 12) % 2); });
        saved_folder = path_table[PATH_SAVEGAME];
        path_table[PATH_SAVEGAME] = folder.path();
        new_game_saves();
        set_game_identity(GAME);
        current_map = loaded_map{};
        std::snprintf(current_map.header.title.data(), current_map.header.title.size(), "Cellars");
        global_hooks = {};
        set_battle_screen(nullptr);
        panel_message.clear();
        // This game: three saves and two autosaves; another game: one save.
        write_save(folder.path(), GAME, 0x100, false, "At the gate", 3);
        write_save(folder.path(), GAME, 0x200, false, "Cellar stairs", 40);
        write_save(folder.path(), GAME, 0x250, true, "Cellars 00:05", 2);
        write_save(folder.path(), GAME, 0x300, false, "A rather long description!!", 1);
        write_save(folder.path(), GAME, 0x050, true, "Gate 00:01", 1);
        write_save(folder.path(), OTHER_GAME, 0x400, false, "Other game", 1);
    }
    void TearDown() override {
        screen_windows = {};
        options_links = {};
        set_battle_screen(nullptr);
        global_hooks = {};
        current_map = loaded_map{};
        new_game_saves();
        path_table[PATH_SAVEGAME] = saved_folder;
        reset_font_state();
        for (handle_id id : {FONT_SADA16, FONT_5X8, FONT_6X9, H_SAVELOAD, H_SVITEK}) undefine_handle(id);
        string_list_free(ui_strings);
        WindowTest::TearDown();
    }
    // The middle of the row shown at `i` on the screen whose list is at x.
    static int row_y(int i) { return SAVE_ROWS_Y + i * SAVE_ROW_H + SAVE_ROW_H / 2; }
    static void type(int poll, const std::string& text) {
        for (char c : text) key(poll++, uint16_t(0x1E00 | uint8_t(c)));
    }
    // A message window over the screen: one button (0) and no input line.
    static bool message_shown() {
        return save_screen_running() && top_window != first_window && find_object(0, 0) &&
               !find_object(0, 1) && !find_object(0, 10);
    }

    temp_folder folder;
    std::string saved_folder;
};

TEST_F(SaveScreens, SaveScreenListsThisGamesOwnSavesNewestFirstUnderAnEmptyRow) {
    mouse(2, SAVE_LIST_X + 20, row_y(2), MOUSE_EV_MOTION, false);
    at(4, [] {
        EXPECT_TRUE(save_screen_running());
        EXPECT_EQ(descriptions_shown(), (std::vector<std::string>{"", "A rather long description!!",
                                                                  "Cellar stairs", "At the gate"}));
        EXPECT_TRUE(save_screen_rows_shown()[0].name.empty());
        EXPECT_EQ(save_screen_selected(), 2);
        // The story panel ends with the last lines of the save's log.
        const std::vector<std::string> story = save_screen_story_shown();
        ASSERT_FALSE(story.empty());
        EXPECT_LT(story.size(), 40u);
        EXPECT_EQ(story.back(), "Cellar stairs line 40");
        EXPECT_TRUE(golden::matches(golden_dir + "save_screen.png", frame_buffer));
    });
    key(5, KEY_ESCAPE);
    save_screen();
    EXPECT_FALSE(save_screen_running());
}

TEST_F(SaveScreens, LoadScreenListsEveryRowOfThisGameWithAutosavesMarkedOrEveryGameWithoutOne) {
    mouse(2, LOAD_LIST_X + 20, row_y(0), MOUSE_EV_MOTION, false);
    at(4, [] {
        EXPECT_EQ(descriptions_shown(),
                  (std::vector<std::string>{"A rather long description!!", "Cellars 00:05 [auto]",
                                            "Cellar stairs", "At the gate", "Gate 00:01 [auto]"}));
        EXPECT_TRUE(golden::matches(golden_dir + "load_screen.png", frame_buffer));
    });
    mouse(5, 300, 200, MOUSE_EV_RIGHT_DOWN, false, true);
    load_screen();
    EXPECT_FALSE(save_screen_running());

    set_game_identity(0);  // no game running: every game's saves
    at(polls() + 2, [] { EXPECT_EQ(descriptions_shown().front(), "Other game"); });
    key(polls() + 3, KEY_ESCAPE);
    load_screen();
}

TEST_F(SaveScreens, SavingOverARowWritesANewFileWithTheEditedTextAndOnlyThenDeletesTheOldOne) {
    const std::string old_name = saved_game_name(GAME, 0x200, false);
    click(2, SAVE_LIST_X + 20, row_y(2));  // "Cellar stairs": the editor opens with it
    at(5, [] {
        ASSERT_NE(find_object(0, 10), nullptr);
        EXPECT_EQ(find_object(0, 10)->text(), "Cellar stairs");
    });
    key(6, 0x4F00);  // End: the typed text goes after the description
    type(7, " II");
    key(11, KEY_ENTER);
    save_screen();
    EXPECT_FALSE(save_screen_running());  // a save leaves the screen
    EXPECT_FALSE(exists(folder.path(), old_name));
    const std::vector<save_list_row> rows = build_save_list(folder.path(), GAME, true);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_GT(rows[0].name, saved_game_name(GAME, 0x300, false));  // made now, so newest
    EXPECT_EQ(read_saved_game_description(build_path(folder.path(), rows[0].name)), "Cellar stairs II");
}

TEST_F(SaveScreens, TheNewRowOffersTheMapAndTimeAndASecondSaveInTheSameSecondKeepsTheFile) {
    click(2, SAVE_LIST_X + 20, row_y(0));
    at(5, [] { EXPECT_EQ(find_object(0, 10)->text(), "Cellars"); });
    at(5, [] { EXPECT_EQ(find_object(0, 40), nullptr); });  // nothing to delete
    key(6, KEY_ENTER);
    save_screen();
    const std::vector<save_list_row> after_first = build_save_list(folder.path(), GAME, true);
    ASSERT_EQ(after_first.size(), 4u);
    // Saved over at once, the new file has the same name as the row's: it stays.
    const std::string made = after_first[0].name;
    if (parse_saved_game_name(made)->save_time != save_time_now()) GTEST_SKIP() << "a second passed";
    click(polls() + 2, SAVE_LIST_X + 20, row_y(1));
    key(polls() + 6, KEY_ENTER);
    save_screen();
    EXPECT_TRUE(exists(folder.path(), made));
    EXPECT_EQ(build_save_list(folder.path(), GAME, true).size(), 4u);
}

TEST_F(SaveScreens, TheEditorsDeleteRemovesTheRowsFileAndCancelKeepsEverything) {
    click(2, SAVE_LIST_X + 20, row_y(3));  // "At the gate"
    at(5, [] {
        const ui_object* button = find_object(0, 40);
        ASSERT_NE(button, nullptr);
        click(6, button->screen_x + 4, button->screen_y + 4);
    });
    at(10, [] {
        EXPECT_TRUE(save_screen_running());
        EXPECT_EQ(descriptions_shown(),
                  (std::vector<std::string>{"", "A rather long description!!", "Cellar stairs"}));
    });
    click(11, SAVE_LIST_X + 20, row_y(1));
    key(14, KEY_ESCAPE);  // the editor cancelled: the list again
    at(16, [] {
        EXPECT_TRUE(save_screen_running());
        EXPECT_EQ(descriptions_shown().size(), 3u);
    });
    key(17, KEY_ESCAPE);
    save_screen();
    EXPECT_FALSE(exists(folder.path(), saved_game_name(GAME, 0x100, false)));
    EXPECT_TRUE(exists(folder.path(), saved_game_name(GAME, 0x200, false)));
    EXPECT_EQ(std::filesystem::directory_iterator(folder.path()) == std::filesystem::directory_iterator(),
              false);
}

TEST_F(SaveScreens, ADamagedSaveFailsToLoadWithTheMessageAndTheListAgain) {
    const std::string damaged = saved_game_name(GAME, 0x500, false);
    folder.write(damaged, std::string("Damaged\0", 8) + std::string(24, '\0') + "\x0a_GAME.TMP\xff");
    click(2, LOAD_LIST_X + 20, row_y(0));
    at(5, [] { EXPECT_TRUE(message_shown()); });
    key(6, KEY_ENTER);
    at(8, [damaged] {
        EXPECT_TRUE(save_screen_running());
        ASSERT_FALSE(save_screen_rows_shown().empty());
        EXPECT_EQ(save_screen_rows_shown()[0].name, damaged);
        EXPECT_EQ(game_identity(), GAME);  // nothing of the game changed
    });
    key(9, KEY_ESCAPE);
    load_screen();
    EXPECT_TRUE(exists(folder.path(), damaged));
}

TEST_F(SaveScreens, AFileGoneBeforeItsRowIsShownReadsAsUnreadableWithNoStory) {
    for (uint32_t t = 0x700; t < 0x708; ++t) write_save(folder.path(), GAME, t, false, "More", 1);
    // The oldest save's row is below the first ten: its description is read
    // only when it scrolls into view, after its file is gone.
    at(2, [this] { std::filesystem::remove(folder / saved_game_name(GAME, 0x100, false)); });
    key(3, KEY_DOWN);
    key(4, KEY_DOWN);
    mouse(5, SAVE_LIST_X + 20, row_y(9), MOUSE_EV_MOTION, false);
    at(7, [] {
        EXPECT_EQ(save_screen_selected(), 11);
        EXPECT_EQ(descriptions_shown().back(), "(unreadable)");
        EXPECT_TRUE(save_screen_story_shown().empty());
    });
    key(8, KEY_ESCAPE);
    save_screen();
}

TEST_F(SaveScreens, TheWheelScrollsTheListOrOverThePanelTheStory) {
    for (uint32_t t = 0x700; t < 0x708; ++t) write_save(folder.path(), GAME, t, false, "More", 1);
    // Eleven saves under the new row: the list moves down by at most two.
    mouse(2, SAVE_LIST_X + 20, row_y(0), MOUSE_EV_MOTION, false);
    for (int k = 0; k < 5; ++k) key(3 + k, KEY_DOWN);
    at(9, [] {
        EXPECT_EQ(save_screen_first_row(), 2);
        EXPECT_EQ(save_screen_selected(), 2);  // the row under the pointer moved with the list
    });
    key(10, KEY_UP);
    at(11, [] { EXPECT_EQ(save_screen_first_row(), 1); });
    // "Cellar stairs" (40 lines, list row 10): over the panel the wheel
    // scrolls its story and leaves the list alone.
    mouse(12, SAVE_LIST_X + 20, row_y(9), MOUSE_EV_MOTION, false);
    at(13, [] { EXPECT_EQ(save_screen_selected(), 10); });
    mouse(14, SAVE_STORY_X + 50, STORY_PANEL_Y + 50, MOUSE_EV_MOTION, false);
    key(15, KEY_UP);
    key(16, KEY_UP);
    at(17, [] {
        EXPECT_EQ(save_screen_first_row(), 1);
        EXPECT_EQ(save_screen_selected(), 10);
        EXPECT_EQ(save_screen_story_shown().back(), "Cellar stairs line 38");
    });
    for (int k = 0; k < 4; ++k) key(18 + k, KEY_PAGE_UP);
    at(23, [] { EXPECT_EQ(save_screen_story_shown().front(), "Cellar stairs line 1"); });
    key(24, KEY_ESCAPE);
    save_screen();
}

TEST_F(SaveScreens, SavingIsRefusedInABattleWithItsTextAndWhenTheMapsHookForbidsIt) {
    a_battle battle;
    set_battle_screen(&battle);
    open_save_screen();
    EXPECT_EQ(panel_message, "No saving in a battle.");
    EXPECT_EQ(polls(), 0);  // the screen never ran
    const size_t files = build_save_list(folder.path(), GAME, false).size();
    quick_save();  // F5 in a battle writes nothing
    EXPECT_EQ(build_save_list(folder.path(), GAME, false).size(), files);
    set_battle_screen(nullptr);

    global_hooks[HOOK_BEFORE_SAVE] = {1, 0, 1, 0};  // a hook that cancels
    open_save_screen();
    EXPECT_EQ(polls(), 0);
    global_hooks[HOOK_BEFORE_SAVE].cancel = 0;  // one that lets it open
    key(2, KEY_ESCAPE);
    open_save_screen();
    EXPECT_GE(polls(), 2);
}

TEST_F(SaveScreens, F2InTheOptionsWindowOpensTheSaveScreenOverItAndLeavesItAsItWas) {
    install_save_screens();
    static std::vector<uint16_t> options_shown;
    // Once the switches have slid into place.
    at(40, [] { options_shown.assign(frame_buffer, frame_buffer + SCREEN_WIDTH * SCREEN_HEIGHT); });
    key(41, 0x3C00);
    at(43, [] { EXPECT_TRUE(save_screen_running()); });
    key(44, 0x3D00);  // F3 on the save screen is no key of the window under it
    key(45, KEY_ESCAPE);
    at(47, [] {
        EXPECT_FALSE(save_screen_running());
        EXPECT_NE(top_window, first_window);  // the options window is still open
        EXPECT_TRUE(std::equal(options_shown.begin(), options_shown.end(), frame_buffer));
    });
    key(48, KEY_ESCAPE);
    options_window();
    EXPECT_EQ(top_window, first_window);
}

TEST_F(SaveScreens, TheQuickSaveWritesAnAutosaveWhateverTheSwitch) {
    quick_save();
    const std::vector<save_list_row> rows = build_save_list(folder.path(), GAME, false);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(rows[0].autosave);
    EXPECT_EQ(read_saved_game_description(build_path(folder.path(), rows[0].name)), "Cellars");
}

}  // namespace
