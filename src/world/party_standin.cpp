#include "world/party_standin.h"

#include "world/game_sounds.h"
#include "world/party_roster.h"

standin_party party;

namespace {

// The stand-in company seen through the roster: slots are the indexes of
// party.members.
class standin_roster final : public party_roster {
  public:
    int slots() const override { return static_cast<int>(party.members.size()); }

    roster_member member(int slot) const override {
        roster_member r;
        const standin_member* m = at(slot);
        if (!m) return r;
        r.used = true;
        r.name = m->name;
        r.hp = m->hit_points;
        r.hp_max = m->max_hit_points;
        r.vp = m->condition;
        r.vp_max = m->max_condition;
        r.mp = m->magic;
        r.mp_max = m->max_magic;
        r.sector = m->sector;
        r.direction = m->direction;
        r.group = m->group;
        r.on_this_map = m->on_this_map;
        r.levitating = m->levitating;
        return r;
    }

    void place_member(int slot, int sector, int direction) override {
        if (standin_member* m = at(slot)) {
            m->sector = sector;
            m->direction = direction & 3;
        }
    }

    int active_group() const override { return party.active_group; }
    void set_active_group(int group) override { party.active_group = group; }
    int selected() const override { return party.selected; }
    void select(int slot) override { party.selected = slot >= 0 && slot < slots() ? slot : -1; }
    int32_t money() const override { return party.money; }

    void gather(int sector, int direction) override {
        for (standin_member& m : party.members) {
            if (!m.on_this_map || !m.alive() || m.sector != sector) continue;
            m.group = party.active_group;
            m.direction = direction & 3;
        }
    }

  private:
    static standin_member* at(int slot) {
        if (slot < 0 || slot >= static_cast<int>(party.members.size())) return nullptr;
        return &party.members[static_cast<size_t>(slot)];
    }
};

standin_roster standin;
party_roster* installed_roster = nullptr;

}  // namespace

party_roster& roster() {
    return installed_roster ? *installed_roster : standin;
}

void set_party_roster(party_roster* installed) {
    installed_roster = installed;
}

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
    party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member m = members.member(i);
        if (!m.used || m.group != members.active_group() || !m.on_this_map) continue;
        members.place_member(i, party.sector, party.direction);
    }
    sounds_follow_party();
}

bool member_with_party(const standin_member& m) {
    return m.on_this_map && m.sector == party.sector;
}

bool member_with_party(const roster_member& m) {
    return m.used && m.on_this_map && m.sector == party.sector;
}
