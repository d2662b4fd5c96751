// The `sound` command of map scripts: its named fields land at the offsets
// the game reads a sound action from.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "forge/map_source_scripts.h"

namespace {

struct compiled {
    std::vector<std::vector<uint8_t>> records;
    std::vector<std::string> errors;
};

compiled compile(const std::string& line) {
    compiled out;
    forge::script_context context;
    context.has_text = [](int) { return true; };
    context.error = [&out](int line_number, const std::string& message) {
        out.errors.push_back(std::to_string(line_number) + ": " + message);
    };
    out.records = forge::compile_side_script({{7, line}}, context);
    return out;
}

uint32_t u32_at(const std::vector<uint8_t>& r, size_t at) {
    return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
}

TEST(MapSoundScript, NamedFieldsFillTheSoundRecord) {
    const compiled c = compile(
        "map_start: sound wave=drip.wav volume=60 track=3 rate=22050 start=4 end=141120 loop=4 "
        "bits=16 stereo=random when=open");
    ASSERT_TRUE(c.errors.empty()) << c.errors[0];
    ASSERT_EQ(c.records.size(), 1u);
    const std::vector<uint8_t>& r = c.records[0];
    ASSERT_EQ(r.size(), 20u + 9);  // the name and its NUL
    EXPECT_EQ(r[0], 1);            // the sound command
    EXPECT_EQ(r[1] | r[2] << 8, 1 << 7);
    EXPECT_EQ(r[3], 1 | 4 | 8);  // 16-bit, quiet without P_FORW, random stereo
    EXPECT_EQ(r[4], 60);
    EXPECT_EQ(r[5], 3);
    EXPECT_EQ(r[6] | r[7] << 8, 22050);
    EXPECT_EQ(u32_at(r, 8), 4u);        // loop start
    EXPECT_EQ(u32_at(r, 12), 141120u);  // end
    EXPECT_EQ(u32_at(r, 16), 4u);       // start
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[20])), "drip.wav");
    EXPECT_EQ(r.back(), 0);
}

TEST(MapSoundScript, DefaultsPlayTheWholeSixteenBitSampleOnceAtFullVolume) {
    const compiled c = compile("used: sound wave=door_op.wav end=57330 when=closed");
    ASSERT_TRUE(c.errors.empty()) << c.errors[0];
    const std::vector<uint8_t>& r = c.records[0];
    EXPECT_EQ(r[3], 1 | 2);  // 16-bit, quiet while P_FORW
    EXPECT_EQ(r[4], 100);
    EXPECT_EQ(r[5], 0);
    EXPECT_EQ(r[6] | r[7] << 8, 22050);
    // The loop start equals the end: the record does not loop.
    EXPECT_EQ(u32_at(r, 8), 57330u);
    EXPECT_EQ(u32_at(r, 12), 57330u);
    EXPECT_EQ(u32_at(r, 16), 0u);

    const compiled eight = compile("used: sound wave=fletna.wav bits=8 rate=16000 end=5733 loop=2782");
    ASSERT_TRUE(eight.errors.empty()) << eight.errors[0];
    EXPECT_EQ(eight.records[0][3], 0);
    EXPECT_EQ(u32_at(eight.records[0], 8), 2782u);
}

TEST(MapSoundScript, RawDataStaysAndMixingItWithFieldsIsRefused) {
    const compiled raw = compile("used: sound data=3204 when=open");
    ASSERT_TRUE(raw.errors.empty()) << raw.errors[0];
    EXPECT_EQ(raw.records[0], (std::vector<uint8_t>{1, 4, 0, 4, 0x32, 0x04}));  // "used" is event bit 2
    EXPECT_EQ(compile("used: sound data=3204 wave=a.wav end=2").errors,
              std::vector<std::string>{"7: sound takes data= or the named fields (wave= ...), not both"});
}

TEST(MapSoundScript, OffsetsTheGameCouldNotPlayAreRefused) {
    const auto error = [](const std::string& params) {
        const compiled c = compile("used: sound " + params);
        return c.errors.empty() ? std::string("no error") : c.errors[0];
    };
    EXPECT_EQ(error("wave=a.wav"), "7: sound needs end=");
    EXPECT_EQ(error("wave=a.wav end=100 start=100"), "7: start of sound is before its end");
    EXPECT_EQ(error("wave=a.wav end=100 start=10 loop=4"), "7: loop of sound lies from its start to its end");
    EXPECT_EQ(error("wave=a.wav end=100 loop=102"), "7: loop of sound lies from its start to its end");
    EXPECT_EQ(error("wave=a.wav end=101"),
              "7: start, end and loop of a 16-bit sound are even (two bytes a sample)");
    EXPECT_EQ(error("wave=a.wav end=100 volume=101"), "7: volume of sound is a number 0..100");
    EXPECT_EQ(error("wave=a.wav end=100 track=256"), "7: track of sound is a number 0..255");
    EXPECT_EQ(error("wave=a.wav end=100 bits=12"), "7: bits of sound is 8 or 16");
    EXPECT_EQ(error("wave=a.wav end=100 stereo=left"), "7: stereo of sound is random");
    EXPECT_EQ(error("end=100"), "7: sound needs wave=");
    EXPECT_EQ(error("wave=" + std::string(208, 'a') + " end=100"),
              "7: wave of sound is a file name of 1 to 207 characters");
}

}  // namespace
