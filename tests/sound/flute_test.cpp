// The flute: notes on the flute channels, the note panel's mouse events, the
// melody checks in melody sectors and against the map's melody hooks, and the
// F key of the game screen.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/event_ids.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "core/random.h"
#include "core/timers.h"
#include "gfx/picture.h"
#include "rules/item_record.h"
#include "rules/items.h"
#include "sound/flute.h"
#include "sound/sound_system.h"
#include "sound/wave_data.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"

namespace {

struct played_note {
    int channel, rate, type;
    std::size_t size, loop_start;
};
struct answer {
    handle_id handle;
    int party_sector, sound_sector, key;
    bool loop;
};
std::vector<played_note> notes;
std::vector<std::pair<int, std::size_t>> ends;  // channel, length
std::vector<answer> answers;
std::vector<int> hooks_run;

bool record_play(int channel, const void*, std::size_t size, std::size_t loop_start, int rate, int type) {
    notes.push_back({channel, rate, type, size, loop_start});
    return true;
}
void record_end(int channel, const void*, std::size_t length) {
    ends.emplace_back(channel, length);
}
void record_answer(handle_id handle, int party_sector, int sound_sector, int key, bool loop) {
    answers.push_back({handle, party_sector, sound_sector, key, loop});
}
bool record_hook(int number, int, int) {
    hooks_run.push_back(number);
    return true;
}

// fletna.wav as the loader keeps it: 8-bit, this many bytes.
std::size_t flute_bytes = 6000;
void* flute_sample(void*, int32_t* length, handle_id) {
    const std::size_t size = WAVE_DATA_HEAD + flute_bytes;
    auto* out = static_cast<uint8_t*>(game_alloc(size));
    std::memset(out, 0x80, size);
    const uint32_t head[4] = {0x00010001u, 22050u, 22050u, static_cast<uint32_t>(flute_bytes)};
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<uint8_t>(head[i] >> (8 * b));
    *length = static_cast<int32_t>(size);
    return out;
}

// The mask of the note panel: key k (1 to 13) covers the columns 30k to
// 30k + 29 of every row; everything else is 0.
constexpr int KEY_WIDTH = 30;
void* note_mask(void*, int32_t* length, handle_id) {
    constexpr int width = 640, height = 102;
    const int64_t size = picture_record_bytes(width, height, PIC_NOPAL8);
    auto* pic = static_cast<picture*>(game_alloc(static_cast<std::size_t>(size)));
    pic->width = width;
    pic->height = height;
    pic->type = PIC_NOPAL8;
    uint8_t* pixels = picture_pixels8(pic);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int key = x / KEY_WIDTH;
            pixels[y * width + x] = static_cast<uint8_t>(key >= 1 && key <= 13 ? key : 0);
        }
    *length = static_cast<int32_t>(size);
    return pic;
}

int key_x(int note) {
    return (note + 1) * KEY_WIDTH + 5;
}

mouse_record mouse_at(int x, int y, uint16_t events) {
    mouse_record m;
    m.x = static_cast<uint16_t>(x);
    m.y = static_cast<uint16_t>(y);
    m.events = events;
    return m;
}

constexpr int MELODY_EAST_SECTOR = 3;  // sector type 16
constexpr int PLAIN_SECTOR = 5;
constexpr int KEY_ROW = 420;

class Flute : public ::testing::Test {
  protected:
    void SetUp() override {
        restart_flute();
        notes.clear();
        ends.clear();
        answers.clear();
        hooks_run.clear();
        flute_bytes = 6000;
        define_handle(H_SOUND_FLETNA, "", flute_sample, PATH_SOUNDS);
        define_handle(H_STUPNI_M, "", note_mask, PATH_GUI);
        forget_screen_pictures();
        current_map = loaded_map{};
        current_map.sector_count = 8;
        current_map.sectors.resize(8);
        current_map.sectors[MELODY_EAST_SECTOR].sector_type = 16;
        current_map.strings.resize(10);
        clear_global_hooks();
        new_standin_party(MELODY_EAST_SECTOR, 1);
        panel_mode = PANEL_NOTES;
    }
    void TearDown() override {
        reset_flute();
        clear_timers();
        clear_event_tree();
        undefine_handle(H_SOUND_FLETNA);
        undefine_handle(H_STUPNI_M);
        forget_screen_pictures();
        current_map = loaded_map{};
        clear_global_hooks();
        panel_mode = PANEL_PARTY;
        screen_flute = game_screen_flute{};
        reset_map_services();
        game_items().set_definitions({});
    }
    // The flute from the start, its sounds and checks recorded (and its
    // sample unlocked, so that it may be replaced).
    static void restart_flute() {
        reset_flute();
        flute_out.play = record_play;
        flute_out.set_end = record_end;
        flute_out.answer = record_answer;
        flute_out.run_hook = record_hook;
    }
    static bool press(int note) {
        return flute_panel_event(mouse_at(key_x(note), KEY_ROW, MOUSE_EV_LEFT_DOWN));
    }
    static void release(int note) { flute_panel_event(mouse_at(key_x(note), KEY_ROW, MOUSE_EV_LEFT_UP)); }
    static void play(int note) {
        press(note);
        release(note);
    }
    // The melody written as letters ("A" + note).
    static void play_letters(const std::string& letters) {
        for (char c : letters) play(c - 'A');
    }
};

}  // namespace

TEST_F(Flute, NotesRiseBySemitonesOnTheChannelsInTurnOverTheSamplesOwnLength) {
    flute_note_on(12);
    flute_note_off();
    flute_note_on(0);
    flute_note_on(7);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].rate, 32000);
    EXPECT_EQ(notes[1].rate, 16000);
    EXPECT_EQ(notes[2].rate, 23973);  // 16000 x 2^(7/12) = 23972.9
    EXPECT_EQ(notes[0].channel, 30);
    EXPECT_EQ(notes[1].channel, 31);
    EXPECT_EQ(notes[0].type, 1);
    EXPECT_EQ(notes[0].size, 6000u);
    EXPECT_EQ(notes[0].loop_start, FLUTE_LOOP_START);
    // The release ends the loop at the sample's whole length.
    EXPECT_EQ(ends, (std::vector<std::pair<int, std::size_t>>{{30, 6000}}));
    for (int i = 0; i < 7; ++i) flute_note_off();
    EXPECT_EQ(flute_slot(), 0);  // eight notes on, channel 30 again
    flute_note_on(13);           // no such note
    EXPECT_EQ(notes.size(), 3u);

    // A sample shorter than the loop point plays once, through to its end;
    // without a sample nothing plays.
    flute_bytes = 1000;
    restart_flute();
    undefine_handle(H_SOUND_FLETNA);
    define_handle(H_SOUND_FLETNA, "", flute_sample, PATH_SOUNDS);
    flute_note_on(0);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[3].size, 1000u);
    EXPECT_EQ(notes[3].loop_start, 1000u);
    restart_flute();
    undefine_handle(H_SOUND_FLETNA);
    flute_note_on(0);
    EXPECT_EQ(notes.size(), 4u);
}

TEST_F(Flute, ANoteSoundsOnTheMixerWithItsSampleLocked) {
    flute_out.play = sound_play;
    flute_note_on(5);
    EXPECT_TRUE(sound_is_playing(30));
    int left = 0, right = 0;
    sound_get_volume(30, &left, &right);
    EXPECT_EQ(left, FLUTE_VOLUME);
    EXPECT_EQ(right, FLUTE_VOLUME);
    EXPECT_GT(handle_info(H_SOUND_FLETNA)->lock_count, 0);
    sound_cut(30);
    reset_flute();
    EXPECT_EQ(handle_info(H_SOUND_FLETNA)->lock_count, 0);
}

TEST_F(Flute, PanelKeysPlayWhilePressedAndEndOnLiftingOrLeavingThem) {
    EXPECT_EQ(flute_key_at(key_x(12), 479), 12);
    EXPECT_EQ(flute_key_at(5, KEY_ROW), -1);     // a pixel of no key
    EXPECT_EQ(flute_key_at(key_x(0), 377), -1);  // above the panel
    EXPECT_EQ(flute_key_at(key_x(0), 480), -1);

    EXPECT_TRUE(press(4));
    EXPECT_TRUE(flute_note_sounding());
    // Moving onto another key with the button held changes nothing.
    EXPECT_FALSE(flute_panel_event(mouse_at(key_x(6), KEY_ROW, MOUSE_EV_MOTION)));
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_TRUE(ends.empty());
    flute_panel_event(mouse_at(5, KEY_ROW, MOUSE_EV_MOTION));  // off the keys
    EXPECT_FALSE(flute_note_sounding());
    EXPECT_EQ(ends.size(), 1u);

    // Without the note panel there are no keys: a held note ends at the next
    // event and presses play nothing.
    EXPECT_TRUE(press(4));
    panel_mode = PANEL_PARTY;
    EXPECT_FALSE(press(4));
    EXPECT_FALSE(flute_note_sounding());
    EXPECT_EQ(notes.size(), 2u);
}

TEST_F(Flute, FiveNotesAndAPauseStartNoCheckAndTheSixthAnswersWithTheDirection) {
    play_letters("GBLAK");
    run_timers(2 * MELODY_CHECK_TICKS);
    EXPECT_TRUE(answers.empty());
    play_letters("D");  // the melody of the east, facing east in an east sector
    run_timers(MELODY_CHECK_TICKS - 1);
    EXPECT_TRUE(answers.empty());
    run_timers(1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].handle, H_SOUND_VYCHOD);
    EXPECT_EQ(answers[0].sound_sector, MELODY_EAST_SECTOR);
    EXPECT_EQ(answers[0].key, 0);
    EXPECT_FALSE(answers[0].loop);
    EXPECT_TRUE(place_melody().empty());
}

TEST_F(Flute, FacingAnotherWayGivesAWrongAnswerThatIsTheSameEveryTime) {
    party.direction = 0;
    play_letters("GBLAKD");
    random_seed(99);
    run_timers(MELODY_CHECK_TICKS);
    play_letters("GBLAKD");
    random_seed(4321);
    // Afterwards the generator goes on from the value it gave just before.
    const uint32_t before = random_state();
    const int next = random_next();
    random_seed(before);
    run_timers(MELODY_CHECK_TICKS);
    EXPECT_EQ(random_state(), static_cast<uint32_t>(next));
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].handle, answers[1].handle);
    EXPECT_NE(answers[0].handle, H_SOUND_SEVER);  // never the direction faced
    EXPECT_GE(answers[0].handle, H_SOUND_SEVER);
    EXPECT_LE(answers[0].handle, H_SOUND_RANDOM4);
}

TEST_F(Flute, ANewNoteCancelsThePendingCheckAndTwelveLettersAreCountedAtMost) {
    play_letters("GBLAKD");
    run_timers(MELODY_CHECK_TICKS / 2);
    press(0);  // a seventh note before the check
    run_timers(MELODY_CHECK_TICKS);
    EXPECT_TRUE(answers.empty());
    release(0);
    play_letters("AAAAAAAA");
    EXPECT_EQ(place_melody().size(), static_cast<std::size_t>(PLACE_MELODY_MAX));
    run_timers(MELODY_CHECK_TICKS);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_NE(answers[0].handle, H_SOUND_VYCHOD);
}

TEST(MelodyText, NoteNamesMatchWithSpacesAndCaseButNotWithCharactersLeftOver) {
    EXPECT_TRUE(melody_matches("c, c#, d", "CC#D"));
    EXPECT_FALSE(melody_matches("C D E.", "CDE"));
    EXPECT_FALSE(melody_matches("C D", "CDE"));
    EXPECT_FALSE(melody_matches("C C D", "CC#D"));
}

TEST_F(Flute, OutsideMelodySectorsTheHookWhoseTextSpellsTheMelodyRuns) {
    new_standin_party(PLAIN_SECTOR, 2);
    current_map.strings[4] = "C D. E";
    current_map.strings[5] = "E G C#";
    current_map.strings[6] = "E G C# ";
    global_hooks[43].time = 6;
    global_hooks[44].time = 4;
    global_hooks[45].time = 5;
    global_hooks[46].sector = 2;  // no text: the hook for any other melody
    play(4);
    play(7);
    play(1);
    EXPECT_EQ(free_melody(), "EGC#");
    run_timers(MELODY_CHECK_TICKS);
    EXPECT_EQ(hooks_run, std::vector<int>{45});
    EXPECT_TRUE(free_melody().empty());

    // With a full stop at its end the text no longer matches.
    current_map.strings[5] = "E G C#.";
    play(4);
    play(7);
    play(1);
    run_timers(MELODY_CHECK_TICKS);
    EXPECT_EQ(hooks_run, (std::vector<int>{45, 46}));

    for (int i = 0; i < 130; ++i) play(1);  // "C#" each
    EXPECT_EQ(free_melody().size(), FREE_MELODY_MAX);
}

TEST_F(Flute, FShowsTheNotePanelWhenAMemberHereCarriesTheFluteAndItsKeysPlay) {
    std::vector<item_def> items(3);
    items[1].type = IT_SPECIAL;
    items[1].value = SPECIAL_LIGHT;
    items[2].type = IT_SPECIAL;
    items[2].value = SPECIAL_FLUTE;
    game_items().set_definitions(items);
    map_services.member_carries = [](int slot, int item) { return slot == 1 && item == 3; };
    install_flute();
    add_event_handler(EV_KEY, game_screen_key);
    add_event_handler(EV_MOUSE, game_screen_mouse);
    panel_mode = PANEL_PARTY;
    dispatch_event(EV_KEY, 0x2166);  // F
    EXPECT_EQ(panel_mode, PANEL_NOTES);

    mouse_record m = mouse_at(key_x(2), KEY_ROW, MOUSE_EV_LEFT_DOWN);
    dispatch_event(EV_MOUSE, &m);
    EXPECT_TRUE(flute_note_sounding());
    m.events = MOUSE_EV_LEFT_UP;
    dispatch_event(EV_MOUSE, &m);
    EXPECT_FALSE(flute_note_sounding());

    panel_back_to_party(true);
    party.members[1].sector = PLAIN_SECTOR;  // the flute's bearer stands elsewhere
    dispatch_event(EV_KEY, 0x2166);
    EXPECT_EQ(panel_mode, PANEL_PARTY);
}
