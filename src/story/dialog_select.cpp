// Choosing the party member a dialog addresses, and the statistics it tests
// and changes on that member.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/random.h"
#include "rules/party.h"
#include "story/dialog_internal.h"

namespace dialog_detail {
namespace {

bool present(int position) {
    const party_member& m = party_members[position];
    return m.used && m.hp > 0 && m.map_hash == party_state.map_hash && m.sector == party_sector();
}

bool held_in_a_slot(int position) {
    for (const selection_slot& s : dialog.slots)
        if (s.position == position) return true;
    return false;
}

// Step 2 of the selection: those reaching the threshold, or else the
// strongest (the later one on ties). The flag tells which.
std::vector<int> eligible_among(const std::vector<int>& candidates, int stat, int threshold, bool& flag) {
    std::vector<int> reaching;
    for (int p : candidates)
        if (party_members[p].stats[stat] >= threshold) reaching.push_back(p);
    flag = reaching.empty();
    if (!reaching.empty() || candidates.empty()) return reaching;
    int best = candidates.front();
    for (int p : candidates)
        if (party_members[p].stats[stat] >= party_members[best].stats[stat]) best = p;
    return {best};
}

int16_t clamp16(long value) {
    return int16_t(std::clamp<long>(value, INT16_MIN, INT16_MAX));
}

party_member& selected_member() {
    return party_members[selected_position()];
}

// Values from 100: the weapon skills, whose practice counters follow them.
constexpr int ADDITIONAL_VALUES = WEAPON_CLASSES;

int16_t& additional_value(int index) {
    const int k = index - 100;
    if (k >= ADDITIONAL_VALUES) fail("Statistic out of range");
    return selected_member().skills[k];
}

void refresh_companion(int index) {
    party_member& m = selected_member();
    const int k = index - 100;
    const int level = std::clamp<int>(m.skills[k], 0, 10);
    m.skill_practice[k] = level > 0 ? skill_table[level - 1] : 0;
}

void check_stat(int index) {
    if (index < 0 || (index >= STAT_COUNT && index < 100)) fail("Statistic out of range");
}

}  // namespace

void select_slot_member(int position) {
    const party_member& m = party_members[position];
    selection_slot& s = dialog.slots[0];
    s.position = uint8_t(position);
    s.name.assign(m.name, strnlen(m.name, sizeof m.name));
    s.gender = m.female ? 1 : 0;
}

int selected_position() {
    const int p = dialog.slots[0].position;
    return p < PARTY_SLOTS && party_members[p].used ? p : -1;
}

void select_member(int stat, int threshold, int keep_held) {
    std::vector<int> here, candidates;
    for (int p = 0; p < PARTY_SLOTS; ++p) {
        if (!present(p)) continue;
        here.push_back(p);
        if (keep_held != 0 || !held_in_a_slot(p)) candidates.push_back(p);
    }
    bool flag = false;
    std::vector<int> eligible = eligible_among(candidates, stat, threshold, flag);
    if (eligible.empty()) {
        if (keep_held != 0) return;
        eligible = eligible_among(here, stat, threshold, flag);
        flag = true;
        if (eligible.empty()) return;
    }
    dialog.flag = flag;
    select_slot_member(eligible[size_t(random(int(eligible.size())))]);
}

void raise_stat(int index, int value) {
    check_stat(index);
    if (selected_position() < 0) {
        dialog.flag = true;
        return;
    }
    party_member& m = selected_member();
    if (index >= 100) {
        int16_t& v = additional_value(index);
        dialog.flag = v >= value;
        if (v < value) v = clamp16(value);
        refresh_companion(index);
        return;
    }
    dialog.flag = m.stats[index] >= value;
    if (dialog.flag) return;
    m.base_stats[index] = clamp16(long(m.base_stats[index]) + value - m.stats[index]);
    recompute_stats(m);
}

void add_stat(int index, int amount, int maximum) {
    check_stat(index);
    dialog.flag = false;
    if (selected_position() < 0) {
        dialog.flag = true;
        return;
    }
    party_member& m = selected_member();
    if (index >= 100) {
        int16_t& v = additional_value(index);
        if (v >= maximum) {
            dialog.flag = true;
            return;
        }
        long raised = long(v) + amount;
        if (raised > maximum) {
            raised = maximum;
            dialog.flag = true;
        }
        v = clamp16(raised);
        refresh_companion(index);
        return;
    }
    if (m.stats[index] >= maximum) {
        dialog.flag = true;
        return;
    }
    m.base_stats[index] = clamp16(long(m.base_stats[index]) + amount);
    recompute_stats(m);
    if (m.stats[index] > maximum) {
        m.base_stats[index] = clamp16(long(m.base_stats[index]) - (m.stats[index] - maximum));
        m.stats[index] = int16_t(maximum);
    }
}

int compared_stat(int index) {
    check_stat(index);
    if (selected_position() < 0) return 0;
    if (index >= 100) return additional_value(index);
    return selected_member().base_stats[index];
}

bool select_face(int face) {
    for (int p = 0; p < PARTY_SLOTS; ++p)
        if (party_members[p].used && party_members[p].face == face) {
            select_slot_member(p);
            return true;
        }
    return false;
}

}  // namespace dialog_detail
