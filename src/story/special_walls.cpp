// The walls' special procedures: a bell, a teleporter, a deadly trap that
// turns the view over, and a stone that tells the properties of the item in
// the hand.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "core/clock.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "monsters/monsters.h"
#include "platform/display.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/spells/specials.h"
#include "story/special_procedures.h"
#include "story/story_pictures.h"
#include "story/tile_frame.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"

bool run_wall_procedure(int number, int sector, int side, int parameter, int events);

namespace {

constexpr int VIEW_WIDTH = 640, VIEW_HEIGHT = 360;
constexpr int TURN_MS = 500, TRAP_PAUSE_MS = 1000, FRAME_MS = 10;
constexpr int PROPERTIES_X = 120, PROPERTIES_WIDTH = 400, PROPERTIES_CENTRE_Y = 240;
constexpr int PROPERTIES_TEXT_X = 125, LINE_HEIGHT = 10;
constexpr int32_t PROPERTIES_COLOUR = 0x8000;

bool place(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}

bool on_this_map(const party_member& m) {
    return m.used && m.map_hash == party_state.map_hash && place(m.sector);
}

// ---------------------------------------------------------------- 2: the teleporter

bool teleporter(int sector, int to) {
    if (!place(sector)) return false;
    bool moved = false;
    // Both are found before either goes: the second moves up when the first leaves.
    std::vector<int> slots;
    const int first = first_monster_in(sector) - 1;
    if (first >= 0 && first < MONSTER_SLOTS) {
        slots.push_back(first);
        const int second = monster_table[static_cast<size_t>(first)].next_in_sector - 1;
        if (second >= 0 && second < MONSTER_SLOTS && second != first) slots.push_back(second);
    }
    for (int slot : slots)
        if (spell_detail::teleport_monster_randomly(slot)) moved = true;

    const uint16_t flags = current_map.coords[static_cast<size_t>(sector)].coord_flags;
    if (!(flags & (MC_PLAYER | MC_DEAD_PLAYER)) || !place(to) || to == sector) return moved;
    const bool with_view = party.sector == sector;
    if (with_view) map_services.teleport_animation();
    for (party_member& m : party_members) {
        if (!on_this_map(m) || m.sector != sector) continue;
        m.sector = static_cast<int16_t>(to);  // they keep facing their way
        moved = true;
    }
    if (with_view) {
        party.sector = to;
        if (movement_screen.party_relocated) movement_screen.party_relocated();
    }
    mark_party_sectors();
    regroup();
    if (with_view && movement_screen.redraw_scene) movement_screen.redraw_scene();
    return moved;
}

// ---------------------------------------------------------------- 3: the deadly trap

void wait_frame(int64_t since) {
    do_events();
    const int64_t spent = clock_ms() - since;
    if (spent < FRAME_MS && display_exists()) display().sleep_ms(static_cast<int>(FRAME_MS - spent));
}

void turn_view_over() {
    if (!display_exists() || !frame_buffer) return;
    uint16_t* view = frame_buffer + static_cast<size_t>(VIEW_FIRST_ROW) * VIEW_WIDTH;
    const std::vector<uint16_t> picture(view, view + static_cast<size_t>(VIEW_WIDTH) * VIEW_HEIGHT);
    const int64_t start = clock_ms();
    for (;;) {
        const int64_t now = clock_ms();
        const int64_t elapsed = std::min<int64_t>(now - start, TURN_MS);
        rotate_view(picture.data(), view, 180.0 * static_cast<double>(elapsed) / TURN_MS);
        present_rect(0, VIEW_FIRST_ROW, VIEW_WIDTH, VIEW_HEIGHT);
        if (elapsed >= TURN_MS) break;
        wait_frame(now);
    }
    const int64_t turned = clock_ms();
    while (clock_ms() - turned < TRAP_PAUSE_MS) wait_frame(clock_ms());
}

bool deadly_trap(int sector, int side, int events) {
    turn_view_over();
    for (int slot : members_for_events(sector * 4 + side, events)) {
        if (slot < 0 || slot >= PARTY_SLOTS) continue;
        party_member& m = party_members[slot];
        if (!m.used) continue;
        m.hp = 0;
        check_death(m, true);
        m.sector = 0;
    }
    mark_party_sectors();
    if (movement_screen.redraw_scene) movement_screen.redraw_scene();
    return true;
}

// ---------------------------------------------------------------- 4: the item's properties

const char* existing_text(int number) {
    const char* text = interface_text(number);
    return text && *text ? text : nullptr;
}

bool show_properties() {
    const item_def* item = game_items().find(map_services.held_item());
    if (!item) return false;
    const std::vector<std::string> lines = item_property_lines(*item, existing_text);
    const int h = LINE_HEIGHT * static_cast<int>(lines.size()) + LINE_HEIGHT;
    draw_tile_frame(PROPERTIES_X, PROPERTIES_CENTRE_Y - h / 2, PROPERTIES_WIDTH, h, true);
    set_font(FONT_SADA16, PROPERTIES_COLOUR);
    for (size_t i = 0; i < lines.size(); ++i) {
        set_text_position(PROPERTIES_TEXT_X,
                          PROPERTIES_CENTRE_Y + 5 - h / 2 + LINE_HEIGHT * static_cast<int>(i));
        draw_text(lines[i]);
    }
    const int border = TILE_FRAME_SIZE;
    present_rect(PROPERTIES_X - border, PROPERTIES_CENTRE_Y - h / 2 - border, PROPERTIES_WIDTH + 2 * border,
                 h + 2 * border + TILE_FRAME_SIZE);
    return true;
}

}  // namespace

void rotate_view(const uint16_t* view, uint16_t* out, double degrees) {
    const double angle = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double cx = (VIEW_WIDTH - 1) / 2.0, cy = (VIEW_HEIGHT - 1) / 2.0;
    for (int y = 0; y < VIEW_HEIGHT; ++y) {
        const double dy = y - cy;
        for (int x = 0; x < VIEW_WIDTH; ++x) {
            const double dx = x - cx;
            // The source of the pixel: turned back by the angle.
            const long sx = std::lround(cx + dx * c + dy * s);
            const long sy = std::lround(cy - dx * s + dy * c);
            const bool inside = sx >= 0 && sx < VIEW_WIDTH && sy >= 0 && sy < VIEW_HEIGHT;
            out[static_cast<size_t>(y) * VIEW_WIDTH + static_cast<size_t>(x)] =
                inside ? view[static_cast<size_t>(sy) * VIEW_WIDTH + static_cast<size_t>(sx)] : 0;
        }
    }
}

bool run_wall_procedure(int number, int sector, int side, int parameter, int events) {
    switch (number) {
        case 1:
            std::fputs("\a\n", stdout);
            std::fflush(stdout);
            return true;
        case 2:
            return teleporter(sector, parameter);
        case 3:
            return deadly_trap(sector, side, events);
        case 4:
            return show_properties();
        default:
            return false;
    }
}
