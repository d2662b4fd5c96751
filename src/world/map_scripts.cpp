#include "world/map_scripts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/strings.h"
#include "core/events.h"
#include "core/random.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"

std::array<global_hook, HOOK_COUNT> global_hooks{};
std::array<uint8_t, STORY_FLAG_COUNT / 8> story_flags{};
int32_t game_time = 0;

namespace {

using record = std::array<uint8_t, MULTIACTION_SLOT_SIZE>;

// A run takes at most this many jumps: a list whose jumps go round in a
// circle ends instead of holding the game.
constexpr int MAX_SCRIPT_JUMPS = 4096;
constexpr int CODE_LOCK_SLOTS = 16, CODE_LOCK_KEPT = 7;

// ---------------------------------------------------------------- record fields

int u8_at(const record& r, size_t at) {
    return at < r.size() ? r[at] : 0;
}
int u16_at(const record& r, size_t at) {
    return at + 1 < r.size() ? r[at] | r[at + 1] << 8 : 0;
}
int i16_at(const record& r, size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(u16_at(r, at)));
}
int32_t i32_at(const record& r, size_t at) {
    if (at + 3 >= r.size()) return 0;
    const uint32_t v = static_cast<uint32_t>(r[at]) | static_cast<uint32_t>(r[at + 1]) << 8 |
                       static_cast<uint32_t>(r[at + 2]) << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
    return static_cast<int32_t>(v);
}
// NUL-terminated text from `at`, at most `limit` bytes and never past the slot.
std::string text_at(const record& r, size_t at, size_t limit) {
    std::string out;
    for (size_t i = at; i < r.size() && out.size() < limit && r[i]; ++i)
        out.push_back(static_cast<char>(r[i]));
    return out;
}
// A file the script names lives in a folder of the adventure: a name that
// reaches into another folder is refused.
bool plain_file_name(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name != "." && name != "..";
}

// ---------------------------------------------------------------- places

bool is_place(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}
bool is_side(int side) {
    return side >= 0 && static_cast<size_t>(side) < current_map.sides.size();
}
bool is_item(int item) {
    return item > 0 && item <= map_services.item_count();
}
bool is_member(int member) {
    return member >= 0 && member < roster().slots();
}
// random a..b with either bound first.
int random_between(int a, int b) {
    if (b < a) std::swap(a, b);
    return a + random(b - a + 1);
}

// ---------------------------------------------------------------- one run

// The members a run works on (party indexes), kept for nested runs.
std::vector<int> active_members;

std::vector<int> members_for(int place, int events) {
    std::vector<int> out;
    if (events & (SIDE_EV_PASSED | SIDE_EV_BLOCKED | SIDE_EV_APPROACH)) {
        if (map_services.in_battle()) {
            const int m = map_services.acting_member();
            if (is_member(m) && roster().member(m).alive()) out.push_back(m);
            return out;
        }
        for (int i = 0; i < roster().slots(); ++i) {
            const roster_member m = roster().member(i);
            if (m.on_this_map && m.alive() && m.group == roster().active_group()) out.push_back(i);
        }
        return out;
    }
    const int sector = place / 4;
    for (int i = 0; i < roster().slots(); ++i) {
        const roster_member m = roster().member(i);
        if (m.on_this_map && m.alive() && m.sector == sector) out.push_back(i);
    }
    return out;
}

}  // namespace

std::vector<int> members_for_events(int place, int events) {
    return members_for(place, events);
}

namespace {

struct script_run {
    int place = 0;
    int events = 0;
    int chance = -1;  // the run's random number 0..99, drawn at its first use
};

// What a record does to the walk.
enum class step_result {
    next,     // on to the next record, unless the record has MA_STOP
    jump,     // the condition held: jump by p6
    stop,     // the command decided: the walk ends here
    proceed,  // the command decided: on to the next record whatever MA_STOP says
};

step_result jump_if(bool condition) {
    return condition ? step_result::jump : step_result::next;
}
// Conditions with a sign: a negative parameter asks for the opposite.
step_result jump_if_signed(int p4, bool condition) {
    return jump_if(p4 < 0 ? !condition : condition);
}

step_result code_lock(const record& r) {
    const int slot = u8_at(r, 12);
    if (slot >= CODE_LOCK_SLOTS) return step_result::stop;
    uint8_t* memory = map_actions.code_locks.data() + slot * 8;
    const int symbol = u8_at(r, 3);
    if (symbol) {
        size_t length = 0;
        while (length < CODE_LOCK_KEPT && memory[length]) ++length;
        if (length == CODE_LOCK_KEPT) {
            std::memmove(memory, memory + 1, CODE_LOCK_KEPT - 1);
            --length;
        }
        memory[length] = static_cast<uint8_t>(symbol);
    }
    memory[CODE_LOCK_KEPT] = 0;
    const std::string code = text_at(r, 4, 8);
    const std::string entered(reinterpret_cast<const char*>(memory));
    const bool open = !code.empty() && entered.size() >= code.size() &&
                      entered.compare(entered.size() - code.size(), code.size(), code) == 0;
    return open ? step_result::proceed : step_result::stop;
}

step_result lock(const record& r, const script_run& run) {
    const int lock_code = i16_at(r, 4), difficulty = i16_at(r, 6);
    const int held = map_services.held_item();
    if (held == 0) {
        send_side_event(run.place, SIDE_EV_NO_KEY);
        return step_result::stop;
    }
    const int key = map_services.key_code(held);
    if (key != 0 && key == lock_code) return step_result::proceed;
    // Any other item fails on the lock, and so does a pick on a lock that
    // cannot be picked.
    if (key != -1 || difficulty == -1) {
        send_side_event(run.place, SIDE_EV_WRONG_KEY);
        return step_result::stop;
    }
    int picker = -1, best = 0;
    for (int m : active_members) {
        const int v = map_services.lock_picking(m);
        if (picker < 0 || v > best) picker = m, best = v;
    }
    const int hardness = difficulty == 0 ? 100 : difficulty;
    enum { PICK_BROKEN = 0, PICK_OPENED = 1, PICK_FAILED = 2 };
    if (hardness >= best && hardness - best >= random(100)) {
        map_services.break_held_pick();
        map_services.lock_pick_message(picker, PICK_BROKEN);
        return step_result::stop;
    }
    const bool opened = hardness < random(best);
    map_services.lock_pick_message(picker, opened ? PICK_OPENED : PICK_FAILED);
    return opened ? step_result::proceed : step_result::stop;
}

void swap_sectors(int a, int b) {
    if (!is_place(a) || !is_place(b) || a == b) return;
    std::swap(current_map.sectors[static_cast<size_t>(a)], current_map.sectors[static_cast<size_t>(b)]);
    for (size_t d = 0; d < 4; ++d) {
        const size_t sa = static_cast<size_t>(a) * 4 + d, sb = static_cast<size_t>(b) * 4 + d;
        std::swap(current_map.sides[sa], current_map.sides[sb]);
        if (sb < current_map.side_resting.size())
            std::swap(current_map.side_resting[sa], current_map.side_resting[sb]);
    }
    map_services.settle_sectors(a, b);
    check_plate(a, false);
    check_plate(b, false);
}

void hit_party(const record& r, const script_run& run) {
    const int mode = u8_at(r, 3);
    const int p4 = i16_at(r, 4), p6 = i16_at(r, 6);
    std::vector<int> victims;
    if (mode & 1) {
        for (int m : active_members)
            if (roster().member(m).sector == run.place / 4) victims.push_back(m);
    } else if (!active_members.empty()) {
        victims.push_back(
            active_members[static_cast<size_t>(random(static_cast<int>(active_members.size())))]);
    }
    for (int m : victims) {
        const int amount = (mode >> 1) == 0 ? random_between(p4, p6) : map_services.battle_damage(m, p4, p6);
        map_services.hurt_member(m, amount);
    }
}

void give_experience(int amount) {
    int highest = 0;
    const int slots = roster().slots();
    for (int i = 0; i < slots; ++i) highest = std::max(highest, map_services.member_level(i));
    if (highest <= 0) return;
    for (int i = 0; i < slots; ++i) {
        const int level = map_services.member_level(i);
        map_services.give_experience(i, amount * level / highest);
    }
}

void teleport(int sector, int how) {
    if (active_members.empty() || !is_place(sector)) return;
    if (how >> 7) map_services.teleport_animation();
    const int direction = how & 3;
    for (int m : active_members) roster().place_member(m, sector, direction);
    party.sector = sector;
    party.direction = direction;
    mark_party_sectors();
}

void load_map_command(const record& r, const script_run& run) {
    if (map_services.in_battle()) return;
    const std::string name = text_at(r, 7, 12);
    if (!plain_file_name(name)) return;
    map_services.regroup_for_travel();
    if (!run_hook(HOOK_LEAVE_MAP, run.place / 4, run.place & 3)) return;
    request_map_change(name, u16_at(r, 4), u8_at(r, 6) & 3);
}

void set_hook(const record& r) {
    const int number = u8_at(r, 3), sector = u16_at(r, 4), side = u8_at(r, 6);
    if (number >= HOOK_COUNT || sector >= current_map.sector_count || side > 3) return;
    global_hook& hook = global_hooks[static_cast<size_t>(number)];
    if (sector == 0 && side == 0) {
        hook = global_hook{};
        return;
    }
    hook.sector = static_cast<uint16_t>(sector);
    hook.side = static_cast<uint8_t>(side);
    hook.cancel = static_cast<uint8_t>(u8_at(r, 7));
    hook.time = i32_at(r, 8);
    if (number >= HOOK_TIMED_FIRST && number <= HOOK_TIMED_LAST) hook.time = timed_hook_time(hook.time);
}

// The floor quarter of command 8 and its kin: next to the side, or the one
// after it.
int drop_quarter(const script_run& run) {
    return ((run.place & 3) + random(2)) & 3;
}

void drop_new_item(const record& r, const script_run& run, bool into_hand) {
    constexpr int ITEM_DEF_SIZE = 222;
    const int item = map_services.add_item_def(r.data() + 4, ITEM_DEF_SIZE);
    if (!is_item(item)) return;
    if (into_hand)
        map_services.give_held(item);
    else
        map_services.drop_item(run.place / 4, drop_quarter(run), item);
}

step_result run_command(const record& r, script_run& run) {
    const int p4 = i16_at(r, 4), p6 = i16_at(r, 6);
    const int sector = run.place / 4;
    switch (u8_at(r, 0) & MA_COMMAND_MASK) {
        case MA_SOUND: {
            // Byte 3, bit 1: silent while the last door is open, bit 2: while
            // it is shut (bit 0, the sample size, does not matter here).
            const int when = u8_at(r, 3) & 6, last = last_touched_side();
            if (when && is_side(last)) {
                const bool forward = current_map.sides[static_cast<size_t>(last)].flags & SIDE_P_FORW;
                if (when & (forward ? 2 : 4)) break;
            }
            map_services.play_sound(r.data(), static_cast<int>(r.size()), sector, run.place & 3);
            break;
        }
        case MA_GLOBAL_TEXT:
            show_panel_message(string_list_get(ui_strings, i32_at(r, 4)));
            break;
        case MA_MAP_TEXT: {
            const std::string* text = map_string(i32_at(r, 4));
            show_panel_message(text ? text->c_str() : nullptr);
            break;
        }
        case MA_SEND_ACTION: {
            const int target = u16_at(r, 4), side = u16_at(r, 6);
            if (target >= current_map.sector_count || side > 3) break;
            queue_action(u16_at(r, 8), target, side, static_cast<uint32_t>(u8_at(r, 3)) << 24, false,
                         u16_at(r, 10));
            break;
        }
        case MA_FIRE:
            if (is_item(u16_at(r, 12)))
                map_services.fire(sector, ((run.place & 3) + 2) & 3, u16_at(r, 12), p4, p6 * 128 / 500 - 64,
                                  i16_at(r, 8) * 128 / 320, i16_at(r, 10));
            break;
        case MA_DESTROY_HELD:
            map_services.destroy_held();
            break;
        case MA_LOAD_MAP:
            load_map_command(r, run);
            break;
        case MA_DROP_ITEM:
            if (is_item(p4)) map_services.drop_item(sector, drop_quarter(run), p4);
            break;
        case MA_DIALOG:
            map_services.start_dialog(i32_at(r, 4));
            break;
        case MA_SHOP:
            map_services.open_shop(i32_at(r, 4));
            break;
        case MA_CODE_LOCK:
            return code_lock(r);
        case MA_CANCEL_ACTION:
            if (u16_at(r, 4) < current_map.sector_count && u16_at(r, 6) <= 3)
                cancel_delayed_action(u16_at(r, 4), u16_at(r, 6));
            break;
        case MA_LOCK:
            return lock(r, run);
        case MA_SWAP_SECTORS:
            swap_sectors(u16_at(r, 4), u16_at(r, 6));
            break;
        case MA_HIT_PARTY:
            hit_party(r, run);
            break;
        case MA_IF_FLAG: {
            const int n = std::abs(p4);
            if (n >= 1 && n <= 32)
                return jump_if_signed(p4,
                                      current_map.sides[static_cast<size_t>(run.place)].flags >> (n - 1) & 1);
            if (n == 33) return jump_if_signed(p4, map_services.monster_on_map());
            if (n == 34) return jump_if_signed(p4, map_services.monster_near(sector, 4));
            break;
        }
        case MA_SPECIAL:
            if (map_services.special(p4, run.place, p6, run.events))
                send_side_event(run.place, SIDE_EV_SPECIAL_OK);
            break;
        case MA_IF_CARRIES: {
            const int item = std::abs(p4);
            if (!is_item(item)) break;
            bool carried = false;
            for (int m : active_members) carried = carried || map_services.member_carries(m, item);
            return jump_if_signed(p4, carried);
        }
        case MA_STORY:
            if (const std::string* text = map_string(p4)) map_services.append_story(*text);
            break;
        case MA_IF_ACTION:
            if (p4 != 0) return jump_if_signed(p4, map_actions.last_action == std::abs(p4) - 1);
            break;
        case MA_EXPERIENCE:
            give_experience(p4);
            break;
        case MA_TELEPORT:
            teleport(u16_at(r, 4), u16_at(r, 6));
            break;
        case MA_PLAY_VIDEO: {
            const std::string file = text_at(r, 7, MULTIACTION_SLOT_SIZE);
            if (plain_file_name(file)) map_services.play_video(file, u8_at(r, 6) != 0);
            break;
        }
        case MA_GIVE_HELD:
            if (is_item(p4)) map_services.give_held(p4);
            break;
        case MA_IF_STORY_FLAG: {
            const int n = std::abs(p4) - 1;
            if (n >= 0 && n < STORY_FLAG_COUNT) return jump_if_signed(p4, story_flag(n));
            break;
        }
        case MA_SET_STORY_FLAG:
            set_story_flag(p4, u8_at(r, 6));
            break;
        case MA_DROP_NEW_ITEM:
            drop_new_item(r, run, false);
            break;
        case MA_DROP_MONEY:
            map_services.drop_money(sector, drop_quarter(run), random_between(p4, p6));
            break;
        case MA_GIVE_NEW_ITEM:
            drop_new_item(r, run, true);
            break;
        case MA_IF_HELD: {
            const int item = std::abs(p4);
            if (is_item(item)) return jump_if_signed(p4, map_services.held_item() == item);
            break;
        }
        case MA_BOOK: {
            const std::string file = text_at(r, 7, MULTIACTION_SLOT_SIZE);
            if (!plain_file_name(file)) break;
            map_services.show_book(file, p4);
            map_services.start_small_effect(1);
            break;
        }
        case MA_IF_RANDOM:
            if (run.chance < 0) run.chance = random(100);
            return jump_if(run.chance < p4);
        case MA_LEAVE_SCREEN:
            map_services.leave_screen();
            break;
        case MA_CALL_MONSTERS:
            if (is_place(u16_at(r, 4)) && is_place(u16_at(r, 6)))
                map_services.call_monsters(u16_at(r, 4), u16_at(r, 6));
            break;
        case MA_CALL_SIDE: {
            const int target = u16_at(r, 4), side = u16_at(r, 6);
            if (target < current_map.sector_count && side <= 3)
                run_side_script(run.place, run.events, target * 4 + side);
            break;
        }
        case MA_MUSIC:
            if (const std::string* list = map_string(p4)) map_services.play_list(*list);
            break;
        case MA_SET_HOOK:
            set_hook(r);
            break;
        default:
            break;
    }
    return step_result::next;
}

// Has-run marks are kept for every record of the map, list after list.
uint8_t* ran_mark(size_t index) {
    if (map_actions.ran_once.size() <= index) map_actions.ran_once.resize(index + 1, 0);
    return &map_actions.ran_once[index];
}

void walk(size_t list_index, size_t first_record, script_run& run) {
    int jumps = 0;
    size_t i = 0;
    for (;;) {
        // The list is looked up again at every step: a command may have
        // reached code that changed the map's records.
        if (list_index >= current_map.multiactions.size()) return;
        const auto& records = current_map.multiactions[list_index].records;
        if (i >= records.size()) return;
        const record r = records[i];
        const uint32_t head = static_cast<uint32_t>(u8_at(r, 0)) | static_cast<uint32_t>(u16_at(r, 1)) << 8;
        const int mask = static_cast<int>(head >> 8 & 0xFFFF);
        uint8_t* ran = ran_mark(first_record + i);
        if (!(mask & run.events) || ((head & MA_ONCE) && *ran)) {
            ++i;
            continue;
        }
        *ran = 1;
        switch (run_command(r, run)) {
            case step_result::jump: {
                const long target = static_cast<long>(i) + i16_at(r, 6);
                if (list_index >= current_map.multiactions.size()) return;
                const long count = static_cast<long>(current_map.multiactions[list_index].records.size());
                // A jump to itself or out of the list ends the run.
                if (target == static_cast<long>(i) || target < 0 || target >= count) return;
                if (++jumps > MAX_SCRIPT_JUMPS) return;
                i = static_cast<size_t>(target);
                continue;
            }
            case step_result::stop:
                return;
            case step_result::proceed:
                break;
            case step_result::next:
                if (head & MA_STOP) return;
                break;
        }
        ++i;
    }
}

}  // namespace

// ---------------------------------------------------------------- scripts

void send_side_event(int side, int events) {
    run_side_script(side, events, side);
}

void run_side_script(int place, int events, int script_side) {
    if (!is_side(place) || !is_side(script_side)) return;
    size_t list_index = 0, first_record = 0;
    for (; list_index < current_map.multiactions.size(); ++list_index) {
        const map_multiaction_list& list = current_map.multiactions[list_index];
        if (static_cast<int>(list.side) == script_side) break;
        first_record += list.records.size();
    }
    if (list_index == current_map.multiactions.size()) return;
    map_rules_depth depth;
    if (!depth.ok()) return;

    std::vector<int> previous = std::move(active_members);
    active_members = members_for(place, events);
    script_run run;
    run.place = place;
    run.events = events;
    walk(list_index, first_record, run);
    active_members = std::move(previous);
}

// The side last animated or acted on is kept with the map's action state.
void note_side_touched(int side) {
    map_actions.last_side = side;
}
int last_touched_side() {
    return map_actions.last_side;
}

void request_map_change(const std::string& name, int sector, int direction) {
    const std::string held = name;
    map_change_request request;
    request.name = held.c_str();
    request.sector = sector;
    request.direction = direction & 3;
    dispatch_event(EV_CHANGE_MAP, static_cast<const void*>(&request));
}

// ---------------------------------------------------------------- global hooks

namespace {

bool run_hook_entry(const global_hook& hook, int sector, int direction) {
    if (hook.sector == 0 && hook.side == 0) return true;
    run_side_script(sector * 4 + (direction & 3), SIDE_EV_ACTION, hook.sector * 4 + hook.side);
    return hook.cancel == 0;
}

// The first timed hook that is due is cleared and run.
bool run_due_timed_hook() {
    for (int n = HOOK_TIMED_FIRST; n <= HOOK_TIMED_LAST; ++n) {
        const global_hook hook = global_hooks[static_cast<size_t>(n)];
        if (hook.time <= 0 || game_time < hook.time) continue;
        global_hooks[static_cast<size_t>(n)] = global_hook{};
        return run_hook_entry(hook, party.sector, party.direction);
    }
    return true;
}

}  // namespace

std::array<uint8_t, GLOBAL_HOOKS_BYTES> global_hooks_bytes() {
    std::array<uint8_t, GLOBAL_HOOKS_BYTES> out{};
    for (size_t n = 0; n < global_hooks.size(); ++n) {
        const global_hook& h = global_hooks[n];
        uint8_t* p = out.data() + n * 8;
        const uint32_t time = static_cast<uint32_t>(h.time);
        p[0] = static_cast<uint8_t>(h.sector);
        p[1] = static_cast<uint8_t>(h.sector >> 8);
        p[2] = h.side;
        p[3] = h.cancel;
        for (int b = 0; b < 4; ++b) p[4 + b] = static_cast<uint8_t>(time >> (8 * b));
    }
    return out;
}

void set_global_hooks_bytes(const uint8_t* bytes, size_t size) {
    // A short table is taken as far as whole entries go; the rest is empty.
    global_hooks.fill(global_hook{});
    if (!bytes) return;
    for (size_t n = 0; n < global_hooks.size() && (n + 1) * 8 <= size; ++n) {
        const uint8_t* p = bytes + n * 8;
        global_hook& h = global_hooks[n];
        h.sector = static_cast<uint16_t>(p[0] | p[1] << 8);
        h.side = p[2];
        h.cancel = p[3];
        h.time = static_cast<int32_t>(static_cast<uint32_t>(p[4]) | static_cast<uint32_t>(p[5]) << 8 |
                                      static_cast<uint32_t>(p[6]) << 16 | static_cast<uint32_t>(p[7]) << 24);
    }
}

void clear_global_hooks() {
    global_hooks.fill(global_hook{});
}

bool run_hook(int number, int sector, int direction) {
    if (number < 0 || number >= HOOK_COUNT) return true;
    return run_hook_entry(global_hooks[static_cast<size_t>(number)], sector, direction);
}

// ---------------------------------------------------------------- game state

bool story_flag(int number) {
    if (number < 0 || number >= STORY_FLAG_COUNT) return false;
    return story_flags[static_cast<size_t>(number / 8)] >> (number % 8) & 1;
}

void set_story_flag(int number, int value) {
    if (number < 0 || number >= STORY_FLAG_COUNT) return;
    uint8_t& byte = story_flags[static_cast<size_t>(number / 8)];
    const auto bit = static_cast<uint8_t>(1u << (number % 8));
    if (value == 0)
        byte = static_cast<uint8_t>(byte & ~bit);
    else if (value == 1)
        byte = static_cast<uint8_t>(byte | bit);
    else
        byte = static_cast<uint8_t>(byte ^ bit);
}

int32_t timed_hook_time(int32_t value) {
    const int64_t now = game_time;
    int64_t at;
    if (value > 0) {
        at = now + value;
    } else {
        const int64_t hhmm = -static_cast<int64_t>(value);
        const int64_t of_day = ((hhmm / 100) * GAME_TIME_HOUR + (hhmm % 100) * 6) % GAME_TIME_DAY;
        const int64_t day_start = now - ((now % GAME_TIME_DAY) + GAME_TIME_DAY) % GAME_TIME_DAY;
        at = day_start + of_day;
        if (at <= now) at += GAME_TIME_DAY;
    }
    return static_cast<int32_t>(std::min<int64_t>(at, INT32_MAX));
}

bool advance_game_time(int units) {
    bool go_on = true;
    for (int i = 0; i < units; ++i) {
        if (game_time == INT32_MAX) break;
        ++game_time;
        if (!run_due_timed_hook()) go_on = false;
    }
    return go_on;
}

void game_tick() {
    map_services.party_tick();
    dispatch_event(EV_STATE_CHANGED);
    advance_game_time(1);
    run_hook(HOOK_GAME_TICK, party.sector, party.direction);
}

void reset_game_state() {
    clear_global_hooks();
    story_flags.fill(0);
    game_time = 0;
}
