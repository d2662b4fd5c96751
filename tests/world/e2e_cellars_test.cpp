// The whole program on the headless display, walking through the demo's
// cellars: every mechanism of the map is reached by a real walk from the keep
// and checked in the game's state and, for two of them, in golden pictures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "forge/map_source.h"
#include "forge/map_writer.h"
#include "forge/text_tables.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/monsters_ai/monster_ai.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/view_animation.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/world/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_DOWN = 0x5000, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_SPACE = 0x3920, KEY_ESC = 0x011B, KEY_ENTER = 0x1C0D;
constexpr uint16_t KEY_STEP_LEFT = 0x1E61, KEY_STEP_RIGHT = 0x2064;  // a, d
constexpr uint16_t KEY_J = 0x246A;
constexpr int NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3;
constexpr int HALF_HOUR_18 = 18 * GAME_TIME_HOUR + 30 * 6;  // 18:30 of the first day

// ---------------------------------------------------------------- the map, seen from the game side

int sector_on(int x, int y, int layer) {
    for (int s = 1; s < current_map.sector_count; ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (c.x == x && c.y == y && c.layer == layer) return s;
    }
    return 0;
}
int sector_at(int x, int y) {
    return sector_on(x, y, 0);
}
int side_index(int x, int y, int direction) {
    return sector_at(x, y) * 4 + direction;
}
const map_side& side_at(int x, int y, int direction) {
    return current_map.sides[static_cast<size_t>(side_index(x, y, direction))];
}
bool side_has(int x, int y, int direction, uint32_t flag) {
    return side_at(x, y, direction).flags & flag;
}
int door_frame(int x, int y, int direction) {
    return side_at(x, y, direction).primary_anim >> 4;
}
std::pair<int, int> party_cell() {
    const map_coord& c = current_map.coords[static_cast<size_t>(party.sector)];
    return {c.x, c.y};
}
std::string map_text(int n) {
    const std::string* text = map_string(n);
    return text ? *text : std::string("(no text ") + std::to_string(n) + ")";
}
int item_named(const char* name) {
    const item_table& items = game_items();
    for (int number = 1; number <= items.definition_count(); ++number)
        if (std::strcmp(items.find(number)->name, name) == 0) return number;
    return 0;
}
// The floor quarter of a sector where the item lies, -1 for none.
int quarter_holding(int sector, int item) {
    for (int q = 0; q < FLOOR_QUARTERS; ++q)
        for (int16_t n : floor_list(sector, q))
            if (std::abs(n) == item) return q;
    return -1;
}
// Every sector of the map on whose floor the item lies.
std::vector<int> sectors_holding(int item) {
    std::vector<int> out;
    for (int s = 1; s < current_map.sector_count; ++s)
        if (quarter_holding(s, item) >= 0) out.push_back(s);
    return out;
}

// ---------------------------------------------------------------- listening in on the rules

// World ticks and side events pass through the movement rules table; a walk
// wraps both entries to count ticks and to watch sides tick by tick.
void (*real_world_tick)() = nullptr;
void (*real_side_event)(int side, int events) = nullptr;
int world_ticks = 0;
std::function<void()> after_world_tick;
std::function<void(int side, int events)> on_side_event;

void counting_world_tick() {
    real_world_tick();
    ++world_ticks;
    if (after_world_tick) after_world_tick();
}
// The listener hears an event after the side's script has run.
void listening_side_event(int side, int events) {
    real_side_event(side, events);
    if (on_side_event) on_side_event(side, events);
}
void listen_in() {
    world_ticks = 0;
    real_world_tick = movement_rules.world_tick;
    real_side_event = movement_rules.send_side_event;
    movement_rules.world_tick = counting_world_tick;
    movement_rules.send_side_event = listening_side_event;
}
void stop_listening() {
    if (real_world_tick) movement_rules.world_tick = real_world_tick;
    if (real_side_event) movement_rules.send_side_event = real_side_event;
    real_world_tick = nullptr;
    real_side_event = nullptr;
    after_world_tick = nullptr;
    on_side_event = nullptr;
}

// The state store the maps are written into when they are left: one per test,
// so that no walk finds what another left behind.
std::map<std::string, std::vector<uint8_t>> test_store;
void store_write(const std::string& name, const std::vector<uint8_t>& data) {
    test_store[name] = data;
}
bool store_read(const std::string& name, std::vector<uint8_t>& data) {
    auto it = test_store.find(name);
    if (it == test_store.end()) return false;
    data = it->second;
    return true;
}

// ---------------------------------------------------------------- a scripted walk

// Keys at virtual times and probes that run on the game side at given times.
struct walk {
    scripted_run_options options;
    uint64_t t = 1000;
    std::vector<std::function<void()>> probes;

    // Presses a key now and lets `then` milliseconds pass (a step or a turn
    // takes 125).
    void press(uint16_t key, uint64_t then = 300) {
        options.script.push_back(script_key(t, key));
        t += then;
    }
    void presses(uint16_t key, int count) {
        for (int i = 0; i < count; ++i) press(key);
    }
    // After the step that first enters the cellars: their scene plays inside
    // the step and ends at a key (J, which the game screen ignores). The
    // player looks at the keys after each picture, and its first pictures
    // wait while the sound fills the ring: the video ends about a second on.
    void skip_video() { press(KEY_J, 1700); }
    void wait(uint64_t ms) { t += ms; }
    // A left click at a point of the screen.
    void click(int x, int y) {
        options.script.push_back(script_mouse_move(t, x, y));
        options.script.push_back(script_click(t + 10, 1, true));
        options.script.push_back(script_click(t + 30, 1, false));
        t += 200;
    }
    // Runs fn now on the game side; the frame shown then is checkpoint number (the result).
    size_t probe(std::function<void()> fn) {
        options.checkpoints_ms.push_back(t);
        probes.push_back(std::move(fn));
        return probes.size() - 1;
    }

    scripted_run_result run() {
        press(KEY_ESC);
        press(KEY_ENTER);  // "Yes" to the leave question
        if (options.adventure_folder.empty()) options.adventure_folder = demo_dir;
        options.language = "en";
        options.stop_at_ms = t + 5000;
        options.frame_limit = 0;
        size_t next = 0;
        options.on_checkpoint = [&](uint64_t) {
            if (next == 0) {
                listen_in();
                // Start-up puts the game's own store in; the walk's takes its
                // place before any map is left.
                set_map_state_store({store_write, store_read});
            }
            if (next < probes.size()) probes[next++]();
        };
        test_store.clear();
        // The walks are about the maps, not the fights: the monsters do not
        // watch for the party (the debug console's switch), so the keep's
        // archer, who looks along the south corridor the walks take, does not
        // stop them in a battle on the way to the cellars.
        monster_hooks.ignore_party = true;
        scripted_run_result result = run_scripted(options);
        monster_hooks.ignore_party = false;
        stop_listening();
        set_map_state_store({});
        clear_event_tree();
        free_all_handles();  // what the process exit would free
        EXPECT_EQ(next, probes.size()) << "probes that never ran";
        return result;
    }
};

bool demo_built() {
    return std::filesystem::exists(demo_dir + "/maps/CELLARS.MAP") &&
           std::filesystem::exists(demo_dir + "/maps/KEEP.MAP");
}

// From the keep's start (5 18 north) down the stairs at 15 18 into the cellars.
void keep_to_cellar_stairs(walk& w) {
    w.press(KEY_UP);  // 5 17
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 10);  // 15 17
    w.press(KEY_RIGHT);
    w.press(KEY_UP, 600);  // down the stairs
    w.skip_video();
}

// A side as the map state keeps it.
struct side_state {
    uint32_t flags;
    uint8_t primary_anim, secondary_anim;
    bool operator==(const side_state&) const = default;
};
std::vector<side_state> sides_now() {
    std::vector<side_state> out;
    for (const map_side& s : current_map.sides) out.push_back({s.flags, s.primary_anim, s.secondary_anim});
    return out;
}

}  // namespace

// One walk through every mechanism of the cellars in turn (except the timed
// hook, which has its own walk), up to the keep and down again.
TEST(CellarsEndToEnd, EveryPlaceDoesWhatTheMapSaysAndChangesSurviveARoundTrip) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    walk w;
    keep_to_cellar_stairs(w);
    w.probe([] {
        EXPECT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(2, 1));  // stairs_foot, facing south
        EXPECT_EQ(party.direction, SOUTH);
    });

    // The side message on the way out of the stairs hall.
    w.presses(KEY_UP, 2);  // 2 3
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 3 3
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 3 5, through 3 4 south
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(3, 5));
        EXPECT_EQ(panel_message, map_text(1));
    });

    // The secret wall: it is drawn and marked secret until walked through.
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 4 5
    w.press(KEY_RIGHT);
    w.probe([] { EXPECT_TRUE(side_has(4, 5, SOUTH, SIDE_SECRET | SIDE_P_VIS)); });
    w.press(KEY_UP);
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(4, 6));
        EXPECT_FALSE(side_has(4, 5, SOUTH, SIDE_SECRET));
        EXPECT_EQ(panel_message, map_text(7));
    });
    w.press(KEY_DOWN);  // back to 4 5

    // The instant door: one use and it is gone, both faces.
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 2);  // 6 5, facing east
    w.probe([] {
        EXPECT_TRUE(side_has(6, 5, EAST, SIDE_NOPLAYER | SIDE_P_VIS));
        EXPECT_TRUE(side_has(7, 5, WEST, SIDE_NOPLAYER | SIDE_P_VIS));
    });
    w.press(KEY_SPACE, 100);
    w.probe([] {
        for (const auto& [x, d] : {std::pair{6, EAST}, std::pair{7, WEST}}) {
            EXPECT_FALSE(side_has(x, 5, d, SIDE_P_VIS));
            EXPECT_FALSE(side_has(x, 5, d, SIDE_NOPLAYER));
        }
    });
    w.press(KEY_UP);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(7, 5)); });

    // The animated door: passable only at its last frame, three world ticks
    // after the use; a step at once is refused.
    w.presses(KEY_UP, 3);  // 10 5, facing the door
    struct door_tick {
        int tick, frame;
        bool passable;
    };
    auto opening = std::make_shared<std::vector<door_tick>>();
    auto closing = std::make_shared<std::vector<door_tick>>();
    // Logs the door tick by tick from the moment the side in front is used.
    auto watch = [](std::shared_ptr<std::vector<door_tick>> log, int x, int d) {
        return [=] {
            const int used = side_index(x, 5, d);
            on_side_event = [=](int side, int events) {
                if (side != used || !(events & SIDE_EV_USED)) return;
                const int start = world_ticks;
                after_world_tick = [=] {
                    log->push_back(
                        {world_ticks - start, door_frame(x, 5, d), !side_has(x, 5, d, SIDE_NOPLAYER)});
                };
            };
        };
    };
    w.probe(watch(opening, 10, EAST));
    w.press(KEY_SPACE, 40);
    // The picture shows the door as it was before the last world tick: two
    // ticks in, it stands half open.
    w.press(KEY_UP, 250);  // at once: the door is still shut
    const size_t half_open = w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(10, 5));
        EXPECT_GT(door_frame(10, 5, EAST), 0);
        EXPECT_LT(door_frame(10, 5, EAST), 3);
    });
    w.wait(400);
    w.press(KEY_UP);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(11, 5)); });
    // Closing from the other side: blocking from the first step back.
    w.press(KEY_LEFT);
    w.press(KEY_LEFT);
    w.probe(watch(closing, 11, WEST));
    w.press(KEY_SPACE, 200);
    w.press(KEY_UP, 300);
    w.probe([] {
        after_world_tick = nullptr;
        on_side_event = nullptr;
        EXPECT_EQ(party_cell(), std::make_pair(11, 5));
    });
    w.wait(300);
    w.press(KEY_RIGHT);
    w.press(KEY_RIGHT);

    // The lever raises the grille of the room south of 13 6.
    w.presses(KEY_UP, 2);  // 13 5
    w.press(KEY_RIGHT);
    w.press(KEY_UP);  // 13 6
    w.press(KEY_RIGHT);
    w.probe([] { EXPECT_TRUE(side_has(13, 6, SOUTH, SIDE_NOPLAYER)); });
    w.press(KEY_SPACE, 600);
    w.probe([] {
        for (const auto& [y, d] : {std::pair{6, SOUTH}, std::pair{7, NORTH}}) {
            EXPECT_EQ(door_frame(13, y, d), 3) << y;
            EXPECT_FALSE(side_has(13, y, d, SIDE_NOPLAYER)) << y;
        }
    });
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 13 7, in the room
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(13, 7)); });
    w.press(KEY_DOWN);  // 13 6
    w.press(KEY_LEFT);
    w.press(KEY_STEP_LEFT);  // 13 5, facing east

    // The pressure plate drops the grille behind the party.
    w.presses(KEY_UP, 3);  // 16 5
    w.press(KEY_LEFT);
    w.probe([] { EXPECT_FALSE(side_has(16, 5, NORTH, SIDE_NOPLAYER)); });
    w.press(KEY_UP, 500);  // onto the plate at 16 4
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(16, 4));
        EXPECT_EQ(current_map.sectors[static_cast<size_t>(sector_at(16, 4))].sector_type,
                  SECTOR_PLATE_PRESSED);
        for (const auto& [y, d] : {std::pair{4, SOUTH}, std::pair{5, NORTH}}) {
            EXPECT_TRUE(side_has(16, y, d, SIDE_NOPLAYER)) << y;
            EXPECT_FALSE(side_has(16, y, d, SIDE_P_FORW)) << y;
        }
        EXPECT_EQ(panel_message, map_text(4));
    });
    w.press(KEY_DOWN);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(16, 4)); });

    // The four levers: the door 16 3 east turns when the fourth is pulled,
    // and again each time the set is left or completed.
    auto door_turns = std::make_shared<int>(0);
    w.presses(KEY_UP, 2);  // 16 2, facing north
    w.probe([door_turns] {
        const int door = side_index(16, 3, EAST);
        on_side_event = [door, door_turns](int side, int events) {
            if (side == door && (events & SIDE_EV_CHANGED)) ++*door_turns;
        };
    });
    w.press(KEY_SPACE);
    w.press(KEY_RIGHT);
    w.press(KEY_SPACE);
    w.press(KEY_RIGHT);
    w.press(KEY_SPACE);  // the lever on the arch
    w.press(KEY_RIGHT);
    w.probe([door_turns] {
        EXPECT_EQ(*door_turns, 0);
        EXPECT_FALSE(side_has(16, 3, EAST, SIDE_P_FORW));
    });
    w.press(KEY_SPACE);
    w.probe([door_turns] {
        EXPECT_EQ(*door_turns, 1);
        EXPECT_TRUE(side_has(16, 3, EAST, SIDE_P_FORW));
        EXPECT_EQ(panel_message, map_text(8));
    });
    w.press(KEY_SPACE);  // released again
    w.probe([door_turns] {
        EXPECT_EQ(*door_turns, 2);
        EXPECT_FALSE(side_has(16, 3, EAST, SIDE_P_FORW));
    });
    w.press(KEY_SPACE, 700);  // and pulled once more: the way on opens
    w.probe([door_turns] {
        EXPECT_EQ(*door_turns, 3);
        EXPECT_FALSE(side_has(16, 3, EAST, SIDE_NOPLAYER));
        on_side_event = nullptr;
    });
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 16 3
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 2);  // 18 3, through the door
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 18 5
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 3);  // 21 5
    w.press(KEY_RIGHT);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(21, 5)); });

    // The chain: one pull raises three grilles, at once, after 6 and after
    // 12 world ticks.
    // For each grille, the world tick after the pull at which it began to rise.
    auto raised_at = std::make_shared<std::array<int, 3>>();
    w.probe([raised_at] {
        raised_at->fill(-1);
        const int lever = side_index(21, 5, SOUTH);
        on_side_event = [raised_at, lever](int side, int events) {
            if (side != lever || !(events & SIDE_EV_USED)) return;
            const int start = world_ticks;
            auto look = [raised_at, start] {
                for (int i = 0; i < 3; ++i)
                    if ((*raised_at)[static_cast<size_t>(i)] < 0 && side_has(22, 5 + i, SOUTH, SIDE_P_FORW))
                        (*raised_at)[static_cast<size_t>(i)] = world_ticks - start;
            };
            look();
            after_world_tick = look;
        };
    });
    w.press(KEY_SPACE, 50);
    w.probe([] {
        EXPECT_TRUE(side_has(22, 5, SOUTH, SIDE_P_FORW));
        EXPECT_FALSE(side_has(22, 6, SOUTH, SIDE_P_FORW));
        EXPECT_FALSE(side_has(22, 7, SOUTH, SIDE_P_FORW));
        EXPECT_EQ(map_actions.delayed.size(), 2u);
        EXPECT_EQ(panel_message, map_text(6));
    });
    w.wait(2000);
    w.probe([] {
        after_world_tick = nullptr;
        on_side_event = nullptr;
        EXPECT_TRUE(map_actions.delayed.empty());
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(side_has(22, 5 + i, SOUTH, SIDE_NOPLAYER)) << i;
    });

    // The code lock: a wrong sequence leaves the door shut, the right one
    // (star, moon, sun, rune) opens it.
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 22 5, through 21 5 east: the hint
    w.probe([] { EXPECT_EQ(panel_message, map_text(2)); });
    w.press(KEY_LEFT);             // facing the sun button
    for (int i = 0; i < 3; ++i) {  // sun, moon, star, rune
        w.press(KEY_SPACE);
        w.press(KEY_STEP_RIGHT);
    }
    w.press(KEY_SPACE, 600);
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(25, 5));
        EXPECT_FALSE(side_has(26, 5, EAST, SIDE_P_FORW));
        EXPECT_TRUE(side_has(26, 5, EAST, SIDE_NOPLAYER));
    });
    w.press(KEY_STEP_LEFT);
    w.press(KEY_SPACE);  // star
    w.press(KEY_STEP_LEFT);
    w.press(KEY_SPACE);  // moon
    w.press(KEY_STEP_LEFT);
    w.press(KEY_SPACE);  // sun
    w.presses(KEY_STEP_RIGHT, 3);
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(25, 5));
        EXPECT_FALSE(side_has(26, 5, EAST, SIDE_P_FORW));
    });
    w.press(KEY_SPACE, 100);  // rune
    w.probe([] {
        EXPECT_TRUE(side_has(26, 5, EAST, SIDE_P_FORW));
        EXPECT_EQ(panel_message, map_text(3));
    });
    w.press(KEY_STEP_RIGHT);  // 26 5
    w.press(KEY_RIGHT, 600);
    const size_t code_door_open = w.probe([] {
        EXPECT_EQ(door_frame(26, 5, EAST), 3);
        EXPECT_FALSE(side_has(26, 5, EAST, SIDE_NOPLAYER));
    });

    // The teleporter beyond the code door takes the party to 3 3, facing north.
    w.presses(KEY_UP, 2);  // 28 5
    w.press(KEY_LEFT);
    w.press(KEY_UP, 300);  // onto the teleporter at 28 4
    auto before_leaving = std::make_shared<std::vector<side_state>>();
    w.probe([before_leaving] {
        EXPECT_EQ(party_cell(), std::make_pair(3, 3));
        EXPECT_EQ(party.direction, NORTH);
        *before_leaving = sides_now();
        // Its glow is seen: the teleport's animation plays over the view,
        // and the party waits for it before the next step.
        EXPECT_TRUE(view_animation_running());
    });
    w.wait(2000);
    w.probe([] { EXPECT_FALSE(view_animation_running()); });

    // Up to the keep and down again: the changed sides come back from the store.
    w.presses(KEY_UP, 2);  // 3 1
    w.press(KEY_LEFT);
    w.press(KEY_UP);       // 2 1
    w.press(KEY_UP, 600);  // into the stairs
    w.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(15, 17));
        EXPECT_EQ(party.direction, NORTH);
        EXPECT_TRUE(test_store.count("CELLARS.MAP"));
    });
    w.press(KEY_RIGHT);
    w.press(KEY_RIGHT);
    w.press(KEY_UP, 600);
    w.probe([before_leaving] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(2, 1));
        EXPECT_TRUE(sides_now() == *before_leaving);
        EXPECT_FALSE(side_has(6, 5, EAST, SIDE_P_VIS));
        EXPECT_FALSE(side_has(4, 5, SOUTH, SIDE_SECRET));
        EXPECT_TRUE(side_has(16, 4, SOUTH, SIDE_NOPLAYER));
        EXPECT_TRUE(side_has(26, 5, EAST, SIDE_P_FORW));
    });

    // The secret wall's text was a once-only record: walking through again
    // leaves the side message's text on the panel.
    w.presses(KEY_UP, 2);
    w.press(KEY_LEFT);
    w.press(KEY_UP);
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 3 5: the side message again
    w.press(KEY_LEFT);
    w.press(KEY_UP);
    w.press(KEY_RIGHT);
    w.press(KEY_UP);  // through the secret wall
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(4, 6));
        EXPECT_EQ(panel_message, map_text(1));
    });

    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), w.probes.size());

    // Tick by tick: the door opens in three ticks and lets the party through
    // only at its last frame; closing, it blocks from the first tick.
    ASSERT_GE(opening->size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*opening)[i].frame, static_cast<int>(i) + 1);
        EXPECT_EQ((*opening)[i].passable, i == 2) << "tick " << i + 1;
    }
    ASSERT_GE(closing->size(), 1u);
    EXPECT_EQ(closing->front().frame, 2);
    EXPECT_FALSE(closing->front().passable);
    // The chain's grilles, in the ticks after the pull.
    EXPECT_EQ((*raised_at)[0], 0);  // at once
    EXPECT_EQ((*raised_at)[1], 6);
    EXPECT_EQ((*raised_at)[2], 12);

    EXPECT_TRUE(golden::matches(golden_dir + "e2e_cellars_door_half_open.png",
                                run.checkpoints[half_open].frame_buffer.data()));
    EXPECT_TRUE(golden::matches(golden_dir + "e2e_cellars_code_door_open.png",
                                run.checkpoints[code_door_open].frame_buffer.data()));
}

// Down the shaft, and the timed hook the cellars set for 18:30: leaving the
// map before then and coming back by the stairs sets it again, and it fires
// at the party timer's tick that reaches 18:30, not before.
TEST(CellarsEndToEnd, ShaftLandsAtItsPlaceAndTheCellBellRingsAtTheNextHalfPastSix) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    walk w;
    w.press(KEY_UP);  // 5 17
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 11);  // 16 17
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 4);  // 16 13
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 6);  // 22 13, in the store room
    w.press(KEY_RIGHT);
    w.press(KEY_UP);       // 22 14
    w.press(KEY_UP, 600);  // into the shaft
    w.skip_video();
    auto cell_hook = [] {
        const global_hook& hook = global_hooks[HOOK_TIMED_FIRST];
        EXPECT_EQ(hook.sector, sector_at(8, 7));
        EXPECT_EQ(hook.side, SOUTH);
        EXPECT_EQ(hook.time, HALF_HOUR_18);
    };
    w.probe([cell_hook] {
        EXPECT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(3, 2));  // shaft_bottom, facing south
        EXPECT_EQ(party.direction, SOUTH);
        EXPECT_EQ(game_time, 0);
        cell_hook();
    });

    // Up the stairs and down again before the evening.
    w.press(KEY_RIGHT);
    w.press(KEY_UP);  // 2 2
    w.press(KEY_RIGHT);
    w.press(KEY_UP);  // 2 1
    w.press(KEY_LEFT);
    w.press(KEY_UP, 600);  // up to the keep
    w.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(global_hooks[HOOK_TIMED_FIRST].sector, 0);
    });
    w.press(KEY_RIGHT);
    w.press(KEY_RIGHT);
    w.press(KEY_UP, 600);  // down again: the party timer starts anew
    struct evening {
        int32_t time;
        bool grille_rising;
    };
    auto log = std::make_shared<std::vector<evening>>();
    w.probe([cell_hook, log] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        cell_hook();
        EXPECT_TRUE(side_has(8, 5, SOUTH, SIDE_NOPLAYER));
        game_time = HALF_HOUR_18 - 1;
        after_world_tick = [log] { log->push_back({game_time, side_has(8, 5, SOUTH, SIDE_P_FORW)}); };
    });
    w.wait(13000);  // the party timer's first tick comes 12.5 s after the screen starts
    w.probe([] {
        after_world_tick = nullptr;
        EXPECT_EQ(game_time, HALF_HOUR_18);
        EXPECT_EQ(global_hooks[HOOK_TIMED_FIRST].sector, 0);  // a fired hook is cleared
        EXPECT_EQ(door_frame(8, 5, SOUTH), 3);
        EXPECT_FALSE(side_has(8, 5, SOUTH, SIDE_NOPLAYER));
        EXPECT_EQ(panel_message, map_text(5));
    });

    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_FALSE(log->empty());
    for (const evening& e : *log) EXPECT_EQ(e.grille_rising, e.time >= HALF_HOUR_18) << e.time;
    EXPECT_TRUE(log->back().grille_rising);
}

// What the party throws or lets fall goes where the map leads it: a dagger
// thrown north from 1 5 strikes the old well's back wall, falls down the
// shaft and lies in the cistern under it (2 9 on the layer below) and nowhere
// above; items put onto the teleporter at 28 4 lie in the same quarter of its
// target 3 3, and so does one thrown low through it from 28 5.
TEST(CellarsEndToEnd, ThrownIntoTheWellItLandsInTheCisternAndTheTeleporterPassesItemsToItsTarget) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    walk w;
    keep_to_cellar_stairs(w);
    w.presses(KEY_UP, 2);  // 2 3
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 3 3
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 3 5
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 1 5, facing west
    w.press(KEY_RIGHT);
    auto dagger = std::make_shared<int>(0);
    w.probe([dagger] {
        ASSERT_EQ(party_cell(), std::make_pair(1, 5));
        ASSERT_EQ(party.direction, NORTH);
        const map_sector& well = current_map.sectors[static_cast<size_t>(sector_at(1, 4))];
        EXPECT_EQ(well.sector_type, SECTOR_PIT);
        EXPECT_EQ(well.action_target, sector_on(2, 9, -1));
        *dagger = item_named("Dagger");
        ASSERT_NE(*dagger, 0);
        EXPECT_TRUE(sectors_holding(*dagger).empty());
        game_held() = {static_cast<int16_t>(*dagger)};
    });
    w.click(330, 150);  // above the floor: a throw
    w.probe([] {
        EXPECT_TRUE(game_held().empty());
        EXPECT_EQ(flying_objects().size(), 1u);
    });
    // Up to the wall, down the well, then from the top of the cistern's
    // air to its floor: about 30 flight ticks.
    w.wait(3500);
    w.probe([dagger] {
        EXPECT_TRUE(flying_objects().empty());
        const int cistern = sector_on(2, 9, -1);
        EXPECT_EQ(sectors_holding(*dagger), std::vector<int>{cistern});
        // It struck the back wall and fell straight down: the far half, on
        // the right of the throw.
        EXPECT_EQ(quarter_holding(cistern, *dagger), 1);
    });
    // Down the steps to the cistern: from 2 8 it lies ahead on the left, in
    // the near half of 2 9, and a click on the floor there takes it.
    w.press(KEY_RIGHT);
    w.press(KEY_RIGHT);
    w.press(KEY_UP, 600);  // 1 6, the steps
    w.press(KEY_UP, 600);  // 1 7 below
    w.press(KEY_UP);       // 1 8
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 2 8
    w.press(KEY_RIGHT);
    w.probe([] {
        EXPECT_EQ(party.sector, sector_on(2, 8, -1));
        EXPECT_EQ(party.direction, SOUTH);
    });
    w.click(200, 318);
    w.probe([dagger] {
        EXPECT_EQ(game_held(), held_list{static_cast<int16_t>(*dagger)});
        EXPECT_TRUE(sectors_holding(*dagger).empty());
    });

    // The teleporter: the party is put at 28 5 facing it.
    auto dropped = std::make_shared<std::array<int, 4>>();
    w.probe([dropped] {
        place_party(sector_at(28, 5), NORTH);
        mark_party_sectors();
        redraw_scene();
        const int teleporter = sector_at(28, 4);
        ASSERT_EQ(current_map.sectors[static_cast<size_t>(teleporter)].action_target, sector_at(3, 3));
        const char* names[4] = {"Short sword", "Hand axe", "Apple", "Cheese"};
        for (int q = 0; q < 4; ++q) {
            (*dropped)[static_cast<size_t>(q)] = item_named(names[q]);
            held_list stack{static_cast<int16_t>(item_named(names[q]))};
            drop_items(teleporter, q, stack);
            EXPECT_TRUE(stack.empty());
        }
    });
    w.probe([dropped] {
        for (int q = 0; q < 4; ++q) {
            const int item = (*dropped)[static_cast<size_t>(q)];
            EXPECT_EQ(sectors_holding(item), std::vector<int>{sector_at(3, 3)}) << q;
            EXPECT_EQ(quarter_holding(sector_at(3, 3), item), q);
        }
    });
    // The dagger from the cistern, thrown low through it, comes down on 3 3
    // ahead on the right, where it was falling.
    w.click(330, 300);  // just above the floor band
    w.wait(1500);
    w.probe([dagger] {
        EXPECT_TRUE(game_held().empty());
        EXPECT_TRUE(flying_objects().empty());
        EXPECT_EQ(sectors_holding(*dagger), std::vector<int>{sector_at(3, 3)});
        EXPECT_EQ(quarter_holding(sector_at(3, 3), *dagger), 1);
        game_held() = {static_cast<int16_t>(item_named("Throwing knife"))};
    });
    // Thrown high, a knife keeps flying north out of 3 3 across the stairs
    // hall and comes down against the hall's north wall at 3 1.
    w.click(330, 150);
    w.wait(2500);
    w.probe([] {
        EXPECT_TRUE(flying_objects().empty());
        const int knife = item_named("Throwing knife");
        EXPECT_EQ(sectors_holding(knife), std::vector<int>{sector_at(3, 1)});
        EXPECT_EQ(quarter_holding(sector_at(3, 1), knife), 1);
    });

    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), w.probes.size());
}

namespace {

// A corridor of three cells whose first side sets off two sides that COPY to
// each other, and whose second side runs a script that jumps to itself.
constexpr const char* LOOP_MAP_SOURCE = R"(
[map]
title = Loop
start = 1 1 east

[textures]
wall ruin = KRUIN.PCX KRUINL.PCX KRUINR.PCX
floor flags = KFLAGS.PCX
ceiling vault = KVAULT.PCX

[legend]
# = wall=ruin
. = floor=flags ceiling=vault

[grid]
#####
#...#
#####

[sides]
1 1 east: flags=+PASS action=show_hide target=2,1,north
2 1 north: primary=ruin flags=+P_VIS+COPY action=show_hide target=3,1,north
3 1 north: primary=ruin flags=+P_VIS+COPY action=show_hide target=2,1,north

[script 2 1 east]
passed: if_flag flag=P_VIS not jump=@after
passed: set_story_flag flag=9 set
@after
passed: set_story_flag flag=10 set

[texts]
0
)";

// The demo's configuration with the maps taken from a folder of the test's
// own and the loop map as the map a new game starts on.
class loop_adventure {
  public:
    loop_adventure()
        : dir_(std::filesystem::temp_directory_path() / ("vorthan-loop-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_ / "maps");
        std::ifstream in(demo_dir + "/vorthan.ini");
        std::ofstream out(dir_ / "loop.ini");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("maps", 0) == 0)
                line = "maps = " + (dir_ / "maps").string();
            else if (line.rfind("default_map", 0) == 0)
                line = "default_map = LOOP.MAP";
            out << line << "\n";
        }
    }
    ~loop_adventure() { std::filesystem::remove_all(dir_); }
    // The map file and its string table.
    void write_map(const std::vector<uint8_t>& bytes, const std::string& texts) const {
        std::ofstream out(dir_ / "maps" / "LOOP.MAP", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        std::ofstream(dir_ / "maps" / "LOOP.txt", std::ios::binary) << texts;
    }
    std::string folder() const { return dir_.string(); }

  private:
    std::filesystem::path dir_;
};

}  // namespace

TEST(LoopMapEndToEnd, SelfJumpingScriptAndSidesCopyingToEachOtherEndAndThePartyWalksOn) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    forge::map_source_result source = forge::compile_map_source(LOOP_MAP_SOURCE, "loop.mapsrc");
    ASSERT_TRUE(source.ok()) << source.errors.front();
    // The forge refuses a test that jumps to itself; the record is made to by hand.
    ASSERT_EQ(source.map.multiactions.size(), 1u);
    std::vector<uint8_t>& test = source.map.multiactions[0].records.at(0);
    ASSERT_EQ(test[0] & MA_COMMAND_MASK, static_cast<uint8_t>(MA_IF_FLAG));
    test[6] = test[7] = 0;
    loop_adventure adventure;
    adventure.write_map(forge::build_map_file(source.map), forge::numbered_table_text(source.texts));

    walk w;
    w.options.adventure_folder = adventure.folder();
    w.options.config_file = "loop.ini";
    w.press(KEY_UP);  // 2 1: the pair of COPY sides
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(2, 1));
        // 2 1 north passed the show_hide on to 3 1 north and got it back once.
        EXPECT_TRUE(side_has(2, 1, NORTH, SIDE_P_VIS));
        EXPECT_FALSE(side_has(3, 1, NORTH, SIDE_P_VIS));
        EXPECT_TRUE(side_has(2, 1, NORTH, SIDE_COPY));
        EXPECT_TRUE(side_has(3, 1, NORTH, SIDE_COPY));
    });
    w.press(KEY_UP);  // 3 1: the script that jumps to itself
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(3, 1));
        EXPECT_FALSE(story_flag(9));
        EXPECT_FALSE(story_flag(10));
    });
    w.press(KEY_DOWN);
    w.press(KEY_DOWN);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(1, 1)); });
    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
}
