// MGIF animations: the forge's encoder against the player's reader and
// decoders, and the reader against files that lie about their sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "forge/mgif_writer.h"
#include "gfx/mgif.h"

namespace {

using bytes = std::vector<uint8_t>;

// Codes packed the way the decoder reads them, widths growing as its table does.
class code_packer {
  public:
    void data(int code) {
        put(code);
        if (!first_ && ++next_ == (1 << width_) - 1) ++width_;
        first_ = false;
    }
    void end() { put(LZW_END_CODE); }
    bytes finish() {
        if (count_ > 0) out_.push_back(uint8_t(pending_));
        return out_;
    }

  private:
    void put(int code) {
        pending_ |= uint64_t(code) << count_;
        for (count_ += width_; count_ >= 8; count_ -= 8, pending_ >>= 8) out_.push_back(uint8_t(pending_));
    }
    bytes out_;
    uint64_t pending_ = 0;
    int count_ = 0, width_ = LZW_FIRST_WIDTH, next_ = LZW_FIRST_FREE;
    bool first_ = true;
};

bytes decoded(const bytes& packed, size_t capacity = MGIF_BUFFER_BYTES) {
    bytes out(capacity);
    const long n = lzw_decode(packed.data(), packed.size(), out.data(), out.size());
    if (n < 0) return {0xDE, 0xAD};
    out.resize(size_t(n));
    return out;
}

bytes random_bytes(size_t n, uint32_t seed) {
    std::mt19937 random(seed);
    bytes b(n);
    for (auto& v : b) v = uint8_t(random());
    return b;
}

TEST(MgifLzw, CodesAddToTheRunningByteAndTheNextCodeRepeatsItsPrefix) {
    code_packer codes;
    codes.data(65);
    codes.data(66);
    codes.data(258);
    codes.end();
    EXPECT_EQ(decoded(codes.finish()), (bytes{65, 131, 196, 6}));
}

TEST(MgifLzw, EncoderRoundTripsEdgeData) {
    bytes ramp(MGIF_BUFFER_BYTES);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i * 7 + i / 320);
    const std::vector<bytes> cases = {
        {},
        {42},
        bytes(MGIF_BUFFER_BYTES, 0x55),      // one string growing by a byte a code
        random_bytes(MGIF_BUFFER_BYTES, 1),  // fills the code table again and again
        random_bytes(MGIF_PICTURE_BYTES, 2),
        ramp,
    };
    for (const bytes& input : cases) {
        const bytes packed = forge::lzw_encode(input.data(), input.size());
        EXPECT_EQ(decoded(packed), input) << "input of " << input.size() << " bytes";
    }
    // Random data needs far more codes than the table holds: the clears are
    // what keeps it decodable, at close to a byte and a quarter per byte.
    const bytes noise = random_bytes(MGIF_BUFFER_BYTES, 1);
    EXPECT_GT(forge::lzw_encode(noise.data(), noise.size()).size(), noise.size());
    const bytes same(MGIF_BUFFER_BYTES, 0x55);
    EXPECT_LT(forge::lzw_encode(same.data(), same.size()).size(), 1000u);
}

TEST(MgifLzw, CorruptStreamsFailWithoutWritingPastTheOutput) {
    code_packer unfinished;  // no end code
    unfinished.data(1);
    unfinished.data(2);
    EXPECT_EQ(decoded(unfinished.finish()), (bytes{0xDE, 0xAD}));

    code_packer undefined;  // 300 is beyond the next free code
    undefined.data(1);
    undefined.data(300);
    undefined.end();
    EXPECT_EQ(decoded(undefined.finish()), (bytes{0xDE, 0xAD}));

    code_packer starts_with_a_string;
    starts_with_a_string.data(258);
    starts_with_a_string.end();
    EXPECT_EQ(decoded(starts_with_a_string.finish()), (bytes{0xDE, 0xAD}));

    // Every code defines a new one: without a clear the table overflows.
    code_packer no_clear;
    for (int i = 0; i < LZW_TABLE_ENTRIES; ++i) no_clear.data(7);
    no_clear.end();
    EXPECT_EQ(decoded(no_clear.finish(), 1 << 20), (bytes{0xDE, 0xAD}));

    // Output bounded: 100 bytes do not go into 99.
    const bytes hundred(100, 9);
    const bytes packed = forge::lzw_encode(hundred.data(), hundred.size());
    EXPECT_EQ(decoded(packed, 100), hundred);
    bytes guarded(100, 0xEE);
    EXPECT_EQ(lzw_decode(packed.data(), packed.size(), guarded.data(), 99), -1);
    EXPECT_EQ(guarded[99], 0xEE);
}

// What a player sees: the index picture, the palette and the sound codes.
struct seen {
    bytes picture = bytes(MGIF_PICTURE_BYTES, 0);
    uint16_t palette[256] = {};
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int> types;
    bytes sound;
    size_t largest_sound_piece = 0;
};

void watch(mgif_reader* r, int type, const uint8_t* data, size_t length) {
    auto* s = static_cast<seen*>(r->user);
    s->types.push_back(type);
    if (type == MGIF_FULL_PICTURE || type == MGIF_RAW_PICTURE)
        decode_full_indexes(s->picture.data(), data, length);
    if (type == MGIF_DELTA_PICTURE) decode_delta_indexes(s->picture.data(), data, length);
    if (type == MGIF_PALETTE) read_mgif_palette(data, length, s->palette);
    if (type == MGIF_SOUND) {
        s->sound.insert(s->sound.end(), data, data + length);
        s->largest_sound_piece = std::max(s->largest_sound_piece, length);
    }
}

// Plays a file to its end; the number of mgif_next_frame calls that returned.
int play(const bytes& file, seen& s, mgif_error* error = nullptr) {
    set_chunk_handler(watch);
    mgif_reader_ptr r(mgif_open(file.data(), file.size()));
    if (!r) return -1;
    r->user = &s;
    int calls = 0;
    bool more = r->frame_count > 0;
    while (more) {
        more = mgif_next_frame(r.get());
        ++calls;
        s.frames.push_back(s.picture);
    }
    if (error) *error = r->error;
    return calls;
}

std::vector<forge::mgif_frame> sample_video(int count) {
    std::vector<forge::mgif_frame> frames(static_cast<size_t>(count));
    std::mt19937 random(5);
    for (int f = 0; f < count; ++f) {
        auto& frame = frames[size_t(f)];
        frame.pixels.resize(MGIF_PICTURE_BYTES);
        for (int y = 0; y < MGIF_HEIGHT; ++y)
            for (int x = 0; x < MGIF_WIDTH; ++x)
                frame.pixels[size_t(y * MGIF_WIDTH + x)] = uint8_t((x / 8 + y / 8) & 15);
        // A square that moves, a few stray pixels, one odd column at the edge.
        for (int y = 40; y < 80; ++y)
            for (int x = 10 * f; x < 10 * f + 30; ++x) frame.pixels[size_t(y * MGIF_WIDTH + x)] = 200;
        for (int i = 0; i < 5 * f; ++i) frame.pixels[random() % MGIF_PICTURE_BYTES] = uint8_t(random());
        frame.pixels[size_t(f * MGIF_WIDTH + MGIF_WIDTH - 1)] = 250;
        for (int i = 0; i < 256; ++i) frame.palette[size_t(i)] = uint16_t(i * 97 + (f >= 4 ? 1 : 0));
        for (int i = 0; i < 2 * 1470; ++i)
            frame.sound.push_back(int16_t(8000 * std::sin((f * 1470 + i / 2) * 0.05) * (i % 2 ? 1 : -1)));
    }
    frames[2].pixels = frames[1].pixels;  // no picture at all
    return frames;
}

TEST(MgifVideo, EncodedFramesComeBackExactlyWithTheirPalettesAndSound) {
    const auto frames = sample_video(6);
    const bytes file = forge::encode_mgif(frames, {.fps = 15});
    seen s;
    mgif_error error;
    EXPECT_EQ(play(file, s, &error), 6);
    EXPECT_EQ(error, mgif_error::none);
    EXPECT_EQ(mgif_header_fps(file.data(), file.size()), 15);
    ASSERT_EQ(s.frames.size(), 6u);
    for (size_t f = 0; f < 6; ++f) EXPECT_TRUE(s.frames[f] == frames[f].pixels) << "frame " << f;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(s.palette[i], frames[5].palette[size_t(i)]);
    // Palettes in frames 0 and 4 only; full pictures there, changes in 1, 3
    // and 5, nothing in 2; palette and sound before the picture.
    const std::vector<int> expected = {3, 4, 1, 4, 2, 4, 4, 2, 3, 4, 1, 4, 2};
    EXPECT_EQ(s.types, expected);

    // The codes, run through the header's table with running values that
    // carry over between frames, give the samples back within a small step.
    const auto table = forge::mgif_sound_table();
    std::vector<int16_t> input;
    for (const auto& frame : frames) input.insert(input.end(), frame.sound.begin(), frame.sound.end());
    ASSERT_EQ(s.sound.size(), input.size());
    int16_t acc[2] = {0, 0};
    int worst = 0;
    for (size_t i = 0; i < input.size(); ++i) {
        acc[i & 1] = int16_t(acc[i & 1] + table[s.sound[i]]);
        worst = std::max(worst, std::abs(acc[i & 1] - input[i]));
    }
    EXPECT_LT(worst, 600);
}

TEST(MgifVideo, HeaderFrameCountEndsTheVideoAndZeroFramesShowNothing) {
    bytes file = forge::encode_mgif(sample_video(3));
    file[MGIF_FRAME_COUNT_OFFSET] = 1;  // the frames after it are never read
    seen one;
    EXPECT_EQ(play(file, one), 1);
    EXPECT_EQ(one.types.front(), MGIF_PALETTE);

    file[MGIF_FRAME_COUNT_OFFSET] = 0;
    mgif_reader_ptr r(mgif_open(file.data(), file.size()));
    ASSERT_TRUE(r);
    EXPECT_FALSE(mgif_next_frame(r.get()));
    EXPECT_EQ(r->frames_read, 0u);

    EXPECT_EQ(mgif_open("MGIX", 4), nullptr);
    file[3] = 'X';
    EXPECT_EQ(mgif_open(file.data(), file.size()), nullptr);
}

bytes one_frame_file(const std::vector<std::pair<int, bytes>>& chunks) {
    bytes file(MGIF_HEADER_BYTES, 0);
    std::memcpy(file.data(), "MGIF", 4);
    file[MGIF_FRAME_COUNT_OFFSET] = 1;
    bytes body;
    for (const auto& [type, data] : chunks) {
        body.insert(body.end(), {uint8_t(type), uint8_t(data.size()), uint8_t(data.size() >> 8),
                                 uint8_t(data.size() >> 16)});
        body.insert(body.end(), data.begin(), data.end());
    }
    file.insert(file.end(), {uint8_t(chunks.size()), uint8_t(body.size()), uint8_t(body.size() >> 8),
                             uint8_t(body.size() >> 16)});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

TEST(MgifVideo, PictureIsHandledLastAndLongSoundComesInPiecesTheRingCanTake) {
    const bytes raw(MGIF_PICTURE_BYTES, 3);
    const bytes palette(512, 1);
    const bytes sound(MGIF_SOUND_PIECE_CODES * 2 + 5, 128);
    seen s;
    EXPECT_EQ(play(one_frame_file(
                       {{MGIF_RAW_PICTURE, raw}, {MGIF_PALETTE, palette}, {9, {1, 2}}, {MGIF_SOUND, sound}}),
                   s),
              1);
    EXPECT_EQ(s.types,
              (std::vector<int>{MGIF_PALETTE, 9, MGIF_SOUND, MGIF_SOUND, MGIF_SOUND, MGIF_RAW_PICTURE}));
    EXPECT_EQ(s.sound, sound);
    EXPECT_EQ(s.largest_sound_piece, MGIF_SOUND_PIECE_CODES);
    EXPECT_EQ(s.picture, raw);

    // Hi-colour through the palette with the caller's pitch.
    std::vector<uint16_t> screen(640 * MGIF_HEIGHT, 0x7FFF);
    uint16_t colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = uint16_t(i * 3);
    decode_full_frame(screen.data(), 640, raw.data(), raw.size(), colours);
    EXPECT_EQ(screen[0], 9);
    EXPECT_EQ(screen[319 + 640 * 179], 9);
    EXPECT_EQ(screen[320], 0x7FFF);
}

TEST(MgifVideo, LyingOrTruncatedFilesEndWithAnError) {
    const bytes good = forge::encode_mgif(sample_video(4));
    // Cut anywhere: the frames before the cut play, then the video ends.
    for (size_t cut = MGIF_HEADER_BYTES; cut < good.size(); cut += 97) {
        const bytes file(good.begin(), good.begin() + ptrdiff_t(cut));
        seen s;
        mgif_error error;
        const int calls = play(file, s, &error);
        EXPECT_LT(calls, 5);
        EXPECT_EQ(error, mgif_error::truncated_frame) << "cut at " << cut;
    }
    // More frames promised than the file holds.
    bytes more = good;
    more[MGIF_FRAME_COUNT_OFFSET] = 9;
    seen s;
    mgif_error error;
    EXPECT_EQ(play(more, s, &error), 5);
    EXPECT_EQ(error, mgif_error::truncated_frame);
    EXPECT_EQ(s.frames[3], s.frames[4]);

    // A chunk longer than its frame, and chunks that leave frame bytes over.
    bytes chunk_too_long = one_frame_file({{MGIF_PALETTE, bytes(512)}, {MGIF_SOUND, bytes(10)}});
    chunk_too_long[MGIF_HEADER_BYTES + 4 + 4 + 512 + 1] = 11;
    play(chunk_too_long, s, &error);
    EXPECT_EQ(error, mgif_error::bad_chunk_list);
    bytes chunk_missing = one_frame_file({{MGIF_PALETTE, bytes(512)}, {MGIF_SOUND, bytes(10)}});
    chunk_missing[MGIF_HEADER_BYTES] = 1;
    seen nothing;
    play(chunk_missing, nothing, &error);
    EXPECT_EQ(error, mgif_error::bad_chunk_list);
    EXPECT_TRUE(nothing.types.empty());

    // Compressed data that is not a code stream, or unpacks past the buffer.
    play(one_frame_file({{MGIF_FULL_PICTURE, {0xFF, 0xFF, 0xFF}}}), s, &error);
    EXPECT_EQ(error, mgif_error::bad_compression);
    const bytes big(MGIF_BUFFER_BYTES + 1, 0);
    play(one_frame_file({{MGIF_DELTA_PICTURE, forge::lzw_encode(big.data(), big.size())}}), s, &error);
    EXPECT_EQ(error, mgif_error::bad_compression);
}

bytes delta(const bytes& control, const bytes& pixels) {
    bytes out = {uint8_t(control.size()), uint8_t(control.size() >> 8), 0, 0};
    out.insert(out.end(), control.begin(), control.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

TEST(MgifDelta, StepsPastTheRowThePictureOrTheDataStopThePicture) {
    auto apply = [](const bytes& d) {
        bytes picture(MGIF_PICTURE_BYTES, 0);
        decode_delta_indexes(picture.data(), d.data(), d.size());
        return picture;
    };
    // Two rows down, skip 3 pairs, write 1 pair; next row writes at the start.
    bytes p = apply(delta({193, 3, 1, 192, 0, 1, 192 + 63}, {7, 8, 9, 10}));
    EXPECT_EQ(p[2 * 320 + 6], 7);
    EXPECT_EQ(p[2 * 320 + 7], 8);
    EXPECT_EQ(p[3 * 320 + 0], 9);
    EXPECT_EQ(p[3 * 320 + 1], 10);

    // A run past the row's end is not written, nor anything after it.
    p = apply(delta({150, 11, 192, 0, 1}, bytes(24, 5)));
    EXPECT_EQ(p, bytes(MGIF_PICTURE_BYTES, 0));
    // Moves past the last row end the picture before the write below them.
    p = apply(delta({192 + 63, 192 + 63, 192 + 51, 0, 1}, {4, 4}));
    EXPECT_EQ(p, bytes(MGIF_PICTURE_BYTES, 0));
    p = apply(delta({192 + 63, 192 + 63, 192 + 50, 0, 1}, {4, 4}));  // row 179 exists
    EXPECT_EQ(p[179 * 320], 4);
    // A pixel stream too short for its run, a count byte missing, a control
    // length past the data.
    p = apply(delta({0, 2}, {1, 2, 3}));
    EXPECT_EQ(p, bytes(MGIF_PICTURE_BYTES, 0));
    p = apply(delta({0}, {}));
    EXPECT_EQ(p, bytes(MGIF_PICTURE_BYTES, 0));
    bytes lying = delta({0, 1}, {6, 6});
    lying[1] = 1;  // 257 control bytes
    EXPECT_EQ(apply(lying), bytes(MGIF_PICTURE_BYTES, 0));
}

}  // namespace

namespace {

// The full-screen player's pacing, with the ring's play position moving on
// at the sound rate: a sound piece goes in once the ring has room for it, and
// a frame is shown when its last piece has gone in.
struct paced_player {
    double now = 0;  // seconds
    uint64_t written = MGIF_RING_START_CURSOR;
    std::vector<double> shown;
};

void pace(mgif_reader* r, int type, const uint8_t*, size_t length) {
    auto* p = static_cast<paced_player*>(r->user);
    constexpr double BYTES_A_SECOND = MGIF_SOUND_RATE * 4.0;
    if (type == MGIF_SOUND) {
        const uint64_t after = p->written + 2 * length;
        if (after > p->written + MGIF_RING_BYTES) std::abort();  // never fits: the player would hang
        p->now = std::max(p->now, (double(after) - double(MGIF_RING_BYTES)) / BYTES_A_SECOND);
        p->written = after;
    }
    if (type == MGIF_FULL_PICTURE || type == MGIF_DELTA_PICTURE) p->shown.push_back(p->now);
}

}  // namespace

TEST(MgifVideo, SpreadSoundShowsEachPictureAsItsSoundIsHeard) {
    for (unsigned fps : {1u, 12u, 25u}) {
        auto frames = sample_video(8);
        for (size_t f = 0; f < frames.size(); ++f) frames[f].pixels[f] ^= 1;  // a picture every frame
        forge::spread_sound(frames, std::vector<int16_t>(2 * 3000, 100), fps);
        const bytes file = forge::encode_mgif(frames);
        set_chunk_handler(pace);
        mgif_reader_ptr r(mgif_open(file.data(), file.size()));
        paced_player player;
        r->user = &player;
        while (mgif_next_frame(r.get())) {
        }
        ASSERT_EQ(player.shown.size(), 8u);
        EXPECT_EQ(player.shown[0], 0.0);
        // Sound written at ring byte x is heard at x / rate; a sample from t
        // seconds into the sound is written at the start cursor + 4 t rate.
        const double silence = MGIF_RING_START_CURSOR / (MGIF_SOUND_RATE * 4.0);
        for (size_t k = 1; k < 8; ++k) EXPECT_NEAR(player.shown[k], silence + double(k) / fps, 0.002) << fps;
        // The sound given comes first, then silence.
        EXPECT_EQ(frames[0].sound[5999], 100);
        EXPECT_EQ(frames[0].sound[6000], 0);
    }
}
