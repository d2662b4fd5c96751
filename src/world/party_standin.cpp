#include "world/party_standin.h"

standin_party party;

void new_standin_party(int sector, int direction) {
    party = standin_party{};
    // The four who set out: name, hit points, condition, magic points.
    struct start {
        const char* name;
        int hp, condition, magic;
    };
    constexpr start company[] = {
        {"Borin", 42, 60, 0}, {"Lenka", 30, 48, 24}, {"Tomas", 36, 52, 10}, {"Vesna", 26, 40, 36}};
    for (const start& s : company) {
        standin_member m;
        m.name = s.name;
        m.hit_points = m.max_hit_points = s.hp;
        m.condition = m.max_condition = s.condition;
        m.magic = m.max_magic = s.magic;
        party.members.push_back(m);
    }
    party.money = 120;
    place_party(sector, direction);
}

void place_party(int sector, int direction) {
    party.sector = sector;
    party.direction = direction & 3;
    for (standin_member& m : party.members) {
        if (m.group != party.active_group || !m.on_this_map) continue;
        m.sector = party.sector;
        m.direction = party.direction;
    }
}

bool member_with_party(const standin_member& m) {
    return m.on_this_map && m.sector == party.sector;
}
