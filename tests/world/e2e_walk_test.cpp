// The whole program on the headless display: a walk through the demo's keep
// with the keyboard and the arrow panel, compared with golden pictures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/events.h"
#include "core/handles.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/movement_rules.h"
#include "world/party_standin.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/world/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00, KEY_ESC = 0x011B,
                   KEY_ENTER = 0x1C0D;

struct place {
    int sector = 0, direction = 0, compass = 0;
    std::pair<int, int> cell;
};

// Side events as movement sends them to the map's rules (which get them too).
std::vector<std::pair<int, int>> side_events;
void (*rules_side_event)(int side, int events) = nullptr;
void record_side_event(int side, int events) {
    side_events.emplace_back(side, events);
    if (rules_side_event) rules_side_event(side, events);
}

// The grid cell of a sector of the loaded map.
std::pair<int, int> cell_of(int sector) {
    const map_coord& c = current_map.coords[static_cast<size_t>(sector)];
    return {c.x, c.y};
}

}  // namespace

TEST(EndToEnd, WalkThroughTheKeepMatchesTheGoldenPictures) {
    if (!std::filesystem::exists(demo_dir + "/maps/KEEP.MAP")) GTEST_SKIP() << "the demo is not built";
    side_events.clear();
    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.language = "en";
    uint64_t t = 1000;
    auto key = [&](uint16_t code) {
        options.script.push_back(script_key(t, code));
        t += 1000;
    };
    key(KEY_UP);     // 1000: into the passage
    key(KEY_RIGHT);  // 2000: face east along the long corridor
    key(KEY_UP);     // 3000
    key(KEY_UP);     // 4000
    key(KEY_LEFT);   // 5000: face north, a wall
    key(KEY_UP);     // 6000: blocked
    key(KEY_LEFT);   // 7000: face west
    // 8000, 9000: back west with clicks on the forward arrow of the panel
    for (int i = 0; i < 2; ++i) {
        options.script.push_back(script_mouse_move(t, 569, 400));
        options.script.push_back(script_click(t + 10, 1, true));
        options.script.push_back(script_click(t + 30, 1, false));
        t += 1000;
    }
    key(KEY_RIGHT);                           // 10000: north again
    for (int i = 0; i < 7; ++i) key(KEY_UP);  // 11000 .. 17000: up into the courtyard
    key(KEY_ESC);                             // 18000: asks before leaving
    key(KEY_ENTER);                           // 19000: the question's first button, "Yes"
    const std::vector<uint64_t> checkpoints = {500, 2150, 4800, 6800, 9800, 17800};
    options.checkpoints_ms = checkpoints;
    // What the game side holds at each checkpoint, by requested time.
    std::map<uint64_t, place> places;
    options.on_checkpoint = [&](uint64_t) {
        if (places.empty()) {
            rules_side_event = movement_rules.send_side_event;
            movement_rules.send_side_event = record_side_event;
        }
        places[checkpoints[places.size()]] = {party.sector, party.direction, scene.compass_frame,
                                              cell_of(party.sector)};
    };
    options.stop_at_ms = 30000;
    options.frame_limit = 1000;  // every present of the walk
    const scripted_run_result run = run_scripted(options);
    if (rules_side_event) movement_rules.send_side_event = rules_side_event;
    clear_event_tree();
    free_all_handles();  // what the process exit would free
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_LT(run.end_ms, 20000u);  // Esc ended the game, and the program with it
    ASSERT_EQ(run.checkpoints.size(), checkpoints.size());

    // Where the party stood at each checkpoint (map cells, directions).
    ASSERT_EQ(places.size(), checkpoints.size());
    const auto start = places.begin()->second;
    EXPECT_EQ(start.direction, 0);
    EXPECT_EQ(start.compass, 30);
    // Mid-turn (from north to east) the compass is between its rest frames.
    EXPECT_LT(places[2150].compass, 30);
    EXPECT_GT(places[2150].compass, 20);
    EXPECT_EQ(places[4800].direction, 1);
    EXPECT_EQ(places[4800].compass, 20);
    EXPECT_EQ(places[6800].sector, places[4800].sector);  // the wall did not let the party through
    EXPECT_EQ(places[6800].direction, 0);
    EXPECT_EQ(start.cell, std::make_pair(5, 18));
    EXPECT_EQ(places[4800].cell, std::make_pair(7, 17));
    EXPECT_EQ(places[9800].cell, std::make_pair(5, 17));
    EXPECT_EQ(places[17800].cell, std::make_pair(5, 10));
    EXPECT_EQ(places[9800].direction, 3);
    EXPECT_EQ(places[17800].direction, 0);
    EXPECT_EQ(places[17800].compass, 30);

    // The blocked step sent its side the approach and blocked events.
    const int blocked_side = places[6800].sector * 4 + 0;
    bool approach = false, blocked = false;
    for (const auto& [side, events] : side_events) {
        approach = approach || (side == blocked_side && events == SIDE_EV_APPROACH);
        blocked = blocked || (side == blocked_side && events == SIDE_EV_BLOCKED);
    }
    EXPECT_TRUE(approach);
    EXPECT_TRUE(blocked);

    // Every step and turn that moved ran its transition; the blocked step none.
    auto transitions_between = [&](uint64_t from, uint64_t to) {
        int n = 0;
        for (const headless_frame& f : run.frames) n += f.at_ms >= from && f.at_ms < to && f.in_transition;
        return n;
    };
    EXPECT_GT(transitions_between(1000, 1500), 0);  // step
    EXPECT_GT(transitions_between(2000, 2500), 0);  // turn
    EXPECT_EQ(transitions_between(6000, 6900), 0);  // blocked
    EXPECT_GT(transitions_between(8000, 8500), 0);  // click on the forward arrow

    const char* names[] = {"e2e_start",   "e2e_turning", "e2e_corridor",
                           "e2e_blocked", "e2e_back",    "e2e_courtyard"};
    for (size_t i = 0; i < checkpoints.size(); ++i)
        EXPECT_TRUE(golden::matches(golden_dir + names[i] + ".png", run.checkpoints[i].frame_buffer.data()))
            << names[i];
}

TEST(EndToEnd, AMissingDefaultMapEndsTheRunWithOne) {
    if (!std::filesystem::exists(demo_dir + "/vorthan.ini")) GTEST_SKIP() << "the demo is not built";
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-nomap-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ifstream in(demo_dir + "/vorthan.ini");
        std::ofstream out(folder / "bad.ini");
        std::string line;
        while (std::getline(in, line))
            out << (line.rfind("default_map", 0) == 0 ? "default_map = NOPE.MAP" : line) << "\n";
    }
    scripted_run_options options;
    options.adventure_folder = folder.string();
    options.config_file = "bad.ini";
    options.stop_at_ms = 5000;
    const scripted_run_result run = run_scripted(options);
    clear_event_tree();
    free_all_handles();
    std::filesystem::remove_all(folder);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.fatal_message.has_value());
}
