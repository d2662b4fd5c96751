#include "world/movement.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/strings.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/random.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "world/character_rules.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/monster_hooks.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_rules.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"
#include "world/view_animation.h"

movement_state movement;
movement_screen_hooks movement_screen;
movement_battle_hooks movement_battle;

namespace {

// The view area and the inner rectangle of the walking zoom (left, top,
// right, bottom relative to the view's top row), and the slide's margin.
constexpr int ZOOM_LEFT = 90, ZOOM_TOP = 31, ZOOM_RIGHT = 550, ZOOM_BOTTOM = 301;
constexpr int SLIDE_MARGIN = 90;
// A transition lasts speed x 5 units of the game clock.
constexpr int TRANSITION_UNITS = 5;
constexpr int64_t FRAME_MS = 10;

// Sectors whose PLAYER / DEAD_PLAYER / SAFEPLACE marks the last move set.
std::vector<int> marked_sectors;

// The texts a refused step shows.
constexpr int TEXT_GROUP_CANNOT_MOVE = 220, TEXT_LEFT_ASHORE = 66;
// Maps of this class hurt members outside safe places.
constexpr int MAP_CLASS_UNSAFE = 3;

void show_text(int number) {
    show_panel_message(string_list_get(ui_strings, number));
}

bool valid_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}

const map_sector* sector_record(int sector) {
    return valid_sector(sector) ? &current_map.sectors[static_cast<size_t>(sector)] : nullptr;
}

enum class transition { zoom, slide };

// Plays a transition on the display while the game goes on; sign gives the
// direction (+1 forward or right, -1 back or left).
void play_transition(transition kind, int sign, int speed) {
    if (speed <= 0 || !display_exists()) return;
    const double length_ms = static_cast<double>(speed) * TRANSITION_UNITS * tick_length();
    begin_transition();
    const int64_t start = clock_ms();
    for (;;) {
        const int64_t before = clock_ms();
        const double elapsed = static_cast<double>(before - start);
        if (elapsed >= length_ms) break;
        const float progress = static_cast<float>(sign * elapsed / length_ms);
        if (kind == transition::zoom)
            zoom_transition(VIEW_FIRST_ROW, ZOOM_LEFT, ZOOM_TOP, ZOOM_RIGHT, ZOOM_BOTTOM, progress);
        else
            turn_transition(VIEW_FIRST_ROW, SLIDE_MARGIN, progress);
        do_events();
        // One picture about every 10 ms: no busy loop, and a display whose
        // clock moves only when asked still gets through.
        const int64_t spent = clock_ms() - before;
        if (spent < FRAME_MS && display_exists()) display().sleep_ms(static_cast<int>(FRAME_MS - spent));
    }
    end_transition();
}

void draw_new_scene() {
    if (movement_screen.draw_scene) movement_screen.draw_scene();
}

void draw_frame() {
    if (movement_screen.draw_frame) movement_screen.draw_frame();
}

void light_arrow(int arrow) {
    if (movement_screen.arrow_pressed) movement_screen.arrow_pressed(arrow);
}

// The party (and whoever stands with it) goes to another place at once.
void relocate(int from_sector, int to_sector, int direction) {
    party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (m.used && m.on_this_map && m.sector == from_sector) members.place_member(i, to_sector, direction);
    }
    if (party.sector == from_sector) {
        party.sector = to_sector;
        party.direction = direction & 3;
        if (movement_screen.party_relocated) movement_screen.party_relocated();
        sounds_follow_party();
    }
}

bool in_active_group(const roster_member& m) {
    return m.alive() && m.on_this_map && m.group == roster().active_group();
}

// No living member of the active group may be without condition or carry
// more than its condition can pay for a step.
bool group_can_move() {
    party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (!in_active_group(m)) continue;
        if (m.vp <= 0 || character_rules.load_penalty(i) > m.vp) return false;
    }
    return true;
}

// Boarding: whoever stands with the party joins the active group; false when
// a living member on this map would be left ashore.
bool everyone_boards() {
    party_roster& members = roster();
    members.gather(party.sector, party.direction);
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (m.alive() && m.on_this_map && !in_active_group(m)) return false;
    }
    return true;
}

// Each member of the group that moved pays for its load.
void group_walked() {
    party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i)
        if (in_active_group(members.member(i))) character_rules.walked(i);
}

bool battle_running() {
    return movement_battle.running && movement_battle.running();
}

// The member walking alone in a battle round, -1 none.
int battle_walker() {
    if (!battle_running() || !movement_battle.walking_member) return -1;
    const int slot = movement_battle.walking_member();
    return roster().member(slot).used ? slot : -1;
}

// Who steps or turns with the walker in a battle: the walker alone, or with
// the group-move option everyone of its group standing on its sector.
std::vector<int> battle_movers(int walker) {
    std::vector<int> movers{walker};
    if (!movement_battle.group_walks || !movement_battle.group_walks()) return movers;
    party_roster& members = roster();
    const roster_member w = members.member(walker);
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (i != walker && m.alive() && m.on_this_map && m.group == w.group && m.sector == w.sector)
            movers.push_back(i);
    }
    return movers;
}

// In a battle nobody steps in among the monsters.
bool monster_blocks_in_battle(int target) {
    return battle_running() && movement_battle.monster_in && movement_battle.monster_in(target);
}

void spin() {
    movement.spin_running = true;
    const int delta = random(100) > 49 ? +1 : -1;
    for (int i = 0; i < 8; ++i) turn(delta);
    movement.spin_running = false;
}

}  // namespace

void update_boat(bool after_move) {
    const map_sector* here = sector_record(party.sector);
    const bool in_boat = here && here->sector_type == SECTOR_BOAT;
    if (in_boat == movement.boat_mode || (in_boat && !after_move)) return;
    movement.boat_mode = in_boat;
    if (!display_exists()) return;
    if (in_boat) {
        const picture* bow = screen_picture(H_LODKA);
        if (!bow) return;
        create_sprite_picture(BOAT_SPRITE, bow);
        display().move_sprite(BOAT_SPRITE, BOAT_X, BOAT_Y);
    } else {
        display().hide_sprite(BOAT_SPRITE);
    }
}

void mark_party_sectors() {
    for (int sector : marked_sectors)
        if (valid_sector(sector))
            current_map.coords[static_cast<size_t>(sector)].coord_flags &=
                static_cast<uint16_t>(~(MC_PLAYER | MC_DEAD_PLAYER | MC_SAFEPLACE));
    marked_sectors.clear();
    party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (!m.used || !m.on_this_map || !valid_sector(m.sector)) continue;
        uint16_t& flags = current_map.coords[static_cast<size_t>(m.sector)].coord_flags;
        flags |= m.alive() ? MC_PLAYER : MC_DEAD_PLAYER;
        if (current_map.header.map_class == MAP_CLASS_UNSAFE && character_rules.carries_protective_item(i))
            flags |= MC_SAFEPLACE;
        marked_sectors.push_back(m.sector);
    }
}

bool step(int kind) {
    kind &= 3;
    if (movement.moving || view_animation_running()) return false;
    if (movement.boat_mode && (kind == STEP_RIGHT || kind == STEP_LEFT)) return false;
    const int walker = battle_walker();
    // A walker whose steps are used up stays where it is.
    if (walker >= 0 && roster().member(walker).actions_left <= 0) return false;
    const int sector = party.sector;
    const map_sector* here = sector_record(sector);
    if (!here) return false;
    const int direction = (party.direction + kind) & 3;
    const int side = sector * 4 + direction;
    int target = here->exits[static_cast<size_t>(direction)];
    // A side without an exit is a wall whatever its flags say: the party
    // never steps into sector 0 or out of the map.
    const bool blocked =
        (current_map.sides[static_cast<size_t>(side)].flags & SIDE_NOPLAYER) || !valid_sector(target);
    movement_rules.send_side_event(side, SIDE_EV_APPROACH);
    movement_rules.send_side_event(side, blocked ? SIDE_EV_BLOCKED : SIDE_EV_PASSED);
    if (!group_can_move()) {
        show_text(TEXT_GROUP_CANNOT_MOVE);
        return false;
    }
    if (!movement_rules.run_hook(HOOK_BEFORE_STEP, sector, direction)) return false;

    int new_direction = party.direction;
    if (!blocked) {
        const map_sector* next = sector_record(target);
        if (next->sector_type == SECTOR_CARRY && valid_sector(next->action_target)) {
            new_direction = (new_direction + next->action_side) & 3;
            target = next->action_target;
        } else if (monster_blocks_in_battle(target) || !movement_rules.monster_allows_step(target)) {
            return false;
        }
        if (sector_record(target)->sector_type == SECTOR_BOAT && !everyone_boards()) {
            show_text(TEXT_LEFT_ASHORE);
            return false;
        }
    }

    movement.moving = true;
    light_arrow(kind);
    if (!blocked) {
        movement_rules.pass_side(sector, direction);
        // A boat moves along onto the water: the two sectors exchange types.
        map_sector& from = current_map.sectors[static_cast<size_t>(sector)];
        map_sector& to = current_map.sectors[static_cast<size_t>(target)];
        if (from.sector_type == SECTOR_BOAT && to.sector_type == SECTOR_WATER)
            std::swap(from.sector_type, to.sector_type);
        if (walker >= 0) {
            // The walker paid for its steps when it planned them; the view goes with it.
            for (int mover : battle_movers(walker)) roster().place_member(mover, target, new_direction);
            party.sector = target;
            party.direction = new_direction & 3;
        } else {
            place_party(target, new_direction);
            group_walked();
        }
        mark_party_sectors();
        sounds_follow_party();
        dispatch_event(EV_PARTY_MOVED, sector, target);
    }
    draw_new_scene();
    if (!blocked) {
        if (kind == STEP_FORWARD || kind == STEP_BACK)
            play_transition(transition::zoom, kind == STEP_FORWARD ? 1 : -1, movement.walk_speed);
        else
            play_transition(transition::slide, kind == STEP_RIGHT ? 1 : -1, movement.walk_speed);
        draw_frame();
    }
    present_rect(0, 0, 0, 0);
    movement.moving = false;
    if (!blocked) {
        if (walker >= 0 && movement_battle.step_taken) movement_battle.step_taken();
        movement_rules.check_plates(sector, party.sector);
        sector_effects(AFTER_MOVE_STRENGTH, true);
        if (world_monsters.look) world_monsters.look();
    }
    return !blocked;
}

bool turn(int delta) {
    if (movement.moving || view_animation_running()) return false;
    if (!movement_rules.run_hook(HOOK_BEFORE_TURN, party.sector, party.direction)) return false;
    movement.moving = true;
    party.direction = (party.direction + delta) & 3;
    sounds_follow_party();
    light_arrow(delta > 0 ? ARROW_TURN_RIGHT : ARROW_TURN_LEFT);
    draw_new_scene();
    play_transition(transition::slide, delta > 0 ? 1 : -1, movement.turn_speed);
    party_roster& members = roster();
    const int walker = battle_walker();
    const std::vector<int> movers = walker >= 0 ? battle_movers(walker) : std::vector<int>{};
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        const bool turns = walker >= 0 ? std::find(movers.begin(), movers.end(), i) != movers.end()
                                       : m.group == members.active_group() && member_with_party(m);
        if (turns) members.place_member(i, m.sector, party.direction);
    }
    draw_frame();
    present_rect(0, 0, 0, 0);
    movement.moving = false;
    // Outside battle every turn runs the world update, the turns of a spin
    // too; a spin does not start again inside one.
    if (!battle_running()) world_update();
    if (world_monsters.look) world_monsters.look();
    return true;
}

void sector_effects(int strength, bool after_move) {
    if (current_map.sector_count == 0) return;
    // Each effect works on the sectors as they were when the pass began, so
    // a member carried somewhere else is not hit twice.
    party_roster& members = roster();
    std::vector<int> places;
    for (int i = 0; i < members.slots(); ++i) places.push_back(members.member(i).sector);
    bool spun = false;
    const int sector_before = party.sector, direction_before = party.direction;
    for (int member = 0; member < members.slots() && member < static_cast<int>(places.size()); ++member) {
        const roster_member m = members.member(member);
        if (!m.on_this_map || !m.alive() || m.sector != places[static_cast<size_t>(member)]) continue;
        const map_sector* s = sector_record(m.sector);
        if (!s) continue;
        const int type = s->sector_type;
        switch (type) {
            case SECTOR_DEADLY_FALL:
                if (m.levitating)
                    party_rules.harm(member, strength);
                else
                    party_rules.kill(member);
                break;
            case SECTOR_WATER:
                if (!m.levitating) party_rules.tire(member, after_move);
                break;
            case SECTOR_PIT:
                if (m.levitating) break;
                if (!valid_sector(s->action_target)) {
                    party_rules.kill(member);
                } else {
                    party_rules.fall(member);
                    // Each member falls on its own (one who floats stays);
                    // the party's place follows its active group down.
                    const bool with_party = m.group == members.active_group() && m.sector == party.sector;
                    members.place_member(member, s->action_target, m.direction);
                    if (with_party) party.sector = s->action_target;
                }
                break;
            case SECTOR_SPINNER:
                // Any member standing on it without levitation spins the party.
                if (!after_move && !spun && !movement.spin_running && !m.levitating) spun = true;
                break;
            case SECTOR_DEADLY:
                party_rules.kill(member);
                break;
            case SECTOR_HARMFUL:
                if (!m.levitating) party_rules.harm(member, strength);
                break;
            default:
                if (is_teleport(type) && valid_sector(s->action_target)) {
                    // A teleport that shows itself plays its animation first.
                    const size_t seen =
                        static_cast<size_t>(m.sector) * 4 + static_cast<size_t>(party.direction);
                    if (current_map.sides[seen].flags & SIDE_S_VIS) map_services.teleport_animation();
                    relocate(m.sector, s->action_target, s->action_side);
                    // The marks follow at once: a protected member makes its new place safe.
                    mark_party_sectors();
                }
                break;
        }
        // The member as the effect above left it.
        const roster_member now = members.member(member);
        if (current_map.header.map_class == MAP_CLASS_UNSAFE && type != SECTOR_WATER && now.alive() &&
            valid_sector(now.sector)) {
            const map_coord& c = current_map.coords[static_cast<size_t>(now.sector)];
            if (!(c.coord_flags & MC_SAFEPLACE) && !m.levitating) party_rules.tire(member, after_move);
        }
    }
    mark_party_sectors();
    update_boat(after_move);
    if ((party.sector != sector_before || party.direction != direction_before) && !movement.moving &&
        movement_screen.redraw_scene)
        movement_screen.redraw_scene();
    if (spun) spin();
}

void world_update() {
    movement_rules.world_tick();
    sector_effects(WORLD_TICK_STRENGTH, false);
}
