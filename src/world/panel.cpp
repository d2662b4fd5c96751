#include "world/panel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/strings.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "core/timers.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "world/party_portraits.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

int panel_mode = PANEL_PARTY;
std::string panel_message;
void (*show_panel_on_screen)() = nullptr;

namespace {

constexpr size_t PANEL_PIXELS = static_cast<size_t>(SCREEN_PITCH) * PANEL_BUFFER_ROWS;

// The panel is drawn with the ordinary primitives into a whole scratch
// screen (they clip to 640 x 480), and its top rows are kept.
std::vector<uint16_t>& scratch() {
    static std::vector<uint16_t> buffer(static_cast<size_t>(SCREEN_PITCH) * SCREEN_HEIGHT);
    return buffer;
}

panel_battle no_battle;
panel_battle* installed_battle = nullptr;

rune_panel_info shown_rune;

// A frame of 12 x 12 tiles of "ramecek.pcx" around (x, y, w, h), filled inside.
void tile_frame(int x, int y, int w, int h) {
    const int columns = (w + 11) / 12, rows = (h + 11) / 12;
    draw_colour = 0x7FFA;
    fill_rect(x, y, x + 12 * columns - 1, y + 12 * rows - 1);
    const picture* tiles = screen_picture(H_RAMECEK);
    if (!tiles || tiles->type != PIC_PAL8 || tiles->height < 96) {
        draw_rect(x - 2, y - 2, x + 12 * columns + 1, y + 12 * rows + 1, 0x4210);
        return;
    }
    auto tile = [&](int px, int py, int row) {
        if (px < 0 || py < 0 || px + 12 > SCREEN_WIDTH || py + 12 > SCREEN_HEIGHT) return;
        put_picture_rows(tiles, pixel_address(px, py), row, 12, 12);
    };
    tile(x - 12, y - 12, 0);
    tile(x + 12 * columns, y - 12, 24);
    tile(x - 12, y + 12 * rows, 60);
    tile(x + 12 * columns, y + 12 * rows, 84);
    for (int i = 0; i < columns; ++i) {
        tile(x + 12 * i, y - 12, 12);
        tile(x + 12 * i, y + 12 * rows, 72);
    }
    for (int j = 0; j < rows; ++j) {
        tile(x - 12, y + 12 * j, 36);
        tile(x + 12 * columns, y + 12 * j, 48);
    }
}

void draw_message() {
    tile_frame(70, 20, 400, 50);
    if (!screen_font(FONT_SADA16, FONT_NO_SHADOW | 0x0000)) return;
    const wrapped_text wrapped = wrap_text(panel_message, 390);
    int y = 20;
    for (const std::string& line : wrapped.lines) {
        set_text_position(70, y);
        draw_text(line);
        y += std::max(text_height(line), text_height("X"));
    }
}

const char* ui_text(int number) {
    const char* text = string_list_get(ui_strings, number);
    return text ? text : "";
}

void draw_centred(int x, int y, const char* text) {
    set_aligned_position(x, y, ALIGN_CENTRE, ALIGN_CENTRE, text);
    draw_text(text);
}

void draw_note_panel() {
    if (const picture* notes = screen_picture(H_STUPNICE)) put_picture(0, 0, notes);
    if (!screen_font(FONT_TINY, 0x7FE0)) return;
    draw_centred(103, 52, ui_text(174));
    for (int i = 0; i < 12; ++i) draw_centred(156 + 22 * i, 32, ui_text(180 + i));
}

// The rune's glyph: the sheet's pixels in its rectangle that are neither
// transparent nor the colour key.
void draw_rune_glyph(const rune_panel_info& rune, int x, int y) {
    const picture* sheet = screen_picture(rune.sheet);
    if (!sheet || sheet->type != PIC_PAL8 || rune.glyph_x < 0 || rune.glyph_y < 0) return;
    const int width = std::min(rune.glyph_width, sheet->width - rune.glyph_x);
    const int height = std::min(rune.glyph_height, sheet->height - rune.glyph_y);
    const uint16_t* palette = picture_palette(sheet);
    const uint8_t* pixels = picture_pixels8(sheet);
    for (int row = 0; row < height && y + row < SCREEN_HEIGHT; ++row) {
        const uint8_t* source =
            pixels + static_cast<ptrdiff_t>(rune.glyph_y + row) * sheet->width + rune.glyph_x;
        for (int column = 0; column < width && x + column < SCREEN_WIDTH; ++column) {
            const uint8_t index = source[column];
            if (index && index != rune.colour_key) *pixel_address(x + column, y + row) = palette[index];
        }
    }
}

void draw_rune_info() {
    tile_frame(70, 20, 400, 50);
    draw_rune_glyph(shown_rune, 80, 35);
    if (!screen_font(FONT_SADA16, FONT_NO_SHADOW | 0x0000)) return;
    set_text_position(120, 30);
    draw_text(shown_rune.name);
    char line[160];
    std::snprintf(line, sizeof line, "%s %d, %s %d", shown_rune.level_label.c_str(), shown_rune.level,
                  shown_rune.cost_label.c_str(), shown_rune.cost);
    set_text_position(120, 60);
    draw_text(line);
}

// A bar blacked out from row 13 down by what the member lacks.
void member_bar(int x, int value, int maximum) {
    const int lacking = maximum <= 0 ? 72 : 72 - std::clamp(value, 0, maximum) * 72 / maximum;
    if (lacking <= 0) return;
    draw_colour = 0;
    fill_rect(x, 13, x + 2, 13 + lacking - 1);
}

void draw_status_icons(const roster_member& m, int x) {
    const picture* icons = screen_picture(H_POSTUP);
    if (!icons || icons->type != PIC_PAL8 || icons->width < STATUS_ICON_SIZE) return;
    int k = 0;
    for (int icon : status_icons(m)) {
        if ((icon + 1) * STATUS_ICON_SIZE > icons->height) continue;  // not in this adventure's picture
        put_picture_rows(icons, pixel_address(x + 4 + STATUS_ICON_SIZE * k, 13), icon * STATUS_ICON_SIZE,
                         STATUS_ICON_SIZE, STATUS_ICON_SIZE);
        ++k;
    }
}

// The portrait: the face's frame for the member's hit points.
void draw_face(const roster_member& m, int slot, int x) {
    const picture* face = member_face(slot, m.face);
    if (!face || face->width < FACE_WIDTH) return;
    const int state = face_state(m.hp, m.hp_max);
    if ((state + 1) * FACE_ROWS > face->height) return;
    put_picture_rows(face, pixel_address(x + 3, 12), state * FACE_ROWS, FACE_WIDTH, FACE_ROWS);
}

// Action points and where the member faces, shown only while a battle runs.
void draw_battle_marks(const roster_member& m, int x) {
    if (!m.on_this_map) return;
    if (screen_font(FONT_SADA16, 0x7FE0)) {
        char points[16];
        std::snprintf(points, sizeof points, "%d", m.actions_left);
        set_aligned_position(x + 56, 86, ALIGN_END, ALIGN_END, points);
        draw_text(points);
    }
    const int facing = (m.direction - party.direction) & 3;
    if (facing != 0 && screen_font(FONT_IKONES, FONT_KEEP_COLOURS)) {
        const char glyph[2] = {static_cast<char>(4 + facing), 0};  // 5 right, 6 back, 7 left
        set_text_position(x + 10, 86);
        draw_text(glyph);
    }
}

void draw_hit(const roster_member& m, int x) {
    if (!m.hit_shown) return;
    if (const picture* hit = screen_picture(H_PZASAH)) put_picture(x + 8, 20, hit);
    if (!screen_font(FONT_SADA16, 0x7FE0)) return;
    char amount[16];
    std::snprintf(amount, sizeof amount, "%d", m.hit_shown);
    draw_centred(x + 30, 38, amount);
}

void draw_member(const roster_member& m, int slot, int x) {
    if (const picture* okno = screen_picture(H_OKNO)) put_picture(x, 0, okno);
    if (m.alive()) {
        draw_face(m, slot, x);
        draw_status_icons(m, x);
    } else if (const picture* death = screen_picture(H_DEATH)) {
        put_picture(x + 3, 12, death);
    }
    member_bar(x + 60, m.hp, m.hp_max);
    member_bar(x + 64, m.vp, m.vp_max);
    member_bar(x + 68, m.mp, m.mp_max);
    if (!member_with_party(m)) darken_rect(x, 0, PARTY_SLOT_WIDTH, PANEL_ROWS);
    const uint16_t colour = group_colour(m.group);
    if (screen_font(FONT_4X8, colour)) {
        set_aligned_position(x + 36, 92, ALIGN_CENTRE, ALIGN_START, m.name);
        draw_text(m.name);
        const char digit[2] = {m.on_this_map ? static_cast<char>('0' + std::clamp(m.group, 0, 9)) : '-', 0};
        set_aligned_position(x + 5, 86, ALIGN_START, ALIGN_END, digit);
        draw_text(digit);
    }
    if (battle_on_panel().running()) draw_battle_marks(m, x);
    if (roster().selected() == slot) draw_rect(x + 3, 12, x + 57, 87, 0x7FFF);
    draw_hit(m, x);
}

// The battle's walk states: what the walking member may still do.
void draw_walk_lines() {
    const panel_battle& battle = battle_on_panel();
    const int state = battle.state();
    if (state != 5 && state != 7) return;
    if (!screen_font(FONT_SADA16, 0x7FF0)) return;
    set_text_position(150, 20);
    draw_text(ui_text(state == 5 ? 42 : 44));
    const roster_member walker = roster().member(battle.walking_member());
    const int actions = walker.actions_left;
    char line[160];
    std::snprintf(line, sizeof line,
                  ui_text(actions == 1                   ? 60
                          : actions >= 2 && actions <= 4 ? 61
                                                         : 62),
                  actions);
    set_text_position(150, 35);
    draw_text(line);
    set_text_position(150, 50);
    draw_text(ui_text(63));
}

void draw_party_bar() {
    party_roster& members = roster();
    const panel_battle& battle = battle_on_panel();
    const bool walking = battle.running() && battle.state() == 5;
    int position = 0;
    for (int slot = 0; slot < members.slots(); ++slot) {
        const roster_member m = members.member(slot);
        if (!m.used) continue;
        if (walking && slot != battle.walking_member()) continue;
        const int x = party_slot_x(position);
        if (x + PARTY_SLOT_WIDTH > ARROWS_X) break;  // the arrow panel ends the bar
        draw_member(m, slot, x);
        ++position;
    }
    if (battle.running()) draw_walk_lines();
}

void end_message(timer_node*) {
    panel_back_to_party(true);
    refresh_panel();
}

}  // namespace

uint16_t group_colour(int group) {
    constexpr uint16_t colours[] = {0x7FFF, 0x7FE0, 0x03FF, 0x7C1F, 0x03E0, 0x7D00, 0x421F};
    if (group == roster().active_group() && !battle_on_panel().running()) return 0x7FFF;
    return colours[static_cast<size_t>(std::max(group, 0)) % std::size(colours)];
}

int party_slot_x(int position) {
    const picture* okno = screen_picture(H_OKNO);
    return PARTY_BAR_FIRST_X + position * (okno ? okno->width : PARTY_SLOT_WIDTH);
}

void* draw_panel_picture(void*, int32_t* length, uint16_t) {
    uint16_t* previous = screen_address();
    std::vector<uint16_t>& buffer = scratch();
    std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(PANEL_PIXELS), 0);
    set_target(buffer.data());
    const bool battle_desk = battle_on_panel().running() && battle_on_panel().state() == 4;
    if (const picture* desk = screen_picture(battle_desk ? H_SOUBOJE : H_DESK)) put_picture(0, 0, desk);
    switch (panel_mode) {
        case PANEL_MESSAGE:
            draw_message();
            break;
        case PANEL_NOTES:
            draw_note_panel();
            break;
        case PANEL_RUNE:
            draw_rune_info();
            break;
        default:
            draw_party_bar();
            break;
    }
    set_target(previous);
    auto* out = static_cast<uint16_t*>(game_alloc(PANEL_PIXELS * sizeof(uint16_t)));
    std::memcpy(out, buffer.data(), PANEL_PIXELS * sizeof(uint16_t));
    *length = static_cast<int32_t>(PANEL_PIXELS * sizeof(uint16_t));
    return out;
}

void register_panel_decoder() {
    register_decoder(decoder_id::party_bar, draw_panel_picture);
}

namespace {

// Shows the panel in a mode for 500 ticks; a newer display replaces it and
// starts the ticks again.
void show_for_a_while(panel_mode_t mode) {
    panel_mode = mode;
    remove_timers(TIMER_PANEL);
    add_timer(TIMER_PANEL, PANEL_MESSAGE_TICKS, 1, end_message);
    release_handle(H_PANEL);
    refresh_panel();
}

}  // namespace

void show_panel_message(const char* text) {
    panel_message = text ? text : "Chybi popisek!!";
    show_for_a_while(PANEL_MESSAGE);
}

void show_note_panel() {
    show_for_a_while(PANEL_NOTES);
}

void show_rune_info(const rune_panel_info& rune) {
    shown_rune = rune;
    show_for_a_while(PANEL_RUNE);
}

panel_battle& battle_on_panel() {
    return installed_battle ? *installed_battle : no_battle;
}

void set_battle_on_panel(panel_battle* installed) {
    installed_battle = installed;
}

void panel_back_to_party(bool force) {
    if (force && panel_mode != PANEL_PARTY) {
        remove_timers(TIMER_PANEL);
        panel_mode = PANEL_PARTY;
    }
    release_handle(H_PANEL);
}

void refresh_panel() {
    if (show_panel_on_screen) show_panel_on_screen();
}
