#include "story/settings_file.h"

#include <cstdio>
#include <string_view>

#include "base/config.h"
#include "base/file_write.h"
#include "core/clock.h"
#include "story/game_choices.h"
#include "story/ini_edit.h"
#include "story/sound_settings.h"
#include "world/movement.h"

game_choices choices;

namespace {

std::string settings_path;

// One setting: where it is kept in the file and how it is read and changed.
struct setting_key {
    const char* section;
    const char* key;
    bool is_switch;  // written as on / off
    int (*get)();
    void (*set)(int value);
};

template <int Code>
int sound_value() {
    return sound_get_setting(Code);
}
template <int Code>
void set_sound_value(int value) {
    sound_set_setting(Code, value);
}

int clamp_speed(int value) {
    return value < 0 ? 0 : value > 2 ? 2 : value;
}

const setting_key setting_keys[] = {
    {"audio", "master_volume", false, sound_value<SOUND_MASTER>, set_sound_value<SOUND_MASTER>},
    {"audio", "music_volume", false, sound_value<SOUND_MUSIC>, set_sound_value<SOUND_MUSIC>},
    {"audio", "effects_volume", false, sound_value<SOUND_EFFECTS>, set_sound_value<SOUND_EFFECTS>},
    {"audio", "treble", false, sound_value<SOUND_TREBLE>, set_sound_value<SOUND_TREBLE>},
    {"audio", "bass", false, sound_value<SOUND_BASS>, set_sound_value<SOUND_BASS>},
    {"audio", "swap_channels", true, sound_value<SOUND_SWAP>, set_sound_value<SOUND_SWAP>},
    {"video", "crt_overlay", true, sound_value<SOUND_CRT>, set_sound_value<SOUND_CRT>},
    {"game", "game_speed", false, [] { return tick_length(); },
     [](int v) { set_tick_length(v < 1 ? 1 : v); }},
    {"game", "walk_speed", false, [] { return movement.walk_speed; },
     [](int v) { movement.walk_speed = clamp_speed(v); }},
    {"game", "turn_speed", false, [] { return movement.turn_speed; },
     [](int v) { movement.turn_speed = clamp_speed(v); }},
    {"game", "member_names", true, [] { return int{choices.member_names}; },
     [](int v) { choices.member_names = v != 0; }},
    {"game", "group_order", true, [] { return int{choices.group_order}; },
     [](int v) { choices.group_order = v != 0; }},
    {"game", "auto_attack", true, [] { return int{choices.auto_attack}; },
     [](int v) { choices.auto_attack = v != 0; }},
    {"game", "autosave", true, [] { return int{choices.autosave}; },
     [](int v) { choices.autosave = v != 0; }},
    {"game", "fast_battles", true, [] { return int{choices.battle_step_interval == FAST_BATTLE_STEP}; },
     [](int v) { choices.battle_step_interval = v ? FAST_BATTLE_STEP : NORMAL_BATTLE_STEP; }},
};

// The values after load_settings: a key the file lacks is written only once
// its setting differs from this.
int start_values[std::size(setting_keys)];
bool start_values_known = false;

// The value the configuration gives for a key, the current one when missing
// or unreadable.
int configured_value(const ini_config* config, const setting_key& k) {
    const ini_keys* section = ini_section(config, k.section);
    return k.is_switch ? ini_get_bool(section, k.key, k.get() != 0) : ini_get_int(section, k.key, k.get());
}

std::string value_text(const setting_key& k, int value) {
    if (k.is_switch) return value ? "on" : "off";
    return std::to_string(value);
}

std::string read_whole_file(const std::string& path, bool* ok) {
    std::string text;
    *ok = false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    *ok = !std::ferror(file);
    std::fclose(file);
    return text;
}

}  // namespace

void load_settings(const ini_config* config) {
    for (size_t i = 0; i < std::size(setting_keys); ++i) {
        const setting_key& k = setting_keys[i];
        if (ini_get(ini_section(config, k.section), k.key)) k.set(configured_value(config, k));
        start_values[i] = k.get();
    }
    start_values_known = true;
}

void set_settings_file(std::string path) {
    settings_path = std::move(path);
}

const std::string& settings_file() {
    return settings_path;
}

bool save_settings(ini_config* config) {
    std::string text;
    bool text_read = false;
    bool changed = false;
    for (size_t i = 0; i < std::size(setting_keys); ++i) {
        const setting_key& k = setting_keys[i];
        const int value = k.get();
        const bool in_file = config && ini_get(ini_section(config, k.section), k.key);
        if (in_file ? configured_value(config, k) == value : start_values_known && start_values[i] == value)
            continue;
        if (config) ini_set(ini_section_create(*config, k.section), k.key, value_text(k, value));
        if (settings_path.empty()) continue;
        if (!text_read) {
            bool ok = false;
            text = read_whole_file(settings_path, &ok);
            // A file that cannot be read is not replaced by one with only these keys.
            if (!ok) return false;
            text_read = true;
        }
        text = ini_text_set(text, k.section, k.key, value_text(k, value));
        changed = true;
    }
    if (!changed) return true;
    return write_file_atomic(settings_path, text);
}
