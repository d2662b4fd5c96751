#include <SDL2/SDL_scancode.h>

#include "gfx/draw.h"

#include "platform/input.h"
#include "toolkit_fixture.h"

using ui_test::Toolkit;

namespace {
constexpr uint16_t HOME = 0x4700, LEFT = 0x4B00, RIGHT = 0x4D00, END = 0x4F00, DEL = 0x5300;
constexpr uint16_t BACKSPACE = 0x0E08, ESCAPE = 0x011B;

class InputLine : public Toolkit {
  protected:
    void SetUp() override {
        Toolkit::SetUp();
        open_test_window(0, 0, 0, 0);
        open_test_window(100, 100, 300, 100);
        define_object(7, 10, 10, 200, 12, 0, ui_input_line, 8);
        redraw_window();
    }
    static std::string text() {
        char buffer[16] = {};
        get_object_data(0, 7, buffer, sizeof buffer - 1);
        return buffer;
    }
    // A key pressed on the keyboard, through the game's key translation and
    // its national layer (dead keys), as the keyboard poll sends it.
    void type_scancode(int scancode, bool shift = false) {
        const key_code raw = translate_key(scancode, shift, false);
        if (const key_code code = layer.translate(raw, false)) key(code);
    }
    national_keyboard layer;
};
}  // namespace

TEST_F(InputLine, EditingKeysAndCzechDeadKeysGiveTheExpectedText) {
    set_object_text(0, 7, "hrad");
    set_focus(7);
    key(END);
    key(BACKSPACE);  // "hra"
    key(HOME);
    key(DEL);   // "ra"
    key(LEFT);  // already at the start
    key(RIGHT);
    type_scancode(SDL_SCANCODE_EQUALS);  // acute dead key
    type_scancode(SDL_SCANCODE_E);
    type_scancode(SDL_SCANCODE_EQUALS, true);  // caron dead key
    type_scancode(SDL_SCANCODE_C);
    key(END);
    key(RIGHT);  // already at the end
    type_scancode(SDL_SCANCODE_S);
    // r, é, č, a, s in the game's code page.
    EXPECT_EQ(text(),
              "r\x82\x87"
              "as");
    EXPECT_EQ(input_editing.cursor, 5);
}

TEST_F(InputLine, FirstKeyAfterFocusReplacesAndEscapeRestores) {
    set_object_text(0, 7, "abc");
    set_focus(7);
    key(0x1E78);  // 'x' replaces the whole text
    EXPECT_EQ(text(), "x");
    key(0x1E79);
    EXPECT_EQ(text(), "xy");
    key(ESCAPE);
    EXPECT_EQ(text(), "abc");
    EXPECT_LE(input_editing.cursor, 3);
}

TEST_F(InputLine, FullLineTakesNoMoreCharactersUnlessReplacing) {
    set_object_text(0, 7, "12345678");
    set_focus(7);
    key(END);
    key(0x1E61);
    EXPECT_EQ(text(), "12345678");
    // A click on an empty part of the window gives focus out and in again:
    // the next character replaces the text.
    press(350, 180);
    key(0x1E61);
    EXPECT_EQ(text(), "a");
}

TEST_F(InputLine, TextLongerThanTheValueIsCutAndKeepsItsEnd) {
    set_object_text(0, 7, "a much longer text than eight");
    EXPECT_EQ(text(), "a much l");
    EXPECT_EQ(last_object->value.size(), 9u);
    EXPECT_EQ(last_object->value[8], 0);
    set_last_text("0123456789");
    EXPECT_EQ(last_object->value[8], 0);
    set_focus(7);
    key(END);
    EXPECT_EQ(input_editing.cursor, 8);
    key(0x1E61);
    EXPECT_EQ(text(), "01234567");
}

TEST_F(InputLine, ClickPlacesTheCursorAtTheCharacterUnderTheMouse) {
    set_object_text(0, 7, "abcdef");
    set_focus(7);
    // Glyphs are 5 pixels wide; the line starts at x = 110.
    press(110 + 12, 112);
    EXPECT_EQ(input_editing.cursor, 2);
    key(DEL);
    EXPECT_EQ(text(), "abdef");
}

namespace {
int keys_behind = 0;
void count_key(event_msg& msg, void**) {
    if (msg.number == EV_KEY) ++keys_behind;
}
}  // namespace

TEST_F(InputLine, KeyTypedIntoTheLineGoesNoFurtherButOtherwiseDoes) {
    keys_behind = 0;
    // Handlers added later see an event first: this one is added before the toolkit's.
    clear_event_tree();
    add_event_handler(EV_KEY, count_key);
    install_toolkit();
    key(0x1E61);  // nothing focused: the key passes
    EXPECT_EQ(keys_behind, 1);
    set_focus(7);
    key(0x1E61);
    EXPECT_EQ(keys_behind, 1);
    EXPECT_EQ(text(), "a");
}

TEST_F(InputLine, LongTextScrollsSoTheCursorStaysInTheBox) {
    top_window->objects->w = 22;  // room for four 5-pixel glyphs
    set_object_text(0, 7, "abcdefg");
    set_focus(7);
    key(END);
    redraw_window();
    // The cursor after the 7th character: the first visible one moved on to
    // 'd' so that fewer than 22 pixels lie between it and the cursor.
    ui_object* line = top_window->objects;
    draw_colour = line->colour;
    fill_rect(110, 300, 132, 312);
    apply_font_settings(line->font);
    set_text_position(110, 300);
    draw_text("defg");
    for (int y = 0; y < 12; ++y)
        for (int x = 110; x < 130; ++x)
            ASSERT_EQ(frame_buffer[(110 + y) * 640 + x], frame_buffer[(300 + y) * 640 + x]) << x << "," << y;
    key(HOME);
    key(0x1E78);
    EXPECT_EQ(text(), "xabcdefg");  // no replace after the first key: inserted at the start
}
