#include "world/panel.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/decoders.h"
#include "core/handles.h"
#include "core/timers.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
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

// Group colours of the names: white for the active group.
uint16_t group_colour(int group) {
    constexpr uint16_t colours[] = {0x7FFF, 0x7FE0, 0x03FF, 0x7C1F, 0x03E0, 0x7D00, 0x421F};
    if (group == party.active_group) return 0x7FFF;
    return colours[static_cast<size_t>(group) % std::size(colours)];
}

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

// A bar blacked out from row 13 down by what the member lacks.
void member_bar(int x, int value, int maximum) {
    const int lacking = maximum <= 0 ? 72 : 72 - std::clamp(value, 0, maximum) * 72 / maximum;
    if (lacking <= 0) return;
    draw_colour = 0;
    fill_rect(x, 13, x + 2, 13 + lacking - 1);
}

void draw_party_bar() {
    const picture* okno = screen_picture(H_OKNO);
    const int step = okno ? okno->width : PARTY_SLOT_WIDTH;
    for (size_t i = 0; i < party.members.size(); ++i) {
        const standin_member& m = party.members[i];
        const int x = PARTY_BAR_FIRST_X + static_cast<int>(i) * step;
        if (okno) put_picture(x, 0, okno);
        if (!m.alive()) {
            if (const picture* death = screen_picture(H_DEATH)) put_picture(x + 3, 12, death);
        }
        member_bar(x + 60, m.hit_points, m.max_hit_points);
        member_bar(x + 64, m.condition, m.max_condition);
        member_bar(x + 68, m.magic, m.max_magic);
        if (!member_with_party(m)) darken_rect(x, 0, 74, 102);
        const uint16_t colour = group_colour(m.group);
        if (screen_font(FONT_4X8, colour)) {
            set_aligned_position(x + 36, 92, ALIGN_CENTRE, ALIGN_START, m.name);
            draw_text(m.name);
            const char digit[2] = {m.on_this_map ? static_cast<char>('0' + m.group) : '-', 0};
            set_aligned_position(x + 5, 86, ALIGN_START, ALIGN_END, digit);
            draw_text(digit);
        }
        if (party.selected == static_cast<int>(i)) draw_rect(x + 3, 12, x + 57, 87, 0x7FFF);
    }
}

void end_message(timer_node*) {
    panel_back_to_party(true);
    refresh_panel();
}

}  // namespace

int party_slot_x(int position) {
    const picture* okno = screen_picture(H_OKNO);
    return PARTY_BAR_FIRST_X + position * (okno ? okno->width : PARTY_SLOT_WIDTH);
}

void* draw_panel_picture(void*, int32_t* length, uint16_t) {
    uint16_t* previous = screen_address();
    std::vector<uint16_t>& buffer = scratch();
    std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(PANEL_PIXELS), 0);
    set_target(buffer.data());
    if (const picture* desk = screen_picture(H_DESK)) put_picture(0, 0, desk);
    switch (panel_mode) {
        case PANEL_MESSAGE:
            draw_message();
            break;
        case PANEL_PARTY:
            draw_party_bar();
            break;
        default:
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

void show_panel_message(const char* text) {
    panel_message = text ? text : "Chybi popisek!!";
    panel_mode = PANEL_MESSAGE;
    remove_timers(TIMER_PANEL);
    add_timer(TIMER_PANEL, PANEL_MESSAGE_TICKS, 1, end_message);
    release_handle(H_PANEL);
    refresh_panel();
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
