// The rune panel's state and its answers to keys, clicks and the pointer.
#include "rules/rune_panel/rune_panel.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/strings.h"
#include "core/handle_ids.h"
#include "rules/party.h"
#include "world/panel.h"
#include "world/screen_layout.h"

namespace {

constexpr int SCAN_ESCAPE = 1, SCAN_LEFT = 75, SCAN_RIGHT = 77;
// The labels of the variant's cost line: "Cast" (the power it needs) and the
// name of magic points.
constexpr int TEXT_LEVEL_LABEL = 47, TEXT_COST_LABEL = 16;

rune_spells no_spells;
rune_spells* installed = &no_spells;
rune_panel_state state;

bool member_can_act(int slot) {
    return slot >= 0 && slot < PARTY_SLOTS && party_members[slot].used;
}

bool rune_known(int group, int rune) {
    return (party_state.runes[group] >> rune) & 1;
}

// Members are chosen by a click on their portrait; the others cast at once.
bool needs_portrait(const spell_def& def) {
    return def.target_kind == ST_CHOSEN || def.target_kind == ST_CHOSEN_DEAD ||
           def.target_kind == ST_CHOSEN_ANYWHERE;
}

std::string ui_text(int number) {
    const char* text = string_list_get(ui_strings, number);
    return text ? text : "";
}

void show_info(int spell) {
    const spell_def* def = installed->spell(spell);
    if (!def) return;
    rune_panel_info info;
    info.name = std::string(def->spell_name, strnlen(def->spell_name, sizeof def->spell_name));
    info.level_label = ui_text(TEXT_LEVEL_LABEL);
    info.level = def->power;
    info.cost_label = ui_text(TEXT_COST_LABEL);
    info.cost = def->cost;
    const int rune = spell / SPELL_VARIANTS % RUNES_PER_GROUP;
    info.sheet = handle_id(H_R_OHEN + spell / (RUNES_PER_GROUP * SPELL_VARIANTS));
    info.glyph_x = rune * RUNE_GLYPH_SIZE;
    info.glyph_y = 0;
    info.glyph_width = info.glyph_height = RUNE_GLYPH_SIZE;
    show_rune_info(info);
}

// The composed spell goes to the battle's plan, or is cast at once.
void deliver(int spell_and_target) {
    const int caster = state.caster;
    const rune_spell_chosen chosen = state.chosen;
    close_rune_panel();
    if (chosen)
        chosen(caster, spell_and_target);
    else
        installed->cast(spell_and_target, caster);
}

void choose_variant(int variant) {
    if (state.rune < 0) return;
    const int spell = spell_number(state.group, state.rune, variant);
    const spell_def* def = installed->spell(spell);
    if (!def || installed->can_cast(state.caster, spell) == 1) return;
    if (needs_portrait(*def)) {
        state.waiting = spell;
        panel_back_to_party(true);  // the portraits must be there to be clicked
        return;
    }
    if ((def->spell_flags & SPF_CHOOSE_PLACE) && !installed->ask_place(state.caster)) return;
    deliver(spell);
}

void choose_rune(int rune) {
    state.waiting = -1;
    if (!rune_known(state.group, rune)) {
        state.rune = -1;
        return;
    }
    state.rune = rune;
    for (int variant = 0; variant < SPELL_VARIANTS; ++variant) {
        const int spell = spell_number(state.group, rune, variant);
        if (installed->spell(spell)) {
            show_info(spell);
            break;
        }
    }
}

void show_group(int group) {
    state.group = (group % RUNE_GROUP_COUNT + RUNE_GROUP_COUNT) % RUNE_GROUP_COUNT;
    state.rune = -1;
    state.waiting = -1;
}

}  // namespace

void set_rune_spells(rune_spells* spells) {
    installed = spells ? spells : &no_spells;
}

rune_spells& spells_for_runes() {
    return *installed;
}

const rune_panel_state& rune_panel() {
    return state;
}

void open_rune_panel(int caster_slot, rune_spell_chosen chosen) {
    if (!member_can_act(caster_slot)) return;
    const int group = state.group;  // the tab last shown stays
    state = rune_panel_state{};
    state.open = true;
    state.caster = caster_slot;
    state.group = group;
    state.chosen = std::move(chosen);
}

void close_rune_panel() {
    const bool was_open = state.open;
    const int group = state.group;
    state = rune_panel_state{};
    state.group = group;
    // The rune information in the bottom panel belongs to the panel: it goes with it.
    if (was_open) panel_back_to_party(true);
}

bool rune_panel_key(int scan) {
    if (!state.open) return false;
    if (scan == SCAN_ESCAPE) {
        if (state.waiting >= 0)
            state.waiting = -1;  // the target is not asked any more
        else
            close_rune_panel();
    } else if (scan == SCAN_LEFT) {
        show_group(state.group - 1);
    } else if (scan == SCAN_RIGHT) {
        show_group(state.group + 1);
    }
    return true;
}

bool rune_panel_click(int x, int y, bool right_button) {
    if (!state.open) return false;
    if (right_button) return rune_panel_key(SCAN_ESCAPE);
    if (state.waiting >= 0) {
        const int target = rune_portrait_at(x, y);
        if (target >= 0) {
            deliver(state.waiting + SPELL_TARGET_CHOSEN * (target + 1));
            return true;
        }
    }
    for (int group = 0; group < RUNE_GROUP_COUNT; ++group)
        if (rune_tab_rect(group).contains(x, y)) show_group(group);
    for (int rune = 0; rune < RUNES_PER_GROUP; ++rune)
        if (rune_place_rect(rune).contains(x, y)) choose_rune(rune);
    if (state.rune >= 0)
        for (int variant = 0; variant < SPELL_VARIANTS; ++variant)
            if (rune_variant_rect(variant).contains(x, y)) choose_variant(variant);
    return true;
}

bool rune_panel_point(int x, int y) {
    if (!state.open || state.rune < 0 || state.waiting >= 0) return false;
    for (int variant = 0; variant < SPELL_VARIANTS; ++variant)
        if (rune_variant_rect(variant).contains(x, y)) {
            show_info(spell_number(state.group, state.rune, variant));
            return true;
        }
    return false;
}

rune_rect rune_panel_rect() {
    return {96, 26, 448, 302};  // ends above the inventory's name label
}

rune_rect rune_tab_rect(int group) {
    return {112 + 84 * group, 40, 80, 48};
}

rune_rect rune_place_rect(int rune) {
    return {112 + 60 * rune, 98, 48, 48};
}

rune_rect rune_variant_rect(int variant) {
    return {112, 158 + 46 * variant, 416, 44};
}

int rune_portrait_at(int x, int y) {
    if (y < PANEL_FIRST_ROW || x < PARTY_BAR_FIRST_X) return -1;
    int position = 0;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        if (!party_members[slot].used) continue;
        const int left = party_slot_x(position++);
        if (x >= left && x < left + PARTY_SLOT_WIDTH) return slot;
    }
    return -1;
}
