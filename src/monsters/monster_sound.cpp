#include "monsters/monster_sound.h"

#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "world/map.h"

namespace {

monster_sound_output output;

const char* map_sound_name(int number) {
    if (number < 1 || static_cast<size_t>(number) > current_map.sounds.size()) return nullptr;
    const auto& name = current_map.sounds[static_cast<size_t>(number - 1)];
    return name && !name->empty() ? name->c_str() : nullptr;
}

}  // namespace

void set_monster_sound_output(const monster_sound_output& o) {
    output = o;
}

const char* monster_sound_name(int number) {
    return output.sound_name ? output.sound_name(number) : map_sound_name(number);
}

void monster_sound(int slot, int index) {
    const monster* m = monster_by_number(slot + 1);
    if (!m || index < 0 || index >= MONSTER_SOUNDS || !output.play) return;
    if (!m->alive() || (static_cast<uint16_t>(m->stats[23]) & MF_FROZEN)) return;
    if (m->sounds[index] == 0) return;
    const handle_id sample = static_cast<handle_id>(monster_set_handle(*m) + MONSTER_SET_SOUNDS + index);
    const bool walking = index == 0;
    output.play(sample, m->sector, walking ? slot + 1 : 0, walking && (m->state & MST_SNDLP));
}

void stop_monster_sound(int slot) {
    if (output.stop_bound && slot >= 0 && slot < MONSTER_SLOTS) output.stop_bound(slot + 1);
}
