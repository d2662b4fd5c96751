// WAV files walked chunk by chunk into the loader's wave data, and the
// sample converter plugged into the handle table.
#include "sound/wave_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/paths.h"
#include "core/decoders.h"
#include "support/temp_folder.h"

namespace {

using bytes = std::vector<uint8_t>;

void put32(bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

bytes chunk(const char* id, const bytes& body, uint32_t declared) {
    bytes out(id, id + 4);
    put32(out, declared);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}
bytes chunk(const char* id, const bytes& body) { return chunk(id, body, uint32_t(body.size())); }

// A "fmt " body: tag 1, channels, rate, bytes per second, then `extra`
// bytes (block align, bits and so on) to reach the wanted length.
bytes fmt_body(uint16_t channels, uint32_t rate, uint32_t per_second, size_t extra = 4) {
    bytes out = {1, 0, uint8_t(channels), uint8_t(channels >> 8)};
    put32(out, rate);
    put32(out, per_second);
    out.resize(out.size() + extra, 0xEE);
    return out;
}

bytes riff(const std::vector<bytes>& chunks) {
    bytes body = {'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    bytes out = {'R', 'I', 'F', 'F'};
    put32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

const bytes samples = {0x80, 0x90, 0xA0, 0x70, 0x60};

bytes plain_8bit() { return riff({chunk("fmt ", fmt_body(1, 11025, 11025)), chunk("data", samples)}); }

std::optional<wave_view> decoded_view(const bytes& file, bytes& store) {
    auto decoded = decode_wav(file.data(), file.size());
    if (!decoded) return std::nullopt;
    store = std::move(*decoded);
    return read_wave_data(store.data(), store.size());
}

bytes data_of(const wave_view& v) { return bytes(v.data, v.data + v.length); }

bool decodes(const bytes& file) { return decode_wav(file.data(), file.size()).has_value(); }

}  // namespace

TEST(WaveData, DecodedSoundKeepsTheFmtFieldsAndTheSamples) {
    bytes store;
    auto v = decoded_view(plain_8bit(), store);
    ASSERT_TRUE(v);
    EXPECT_EQ(store.size(), WAVE_DATA_HEAD + samples.size());
    EXPECT_EQ(v->format_tag, 1);
    EXPECT_EQ(v->channels, 1);
    EXPECT_EQ(v->rate, 11025u);
    EXPECT_EQ(v->bytes_per_second, 11025u);
    EXPECT_EQ(data_of(*v), samples);
}

TEST(WaveData, SampleTypeIsEightBitOnlyWhenBytesPerSecondEqualTheRate) {
    struct row {
        uint16_t channels;
        uint32_t rate, per_second;
        int type;
    };
    // A stereo 8-bit file has twice the rate in bytes: it counts as 16-bit.
    for (const row r : {row{1, 22050, 22050, 1}, row{1, 22050, 44100, 2}, row{2, 22050, 44100, 2},
                        row{1, 8000, 7999, 2}}) {
        SCOPED_TRACE(r.per_second);
        bytes store;
        auto v = decoded_view(riff({chunk("fmt ", fmt_body(r.channels, r.rate, r.per_second)),
                                    chunk("data", samples)}),
                              store);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->sample_type(), r.type);
    }
}

TEST(WaveData, UnknownChunksAreSkippedByTheirLengthWithoutPadByte) {
    // Odd lengths: a reader that added a pad byte would land one byte off.
    bytes store;
    auto v = decoded_view(riff({chunk("LIST", {1, 2, 3}), chunk("fmt ", fmt_body(1, 8000, 16000)),
                                chunk("fact", {9}), chunk("data", samples)}),
                          store);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->rate, 8000u);
    EXPECT_EQ(data_of(*v), samples);
}

TEST(WaveData, ChunksMayComeInAnyOrderAndTheFirstOfEachCounts) {
    bytes store;
    auto v = decoded_view(riff({chunk("data", samples), chunk("fmt ", fmt_body(1, 8000, 8000)),
                                chunk("fmt ", fmt_body(1, 44100, 44100)), chunk("data", {1})}),
                          store);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->rate, 8000u);
    EXPECT_EQ(data_of(*v), samples);
}

TEST(WaveData, FilesWithoutFmtOrDataOrRiffHeadAreRejected) {
    const bytes fmt = chunk("fmt ", fmt_body(1, 8000, 8000));
    const bytes data = chunk("data", samples);
    EXPECT_FALSE(decodes(riff({data})));
    EXPECT_FALSE(decodes(riff({fmt})));
    EXPECT_FALSE(decodes(riff({chunk("fmt ", {}), data})));
    EXPECT_FALSE(decodes(riff({})));
    for (size_t at : {0, 1, 8, 11}) {
        bytes bad = plain_8bit();
        bad[at] ^= 0x20;
        EXPECT_FALSE(decodes(bad)) << at;
    }
    EXPECT_FALSE(decode_wav(nullptr, 0));
}

TEST(WaveData, FmtChunkMustHoldTwelveToFortyBytes) {
    for (size_t length : {0, 8, 11, 12, 16, 18, 40, 41, 64}) {
        SCOPED_TRACE(length);
        bytes body = fmt_body(1, 8000, 8000, 0);
        body.resize(length, 0);
        EXPECT_EQ(decodes(riff({chunk("fmt ", body), chunk("data", samples)})), length >= 12 && length <= 40);
    }
}

TEST(WaveData, ChunksReachingPastTheEndAreRejectedButDataIsCut) {
    const bytes fmt = chunk("fmt ", fmt_body(1, 8000, 8000));
    // fmt claiming more than the file holds.
    EXPECT_FALSE(decodes(riff({chunk("fmt ", fmt_body(1, 8000, 8000), 20)})));
    // A skipped chunk whose length would run past the end (and past 4 GB
    // when added carelessly) hides the data behind it.
    for (uint32_t declared : {100u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(decodes(riff({fmt, chunk("junk", {1, 2}, declared), chunk("data", samples)}))) << declared;
    }
    // A data chunk longer than the file keeps what is there.
    bytes store;
    auto v = decoded_view(riff({fmt, chunk("data", samples, 1000)}), store);
    ASSERT_TRUE(v);
    EXPECT_EQ(data_of(*v), samples);
    v = decoded_view(riff({fmt, chunk("data", {}, 0xFFFFFFFFu)}), store);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->length, 0u);
}

TEST(WaveData, EveryCutOfAFileDecodesOnlyWhatIsPresent) {
    const bytes whole = riff({chunk("LIST", {1, 2, 3}), chunk("fmt ", fmt_body(1, 8000, 8000)),
                              chunk("data", samples)});
    const size_t data_at = whole.size() - samples.size();
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE(n);
        // An exact-size copy, so a read past it is caught by the sanitizer.
        const bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        auto decoded = decode_wav(cut.data(), cut.size());
        ASSERT_EQ(decoded.has_value(), n >= data_at);
        if (decoded) {
            EXPECT_EQ(decoded->size(), WAVE_DATA_HEAD + (n - data_at));
        }
    }
}

TEST(WaveData, ReadingDecodedDataChecksTheClaimedLength) {
    const bytes file = plain_8bit();
    bytes store = *decode_wav(file.data(), file.size());
    EXPECT_FALSE(read_wave_data(store.data(), WAVE_DATA_HEAD - 1));
    EXPECT_FALSE(read_wave_data(store.data(), store.size() - 1));
    EXPECT_FALSE(read_wave_data(nullptr, 100));
    ASSERT_TRUE(read_wave_data(store.data(), store.size() + 3));
    const bytes silent(WAVE_DATA_HEAD, 0);
    auto v = read_wave_data(silent.data(), silent.size());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->length, 0u);
}

TEST(WavDecoder, BadFileBecomesSixteenBytesOfSilence) {
    for (bytes file : {bytes{'R', 'I', 'F', 'F'}, riff({chunk("data", samples)}), bytes{}}) {
        int32_t length = static_cast<int32_t>(file.size());
        void* out = wav_decoder(file.empty() ? nullptr : file.data(), &length, 0);
        ASSERT_EQ(length, 16);
        ASSERT_NE(out, nullptr);
        EXPECT_NE(out, file.data());
        EXPECT_EQ(bytes(static_cast<uint8_t*>(out), static_cast<uint8_t*>(out) + 16), bytes(16, 0));
        game_free(out);
    }
}

TEST(WavDecoder, SoundHandlesLoadThroughTheRegisteredDecoder) {
    temp_folder folder;
    const std::string saved = path_table[PATH_SOUNDS];
    path_table[PATH_SOUNDS] = folder.path();
    const bytes file = plain_8bit();
    folder.write("BEEP.WAV", std::string(file.begin(), file.end()));
    register_wav_decoder();
    const handle_id beep = 0x1E0, missing = 0x1E1, never = 0x1E2;
    define_handle(beep, "BEEP.WAV", decoder_for(decoder_id::sample_converter), PATH_SOUNDS);
    define_handle(missing, "GONE.WAV", decoder_for(decoder_id::sample_converter), PATH_SOUNDS);

    auto v = wave_of_handle(beep);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->rate, 11025u);
    EXPECT_EQ(data_of(*v), samples);
    // A missing file or an undefined handle gives nothing instead of a
    // fatal load error.
    EXPECT_FALSE(wave_of_handle(missing));
    EXPECT_FALSE(wave_of_handle(never));

    undefine_handle(beep);
    undefine_handle(missing);
    register_decoder(decoder_id::sample_converter, nullptr);
    path_table[PATH_SOUNDS] = saved;
}
