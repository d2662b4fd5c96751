#include "story/game_sound_links.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "base/config.h"
#include "base/text_util.h"
#include "core/handles.h"
#include "gfx/screen.h"
#include "gfx/video_player.h"
#include "monsters/monster_sound.h"
#include "platform/audio_device.h"
#include "platform/display.h"
#include "sound/flute.h"
#include "sound/game_sound.h"
#include "sound/music_controller.h"
#include "sound/playlist_rules.h"
#include "sound/sound_names.h"
#include "sound/sound_system.h"
#include "sound/wave_data.h"
#include "story/sound_settings.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/party_standin.h"
#include "world/rest.h"

namespace {

// Interface sounds: items and food on one channel, the book and the shop on
// their own.
struct interface_sound {
    const char* wave;
    int index;
};
constexpr interface_sound interface_sounds[] = {
    {"lektvar.wav", FIXED_ITEMS}, {"jidlo.wav", FIXED_ITEMS}, {"obleci.wav", FIXED_ITEMS},
    {"put_inv.wav", FIXED_ITEMS}, {"kniha.wav", FIXED_BOOK},  {"obchod.wav", FIXED_SHOP},
};
constexpr int INTERFACE_VOLUME = 100;

void play_interface(const char* wave) {
    const int index = interface_sound_index(wave);
    if (const handle_id h = sound_handle(wave)) sound_fixed(h, index < 0 ? FIXED_ITEMS : index, INTERFACE_VOLUME);
}

void play_at_sector(const char* wave, int sector) {
    if (interface_sound_index(wave) >= 0) return play_interface(wave);
    if (const handle_id h = sound_handle(wave)) sound_at_sector(h, party.sector, sector, 0, false);
}

void follow_party() {
    sound_update(party.sector, party.direction);
}

int monster_key(int monster_number) {
    return MONSTER_SOUND_KEY_FIRST + (monster_number & (TRACK_COUNT - MONSTER_SOUND_KEY_FIRST - 1));
}

void monster_play(handle_id sample, int sector, int bound_monster, bool loop) {
    sound_at_sector(sample, party.sector, sector, bound_monster ? monster_key(bound_monster) : 0, loop);
}

void monster_stop(int monster_number) {
    sound_track_release(monster_key(monster_number));
}

void start_playlist(const std::string& list) {
    playlist_set(list.c_str());
    music_change(playlist_next());
}

// A map was loaded: its sounds start afresh, with its own names and music.
void map_loaded() {
    sound_reset();
    sound_load_map_names(current_map);
    const std::string* list = map_string(0);
    start_playlist(list ? *list : std::string());
}

void map_unloading() {
    sound_stop_all();
    reset_flute();  // melodies and a pending check belong to the map left
}

void stop_positional() {
    sound_stop_positional(false);
}

bool reported_device_failure = false;

// Map command 23: a video on a black screen, or over the map view.
constexpr int VIDEO_TOP_BLACK = 60, VIDEO_TOP_VIEW = 17;
void map_play_video(const std::string& file, bool black_screen) {
    if (black_screen) {
        clear_buffer(frame_buffer, 0);
        present_rect(0, 0, 0, 0);
    }
    play_video(file, black_screen ? VIDEO_TOP_BLACK : VIDEO_TOP_VIEW);
}

}  // namespace

// The full-screen video player's sound goes into the streaming ring; its
// input comes from the display.
void install_video_sound() {
    video_sound s;
    s.stop_music = [] { music_change(std::nullopt); };
    s.start = [](int rate, size_t bytes) { sound_system().stream_start(rate, bytes); };
    s.write_delta = [](const uint8_t* codes, size_t count, const int16_t* table, int16_t* acc,
                       uint32_t* cursor) {
        // Without a ring (no sound output) the sound is dropped rather than waited for.
        if (!sound_system().stream_active()) return true;
        size_t at = *cursor;
        // The player waits by the display's clock when the ring is full.
        if (!sound_system().stream_write_delta(codes, count, table, acc, at, false)) return false;
        *cursor = static_cast<uint32_t>(at);
        return true;
    };
    s.stop = [] { sound_system().stream_fade(); };
    set_video_sound(s);
    video_display d;
    d.take_key = [] {
        if (!display_exists()) return false;
        display().poll_started();
        if (!display().key_available()) return false;
        display().read_key();
        return true;
    };
    d.quit_requested = [] { return display_exists() && display().quit_requested(); };
    d.set_crt_suppressed = [](bool suppressed) {
        if (display_exists()) display().set_crt_suppressed(suppressed);
    };
    // The wait ends with a poll, so the window stays alive while the ring
    // plays (and a run on a virtual clock plays its sound on).
    d.wait = [](int ms) {
        if (!display_exists()) return;
        display().sleep_ms(ms);
        display().poll_started();
    };
    set_video_display(d);
    map_services.play_video = map_play_video;
}

int interface_sound_index(const char* wave) {
    if (!wave) return -1;
    for (const auto& s : interface_sounds)
        if (equal_ignoring_case(wave, s.wave)) return s.index;
    return -1;
}

void install_game_sound() {
    register_wav_decoder();
    reset_sound_settings();
    game_sounds.at_sector = play_at_sector;
    game_sounds.interface_sound = play_interface;
    game_sounds.follow_party = follow_party;
    map_services.play_sound = [](const uint8_t* record, int size, int sector, int side) {
        sound_run_action(record, size > 0 ? static_cast<size_t>(size) : 0, sector, side);
    };
    map_services.play_list = start_playlist;
    add_map_loaded_hook(map_loaded);
    add_map_unloading_hook(map_unloading);
    monster_sound_output monsters;
    monsters.play = monster_play;
    monsters.stop_bound = monster_stop;
    monsters.sound_name = sound_name;
    set_monster_sound_output(monsters);
    rest_services.sound_enable = sound_enable;
    rest_services.stop_positional_sounds = stop_positional;
    window_sound.stop_positional_sounds = stop_positional;
    window_sound.keep_music_filled = music_pump;
    music_set_next_callback(music_next_from_playlist, nullptr);
    install_music_timer();
    install_flute();
    install_video_sound();
}

void sound_init(const ini_config* config) {
    const char* device = ini_get_string(ini_section(config, "audio"), "device", "");
    try {
        const int rate = audio_device().open(device && *device ? device : nullptr, sound_audio_callback, nullptr);
        sound_system().set_mix_rate(static_cast<float>(rate));
    } catch (const std::exception& e) {
        if (!reported_device_failure)
            std::fprintf(stderr, "Vorthan plays without sound: %s\n", e.what());
        reported_device_failure = true;
    }
}

void sound_start_output() {
    if (audio_device_exists() && audio_device().is_open()) audio_device().pause(false);
}

void sound_stop_output() {
    if (audio_device_exists() && audio_device().is_open()) audio_device().pause(true);
}
