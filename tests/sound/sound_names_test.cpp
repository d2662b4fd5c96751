// The numbered sound names: sound.dat, the map's own block, and the choice
// between them when a map is loaded.
#include "sound/sound_names.h"

#include <gtest/gtest.h>

#include <string>

#include "base/paths.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "support/temp_folder.h"
#include "world/map.h"

namespace {

std::string dat(uint32_t count, const std::string& names) {
    std::string out;
    for (int i = 0; i < 4; ++i) out.push_back(char(count >> (8 * i)));
    return out + names;
}

std::optional<sound_name_list> parse(const std::string& file) {
    return parse_sound_dat(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

sound_name_list list(std::initializer_list<const char*> names) {
    sound_name_list out;
    for (const char* n : names) out.push_back(n ? std::optional<std::string>(n) : std::nullopt);
    return out;
}

// sound.dat as the fixed handle, in a folder of its own.
class GlobalSoundNames : public ::testing::Test {
  protected:
    temp_folder folder;
    std::string saved = path_table[PATH_MAPS];
    void SetUp() override { path_table[PATH_MAPS] = folder.path(); }
    void TearDown() override {
        undefine_handle(H_SOUND_TABLE);
        path_table[PATH_MAPS] = saved;
    }
    void define() { define_handle(H_SOUND_TABLE, "SOUND.DAT", nullptr, PATH_MAPS); }
};

}  // namespace

TEST(SoundDat, EmptyNamesLeaveTheirNumberUnset) {
    EXPECT_EQ(parse(dat(4, std::string("STEP.WAV\0\0ROAR.WAV\0\0", 20))),
              list({"STEP.WAV", nullptr, "ROAR.WAV", nullptr}));
    EXPECT_EQ(parse(dat(0, "")), list({}));
}

TEST(SoundDat, CountDecidesHowManyNamesAreRead) {
    // Names beyond the count are not part of the list.
    EXPECT_EQ(parse(dat(1, std::string("A.WAV\0B.WAV\0", 12))), list({"A.WAV"}));
    // The last name may end with the file instead of a NUL.
    EXPECT_EQ(parse(dat(2, std::string("A.WAV\0B.WAV", 11))), list({"A.WAV", "B.WAV"}));
}

TEST(SoundDat, CountLargerThanTheNamesPresentRejectsTheFile) {
    EXPECT_FALSE(parse(dat(3, std::string("A.WAV\0B.WAV\0", 12))));
    EXPECT_FALSE(parse(dat(0xFFFFFFFFu, std::string("A.WAV\0", 6))));
    EXPECT_FALSE(parse(dat(1, "")));
    EXPECT_FALSE(parse(std::string("\1\0\0", 3)));
    EXPECT_FALSE(parse_sound_dat(nullptr, 0));
}

TEST(SoundNames, NumbersCountFromOneAndUnsetOnesGiveNothing) {
    loaded_map map;
    map.has_sounds = true;
    map.sounds = list({"DRIP.WAV", nullptr, "GRIND.WAV"});
    map.sounds.push_back(std::string());
    sound_load_map_names(map);
    EXPECT_STREQ(sound_name(1), "DRIP.WAV");
    EXPECT_EQ(sound_name(2), nullptr);
    EXPECT_STREQ(sound_name(3), "GRIND.WAV");
    EXPECT_EQ(sound_name(4), nullptr);  // an empty text is no name either
    EXPECT_EQ(sound_name(0), nullptr);
    EXPECT_EQ(sound_name(5), nullptr);
    EXPECT_EQ(sound_name(-1), nullptr);
    EXPECT_EQ(sound_names().size(), 4u);
}

TEST_F(GlobalSoundNames, MapWithoutSoundBlockTakesSoundDat) {
    folder.write("SOUND.DAT", dat(2, std::string("\0HOWL.WAV\0", 10)));
    define();
    loaded_map map;
    map.sounds = list({"IGNORED.WAV"});  // read, but no block: not used
    sound_load_map_names(map);
    EXPECT_EQ(sound_names(), list({nullptr, "HOWL.WAV"}));
    EXPECT_STREQ(sound_name(2), "HOWL.WAV");

    map.has_sounds = true;
    sound_load_map_names(map);
    EXPECT_EQ(sound_names(), list({"IGNORED.WAV"}));
}

TEST_F(GlobalSoundNames, MissingOrUnreadableSoundDatGivesNoNames) {
    loaded_map map;
    map.has_sounds = true;
    map.sounds = list({"OLD.WAV"});
    // Handle undefined.
    sound_load_map_names(map);
    sound_load_global_names();
    EXPECT_TRUE(sound_names().empty());
    // Handle defined, file missing: not a fatal load error.
    sound_load_map_names(map);
    define();
    sound_load_global_names();
    EXPECT_TRUE(sound_names().empty());
    // A file whose count lies.
    undefine_handle(H_SOUND_TABLE);
    folder.write("SOUND.DAT", dat(9, std::string("A.WAV\0", 6)));
    define();
    sound_load_map_names(map);
    sound_load_global_names();
    EXPECT_TRUE(sound_names().empty());
    EXPECT_EQ(sound_name(1), nullptr);
}
