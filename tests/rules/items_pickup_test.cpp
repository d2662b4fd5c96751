// Pick-up effects, locks, translations and reading the items folder.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/paths.h"
#include "rules/items_info.h"
#include "rules/items_load.h"
#include "rules/items_pickup.h"

namespace {

item_def make(const char* name, int type, int16_t value = 0) {
    item_def item;
    std::strncpy(item.name, name, sizeof item.name - 1);
    item.type = static_cast<int16_t>(type);
    item.value = value;
    return item;
}

struct recording_pickup : pickup_world {
    int events = 0;
    std::vector<int16_t> counted;
    std::string book;
    int page = -1;
    int text = 0;
    void raise_pickup_event() override { ++events; }
    void count_picked_item(int16_t item) override { counted.push_back(item); }
    void open_book(const char* file, int at) override {
        book = file;
        page = at;
    }
    void show_game_text(int number) override { text = number; }
};

int always(int n) {
    return n > 0 ? n - 1 : 0;
}
int never(int) {
    return 0;
}

}  // namespace

TEST(PickUp, RunesMoneyBooksAndNotesVanishOtherItemsStay) {
    item_def purse = make("purse", IT_MONEY);
    purse.money = 25;
    item_def book = make("diary", IT_BOOK, 3);
    std::strcpy(book.description, "DIARY.TXT");
    item_table items;
    items.set_definitions({make("rune", IT_RUNE, 23), purse, book, make("note", IT_NOTE),
                           make("sword", IT_MELEE), make("bad rune", IT_RUNE, 58)});
    int32_t gold = 5;
    uint8_t runes[5] = {};
    recording_pickup world;
    party_treasure treasure{gold, runes};

    held_list held = {1, -5};
    picked_up(items, held, treasure, world);
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(runes[2], 1 << 3);
    EXPECT_EQ(world.events, 1);
    EXPECT_EQ(world.counted, (std::vector<int16_t>{1, 5}));

    held = {items.clone_item(2)};
    picked_up(items, held, treasure, world);
    EXPECT_EQ(gold, 30);
    EXPECT_TRUE(held.empty());

    held = {3};
    picked_up(items, held, treasure, world);
    EXPECT_EQ(world.book, "DIARY.TXT");
    EXPECT_EQ(world.page, 3);
    held = {4};
    picked_up(items, held, treasure, world);
    EXPECT_EQ(world.text, NOTE_TEXT);

    held = {5};
    picked_up(items, held, treasure, world);
    EXPECT_EQ(held, held_list{5});

    held = {6};  // group 5 does not exist: nothing learned, the rune still vanishes
    picked_up(items, held, treasure, world);
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(runes[2], 1 << 3);
    EXPECT_EQ(runes[4], 0);
}

TEST(Locks, KeysOpenTheirLockPicksBreakOrOpenOthersFail) {
    item_def key = make("key", IT_ORDINARY);
    key.key_code = 4;
    item_def pick = make("pick", IT_ORDINARY);
    pick.key_code = -1;
    EXPECT_EQ(try_lock(key, 4, 50, 30, never), lock_result::opened);
    EXPECT_EQ(try_lock(key, 5, 50, 30, never), lock_result::failed);
    EXPECT_EQ(try_lock(make("rock", IT_ORDINARY), 0, 50, 30, never), lock_result::failed);
    EXPECT_EQ(try_lock(pick, 5, -1, 30, never), lock_result::failed);
    EXPECT_EQ(try_lock(pick, 5, 50, 30, never), lock_result::pick_broken);  // 50 >= 30 and 0 <= 20
    EXPECT_EQ(try_lock(pick, 5, 50, 30, always), lock_result::stays_shut);  // 99 > 20 kept it; 50 < 29 fails
    EXPECT_EQ(try_lock(pick, 5, 20, 60, always), lock_result::opened);      // 20 < 59
    EXPECT_EQ(try_lock(pick, 5, 20, 60, never), lock_result::stays_shut);   // 20 < 0 fails
    EXPECT_EQ(try_lock(pick, 5, 0, 60, never), lock_result::pick_broken);   // difficulty 0 is 100
}

TEST(ItemTranslations, FirstLineNamesRestDescribesOthersUntouched) {
    item_table items;
    item_def sword = make("mec", IT_MELEE);
    std::strcpy(sword.description, "ostry");
    items.set_definitions({sword, sword, sword});
    language_table texts;
    texts[0] = "Sword   \nA sharp blade that is far too long to fit in the field  ";
    texts[1] = "Blade";
    texts[7] = "Nothing";
    texts[-1] = "Nothing";
    apply_item_translations(items, texts);
    EXPECT_STREQ(items.find(1)->name, "Sword");
    EXPECT_EQ(std::strlen(items.find(1)->description), 31u);
    EXPECT_STREQ(items.find(2)->name, "Blade");
    EXPECT_STREQ(items.find(2)->description, "ostry");
    EXPECT_STREQ(items.find(3)->name, "mec");
}

TEST(ItemFiles, LoadsTheFolderAndAMissingItemsFileIsFatal) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vorthan_items_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    path_table[PATH_ITEMS] = folder.string();
    auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    items_file file;
    file.sounds = {"clang.wav"};
    file.definitions = {make("lamp", IT_SPECIAL, 1)};
    write("ITEMS.DAT", write_items_file(file));
    write("IKONY00.LIB", std::vector<uint8_t>(ICONS_PER_LIBRARY * ICON_PICTURE_BYTES, 1));
    write("IKONY02.LIB", std::vector<uint8_t>(ICONS_PER_LIBRARY * ICON_PICTURE_BYTES, 1));
    const std::string rules = "1 2 -> 3;";
    write("COMBITEM.DAT", std::vector<uint8_t>(rules.begin(), rules.end()));

    item_table items;
    items_file names;
    icon_libraries icons;
    load_items(items, names, icons);
    EXPECT_EQ(items.definition_count(), 1);
    EXPECT_EQ(items.light_source(), 1);
    EXPECT_EQ(names.sounds, file.sounds);
    EXPECT_EQ(icons.library_count(), 1);  // 01 is missing, so 02 is never reached
    EXPECT_EQ(read_combine_rules().size(), 1u);

    fs::remove(folder / "COMBITEM.DAT");
    EXPECT_TRUE(read_combine_rules().empty());
    fs::remove(folder / "ITEMS.DAT");
    EXPECT_EXIT(load_items(items, names, icons), ::testing::ExitedWithCode(1),
                "Selhalo otevreni souboru ITEMS.DAT");
    fs::remove_all(folder);
}

TEST(ItemInfo, RequirementLineListsNonZeroRequirementsAndMarksUnmetOnes) {
    item_def bow = make("bow", IT_BOW);
    std::strcpy(bow.description, "long and strong");
    bow.requirements[0] = 20;
    bow.requirements[3] = 45;
    item_table items;
    items.set_definitions({bow});
    party_member archer;
    archer.stats[0] = 30;
    archer.stats[3] = 40;
    auto texts = [](int number) {
        return number == REQUIREMENT_TEXT ? std::string("Str %d") : std::string("Dex %d %s 100%");
    };
    auto info = describe_item(items, archer, 1, texts);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "bow");
    EXPECT_EQ(info->description, "long and strong");
    EXPECT_EQ(info->requirements, "Str 20 Dex 45 %s 100%");  // only the first %d is filled
    EXPECT_TRUE(info->unmet);
    archer.stats[3] = 45;
    info = describe_item(items, archer, 1, texts, 120);
    EXPECT_EQ(info->name, "bow (120)");
    EXPECT_FALSE(info->unmet);
    EXPECT_FALSE(describe_item(items, archer, 2, texts));
}
