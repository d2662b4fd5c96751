#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "forge/wav_writer.h"

namespace {

using bytes = std::vector<uint8_t>;

bytes header_bytes(uint32_t riff_length, uint16_t channels, uint32_t rate, uint32_t byte_rate, uint16_t align,
                   uint16_t bits, uint32_t data_length) {
    auto le16 = [](bytes& b, uint32_t v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); };
    auto le32 = [&](bytes& b, uint32_t v) { le16(b, v & 0xFFFF), le16(b, v >> 16); };
    bytes b = {'R', 'I', 'F', 'F'};
    le32(b, riff_length);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le32(b, 16);
    le16(b, 1);
    le16(b, channels);
    le32(b, rate);
    le32(b, byte_rate);
    le16(b, align);
    le16(b, bits);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    le32(b, data_length);
    return b;
}

TEST(WavWriter, SixteenBitMonoHeaderAndSamplesAreLittleEndian) {
    const bytes file = forge::wav_from_s16({0x1234, -2}, 22050, 1);
    bytes expected = header_bytes(40, 1, 22050, 44100, 2, 16, 4);
    expected.insert(expected.end(), {0x34, 0x12, 0xFE, 0xFF});
    EXPECT_EQ(file, expected);
}

TEST(WavWriter, EightBitMonoHasByteRateEqualToRateAndPadsOddData) {
    // A reader tells 8-bit sounds by their byte rate equalling their rate.
    const bytes file = forge::wav_from_u8({0, 128, 255}, 11025);
    bytes expected = header_bytes(40, 1, 11025, 11025, 1, 8, 3);
    expected.insert(expected.end(), {0, 128, 255, 0});
    EXPECT_EQ(file, expected);
}

TEST(WavWriter, StereoFramesInterleaveAndPartialFramesAreRefused) {
    const bytes file = forge::wav_from_s16({1, -1}, 44100, 2);
    bytes expected = header_bytes(40, 2, 44100, 176400, 4, 16, 4);
    expected.insert(expected.end(), {0x01, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(file, expected);
    EXPECT_THROW(forge::wav_from_s16({1, 2, 3}, 44100, 2), std::invalid_argument);
    EXPECT_THROW(forge::wav_from_s16({1}, 44100, 3), std::invalid_argument);
    EXPECT_THROW(forge::wav_from_s16({1}, 0, 1), std::invalid_argument);
}

TEST(WavWriter, FloatsClipAtFullScaleAndSilenceIsTheMidpoint) {
    EXPECT_EQ(forge::float_to_s16(0.0f), 0);
    EXPECT_EQ(forge::float_to_s16(1.5f), 32767);
    EXPECT_EQ(forge::float_to_s16(-3.0f), -32767);
    EXPECT_EQ(forge::float_to_s16(0.5f), 16384);
    EXPECT_EQ(forge::float_to_u8(0.0f), 128);
    EXPECT_EQ(forge::float_to_u8(2.0f), 255);
    EXPECT_EQ(forge::float_to_u8(-2.0f), 1);
}

}  // namespace
