#include "rules/party.h"

party_member party_members[PARTY_SLOTS];
party_member character_definitions[CHARACTER_DEFINITIONS];
party_globals party_state;

namespace {

item_lookup_fn item_lookup = nullptr;
party_world default_world;
party_world* world = &default_world;

}  // namespace

void reset_party() {
    for (party_member& m : party_members) m = party_member{};
    party_state = party_globals{};
}

void append_party_block(std::vector<uint8_t>& out) {
    for (const party_member& m : party_members) append_party_member(m, out);
}

bool read_party_block(const uint8_t* data, size_t size, bool saved_self_follows[PARTY_SLOTS]) {
    if (data == nullptr || size < PARTY_BLOCK_SIZE) return false;
    party_member read[PARTY_SLOTS];
    bool follows[PARTY_SLOTS] = {};
    for (int i = 0; i < PARTY_SLOTS; ++i)
        if (!read_party_member(data + i * PARTY_MEMBER_SIZE, PARTY_MEMBER_SIZE, read[i], &follows[i]))
            return false;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        party_members[i] = read[i];
        if (saved_self_follows) saved_self_follows[i] = follows[i];
    }
    return true;
}

int party_slot_of(const party_member& member) {
    for (int i = 0; i < PARTY_SLOTS; ++i)
        if (&party_members[i] == &member) return i;
    return -1;
}

void set_party_item_lookup(item_lookup_fn lookup) {
    item_lookup = lookup;
}
bool party_item_table_installed() {
    return item_lookup != nullptr;
}
const item_def* party_item(int item_number) {
    if (item_number <= 0 || item_lookup == nullptr) return nullptr;
    return item_lookup(item_number);
}

void set_party_world(party_world* w) {
    world = w ? w : &default_world;
}
party_world& party_world_hooks() {
    return *world;
}
