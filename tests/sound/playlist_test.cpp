// Playlists: the modes, the rounds, missing files, and lists that never give
// a piece that sounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "base/paths.h"
#include "core/random.h"
#include "sound/playlist_rules.h"

namespace {

struct fake_folder {
    std::set<std::string> files;
    uint32_t seed = 1;
    playlist_world world() {
        return {"music", [this](const std::string& path) { return files.count(path) > 0; },
                [this](int n) {
                    seed = seed * 1103515245 + 12345;
                    return int((seed >> 16) % uint32_t(n));
                }};
    }
};

std::vector<std::string> picks(playlist& list, fake_folder& folder, int count) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        auto path = next_piece(list, folder.world());
        out.push_back(path ? *path : "(none)");
        if (path) piece_heard(list);
    }
    return out;
}

TEST(Playlist, ForwardInAnyCasePlaysInOrderAndStartsOver) {
    fake_folder folder{{"music/a.mus", "music/b.mus"}};
    auto list = parse_playlist("  forward a.mus b.mus");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->mode, PLAYLIST_FORWARD);
    EXPECT_EQ(picks(*list, folder, 5), (std::vector<std::string>{"music/a.mus", "music/b.mus", "music/a.mus",
                                                                 "music/b.mus", "music/a.mus"}));
}

TEST(Playlist, WithoutAKeywordRandomPlaysEveryPieceOncePerRound) {
    fake_folder folder{{"music/a.mus", "music/b.mus", "music/c.mus"}};
    auto list = parse_playlist("a.mus b.mus c.mus");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->mode, PLAYLIST_RANDOM);
    ASSERT_EQ(list->entries.size(), 3u);
    EXPECT_EQ(list->entries[0], "!a.mus");
    for (int seed = 1; seed < 20; ++seed) {
        folder.seed = seed;
        const auto played = picks(*list, folder, 6);
        for (int round = 0; round < 2; ++round)
            EXPECT_EQ(std::set<std::string>(played.begin() + 3 * round, played.begin() + 3 * round + 3),
                      (std::set<std::string>{"music/a.mus", "music/b.mus", "music/c.mus"}));
    }
}

TEST(Playlist, FirstStartsWithItsFirstPieceAndGoesOnAtRandom) {
    fake_folder folder{{"music/x.mus", "music/y.mus", "music/z.mus"}};
    for (int seed = 1; seed < 20; ++seed) {
        folder.seed = seed;
        auto list = parse_playlist("FIRST x.mus y.mus z.mus");
        ASSERT_TRUE(list);
        EXPECT_EQ(list->mode, PLAYLIST_RANDOM);
        const auto played = picks(*list, folder, 4);
        EXPECT_EQ(played[0], "music/x.mus");
        EXPECT_EQ(std::set<std::string>(played.begin() + 1, played.end()),
                  (std::set<std::string>{"music/x.mus", "music/y.mus", "music/z.mus"}));
    }
}

TEST(Playlist, TextsWithoutNamesGiveNoPlaylist) {
    EXPECT_FALSE(parse_playlist(""));
    EXPECT_FALSE(parse_playlist("   "));
    EXPECT_FALSE(parse_playlist("RANDOM"));
    EXPECT_FALSE(parse_playlist("first   "));
    // Two spaces make an empty name; names are cut at 256 characters.
    auto list = parse_playlist("a.mus  " + std::string(300, 'n'));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->entries.size(), 3u);
    EXPECT_EQ(list->entries[1], "!");
    EXPECT_EQ(list->entries[2].size(), 1 + PLAYLIST_NAME_LIMIT);
}

TEST(Playlist, MissingPieceStopsTheMusicAndIsTriedAgainLater) {
    fake_folder folder{{"music/a.mus"}};
    auto list = parse_playlist("FORWARD a.mus b.mus");
    EXPECT_EQ(picks(*list, folder, 2), (std::vector<std::string>{"music/a.mus", "(none)"}));
    folder.files.insert("music/b.mus");
    EXPECT_EQ(picks(*list, folder, 2), (std::vector<std::string>{"music/b.mus", "music/a.mus"}));
}

TEST(Playlist, ListOfEmptyOrMissingPiecesEndsInsteadOfCyclingForever) {
    // A controller that goes on to the next piece as soon as one ends, over
    // pieces that exist but give no sound, and names that are empty or missing.
    fake_folder folder{{"music/silent1.mus", "music/silent2.mus"}};
    for (const char* text : {"FORWARD silent1.mus silent2.mus", "silent1.mus  missing.mus silent2.mus",
                             "FORWARD  missing.mus"}) {
        auto list = parse_playlist(text);
        ASSERT_TRUE(list);
        int pieces = 0, last_piece = -1;
        for (int ask = 0; ask < 1000; ++ask)
            if (next_piece(*list, folder.world())) ++pieces, last_piece = ask;
        EXPECT_LE(pieces, 2) << text;
        EXPECT_LT(last_piece, int(list->entries.size())) << text;
    }
    // Once a piece is heard the list plays on.
    auto list = parse_playlist("FORWARD silent1.mus silent2.mus");
    for (int ask = 0; ask < 10; ++ask) next_piece(*list, folder.world());
    piece_heard(*list);
    EXPECT_EQ(next_piece(*list, folder.world()), "music/silent1.mus");
}

TEST(Playlist, TheMusicPlaylistUsesTheMusicFolder) {
    const auto folder = std::filesystem::path(VORTHAN_BINARY_DIR) / "test-home" / "playlist_test";
    std::filesystem::create_directories(folder / "sub");
    std::ofstream(folder / "one.mus") << "x";
    path_table[PATH_MUSIC] = folder.string();
    random_seed(7);
    playlist_set("FORWARD one.mus sub");
    EXPECT_EQ(playlist_next(), build_path(folder.string(), "one.mus"));
    playlist_heard();
    EXPECT_FALSE(playlist_next());  // a folder is no piece
    playlist_clear();
    EXPECT_FALSE(playlist_next());
    playlist_set(nullptr);
    EXPECT_FALSE(playlist_next());

    // A piece alone is played again and again without drawing on the game's dice.
    playlist_set("one.mus");
    random_seed(7);
    const int16_t before = int16_t(random(32768));
    random_seed(7);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(playlist_next(), build_path(folder.string(), "one.mus"));
        playlist_heard();
    }
    EXPECT_EQ(int16_t(random(32768)), before);
    playlist_clear();
}

}  // namespace
