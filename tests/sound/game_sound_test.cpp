// The game's positional sound over small maps built in place: the spread of
// sound through open sides, the levels it gives, channel choice, keyed
// effects, tracks that fall silent and start again, and action records.
#include <gtest/gtest.h>

#include <cstring>
#include <queue>
#include <string>
#include <vector>

#include "core/decoders.h"
#include "sound/game_sound.h"
#include "sound/sound_propagation.h"
#include "sound/sound_system.h"
#include "sound/wave_data.h"
#include "support/temp_folder.h"
#include "world/map.h"
#include "world/map_scripts.h"

namespace {

using bytes = std::vector<uint8_t>;

sound_party_place place;
int grid_width = 0;

int at(int x, int y) {
    return 1 + y * grid_width + x;
}

// A w x h grid of sectors, every side between neighbours open to sound.
void build_grid(int w, int h) {
    grid_width = w;
    current_map = loaded_map{};
    const int count = 1 + w * h;
    current_map.sector_count = count;
    current_map.sectors.assign(count, {});
    current_map.sides.assign(4 * count, {});
    current_map.coords.assign(count, {});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int s = at(x, y);
            current_map.coords[s] = {int16_t(x), int16_t(y), 0, 0};
            const int exits[4] = {y > 0 ? s - w : 0, x < w - 1 ? s + 1 : 0, y < h - 1 ? s + w : 0,
                                  x > 0 ? s - 1 : 0};
            for (int d = 0; d < 4; ++d) {
                current_map.sectors[s].exits[d] = uint16_t(exits[d]);
                if (exits[d]) current_map.sides[4 * s + d].flags = SIDE_TRANSPARENT;
            }
        }
}

void set_door(int s, int d, bool open) {
    const int other = current_map.sectors[s].exits[d];
    for (auto [sector, dir] : {std::pair{s, d}, std::pair{other, (d + 2) & 3}}) {
        uint32_t& flags = current_map.sides[4 * sector + dir].flags;
        flags = open ? flags | SIDE_TRANSPARENT : flags & ~uint32_t(SIDE_TRANSPARENT);
    }
}

bytes riff_8bit(uint32_t n) {
    bytes out;
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    text("RIFF"), u32(36 + n), text("WAVE"), text("fmt "), u32(16);
    u32(0x00010001), u32(11025), u32(11025), u32(0x00080001);
    text("data"), u32(n);
    out.resize(out.size() + n, 0xC0);
    return out;
}

// A sound action record: flags, volume, track, rate, loop start, end, start, name.
bytes action_record(int flags, int volume, int track, int32_t loop, int32_t end, int32_t start,
                    const char* name) {
    bytes r(20, 0);
    r[3] = uint8_t(flags), r[4] = uint8_t(volume), r[5] = uint8_t(track), r[6] = 0x11,
    r[7] = 0x2B;  // 11025 Hz
    const int32_t fields[3] = {loop, end, start};
    std::memcpy(r.data() + 8, fields, sizeof fields);
    r.insert(r.end(), name, name + std::strlen(name) + 1);
    return r;
}

// A track of 11025 Hz 8-bit samples.
sound_action track(int flags, int volume, int number, int32_t loop, int32_t end, int32_t start,
                   const char* name) {
    return {uint8_t(flags), uint8_t(volume), uint8_t(number), 11025, loop, end, start, name};
}

std::pair<int, int> volume_of(int channel) {
    int l = 0, r = 0;
    sound_get_volume(channel, &l, &r);
    return {l, r};
}

// Renders the frames and one more pass, in which what ended is let go.
void render(std::size_t frames) {
    std::vector<float> out(frames * 2);
    sound_system().render(out.data(), frames);
    sound_system().render(out.data(), 1);
}

class GameSound : public ::testing::Test {
  protected:
    void SetUp() override {
        sound_stop_all();
        for (int ch = 0; ch < 40; ++ch) sound_cut(ch);
        render(1);
        sound_reset();
        sound_enable(true);
        sound_party = [] { return place; };
        saved_sounds_ = path_table[PATH_SOUNDS];
        path_table[PATH_SOUNDS] = folder_.path();
        const bytes drip = riff_8bit(40000), tick = riff_8bit(100);
        folder_.write("DRIP.WAV", std::string(drip.begin(), drip.end()));
        folder_.write("TICK.WAV", std::string(tick.begin(), tick.end()));
        register_wav_decoder();
        drip_ = sound_handle("drip.wav");
        tick_ = sound_handle("tick.wav");
    }
    void TearDown() override {
        sound_stop_all();
        for (int ch = 0; ch < 40; ++ch) sound_cut(ch);
        render(1);
        undefine_handle(drip_);
        undefine_handle(tick_);
        register_decoder(decoder_id::sample_converter, nullptr);
        path_table[PATH_SOUNDS] = saved_sounds_;
    }
    temp_folder folder_;
    std::string saved_sounds_;
    handle_id drip_ = 0, tick_ = 0;  // 40000 and 100 samples at 11025 Hz
};

TEST_F(GameSound, EffectInThePartysSectorIsFullBothSidesAndMovesLeftAfterARightTurn) {
    build_grid(3, 1);
    place = {at(1, 0), 0};
    sound_update(place.sector, 0);
    sound_at_sector(drip_, place.sector, place.sector, 5, false);
    const int ch = sound_track_channel(5);
    ASSERT_GE(ch, 0);
    EXPECT_EQ(volume_of(ch), std::pair(0x7F80, 0x7F80));
    place.direction = 1;
    sound_update(place.sector, 1);
    EXPECT_EQ(volume_of(ch), std::pair(0x7F80, 0x1FE0));
}

TEST_F(GameSound, DistanceAheadAndSideDecideTheLevels) {
    build_grid(3, 5);
    propagate_sound(at(1, 4), 0);  // facing north up the middle column
    EXPECT_EQ(sound_distance(at(1, 2), 0), 2);
    build_grid(1, 5);  // a corridor: only the way ahead reaches it
    propagate_sound(at(0, 4), 0);
    int left = 0, right = 0;
    EXPECT_TRUE(positional_levels(at(0, 2), -1, at(0, 4), 0, 100, left, right));
    EXPECT_EQ(std::pair(left, right), std::pair(0x1FE0, 0x1FE0));  // 0x2000 scaled by 255 / 256
    build_grid(5, 1);  // east-west: a sound one to the east of a party facing north is on its right
    propagate_sound(at(2, 0), 0);
    EXPECT_TRUE(positional_levels(at(3, 0), -1, at(2, 0), 0, 100, left, right));
    EXPECT_EQ(std::pair(left, right), std::pair(0, 0x7F80));
}

TEST_F(GameSound, ClosedDoorSilencesUnlessAnotherWayRoundIsOpen) {
    build_grid(2, 2);
    place = {at(0, 0), 1};  // facing east at the sound's neighbour
    sound_update(place.sector, 1);
    sound_at_sector(drip_, place.sector, at(1, 0), 9, true);
    const int ch = sound_track_channel(9);
    ASSERT_GE(ch, 0);
    set_door(at(0, 0), 1, false);
    sound_update(place.sector, 1);
    // Round by the south (the party's right): three steps, right side only.
    EXPECT_EQ(sound_distance(at(1, 0), 1), 3);
    EXPECT_EQ(volume_of(ch), std::pair(0, (0x8000 / 9) * 255 >> 8));
    set_door(at(0, 1), 1, false);
    sound_update(place.sector, 1);
    EXPECT_FALSE(sound_track_playing(9));
    render(1);
    EXPECT_FALSE(sound_is_playing(ch));
}

TEST_F(GameSound, SoundGoesThirtyTwoStepsAndNoFurther) {
    build_grid(1, 40);
    propagate_sound(at(0, 39), 0);
    EXPECT_EQ(sound_distance(at(0, 7), 0), 32);
    EXPECT_EQ(sound_distance(at(0, 6), 0), -1);
    int left = 0, right = 0;
    EXPECT_FALSE(positional_levels(at(0, 6), -1, at(0, 39), 0, 100, left, right));
}

TEST_F(GameSound, WideOpenMapGivesShortestDistancesWhateverTheQueueHolds) {
    build_grid(64, 64);
    const int party = at(30, 33), facing = 1;
    propagate_sound(party, facing);
    EXPECT_GT(sound_propagation_queue_peak(), 128u);
    for (int k = 0; k < 4; ++k) {
        // A plain breadth-first search from the neighbour through the slot's side.
        std::vector<int> dist(current_map.sector_count, -1);
        dist[party] = 0;
        std::queue<int> q;
        const int first = current_map.sectors[party].exits[(facing + k) & 3];
        dist[first] = 1;
        q.push(first);
        while (!q.empty()) {
            const int s = q.front();
            q.pop();
            for (int n : current_map.sectors[s].exits)
                if (n && dist[n] < 0 && dist[s] < 32) dist[n] = dist[s] + 1, q.push(n);
        }
        dist[party] = 0;
        for (int s = 1; s < current_map.sector_count; ++s)
            ASSERT_EQ(sound_distance(s, k), dist[s]) << k << " " << s;
    }
}

TEST_F(GameSound, AllChannelsBusyReplacesTheQuietestCountingNonPositionalTwice) {
    build_grid(1, 16);
    place = {at(0, 15), 0};
    sound_update(place.sector, 0);
    for (int key = 1; key <= 18; ++key)
        sound_at_sector(drip_, place.sector, at(0, 15 - (key % 3 + 1)), key, true);
    sound_at_sector(drip_, place.sector, at(0, 4), 19, true);             // 11 ahead: 268 a side
    sound_start_track(track(0, 1, 30, 0, 40000, 0, "drip.wav"), -1, -1);  // 256 a side, counted 512
    ASSERT_TRUE(sound_track_playing(30));
    const int quietest = sound_track_channel(19);
    for (int ch = 0; ch < EFFECT_CHANNELS; ++ch) ASSERT_TRUE(sound_is_playing(ch)) << ch;
    sound_at_sector(drip_, place.sector, at(0, 14), 40, false);
    EXPECT_EQ(sound_track_channel(40), quietest);
    EXPECT_FALSE(sound_track_playing(19));
    EXPECT_TRUE(sound_track_playing(30));
}

TEST_F(GameSound, LoopingTrackLeftBehindStartsAgainOnlyWithinSevenSteps) {
    build_grid(12, 1);
    place = {at(2, 0), 0};
    sound_update(place.sector, 0);
    sound_start_track(track(0, 100, 7, 0, 40000, 0, "drip.wav"), at(0, 0), 3);  // on the west wall
    ASSERT_TRUE(sound_track_playing(7));
    set_door(at(0, 0), 1, false);
    sound_update(place.sector, 0);
    EXPECT_FALSE(sound_track_playing(7));
    sound_update(place.sector, 0);  // close enough but not heard: still nothing
    EXPECT_FALSE(sound_track_playing(7));
    set_door(at(0, 0), 1, true);
    place.sector = at(7, 0);  // 7 east and one more for the west wall: 8
    sound_update(place.sector, 0);
    EXPECT_FALSE(sound_track_playing(7));
    place.sector = at(6, 0);
    sound_update(place.sector, 0);
    EXPECT_TRUE(sound_track_playing(7));
}

TEST_F(GameSound, SameKeyTwiceMovesTheSoundWithoutRestartingIt) {
    build_grid(1, 4);
    place = {at(0, 3), 0};
    sound_update(place.sector, 0);
    sound_at_sector(tick_, place.sector, place.sector, 300, false);  // 100 samples: 400 frames
    const int ch = sound_track_channel(300);
    render(299);
    sound_at_sector(tick_, place.sector, at(0, 1), 300, false);
    EXPECT_EQ(sound_track_channel(300), ch);
    EXPECT_EQ(volume_of(ch), std::pair(0x1FE0, 0x1FE0));
    render(200);
    EXPECT_FALSE(sound_is_playing(ch));
    sound_update(place.sector, 0);  // played out: the channel is freed
    EXPECT_FALSE(sound_track_playing(300));
}

TEST_F(GameSound, ActionRecordsAreCheckedAndTheirOffsetsKeptInsideTheSample) {
    sound_action a;
    bytes r = action_record(1, 80, 12, -4, 1 << 30, -9, "tick.wav");
    ASSERT_TRUE(read_sound_action(r.data(), r.size(), a));
    EXPECT_EQ(a.flags, 1);
    EXPECT_EQ(a.rate, 11025);
    EXPECT_EQ(a.loop_start, -4);
    EXPECT_EQ(a.end, 1 << 30);
    EXPECT_EQ(a.start, -9);
    EXPECT_EQ(a.wave, "tick.wav");
    EXPECT_FALSE(read_sound_action(r.data(), r.size() - 1, a));  // no NUL in the name
    EXPECT_FALSE(read_sound_action(r.data(), 19, a));

    build_grid(3, 1);
    place = {at(1, 0), 0};
    sound_update(place.sector, 0);
    // 8-bit, loop start and end beyond the 100 bytes: plays the 100 bytes once.
    r = action_record(0, 100, 12, 5000, 1 << 30, -9, "tick.wav");
    note_side_touched(-1);
    sound_run_action(r.data(), r.size(), at(1, 0), 0);
    const int ch = sound_track_channel(12);
    ASSERT_GE(ch, 0);
    render(500);
    EXPECT_FALSE(sound_is_playing(ch));
    // Flag 4 silences the action while the side last touched is not P_FORW.
    sound_stop_all();
    r[3] = 4;
    sound_run_action(r.data(), r.size(), at(1, 0), 0);
    EXPECT_FALSE(sound_track_playing(12));
    // A start past the data leaves nothing to play.
    sound_start_track(track(0, 100, 13, 0, 200, 150, "tick.wav"), at(1, 0), 0);
    EXPECT_FALSE(sound_track_playing(13));
}

TEST_F(GameSound, HandlesStayLockedWhileTheirSoundsPlayAndDynamicHandlesAreReused) {
    build_grid(2, 1);
    place = {at(0, 0), 0};
    sound_update(place.sector, 0);
    sound_at_sector(drip_, place.sector, at(1, 0), 0, false);
    sound_fixed(tick_, FIXED_BOOK, 50);
    EXPECT_EQ(handle_info(drip_)->lock_count, 1);
    EXPECT_EQ(handle_info(tick_)->lock_count, 1);
    EXPECT_EQ(volume_of(FIXED_CHANNEL_FIRST + FIXED_BOOK), std::pair(16000, 16000));
    sound_fixed(tick_, FIXED_BOOK, 50);
    EXPECT_EQ(handle_info(tick_)->lock_count, 1);
    sound_stop_all();
    EXPECT_EQ(handle_info(drip_)->lock_count, 0);
    EXPECT_EQ(handle_info(tick_)->lock_count, 0);
    EXPECT_TRUE(sound_is_playing(FIXED_CHANNEL_FIRST + FIXED_BOOK));

    EXPECT_GE(drip_, SOUND_DYNAMIC_HANDLES);
    EXPECT_EQ(sound_handle("DRIP.WAV"), drip_);
    EXPECT_EQ(handle_info(drip_)->folder, PATH_SOUNDS);
    EXPECT_EQ(sound_handle(""), 0);
}

}  // namespace
