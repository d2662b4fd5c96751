// The music controller against the mixer, rendered on demand: the ring kept
// filled without a gap, pieces following each other, fades on a change, and
// sources of music that give nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/paths.h"
#include "forge/mus_writer.h"
#include "sound/mus_parser.h"
#include "sound/music_controller.h"
#include "sound/playlist_rules.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t RATE = 22050;
constexpr size_t RING_FRAMES = MUSIC_RING_BYTES / 4;

// A piece of two slow tones, quiet enough that two rings together stay far
// from the limiter.
std::vector<int16_t> tones(size_t frames, double left_hz, double right_hz) {
    std::vector<int16_t> out;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / RATE;
        out.push_back(int16_t(std::lround(6000 * std::sin(2 * M_PI * left_hz * t))));
        out.push_back(int16_t(std::lround(5000 * std::sin(2 * M_PI * right_hz * t))));
    }
    return out;
}

// What the player decodes from the file: the samples to expect out of the ring.
std::vector<int16_t> decoded(const std::string& path) {
    MUSStreamParser parser(path);
    std::vector<int16_t> out;
    for (auto chunk = parser.read(); !chunk.empty(); chunk = parser.read()) {
        const size_t at = out.size();
        out.resize(at + chunk.size() / 2);
        std::memcpy(out.data() + at, chunk.data(), chunk.size());
    }
    return out;
}

class MusicControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vorthan-music-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        sound_.set_mix_rate(RATE);  // one ring frame per output frame
        sound_.set_setting(1, 256);
        sound_.set_setting(9, 128);  // the ring at half scale: music 1, master 0.5
    }
    void TearDown() override {
        playlist_clear();
        fs::remove_all(dir_);
    }

    std::string piece(const std::string& name, const std::vector<int16_t>& samples) {
        const std::string path = (dir_ / name).string();
        forge::write_mus(path, samples, RATE);
        return path;
    }

    // Renders `frames` frames in steps of `step`, pumping after each, and
    // appends the output as 16-bit samples.
    void play(MusicController& music, size_t frames, size_t step = 1000) {
        std::vector<float> out;
        for (size_t done = 0; done < frames; done += step) {
            const size_t n = std::min(step, frames - done);
            out.assign(n * 2, 0.0f);
            sound_.render(out.data(), n);
            for (float s : out) heard_.push_back(int(std::lround(s * 65536.0f)));
            music.pump();
        }
    }

    fs::path dir_;
    SoundSystem sound_;
    std::vector<int> heard_;
};

TEST_F(MusicControllerTest, PumpingAFullRingContinuesExactlyWhereItStopped) {
    const std::string path = piece("long.mus", tones(3 * RING_FRAMES + 1234, 220, 330));
    const std::vector<int16_t> expected = decoded(path);
    MusicController music(sound_, music_open);
    ASSERT_TRUE(music.change(path));
    // The first pump filled the ring: nothing more goes in until it plays.
    const size_t written = sound_.stream_write("\0\0\0\0", 4);
    EXPECT_EQ(written, 0u);
    // Uneven steps, so the ring fills up mid-chunk again and again.
    play(music, RING_FRAMES / 2 + expected.size() / 2, 777);
    ASSERT_GE(heard_.size(), RING_FRAMES + expected.size());
    for (size_t i = 0; i < RING_FRAMES; ++i)
        ASSERT_EQ(heard_[i], 0) << "the ring's silent half, sample " << i;
    for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(heard_[RING_FRAMES + i], expected[i]) << i;
}

TEST_F(MusicControllerTest, TheEndOfAPieceStartsTheNextUnfadedOnTheOtherRing) {
    const std::string first = piece("first.mus", tones(RING_FRAMES + 5000, 200, 300));
    const std::string second = piece("second.mus", tones(RING_FRAMES, 410, 520));
    const std::vector<int16_t> a = decoded(first), b = decoded(second);
    path_table[PATH_MUSIC] = dir_.string();
    playlist_set("FORWARD second.mus");
    MusicController music(sound_, music_open);
    music.set_next_callback(music_next_from_playlist, nullptr);
    ASSERT_TRUE(music.change(first));

    // Played in small steps until the second ring starts; where its silent
    // half began is where the second piece is heard from.
    size_t second_ring_at = 0;
    while (!sound_.is_playing(STREAM_CHANNEL_FIRST + 1)) {
        ASSERT_LT(heard_.size() / 2, 4 * RING_FRAMES) << "the second piece never started";
        play(music, 100, 100);
        second_ring_at = heard_.size() / 2;
    }
    play(music, 3 * RING_FRAMES);
    const size_t b_from = second_ring_at + RING_FRAMES / 2;
    // The first piece is heard whole and at full level, the second added from
    // the end of its ring's silent half; then nothing.
    const size_t a_end = RING_FRAMES / 2 + a.size() / 2;
    for (size_t f = 0; f < heard_.size() / 2; ++f) {
        // Left out as in the fade test: the ring's last frame is one too many.
        if (f == a_end) continue;
        for (size_t side = 0; side < 2; ++side) {
            int want = 0;
            if (f >= RING_FRAMES / 2 && f - RING_FRAMES / 2 < a.size() / 2)
                want += a[(f - RING_FRAMES / 2) * 2 + side];
            if (f >= b_from && f - b_from < b.size() / 2) want += b[(f - b_from) * 2 + side];
            ASSERT_EQ(heard_[f * 2 + side], want) << "frame " << f << " side " << side;
        }
    }
    EXPECT_FALSE(music.has_stream());
    EXPECT_FALSE(sound_.stream_active());
}

TEST_F(MusicControllerTest, ChangingTheMusicFadesTheUnheardRestOfTheOldPiece) {
    const std::string path = piece("old.mus", tones(4 * RING_FRAMES, 150, 150));
    const std::vector<int16_t> a = decoded(path);
    MusicController music(sound_, music_open);
    ASSERT_TRUE(music.change(path));
    play(music, RING_FRAMES);  // the silent half and as much of the piece
    const size_t changed_at = heard_.size() / 2;
    // A file that is not there: the old piece fades, and nothing follows.
    EXPECT_FALSE(music.change((dir_ / "missing.mus").string()));
    EXPECT_FALSE(music.has_stream());
    play(music, RING_FRAMES + 1000);
    // The ring held the piece from where it was heard up to the write cursor.
    const size_t pending = RING_FRAMES - 1;
    for (size_t k = 0; k < pending; k += 97) {
        const size_t f = changed_at + k;
        const double level = double(pending - k) / pending;
        const double want = a[(f - RING_FRAMES / 2) * 2] * level;
        ASSERT_NEAR(heard_[f * 2], want, 2.0) << "frame " << k << " after the change";
    }
    // The frame just past the old ring's data is left out: the mixer ends
    // and fades a ring from the frame it reports heard, one short of the next.
    for (size_t f = changed_at + pending + 1; f < heard_.size() / 2; ++f) ASSERT_EQ(heard_[f * 2], 0) << f;

    // A change to music that is there starts it on the other ring.
    ASSERT_TRUE(music.change(path));
    EXPECT_TRUE(music.has_stream());
    EXPECT_TRUE(sound_.stream_active());
}

// A stream of 8-bit samples, as another format could give.
class eight_bit_stream : public IMusicStream {
  public:
    music_format get_format() const override { return {RATE, 2, 1}; }
    std::span<const uint8_t> read() override { return bytes_; }
    void put_back(std::span<const uint8_t>) override {}

  private:
    uint8_t bytes_[64] = {};
};

TEST_F(MusicControllerTest, MusicThatIsNotSixteenBitStereoIsRefused) {
    std::vector<uint8_t> mono = forge::encode_mus(tones(1000, 300, 300), RATE);
    mono[0] = 1;  // the channel count
    const std::string path = (dir_ / "mono.mus").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(mono.data()), mono.size());
    MusicController music(sound_, music_open);
    EXPECT_FALSE(music.change(path));
    EXPECT_FALSE(music.has_stream());
    EXPECT_FALSE(sound_.stream_active());

    MusicController other(sound_, [](const std::string&) -> std::unique_ptr<IMusicStream> {
        return std::make_unique<eight_bit_stream>();
    });
    EXPECT_FALSE(other.change("anything"));
    EXPECT_FALSE(sound_.stream_active());
}

TEST_F(MusicControllerTest, SourcesOfNoSoundEndTheMusicInsteadOfLooping) {
    path_table[PATH_MUSIC] = dir_.string();
    const std::string empty = piece("empty.mus", {});
    piece("empty2.mus", {});
    int heard = 0;
    MusicController music(sound_, music_open);
    music.set_heard_callback([](void* count) { ++*static_cast<int*>(count); }, &heard);
    music.set_next_callback(music_next_from_playlist, nullptr);

    // Missing files only: the playlist has no next piece.
    playlist_set("FORWARD gone.mus lost.mus");
    EXPECT_FALSE(music.change(playlist_next()));
    EXPECT_FALSE(music.has_stream());

    // Pieces that are there but empty: each round of the list came to nothing.
    playlist_set("FORWARD empty.mus empty2.mus");
    EXPECT_TRUE(music.change(playlist_next()));
    EXPECT_FALSE(music.has_stream());
    EXPECT_FALSE(sound_.stream_active());

    // A source of the same empty piece for ever.
    static std::string endless;
    endless = empty;
    music.set_next_callback([](void*) { return std::optional<std::string>(endless); }, nullptr);
    EXPECT_TRUE(music.change(empty));
    EXPECT_FALSE(music.has_stream());
    EXPECT_EQ(heard, 0);
}

}  // namespace
