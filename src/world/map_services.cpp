#include "world/map_services.h"

#include <algorithm>

#include "world/party_standin.h"

map_services_table map_services;

namespace {

// Until the item table exists there are no items, the hand is empty and
// nobody carries anything; until monsters exist none stands anywhere.
int no_items() {
    return 0;
}
int nothing_held() {
    return 0;
}
void nothing() {}
void no_item(int) {}
void no_drop(int, int, int) {}
int no_item_def(const uint8_t*, int) {
    return 0;
}
bool carries_nothing(int, int) {
    return false;
}
int no_key(int) {
    return 0;
}
int no_skill(int) {
    return 0;
}
void no_message(int, int) {}

void hurt_standin(int member, int amount) {
    if (member < 0 || member >= static_cast<int>(party.members.size()) || amount <= 0) return;
    standin_member& m = party.members[static_cast<size_t>(member)];
    m.hit_points = std::max(0, m.hit_points - amount);
}
// Without the battle rules an attack does its lower value.
int attack_low(int, int attack_min, int) {
    return std::max(0, attack_min);
}
void no_experience(int, int) {}
int no_level(int) {
    return 0;
}
bool no() {
    return false;
}
int nobody() {
    return -1;
}

void no_fire(int, int, int, int, int, int, int) {}
void no_book(const std::string&, int) {}
bool no_special(int, int, int, int) {
    return false;
}
void no_text(const std::string&) {}
void no_sound(const uint8_t*, int, int, int) {}
void no_video(const std::string&, bool) {}
bool no_monster_near(int, int) {
    return false;
}
void no_call(int, int) {}
bool none_in(int) {
    return false;
}

}  // namespace

void reset_map_services() {
    map_services_table& s = map_services;
    s = map_services_table{};
    s.item_count = no_items;
    s.held_item = nothing_held;
    s.destroy_held = nothing;
    s.give_held = no_item;
    s.drop_item = no_drop;
    s.add_item_def = no_item_def;
    s.drop_money = no_drop;
    s.member_carries = carries_nothing;
    s.key_code = no_key;
    s.lock_picking = no_skill;
    s.break_held_pick = nothing;
    s.lock_pick_message = no_message;
    s.hurt_member = hurt_standin;
    s.battle_damage = attack_low;
    s.give_experience = no_experience;
    s.member_level = no_level;
    s.in_battle = no;
    s.acting_member = nobody;
    s.regroup_for_travel = nothing;
    s.party_tick = nothing;
    s.fire = no_fire;
    s.start_dialog = no_item;
    s.open_shop = no_item;
    s.show_book = no_book;
    s.special = no_special;
    s.append_story = no_text;
    s.teleport_animation = nothing;
    s.start_small_effect = no_item;
    s.leave_screen = nothing;
    s.play_sound = no_sound;
    s.play_list = no_text;
    s.play_video = no_video;
    s.monster_on_map = no;
    s.monster_near = no_monster_near;
    s.call_monsters = no_call;
    s.settle_sectors = no_call;
    s.monster_in = none_in;
    s.alarm = no_item;
    s.item_on_floor = none_in;
}

namespace {
// The defaults are in place from program start.
const bool services_ready = (reset_map_services(), true);
}  // namespace
