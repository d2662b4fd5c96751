#include "sound/flute.h"

#include <cmath>

#include "core/events.h"
#include "core/handle_ids.h"
#include "core/random.h"
#include "core/timers.h"
#include "gfx/picture.h"
#include "rules/item_record.h"
#include "rules/items.h"
#include "sound/game_sound.h"
#include "sound/sound_system.h"
#include "sound/wave_data.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"

flute_outputs flute_out = {sound_play, sound_set_end, sound_at_sector, run_hook};

namespace {

// The effects volume: the flute is only heard where the settings have it.
constexpr int SETTING_EFFECTS_VOLUME = 8;

// The built-in melodies of the melody sectors by direction (0 north .. 3 west),
// notes written as "A" + note.
constexpr const char* PLACE_MELODIES[4] = {"AKDMBF", "GBLAKD", "MFCJAE", "DJAGMK"};
constexpr const char* NOTE_NAMES[FLUTE_NOTES] = {"C", "C#", "D", "D#", "E", "F", "F#",
                                                 "G", "G#", "A", "A#", "H", "C"};
// The answers: north, east, south and west are 170 to 173; the wrong answers
// draw from 170 to 177 (the directions and four random noises).
constexpr int ANSWER_CHOICES = 8;

struct flute_state {
    int slot = 0;            // the channel of the next note is 30 + slot
    bool sounding = false;   // a note sounds (its hole is held)
    std::size_t length = 0;  // bytes of the sounding note's sample
    const void* data = nullptr;
    bool locked[FLUTE_CHANNELS] = {};  // the slot's note holds a lock on fletna.wav
    std::string place;                 // letters counted in a melody sector
    std::string free;                  // note names played elsewhere
    int check_sector = 0;              // the party's place when the check was scheduled
    int check_direction = 0;
};
flute_state flute;

const map_sector* sector_at(int sector) {
    if (sector < 0 || sector >= current_map.sector_count ||
        sector >= static_cast<int>(current_map.sectors.size()))
        return nullptr;
    return &current_map.sectors[static_cast<std::size_t>(sector)];
}

int sector_type(int sector) {
    const map_sector* s = sector_at(sector);
    return s ? s->sector_type : -1;
}

bool melody_sector(int sector) {
    const int type = sector_type(sector);
    return type >= MELODY_SECTOR_FIRST && type <= MELODY_SECTOR_LAST;
}

void record_note(int note) {
    if (melody_sector(party.sector)) {
        if (flute.place.size() < static_cast<std::size_t>(PLACE_MELODY_MAX))
            flute.place.push_back(static_cast<char>('A' + note));
    } else if (flute.free.size() < FREE_MELODY_MAX) {
        flute.free += NOTE_NAMES[note];
    }
}

void place_check_timer(timer_node*) {
    place_melody_check(flute.check_sector, flute.check_direction);
}

void free_check_timer(timer_node*) {
    free_melody_check(flute.check_sector, flute.check_direction);
}

// The note's hole was let go: its tail plays, and the melody may be checked.
void release_note() {
    flute_note_off();
    flute.sounding = false;
    flute.check_sector = party.sector;
    flute.check_direction = party.direction & 3;
    // A note cancels a pending check before it is recorded, so at most one
    // check is pending; removing first keeps it so if that ever changes.
    remove_timers(TIMER_MELODY);
    if (melody_sector(party.sector)) {
        if (flute.place.size() >= static_cast<std::size_t>(PLACE_MELODY_LENGTH))
            add_timer(TIMER_MELODY, MELODY_CHECK_TICKS, 1, place_check_timer);
    } else {
        add_timer(TIMER_MELODY, MELODY_CHECK_TICKS, 1, free_check_timer);
    }
}

bool ascii_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool melody_character(char c) {
    return ascii_letter(c) || c == '#';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void flute_note_on(int note) {
    if (!sound_has_setting(SETTING_EFFECTS_VOLUME)) return;
    if (note < 0 || note >= FLUTE_NOTES) return;
    const std::optional<wave_view> wave = wave_of_handle(H_SOUND_FLETNA);
    if (!wave || !wave->data || wave->length == 0) return;
    const int channel = FLUTE_CHANNEL_FIRST + flute.slot;
    // The sample's own length (the wave data holds every byte it claims); a
    // sample that ends before the loop point plays once without a loop.
    const std::size_t length = wave->length;
    const std::size_t loop_start = FLUTE_LOOP_START < length ? FLUTE_LOOP_START : length;
    const int rate = static_cast<int>(std::lround(FLUTE_BASE_RATE * std::exp2(note / 12.0)));
    // The data must outlive the note's tail: the slot keeps the sample locked
    // until the resource is let go by reset_flute.
    if (!flute.locked[flute.slot]) {
        lock_handle(H_SOUND_FLETNA);
        flute.locked[flute.slot] = true;
    }
    sound_set_volume(channel, FLUTE_VOLUME, FLUTE_VOLUME);
    flute_out.play(channel, wave->data, length, loop_start, rate, 1);
    flute.data = wave->data;
    flute.length = length;
}

void flute_note_off() {
    const int channel = FLUTE_CHANNEL_FIRST + flute.slot;
    if (flute.data) flute_out.set_end(channel, flute.data, flute.length);
    flute.slot = (flute.slot + 1) & (FLUTE_CHANNELS - 1);
}

int flute_key_at(int x, int y) {
    if (x < 0 || x > NOTE_PANEL_RIGHT || y < NOTE_PANEL_TOP || y > NOTE_PANEL_BOTTOM) return -1;
    const picture* mask = screen_picture(H_STUPNI_M);
    if (!mask || picture_pixel_bytes(mask->type) != 1) return -1;
    const int row = y - NOTE_PANEL_TOP;
    if (x >= mask->width || row >= mask->height) return -1;
    const uint8_t key = picture_pixels8(mask)[static_cast<std::size_t>(row) * mask->width + x];
    return key >= 1 && key <= FLUTE_NOTES ? key - 1 : -1;
}

bool flute_panel_event(const mouse_record& mouse) {
    // Only the note panel has keys: anywhere else the pointer is over none,
    // so a note held when the panel goes away ends at the next event.
    const int key = panel_mode == PANEL_NOTES ? flute_key_at(mouse.x, mouse.y) : -1;
    const bool down = mouse.events & MOUSE_EV_LEFT_DOWN;
    const bool up = mouse.events & MOUSE_EV_LEFT_UP;
    if (key >= 0 && down && !up) {
        // A press without the release of the note before it (a lost event)
        // still ends that note rather than leaving its loop running.
        if (flute.sounding) flute_note_off();
        flute_note_on(key);
        flute.sounding = true;
        record_note(key);
        remove_timers(TIMER_MELODY);
        return true;
    }
    if (key >= 0 && !down && !up) return false;
    if (flute.sounding) release_note();
    return false;
}

void place_melody_check(int sector, int direction) {
    direction &= 3;
    const std::string_view melody = PLACE_MELODIES[direction];
    const handle_id answer_base = H_SOUND_SEVER;
    if (flute.place == melody && sector_type(sector) == MELODY_SECTOR_FIRST + direction) {
        flute_out.answer(static_cast<handle_id>(answer_base + direction), party.sector, sector, 0, false);
    } else {
        // The wrong answer depends only on the place, the direction and the
        // length, and the game's generator goes on afterwards from a value
        // it gave just before.
        const int count = static_cast<int>(flute.place.size());
        const int resume = random_next();
        random_seed(static_cast<uint32_t>(sector + direction));
        int choice = 0;
        for (int i = 0; i < count; ++i) {
            do choice = random(ANSWER_CHOICES);
            while (choice == direction);
        }
        flute_out.answer(static_cast<handle_id>(answer_base + choice), party.sector, sector, 0, false);
        random_seed(static_cast<uint32_t>(resume));
    }
    flute.place.clear();
}

void free_melody_check(int sector, int direction) {
    int remembered = -1;
    for (int hook = MELODY_HOOK_FIRST; hook <= MELODY_HOOK_LAST; ++hook) {
        const global_hook& entry = global_hooks[static_cast<std::size_t>(hook)];
        if (entry.time != 0) {
            const std::string* text = map_string(entry.time);
            if (text && melody_matches(*text, flute.free)) {
                flute_out.run_hook(hook, sector, direction);
                flute.free.clear();
                return;
            }
        } else if (entry.sector != 0 || entry.side != 0) {
            remembered = hook;
        }
    }
    if (remembered >= 0) flute_out.run_hook(remembered, sector, direction);
    flute.free.clear();
}

bool melody_matches(std::string_view text, std::string_view melody) {
    std::size_t i = 0, j = 0;
    while (i < text.size() && j < melody.size()) {
        if (!melody_character(text[i])) {
            ++i;
            continue;
        }
        if (!melody_character(melody[j])) {
            ++j;
            continue;
        }
        if (upper(text[i]) != upper(melody[j])) return false;
        ++i;
        ++j;
    }
    return i == text.size() && j == melody.size();
}

const std::string& place_melody() {
    return flute.place;
}

const std::string& free_melody() {
    return flute.free;
}

bool flute_note_sounding() {
    return flute.sounding;
}

int flute_slot() {
    return flute.slot;
}

int flute_item() {
    const item_table& items = game_items();
    for (int number = 1; number <= items.definition_count(); ++number) {
        const item_def* item = items.find(number);
        if (item && item->type == IT_SPECIAL && item->value == SPECIAL_FLUTE) return number;
    }
    return 0;
}

bool flute_carried_here() {
    const int item = flute_item();
    if (item == 0 || !map_services.member_carries) return false;
    const party_roster& members = roster();
    for (int slot = 0; slot < members.slots(); ++slot)
        if (member_with_party(members.member(slot)) && map_services.member_carries(slot, item)) return true;
    return false;
}

void reset_flute() {
    remove_timers(TIMER_MELODY);
    for (bool& locked : flute.locked)
        if (locked) unlock_handle(H_SOUND_FLETNA);
    flute = flute_state{};
    flute_out = {sound_play, sound_set_end, sound_at_sector, run_hook};
}

void install_flute() {
    screen_flute.carried_here = flute_carried_here;
    screen_flute.mouse = flute_panel_event;
}
