// The automap as a state of the game screen: opening and closing it, the
// sectors it shows, its keys and its mouse.
#include "world/automap.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <vector>

#include "core/event_ids.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/tasks.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"
#include "world/world_map.h"

automap_state automap;
automap_links automap_hooks;

namespace {

constexpr int TARGET_STEPS = 2;

int sectors_with_coords() {
    return std::min<int>(current_map.sector_count, static_cast<int>(current_map.coords.size()));
}

bool place(int s) {
    return s > 0 && s < sectors_with_coords() && static_cast<size_t>(s) < current_map.sectors.size() &&
           static_cast<size_t>(s) * 4 + 3 < current_map.sides.size();
}

bool shown(const map_coord& c, uint16_t seen) {
    return (c.coord_flags & MC_MARKED) && (c.coord_flags & seen) && !(c.coord_flags & MC_NOAUTOMAP);
}

// The nearest layer below (step -1) or above (+1) the shown one that has a
// marked and seen sector; the shown layer when there is none.
int next_layer(int step) {
    int best = automap.layer;
    bool found = false;
    for (int s = 1; s < sectors_with_coords(); ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (!shown(c, MC_MAPPED)) continue;
        const int layer = c.layer;
        if ((step < 0 && layer < automap.layer && (!found || layer > best)) ||
            (step > 0 && layer > automap.layer && (!found || layer < best))) {
            best = layer;
            found = true;
        }
    }
    return best;
}

void redraw() {
    draw_automap(automap.ox, automap.oy);
}

void close_automap() {
    automap.closing = true;
    stop_flag = 1;
}

}  // namespace

// The world map and the automap open each other.
const bool world_map_linked = [] {
    automap_hooks.open_world_map = open_world_map;
    automap_hooks.world_map_available = world_map_available;
    show_map_automap = [](const std::string&) { open_automap_from_world_map(); };
    return true;
}();

bool automap_battle() {
    if (automap_hooks.in_battle) return automap_hooks.in_battle();
    return battle_on_screen().active();
}

void mark_automap_sectors(bool full) {
    const int count = sectors_with_coords();
    if (full) {
        for (int s = 1; s < count; ++s) current_map.coords[static_cast<size_t>(s)].coord_flags |= MC_MARKED;
        return;
    }
    // The party's surroundings: what a walk of two steps reaches through
    // sides the party could pass, and the party's own sector.
    if (!place(party.sector)) return;
    std::vector<int> depth(static_cast<size_t>(count), -1);
    std::deque<int> queue{party.sector};
    depth[static_cast<size_t>(party.sector)] = 0;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        current_map.coords[static_cast<size_t>(s)].coord_flags |= MC_MARKED;
        if (depth[static_cast<size_t>(s)] >= TARGET_STEPS) continue;
        for (int d = 0; d < 4; ++d) {
            const int next = current_map.sectors[static_cast<size_t>(s)].exits[static_cast<size_t>(d)];
            if (!place(next) || depth[static_cast<size_t>(next)] >= 0) continue;
            if (current_map.sides[static_cast<size_t>(s) * 4 + d].flags & SIDE_NOPLAYER) continue;
            depth[static_cast<size_t>(next)] = depth[static_cast<size_t>(s)] + 1;
            queue.push_back(next);
        }
    }
}

void clear_automap_marks() {
    for (map_coord& c : current_map.coords) c.coord_flags &= static_cast<uint16_t>(~MC_MARKED);
}

void reset_automap_view() {
    automap.layer = place(party.sector) ? current_map.coords[static_cast<size_t>(party.sector)].layer : 0;
    if (!place(party.sector)) {
        // Another map's automap: the party is not on it; the first seen layer.
        for (int s = 1; s < sectors_with_coords(); ++s)
            if (shown(current_map.coords[static_cast<size_t>(s)], MC_MAPPED | MC_KNOWN)) {
                automap.layer = current_map.coords[static_cast<size_t>(s)].layer;
                break;
            }
    }
    const int px = place(party.sector) ? current_map.coords[static_cast<size_t>(party.sector)].x : 0;
    const int py = place(party.sector) ? current_map.coords[static_cast<size_t>(party.sector)].y : 0;
    int min_x = INT_MAX, max_x = INT_MIN, min_y = INT_MAX, max_y = INT_MIN;
    for (int s = 1; s < sectors_with_coords(); ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (!shown(c, MC_MAPPED | MC_KNOWN)) continue;
        min_x = std::min<int>(min_x, c.x);
        max_x = std::max<int>(max_x, c.x);
        min_y = std::min<int>(min_y, c.y);
        max_y = std::max<int>(max_y, c.y);
    }
    if (min_x > max_x) {
        // Nothing seen yet: the party's place in the middle.
        automap.ox = automap.oy = 0;
        return;
    }
    automap.ox = -std::clamp((min_x + max_x) / 2 - px, -35, 35);
    automap.oy = -std::clamp((min_y + max_y) / 2 - py, -18, 18);
}

bool begin_automap(bool full) {
    if (automap.open || current_map.sector_count < 2) return false;
    if (!automap.world_map_state) {
        if (!place(party.sector)) return false;
        if (full && !run_hook(HOOK_AUTOMAP_OPEN, party.sector, party.direction)) return false;
    }
    stop_game_screen();
    automap.open = true;
    automap.full = full;
    automap.closing = false;
    automap.chosen = 0;
    automap.editing = false;
    automap.note_cursor = false;
    mark_automap_sectors(full);
    const bool battle = automap_battle();
    const bool world_map = automap_hooks.world_map_available && automap_hooks.world_map_available();
    if (automap.world_map_state)
        automap.mask = 4;
    else if (battle || !full || !world_map)
        automap.mask = 7;
    else
        automap.mask = 6;
    draw_screen_frame();
    reset_automap_view();
    draw_automap_panel();
    redraw();
    present_rect(0, 0, 0, 0);
    return true;
}

int end_automap() {
    if (!automap.open) return 0;
    automap.open = false;
    automap.editing = false;
    automap.note_cursor = false;
    clear_automap_marks();
    if (!automap.world_map_state) run_hook(HOOK_AUTOMAP_CLOSED, party.sector, party.direction);
    return automap.chosen;
}

void open_automap_from_world_map() {
    automap.world_map_state = true;
    open_automap(true);
    automap.world_map_state = false;
}

int open_automap(bool full) {
    const bool screen_was_running = scene.running;
    const int cursor = mouse_cursor_choice();
    if (!begin_automap(full)) return 0;
    add_event_handler(EV_KEY, automap_key_event);
    add_event_handler(EV_MOUSE, automap_mouse_event);
    while (!automap.closing) {
        main_loop();
        if (terminate_requested()) break;
    }
    remove_event_handler(EV_KEY, automap_key_event);
    remove_event_handler(EV_MOUSE, automap_mouse_event);
    const bool world_map = automap.then_world_map;
    const bool quit = automap.quit_asked;
    automap.then_world_map = automap.quit_asked = false;
    const int chosen = end_automap();
    set_mouse_cursor(cursor);
    if (world_map && automap_hooks.open_world_map)
        automap_hooks.open_world_map();  // it brings the game screen back when it closes
    else if (screen_was_running)
        start_game_screen();
    if (quit) {
        // The window was asked to close while the automap was up: leave the game.
        stop_game_screen();
        dispatch_event(EV_GAME_RESULT, 0);
    }
    return chosen;
}

bool automap_keys(int scan, bool ctrl) {
    if (!automap.open) return false;
    switch (scan) {
        case 1:   // Esc
        case 15:  // Tab
        case 50:  // M
            close_automap();
            return true;
        case 16:  // Q
        case 81:  // PgDn
            automap.layer = next_layer(-1);
            break;
        case 18:  // E
        case 73:  // PgUp
        case 79:  // End
            automap.layer = next_layer(+1);
            break;
        case 17:  // W
        case 72:  // Up
            --automap.oy;
            break;
        case 31:  // S
        case 80:  // Down
            ++automap.oy;
            break;
        case 30:  // A
        case 75:  // Left
            if (ctrl && scan == 75)
                automap.layer = next_layer(-1);
            else
                --automap.ox;
            break;
        case 32:  // D
        case 77:  // Right
            if (ctrl && scan == 77)
                automap.layer = next_layer(+1);
            else
                ++automap.ox;
            break;
        default:
            return false;
    }
    redraw();
    return true;
}

int automap_sector_at(int x, int y) {
    const int cx = automap_centre_x(), cy = automap_centre_y();
    for (int s = 1; s < sectors_with_coords(); ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (c.layer != automap.layer || !shown(c, MC_MAPPED | MC_KNOWN)) continue;
        const int left = AUTOMAP_CELL * c.x - cx + AUTOMAP_CENTRE_X;
        const int top = AUTOMAP_CELL * c.y - cy + AUTOMAP_CENTRE_Y;
        if (x >= left && x < left + AUTOMAP_CELL && y >= top && y < top + AUTOMAP_CELL) return s;
    }
    return 0;
}

void automap_click(int x, int y) {
    if (!automap.open || automap.editing) return;
    if (const int button = automap_panel_button(x, y)) {
        if ((automap.mask >> (button - 1)) & 1) return;
        switch (button) {
            case 1:
                if (automap_hooks.open_world_map) {
                    automap.then_world_map = true;
                    close_automap();
                }
                break;
            case 3:
                automap.note_cursor = true;
                world_map_note_mode = true;  // a place chosen on the world map shows its automap
                automap.mask = 5;
                draw_automap_panel();
                break;
            case 4:
                close_automap();
                break;
            default:
                break;
        }
        return;
    }
    const bool on_map = x >= AUTOMAP_VIEW_X && x < AUTOMAP_VIEW_X + AUTOMAP_VIEW_W && y >= AUTOMAP_VIEW_Y &&
                        y < AUTOMAP_VIEW_Y + AUTOMAP_VIEW_H;
    if (!on_map) return;
    if (!automap.full) {
        if (const int s = automap_sector_at(x, y)) {
            automap.chosen = s;
            close_automap();
        }
        return;
    }
    if (automap.world_map_state) return;
    const int note = automap_note_at(x, y);
    if (note >= 0) {
        const automap_note n = automap_notes()[static_cast<size_t>(note)];
        remove_automap_note(note);
        redraw();
        start_note_edit(n.x - automap_centre_x() + AUTOMAP_CENTRE_X,
                        n.y - automap_centre_y() + AUTOMAP_CENTRE_Y, n.text, true);
        return;
    }
    start_note_edit((x & ~7) | 2, (y & ~7) - 4, std::string(), false);
}

void automap_key_event(event_msg& msg, void**) {
    if (msg.number != EV_KEY) return;
    const int code = msg.next_int() & 0xFFFF;
    msg.number = EV_STOP;  // the screen under the automap (the world map) does not hear it
    if (code == 0xFFFF) {
        automap.quit_asked = true;
        close_automap();
        return;
    }
    if (automap.editing) {
        automap_edit_key(code >> 8, code & 0xFF);
        return;
    }
    const bool ctrl = display_exists() && display().ctrl_down();
    automap_keys(code >> 8, ctrl);
}

void automap_mouse_event(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE) return;
    const auto* mouse = msg.next_ptr<const mouse_record>();
    msg.number = EV_STOP;
    if (!mouse || !(mouse->events & MOUSE_EV_LEFT_DOWN)) return;
    automap_click(mouse->x, mouse->y);
}
