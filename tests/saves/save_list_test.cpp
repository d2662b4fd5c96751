#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "saves/save_list.h"

namespace {

std::string folder_with(const char* name, const std::vector<std::string>& files) {
    auto dir =
        std::filesystem::temp_directory_path() / ("vorthan_save_list_" + std::to_string(getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const auto& f : files) std::fclose(std::fopen((dir / f).c_str(), "wb"));
    return dir.string();
}

std::vector<std::string> names_of(const std::vector<save_list_row>& rows) {
    std::vector<std::string> names;
    for (const auto& r : rows) names.push_back(r.name + (r.autosave ? " auto" : ""));
    return names;
}

}  // namespace

TEST(SaveName, NamesCarryIdentityAndTimeAndReadBack) {
    EXPECT_EQ(saved_game_name(0x6570a1b2, 0x1f, false), "sav.6570a1b2.0000001f");
    EXPECT_EQ(saved_game_name(1, 0xabcdef01, true), "sav.00000001.abcdef01-autosave");
    auto parts = parse_saved_game_name("sav.00000001.abcdef01-autosave");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->identity, 1u);
    EXPECT_EQ(parts->save_time, 0xabcdef01u);
    EXPECT_TRUE(parts->autosave);
    EXPECT_FALSE(parse_saved_game_name("GAME01.SAV"));
    EXPECT_FALSE(parse_saved_game_name("sav.123456789.00000001"));
    EXPECT_FALSE(parse_saved_game_name("sav.00000001.0000000g"));
}

TEST(SaveList, NewestFirstAutosaveBeforeSameSecondOlderSavNamesLast) {
    std::string folder =
        folder_with("sorting", {"sav.00000001.06000010", "sav.00000001.06000020",
                                "sav.00000001.06000010-autosave", "sav.00000002.06000015", "GAME01.SAV",
                                "game02.sav", "notes.txt", "sav.00000001.06000030.tmp4242"});
    EXPECT_EQ(names_of(build_save_list(folder, 0, false)),
              (std::vector<std::string>{"sav.00000001.06000020", "sav.00000002.06000015",
                                        "sav.00000001.06000010-autosave auto", "sav.00000001.06000010",
                                        "game02.sav", "GAME01.SAV"}));
    // One game's saves; the save screen leaves its autosaves out.
    EXPECT_EQ(names_of(build_save_list(folder, 1, false)),
              (std::vector<std::string>{"sav.00000001.06000020", "sav.00000001.06000010-autosave auto",
                                        "sav.00000001.06000010"}));
    EXPECT_EQ(names_of(build_save_list(folder, 1, true)),
              (std::vector<std::string>{"sav.00000001.06000020", "sav.00000001.06000010"}));
    EXPECT_TRUE(build_save_list(folder + "/missing", 0, false).empty());
}

TEST(SaveFolder, CreatedWithItsParentsWhenMissing) {
    std::string base = folder_with("create", {"a file"});
    EXPECT_TRUE(create_saved_games_folder(base + "/x/y/Vorthan"));
    EXPECT_TRUE(std::filesystem::is_directory(base + "/x/y/Vorthan"));
    EXPECT_TRUE(create_saved_games_folder(base + "/x/y/Vorthan"));
    EXPECT_FALSE(create_saved_games_folder(base + "/a file/Vorthan"));
}
