// The MUS decoder on files built by hand: the code 0 rule, blocks, channels,
// and files cut short or damaged.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "sound/mus_format.h"
#include "sound/mus_parser.h"

namespace {

struct mus_file {
    std::vector<uint8_t> bytes;

    void u16(uint16_t v) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
    mus_file(int16_t channels, uint32_t blocks, const std::array<int16_t, 256>& table,
             uint32_t rate = 22050) {
        u16(uint16_t(channels));
        u32(rate);
        u32(0xDEADBEEF);  // not read
        u32(blocks);
        u32(0xFFFFFFFF);  // not read
        u32(0xFFFFFFFF);
        for (int16_t v : table) u16(uint16_t(v));
    }
    mus_file& block(const std::vector<uint8_t>& codes) { return block(uint32_t(codes.size()), codes); }
    mus_file& block(uint32_t claimed, const std::vector<uint8_t>& codes) {
        u32(claimed);
        u32(0x12345678);  // not read
        bytes.insert(bytes.end(), codes.begin(), codes.end());
        return *this;
    }
};

std::array<int16_t, 256> small_table() {
    std::array<int16_t, 256> table{};
    table[1] = 5;
    table[2] = -3;
    table[3] = 30000;
    return table;
}

std::vector<int16_t> block_samples(mus_decoder& decoder) {
    const auto block = decoder.next_block();
    return {block.begin(), block.end()};
}

using samples = std::vector<int16_t>;

TEST(MusDecoder, CodeZeroYieldsItsSumLessTheReductionButKeepsThePlainSum) {
    mus_file file(2, 1, small_table());
    file.block({0, 0, 1, 2});
    mus_decoder decoder(file.bytes.data(), file.bytes.size());
    ASSERT_TRUE(decoder.valid());
    EXPECT_EQ(block_samples(decoder), (samples{-31767, -31767, 5, -3}));
    EXPECT_TRUE(decoder.next_block().empty());
}

TEST(MusDecoder, ChannelsKeepTheirOwnSumsWhichWrapAndRestartInEveryBlock) {
    mus_file file(2, 2, small_table());
    file.block({3, 1, 3, 1, 3, 2}).block({1, 3});
    mus_decoder decoder(file.bytes.data(), file.bytes.size());
    EXPECT_EQ(decoder.channels(), 2);
    EXPECT_EQ(decoder.rate(), 22050u);
    // 30000 + 30000 wraps to -5536, and again to 24464.
    EXPECT_EQ(block_samples(decoder), (samples{30000, 5, -5536, 10, 24464, 7}));
    EXPECT_EQ(block_samples(decoder), (samples{5, 30000}));
    EXPECT_TRUE(decoder.next_block().empty());

    mus_file three(3, 1, small_table());
    three.block({1, 2, 3, 1, 2, 3});
    mus_decoder any(three.bytes.data(), three.bytes.size());
    EXPECT_EQ(block_samples(any), (samples{5, -3, 30000, 10, -6, -5536}));
}

TEST(MusDecoder, DamagedFilesEndTheMusicWithoutReadingPastTheirBytes) {
    // A block claiming more than is left plays what is there, then ends,
    // whatever the block count says.
    mus_file cut(2, 5, small_table());
    cut.block(1000, {1, 1, 1, 1});
    mus_decoder cut_decoder(cut.bytes.data(), cut.bytes.size());
    EXPECT_EQ(block_samples(cut_decoder), (samples{5, 5, 10, 10}));
    EXPECT_TRUE(cut_decoder.next_block().empty());

    // The count claims blocks the file does not hold; a cut block header.
    mus_file short_header(2, 3, small_table());
    short_header.block({1, 1});
    short_header.bytes.insert(short_header.bytes.end(), {4, 0, 0});
    mus_decoder short_decoder(short_header.bytes.data(), short_header.bytes.size());
    EXPECT_EQ(block_samples(short_decoder), (samples{5, 5}));
    EXPECT_TRUE(short_decoder.next_block().empty());

    // Shorter than the header: nothing to read.
    mus_file tiny(2, 1, small_table());
    mus_decoder tiny_decoder(tiny.bytes.data(), mus::HEADER_BYTES - 1);
    EXPECT_FALSE(tiny_decoder.valid());
    EXPECT_TRUE(tiny_decoder.next_block().empty());

    // No channels, or a negative count: no samples and no division by zero.
    for (int16_t channels : {0, -2}) {
        mus_file none(channels, 1, small_table());
        none.block({1, 1});
        mus_decoder decoder(none.bytes.data(), none.bytes.size());
        EXPECT_TRUE(decoder.next_block().empty());
    }
}

TEST(MusDecoder, BlocksHandOutWholeFramesAndEmptyBlocksDoNotEndThePiece) {
    mus_file file(2, 3, small_table());
    file.block({1, 1, 1}).block({}).block({2, 2});
    mus_decoder decoder(file.bytes.data(), file.bytes.size());
    // The lone left sample would swap the channels of all that follows.
    EXPECT_EQ(block_samples(decoder), (samples{5, 5}));
    EXPECT_EQ(block_samples(decoder), (samples{-3, -3}));
    EXPECT_TRUE(decoder.next_block().empty());
}

TEST(MUSStreamParser, ReadHandsOutBlocksAndPutBackGivesTheTailAgain) {
    mus_file file(2, 2, small_table(), 44100);
    file.block({1, 1, 1, 1}).block({2, 2});
    MUSStreamParser parser(file.bytes.data(), file.bytes.size());
    ASSERT_TRUE(parser.opened());
    const music_format format = parser.get_format();
    EXPECT_EQ(format.rate, 44100u);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.bytes_per_sample, 2);

    auto chunk = parser.read();
    ASSERT_EQ(chunk.size(), 8u);
    parser.put_back(chunk.subspan(4));
    auto again = parser.read();
    ASSERT_EQ(again.size(), 4u);
    int16_t tail[2];
    std::memcpy(tail, again.data(), 4);
    EXPECT_EQ(tail[0], 10);
    EXPECT_EQ(tail[1], 10);
    EXPECT_EQ(parser.read().size(), 4u);
    EXPECT_TRUE(parser.read().empty());
    EXPECT_TRUE(parser.read().empty());
}

TEST(MUSStreamParser, OpensMappedFilesAndRefusesMissingOrShortOnes) {
    const auto folder = std::filesystem::path(VORTHAN_BINARY_DIR) / "test-home" / "mus_decoder_test";
    std::filesystem::create_directories(folder);
    mus_file file(2, 1, small_table());
    file.block({1, 2});
    const auto write = [&](const char* name, size_t size) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.bytes.data()), std::streamsize(size));
        return (folder / name).string();
    };
    auto stream = music_open(write("piece.mus", file.bytes.size()));
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->read().size(), 4u);
    EXPECT_TRUE(stream->read().empty());

    EXPECT_FALSE(music_open(write("short.mus", 100)));
    EXPECT_FALSE(music_open((folder / "missing.mus").string()));
    EXPECT_FALSE(music_open(folder.string()));
}

}  // namespace
