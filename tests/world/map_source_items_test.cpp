// Items named in map sources: [items] and the scripts' item= take the names
// of the item source as well as numbers, and an unknown name is an error at
// its line. The demo's cellar key fits the lock of the cellars' treasury.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "forge/item_source.h"
#include "forge/map_source.h"
#include "world/map_scripts.h"

namespace {

const char* const ROOM = R"([map]
start = 1 1 north
[textures]
wall stone = A.PCX AL.PCX AR.PCX
floor flags = F.PCX
ceiling vault = V.PCX
[legend]
# = wall=stone
. = floor=flags ceiling=vault
[grid]
####
#..#
####
[items]
1 1 0: bread -bread 7
2 1 3: 4 -4
[script 1 1 east]
used: if_carries item=key not jump=@end
used: drop_item item=bread
@end
)";

forge::map_item_resolver resolver(std::map<std::string, int> names) {
    return [names](const std::string& name) -> std::optional<int> {
        auto found = names.find(name);
        if (found == names.end()) return std::nullopt;
        return found->second;
    };
}

const std::vector<int16_t>* items_at(const forge::map_source_result& r, uint32_t place) {
    for (const auto& p : r.map.items)
        if (p.place == place) return &p.items;
    return nullptr;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(MapSourceItems, NamesAndNumbersMakeTheSameListsAndScripts) {
    auto r = forge::compile_map_source(ROOM, "room.mapsrc", {}, resolver({{"bread", 2}, {"key", 5}}));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const int west = r.sector_at.at({1, 1, 0}), east = r.sector_at.at({2, 1, 0});
    const auto* named = items_at(r, static_cast<uint32_t>(4 * west));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(*named, (std::vector<int16_t>{2, -2, 7, 0}));  // "-bread" continues bread's stack
    const auto* numbered = items_at(r, static_cast<uint32_t>(4 * east + 3));
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(*numbered, (std::vector<int16_t>{4, -4, 0}));

    ASSERT_EQ(r.map.multiactions.size(), 1u);
    const auto& records = r.map.multiactions[0].records;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][0] & 0x3F, MA_IF_CARRIES);
    EXPECT_EQ(static_cast<int16_t>(records[0][4] | records[0][5] << 8), -5);  // "not" negates the item
    EXPECT_EQ(records[1][0] & 0x3F, MA_DROP_ITEM);
    EXPECT_EQ(records[1][4] | records[1][5] << 8, 2);
}

TEST(MapSourceItems, UnknownNamesAndNamesWithoutAnItemSourceAreErrorsAtTheirLine) {
    std::string text = ROOM;
    text.replace(text.find("2 1 3: 4 -4"), 11, "2 1 3: 4 -loaf");
    auto r = forge::compile_map_source(text, "room.mapsrc", {}, resolver({{"bread", 2}, {"key", 5}}));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], "room.mapsrc:16: unknown item loaf");

    auto script =
        forge::compile_map_source(std::string(ROOM) + "[script 2 1 west]\nused: give_held item=sword\n",
                                  "room.mapsrc", {}, resolver({{"bread", 2}, {"key", 5}}));
    ASSERT_EQ(script.errors.size(), 1u);
    EXPECT_EQ(script.errors[0], "room.mapsrc:22: unknown item sword");

    // Numbers need no item source; names do, and say how to give one.
    auto bare = forge::compile_map_source(ROOM, "room.mapsrc");
    ASSERT_GE(bare.errors.size(), 2u);
    EXPECT_EQ(bare.errors[0].rfind("room.mapsrc:15: item bread is named", 0), 0u) << bare.errors[0];
    EXPECT_NE(bare.errors[0].find("--items"), std::string::npos);
    EXPECT_TRUE(std::none_of(bare.errors.begin(), bare.errors.end(),
                             [](const std::string& e) { return e.find(":16:") != std::string::npos; }));
}

// The key lies in the keep, and the cellars' treasury door opens only with it.
TEST(DemoMapItems, CellarKeyWaitsInTheKeepAndFitsTheTreasuryLock) {
    const std::string folder = VORTHAN_SOURCE_DIR "/content/demo/";
    auto items = forge::compile_item_source(read_file(folder + "items/items.src"), "items.src");
    std::map<std::string, int> names(items.numbers.begin(), items.numbers.end());
    auto keep = forge::compile_map_source(
        read_file(folder + "maps/keep.mapsrc"), "keep.mapsrc",
        [](const std::string&, const std::string&, std::string&) {
            return std::optional<std::pair<int, int>>(std::pair{1, 0});
        },
        resolver(names));
    ASSERT_TRUE(keep.ok()) << keep.errors[0];
    auto cellars = forge::compile_map_source(
        read_file(folder + "maps/cellars.mapsrc"), "cellars.mapsrc",
        [](const std::string&, const std::string&, std::string&) {
            return std::optional<std::pair<int, int>>(std::pair{1, 0});
        },
        resolver(names));
    ASSERT_TRUE(cellars.ok()) << cellars.errors[0];

    const int key = names.at("cellar_key");
    // On a floor, or among the items of an alcove (from byte 12 of its record).
    auto lies_in = [](const forge::map_source_result& map, int item) {
        const bool on_floor =
            std::any_of(map.map.items.begin(), map.map.items.end(), [item](const auto& place) {
                return std::find(place.items.begin(), place.items.end(), item) != place.items.end();
            });
        const bool in_alcove =
            std::any_of(map.map.recesses.begin(), map.map.recesses.end(), [item](const auto& r) {
                for (size_t k = 12; k + 1 < r.size(); k += 2)
                    if ((r[k] | r[k + 1] << 8) == item) return true;
                return false;
            });
        return on_floor || in_alcove;
    };
    EXPECT_TRUE(lies_in(keep, key));
    EXPECT_FALSE(lies_in(cellars, key));

    // The lock command of the treasury door (4 6 south): the key's code, no pick.
    const uint32_t door = static_cast<uint32_t>(4 * cellars.sector_at.at({4, 6, 0}) + 2);
    const std::vector<std::vector<uint8_t>>* script = nullptr;
    for (const auto& list : cellars.map.multiactions)
        if (list.side == door) script = &list.records;
    ASSERT_NE(script, nullptr);
    auto lock = std::find_if(script->begin(), script->end(),
                             [](const std::vector<uint8_t>& r) { return (r[0] & 0x3F) == MA_LOCK; });
    ASSERT_NE(lock, script->end());
    const item_def& key_def = items.file.definitions[size_t(key - 1)];
    EXPECT_EQ(static_cast<int16_t>((*lock)[4] | (*lock)[5] << 8), key_def.key_code);
    EXPECT_EQ(static_cast<int16_t>((*lock)[6] | (*lock)[7] << 8), -1);
}
