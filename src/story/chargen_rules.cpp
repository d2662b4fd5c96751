// The rules of character generation: the portraits, the disc's profiles and
// the pearl, a member's placeholder and roll, the buttons' mask, the party's
// bonuses, and the keys of the name field.
#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "rules/party.h"
#include "story/character_generation.h"

const int portrait_order[PORTRAIT_PLACES] = {0, 2, 3, 4, 1, 5, 6, 7};
const int gender_of_place[PORTRAIT_PLACES] = {0, 0, 0, 0, 1, 1, 1, 1};

const stat_profile stat_profiles[STAT_PROFILES] = {
    {{17, 22, 5, 10, 17, 22, 9, 14, 3, 2, 3}},    // 0 degrees
    {{13, 18, 10, 15, 20, 25, 5, 10, 3, 3, 2}},   // 45
    {{9, 14, 15, 20, 17, 22, 9, 14, 3, 3, 2}},    // 90
    {{5, 10, 20, 25, 13, 18, 13, 18, 2, 4, 2}},   // 135
    {{9, 14, 15, 20, 9, 14, 17, 22, 2, 3, 2}},    // 180
    {{13, 18, 10, 15, 5, 10, 20, 25, 2, 2, 4}},   // 225
    {{17, 22, 5, 10, 9, 14, 17, 22, 3, 1, 2}},    // 270
    {{20, 25, 0, 5, 13, 18, 13, 18, 4, 1, 2}},    // 315
    {{12, 17, 12, 17, 12, 17, 12, 17, 2, 2, 2}},  // the centre
};

int strip_place_at(int x, int y) {
    if (y < STRIP_Y || y >= STRIP_Y + STRIP_PLACE_H || x < STRIP_X) return -1;
    const int place = (x - STRIP_X) / STRIP_STEP;
    if (place >= PORTRAIT_PLACES || (x - STRIP_X) % STRIP_STEP >= STRIP_PLACE_W) return -1;
    return place;
}

bool portrait_taken(int portrait, int slot) {
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        const party_member& m = party_members[i];
        if (i != slot && m.used && m.face != 0xFF && m.face == portrait) return true;
    }
    return false;
}

stat_profile profile_under_pearl(pearl_place pearl) {
    const int angle = std::clamp(pearl.angle, 0, 359);
    const int distance = std::clamp(pearl.distance, 0, DISC_RADIUS);
    const int k = angle / 45, r = angle % 45;
    const stat_profile& p = stat_profiles[k];
    const stat_profile& q = stat_profiles[k + 1 == 8 ? 0 : k + 1];
    const stat_profile& centre = stat_profiles[8];
    stat_profile out;
    for (int i = 0; i < PROFILE_VALUES; ++i) {
        // Rounded to the nearest sixteenth, then to the nearest whole.
        int v = p.values[i] + ((((q.values[i] - p.values[i]) * 16) * (r * 16) / 720 + 8) >> 4);
        const int c = centre.values[i];
        v = c + ((((v - c) * 16) * (distance * 16) / 1200 + 8) >> 4);
        out.values[i] = v;
    }
    return out;
}

pearl_place pearl_at_point(int x, int y) {
    const double dx = x - DISC_X, dy = DISC_Y - y;
    double degrees = std::atan2(dy, dx) * 180.0 / M_PI;
    if (degrees < 0) degrees += 360.0;
    pearl_place out;
    out.angle = std::clamp(static_cast<int>(degrees), 0, 359);
    out.distance = std::min(DISC_RADIUS, static_cast<int>(std::sqrt(dx * dx + dy * dy)));
    return out;
}

void pearl_point(pearl_place pearl, int& x, int& y) {
    const double radians = pearl.angle * M_PI / 180.0;
    x = DISC_X + static_cast<int>(std::cos(radians) * pearl.distance);
    y = DISC_Y - static_cast<int>(std::sin(radians) * pearl.distance);
}

void prepare_member_placeholder(party_member& member, int sector) {
    member = party_member{};
    member.used = 1;
    member.face = 0xFF;  // no portrait yet
    member.stats[STAT_HP_MAX] = 1;
    member.stats[STAT_VP_MAX] = 1;
    member.hp = 1;
    member.mp = 0;
    member.vp = 0;
    member.sector = static_cast<int16_t>(sector);
    member.group = 1;
    member.food = 1;
    member.water = 1;
    member.free_points = 0;
}

void roll_member(party_member& member, const stat_profile& profile) {
    for (int stat = STAT_STRENGTH; stat <= STAT_DEXTERITY; ++stat) {
        const int low = profile.minimum(stat), span = profile.maximum(stat) - low;
        member.base_stats[stat] = static_cast<int16_t>(low + (span > 0 ? random(span + 1) : 0));
    }
    member.base_stats[STAT_HP_REGEN] = static_cast<int16_t>(profile.regeneration(0));
    member.base_stats[STAT_MP_REGEN] = static_cast<int16_t>(profile.regeneration(1));
    member.base_stats[STAT_VP_REGEN] = static_cast<int16_t>(profile.regeneration(2));
    const int strength = member.base_stats[STAT_STRENGTH], speed = member.base_stats[STAT_SPEED];
    const int hp_max = (3 * strength + speed) / 2;
    member.base_stats[STAT_HP_MAX] = static_cast<int16_t>(hp_max);
    member.base_stats[STAT_MP_MAX] = static_cast<int16_t>(2 * member.base_stats[STAT_MAGIC_POWER]);
    member.base_stats[STAT_VP_MAX] = static_cast<int16_t>(2 * member.base_stats[STAT_DEXTERITY]);
    member.hp = member.base_stats[STAT_HP_MAX];
    member.mp = member.base_stats[STAT_MP_MAX];
    member.vp = member.base_stats[STAT_VP_MAX];
    member.base_stats[STAT_DEFENSE_MIN] = 1;
    member.base_stats[STAT_DEFENSE_MAX] = 2;
    member.base_stats[STAT_ATTACK_MIN] = 1;
    member.base_stats[STAT_ATTACK_MAX] = 2;
    recompute_stats(member);
    member.inventory_size = BACKPACK_MIN;
    member.level = 1;
    member.experience = 0;
    member.free_points = 5;
    member.food = (hp_max / 2) * TICKS_PER_HOUR + 17280;
    member.water = (hp_max / 3) * TICKS_PER_HOUR + 8640;
    member.mp_cap = 0x7FFF;
}

int chargen_button_mask(int members, bool removable) {
    int mask = 0;
    if (members >= CHARGEN_MIN) mask |= 1;
    if (members < CHARGEN_MAX) mask |= 2;
    if (removable) mask |= 4;
    return mask;
}

void apply_party_bonuses() {
    for (int slot = 0; slot < 3; ++slot) {
        party_member& m = party_members[slot];
        if (!m.used) continue;
        if (m.stats[STAT_STRENGTH] > 20) ++m.base_stats[STAT_ATTACK_MAX];
        if (m.stats[STAT_DEXTERITY] > 20) ++m.base_stats[STAT_DEFENSE_MAX];
        recompute_stats(m);
    }
}

// ---- The name field ------------------------------------------------------------

namespace {

constexpr int SCAN_HOME = 71, SCAN_LEFT = 75, SCAN_RIGHT = 77, SCAN_END = 79, SCAN_DELETE = 83;
constexpr int SCAN_CTRL_LEFT = 115, SCAN_CTRL_RIGHT = 116;

}  // namespace

void line_editor::start(const std::string& initial) {
    text = initial.substr(0, max_length);
    cursor = text.size();
    replace_mark = true;
}

line_editor::result line_editor::key(uint16_t code) {
    const int character = code & 0xFF, scan = code >> 8;
    result out = going_on;
    auto fits = [&](const std::string& candidate) {
        if (candidate.size() > max_length) return false;
        return (text_width ? text_width(candidate) : int(candidate.size())) <= width;
    };
    if (character == 8) {
        if (cursor > 0) text.erase(--cursor, 1);
    } else if (character == 13) {
        out = accepted;
    } else if (character == 27) {
        out = cancelled;
    } else if (character != 0 && replace_mark) {
        const std::string replaced(1, static_cast<char>(character));
        if (character >= 32 && fits(replaced)) {
            text = replaced;
            cursor = 1;
        }
    } else if (character >= 32) {
        std::string candidate = text;
        candidate.insert(cursor, 1, static_cast<char>(character));
        if (fits(candidate)) {
            text = candidate;
            ++cursor;
        }
    } else if (character == 0) {
        switch (scan) {
            case SCAN_HOME:
                cursor = 0;
                break;
            case SCAN_LEFT:
                if (cursor > 0) --cursor;
                break;
            case SCAN_RIGHT:
                if (cursor < text.size()) ++cursor;
                break;
            case SCAN_END:
                cursor = text.size();
                break;
            case SCAN_DELETE:
                if (cursor < text.size()) text.erase(cursor, 1);
                break;
            case SCAN_CTRL_LEFT:
                while (cursor > 0 && text[cursor - 1] == ' ') --cursor;
                while (cursor > 0 && text[cursor - 1] != ' ') --cursor;
                break;
            case SCAN_CTRL_RIGHT:
                while (cursor < text.size() && text[cursor] != ' ') ++cursor;
                while (cursor < text.size() && text[cursor] == ' ') ++cursor;
                break;
            default:
                break;
        }
    }
    replace_mark = false;
    return out;
}
