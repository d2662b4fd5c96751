// Loading and unloading the current map: the file, its handles, its string
// table and the entries it keeps in the temporary-state store.
#include "world/map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "base/fatal.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/decoders.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "world/map_internal.h"

loaded_map current_map;
handle_id map_handle_start = MAP_FIRST_HANDLE;

namespace {

std::map<std::string, std::vector<uint8_t>>& local_store() {
    static std::map<std::string, std::vector<uint8_t>> store;
    return store;
}
map_store_hooks active_store;

std::vector<map_event_fn>& loaded_hooks() {
    static std::vector<map_event_fn> hooks;
    return hooks;
}
std::vector<map_event_fn>& unloading_hooks() {
    static std::vector<map_event_fn> hooks;
    return hooks;
}
map_event_fn state_restore_hook = nullptr;
map_event_fn state_store_hook = nullptr;

bool read_file(const std::string& path, std::vector<uint8_t>& out) {
    FILE* f = open_file(path, "rb");
    if (!f) return false;
    out.clear();
    uint8_t buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

void undefine_map_handles(handle_id start, handle_id end) {
    for (unsigned h = start; h < end; ++h) undefine_handle(static_cast<handle_id>(h));
}

// Writes the localized title from mapnames.csv into the header, when there is one.
void apply_localized_title(loaded_map& map) {
    std::optional<language_table> names = open_language_table("mapnames.csv");
    if (!names) return;
    const char* title = language_text(&*names, static_cast<int>(map.hash), nullptr);
    if (!title) return;
    map.header.title.fill(0);
    std::memcpy(map.header.title.data(), title, std::min(std::strlen(title), map.header.title.size() - 1));
}

}  // namespace

const std::string* map_string(int n) {
    if (n < 0 || static_cast<size_t>(n) >= current_map.strings.size()) return nullptr;
    const auto& entry = current_map.strings[static_cast<size_t>(n)];
    return entry ? &*entry : nullptr;
}

uint32_t map_hash(std::string_view file_name) {
    uint32_t h = 0x01000193u;
    for (char c : file_name) {
        h ^= static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(c)));
        h *= 0x811C9DC5u;
    }
    return h;
}

void set_map_state_store(const map_store_hooks& store) {
    active_store = store;
}

void map_store_write(const std::string& name, const std::vector<uint8_t>& data) {
    if (active_store.write)
        active_store.write(name, data);
    else
        local_store()[name] = data;
}

bool map_store_read(const std::string& name, std::vector<uint8_t>& data) {
    if (active_store.read) return active_store.read(name, data);
    auto it = local_store().find(name);
    if (it == local_store().end()) return false;
    data = it->second;
    return true;
}

void set_map_state_hooks(map_event_fn restore, map_event_fn store) {
    state_restore_hook = restore;
    state_store_hook = store;
}

void add_map_loaded_hook(map_event_fn fn) {
    loaded_hooks().push_back(fn);
}
void add_map_unloading_hook(map_event_fn fn) {
    unloading_hooks().push_back(fn);
}

handle_id reserve_map_handles(int count) {
    if (count < 0 || current_map.handle_end + count > FIRST_RUNTIME_HANDLE) {
        fatal_error("Map file is corrupted!\n");
    }
    handle_id first = current_map.handle_end;
    current_map.handle_end = static_cast<handle_id>(first + count);
    return first;
}

int load_map(std::string_view file_name) {
    std::string path = build_path(path_table[PATH_MAPS], file_name);
    std::vector<uint8_t> bytes;
    if (!read_file(path, bytes)) return MAP_NOT_FOUND;

    loaded_map map;
    map.name = std::string(file_name);
    map.handle_start = map.handle_end = map_handle_start;
    if (parse_map_blocks(bytes.data(), bytes.size(), map, true, nullptr) != MAP_OK) {
        undefine_map_handles(map.handle_start, map.handle_end);
        return MAP_CORRUPTED;
    }
    map.side_resting.resize(map.sides.size());
    for (size_t k = 0; k < map.sides.size(); ++k)
        map.side_resting[k] = static_cast<uint8_t>(map.sides[k].flags);

    const map_header& h = map.header;
    auto channel = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    set_fade_colour(channel(h.fade_red), channel(h.fade_green), channel(h.fade_blue));
    map.fade_colour = rgb555(channel(h.fade_red), channel(h.fade_green), channel(h.fade_blue));
    map.hash = map_hash(file_name);

    string_list strings;
    int table_result = read_numbered_table(strings, replace_extension(path, ".txt"));
    if (table_result == TABLE_OK) override_from_language(strings, file_name, "map_");
    map.strings = std::move(strings.entries);
    apply_localized_title(map);

    current_map = std::move(map);

    // Restoring the stored state, music, sounds and monsters: the other parts.
    for (map_event_fn fn : loaded_hooks()) fn();
    if (state_restore_hook) state_restore_hook();

    std::string name(file_name);
    map_store_write("maphash_" + std::to_string(current_map.hash),
                    std::vector<uint8_t>(name.begin(), name.end()));
    // The restored state may carry indexes of its own: check again.
    correct_records(current_map);
    return table_result;
}

std::string map_load_error_text(int result, std::string_view file_name) {
    char text[512];
    switch (result) {
        case MAP_CORRUPTED:
            return "Map file is corrupted!\n";
        case MAP_NO_END_MARK:
            return "Missing -1 at the end of map string table";
        case MAP_NOT_FOUND:
            std::snprintf(text, sizeof text, "Error while loading map (%.*s) ....file not found\n",
                          static_cast<int>(std::min<size_t>(file_name.size(), 256)), file_name.data());
            return text;
        default:
            std::snprintf(text, sizeof text, "Error in string table at line %d", result);
            return text;
    }
}

void report_map_load_error(int result, std::string_view file_name) {
    fatal_error("%s", map_load_error_text(result, file_name).c_str());
}

void unload_map(int current_sector) {
    if (current_map.name.empty()) return;
    uint32_t s = static_cast<uint32_t>(current_sector);
    map_store_write(current_map.name + ".lplace",
                    {static_cast<uint8_t>(s), static_cast<uint8_t>(s >> 8), static_cast<uint8_t>(s >> 16),
                     static_cast<uint8_t>(s >> 24)});
    if (state_store_hook) state_store_hook();
    for (map_event_fn fn : unloading_hooks()) fn();

    // Pictures decoded with this map's fade colour are decoded again for the next.
    decoder_fn fade = decoder_for(decoder_id::pcx_to_fade);
    handle_id top = highest_handle();
    for (unsigned id = 0; id <= top; ++id) {
        if (id >= current_map.handle_start && id < current_map.handle_end) continue;
        const handle_record* rec = handle_info(static_cast<handle_id>(id));
        if (rec && rec->state == HANDLE_LOADED && (rec->decoder == fade || rec->decoder == pcx_to_fade))
            reload_handle(static_cast<handle_id>(id));
    }
    undefine_map_handles(current_map.handle_start, current_map.handle_end);
    current_map = loaded_map{};
}

int last_place(std::string_view map_name) {
    std::vector<uint8_t> data;
    if (!map_store_read(std::string(map_name) + ".lplace", data) || data.size() != 4) return 0;
    uint32_t s = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    // A stored sector that is not a place of the loaded map counts as none.
    if (current_map.name == map_name && (s == 0 || s >= static_cast<uint32_t>(current_map.sector_count)))
        return 0;
    return static_cast<int>(s);
}

int last_place_direction(int sector) {
    if (sector <= 0 || sector >= current_map.sector_count) return 0;
    for (int d = 0; d < 4; ++d) {
        uint32_t f = current_map.sides[static_cast<size_t>(4 * sector + d)].flags;
        if ((f & (SIDE_NOPLAYER | SIDE_P_VIS)) != (SIDE_NOPLAYER | SIDE_P_VIS)) return d;
    }
    return 0;
}

map_position map_entry_position(bool fresh, int sector, int direction) {
    const map_position start{current_map.header.start_sector, current_map.header.start_direction & 3};
    if (fresh) return start;
    if (sector > 0 && sector < current_map.sector_count) return {sector, direction & 3};
    int last = last_place(current_map.name);
    if (last > 0 && last < current_map.sector_count) return {last, last_place_direction(last)};
    return start;
}
