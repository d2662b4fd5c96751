// The action engine: what an action code does to its target side, the sector
// check, COPY / SEND / APLY2ND propagation and the queue of delayed actions.
#include "world/map_actions.h"

#include <algorithm>
#include <cstdio>

#include "world/map.h"
#include "world/map_scripts.h"
#include "world/panel.h"

map_action_state map_actions;

namespace {

int depth = 0;
// Once a chain has been cut, everything still nested in it ends at once, so a
// map whose rules branch as they recurse cannot run up an exponential bill.
bool cutting = false;
bool cut_reported = false;

constexpr uint32_t TOGGLE_SHIFT = 24;
constexpr uint32_t SECTOR_CHECK_MASK = SIDE_TOGGLE_MASK;

bool sector_in_map(int sector) {
    return sector >= 0 && sector < current_map.sector_count;
}

map_side& side_at(int sector, int side) {
    return current_map.sides[static_cast<size_t>(sector) * 4 + static_cast<size_t>(side)];
}

// The sector's own action, when all four of its walls are shown.
void sector_check(int sector, uint32_t flags) {
    for (int d = 0; d < 4; ++d)
        if (!(side_at(sector, d).flags & SIDE_P_VIS)) return;
    const map_sector& sec = current_map.sectors[static_cast<size_t>(sector)];
    queue_action(sec.action, sec.action_target, sec.action_side & 3, flags, false, 0);
}

// The switch of apply_action. Returns false for the codes that end without
// events or propagation.
bool change_side(int code, int sector, int side, uint32_t flags, bool& changed) {
    const size_t index = static_cast<size_t>(sector) * 4 + static_cast<size_t>(side);
    uint32_t& s = current_map.sides[index].flags;
    uint8_t& resting = current_map.side_resting[index];
    const uint32_t mask = (flags & SIDE_TOGGLE_MASK) >> TOGGLE_SHIFT;
    auto apply_mask = [&] {
        s ^= mask;
        resting = static_cast<uint8_t>(s);
    };
    auto rest_after_mask = [&] { resting = static_cast<uint8_t>(s ^ mask); };
    switch (code) {
        case ACT_TOGGLE_BITS:
            s ^= mask;
            break;
        case ACT_OPEN:
            if (!(s & (SIDE_P_FORW | SIDE_P_ANIM))) {
                s |= SIDE_P_FORW;
                rest_after_mask();
                changed = true;
            }
            if (!(s & SIDE_S_FORW)) {
                s |= SIDE_S_FORW;
                changed = true;
            }
            break;
        case ACT_CLOSE:
            if ((s & SIDE_P_FORW) && !(s & SIDE_P_ANIM)) {
                s &= ~SIDE_P_FORW;
                rest_after_mask();
                changed = true;
            }
            if (s & SIDE_S_FORW) {
                s &= ~SIDE_S_FORW;
                changed = true;
            }
            break;
        case ACT_REVERSE:
            s ^= (s & SIDE_P_ANIM) ? SIDE_S_FORW : SIDE_S_FORW | SIDE_P_FORW;
            rest_after_mask();
            changed = true;
            break;
        case ACT_ANIMATE:
            s |= SIDE_P_ANIM;
            changed = true;
            break;
        case ACT_SHOW:
        case ACT_SHOW_2ND: {
            const uint32_t vis = code == ACT_SHOW ? SIDE_P_VIS : SIDE_S_VIS;
            if (!(s & vis)) {
                s |= vis;
                apply_mask();
            }
            changed = true;
            break;
        }
        case ACT_HIDE:
        case ACT_HIDE_2ND: {
            const uint32_t vis = code == ACT_HIDE ? SIDE_P_VIS : SIDE_S_VIS;
            if (s & vis) {
                s &= ~vis;
                apply_mask();
            }
            changed = true;
            break;
        }
        case ACT_SHOW_HIDE:
            s ^= SIDE_P_VIS;
            apply_mask();
            changed = true;
            break;
        case ACT_ANIMATE_2ND:
            s |= SIDE_S_ANIM;
            changed = true;
            break;
        case ACT_SHOW_HIDE_2ND:
            s ^= SIDE_S_VIS;
            apply_mask();
            changed = true;
            break;
        case ACT_REMOVE:
            if (s & (SIDE_P_VIS | SIDE_S_VIS)) {
                s &= ~(SIDE_P_VIS | SIDE_S_VIS);
                apply_mask();
            }
            changed = true;
            break;
        case ACT_SECTOR_TOGGLE:
        case ACT_SECTOR_SWITCH: {
            const uint32_t check = code == ACT_SECTOR_TOGGLE ? SECTOR_CHECK_MASK : flags;
            sector_check(sector, check);
            current_map.sides[index].flags ^= SIDE_P_VIS;
            sector_check(sector, check);
            changed = true;
            break;
        }
        case ACT_SECTOR_SET:
            s |= SIDE_P_VIS;
            sector_check(sector, flags);
            changed = true;
            break;
        case ACT_TELEPORT_ON:
        case ACT_TELEPORT_OFF: {
            const bool on = code == ACT_TELEPORT_ON;
            current_map.sectors[static_cast<size_t>(sector)].sector_type = on ? 12 : 1;
            for (int d = 0; d < 4; ++d) {
                uint32_t& f = side_at(sector, d).flags;
                f = on ? f | SIDE_S_VIS : f & ~SIDE_S_VIS;
            }
            return false;
        }
        default:
            break;
    }
    return true;
}

void send_events(int side, int events) {
    if (movement_rules.send_side_event) movement_rules.send_side_event(side, events);
}

// COPY, SEND and APLY2ND of the target side, in this order.
void propagate_from(int code, int sector, int side, uint32_t flags) {
    const size_t index = static_cast<size_t>(sector) * 4 + static_cast<size_t>(side);
    auto target = [&]() -> map_side& { return current_map.sides[index]; };

    if (target().flags & SIDE_COPY) {
        target().flags &= ~SIDE_COPY;
        queue_action(code, target().action_target, target().target_side & 3, flags, false, 0);
        target().flags |= SIDE_COPY;
    }
    if (target().flags & SIDE_SEND) {
        target().flags &= ~SIDE_SEND;
        const map_side& t = target();
        queue_action(t.action, t.action_target, t.target_side & 3, t.flags, false, 0);
        target().flags |= SIDE_SEND;
    }
    if (target().flags & SIDE_APLY2ND) {
        const int neighbour =
            current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(side)];
        if (neighbour != 0 && sector_in_map(neighbour))
            apply_action(code, neighbour, (side + 2) & 3, flags, true);
    }
}

}  // namespace

map_rules_depth::map_rules_depth() : ok_(depth < MAP_RULES_MAX_DEPTH && !cutting) {
    ++depth;
    if (ok_ || cutting) return;
    cutting = true;
    if (!cut_reported) {
        cut_reported = true;
        std::fprintf(stderr,
                     "Map %s: actions and scripts call each other more than %d deep; the chain is cut.\n",
                     current_map.name.c_str(), MAP_RULES_MAX_DEPTH);
    }
}

map_rules_depth::~map_rules_depth() {
    if (--depth == 0) cutting = false;
}

void reset_map_actions() {
    map_actions = map_action_state{};
    size_t records = 0;
    for (const map_multiaction_list& list : current_map.multiactions) records += list.records.size();
    map_actions.ran_once.assign(records, 0);
    cut_reported = false;
}

void apply_action(int code, int sector, int side, uint32_t flags, bool propagate) {
    map_rules_depth guard;
    if (!guard.ok()) return;
    if (code == ACT_MESSAGE) {
        // The target names a map text, not a sector.
        const std::string* text = map_string(sector);
        show_panel_message(text ? text->c_str() : nullptr);
        return;
    }
    if (!sector_in_map(sector) || side < 0 || side > 3) return;
    bool changed = false;
    map_actions.last_side = sector * 4 + side;
    if (!change_side(code, sector, side, flags, changed) || propagate) return;

    map_actions.last_action = code;
    send_events(sector * 4 + side, SIDE_EV_ACTION | (changed ? SIDE_EV_CHANGED : 0));
    propagate_from(code, sector, side, flags);
}

void queue_action(int code, int sector, int side, uint32_t flags, bool propagate, int delay) {
    if (sector == 0 && side == 0) return;
    if (delay <= 0) {
        apply_action(code, sector, side, flags, propagate);
        return;
    }
    delayed_action node;
    node.code = static_cast<uint16_t>(code);
    node.sector = static_cast<uint16_t>(sector);
    node.side = static_cast<uint16_t>(side);
    node.flags_high = static_cast<uint16_t>(flags >> 16);
    node.propagate = propagate ? 1 : 0;
    node.delay = static_cast<uint16_t>(std::min(delay, 0xFFFF));
    map_actions.delayed.insert(map_actions.delayed.begin(), node);
}

bool cancel_delayed_action(int sector, int side) {
    auto& list = map_actions.delayed;
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const delayed_action& a) { return a.sector == sector && a.side == side; });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

void run_delayed_actions() {
    // Count every pending node down first; the due ones leave the list before
    // any is applied, so actions queued while they run wait their full delay.
    std::vector<delayed_action> due;
    auto& list = map_actions.delayed;
    for (auto it = list.begin(); it != list.end();) {
        if (it->delay <= 1) {
            due.push_back(*it);
            it = list.erase(it);
        } else {
            --it->delay;
            ++it;
        }
    }
    // The list is newest first: the oldest due action goes first.
    for (auto it = due.rbegin(); it != due.rend(); ++it)
        apply_action(it->code, it->sector, it->side, static_cast<uint32_t>(it->flags_high) << 16,
                     it->propagate != 0);
}
