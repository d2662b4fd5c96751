// The battle screen put into the game: the game screen's battle hooks, the
// panel's view of the battle, the walking member's steps and the battle's
// calls into the screen.
#include "rules/battle_desk/battle_desk.h"

#include <cstdio>

#include "base/strings.h"
#include "core/handles.h"
#include "core/timers.h"
#include "gfx/screen.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/inventory.h"
#include "rules/item_pictures.h"
#include "rules/item_record.h"
#include "rules/items.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "rules/spells/spells_game.h"
#include "world/game_screen.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/view.h"
#include "world/view_animation.h"

battle_desk_links desk_links;

namespace {

// Ends the light of a pressed button.
constexpr int TIMER_DESK_BUTTON = 398;
static_assert(id_blocks::rules.holds(TIMER_DESK_BUTTON));
constexpr int BUTTON_LIGHT_TICKS = 6;

bool battle_on() {
    return monster_battle.battle || battle.phase != BATTLE_OFF;
}

bool planning() {
    return battle.phase == BATTLE_PLANNING;
}

bool walking() {
    return battle.phase == BATTLE_RUNNING || battle.phase == BATTLE_WALKING;
}

// The screen shows the battle anew: the panel, the view with its overlay and
// the controls. The acting member carries the party bar's white frame.
void show_battle() {
    if (planning() && battle.acting >= 0) roster().select(battle.acting);
    if (!planning()) {
        desk.choosing_hand = false;
        if (rune_panel().open) close_rune_panel();
    }
    release_handle(H_PANEL);
    if (scene.running) {
        redraw_scene();
        present_rect(0, 0, 0, 0);
    } else {
        refresh_panel();
    }
}

void end_button_light(timer_node*) {
    desk.pressed = -1;
    show_battle();
}

void light_button(int button) {
    desk.pressed = button;
    remove_timers(TIMER_DESK_BUTTON);
    add_timer(TIMER_DESK_BUTTON, BUTTON_LIGHT_TICKS, 1, end_button_light);
}

bool melee_weapon(int item) {
    const item_def* def = game_items().find(item);
    return def && def->type == IT_MELEE;
}

// After a plan that used up the member's actions the next member who still
// may act takes over.
void next_member_if_done() {
    if (battle.acting < 0 || battle.acting >= PARTY_SLOTS) return;
    if (party_members[battle.acting].actions_left > 0) return;
    for (int k = 1; k < PARTY_SLOTS; ++k) {
        const int slot = (battle.acting + k) % PARTY_SLOTS;
        if (party_members[slot].used && party_members[slot].actions_left > 0 && select_acting(slot)) return;
    }
}

void plan_attack() {
    const int slot = battle.acting;
    if (slot < 0 || slot >= PARTY_SLOTS) return;
    const party_member& m = party_members[slot];
    if (hand_choice_needed(slot)) {
        desk.choosing_hand = true;
        desk.both_offered = melee_weapon(m.worn[7]) && melee_weapon(m.worn[8]);
        return;
    }
    if (plan_action(BA_ATTACK, attack_hand(slot))) next_member_if_done();
}

void choose_hand(int choice) {
    desk.choosing_hand = false;
    if (choice == HAND_BOTH && !desk.both_offered) return;
    if (plan_action(BA_ATTACK, choice)) next_member_if_done();
}

// The cast button opens the rune panel; the spell composed there becomes the
// acting member's plan.
void open_runes() {
    if (battle.acting < 0 || battle.acting >= PARTY_SLOTS || party_members[battle.acting].actions_left <= 0)
        return;
    open_rune_panel(battle.acting, [](int, int spell_and_target) {
        if (plan_action(BA_CAST, spell_and_target)) next_member_if_done();
    });
}

void press(int button) {
    light_button(button);
    desk.choosing_hand = false;
    if (button == DESK_CAST) {
        open_runes();
    } else if (button == DESK_GO) {
        end_planning();
    } else if (button == DESK_ATTACK) {
        plan_attack();
    } else if (plan_action(desk_button_kind(button))) {
        if (button != DESK_CLEAR) next_member_if_done();
    }
    show_battle();
}

// The used slot at a display position of the party bar, -1 none.
int slot_at_position(int position) {
    for (int slot = 0; slot < roster().slots(); ++slot) {
        if (!roster().member(slot).used) continue;
        if (position-- == 0) return slot;
    }
    return -1;
}

// The party bar's portrait under a point (its used slot), -1 none.
int portrait_slot_at(int x, int y) {
    if (y < PANEL_FIRST_ROW + 12 || y >= PANEL_FIRST_ROW + 87) return -1;
    for (int position = 0; position < PARTY_SLOTS; ++position) {
        const int left = party_slot_x(position) + 3;
        if (x >= left && x < left + 54) return slot_at_position(position);
    }
    return -1;
}

void choose_acting(int slot) {
    if (slot >= 0 && select_acting(slot)) {
        desk.choosing_hand = false;
        show_battle();
    }
}

bool is_movement_key(int scan) {
    switch (scan) {
        case 16:
        case 17:
        case 18:
        case 30:
        case 31:
        case 32:
        case 72:
        case 75:
        case 77:
        case 79:
        case 80:
        case 81:
        case 115:
        case 116:
        case 45:
        case 82:
            return true;
        default:
            return false;
    }
}

bool planning_key(int scan) {
    if (rune_panel().open) {
        rune_panel_key(scan);
        show_battle();
        return true;
    }
    if (desk.choosing_hand) {
        if (scan >= 2 && scan <= 4) {
            choose_hand(scan - 2);
        } else if (scan == 1) {
            desk.choosing_hand = false;
        } else {
            return true;
        }
        show_battle();
        return true;
    }
    const int button = desk_button_for_key(scan);
    if (button >= 0) {
        press(button);
        return true;
    }
    if (scan >= 2 && scan <= 7) {  // 1..6: the member at that place of the bar plans
        choose_acting(slot_at_position(scan - 2));
        return true;
    }
    // Nobody walks while the round is planned.
    return is_movement_key(scan);
}

bool planning_click(int x, int y) {
    if (rune_panel().open) {
        rune_panel_click(x, y);
        show_battle();
        return true;
    }
    if (desk.choosing_hand) {
        const int choice = hand_field_at(x, y, desk.both_offered);
        if (choice >= 0)
            choose_hand(choice);
        else
            desk.choosing_hand = false;  // a click elsewhere asks no more
        show_battle();
        return true;
    }
    const int button = desk_button_at(x, y);
    if (button >= 0) {
        press(button);
        return true;
    }
    if (x >= ARROWS_X && y >= ARROWS_Y) return true;  // between the buttons
    const int slot = portrait_slot_at(x, y);
    if (slot >= 0) {
        choose_acting(slot);
        return true;
    }
    if (y >= VIEW_FIRST_ROW && y < PANEL_FIRST_ROW - 1 && !game_held().empty()) {
        if (plan_throw(x, y)) next_member_if_done();
        show_battle();
        return true;
    }
    return false;
}

class desk_screen final : public battle_screen {
  public:
    bool active() const override { return battle_on(); }

    bool key(int scan) override {
        if (!battle_on()) {
            // Enter: the party attacks what it sees.
            if (scan != 28 || view.monsters_drawn == 0) return false;
            start_battle(party.sector);
            if (!battle.began) begin_battle();
            show_battle();
            return true;
        }
        if (planning() && rune_panel().open) return planning_key(scan);         // Esc closes the panel
        if (scan == 1 || scan == 59 || scan == 60 || scan == 62) return false;  // Esc, F1, F2, F4 as always
        if (planning()) return planning_key(scan);
        if (walking()) {
            if (scan == 28 || scan == 57) {
                end_walk();
                show_battle();
                return true;
            }
            return !is_movement_key(scan) || scan == 45 || scan == 82;
        }
        return true;  // the round plays: the keys wait
    }

    bool click(int x, int y, bool) override {
        if (!battle_on()) return false;
        if (planning()) return planning_click(x, y);
        // While a member walks the arrows step it; nothing else is clicked.
        return !(walking() && x >= ARROWS_X && y >= ARROWS_Y);
    }

    void draw_overlay() override {
        if (battle_on()) draw_desk_overlay();
        if (battle_on() && rune_panel().open) draw_rune_panel();
    }
    void draw_controls() override {
        if (battle_on()) draw_desk_controls();
    }
};

class desk_world final : public battle_world {
  public:
    // The member's planned cast (kind 7) is the plan entry being carried
    // out; a wand or a weapon casts from an attack.
    void cast_spell(int slot, int spell, int target_sector, int target) override {
        if (slot < 0 || slot >= PARTY_SLOTS) return;
        const party_member& m = party_members[slot];
        const battle_action* entry = m.plan && m.plan_cursor > m.plan ? m.plan_cursor - 1 : nullptr;
        if (entry && entry->action == BA_CAST && target >= 0)
            battle_planned_cast(slot, uint16_t(entry->arg));
        else
            battle_object_cast(slot, spell, target_sector, target);
    }
    void open_inventory(int slot) override {
        if (screen_windows.inventory) screen_windows.inventory(slot);
        inventory_closed();
    }
    void changed() override { show_battle(); }
    // Byte 2 names the animation of the items' list, byte 3 how often it plays.
    void attack_animation(const uint8_t (&anim)[4]) override {
        if (const handle_id h = item_animation_handle(anim[2]); h && anim[3] > 0)
            start_view_animation(h, false, anim[3]);
    }
    void autosave() override {
        if (desk_links.autosave) desk_links.autosave();
    }
    void show_text(int number, const char* name) override {
        const char* format = string_list_get(ui_strings, number);
        if (!format) return;
        char text[256];
        std::snprintf(text, sizeof text, format, name ? name : "");
        show_panel_message(text);
    }
};

desk_screen the_screen;
desk_world the_world;

bool movement_battle_running() {
    return battle_on();
}
int movement_walker() {
    return walking() ? walking_member() : -1;
}

}  // namespace

void install_battle_desk() {
    desk = battle_desk_state{};
    set_battle_screen(&the_screen);
    set_battle_world(&the_world);
    movement_battle.running = movement_battle_running;
    movement_battle.walking_member = movement_walker;
    movement_battle.step_taken = walk_step_taken;
    movement_battle.group_walks = group_walking;
    movement_battle.monster_in = sector_has_monster;
}

void remove_battle_desk() {
    close_rune_panel();
    remove_timers(TIMER_DESK_BUTTON);
    set_battle_screen(nullptr);
    set_battle_world(nullptr);
    movement_battle = movement_battle_hooks{};
    desk = battle_desk_state{};
}
