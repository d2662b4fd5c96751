#include "story/inventory_screen.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/input.h"
#include "rules/game_tables.h"
#include "rules/items_info.h"
#include "rules/items_load.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "rules/spells/spells_game.h"
#include "story/body_picture.h"
#include "story/character_sheet.h"
#include "story/held_items.h"
#include "story/inventory_pictures.h"
#include "story/member_figures.h"
#include "story/story_pictures.h"
#include "world/game_screen.h"
#include "world/panel.h"

inventory_setup_t inventory_setup;

namespace {

constexpr int SCAN_ESCAPE = 1, SCAN_I = 23, SCAN_R = 19;  // R: the rune panel
constexpr uint16_t BACKGROUND = 0x1084, CELL_FRAME = 0x318C, NAME_COLOUR = 0x7FFF, QUIVER_COLOUR = 0x7FE0;
constexpr uint16_t INFO_FACE = 0x0842, INFO_FRAME = 0x5294, INFO_TEXT = 0x7BDE, INFO_UNMET = 0x7C00;
constexpr uint16_t BUTTON_FACE = 0x294A, BUTTON_LIGHT = 0x5AD6, BUTTON_DARK = 0x0842, BUTTON_INK = 0x7FFF;

struct screen_state {
    bool running = false;
    int slot = -1;
    bool sheet = false;  // chosen with the switch button
    int hovered_item = 0;
    // The body built for the shown member, and what it was built from.
    std::optional<body_picture> body;
    int body_slot = -1;
    int16_t body_worn[WORN_SLOTS] = {};
    uint16_t body_flags = 0;
    uint8_t body_face = 0, body_female = 0;
};
screen_state screen;

// The game's pictures: the figures from the adventure's files, body pictures
// and icons from what the start sequence loaded with ITEMS.DAT.
inventory_pictures* pictures() {
    static file_inventory_pictures game_pictures(&game_item_files(), &game_icons());
    return inventory_setup.pictures ? inventory_setup.pictures : &game_pictures;
}

item_table& items() {
    return inventory_setup.items ? *inventory_setup.items : game_items();
}
inventory_world& world() {
    // The game's reach beyond the items: potions and food cast their spells.
    return inventory_setup.world ? *inventory_setup.world : spells_inventory_world();
}
party_member& shown() {
    return party_members[screen.slot];
}
std::string game_text(int number) {
    return interface_text(number);
}

bool sheet_forced(const party_member& member) {
    return !can_handle_items(member);
}
bool sheet_visible() {
    return screen.sheet || sheet_forced(shown());
}

// ---- The body ----------------------------------------------------------------

const body_picture& body_of_shown() {
    const party_member& m = shown();
    const uint16_t flags = static_cast<uint16_t>(m.stats[STAT_FLAGS]);
    const bool same = screen.body && screen.body_slot == screen.slot && screen.body_flags == flags &&
                      screen.body_face == m.face && screen.body_female == m.female &&
                      std::equal(m.worn, m.worn + WORN_SLOTS, screen.body_worn);
    if (same) return *screen.body;
    screen.body = build_member_body(m, items(), *pictures());
    screen.body_slot = screen.slot;
    screen.body_flags = flags;
    screen.body_face = m.face;
    screen.body_female = m.female;
    std::copy(m.worn, m.worn + WORN_SLOTS, screen.body_worn);
    return *screen.body;
}

// The equipment slot under a point of the body picture: a worn item's
// picture, or, on the figure itself, the container (it has no picture of its
// own on the body, so the figure stands for it).
int body_slot_at(int x, int y) {
    const body_picture& body = body_of_shown();
    const int slot = worn_slot_at(body, x, y);
    if (slot >= 0) return slot;
    if (shown().worn[SLOT_CONTAINER] != 0 && body.pixel(x, y) != BODY_TRANSPARENT) return SLOT_CONTAINER;
    return -1;
}

// ---- Where things are ------------------------------------------------------------

int backpack_rows(const party_member& m) {
    const int size = std::clamp<int>(m.inventory_size, 1, BACKPACK_MAX);
    return (size - 1) / BACKPACK_COLUMNS + 1;
}

void belt_cell(int position, int& x, int& y) {
    x = BELT_CENTRE_X - BELT_CELL_W / 2;
    y = BELT_FIRST_CENTRE_Y + BELT_STEP * position - BELT_CELL_H / 2;
}

bool inside(int x, int y, int left, int top, int w, int h) {
    return x >= left && x < left + w && y >= top && y < top + h;
}

// The party slot shown at a position of the party bar (used slots in order).
int party_slot_at_position(int position) {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (party_members[slot].used && position-- == 0) return slot;
    return -1;
}

int item_at(const inventory_hit& hit) {
    const party_member& m = shown();
    switch (hit.spot) {
        case inventory_spot::body: {
            const int slot = body_slot_at(hit.x, hit.y);
            return slot >= 0 ? m.worn[slot] : 0;
        }
        case inventory_spot::backpack:
            return m.inventory[hit.index];
        case inventory_spot::belt:
            return m.worn[SLOT_BELT + hit.index];
        default:
            return 0;
    }
}

// ---- Drawing ------------------------------------------------------------------------

void draw_icon(uint16_t icon, int left, int top, int clip_x, int clip_y, int clip_w, int clip_h) {
    const picture* pic = pictures()->icon(icon);
    if (!pic) return;
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* pixels = picture_pixels8(pic);
    for (int y = 0; y < pic->height; ++y)
        for (int x = 0; x < pic->width; ++x) {
            const int sx = left + x, sy = top + y;
            if (!inside(sx, sy, clip_x, clip_y, clip_w, clip_h) || sx >= SCREEN_WIDTH || sy >= SCREEN_HEIGHT)
                continue;
            const uint8_t index = pixels[static_cast<size_t>(y) * pic->width + x];
            if (index) *pixel_address(sx, sy) = palette[index];
        }
}

void draw_item_in(int item, int x, int y, int w, int h) {
    const item_def* def = items().find(item);
    if (!def) return;
    const picture* pic = pictures()->icon(def->icon);
    if (!pic) return;
    draw_icon(def->icon, x + (w - pic->width) / 2, y + (h - pic->height) / 2, x, y, w, h);
}

void draw_cell(int x, int y, int w, int h) {
    if (const picture* cell = window_picture(H_IMRIZ1); cell && w == BACKPACK_CELL_W) {
        put_picture(x, y, cell);
        return;
    }
    draw_rect(x, y, x + w - 1, y + h - 1, CELL_FRAME);
}

void draw_backpack(const party_member& m) {
    const int size = std::clamp<int>(m.inventory_size, 0, BACKPACK_MAX);
    for (int cell = 0; cell < size; ++cell) {
        const int x = BACKPACK_X + cell % BACKPACK_COLUMNS * BACKPACK_CELL_W;
        const int y = BACKPACK_Y + cell / BACKPACK_COLUMNS * BACKPACK_CELL_H;
        draw_cell(x, y, BACKPACK_CELL_W, BACKPACK_CELL_H);
        draw_item_in(m.inventory[cell], x, y, BACKPACK_CELL_W, BACKPACK_CELL_H);
    }
}

void draw_belt(const party_member& m) {
    for (int position = 0; position < BELT_SLOTS; ++position) {
        int x = 0, y = 0;
        belt_cell(position, x, y);
        draw_cell(x, y, BELT_CELL_W, BELT_CELL_H);
        draw_item_in(m.worn[SLOT_BELT + position], x, y, BELT_CELL_W, BELT_CELL_H);
    }
}

void draw_switch_button() {
    const int x = SWITCH_X, y = SWITCH_Y;
    draw_raised_button(x, y, SWITCH_W, SWITCH_H);
    const int cx = x + SWITCH_W / 2, cy = y + SWITCH_H / 2;
    if (sheet_visible()) {
        // A small figure: back to the body.
        draw_rect(cx - 2, cy - 8, cx + 2, cy - 4, BUTTON_INK);
        draw_vline(cx, cy - 4, cy + 3);
        draw_hline(cx - 5, cy - 2, cx + 5);
        draw_line(cx, cy + 3, cx - 4, cy + 8);
        draw_line(cx, cy + 3, cx + 4, cy + 8);
    } else {
        // A written page: the sheet.
        draw_rect(cx - 6, cy - 8, cx + 6, cy + 8, BUTTON_INK);
        for (int line = -5; line <= 5; line += 3) draw_hline(cx - 4, cy + line, cx + 4);
    }
}

void draw_item_information(const party_member& m, int item, std::optional<int> price = std::nullopt) {
    const std::optional<item_info_text> info = describe_item(items(), m, item, game_text, price);
    if (!info) return;
    draw_colour = INFO_FACE;
    fill_rect(INFO_X, INFO_Y, INFO_X + INFO_W - 1, INFO_Y + INFO_H - 1);
    draw_rect(INFO_X, INFO_Y, INFO_X + INFO_W - 1, INFO_Y + INFO_H - 1, INFO_FRAME);
    set_font(FONT_SADA16, info->unmet ? INFO_UNMET : INFO_TEXT);
    int y = INFO_Y + 3;
    for (const std::string* line : {&info->name, &info->description, &info->requirements}) {
        set_text_position(INFO_X + 6, y);
        draw_text(*line);
        y += 13;
    }
}

void draw_party_bar() {
    const auto* panel = static_cast<const uint16_t*>(get_handle_data(H_PANEL));
    if (panel && handle_length(H_PANEL) >= SCREEN_PITCH * PANEL_ROWS * 2)
        copy_rows_to_screen(panel, INVENTORY_ROWS, PANEL_ROWS);
}

void draw_screen() {
    set_target(frame_buffer);
    const party_member& m = shown();
    if (const picture* backdrop = window_picture(H_IOBLOUK)) {
        put_picture(0, 0, backdrop);
    } else {
        draw_colour = BACKGROUND;
        fill_rect(0, 0, SCREEN_WIDTH - 1, INVENTORY_ROWS - 1);
    }
    draw_body_picture(body_of_shown(), BODY_X, BODY_Y);
    set_font(FONT_SADA16, NAME_COLOUR);
    set_aligned_position(NAME_CENTRE_X, NAME_CENTRE_Y, ALIGN_CENTRE, ALIGN_CENTRE, m.name);
    draw_text(m.name);
    if (sheet_visible())
        draw_character_sheet(m, game_text);
    else
        draw_backpack(m);
    draw_belt(m);
    if (m.arrows != 0) {
        const std::string count = std::to_string(m.arrows);
        set_font(FONT_SADA16, QUIVER_COLOUR);
        set_aligned_position(QUIVER_TEXT_X, QUIVER_TEXT_Y, ALIGN_CENTRE, ALIGN_CENTRE, count);
        draw_text(count);
    }
    draw_switch_button();
    if (screen.hovered_item) draw_item_information(m, screen.hovered_item);
    draw_colour = 0;
    draw_hline(0, INVENTORY_ROWS - 1, SCREEN_WIDTH - 1);
    draw_party_bar();
    draw_rune_panel();  // over the backpack while it is open
}

void show_everything() {
    draw_screen();
    present_rect(0, 0, 0, 0);
    show_held_cursor(held_items(), items(), pictures());
}

// ---- Clicks ----------------------------------------------------------------------------

std::vector<combine_rule> combine_rules() {
    return inventory_setup.combine_rules ? inventory_setup.combine_rules() : read_combine_rules();
}

bool shift_held() {
    return inventory_setup.shift_held && inventory_setup.shift_held();
}

void show_member(int slot) {
    screen.slot = slot;
    party_state.current = slot;
    screen.hovered_item = 0;
}

void left_click(int x, int y) {
    const inventory_hit hit = inventory_spot_at(x, y);
    party_member& m = shown();
    held_list& held = held_items();
    switch (hit.spot) {
        case inventory_spot::portrait:
            if (held.empty())
                show_member(hit.index);
            else
                give_items(items(), party_members[hit.index], held, true);
            panel_back_to_party(false);
            break;
        case inventory_spot::switch_view:
            screen.sheet = !screen.sheet;
            break;
        case inventory_spot::plus:
            party_state.current = screen.slot;
            raise_attribute(hit.index);
            panel_back_to_party(false);
            break;
        case inventory_spot::body:
            if (held.empty()) {
                const int slot = body_slot_at(hit.x, hit.y);
                if (slot >= 0) pick_from_body(items(), m, slot, held, world());
            } else {
                drop_on_body(items(), m, held, hit.x, world());
            }
            panel_back_to_party(false);
            break;
        case inventory_spot::backpack:
            click_backpack(items(), m, hit.index, held, combine_rules(), world());
            break;
        case inventory_spot::belt:
            click_belt(items(), m, hit.index, held);
            break;
        case inventory_spot::quiver:
            click_quiver(items(), m, held, shift_held());
            break;
        case inventory_spot::none:
            return;
    }
    screen.hovered_item = item_at(inventory_spot_at(x, y));
    show_everything();
}

void leave() {
    stop_flag = 1;
}

void screen_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !screen.running) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    const int scan = code >> 8, character = code & 0xFF;
    if (code != KEY_CLOSE_REQUEST && rune_panel().open) {
        rune_panel_key(scan);
        show_everything();
        msg.number = EV_STOP;
        return;
    }
    if (scan == SCAN_R) {
        open_rune_panel(screen.slot);  // outside battle the spell is cast at once
        show_everything();
        msg.number = EV_STOP;
        return;
    }
    if (code == KEY_CLOSE_REQUEST || scan == SCAN_ESCAPE || scan == SCAN_I || character == 27) leave();
    if (code != KEY_CLOSE_REQUEST) msg.number = EV_STOP;
}

void screen_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !screen.running) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    if (rune_panel().open && (mouse->events & (MOUSE_EV_RIGHT_DOWN | MOUSE_EV_LEFT_DOWN))) {
        rune_panel_click(mouse->x, mouse->y, (mouse->events & MOUSE_EV_RIGHT_DOWN) != 0);
        show_everything();
        return;
    }
    if (rune_panel().open && (mouse->events & MOUSE_EV_MOTION)) {
        if (rune_panel_point(mouse->x, mouse->y)) show_everything();
        return;
    }
    if (mouse->events & MOUSE_EV_RIGHT_DOWN) {
        leave();
        return;
    }
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        left_click(mouse->x, mouse->y);
        return;
    }
    if (mouse->events & MOUSE_EV_MOTION) {
        const int item = item_at(inventory_spot_at(mouse->x, mouse->y));
        if (item != screen.hovered_item) {
            screen.hovered_item = item;
            draw_screen();
            present_rect(0, 0, SCREEN_WIDTH, INVENTORY_ROWS);
        }
    }
}

int first_used_slot() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (party_members[slot].used) return slot;
    return -1;
}

}  // namespace

inventory_hit inventory_spot_at(int x, int y) {
    inventory_hit hit;
    if (!screen.running || screen.slot < 0) return hit;
    const party_member& m = shown();
    if (y >= INVENTORY_ROWS) {
        const int position = (x - PARTY_BAR_FIRST_X) / PARTY_SLOT_WIDTH;
        const int slot = x >= PARTY_BAR_FIRST_X ? party_slot_at_position(position) : -1;
        if (slot >= 0) hit = {inventory_spot::portrait, slot};
        return hit;
    }
    if (inside(x, y, SWITCH_X, SWITCH_Y, SWITCH_W, SWITCH_H)) return {inventory_spot::switch_view};
    if (sheet_visible()) {
        const int attribute = sheet_plus_at(m, x, y);
        if (attribute >= 0) return {inventory_spot::plus, attribute};
    }
    if (!can_handle_items(m)) return hit;
    // The belt cells reach a few pixels into the body's rectangle: they win.
    for (int position = 0; position < BELT_SLOTS; ++position) {
        int cx = 0, cy = 0;
        belt_cell(position, cx, cy);
        if (inside(x, y, cx, cy, BELT_CELL_W, BELT_CELL_H)) return {inventory_spot::belt, position};
    }
    if (inside(x, y, BODY_X, BODY_Y, BODY_WIDTH, BODY_HEIGHT))
        return {inventory_spot::body, 0, x - BODY_X, y - BODY_Y};
    if (inside(x, y, QUIVER_X, QUIVER_Y, QUIVER_W, QUIVER_H)) return {inventory_spot::quiver};
    if (!sheet_visible()) {
        const int cell = backpack_cell_at(m, x, y);
        if (cell >= 0) return {inventory_spot::backpack, cell};
    }
    return hit;
}

int backpack_cell_at(const party_member& m, int x, int y) {
    if (x < BACKPACK_X || y < BACKPACK_Y) return -1;
    const int column = (x - BACKPACK_X) / BACKPACK_CELL_W, row = (y - BACKPACK_Y) / BACKPACK_CELL_H;
    const int cell = column + BACKPACK_COLUMNS * row;
    if (column < BACKPACK_COLUMNS && row < backpack_rows(m) &&
        cell < std::clamp<int>(m.inventory_size, 0, BACKPACK_MAX))
        return cell;
    return -1;
}

void draw_raised_button(int x, int y, int w, int h) {
    const int r = x + w - 1, b = y + h - 1;
    draw_colour = BUTTON_FACE;
    fill_rect(x, y, r, b);
    draw_colour = BUTTON_LIGHT;
    draw_hline(x, y, r);
    draw_vline(x, y, b);
    draw_colour = BUTTON_DARK;
    draw_hline(x, b, r);
    draw_vline(r, y, b);
    draw_colour = BUTTON_INK;
}

void draw_member_backpack(const party_member& m) {
    draw_backpack(m);
}

void draw_item_in_cell(int item, int x, int y, int w, int h) {
    draw_item_in(item, x, y, w, h);
}

void draw_item_information_box(const party_member& m, int item, std::optional<int> price) {
    draw_item_information(m, item, price);
}

void draw_inventory_party_bar() {
    draw_party_bar();
}

inventory_pictures& inventory_picture_source() {
    return *pictures();
}

item_table& inventory_item_table() {
    return items();
}

int inventory_shown_slot() {
    return screen.running ? screen.slot : -1;
}

bool inventory_sheet_shown() {
    return screen.running && sheet_visible();
}

void inventory_screen(int slot) {
    if (screen.running) return;
    if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) slot = party_state.current;
    if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) slot = first_used_slot();
    if (slot < 0) return;
    const bool game_screen_was_running = scene.running;
    if (game_screen_was_running) stop_game_screen();

    screen.running = true;
    screen.sheet = false;
    screen.body.reset();
    show_member(slot);
    panel_back_to_party(false);
    add_event_handler(EV_KEY, screen_key);
    add_event_handler(EV_MOUSE, screen_mouse);
    show_everything();
    main_loop();
    remove_event_handler(EV_KEY, screen_key);
    remove_event_handler(EV_MOUSE, screen_mouse);
    close_rune_panel();
    screen.running = false;
    screen.body.reset();

    if (game_screen_was_running) start_game_screen();
}
