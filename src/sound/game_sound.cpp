#include "sound/game_sound.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/decoders.h"
#include "core/random.h"
#include "sound/sound_propagation.h"
#include "sound/sound_system.h"
#include "sound/wave_data.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"

namespace {

constexpr int FIXED_HANDLES = 32;
constexpr int FIXED_INDEX_LIMIT = FIXED_HANDLES - FIXED_CHANNEL_FIRST;

// What plays on an effect channel and where it sits.
struct effect_channel {
    std::optional<sound_action> action;  // none for a one-shot effect
    int x = 0, y = 0;
    int side = 0;  // a track's side, -1 non-positional; an effect's: the party's facing at its start
    int volume = 0;
    handle_id handle = 0;  // locked while the channel plays
    int sector = 0;
};

// Where a track was last placed, so that it can start again.
struct track_state {
    std::optional<sound_action> action;
    int x = 0, y = 0;
    int side = 0;
    int sector = 0;
};

struct game_sound_state {
    std::array<effect_channel, EFFECT_CHANNELS> channels;
    std::array<int, EFFECT_CHANNELS> channel_owner;  // key or track number, -1 free
    std::array<track_state, TRACK_COUNT> tracks;
    std::array<int, TRACK_COUNT> track_channel;  // -1 when none
    std::array<handle_id, FIXED_HANDLES> fixed_handle;
    bool enabled = true;

    game_sound_state() { clear(); }
    void clear() {
        channels.fill({});
        channel_owner.fill(-1);
        tracks.fill({});
        track_channel.fill(-1);
        fixed_handle.fill(0);
    }
};

game_sound_state state;

sound_party_place game_party_place() {
    return {party.sector, party.direction};
}

bool valid_key(int key) {
    return key >= 0 && key < TRACK_COUNT;
}

map_coord coord_of(int sector) {
    if (sector < 0 || sector >= sound_map_sectors()) return {};
    return current_map.coords[static_cast<std::size_t>(sector)];
}

void stop_channel(int ch) {
    const int owner = state.channel_owner[ch];
    if (owner == -1) return;
    sound_cut(ch);
    unlock_handle(state.channels[ch].handle);
    state.channel_owner[ch] = -1;
    // A detached channel belongs to key 0, which may meanwhile name another
    // channel: only the owner's own entry is cleared.
    if (valid_key(owner) && state.track_channel[owner] == ch) state.track_channel[owner] = -1;
}

int choose_channel(int key) {
    if (key != 0)
        for (int ch = 0; ch < EFFECT_CHANNELS; ++ch)
            if (state.channel_owner[ch] == key) return ch;
    int quietest = 0, lowest = 0xFFFF;
    for (int ch = 0; ch < EFFECT_CHANNELS; ++ch) {
        // A channel nobody owns was cut: the mixer lets it go on its next
        // pass, and until then it counts as free.
        if (state.channel_owner[ch] == -1 || !sound_is_playing(ch)) return ch;
        int left = 0, right = 0;
        sound_get_volume(ch, &left, &right);
        int loudness = (left + right) / 2;
        if (state.channels[ch].side < 0) loudness *= 2;
        if (loudness < lowest) lowest = loudness, quietest = ch;
    }
    return quietest;
}

// The bytes of a sound action's sample that play: start, end and loop start
// are kept inside the sample, so that a record naming offsets past its data
// plays what there is instead of reading beyond it.
struct sample_span {
    std::size_t start = 0, size = 0, loop = 0;
};
sample_span clamp_span(const sound_action& action, std::size_t length) {
    auto inside = [length](int32_t offset, std::size_t low) {
        return std::clamp<std::size_t>(offset < 0 ? 0 : static_cast<std::size_t>(offset), low, length);
    };
    const std::size_t start = inside(action.start, 0);
    const std::size_t end = inside(action.end, start);
    const std::size_t loop = inside(action.loop_start, start);
    return {start, end - start, loop - start};
}

void start_track(const sound_action& action, int sector, int side, int party_sector, int party_direction) {
    if (!state.enabled) return;
    const int key = action.track;
    const int ch = choose_channel(key);
    track_state& track = state.tracks[key];
    const map_coord place = coord_of(sector);
    track = {action, place.x, place.y, side, sector};

    int left = 0, right = 0;
    if (action.flags & 8) {
        const int f = action.volume * 32000 / 100;
        if (random(100) < 51) {
            left = f;
            right = random(f);
        } else {
            left = random(f);
            right = f;
        }
    } else {
        positional_levels(sector, side, party_sector, party_direction, action.volume, left, right);
    }
    // A track that would not be heard, or has nothing to play, keeps its
    // state for a later start; the sound already on the chosen channel plays
    // on unless it is this track's own.
    auto give_up = [&] {
        if (key != 0 && state.channel_owner[ch] == key) stop_channel(ch);
        state.track_channel[key] = -1;
    };
    if (left == 0 && right == 0) return give_up();
    const handle_id handle = sound_handle(action.wave);
    if (handle == 0) return give_up();
    lock_handle(handle);
    const std::optional<wave_view> wave = wave_of_handle(handle);
    const sample_span span = wave ? clamp_span(action, wave->length) : sample_span{};
    if (span.size == 0 || action.rate == 0) {
        unlock_handle(handle);
        return give_up();
    }
    stop_channel(ch);
    sound_set_volume(ch, left, right);
    if (!sound_play(ch, wave->data + span.start, span.size, span.loop, action.rate, 1 + (action.flags & 1))) {
        unlock_handle(handle);
        state.track_channel[key] = -1;
        return;
    }
    state.channels[ch] = {action, place.x, place.y, side, action.volume, handle, sector};
    state.channel_owner[ch] = key;
    state.track_channel[key] = ch;
}

}  // namespace

sound_party_place (*sound_party)() = game_party_place;

bool read_sound_action(const uint8_t* record, std::size_t size, sound_action& out) {
    if (!record || size <= SOUND_ACTION_NAME_OFFSET) return false;
    const auto* name = reinterpret_cast<const char*>(record + SOUND_ACTION_NAME_OFFSET);
    const std::size_t room = size - SOUND_ACTION_NAME_OFFSET;
    const void* end = std::memchr(name, 0, room);
    if (!end) return false;
    auto i32 = [record](std::size_t at) {
        return static_cast<int32_t>(
            static_cast<uint32_t>(record[at]) | static_cast<uint32_t>(record[at + 1]) << 8 |
            static_cast<uint32_t>(record[at + 2]) << 16 | static_cast<uint32_t>(record[at + 3]) << 24);
    };
    sound_action a;
    a.flags = record[3];
    a.volume = record[4];
    a.track = record[5];
    a.rate = static_cast<uint16_t>(record[6] | record[7] << 8);
    a.loop_start = i32(8);
    a.end = i32(12);
    a.start = i32(16);
    a.wave.assign(name, static_cast<const char*>(end));
    out = std::move(a);
    return true;
}

void sound_reset() {
    state.clear();
}

void sound_update(int party_sector, int party_direction) {
    const int count = sound_map_sectors();
    if (party_sector < 0 || party_sector >= count) return;
    propagate_sound(party_sector, party_direction);
    for (int ch = 0; ch < EFFECT_CHANNELS; ++ch) {
        if (state.channel_owner[ch] == -1) continue;
        const effect_channel& c = state.channels[ch];
        if (c.side < 0) {
            const int level = c.volume * 32000 / 100;
            sound_set_volume(ch, level, level);
            if (!sound_is_playing(ch)) stop_channel(ch);
        } else if (!positional_volume(ch, c.sector, c.side, party_sector, party_direction, c.volume) ||
                   !sound_is_playing(ch)) {
            // Out of hearing (or played out): the channel is freed, and a
            // looping track starts again once the party comes back.
            stop_channel(ch);
        }
    }
    const map_coord here = current_map.coords[static_cast<std::size_t>(party_sector)];
    for (int key = 1; key < TRACK_COUNT; ++key) {
        const track_state& t = state.tracks[key];
        if (state.track_channel[key] != -1 || !t.action || !t.action->loops()) continue;
        if (t.side >= 0 && !track_audible(here.x, here.y, t.x, t.y, t.side)) continue;
        const sound_action action = *t.action;
        if (t.side >= 0)
            start_track(action, t.sector, t.side, party_sector, party_direction);
        else
            start_track(action, -1, -1, party_sector, party_direction);
    }
}

void sound_run_action(const uint8_t* record, std::size_t size, int sector, int side) {
    sound_action action;
    if (!read_sound_action(record, size, action)) return;
    const int touched = last_touched_side();
    const bool forward = touched >= 0 && static_cast<std::size_t>(touched) < current_map.sides.size() &&
                         (current_map.sides[static_cast<std::size_t>(touched)].flags & SIDE_P_FORW);
    if (action.flags & (forward ? 2 : 4)) return;
    if (sector == 0)
        sound_start_track(action, -1, -1);
    else
        sound_start_track(action, sector, side);
}

void sound_start_track(const sound_action& action, int sector, int side) {
    const sound_party_place p = sound_party();
    start_track(action, sector, side, p.sector, p.direction);
}

void sound_at_sector(handle_id handle, int party_sector, int sound_sector, int key, bool loop) {
    const int count = sound_map_sectors();
    if (!state.enabled || !valid_key(key) || party_sector < 0 || party_sector >= count || sound_sector < 0 ||
        sound_sector >= count)
        return;
    const map_coord place = coord_of(sound_sector);
    if (coord_of(party_sector).layer != place.layer) return;
    const int ch = choose_channel(key);
    const bool moving = key != 0 && state.channel_owner[ch] == key;
    int left = 0, right = 0;
    if (!positional_levels(sound_sector, -1, party_sector, 255, 100, left, right)) return;
    if (!moving) {
        lock_handle(handle);
        const std::optional<wave_view> wave = wave_of_handle(handle);
        if (!wave || wave->length == 0) {
            unlock_handle(handle);
            return;
        }
        stop_channel(ch);
        sound_set_volume(ch, left, right);
        if (!sound_play(ch, wave->data, wave->length, loop ? 0 : wave->length, static_cast<int>(wave->rate),
                        wave->sample_type())) {
            unlock_handle(handle);
            return;
        }
        state.channels[ch].action.reset();
        state.channels[ch].handle = handle;
    } else {
        sound_set_volume(ch, left, right);
    }
    effect_channel& c = state.channels[ch];
    c.x = place.x;
    c.y = place.y;
    c.side = sound_party().direction;
    c.volume = 100;
    c.sector = sound_sector;
    state.channel_owner[ch] = key;
    state.track_channel[key] = ch;
}

void sound_fixed(handle_id handle, int index, int volume) {
    if (!state.enabled || index < 0 || index >= FIXED_INDEX_LIMIT) return;
    const int ch = FIXED_CHANNEL_FIRST + index;
    sound_set_volume(ch, volume * 320, volume * 320);
    lock_handle(handle);
    const std::optional<wave_view> wave = wave_of_handle(handle);
    if (!wave || wave->length == 0) {
        // Nothing to play: what plays there keeps its handle.
        unlock_handle(handle);
        return;
    }
    unlock_handle(state.fixed_handle[ch]);
    state.fixed_handle[ch] = handle;
    sound_play(ch, wave->data, wave->length, wave->length, static_cast<int>(wave->rate), wave->sample_type());
}

void sound_track_release(int key) {
    if (valid_key(key) && state.track_channel[key] != -1) sound_release(state.track_channel[key]);
}

bool sound_track_playing(int key) {
    return valid_key(key) && state.track_channel[key] != -1;
}

int sound_track_channel(int key) {
    return valid_key(key) ? state.track_channel[key] : -1;
}

void sound_track_detach(int key) {
    if (!valid_key(key) || state.track_channel[key] == -1) return;
    const int ch = state.track_channel[key];
    sound_release(ch);
    state.track_channel[key] = -1;
    state.channel_owner[ch] = 0;
}

void sound_stop_positional(bool force) {
    for (int ch = 0; ch < EFFECT_CHANNELS; ++ch)
        if (force || state.channels[ch].side != -1) stop_channel(ch);
}

void sound_stop_all() {
    for (int ch = 0; ch < EFFECT_CHANNELS; ++ch) stop_channel(ch);
    // The fixed sounds play on; their handles are let go once, so that a
    // later fixed sound on the same channel does not unlock them again.
    for (handle_id& h : state.fixed_handle) {
        if (h != 0) unlock_handle(h);
        h = 0;
    }
}

bool sound_enable(bool on) {
    const bool was = state.enabled;
    state.enabled = on;
    return was;
}

handle_id sound_handle(const std::string& wave) {
    if (wave.empty() || wave.size() > HANDLE_NAME_MAX) return 0;
    std::string name = wave;
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const decoder_fn decoder = decoder_for(decoder_id::sample_converter);
    if (const int found = find_handle(name.c_str(), decoder); found >= 0)
        return static_cast<handle_id>(found);
    for (int id = SOUND_DYNAMIC_HANDLES; id < SOUND_DYNAMIC_HANDLES + SOUND_DYNAMIC_HANDLE_COUNT; ++id) {
        const handle_record* r = handle_info(static_cast<handle_id>(id));
        if (r && r->state != HANDLE_UNDEFINED) continue;
        return define_handle(static_cast<handle_id>(id), name.c_str(), decoder, PATH_SOUNDS)
                   ? static_cast<handle_id>(id)
                   : 0;
    }
    return 0;
}
