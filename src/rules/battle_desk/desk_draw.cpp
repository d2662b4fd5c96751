// What the battle screen draws: the planning controls over the arrow panel,
// the acting member's plan and the hand box over the view.
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "base/strings.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/game_tables.h"
#include "rules/items.h"
#include "rules/party.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

battle_desk_state desk;

namespace {

constexpr uint16_t BOX_FILL = 0x0C63, BOX_EDGE = 0x5AA6, BOX_LIGHT = 0x7F1A, FIELD_FILL = 0x0842;
constexpr uint16_t PLAN_COLOUR = 0x6B5A, TITLE_COLOUR = 0x7FE0;  // the others light grey, the planner yellow

const char* ui_text(int number) {
    const char* text = string_list_get(ui_strings, number);
    return text ? text : "";
}

// Without the picture the buttons are still there: plain frames.
void draw_button_outlines() {
    draw_colour = 0x0842;
    fill_rect(ARROWS_X, ARROWS_Y, ARROWS_X + ARROWS_WIDTH - 1, ARROWS_Y + ARROWS_HEIGHT - 1);
    for (int button = 0; button < DESK_BUTTONS; ++button) {
        const desk_rect r = desk_button_rect(button);
        draw_rect(r.x, r.y, r.x + r.w - 1, r.y + r.h - 1, button == desk.pressed ? BOX_LIGHT : BOX_EDGE);
    }
}

// An item's icon (45 x 55 of its icon library) with index 0 left out.
void draw_item_icon(int item, int x, int y) {
    const item_def* def = game_items().find(item);
    if (!def) return;
    const std::span<const uint8_t> bytes = game_icons().icon_picture(def->icon);
    if (bytes.size() < static_cast<size_t>(ICON_PICTURE_BYTES)) return;
    const uint8_t* palette = bytes.data() + ICON_HEADER_BYTES;
    const uint8_t* pixels = palette + ICON_PALETTE_BYTES;
    for (int row = 0; row < ICON_HEIGHT; ++row)
        for (int column = 0; column < ICON_WIDTH; ++column) {
            const uint8_t index = pixels[row * ICON_WIDTH + column];
            const int px = x + column, py = y + row;
            if (index == 0 || px < 0 || py < 0 || px >= SCREEN_WIDTH || py >= SCREEN_HEIGHT) continue;
            *pixel_address(px, py) =
                static_cast<uint16_t>(palette[2 * index] | palette[2 * index + 1] << 8) & 0x7FFF;
        }
}

void draw_centred_text(int x, int y, const char* text) {
    set_aligned_position(x, y, ALIGN_CENTRE, ALIGN_START, text);
    draw_text(text);
}

void draw_hand_box() {
    const desk_rect box = hand_box_rect(desk.both_offered);
    draw_colour = BOX_FILL;
    fill_rect(box.x, box.y, box.x + box.w - 1, box.y + box.h - 1);
    draw_rect(box.x, box.y, box.x + box.w - 1, box.y + box.h - 1, BOX_EDGE);
    draw_rect(box.x + 1, box.y + 1, box.x + box.w - 2, box.y + box.h - 2, BOX_LIGHT);
    const party_member* m =
        battle.acting >= 0 && battle.acting < PARTY_SLOTS ? &party_members[battle.acting] : nullptr;
    if (screen_font(FONT_SADA16, TITLE_COLOUR))
        draw_centred_text(box.x + box.w / 2, box.y + 4, ui_text(TEXT_ACTION_NAMES + BA_ATTACK));
    for (int choice = 0; choice < (desk.both_offered ? 3 : 2); ++choice) {
        const desk_rect f = hand_field_rect(choice);
        draw_colour = FIELD_FILL;
        fill_rect(f.x, f.y, f.x + f.w - 1, f.y + f.h - 1);
        draw_rect(f.x, f.y, f.x + f.w - 1, f.y + f.h - 1, BOX_EDGE);
        if (m) {
            const int icon_x = f.x + (f.w - ICON_WIDTH) / 2, icon_y = f.y + 3;
            if (choice == HAND_BOTH) {
                // Both weapons, one behind the other.
                draw_item_icon(m->worn[8], icon_x + 6, icon_y);
                draw_item_icon(m->worn[7], icon_x - 6, icon_y);
            } else {
                draw_item_icon(m->worn[7 + choice], icon_x, icon_y);
            }
        }
        // The key that chooses the field.
        if (screen_font(FONT_SADA16, TITLE_COLOUR)) {
            const char key[2] = {static_cast<char>('1' + choice), 0};
            draw_centred_text(f.x + f.w / 2, f.y + f.h - 17, key);
        }
    }
}

// The plans made so far, a line a member: "name: action, action" by the
// actions' names; the member who plans now in yellow, even with no plan yet.
void draw_plan_list() {
    int y = PLAN_LIST_Y;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        const party_member& m = party_members[slot];
        const bool acting = slot == battle.acting;
        if (!m.used || (!acting && (m.planned == 0 || !m.plan))) continue;
        std::string line = m.name;
        if (m.plan && m.planned > 0) {
            line += ":";
            for (int i = 0; i < m.planned && m.plan[i].action != BA_END; ++i) {
                line += i ? ", " : " ";
                line += ui_text(TEXT_ACTION_NAMES + m.plan[i].action);
            }
        }
        if (!screen_font(FONT_SADA16, acting ? TITLE_COLOUR : PLAN_COLOUR)) return;
        set_text_position(PLAN_LIST_X, y);
        draw_text(line.c_str());
        y += PLAN_LINE_HEIGHT;
    }
}

}  // namespace

void draw_desk_controls() {
    if (battle.phase != BATTLE_PLANNING) return;
    const picture* pic = screen_picture(H_M_SOUBOJ);
    if (!pic || pic->width < DESK_PICTURE_WIDTH || pic->height < DESK_FRAME_ROWS) {
        draw_button_outlines();
        return;
    }
    // A pressed button's frame when the picture has it, else the panel at rest.
    const int frame =
        desk.pressed >= 0 && pic->height >= (desk.pressed + 2) * DESK_FRAME_ROWS ? desk.pressed + 1 : 0;
    put_picture_rows(pic, pixel_address(ARROWS_X, ARROWS_Y), frame * DESK_FRAME_ROWS, DESK_PICTURE_WIDTH,
                     DESK_FRAME_ROWS);
}

void draw_desk_overlay() {
    if (battle.phase != BATTLE_PLANNING) return;
    draw_plan_list();
    if (desk.choosing_hand) draw_hand_box();
}
