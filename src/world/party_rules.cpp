#include "world/party_rules.h"

#include <cstddef>

#include "core/random.h"
#include "world/party_standin.h"

party_rules_table party_rules;

namespace {

standin_member* member_at(int member) {
    if (member < 0 || static_cast<size_t>(member) >= party.members.size()) return nullptr;
    return &party.members[static_cast<size_t>(member)];
}

void hurt(int member, int amount) {
    standin_member* m = member_at(member);
    if (!m || amount <= 0) return;
    m->hit_points = amount >= m->hit_points ? 0 : m->hit_points - amount;
}

void harm(int member, int strength) {
    const standin_member* m = member_at(member);
    if (m) party_rules.hurt(member, m->hit_points >= 4 ? 3 : strength);
}

void tire(int member, bool after_move) {
    standin_member* m = member_at(member);
    if (!m) return;
    const int loss = after_move ? 20 : 2;
    m->condition = loss >= m->condition ? 0 : m->condition - loss;
    if (m->condition == 0) party_rules.kill(member);  // drowned
}

void fall(int member) {
    const standin_member* m = member_at(member);
    if (m) party_rules.hurt(member, random(m->max_hit_points / 2) + m->max_hit_points / 3);
}

void kill(int member) {
    if (standin_member* m = member_at(member)) m->hit_points = 0;
}

}  // namespace

void reset_party_rules() {
    party_rules.hurt = hurt;
    party_rules.harm = harm;
    party_rules.tire = tire;
    party_rules.fall = fall;
    party_rules.kill = kill;
}

namespace {
// The defaults are in place from program start.
const bool defaults_ready = (reset_party_rules(), true);
}  // namespace
