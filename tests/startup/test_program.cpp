// The vorthan program end to end: exit codes and messages of the command line,
// the start-up errors and the -s export.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "base/strings.h"
#include "rules/items_file.h"
#include "support/temp_folder.h"

namespace {
struct outcome {
    int code = -1;
    std::string out, err;
};

// Runs the program in folder cwd (no display, no sound device); the saved
// games and the captured output go to dir.
outcome run(const temp_folder& dir, const std::string& args, const std::string& cwd = "") {
    std::string command =
        "cd '" + (cwd.empty() ? dir.path() : cwd) +
        "' && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
        "HOME='" +
        dir.path() + "' XDG_DATA_HOME='" + dir.path() +
        // A run that reaches the game plays until the window is asked to
        // close: SIGTERM is that request, and the game then ends with 0.
        "/xdg' timeout --preserve-status -k 30 8 " VORTHAN_EXE " " + args + " >'" + dir.path() +
        "/.out' 2>'" + dir.path() + "/.err'";
    int status = std::system(command.c_str());
    outcome o;
    o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = read_file(dir / ".out");
    o.err = read_file(dir / ".err");
    return o;
}

std::string game(const char* utf8) {
    return *utf8_to_game_codepage(utf8);
}

const std::string demo = VORTHAN_DEMO_DIR;

// A small adventure: a configuration, the interface texts and the demo's
// archive, so that the start steps after the texts find their resources.
void make_adventure(const temp_folder& dir, const std::string& popisy) {
    dir.write("game.ini", "[paths]\nroot = " + dir.path() + "/root\n");
    dir.write("root/POPISY.TXT", popisy);
    dir.write("root/VORTHAN.DDL", read_file(demo + "/VORTHAN.DDL"));
    // Two items, so the items folder holds what the game and the export read.
    items_file items;
    items.definitions.resize(2);
    std::snprintf(items.definitions[0].name, sizeof items.definitions[0].name, "%s", game("Dýka").c_str());
    std::snprintf(items.definitions[0].description, sizeof items.definitions[0].description,
                  "Short \"and\" sharp");
    std::snprintf(items.definitions[1].name, sizeof items.definitions[1].name, "Bread");
    const std::vector<uint8_t> bytes = write_items_file(items);
    dir.write("root/graphics/items/ITEMS.DAT", std::string(bytes.begin(), bytes.end()));
    // The maps a new game starts on (the default and the one quest.adv names).
    for (const char* name : {"LESPRED", "START"}) {
        dir.write(std::string("root/maps/") + name + ".MAP", read_file(demo + "/maps/KEEP.MAP"));
        dir.write(std::string("root/maps/") + name + ".txt", read_file(demo + "/maps/KEEP.txt"));
    }
    // The main menu writes the version in the demo's small font.
    for (const auto& file : std::filesystem::directory_iterator(demo + "/font"))
        dir.write("root/font/" + file.path().filename().string(), read_file(file.path().string()));
    // The keep places monsters: their definitions and animation sets.
    dir.write("root/maps/ENEMY.DAT", read_file(demo + "/maps/ENEMY.DAT"));
    for (const auto& file : std::filesystem::directory_iterator(demo + "/graphics/enemies"))
        dir.write("root/graphics/enemies/" + file.path().filename().string(), read_file(file.path().string()));
}

const std::string good_popisy = "1 " + game("Hlavní nabídka") + "\n2 \"quoted\"\n-1\n";
}  // namespace

TEST(Program, NoConfigurationShowsErrorAndHelp) {
    temp_folder dir;
    outcome o = run(dir, "");
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.err.find("ERROR: A configuration file was not found:\n\nvorthan.ini\n\n"), 0u) << o.err;
    EXPECT_NE(o.err.find("Usage:" VORTHAN_EXE " [-f <file>]"), std::string::npos);
}

TEST(Program, HelpAndUnknownOptionEndWithOne) {
    temp_folder dir;
    dir.write("vorthan.ini", "");
    outcome help = run(dir, "-h");
    EXPECT_EQ(help.code, 1);
    EXPECT_NE(help.err.find("-h              this help\n"), std::string::npos);
    EXPECT_EQ(help.err.find("ERROR"), std::string::npos);
    outcome bad = run(dir, "-x");
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "Use -h for help\n");
    EXPECT_EQ(bad.out, "illegal option -- x\n");
}

TEST(Program, JoinedAndSeparateConfigurationArePassedTheSameWay) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    outcome joined = run(dir, "-fgame.ini");
    outcome separate = run(dir, "-f game.ini");
    EXPECT_EQ(joined.code, 0) << joined.err;
    EXPECT_EQ(joined.out, separate.out);
    EXPECT_NE(joined.out.find("start-up complete"), std::string::npos);
    // After "--" nothing is an option: -x is not complained about.
    outcome ended = run(dir, "-f game.ini -- -x");
    EXPECT_EQ(ended.code, 0) << ended.err;
}

TEST(Program, StartupErrorsHaveTheirMessages) {
    temp_folder dir;
    make_adventure(dir, "1 a\n");
    EXPECT_EQ(run(dir, "-f game.ini").err, "Missing end mark (-1) at the end of string table\n");
    dir.write("root/POPISY.TXT", "1 a\n\nbad line\n-1\n");
    outcome bad = run(dir, "-f game.ini");
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "Error in string table at line 3\n");
    std::filesystem::remove(dir / "root/POPISY.TXT");
    outcome missing = run(dir, "-f game.ini");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "Can't load string table. File ./POPISY.TXT has not been found\n");
}

TEST(Program, MissingItemsFileEndsTheStartWithItsMessage) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    std::filesystem::remove(dir / "root/graphics/items/ITEMS.DAT");
    outcome o = run(dir, "-f game.ini");
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.err, "Selhalo otevreni souboru ITEMS.DAT. Zkotroluj zda vubec existuje.\n");
    EXPECT_EQ(o.out.find("start-up complete"), std::string::npos);
}

TEST(Program, ConfigurationRootAndAdventureFailures) {
    temp_folder dir;
    dir.write("game.ini", "[paths]\nroot = nowhere\n");
    outcome root = run(dir, "-f game.ini");
    EXPECT_EQ(root.code, 1);
    EXPECT_EQ(root.err, "Can't change directory to: nowhere\n");
    dir.mkdir("folder.ini");
    outcome unreadable = run(dir, "-f folder.ini");
    EXPECT_EQ(unreadable.code, 1);
    EXPECT_EQ(unreadable.err, "Failed to open configuration file: folder.ini\n");
    make_adventure(dir, good_popisy);
    outcome adventure = run(dir, "-f game.ini -a none.adv");
    EXPECT_EQ(adventure.code, 1);
    EXPECT_EQ(adventure.err, "Failed to open adventure configuration: none.adv\n");
    outcome export_adventure = run(dir, "-f game.ini -a none.adv -s out");
    EXPECT_EQ(export_adventure.code, 1);
    EXPECT_EQ(export_adventure.err, "Failed to open adventure configuration: none.adv\n");
}

TEST(Program, ExportWritesUiTableInWindows1250) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    outcome o = run(dir, "-f game.ini -s " + dir / "out/strings");
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.out.find("Writing file: " + dir / "out/strings/ui.csv\n"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.size() - std::min<size_t>(o.out.size(), 5)), "Done\n");
    std::string csv = read_file(dir / "out/strings/ui.csv");
    EXPECT_EQ(csv.substr(0, 10), "id,string\n");
    EXPECT_NE(csv.find("1,\"" + to_windows1250(game("Hlavní nabídka")) + "\"\n"), std::string::npos);
    EXPECT_NE(csv.find("2,\"\"\"quoted\"\"\"\n"), std::string::npos);
    // The built-in texts are exported too.
    EXPECT_NE(csv.find("\n144,\"Zrychlit souboje\"\n"), std::string::npos);
    auto back = parse_csv_table(csv);
    EXPECT_EQ(back[1], game("Hlavní nabídka"));
}

TEST(Program, ExportWritesMapTextsWithoutMusicAndEditorNote) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    dir.write("root/maps/Level.map", "not read");
    dir.write("root/maps/LEVEL.TXT", "0 FIRST song.mus\n1 Toto je magicky sloup z MAPEDITu\n2 " +
                                         game("Brána") + "\n3 Toto je MAPEDIT magic sloup\n-1\n");
    dir.write("root/maps/notes.txt", "no map");
    outcome o = run(dir, "-f game.ini -s out");
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(read_file(dir / "out/map_Level.csv"),
              "id,string\n2,\"" + to_windows1250(game("Brána")) + "\"\n3,\"Toto je MAPEDIT magic sloup\"\n");
    // The map's identity, then its file name, unquoted; one line for each map
    // of the folder (the adventure's own start maps as well).
    const std::string names = read_file(dir / "out/mapnames.csv");
    EXPECT_EQ(names.rfind("id,string\n", 0), 0u) << names;
    EXPECT_TRUE(std::regex_search(names, std::regex("\n[0-9]+,Level\\.map\n"))) << names;
    EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), 4) << names;
    // Each item's name and description at its index, as one text.
    EXPECT_EQ(read_file(dir / "out/items.csv"), "id,string\n0,\"" + to_windows1250(game("Dýka")) +
                                                    "\nShort \"\"and\"\" sharp\"\n1,\"Bread\n\"\n");

    dir.write("root/maps/EMPTY.MAP", "");
    outcome missing = run(dir, "-f game.ini -s out");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "Failed to read: maps/EMPTY.txt, error code: -1\n");
}

TEST(Program, RelativeExportFolderIsTakenFromTheStartingFolder) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    outcome o = run(dir, "-f game.ini -s out");
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "out/ui.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "root/out"));
}

TEST(Program, DemoExportHasEveryInterfaceTextInWindows1250) {
    temp_folder dir;
    outcome o = run(dir, "-f " + demo + "/vorthan.ini -s " + dir / "out");
    ASSERT_EQ(o.code, 0) << o.err;
    string_list popisy;
    ASSERT_EQ(read_numbered_table(popisy, demo + "/POPISY.TXT"), 0);
    auto exported = read_csv_table(dir / "out/ui.csv");
    ASSERT_TRUE(exported);
    for (int i = 0; i < string_list_count(popisy); ++i) {
        if (!string_list_get(popisy, i)) continue;
        ASSERT_TRUE(exported->count(i)) << i;
        // Windows-1250 and back gives the same game code page bytes.
        EXPECT_EQ((*exported)[i], string_list_get(popisy, i)) << i;
    }
}

TEST(Program, DemoExportKeysDialogTextsAsTheTranslationsAndNamesSpellsAndShops) {
    temp_folder dir;
    outcome o = run(dir, "-f " + demo + "/vorthan.ini -s " + dir / "out");
    ASSERT_EQ(o.code, 0) << o.err;
    // Every English dialog text translates a Czech one exported at the same key.
    auto czech = read_csv_table(dir / "out/dialogs.csv");
    auto english = read_csv_table(demo + "/lang/en/dialogs.csv");
    ASSERT_TRUE(czech && english);
    ASSERT_FALSE(english->empty());
    for (const auto& [key, text] : *english) EXPECT_TRUE(czech->count(key)) << key << " " << text;
    auto spells = read_csv_table(dir / "out/spells.csv");
    ASSERT_TRUE(spells);
    EXPECT_TRUE(spells->count(3) && spells->count(21) && spells->count(85));  // spark, healing, true seeing
    auto shops = read_csv_table(dir / "out/shops.csv");
    ASSERT_TRUE(shops && shops->count(1));
}

TEST(Program, DemoStartsInEnglishAndCzech) {
    temp_folder dir;
    outcome english = run(dir, "-l en", demo);
    EXPECT_EQ(english.code, 0) << english.err;
    EXPECT_NE(english.out.find("start-up complete"), std::string::npos);
    outcome czech = run(dir, "-l cz", demo);
    EXPECT_EQ(czech.code, 0) << czech.err;
}

TEST(Program, ExportThatFailsAStepEndsWithOne) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    dir.write("blocked", "a file where the folder should be");
    outcome blocked = run(dir, "-f game.ini -s " + dir / "blocked/out");
    EXPECT_EQ(blocked.code, 1);
    EXPECT_EQ(blocked.out.find("Done"), std::string::npos);
    dir.write("root/POPISY.TXT", "1 no end\n");
    outcome no_end = run(dir, "-f game.ini -s " + dir / "out");
    EXPECT_EQ(no_end.code, 1);
    EXPECT_EQ(no_end.err, "Missing end mark (-1) at the end of string table\n");
}

TEST(Program, LanguageAndAdventureFilesStartCleanly) {
    temp_folder dir;
    make_adventure(dir, good_popisy);
    dir.write("root/lang/en/ui.csv", "id,string\n1,Main menu\n");
    dir.write("root/lang/en/gfx.ddl", read_file(demo + "/lang/en/gfx.ddl"));
    dir.write("root/quest.adv", "CESTA_MAPY maps\nDEFAULT_MAP START.MAP\n");
    EXPECT_EQ(run(dir, "-f game.ini -l en").code, 0);
    EXPECT_EQ(run(dir, "-f game.ini -a quest.adv -l en").code, 0);
}
