// The spells put into the running game: the game's spell world (the bottom
// panel, the error reporter, the portraits, the compass, the automap, map
// changes), the spell book, the waits on the game tick and the scene redraw,
// and every caller that stood in for the spells: the battle's casts, wands
// and weapons, potions and food, flying items, monsters, true seeing and
// mutual death.
#include "rules/spells/spells_game.h"

#include <cstdio>
#include <string>

#include "base/strings.h"
#include "core/event_ids.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "core/random.h"
#include "monsters/monster_draw.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/flight/flight.h"
#include "rules/game_tables.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "rules/spells/specials.h"
#include "rules/spells/spells.h"
#include "world/automap.h"
#include "world/game_screen.h"
#include "world/game_sounds.h"
#include "world/map_scripts.h"
#include "world/panel.h"
#include "world/screen_effects.h"
#include "world/view.h"
#include "world/view_animation.h"

namespace {

constexpr const char* SPELLS_FILE_NAME = "kouzla.dat";
constexpr int COMPASS_FRAMES = 40;

// Game text `number` with up to two names filled in; a text with a stray
// conversion is shown as it stands rather than formatted.
std::string format_game_text(int number, const std::string& first, const std::string& second) {
    const char* format = string_list_get(ui_strings, number);
    if (!format) return {};
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        if (p[1] != 's' || ++conversions > 2) return format;
        ++p;
    }
    char text[512];
    std::snprintf(text, sizeof text, format, first.c_str(), second.c_str());
    return text;
}

class game_spell_world final : public spell_world {
  public:
    void message(const std::string& text) override { show_panel_message(text); }
    void error(const std::string& text) override {
        battle_hooks().report_error(text.c_str());
        party_world_hooks().console_print(text.c_str());
    }
    void game_text(int number, const std::string& first, const std::string& second) override {
        const std::string text = format_game_text(number, first, second);
        if (!text.empty()) show_panel_message(text);
    }
    void play_animation(const std::string& file) override { start_view_animation_file(file, false); }
    void play_sound(const std::string& file, int sector) override { play_sound_at(file.c_str(), sector); }
    void map_around(int sector, int radius) override { spell_detail::mark_mapped_around(sector, radius); }
    void flicker(int redraws) override { shake_screen(redraws); }
    void portrait_flash(int member_slot) override {
        if (member_slot >= 0 && member_slot < PARTY_SLOTS) flash_members(H_SPELLDEF, 1u << member_slot);
    }
    // The compass shows a facing drawn at random until it finds its way back.
    void confuse_compass() override { scene.compass_frame = random(COMPASS_FRAMES); }
    // The automap around the party: the sector clicked, 0 when it was left without one.
    int choose_place(int) override { return open_automap(false); }
    void teleport_flash(int sector) override {
        add_special_texture(sector, H_TELEP_FIRST, H_TELEP_COUNT, 1, 0);
    }
    void change_map(const std::string& map, int sector, int direction) override {
        request_map_change(map, sector, direction);
    }
};

class spell_senses final : public monster_view_senses {
  public:
    bool true_seeing() const override { return ::true_seeing(); }
    bool diagonal_walking() const override { return (party_world_hooks().game_options() & 0x2000) != 0; }
};

class spell_inventory final : public inventory_world {
  public:
    void play_sound(const char* name) override { play_interface_sound(name); }
    void cast_spell_on(party_member& member, int spell) override {
        const int slot = party_slot_of(member);
        if (slot < 0) return;
        object_cast(spell, slot, member.sector, -1, true);
        battle.mutual_death = mutual_death_mode();
    }
};

class spell_flight final : public flight_world {
  public:
    // The item's sound number names an entry of the items' sound list (0: none).
    void item_sound(int item, int sector) override {
        const item_def* def = game_items().find(item);
        const auto& names = game_item_files().sounds;
        if (def && def->sound > 0 && static_cast<size_t>(def->sound) < names.size() && !names[def->sound].empty())
            play_sound_at(names[def->sound].c_str(), sector);
    }
    void cast_item_spell(int spell, int sector, int owner) override {
        const int member = owner > 0 && owner <= PARTY_SLOTS ? owner - 1 : -1;
        object_cast(spell, member, sector, first_monster_in(sector) - 1, true);
        battle.mutual_death = mutual_death_mode();
    }
};

game_spell_world the_world;
spell_senses the_senses;
spell_inventory the_inventory;
spell_flight the_flight;

bool monster_can_cast(const monster& m) {
    const spell_def* def = game_spells().find(m.spell);
    return def && (def->spell_flags & SPF_MONSTER_CAST);
}

void monster_casts(int slot, int spell, int) {
    monster_cast(spell, slot);
    battle.mutual_death = mutual_death_mode();
}

void game_tick(event_msg& msg, void**) {
    if (msg.number != EV_STATE_CHANGED) return;
    effects_game_tick();
    battle.mutual_death = mutual_death_mode();
}

void scene_redrawn(event_msg& msg, void**) {
    if (msg.number != EV_SCENE_REDRAWN) return;
    effects_redraw();
    battle.mutual_death = mutual_death_mode();
}

void read_spells_file() {
    if (!resource_available(PATH_MAPS, SPELLS_FILE_NAME)) {
        load_spell_book({});
        return;
    }
    int32_t length = 0;
    void* data = load_file(SPELLS_FILE_NAME, PATH_MAPS, &length);
    const auto* bytes = static_cast<const uint8_t*>(data);
    load_spell_book(std::span<const uint8_t>(bytes, data && length > 0 ? size_t(length) : 0));
    free_file_data(data);
}

}  // namespace

inventory_world& spells_inventory_world() {
    return the_inventory;
}

bool load_spell_book(std::span<const uint8_t> bytes) {
    spell_book& book = game_spells();
    book = spell_book{};
    if (bytes.empty()) return true;
    std::string error;
    if (!read_spell_file(bytes, book, &error)) {
        book = spell_book{};
        party_world_hooks().console_print(error.c_str());
        return false;
    }
    if (std::optional<language_table> names = open_language_table("spells.csv")) {
        std::vector<std::string> list;
        for (const auto& [number, text] : *names) {
            if (number < 0 || number >= SPELL_COUNT) continue;
            if (size_t(number) >= list.size()) list.resize(size_t(number) + 1);
            list[size_t(number)] = text;
        }
        apply_spell_names(book, list);
    }
    return true;
}

void battle_planned_cast(int slot, int spell_and_target) {
    cast_spell(spell_and_target, slot, false);
    battle.mutual_death = mutual_death_mode();
}

void battle_object_cast(int slot, int spell, int target_sector, int target) {
    object_cast(spell, slot, target_sector, target < 0 ? -target - 1 : -1, true);
    battle.mutual_death = mutual_death_mode();
}

void install_spells() {
    read_spells_file();
    clear_effects();
    spell_detail::clear_spell_waves();
    set_spell_world(&the_world);
    set_monster_view_senses(&the_senses);
    set_flight_world(&the_flight);
    fight_spells.can_cast = monster_can_cast;
    fight_spells.cast = monster_casts;
    add_event_handler(EV_STATE_CHANGED, game_tick);
    add_event_handler(EV_SCENE_REDRAWN, scene_redrawn);
}
