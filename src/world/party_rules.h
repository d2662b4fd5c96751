#pragma once
// What the places of the map do to the party's members (hurt, harm, tiring
// in water and drowning, falling into a pit, dying at once), asked by
// movement. The characters' own rules (statistics, protections, the hooks on
// injury and death) replace these entries when they exist; the defaults work
// on the stand-in party. Members are named by their slot in the roster.
struct party_rules_table {
    // Takes hit points from the member (never below 0).
    void (*hurt)(int member, int amount) = nullptr;
    // A harmful place: 3 hit points, or the strength when fewer than 4 are left.
    void (*harm)(int member, int strength) = nullptr;
    // Wading: condition lost (20 right after a move, else 2); at 0 the member drowns.
    void (*tire)(int member, bool after_move) = nullptr;
    // The damage of a fall into a pit.
    void (*fall)(int member) = nullptr;
    // The member dies at once.
    void (*kill)(int member) = nullptr;
};
extern party_rules_table party_rules;
// Puts every entry back to its default.
void reset_party_rules();
