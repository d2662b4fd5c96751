// The INI reader, the folder settings, the adventure file and the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/config.h"
#include "base/paths.h"
#include "base/strings.h"
#include "support/temp_folder.h"

namespace {
const ini_keys* section_of(const std::unique_ptr<ini_config>& doc, const char* name) {
    return ini_section(doc.get(), name);
}
}  // namespace

TEST(Ini, TrimsKeysValuesAndSectionNames) {
    auto doc = ini_parse("  [ video ]  \n\t key = some value \t\r\nother=x\n");
    const ini_keys* video = section_of(doc, "video");
    ASSERT_NE(video, nullptr);
    EXPECT_STREQ(ini_get(video, "key"), "some value");
    EXPECT_STREQ(ini_get(video, "other"), "x");
    EXPECT_EQ(ini_get(video, " key"), nullptr);
}

TEST(Ini, FirstValueWinsAndRepeatedHeaderContinuesSection) {
    auto doc = ini_parse("[a]\nx=1\n[b]\ny=2\n[a]\nx=2\nz=3\n");
    const ini_keys* a = section_of(doc, "a");
    EXPECT_STREQ(ini_get(a, "x"), "1");
    EXPECT_STREQ(ini_get(a, "z"), "3");
    EXPECT_EQ(doc->sections.size(), 2u);
}

TEST(Ini, CommentsSemicolonsAndLinesWithoutEquals) {
    auto doc = ini_parse("top=1\n# note=1\n;just words\na;b=c\nno equals here\n[s]\nq=\"quoted\"\n");
    const ini_keys* top = section_of(doc, "");
    EXPECT_STREQ(ini_get(top, "top"), "1");
    EXPECT_STREQ(ini_get(top, "a;b"), "c");
    EXPECT_EQ(ini_get(top, "# note"), nullptr);
    EXPECT_EQ(top->values.size(), 2u);
    EXPECT_STREQ(ini_get(section_of(doc, "s"), "q"), "\"quoted\"");
}

TEST(Ini, KeysAndSectionNamesAreCaseSensitive) {
    auto doc = ini_parse("[Paths]\nRoot=x\n");
    EXPECT_EQ(section_of(doc, "paths"), nullptr);
    EXPECT_EQ(ini_get(section_of(doc, "Paths"), "root"), nullptr);
}

TEST(Ini, BooleansIntegersAndDefaults) {
    auto doc = ini_parse(
        "[s]\non=On\nyes=YES\none=1\noff=off\nno=No\nmaybe=maybe\nwidth=800px\nempty=\nneg=-42\n"
        "plus=+7\nhuge=99999999999\nspaced=4 2\n");
    const ini_keys* s = section_of(doc, "s");
    EXPECT_TRUE(ini_get_bool(s, "on", false));
    EXPECT_TRUE(ini_get_bool(s, "yes", false));
    EXPECT_TRUE(ini_get_bool(s, "one", false));
    EXPECT_FALSE(ini_get_bool(s, "off", true));
    EXPECT_FALSE(ini_get_bool(s, "no", true));
    EXPECT_TRUE(ini_get_bool(s, "maybe", true));
    EXPECT_FALSE(ini_get_bool(s, "maybe", false));
    EXPECT_TRUE(ini_get_bool(s, "missing", true));
    EXPECT_EQ(ini_get_int(s, "width", 640), 640);
    EXPECT_EQ(ini_get_int(s, "empty", 5), 0);
    EXPECT_EQ(ini_get_int(s, "neg", 0), -42);
    EXPECT_EQ(ini_get_int(s, "plus", 0), 7);
    EXPECT_EQ(ini_get_int(s, "huge", 3), 3);
    EXPECT_EQ(ini_get_int(s, "spaced", 3), 3);
    EXPECT_EQ(ini_get_int(nullptr, "x", 9), 9);
    EXPECT_STREQ(ini_get_string(s, "missing", "dflt"), "dflt");
    EXPECT_EQ(ini_get_string(s, "missing", nullptr), nullptr);
}

TEST(Ini, SetReplacesAndCreatesSections) {
    auto doc = ini_parse("[paths]\nmaps=a\n");
    const char* before = ini_get(section_of(doc, "paths"), "maps");
    ini_set(ini_section_create(*doc, "paths"), "maps", "b");
    ini_set(ini_section_create(*doc, "new"), "k", "v");
    EXPECT_STREQ(ini_get(section_of(doc, "paths"), "maps"), "b");
    EXPECT_STREQ(ini_get(section_of(doc, "new"), "k"), "v");
    // Values of other keys keep their address while keys are added.
    ini_set(ini_section_create(*doc, "paths"), "zzz", "1");
    EXPECT_EQ(ini_get(section_of(doc, "paths"), "maps"), before);
}

TEST(Ini, OpenReadsFileAndFailsOnMissingOrFolder) {
    temp_folder dir;
    std::string path = dir.write("game.ini", "[paths]\r\nroot = /somewhere\r\n");
    auto doc = ini_open(path);
    ASSERT_TRUE(doc);
    EXPECT_STREQ(ini_get(ini_section(doc.get(), "paths"), "root"), "/somewhere");
    EXPECT_FALSE(ini_open(dir / "missing.ini"));
    EXPECT_FALSE(ini_open(dir.mkdir("folder.ini")));
}

TEST(Paths, BuildPathJoinsAndAbsoluteNameReplaces) {
    EXPECT_EQ(build_path("maps", "/abs/file"), "/abs/file");
    EXPECT_EQ(build_path("maps", "file.map"), "maps/file.map");
    EXPECT_EQ(build_path("./", "POPISY.TXT"), "./POPISY.TXT");
    EXPECT_EQ(build_path("", "x"), "x");
    EXPECT_EQ(build_path("a", ""), "a");
}

TEST(Paths, ResolveMatchesOnlyLastComponentWithoutCase) {
    temp_folder dir;
    dir.write("Data/Maps/Level1.MAP", "x");
    EXPECT_EQ(resolve_path(dir / "Data/Maps/level1.map"), dir / "Data/Maps/Level1.MAP");
    EXPECT_EQ(resolve_path(dir / "Data/maps"), dir / "Data/Maps");
    // A folder on the way must match exactly.
    EXPECT_EQ(resolve_path(dir / "data/Maps/Level1.MAP"), dir / "data/Maps/Level1.MAP");
    EXPECT_EQ(resolve_path(dir / "Data/Maps/none.map"), dir / "Data/Maps/none.map");
    EXPECT_TRUE(file_exists(dir / "DATA"));
    EXPECT_FALSE(file_exists(dir / "DATA/MAPS"));
    FILE* f = open_file(dir / "Data/Maps/LEVEL1.map", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
}

TEST(Paths, ResolveMakesRelativeNamesAbsoluteAndAcceptsBackslashes) {
    temp_folder dir;
    dir.write("Sub/File.txt", "x");
    dir.enter();
    EXPECT_EQ(resolve_path("Sub/file.TXT"), dir / "Sub/File.txt");
    EXPECT_EQ(resolve_path("Sub\\file.txt"), dir / "Sub/File.txt");
    EXPECT_EQ(resolve_path("sub"), dir / "Sub");
    EXPECT_EQ(resolve_path("./Sub/../Sub/File.txt"), dir / "./Sub/../Sub/File.txt");
}

TEST(Paths, ListDirectoryFlagsAndEarlyStop) {
    temp_folder dir;
    dir.write("a.txt", "12345");
    dir.mkdir("sub");
    auto collect = [&](int flags) {
        std::vector<std::string> seen;
        list_directory(dir.path(), flags, [&](const char* name, int kind, int64_t) {
            seen.push_back(std::string(name) + ":" + std::to_string(kind));
            return 0;
        });
        std::sort(seen.begin(), seen.end());
        return seen;
    };
    EXPECT_EQ(collect(LIST_FILES | LIST_NAME_ONLY), std::vector<std::string>{"a.txt:1"});
    EXPECT_EQ(collect(LIST_FOLDERS | LIST_NAME_ONLY), std::vector<std::string>{"sub:2"});
    EXPECT_EQ(collect(LIST_DOTS | LIST_NAME_ONLY), (std::vector<std::string>{"..:4", ".:4"}));
    EXPECT_EQ(collect(LIST_FILES), std::vector<std::string>{dir / "a.txt" + ":1"});
    int64_t size = -1;
    list_directory(dir.path(), LIST_FILES, [&](const char*, int, int64_t v) { return size = v, 0; });
    EXPECT_EQ(size, 5);
    int64_t time = 0;
    list_directory(dir.path(), LIST_FILES | LIST_TIME,
                   [&](const char*, int, int64_t v) { return time = v, 0; });
    EXPECT_GT(time, 1600000000);
    int calls = 0;
    EXPECT_EQ(list_directory(dir.path(), LIST_FILES | LIST_FOLDERS,
                             [&](const char*, int, int64_t) { return ++calls, 7; }),
              7);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list_directory(dir / "none", LIST_FILES, [](const char*, int, int64_t) { return 1; }), 0);
}

TEST(Paths, SavedGamesRootFollowsXdgDataHome) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("XDG_DATA_HOME", "/xdg/data", 1);
            std::fprintf(stderr, "[%s]", saved_games_root().c_str());
            std::exit(0);
        },
        testing::ExitedWithCode(0), "\\[/xdg/data/Vorthan\\]");
    EXPECT_EXIT(
        {
            unsetenv("XDG_DATA_HOME");
            setenv("HOME", "/home/someone", 1);
            std::fprintf(stderr, "[%s]", saved_games_root().c_str());
            std::exit(0);
        },
        testing::ExitedWithCode(0), "\\[/home/someone/.local/share/Vorthan\\]");
}

TEST(FolderSettings, DefaultsAndConfiguredValues) {
    auto empty = ini_parse("");
    EXPECT_EQ(read_folder_settings(empty.get()), "./");
    EXPECT_EQ(path_table[PATH_DATA], "./");
    EXPECT_EQ(path_table[PATH_FONTS], "font");
    EXPECT_EQ(path_table[PATH_GUI], "graphics/basic");
    EXPECT_EQ(path_table[PATH_ENEMIES], "graphics/enemies");
    EXPECT_EQ(path_table[PATH_LANG], "./lang");
    EXPECT_EQ(path_table[PATH_SAVEGAME], saved_games_root());
    EXPECT_TRUE(path_table[PATH_UNUSED6].empty());
    EXPECT_TRUE(default_map_setting.empty());
    EXPECT_FALSE(patch_mode);

    auto doc = ini_parse(
        "[paths]\nroot=/game\nmaps=m\nsavegame=/saves\ndefault_map=A_VERY_LONG_MAP_NAME.MAP\n"
        "patch_file=p.ddl\npatch_mode=yes\n");
    EXPECT_EQ(read_folder_settings(doc.get()), "/game");
    EXPECT_EQ(path_table[PATH_MAPS], "m");
    EXPECT_EQ(path_table[PATH_SAVEGAME], "/saves");
    EXPECT_EQ(default_map_setting, "A_VERY_LONG_MAP_NAM");
    EXPECT_EQ(patch_file, "p.ddl");
    EXPECT_TRUE(patch_mode);
    reset_folder_settings();
}

TEST(Adventure, MergeResolvesFoldersAgainstCurrentFolderWithoutCase) {
    temp_folder dir;
    dir.mkdir("Maps2");
    dir.mkdir("gfx");
    dir.enter();
    auto doc = ini_parse("[paths]\nmaps=old\n");
    string_list lines;
    for (const char* line :
         {"cesta_mapy maps2", "CESTA_GRAFIKA gfx  ", "DEFAULT_MAP start.map", "CESTA_MUSIC tunes",
          "CESTA_ENEMY foes", "PATCH yes", "UNKNOWN value", "CESTA_ZVUKY", "", "CESTA_VIDEO my videos"})
        string_list_add(lines, line);
    merge_adventure_lines(*doc, lines);
    const ini_keys* paths = ini_section(doc.get(), "paths");
    EXPECT_STREQ(ini_get(paths, "maps"), (dir / "Maps2").c_str());
    EXPECT_STREQ(ini_get(paths, "graphics"), (dir / "gfx").c_str());
    EXPECT_STREQ(ini_get(paths, "default_map"), "start.map");
    EXPECT_STREQ(ini_get(paths, "music_adv"), (dir / "tunes").c_str());
    EXPECT_STREQ(ini_get(paths, "enemy"), (dir / "foes").c_str());
    EXPECT_STREQ(ini_get(paths, "video"), (dir / "my videos").c_str());
    EXPECT_EQ(ini_get(paths, "patch_mode"), nullptr);
    EXPECT_EQ(ini_get(paths, "sounds"), nullptr);
    EXPECT_EQ(paths->values.size(), 6u);

    string_list patch;
    string_list_add(patch, "patch 1");
    auto fresh = ini_parse("");
    merge_adventure_lines(*fresh, patch);
    EXPECT_STREQ(ini_get(ini_section(fresh.get(), "paths"), "patch_mode"), "1");
}

TEST(Adventure, SavedGamesFolderReplacesEveryNonAlphanumeric) {
    EXPECT_EQ(adventure_savegame_folder("/saves", "adv/My Quest.adv"), "/saves/adv_My_Quest_adv");
    EXPECT_EQ(adventure_savegame_folder("/saves", "Dobrodružství-1"), "/saves/Dobrodružství_1");
}
