// Stored paths: sector lists a monster walks along (fleeing, a guard going
// home, scripts), with their saved layout; and short ways through the map.
#include <array>
#include <deque>

#include "core/record_bytes.h"
#include "rules/monsters_ai/monster_ai_internal.h"
#include "world/map.h"
#include "world/map_state.h"

using namespace monster_ai_detail;

namespace {

struct stored_path {
    std::vector<uint16_t> entries;  // ended by 0; empty = no path
    size_t cursor = 0;
};
std::array<stored_path, MONSTER_SLOTS> paths;

bool slot_in_range(int slot) {
    return slot >= 0 && slot < MONSTER_SLOTS && static_cast<size_t>(slot) < monster_table.size();
}

}  // namespace

void set_monster_path(int slot, const std::vector<uint16_t>& sectors) {
    if (slot < 0 || slot >= MONSTER_SLOTS) return;
    stored_path& p = paths[static_cast<size_t>(slot)];
    p.cursor = 0;
    p.entries = sectors;
    if (p.entries.empty()) return;
    p.entries.push_back(0);
    // A monster given a way walks.
    monster_table[static_cast<size_t>(slot)].strategy |= MS_WALK;
}

bool has_monster_path(int slot) {
    return slot >= 0 && slot < MONSTER_SLOTS && !paths[static_cast<size_t>(slot)].entries.empty();
}

void drop_monster_path(int slot) {
    if (slot >= 0 && slot < MONSTER_SLOTS) paths[static_cast<size_t>(slot)] = {};
}

void monster_ai_detail::drop_all_monster_paths() {
    for (stored_path& p : paths) p = {};
}

bool monster_ai_detail::follow_path(int slot) {
    if (!slot_in_range(slot) || !has_monster_path(slot)) return false;
    monster& m = monster_table[static_cast<size_t>(slot)];
    stored_path& p = paths[static_cast<size_t>(slot)];
    auto give_up = [&] {
        drop_monster_path(slot);
        m.intent = MI_NONE;
        m.state &= static_cast<uint8_t>(~MST_BATTLE);
        return false;
    };
    if (m.intent == MI_FLEE && m.actions == 0) return give_up();
    const int next = p.cursor < p.entries.size() ? p.entries[p.cursor] : 0;
    const int direction = next == 0 ? -1 : direction_to(m.sector, next);
    if (direction < 0) return give_up();
    if (can_enter(m, m.sector, direction) != ENTER_FREE) {
        if (p.cursor >= 2) p.cursor -= 2;
        return false;
    }
    ++p.cursor;
    if (m.intent == MI_FLEE) --m.actions;
    m.strategy |= MS_WALK;
    m.direction = static_cast<int16_t>(direction);
    m.goal_x = exit_goal_x[direction];
    m.goal_y = exit_goal_y[direction];
    play(slot, 0);
    return true;
}

namespace {
void append_le(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
}  // namespace

void write_monster_paths(std::vector<uint8_t>& out) {
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot) {
        const stored_path& p = paths[static_cast<size_t>(slot)];
        if (p.entries.empty()) continue;
        append_le(out, static_cast<uint16_t>(slot), 2);
        append_le(out, static_cast<uint32_t>(p.entries.size()), 4);
        for (uint16_t sector : p.entries) append_le(out, sector, 2);
    }
    append_le(out, 0xFFFF, 2);
}

namespace {

using stored_paths = std::array<stored_path, MONSTER_SLOTS>;

// Reads the saved layout into `read`; false for a record cut short or naming
// a slot, count or sector out of range. `used` receives the bytes read.
bool parse_paths(std::span<const uint8_t> bytes, size_t& used, stored_paths& read) {
    record_reader in(bytes.data(), bytes.size());
    auto fail = [&] {
        used = in.position();
        return false;
    };
    while (true) {
        const int slot = in.i16();
        if (!in.ok()) return fail();
        if (slot == -1) break;
        const int32_t count = in.i32();
        if (!in.ok() || slot < 0 || slot >= MONSTER_SLOTS) return fail();
        // At least the closing 0, and never more than the bytes left.
        if (count < 1 || static_cast<size_t>(count) > (bytes.size() - in.position()) / 2) return fail();
        std::vector<uint16_t> entries(static_cast<size_t>(count));
        for (uint16_t& e : entries) e = in.u16();
        if (entries.back() != 0) return fail();
        for (size_t i = 0; i + 1 < entries.size(); ++i)
            if (!valid_sector(entries[i])) return fail();
        read[static_cast<size_t>(slot)].entries = std::move(entries);
    }
    used = in.position();
    return true;
}

// The paths' part of the map state record, read whole before it is used.
stored_paths staged_paths;

bool stage_paths(std::span<const uint8_t> bytes, size_t& used) {
    staged_paths = {};
    return parse_paths(bytes, used, staged_paths);
}

void commit_paths() {
    paths = std::move(staged_paths);
    staged_paths = {};
}

void drop_paths_on_leaving() {
    drop_all_monster_paths();
}

}  // namespace

bool read_monster_paths(std::span<const uint8_t> bytes, size_t* used) {
    drop_all_monster_paths();
    stored_paths read;
    size_t taken = 0;
    const bool ok = parse_paths(bytes, taken, read);
    if (ok) paths = std::move(read);
    if (used) *used = taken;
    return ok;
}

void install_monster_paths_map_state() {
    set_map_state_section(map_state_part::monster_extras, {write_monster_paths, stage_paths, commit_paths});
    // A path names sectors of its own map: none goes on to the next.
    static bool hooked = false;
    if (!hooked) add_map_unloading_hook(drop_paths_on_leaving);
    hooked = true;
}

std::vector<uint16_t> monster_way(const monster& m, int from, int to, int steps) {
    if (!valid_sector(from) || !valid_sector(to) || from == to) return {};
    // Breadth first, neighbours in the order north, east, south, west.
    std::vector<int> came_from(static_cast<size_t>(current_map.sector_count), -1);
    std::vector<int> depth(static_cast<size_t>(current_map.sector_count), 0);
    std::deque<int> queue{from};
    came_from[static_cast<size_t>(from)] = from;
    while (!queue.empty()) {
        const int here = queue.front();
        queue.pop_front();
        if (here == to) break;
        if (depth[static_cast<size_t>(here)] >= steps) continue;
        for (int d = 0; d < 4; ++d) {
            if (can_enter(m, here, d) != ENTER_FREE) continue;
            const int next = neighbour(here, d);
            if (came_from[static_cast<size_t>(next)] >= 0) continue;
            came_from[static_cast<size_t>(next)] = here;
            depth[static_cast<size_t>(next)] = depth[static_cast<size_t>(here)] + 1;
            queue.push_back(next);
        }
    }
    if (came_from[static_cast<size_t>(to)] < 0) return {};
    std::vector<uint16_t> way;
    for (int at = to; at != from; at = came_from[static_cast<size_t>(at)])
        way.insert(way.begin(), static_cast<uint16_t>(at));
    return way;
}
