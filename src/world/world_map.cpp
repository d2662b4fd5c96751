// The world map in the game: running its script over the place table,
// drawing, pointing at places and describing them, travelling and looking at
// another map's automap.
#include "world/world_map.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "base/fatal.h"
#include "base/strings.h"
#include "core/decoders.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/map_state.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"

bool world_map_note_mode = false;
void (*show_map_automap)(const std::string& map) = nullptr;
void (*world_map_closed)() = nullptr;

namespace {

constexpr int VIEW_TOP = 17;  // the script's pictures are drawn from this row down
constexpr int POINT_FIRST = 17, POINT_LAST = 376;
constexpr int CLICK_FIRST = 18, CLICK_LAST = 377;
constexpr int TEXT_NO_WAY_OUT = 121;  // "there is no way out of here"
constexpr int WAY_OUT_TYPE = 19;
constexpr uint16_t DESCRIPTION_COLOUR = 0x7FE0;

struct world_map_session {
    bool open = false;
    world_script_state script;
    handle_id index = 0;  // the index picture, 0 none
    int pointed = 0;      // the place under the pointer
    bool box_shown = false;
    world_box box;
    std::vector<uint16_t> background;  // a type-15 picture of what the box covers
};
world_map_session session;

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The handle of a picture of the world map, registered the first time.
handle_id world_picture(const std::string& name, decoder_id decoder) {
    if (name.empty() || name.size() > HANDLE_NAME_MAX) return 0;
    const std::string stored = upper(name);
    const decoder_fn fn = decoder_for(decoder);
    if (const int found = find_handle(stored.c_str(), fn); found >= 0) return static_cast<handle_id>(found);
    for (int id = WORLD_MAP_HANDLES; id < WORLD_MAP_HANDLES + WORLD_MAP_HANDLE_COUNT; ++id) {
        const handle_record* r = handle_info(static_cast<handle_id>(id));
        if (r && r->state != HANDLE_UNDEFINED) continue;
        return define_handle(static_cast<handle_id>(id), stored.c_str(), fn, PATH_GUI)
                   ? static_cast<handle_id>(id)
                   : 0;
    }
    return 0;
}

bool visited_map(const std::string& word) {
    std::vector<uint8_t> record;
    std::string lower = word;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const std::string& name : {upper(word) + ".MAP", word + ".map", lower + ".map"})
        if (map_store_read(name, record)) return true;
    return false;
}

bool same_map(const std::string& a, const std::string& b) {
    return upper(a) == upper(b);
}

void remove_box() {
    if (!session.box_shown) return;
    session.box_shown = false;
    put_picture(session.box.x, session.box.y, reinterpret_cast<const picture*>(session.background.data()));
    present_rect(session.box.x, session.box.y, session.box.width, session.box.height);
}

void show_box(int x, int y, const std::string& text) {
    if (text.empty() || !screen_font(FONT_TINY, DESCRIPTION_COLOUR)) return;
    session.box = description_box(x, y, text_width(text), text_height(text));
    const world_box& b = session.box;
    session.background.assign(3 + static_cast<size_t>(b.width) * static_cast<size_t>(b.height), 0);
    get_picture(b.x, b.y, b.width, b.height, reinterpret_cast<picture*>(session.background.data()));
    blend_rect(b.x, b.y, b.width, b.height, 0);
    set_text_position(b.x + 2, b.y + 2);
    draw_text(text);
    session.box_shown = true;
    present_rect(b.x, b.y, b.width, b.height);
}

int place_at(int x, int y) {
    if (!session.index) return 0;
    const picture* index = screen_picture(session.index);
    if (!index) return 0;
    return index_pixel(index, static_cast<size_t>(handle_length(session.index)), x, y - VIEW_TOP);
}

void point_at(int x, int y) {
    const int place = place_at(x, y);
    if (place == session.pointed) return;
    remove_box();
    session.pointed = place;
    const world_place& p = session.script.places[static_cast<size_t>(place)];
    if (place > 0 && p.defined) {
        set_mouse_cursor(H_MSC_ZARE);
        set_cursor_hotspot(5, 5);
        if (p.text) show_box(x, y, *p.text);
    } else {
        set_mouse_cursor(H_MSC_SIP);
    }
}

void world_map_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY) return;
    const int code = msg.next_int() & 0xFFFF;
    if (code == 0xFFFF) {
        // The window is asked to close: leave the game, as the game screen does.
        close_world_map();
        stop_game_screen();
        dispatch_event(EV_GAME_RESULT, 0);
    } else if ((code >> 8) == 1) {  // Esc
        close_world_map();
    }
}

}  // namespace

int index_pixel(const void* index_picture, size_t length, int x, int y) {
    if (!index_picture || !picture_record_valid(index_picture, length)) return 0;
    const auto* pic = static_cast<const picture*>(index_picture);
    if ((pic->type & PIC_FOG_PENDING) || picture_pixel_bytes(pic->type) != 1) return 0;
    if (x < 0 || y < 0 || x >= pic->width || y >= pic->height) return 0;
    return picture_pixels8(pic)[static_cast<size_t>(y) * pic->width + static_cast<size_t>(x)];
}

world_box description_box(int x, int y, int text_width, int text_height) {
    world_box b;
    b.width = std::clamp(text_width + 4, 1, 640);
    b.height = std::clamp(text_height + 4, 1, 480);
    b.x = x;
    b.y = y + 43;
    if (b.x + b.width > 639) b.x = 639 - b.width;
    b.x = std::max(b.x, 0);
    if (b.y + b.height > 480) b.y = 480 - b.height;
    b.y = std::max(b.y, 0);
    return b;
}

bool world_map_available() {
    return screen_resource_available(H_GLOBMAP);
}

bool world_map_open() {
    return session.open;
}

const world_script_state& world_map_state() {
    return session.script;
}

void run_world_script() {
    const char* text = static_cast<const char*>(get_handle_data(H_GLOBMAP));
    const int32_t length = handle_length(H_GLOBMAP);
    const std::string_view script =
        text && length > 0 ? std::string_view(text, static_cast<size_t>(length)) : std::string_view();
    world_script_calls calls;
    calls.story_flag = story_flag;
    calls.visited = visited_map;
    calls.current_map = current_map.name;
    calls.sector = party.sector;
    calls.draw = [](const std::string& name, int x, int y) {
        const handle_id id = world_picture(name, decoder_id::pcx_to_pal8);
        if (const picture* pic = id ? screen_picture(id) : nullptr) put_picture(x, y + VIEW_TOP, pic);
    };
    calls.use_index = [](const std::string& name) {
        session.index = world_picture(name, decoder_id::pcx_to_nopal);
    };
    if (const std::optional<world_script_error> error =
            run_world_script_text(script, session.script, calls)) {
        display_close();
        fatal_error("%s", world_script_error_text(*error).c_str());
    }
}

void open_world_map() {
    if (session.open) return;
    stop_game_screen();
    session = world_map_session{};
    session.open = true;
    run_world_script();
    present_rect(0, 0, 0, 0);
    set_mouse_cursor(H_MSC_SIP);
    add_event_handler(EV_MOUSE, world_map_mouse);
    add_event_handler(EV_KEY, world_map_key);
}

void close_world_map() {
    if (!session.open) return;
    remove_event_handler(EV_MOUSE, world_map_mouse);
    remove_event_handler(EV_KEY, world_map_key);
    session = world_map_session{};
    world_map_note_mode = false;
    set_mouse_cursor(H_MSC_SIP);
    if (world_map_closed)
        world_map_closed();
    else
        start_game_screen();
}

void world_map_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !session.open) return;
    const auto* mouse = msg.next_ptr<const mouse_record>();
    if (!mouse) return;
    if (mouse->events & MOUSE_EV_RIGHT_DOWN) {
        close_world_map();
        return;
    }
    if ((mouse->events & MOUSE_EV_LEFT_DOWN) && mouse->y >= CLICK_FIRST && mouse->y <= CLICK_LAST) {
        world_map_choose(place_at(mouse->x, mouse->y));
        return;
    }
    if (mouse->y >= POINT_FIRST && mouse->y <= POINT_LAST) point_at(mouse->x, mouse->y);
}

int world_map_way_out() {
    const int count = current_map.sector_count;
    if (party.sector <= 0 || party.sector >= count) return 0;
    auto sector_type = [](int s) { return current_map.sectors[static_cast<size_t>(s)].sector_type; };
    if (sector_type(party.sector) == WAY_OUT_TYPE) return party.sector;
    auto may_cross = [&](int s) {
        const int type = sector_type(s);
        if (type == 4 || type == 9 || type == 11 || type == 12 || (type >= 50 && type <= 58)) return false;
        if (!(current_map.coords[static_cast<size_t>(s)].coord_flags & MC_MAPPED)) return false;
        return !(map_services.monster_in && map_services.monster_in(s));
    };
    std::vector<bool> seen(static_cast<size_t>(count), false);
    std::deque<int> queue{party.sector};
    seen[static_cast<size_t>(party.sector)] = true;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        for (int d = 0; d < 4; ++d) {
            const size_t side = static_cast<size_t>(s) * 4 + static_cast<size_t>(d);
            if (side >= current_map.sides.size() || (current_map.sides[side].flags & SIDE_NOPLAYER)) continue;
            const int next = current_map.sectors[static_cast<size_t>(s)].exits[static_cast<size_t>(d)];
            if (next <= 0 || next >= count || seen[static_cast<size_t>(next)]) continue;
            seen[static_cast<size_t>(next)] = true;
            if (!may_cross(next)) continue;
            if (sector_type(next) == WAY_OUT_TYPE) return next;
            queue.push_back(next);
        }
    }
    return 0;
}

bool world_map_choose(int place) {
    if (place <= 0 || place >= WORLD_PLACE_COUNT) return false;
    const world_place& chosen = session.script.places[static_cast<size_t>(place)];
    if (!chosen.defined || chosen.map.empty()) return false;
    const std::string file = chosen.map;
    if (world_map_note_mode) {
        show_place_automap(file);
        return false;
    }
    if (same_map(file, current_map.name)) return false;
    roster().gather(party.sector, party.direction);
    const int way_out = world_map_way_out();
    if (way_out == 0) {
        show_panel_message(string_list_get(ui_strings, TEXT_NO_WAY_OUT));
        return false;
    }
    if (!run_hook(HOOK_LEAVE_MAP, way_out, party.direction)) return false;
    if (way_out != party.sector) {
        place_party(way_out, party.direction);
        mark_party_sectors();
    }
    close_world_map();
    request_map_change(file, 0, 0);
    return true;
}

void show_place_automap(const std::string& map) {
    if (map_parked()) return;
    std::optional<loaded_map> other = read_map_file(map);
    if (!other) return;
    remove_box();
    park_map();
    current_map = std::move(*other);
    current_map.name = map;
    map_state_apply(map, current_map.sector_count, true);
    // The automap takes the keys and the mouse while it shows.
    remove_event_handler(EV_MOUSE, world_map_mouse);
    remove_event_handler(EV_KEY, world_map_key);
    if (show_map_automap) show_map_automap(map);
    if (session.open) {
        add_event_handler(EV_MOUSE, world_map_mouse);
        add_event_handler(EV_KEY, world_map_key);
    }
    end_place_automap();
}

void end_place_automap() {
    if (!map_parked()) return;
    unpark_map();
    if (!session.open) return;
    // Back to the world map as it was: the script draws it again.
    session.script = world_script_state{};
    session.index = 0;
    session.pointed = 0;
    run_world_script();
    present_rect(0, 0, 0, 0);
}
