// Saving and loading the running game: what goes into the store beside the
// map state files, the saved-game file written from it, autosaves, and a load
// that checks every part it needs before it changes anything.
#include "saves/game_save.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <utility>

#include "base/paths.h"
#include "core/clock.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_file.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "saves/temp_store.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/map_state.h"
#include "world/movement.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/view.h"

namespace {

saves_world nothing_above;
saves_world* above = &nothing_above;

uint32_t identity = 0;
uint32_t play_time_loaded = 0;
std::chrono::steady_clock::time_point clock_since = std::chrono::steady_clock::now();
// Kept from the loaded game and written back unchanged: nothing of this game
// fills the list that follows the party.
std::vector<int16_t> party_list;
loaded_game_place last_place_loaded;
bool leaving_for_loaded_game = false;
bool keep_loaded_global_events = false;

void put_u32(temp_bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint8_t speed_setting(int value) {
    return uint8_t(std::clamp(value, 0, 2));
}

game_file current_game_file() {
    game_file f;
    f.sector = party.sector;
    f.direction = uint8_t(party.direction & 3);
    f.money = party_state.gold;
    f.current_group = uint16_t(party_state.current_group);
    const saves_world::settings s = above->current_settings();
    f.autosave = s.autosave;
    f.group_order = s.group_order;
    f.member_names = s.member_names;
    f.auto_attack = s.auto_attack;
    std::copy(std::begin(s.sound), std::end(s.sound), f.sound);
    f.hunting_instinct = view.show_monster_hp ? 1 : 0;
    f.turn_speed = speed_setting(movement.turn_speed);
    f.walk_speed = speed_setting(movement.walk_speed);
    f.game_time = game_time;
    std::copy(std::begin(party_state.runes), std::end(party_state.runes), f.runes);
    f.map_name = current_map.name.substr(0, GAME_FILE_MAP_NAME_MAX);
    f.rest_counter = party_state.rest_allowance;
    f.flags = (s.travel ? GAME_FLAG_TRAVEL : 0) | (s.fast_battles ? GAME_FLAG_FAST_BATTLES : 0);
    const int speed = tick_length();
    if (speed >= 0 && uint32_t(speed) <= GAME_FLAG_SPEED_MASK) f.flags |= uint32_t(speed) << GAME_FLAG_SPEED_SHIFT;

    f.hand = above->hand();
    f.hand.erase(std::find(f.hand.begin(), f.hand.end(), int16_t(0)), f.hand.end());
    const item_table& items = game_items();
    f.created_items.assign(items.records().begin() + items.definition_count(), items.records().end());
    save_effects(f.effects);
    for (size_t i = 0; i < PARTY_SLOTS; ++i) {
        f.members[i] = party_members[i];
        f.members[i].plan = f.members[i].plan_cursor = nullptr;
        f.members[i].saved_self = nullptr;
        if (party_members[i].saved_self) f.own_records[i] = *party_members[i].saved_self;
    }
    above->save_dialog_state(f.dialog_state);
    f.party_list = party_list;
    return f;
}

temp_bytes book_bytes(const std::vector<std::string>& lines) {
    temp_bytes out;
    for (const std::string& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\n');
    }
    return out;
}

// The global entries a save puts beside the map state files.
void store_game_entries(temp_store& store) {
    const shop_catalogue& shops = game_shops();
    if (shops.stock.empty())
        store.remove(SHOPS_STATE_NAME);
    else
        store.create(SHOPS_STATE_NAME, save_shop_state(shops));
    store.create(GAME_FILE_NAME, game_file_bytes(current_game_file()));
    store.create(BOOK_ENTRY_NAME, book_bytes(above->book_lines()));
    const auto hooks = global_hooks_bytes();
    store.create(GLOBAL_EVENTS_ENTRY_NAME, hooks.data(), hooks.size());
    temp_bytes seconds;
    put_u32(seconds, play_time_seconds());
    store.create(PLAY_TIME_ENTRY_NAME, seconds);
    temp_bytes extras;
    save_effect_extras(extras);
    store.create(EFFECT_EXTRAS_ENTRY_NAME, extras);
}

bool someone_lies_dead_here() {
    const party_roster& members = roster();
    for (int slot = 0; slot < members.slots(); ++slot) {
        const roster_member m = members.member(slot);
        if (m.used && m.on_this_map && m.hp <= 0) return true;
    }
    return false;
}

// Removes this game's autosaves other than `keep`.
void delete_older_autosaves(const std::string& keep) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "sav.%08lx.", static_cast<unsigned long>(identity));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(saved_games_folder(), error)) {
        const std::string name = entry.path().filename().string();
        if (name == keep || !name.starts_with(prefix) || name.find("-autosave") == std::string::npos) continue;
        std::filesystem::remove(entry.path(), error);
    }
}

// ---------------------------------------------------------------- loading

// What a load takes from a saved game, read and checked whole.
struct staged_load {
    saved_game game;
    game_file file;
    std::optional<saved_game_name_parts> name;
    std::vector<std::string> book;
    std::vector<uint8_t> extras;
    const temp_bytes* map_state = nullptr;  // the current map's record (same map only)
    std::optional<loaded_map> map_file;     // the current map as its file has it (same map only)
    uint32_t play_time = 0;
};

const temp_bytes* entry_of(const temp_store& store, std::string_view name) {
    auto it = store.entries().find(name);
    return it == store.entries().end() ? nullptr : &it->second;
}

bool same_map(const std::string& name) {
    return !current_map.name.empty() && name == current_map.name.substr(0, GAME_FILE_MAP_NAME_MAX);
}

// Everything read and checked; nothing of the game touched. Non-zero on failure.
int stage_load(const std::string& file_name, staged_load& out) {
    // A name from the folder's list: nothing that reaches another folder.
    if (file_name.empty() || file_name.find_first_of("/\\") != std::string::npos) return 1;
    out.name = parse_saved_game_name(file_name);
    auto game = read_saved_game_file(build_path(saved_games_folder(), file_name));
    if (!game) return 1;
    out.game = std::move(*game);
    const temp_store& store = out.game.store;

    const temp_bytes* game_bytes = entry_of(store, GAME_FILE_NAME);
    if (!game_bytes) return 2;
    auto file = parse_game_file(*game_bytes);
    if (!file) return 2;
    out.file = std::move(*file);

    // The hand names items of the table as the load leaves it.
    const int item_count = game_items().definition_count() + int(out.file.created_items.size());
    if (item_count > MAX_ITEMS) return 2;
    for (int16_t item : out.file.hand)
        if (std::abs(int(item)) > item_count) return 2;

    if (const temp_bytes* extras = entry_of(store, EFFECT_EXTRAS_ENTRY_NAME)) out.extras = *extras;
    if (!effects_fit(out.file.effects, out.extras)) return 2;

    if (const temp_bytes* book = entry_of(store, BOOK_ENTRY_NAME)) out.book = story_lines(*book);
    if (const temp_bytes* seconds = entry_of(store, PLAY_TIME_ENTRY_NAME); seconds && seconds->size() == 4)
        out.play_time = uint32_t((*seconds)[0]) | uint32_t((*seconds)[1]) << 8 | uint32_t((*seconds)[2]) << 16 |
                        uint32_t((*seconds)[3]) << 24;

    if (same_map(out.file.map_name)) {
        out.map_file = read_map_file(current_map.name);
        if (!out.map_file || out.map_file->sector_count != current_map.sector_count) return 3;
        out.map_state = entry_of(store, current_map.name);
        if (out.file.sector <= 0 || out.file.sector >= current_map.sector_count) return 2;
    }
    return 0;
}

// The loaded map's records as they were, for a state record that does not fit.
struct map_records {
    std::vector<map_sector> sectors;
    std::vector<map_side> sides;
    std::vector<map_coord> coords;
    std::vector<uint8_t> side_resting;
    std::vector<map_item_place> items;
    std::vector<std::array<uint8_t, RECESS_RECORD_SIZE>> recesses;
    std::vector<std::vector<uint8_t>> automap_notes;
    map_action_state actions;
};

map_records records_of(const loaded_map& map) {
    return {map.sectors, map.sides,    map.coords,        map.side_resting,
            map.items,   map.recesses, map.automap_notes, map_actions};
}

void put_records(map_records records) {
    current_map.sectors = std::move(records.sectors);
    current_map.sides = std::move(records.sides);
    current_map.coords = std::move(records.coords);
    current_map.side_resting = std::move(records.side_resting);
    current_map.items = std::move(records.items);
    current_map.recesses = std::move(records.recesses);
    current_map.automap_notes = std::move(records.automap_notes);
    map_actions = std::move(records.actions);
}

// The current map's records as its file has them (sides, sectors,
// coordinates, floor lists, alcoves), then with the loaded state record.
// False (and the map as it was) when the record does not fit.
bool reapply_current_map(staged_load& load) {
    map_records before = records_of(current_map);
    loaded_map& file = *load.map_file;
    map_records from_file = records_of(file);
    from_file.side_resting.resize(file.sides.size());
    for (size_t k = 0; k < file.sides.size(); ++k) from_file.side_resting[k] = uint8_t(file.sides[k].flags);
    put_records(std::move(from_file));
    // MAPPED to UNUSED: what the record sets again, and the marks of who stands where.
    for (map_coord& c : current_map.coords) c.coord_flags &= uint16_t(~(2 * MC_UNUSED - 1));
    reset_map_actions();
    if (!load.map_state) return true;
    if (map_state_apply_bytes(load.map_state->data(), load.map_state->size(), false) == MAP_STATE_UNFIT) {
        put_records(std::move(before));
        return false;
    }
    return true;
}

void apply_party(const game_file& f) {
    for (size_t i = 0; i < PARTY_SLOTS; ++i) {
        delete party_members[i].saved_self;
        party_members[i] = f.members[i];
        party_members[i].plan = party_members[i].plan_cursor = nullptr;
        party_members[i].saved_self = f.own_records[i] ? new party_member(*f.own_records[i]) : nullptr;
        if (party_members[i].saved_self) {
            party_member& own = *party_members[i].saved_self;
            own.plan = own.plan_cursor = nullptr;
            own.saved_self = nullptr;
        }
    }
}

void apply_settings(const game_file& f) {
    saves_world::settings s;
    s.autosave = f.autosave;
    s.group_order = f.group_order;
    s.member_names = f.member_names;
    s.auto_attack = f.auto_attack;
    s.fast_battles = (f.flags & GAME_FLAG_FAST_BATTLES) != 0;
    s.travel = (f.flags & GAME_FLAG_TRAVEL) != 0;
    std::copy(std::begin(f.sound), std::end(f.sound), s.sound);
    above->apply_settings(s);
    view.show_monster_hp = f.hunting_instinct != 0;
    movement.turn_speed = speed_setting(f.turn_speed);
    movement.walk_speed = speed_setting(f.walk_speed);
    const uint32_t speed = (f.flags >> GAME_FLAG_SPEED_SHIFT) & GAME_FLAG_SPEED_MASK;
    if (speed != 0) set_tick_length(int(speed));
}

}  // namespace

void set_saves_world(saves_world* world) {
    above = world ? world : &nothing_above;
}
saves_world& saves_hooks() {
    return *above;
}

uint32_t game_identity() {
    return identity;
}
void set_game_identity(uint32_t value) {
    identity = value;
}

uint32_t play_time_seconds() {
    const auto since = std::chrono::steady_clock::now() - clock_since;
    return play_time_loaded + uint32_t(std::chrono::duration_cast<std::chrono::seconds>(since).count());
}

void new_game_saves() {
    game_store().clear();
    identity = 0;
    play_time_loaded = 0;
    clock_since = std::chrono::steady_clock::now();
    party_list.clear();
    leaving_for_loaded_game = keep_loaded_global_events = false;
}

uint32_t save_time_now() {
    return uint32_t(int64_t(std::time(nullptr)) - SAVE_TIME_EPOCH);
}

std::string autosave_description() {
    std::string name(current_map.header.title.data(), strnlen(current_map.header.title.data(),
                                                                current_map.header.title.size()));
    if (name.empty()) name = current_map.name;
    const uint32_t seconds = play_time_seconds();
    if (seconds < 60) return name;
    char text[96];
    std::snprintf(text, sizeof text, "%s %02lu:%02lu", name.c_str(), static_cast<unsigned long>(seconds / 3600),
                  static_cast<unsigned long>(seconds / 60 % 60));
    return text;
}

int save_game(uint32_t save_time, std::string_view description, bool autosave) {
    if (identity == 0) identity = uint32_t(std::time(nullptr));
    const std::string name = saved_game_name(identity, save_time, autosave);
    saves_hooks().stop_sounds();
    map_state_store();
    const std::string& folder = saved_games_folder();
    const std::string path = build_path(folder, name);
    store_game_entries(game_store());
    if (!create_saved_games_folder(folder) || !write_saved_game(path, description, game_store())) {
        char message[1024];
        std::snprintf(message, sizeof message, "Failed to create savegame at path %s", path.c_str());
        above->save_failed(message, autosave);
        return 1;
    }
    above->saved_sign();
    run_hook(HOOK_AFTER_SAVE, party.sector, party.direction);
    return 0;
}

int autosave() {
    const std::string description = autosave_description();
    const bool keep_older = someone_lies_dead_here();
    const uint32_t time = save_time_now();
    const int result = save_game(time, description, true);
    // The older autosaves go only once the new one is on disk.
    if (result == 0 && !keep_older) delete_older_autosaves(saved_game_name(identity, time, true));
    return result;
}

int load_game(const std::string& file_name) {
    staged_load load;
    if (int failed = stage_load(file_name, load)) return failed;
    const game_file& f = load.file;
    saves_hooks().stop_sounds();

    // The items first: the map's state drops floor lists naming items beyond them.
    item_table& items = game_items();
    std::vector<item_def> clones_before(items.records().begin() + items.definition_count(), items.records().end());
    items.replace_clones(f.created_items);
    const bool here = load.map_file.has_value();
    if (here && !reapply_current_map(load)) {
        items.replace_clones(std::move(clones_before));
        return 3;
    }
    if (above->battle_running()) above->end_battle();

    game_store() = std::move(load.game.store);
    const temp_store& store = game_store();
    above->set_book_lines(load.book);
    clear_global_hooks();
    if (const temp_bytes* hooks = entry_of(store, GLOBAL_EVENTS_ENTRY_NAME))
        set_global_hooks_bytes(hooks->data(), hooks->size());
    if (const temp_bytes* shops = entry_of(store, SHOPS_STATE_NAME)) load_shop_state(game_shops(), *shops);

    above->set_hand(f.hand);
    load_effects(f.effects, load.extras);
    apply_party(f);
    size_t used = 0;
    above->load_dialog_state(f.dialog_state.data(), f.dialog_state.size(), used);
    party_list = f.party_list;

    party_state.current_group = f.current_group;
    apply_settings(f);
    game_time = f.game_time;
    party_state.rest_allowance = f.rest_counter;
    party_state.gold = f.money;
    std::copy(std::begin(f.runes), std::end(f.runes), party_state.runes);

    last_place_loaded = {f.map_name, f.sector, f.direction};
    if (here) {
        party.sector = f.sector;
        party.direction = f.direction;
        party.active_group = f.current_group;
        mark_party_sectors();
    } else {
        leave_map_for_loaded_game();
        request_map_change(f.map_name, f.sector, f.direction);
    }

    play_time_loaded = load.play_time;
    clock_since = std::chrono::steady_clock::now();
    identity = load.name ? load.name->identity : 0;
    return 0;
}

const loaded_game_place& loaded_place() {
    return last_place_loaded;
}

void leave_map_for_loaded_game() {
    leaving_for_loaded_game = true;
    // Only a map change of the game loop clears the events; with no map
    // loaded there is none to survive.
    keep_loaded_global_events = !current_map.name.empty();
    // Cleared once the next map is in (before its state is applied).
    static const bool hooked = (add_map_loaded_hook([] { leaving_for_loaded_game = false; }), true);
    (void)hooked;
}
bool leaving_map_for_loaded_game() {
    return leaving_for_loaded_game;
}
bool take_loaded_global_events() {
    return std::exchange(keep_loaded_global_events, false);
}
bool loading_map_for_loaded_game() {
    return keep_loaded_global_events;
}

void story_append(std::string_view text) {
    temp_writer writer = game_store().open_append(STORY_ENTRY_NAME);
    writer.write(text.data(), text.size());
    writer.write("\n", 1);
}

std::vector<std::string> story_lines(const std::vector<uint8_t>& story) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < story.size(); ++i) {
        if (story[i] != '\n') continue;
        lines.emplace_back(story.begin() + ptrdiff_t(start), story.begin() + ptrdiff_t(i));
        start = i + 1;
    }
    if (start < story.size()) lines.emplace_back(story.begin() + ptrdiff_t(start), story.end());
    return lines;
}
