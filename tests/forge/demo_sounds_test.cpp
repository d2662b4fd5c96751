// The demo's sounds against what names them: the game's fixed sounds, the
// maps' sound actions and the monsters' sound list must find a recipe whose
// wave has the size, rate, sample size and loop the name's user expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "forge/item_source.h"
#include "forge/map_source.h"
#include "forge/monster_source.h"
#include "forge/sound_recipe_source.h"

namespace {

const std::string demo = VORTHAN_SOURCE_DIR "/content/demo/";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every recipe of the demo by its file name (lower case, as the game's
// loader compares names without case).
std::map<std::string, forge::sound_recipe> demo_recipes() {
    std::map<std::string, forge::sound_recipe> out;
    for (const auto& entry : std::filesystem::directory_iterator(demo + "sounds"))
        if (entry.path().extension() == ".recipe")
            for (auto& r : forge::parse_sound_recipes(read_file(entry.path()), entry.path().string()))
                out[r.name + ".wav"] = r;
    return out;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

int64_t samples_of(const forge::sound_recipe& r) {
    return std::llround(r.length * r.rate);
}

int32_t i32_at(const std::vector<uint8_t>& r, size_t at) {
    return static_cast<int32_t>(r[at] | r[at + 1] << 8 | r[at + 2] << 16 | static_cast<uint32_t>(r[at + 3]) << 24);
}

TEST(DemoSounds, EveryFixedSoundExistsAndTheFluteFitsItsFixedLoop) {
    const auto recipes = demo_recipes();
    for (const char* name :
         {"swd_hit0.wav", "swd_hit1.wav", "swd_mis0.wav", "swd_mis1.wav", "sip1.wav", "sip2.wav", "kniha.wav",
          "obchod.wav", "lektvar.wav", "telepin.wav", "telepout.wav", "jauu1m.wav", "jauu2m.wav", "jauu1f.wav",
          "jauu2f.wav", "jidlo.wav", "obleci.wav", "put_inv.wav", "fletna.wav", "sever.wav", "vychod.wav",
          "jih.wav", "zapad.wav", "random1.wav", "random2.wav", "random3.wav", "random4.wav"})
        EXPECT_TRUE(recipes.count(name)) << name;
    // The game plays 5733 bytes of 8-bit samples and loops from byte 2782.
    const forge::sound_recipe& flute = recipes.at("fletna.wav");
    EXPECT_EQ(flute.bits, 8);
    EXPECT_EQ(flute.rate, 16000u);
    EXPECT_EQ(samples_of(flute), 5733);
    EXPECT_EQ(flute.loop_start, 2782);
}

TEST(DemoSounds, MapSoundActionsMatchTheirWaves) {
    const auto recipes = demo_recipes();
    auto items = std::make_shared<forge::compiled_items>(
        forge::compile_item_source(read_file(demo + "items/items.src"), "items.src"));
    forge::map_item_resolver item_names = [items](const std::string& item) -> std::optional<int> {
        auto found = items->numbers.find(item);
        if (found == items->numbers.end()) return std::nullopt;
        return found->second;
    };
    forge::map_place_resolver places = [](const std::string& link, const std::string& place,
                                          std::string&) -> std::optional<std::pair<int, int>> {
        auto other = forge::compile_map_source(read_file(demo + "maps/" + link), link);
        auto it = other.places.find(place);
        if (it == other.places.end()) return std::nullopt;
        return it->second;
    };
    int actions = 0, loops = 0;
    for (const char* map : {"keep.mapsrc", "cellars.mapsrc"}) {
        auto compiled = forge::compile_map_source(read_file(demo + "maps/" + map), map, places, item_names);
        ASSERT_TRUE(compiled.ok()) << compiled.errors[0];
        for (const auto& list : compiled.map.multiactions) {
            for (const auto& r : list.records) {
                if ((r[0] & 0x3F) != 1 || r.size() <= 20) continue;
                const std::string wave(reinterpret_cast<const char*>(&r[20]));
                const std::string where = std::string(map) + " side " + std::to_string(list.side) + " " + wave;
                ++actions;
                auto found = recipes.find(lower(wave));
                ASSERT_NE(found, recipes.end()) << where;
                const forge::sound_recipe& recipe = found->second;
                const int bytes = recipe.bits / 8;
                EXPECT_EQ(r[3] & 1, recipe.bits == 16 ? 1 : 0) << where;
                EXPECT_EQ(r[6] | r[7] << 8, static_cast<int>(recipe.rate)) << where;
                EXPECT_EQ(i32_at(r, 12), samples_of(recipe) * bytes) << where;
                const int32_t loop = i32_at(r, 8);
                if (loop != i32_at(r, 12)) {
                    // A loop is only seamless where the recipe blended it.
                    ++loops;
                    EXPECT_EQ(loop, recipe.loop_start * bytes) << where;
                    EXPECT_NE(r[5], 0) << where << ": a loop needs a track to be restarted";
                }
            }
        }
    }
    EXPECT_GE(actions, 10);
    EXPECT_GE(loops, 4);
}

TEST(DemoSounds, EveryMonsterHasFourSoundsThatExist) {
    const auto recipes = demo_recipes();
    const auto items = forge::compile_item_source(read_file(demo + "items/items.src"), "items.src");
    const auto monsters =
        forge::compile_monster_source(read_file(demo + "monsters/monsters.src"), "monsters.src", items);
    for (const std::string& name : monsters.sounds) EXPECT_TRUE(recipes.count(lower(name))) << name;
    for (const auto& [name, number] : monsters.numbers) {
        const auto& m = monsters.definitions[static_cast<size_t>(number - 1)];
        for (uint16_t sound : m.sounds) {
            EXPECT_GE(sound, 1) << name;
            EXPECT_LE(sound, monsters.sounds.size()) << name;
        }
    }
}

}  // namespace
