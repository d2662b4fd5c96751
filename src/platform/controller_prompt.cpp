// The start-up notice shown while a game controller is connected but not yet
// used: it asks the player to press a controller button.
#include <string>

#include "base/strings.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "platform/display.h"

namespace {
constexpr int PROMPT_WIDTH = 560, PROMPT_TOP = 100, PROMPT_LINE_STEP = 20;
constexpr int PROMPT_WAITS = 100, PROMPT_WAIT_MS = 100;
}  // namespace

void controller_prompt() {
    set_font(FONT_SADA16, 0x7FFF);
    const char* text = string_list_get(ui_strings, 0);
    const wrapped_text wrapped = wrap_text(text ? text : "", PROMPT_WIDTH);
    int y = PROMPT_TOP;
    for (const std::string& line : wrapped.lines) {
        set_aligned_position(SCREEN_WIDTH / 2, y, ALIGN_CENTRE, ALIGN_START, line);
        draw_text(line);
        y += PROMPT_LINE_STEP;
    }
    present_rect(0, 0, 0, 0);
    IDisplay& d = display();
    for (int i = 0; i < PROMPT_WAITS; ++i) {
        if (d.controller_activated()) return;
        if (d.key_available()) {
            d.read_key();  // the key only ends the prompt
            return;
        }
        d.sleep_ms(PROMPT_WAIT_MS);
    }
}
