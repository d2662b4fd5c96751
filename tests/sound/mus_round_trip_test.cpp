// The forge's MUS encoder against the player's decoder: music of our own
// making comes back within the format's rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "forge/mus_writer.h"
#include "sound/mus_format.h"
#include "sound/mus_parser.h"

namespace {

std::vector<int16_t> decode_all(const std::vector<uint8_t>& file) {
    MUSStreamParser parser(file.data(), file.size());
    EXPECT_TRUE(parser.opened());
    std::vector<int16_t> out;
    for (auto chunk = parser.read(); !chunk.empty(); chunk = parser.read()) {
        const size_t at = out.size();
        out.resize(at + chunk.size() / 2);
        std::memcpy(out.data() + at, chunk.data(), chunk.size());
    }
    return out;
}

// Two tones, a different one on each side, with a slow swell.
std::vector<int16_t> two_tones(size_t frames, double rate) {
    std::vector<int16_t> out;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate, swell = 0.5 + 0.5 * std::sin(t * 3.0);
        out.push_back(int16_t(std::lround(12000 * swell * std::sin(2 * M_PI * 440 * t))));
        out.push_back(int16_t(std::lround(9000 * swell * std::sin(2 * M_PI * 660 * t + 1))));
    }
    return out;
}

int widest_step_gap() {
    auto table = forge::mus_delta_table();
    std::vector<int> steps(table.begin() + 1, table.end());
    std::sort(steps.begin(), steps.end());
    int gap = 0;
    for (size_t i = 1; i < steps.size(); ++i) gap = std::max(gap, steps[i] - steps[i - 1]);
    return gap;
}

TEST(MusRoundTrip, TonesComeBackCloseAcrossBlocks) {
    const uint32_t rate = 22050;
    // Not a whole number of blocks, so the last one is short.
    const std::vector<int16_t> tones = two_tones(3 * forge::MUS_BLOCK_FRAMES + 777, rate);
    const std::vector<uint8_t> file = forge::encode_mus(tones, rate);
    EXPECT_EQ(file.size(), mus::HEADER_BYTES + 4 * mus::BLOCK_HEADER_BYTES + tones.size());

    MUSStreamParser parser(file.data(), file.size());
    EXPECT_EQ(parser.get_format().rate, rate);
    EXPECT_EQ(parser.get_format().channels, 2);
    const std::vector<int16_t> decoded = decode_all(file);
    ASSERT_EQ(decoded.size(), tones.size());
    double signal = 0, noise = 0;
    for (size_t i = 0; i < tones.size(); ++i) {
        signal += double(tones[i]) * tones[i];
        noise += double(decoded[i] - tones[i]) * (decoded[i] - tones[i]);
    }
    // Smooth music takes small steps, where the table is fine.
    EXPECT_GT(10 * std::log10(signal / noise), 40.0);
}

TEST(MusRoundTrip, EverySampleOfNoiseAndLeapsIsWithinOneStepOfTheTable) {
    // Full-scale noise, leaps from one end of the range to the other (where
    // a careless step would wrap round), and silence.
    std::vector<int16_t> harsh;
    uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245 + 12345;
        harsh.push_back(int16_t(seed >> 16));
    }
    for (int i = 0; i < 200; ++i) harsh.push_back(i % 4 < 2 ? 32767 : -32768);
    harsh.insert(harsh.end(), 100, 0);
    const std::vector<int16_t> decoded = decode_all(forge::encode_mus(harsh, 11025, 1000));
    ASSERT_EQ(decoded.size(), harsh.size());
    const int bound = widest_step_gap();
    int worst = 0;
    for (size_t i = 0; i < harsh.size(); ++i) worst = std::max(worst, std::abs(decoded[i] - harsh[i]));
    EXPECT_LE(worst, bound);
    // Silence after a leap is exact once the leap is made (the widest step is
    // one short of the full half range).
    for (size_t i = harsh.size() - 98; i < harsh.size(); ++i) EXPECT_EQ(decoded[i], 0);
}

TEST(MusRoundTrip, EncoderRefusesWhatTheFormatCannotHold) {
    EXPECT_THROW(forge::encode_mus({1, 2, 3}, 22050), std::invalid_argument);
    EXPECT_THROW(forge::encode_mus({1, 2}, 0), std::invalid_argument);
    // No music at all is a file without blocks: the piece ends at once.
    const auto empty = forge::encode_mus({}, 22050);
    EXPECT_EQ(empty.size(), mus::HEADER_BYTES);
    EXPECT_TRUE(decode_all(empty).empty());
}

}  // namespace
