// The attack formula and the weapon-weighted defence.
#include "rules/attack_roll.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "core/random.h"
#include "rules/party.h"

namespace {

// A roll of 0..k-1; nothing is drawn for an empty range.
int roll(int k) {
    return k > 0 ? random(k) : 0;
}

void append(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

}  // namespace

std::string attack_log::text(int number) const {
    switch (number) {
        case TEXT_STRENGTH:
            return "Strength";
        case TEXT_MAGIC_POWER:
            return "Magic power";
        case TEXT_DEXTERITY:
            return "Dexterity";
        case TEXT_ELEMENTS + 0:
            return "Fire";
        case TEXT_ELEMENTS + 1:
            return "Water";
        case TEXT_ELEMENTS + 2:
            return "Earth";
        case TEXT_ELEMENTS + 3:
            return "Air";
        case TEXT_ELEMENTS + 4:
            return "Mind";
        default:
            return "";
    }
}

attack_log& silent_attack_log() {
    static attack_log silent;
    return silent;
}

int attack_roll(const int16_t A[STAT_COUNT], const int16_t D[STAT_COUNT], int targets, int skill, int force,
                bool use_dexterity, attack_log& log) {
    bool dexterity_named = use_dexterity && A[STAT_DEXTERITY] > A[STAT_STRENGTH];
    int bonus = (dexterity_named ? A[STAT_DEXTERITY] : A[STAT_STRENGTH]) / 5;

    // No targets at all would divide by zero: it is taken as one.
    int divisor = std::max((targets + 1) / 2, 1);
    int low = D[STAT_DEFENSE_MIN] / divisor;

    int attack_min = A[STAT_ATTACK_MIN], attack_max = A[STAT_ATTACK_MAX];
    int a = attack_min + roll(attack_max - attack_min + 1);
    int r = low + roll(D[STAT_DEFENSE_MAX] - low + 1);
    int magic_min = A[STAT_MAGIC_ATTACK_MIN], magic_max = A[STAT_MAGIC_ATTACK_MAX];
    int m = magic_min + roll(magic_max - magic_min + 1);

    int attack = bonus + a + force;
    int defence = D[STAT_DEXTERITY] / 5 + r;
    if (D[STAT_FLAGS] & CF_INVISIBLE) defence += 10;

    int magic_bonus = m != 0 ? A[STAT_MAGIC_POWER] / 5 : 0;
    int magic_attack = m != 0 ? m + magic_bonus : 0;
    // An element outside the five has no resistance to meet it.
    int element = A[STAT_MAGIC_ELEMENT];
    bool known_element = element >= 0 && element < STAT_RESIST_COUNT;
    int resistance = known_element ? D[STAT_RESIST + element] : 0;
    int factor = resistance <= 100 ? 100 - resistance : 100;
    int magical = factor * magic_attack / 100;

    int physical = std::max(attack - defence, 0);
    int extra = skill + A[STAT_DAMAGE_BONUS];
    bool extra_added = physical >= 1 && extra >= 1;
    if (extra_added) physical += extra;
    int before_half = physical;
    if (D[STAT_FLAGS] & CF_HALF_PHYSICAL) physical /= 2;

    int total = magical + physical;
    int before_spell = total;
    bool spell_resisted = (D[STAT_FLAGS] & CF_HALF_MAGICAL) && magical != 0;
    if (spell_resisted) total -= magical / 2;
    bool heals = (D[STAT_FLAGS] & CF_DAMAGE_HEALS) != 0;
    int result = heals ? -total : total;

    if (!log.on()) return result;
    std::string out = ">";
    std::string bonus_name = log.text(dexterity_named ? TEXT_DEXTERITY : TEXT_STRENGTH);
    if (attack_max != 0)
        append(out, "Attack (physical): %d (roll %d-%d) + %d (%s/5) + %d (ext.force) = %d\n", a, attack_min,
               attack_max, bonus, bonus_name.c_str(), force, attack);
    else if (force != 0)
        append(out, "Attack (physical):  %d (ext.force)\n", force);
    if (D[STAT_DEFENSE_MAX] != 0 && attack > 0) {
        char disadvantage[32] = "";
        if (divisor >= 2) std::snprintf(disadvantage, sizeof disadvantage, ", disadvantage %d", divisor);
        append(out, "Defense (physical):  %d (roll %d-%d%s) + %d (%s/5) = %d\n", r, low, D[STAT_DEFENSE_MAX],
               disadvantage, D[STAT_DEXTERITY] / 5, log.text(TEXT_DEXTERITY).c_str(), defence);
    }
    if (before_half > 0) {
        if (extra_added)
            append(out, "Psychical hit: %d - %d + %d (damage) + %d (weapon) = %d\n", attack, defence,
                   A[STAT_DAMAGE_BONUS], skill, before_half);
        else
            append(out, "Psychical hit: %d - %d = %d\n", attack, defence, before_half);
    }
    if (D[STAT_FLAGS] & CF_HALF_PHYSICAL)
        append(out, "Physical resistance applied: %d - %d (half)= %d\n", before_half, before_half - physical,
               physical);
    if (magic_max != 0) {
        append(out, "Attack (magical): %d (roll %d-%d) + %d (%s/5) = %d\n", m, magic_min, magic_max,
               magic_bonus, log.text(TEXT_MAGIC_POWER).c_str(), magic_attack);
        std::string element_name = known_element ? log.text(TEXT_ELEMENTS + element) : "?";
        append(out, "Magical hit: %d - %d (resistance %s: %d%%) = %d\n", magic_attack, magic_attack - magical,
               element_name.c_str(), resistance, magical);
        append(out, "Total hit: %d (physical) + %d (magical) = %d\n", physical, magical, before_spell);
    }
    if (spell_resisted)
        append(out, "Spell resistance applied: %d - %d = %d\n", before_spell, magical / 2, total);
    if (heals) append(out, "Set Face spell applied: %d = -%d (heal)\n", result, total);
    log.print(out.c_str());
    return result;
}

void weapon_weighted_defence(party_member& member, int16_t defence[STAT_COUNT]) {
    // The condition in percent; a record without condition points counts as exhausted.
    int vp_max = member.stats[STAT_VP_MAX];
    int condition = vp_max > 0 ? member.vp * 100 / vp_max : 0;
    for (int slot = 7; slot <= 8; ++slot) {
        const item_def* item = party_item(member.worn[slot]);
        if (!item || (item->mods[STAT_DEFENSE_MIN] == 0 && item->mods[STAT_DEFENSE_MAX] == 0)) continue;
        for (int stat : {STAT_DEFENSE_MIN, STAT_DEFENSE_MAX}) {
            int weighted = 2 * item->mods[stat] * condition / 100;
            defence[stat] = int16_t(defence[stat] - item->mods[stat] + weighted);
        }
    }
    if (condition < 20) defence[STAT_DEXTERITY] = int16_t(defence[STAT_DEXTERITY] * condition / 20);
    if (member.vp > 0) member.vp -= 1;
}
