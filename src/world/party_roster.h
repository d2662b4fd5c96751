#pragma once
// The party's members as the world sees them: where each stands and faces,
// its group, and what the party bar shows of it. The characters' records are
// kept by the rules, which install their roster when the game starts; until
// then (and in the world's own tests) the roster is the small stand-in
// company of party_standin.h. The world reads members only through here, so
// the records stay the one copy.
//
// Members are named by their slot (0 .. slots() - 1); the party bar shows the
// used slots in slot order.
#include <cstdint>
#include <string>

// A copy of what the world needs of one member, taken when asked.
struct roster_member {
    bool used = false;
    std::string name;
    int hp = 0, hp_max = 0;  // hit points
    int vp = 0, vp_max = 0;  // condition
    int mp = 0, mp_max = 0;  // magic points
    int sector = 0;          // where it stands on this map
    int direction = 0;       // where it faces
    int group = 0;           // 1..6; 0 for the dead
    bool on_this_map = true;
    bool levitating = false;
    bool female = false;
    int face = 0;          // portrait number (XICHT%02x.PCX, CHAR%02x.PCX)
    uint16_t flags = 0;    // the state flags of the effective statistics
    int actions_left = 0;  // battle actions still to plan
    int hit_shown = 0;     // a hit being shown on the portrait (its amount), 0 none
    bool alive() const { return used && hp > 0; }
};

class party_roster {
  public:
    virtual ~party_roster() = default;
    virtual int slots() const = 0;
    // An unused record for a slot out of range.
    virtual roster_member member(int slot) const = 0;
    // Moves one member (the world moves the active group with the party).
    virtual void place_member(int slot, int sector, int direction) = 0;
    virtual int active_group() const = 0;
    virtual void set_active_group(int group) = 0;
    // The selected member, -1 for none.
    virtual int selected() const = 0;
    virtual void select(int slot) = 0;
    virtual int32_t money() const = 0;
    // The living members on this map standing in the sector join the active
    // group and face the direction (the groups are then counted anew).
    virtual void gather(int sector, int direction) = 0;
};

// The roster in use: the rules' once installed, else the stand-in company.
party_roster& roster();
// Null puts the stand-in back.
void set_party_roster(party_roster* installed);

// True when the member stands in the party's sector on this map.
bool member_with_party(const roster_member& m);
