// The demo's monster animation sets as the game finds them in its monster
// pictures' folder: every frame the frame lists name decodes as a monster
// picture of its set's width, keeps to the colours the view draws opaque,
// has its shadow only under the feet and stands on its bottom row; the
// frame lists and colour files have their sizes and the colour files the
// frames' own palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/handles.h"
#include "gfx/picture.h"

namespace {

const std::string enemies_dir = VORTHAN_DEMO_DIR "/graphics/enemies/";
const std::map<std::string, int> colour_variants = {
    {"ARCHER", 1}, {"GOBLIN", 3}, {"SHAMAN", 1}, {"RATLIN", 1}, {"OGRBIG", 1}};
constexpr size_t COL_RECORD = 776;
constexpr int SHADOW_ROWS = 24;  // the floor shadow lies this close to the bottom row
// A foot stepping towards the viewer, seen a little from above, reaches lower
// than the standing foot: the feet of every frame lie this close to it.
constexpr int FEET_ROWS = 14;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::map<std::string, int> committed_widths() {
    std::map<std::string, int> out;
    std::ifstream f(MONSTER_ART_WIDTHS);
    std::string name;
    int width;
    while (f >> name >> width) out[name] = width;
    return out;
}

// Frame names of the six kinds (F, L, B, the unused L, C, H) as the lists give them.
std::vector<std::string> frame_names(const std::string& set) {
    const std::string text = [&] {
        const std::vector<uint8_t> b = read_file(enemies_dir + set + ".SEQ");
        return std::string(b.begin(), b.end());
    }();
    std::vector<std::string> out;
    std::istringstream lines(text);
    std::string line;
    for (int kind = 0; kind < 6 && std::getline(lines, line); ++kind) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (char c : line) out.push_back(set + "FLBLCH"[kind] + c + ".PCX");
    }
    return out;
}

struct decoded {
    picture* pic = nullptr;
    explicit decoded(const std::vector<uint8_t>& file) {
        if (!file.empty()) decode_pcx(file.data(), static_cast<int32_t>(file.size()), PIC_NOPAL8, &pic);
    }
    ~decoded() { game_free(pic); }
    decoded(const decoded&) = delete;
    decoded& operator=(const decoded&) = delete;
    uint8_t at(int x, int y) const { return picture_pixels8(pic)[y * pic->width + x]; }
};

TEST(DemoMonsterArt, FrameListsAndColourFilesHaveTheirSizesAndCarryTheFramesPalette) {
    for (const auto& [set, variants] : colour_variants) {
        const std::vector<uint8_t> seq = read_file(enemies_dir + set + ".SEQ");
        EXPECT_EQ(std::string(seq.begin(), seq.end()), "0123\r\n0123\r\n0123\r\n0123\r\n012\r\n01\r\n")
            << set;
        const std::vector<uint8_t> col = read_file(enemies_dir + set + ".COL");
        ASSERT_EQ(col.size(), variants * COL_RECORD) << set;
        const std::vector<uint8_t> frame = read_file(enemies_dir + set + "F0.PCX");
        ASSERT_GT(frame.size(), 768u) << set;
        for (size_t v = 0; v < static_cast<size_t>(variants); ++v) {
            const uint8_t* rec = col.data() + v * COL_RECORD;
            EXPECT_TRUE(std::all_of(rec + 768, rec + COL_RECORD, [](uint8_t b) { return b == 0; })) << set;
            const bool same = std::equal(rec, rec + 768, frame.end() - 768);
            // Variant 0 is the frames' own palette; the others recolour it.
            EXPECT_EQ(same, v == 0) << set << " variant " << v;
        }
    }
}

TEST(DemoMonsterArt, EveryFrameDecodesWithItsSetsWidthOpaqueColoursAndTheShadowUnderTheFeet) {
    const std::map<std::string, int> widths = committed_widths();
    ASSERT_EQ(widths.size(), colour_variants.size()) << "monsters/art_widths.txt lists every set";
    for (const auto& [set, variants] : colour_variants) {
        const std::vector<std::string> names = frame_names(set);
        ASSERT_EQ(names.size(), 4u * 4 + 3 + 2) << set;
        const int width = widths.at(set);
        EXPECT_EQ(width % 2, 0) << set;
        for (const std::string& name : names) {
            const decoded frame(read_file(enemies_dir + name));
            ASSERT_NE(frame.pic, nullptr) << name;
            EXPECT_EQ(frame.pic->width, width) << name;
            const int h = frame.pic->height;
            int opaque = 0, low_opaque = 0, shadow_above = 0, beyond_opaque = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < frame.pic->width; ++x) {
                    const uint8_t c = frame.at(x, y);
                    opaque += c > 1;
                    beyond_opaque += c >= 128;  // the view blends these half-transparent
                    if (c > 1 && y >= h - FEET_ROWS) ++low_opaque;
                    if (c == 1 && y < h - SHADOW_ROWS) ++shadow_above;
                }
            EXPECT_GT(opaque, 500) << name;
            EXPECT_EQ(beyond_opaque, 0) << name;
            EXPECT_EQ(shadow_above, 0) << name;
            EXPECT_GT(low_opaque, 0) << name << " stands on its bottom rows";
            int under_point = 0;  // feet or shadow around the standing point
            for (int y = h - FEET_ROWS; y < h; ++y)
                for (int x = width / 2 - width / 8; x <= width / 2 + width / 8; ++x)
                    under_point += frame.at(x, y) != 0;
            EXPECT_GT(under_point, 0) << name << ": the standing point is on the bottom rows";
        }
    }
}

}  // namespace
