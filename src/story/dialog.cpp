// The dialog's course: starting, running until it waits, the player's picks,
// ending, the story flags, and the trace of what went wrong.
#include "story/dialog.h"

#include <cstdio>

#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "story/dialog_internal.h"
#include "world/map_scripts.h"

dialog_state dialog;

namespace {
dialog_world default_world;
dialog_world* installed_world = nullptr;

monster* owner_record() {
    if (dialog.owner < 0 || dialog.owner >= MONSTER_SLOTS) return nullptr;
    return &monster_table[size_t(dialog.owner)];
}
}  // namespace

void set_dialog_world(dialog_world* world) {
    installed_world = world;
}
dialog_world& dialogs_world() {
    return installed_world ? *installed_world : default_world;
}

namespace dialog_detail {

void trace(const std::string& message) {
    char text[400];
    std::snprintf(text, sizeof text, "%.125s paragraph %d\r\nLocal_pgf=%d / DIALOG : %d / SENTENCE : %d\r\n",
                  message.c_str(), dialog.local_base + dialog.current_paragraph, dialog.local_base,
                  dialog.local_base / DIALOG_BLOCK, dialog.current_paragraph);
    dialogs_world().log(text);
}

void fail(const std::string& message) {
    trace(message);
    throw dialog_stop{};
}

void fatal_text(const std::string& message) {
    trace(message);
    dialogs_world().fatal(message);
    throw dialog_stop{};
}

void end_dialog() {
    dialog_flag_bytes()[0] |= 1;
    dialog_world& world = dialogs_world();
    world.stop_animation();
    if (monster* m = owner_record()) {
        m->reserved378[0] = dialog_flag_bytes()[0];
        m->reserved378[1] = dialog_flag_bytes()[1];
    }
    dialog.running = false;
    dialog.waiting = dialog_wait::ended;
    dialog.main_text.clear();
    dialog.history.clear();
    dialog.picture.clear();
    dialog.choice_count = 0;
    world.ended();
    const int shop = dialog.shop_after;
    dialog.shop_after = -1;
    if (shop != -1 && !monster_battle.battle) world.open_shop(shop);
}

}  // namespace dialog_detail

using namespace dialog_detail;

bool dialog_start(int paragraph, int monster_number) {
    if (dialog.running) return false;
    dialog_world& world = dialogs_world();
    if (game_dialogs().paragraphs.empty()) {
        world.log("No paragraphs in the dialogs\r\n");
        return false;
    }
    world.started();
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (party_members[slot].used &&
            (uint16_t(party_members[slot].base_stats[STAT_FLAGS]) & CF_TRANSFORMED))
            cancel_transform(slot);
    dialog.owner = monster_number;
    if (monster* m = owner_record()) {
        dialog_flag_bytes()[0] = m->reserved378[0];
        dialog_flag_bytes()[1] = m->reserved378[1];
    } else {
        dialog.owner = -1;
    }
    dialog.local_base = 0;
    dialog.current_paragraph = paragraph;
    dialog.running = true;
    dialog.waiting = dialog_wait::none;
    dialog.history.clear();
    dialog.scroll = dialog.history_mark = 0;
    dialog.main_text.clear();
    dialog.picture.clear();
    dialog.choice_count = dialog.selected_choice = 0;
    dialog.too_many_choices_logged = false;
    dialog.allow_any_portrait = false;
    for (selection_slot& s : dialog.slots) s.position = 255;
    try {
        stow_held();
        go_to(paragraph);
    } catch (const dialog_stop&) {
        end_dialog();
        return true;
    }
    dialog_run();
    return true;
}

void dialog_run() {
    if (!dialog.running) return;
    dialog.waiting = dialog_wait::none;
    long instructions = 0;
    try {
        while (dialog.running && dialog.waiting == dialog_wait::none) {
            if (!dialogs_world().keep_going(++instructions)) fail("The dialog runs too long without waiting");
            execute(read_number());
        }
    } catch (const dialog_stop&) {
        end_dialog();
        return;
    }
    if (dialog.running) dialogs_world().show();
}

void dialog_pick(int choice) {
    if (!dialog.running) return;
    const dialog_wait was = dialog.waiting;
    if (was != dialog_wait::ask && was != dialog_wait::wait) return;
    const bool choosing = was == dialog_wait::ask && dialog.choice_count > 0;
    if (choosing) {
        if (choice < 0 || choice >= dialog.choice_count) return;
        dialog.selected_choice = choice;
        dialog.picked_target = dialog.choice_targets[choice];
        std::vector<history_line> kept;
        for (history_line& line : dialog.history) {
            const bool a_choice = line.marker >= '0' && line.marker < '0' + DIALOG_CHOICES;
            if (!a_choice) {
                kept.push_back(std::move(line));
            } else if (line.marker == '0' + choice) {
                line.marker = 'M';
                kept.push_back(std::move(line));
            }
        }
        dialog.history = std::move(kept);
    }
    append_history('E', "");
    dialog.scroll = int(dialog.history.size());
    dialog.selected_choice = 0;
    dialog.choice_count = 0;
    dialog.waiting = dialog_wait::none;
    if (choosing) {
        try {
            go_to(dialog.picked_target);
        } catch (const dialog_stop&) {
            end_dialog();
            return;
        }
    }
    dialog_run();
}

bool dialog_portrait_allowed(int position) {
    if (position < 0 || position >= PARTY_SLOTS) return false;
    const party_member& m = party_members[position];
    if (!m.used) return false;
    if (dialog.allow_any_portrait) return true;
    return m.hp > 0 && m.map_hash == party_state.map_hash && m.sector == party_sector();
}

void dialog_portrait_picked(int position) {
    if (!dialog.running || dialog.waiting != dialog_wait::pick_portrait) return;
    if (position >= 0) {
        if (!dialog_portrait_allowed(position)) return;
        select_slot_member(position);
        dialog.flag = false;
    }
    dialog.allow_any_portrait = false;
    dialog.waiting = dialog_wait::none;
    if (position < 0) {
        if (dialog.portrait_cancel_target != 0) {
            try {
                go_to(dialog.portrait_cancel_target);
            } catch (const dialog_stop&) {
                end_dialog();
                return;
            }
        } else {
            dialog.flag = true;
        }
    }
    dialog_run();
}

std::array<uint8_t, DIALOG_FLAG_BITS / 8>& dialog_flag_bytes() {
    static_assert(STORY_FLAG_COUNT == DIALOG_FLAG_BITS);
    return story_flags;
}

bool dialog_flag_test(int bit) {
    if (bit < 0 || bit >= DIALOG_FLAG_BITS) return false;
    return dialog_flag_bytes()[bit / 8] & (1u << (bit % 8));
}

void dialog_flag_change(int bit, int mode) {
    if (bit < 0 || bit >= DIALOG_FLAG_BITS) return;
    const uint8_t mask = uint8_t(1u << (bit % 8));
    uint8_t& byte = dialog_flag_bytes()[bit / 8];
    if (mode == 0)
        byte &= uint8_t(~mask);
    else if (mode == 1)
        byte |= mask;
    else
        byte ^= mask;
}
