// The world map: its script's conditions, blocks and errors on small scripts,
// the bounded index picture and description box, and travel on a small map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/decoders.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handle_ids.h"
#include "forge/globmap_source.h"
#include "forge/pcx_writer.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "map_test_files.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/map_state.h"
#include "world/party_standin.h"
#include "world/world_map.h"

namespace {

struct script_run {
    world_script_state state;
    std::vector<std::string> drawn;
    std::optional<world_script_error> error;
};

// Runs a script with story flags `flags` set, the maps `visited` visited and
// KEEP.MAP as the current map in sector 7.
script_run run(const std::string& script, std::vector<int> flags = {},
               std::vector<std::string> visited = {}) {
    script_run r;
    world_script_calls calls;
    calls.story_flag = [flags](int n) { return std::find(flags.begin(), flags.end(), n) != flags.end(); };
    calls.visited = [visited](const std::string& w) {
        return std::find(visited.begin(), visited.end(), w) != visited.end();
    };
    calls.draw = [&r](const std::string& picture, int x, int y) {
        r.drawn.push_back(picture + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    calls.current_map = "KEEP.MAP";
    calls.sector = 7;
    r.error = run_world_script_text(script, r.state, calls);
    return r;
}

bool defined(const script_run& r, int place) {
    return r.state.places[static_cast<size_t>(place)].defined;
}

TEST(WorldScript, ColonLineDefinesPlaceWhateverTheState) {
    const script_run r = run(":INDX=3;MAP=CELLARS.MAP;TEXT=The cellars under the keep  \n");
    ASSERT_FALSE(r.error);
    EXPECT_TRUE(defined(r, 3));
    EXPECT_EQ(r.state.places[3].map, "CELLARS.MAP");
    EXPECT_EQ(r.state.places[3].text, "The cellars under the keep");
    // Map files keep 12 characters, descriptions 127.
    const script_run longer = run(":INDX=1;MAP=ABCDEFGHIJKLMNOP;TEXT=" + std::string(200, 'x'));
    EXPECT_EQ(longer.state.places[1].map, "ABCDEFGHIJKL");
    EXPECT_EQ(longer.state.places[1].text->size(), 127u);
}

TEST(WorldScript, ConditionsTestFlagsVisitsMapsPlacesAndSectors) {
    const std::string script =
        ":INDX=3\n"
        "!FLG 12:UNDEF=3\n"
        "FOREST && FLG 4:INDX=10\n"
        "FLG 1 || FLG 2:INDX=11\n"
        "! CURMAP keep.map:INDX=12\n"
        "IFDEF 3 && SEKTOR 7:INDX=13\n"
        "!forest:INDX=14\n";
    const script_run none = run(script);
    EXPECT_FALSE(defined(none, 3));  // removed while flag 12 is clear
    EXPECT_FALSE(defined(none, 10));
    EXPECT_FALSE(defined(none, 11));
    EXPECT_FALSE(defined(none, 12));  // the current map is KEEP.MAP
    EXPECT_FALSE(defined(none, 13));
    EXPECT_TRUE(defined(none, 14));
    const script_run all = run(script, {12, 4, 2}, {"FOREST", "forest"});
    EXPECT_TRUE(defined(all, 3));
    EXPECT_TRUE(defined(all, 10));
    EXPECT_TRUE(defined(all, 11));
    EXPECT_TRUE(defined(all, 13));
    EXPECT_FALSE(defined(all, 14));
    // Left to right from false: OR, then AND after "&&", OR again after "||".
    EXPECT_FALSE(defined(run("FLG 1 && FLG 2 || FLG 3:INDX=5", {1}), 5));
    EXPECT_TRUE(defined(run("FLG 1 && FLG 2 || FLG 3:INDX=5", {3}), 5));
    // A map's name is the party's visit there, not a keyword.
    EXPECT_FALSE(defined(run("FOREST && FLG 4:INDX=10", {4}), 10));
}

TEST(WorldScript, KeywordsMayBeAbbreviatedAndWrittenInAnyCase) {
    const script_run r = run(":IND=4;m=A.MAP\n:index=5;te=Five\n:INDX=6\n:un=6\n");
    ASSERT_FALSE(r.error) << r.error->message;
    EXPECT_TRUE(defined(r, 4));
    EXPECT_EQ(r.state.places[4].map, "A.MAP");
    EXPECT_EQ(r.state.places[5].text, "Five");
    EXPECT_FALSE(defined(r, 6));
}

TEST(WorldScript, FalseConditionSkipsItsBlockUpToTheMatchingBrace) {
    const std::string script =
        "FLG 1:{\n"
        "  :INDX=1\n"
        "  FLG 2:\n"
        "  {\n"
        "    :INDX=2\n"
        "  }\n"
        "  :INDX=3 ` a comment } {\n"
        "}\n"
        ":INDX=4\n";
    const script_run off = run(script);
    ASSERT_FALSE(off.error) << off.error->message;
    EXPECT_FALSE(defined(off, 1));
    EXPECT_FALSE(defined(off, 2));
    EXPECT_FALSE(defined(off, 3));
    EXPECT_TRUE(defined(off, 4));
    const script_run on = run(script, {1});
    ASSERT_FALSE(on.error) << on.error->message;
    EXPECT_TRUE(defined(on, 1));
    EXPECT_FALSE(defined(on, 2));
    EXPECT_TRUE(defined(on, 3));
    EXPECT_TRUE(defined(on, 4));
    EXPECT_TRUE(defined(run(script, {1, 2}), 2));
}

TEST(WorldScript, ConditionsContinueOnTheNextLineAndLinesWithoutColonDoNothing) {
    EXPECT_TRUE(defined(run("FLG 1 `first\n  && FLG 2 : INDX=5", {1, 2}), 5));
    EXPECT_FALSE(defined(run("FLG 1\n  && FLG 2 : INDX=5", {1}), 5));
    const script_run r = run("INDX=5\nFLG 1\n:INDX=6\n", {});
    ASSERT_FALSE(r.error) << r.error->message;
    EXPECT_FALSE(defined(r, 5));
}

TEST(WorldScript, BreakStopsTheWholeScript) {
    const script_run r = run(":DRAW=back.pcx,0,0\n:BREAK\n:DRAW=late.pcx,1,2\n");
    EXPECT_EQ(r.drawn, std::vector<std::string>{"back.pcx@0,0"});
    const script_run in_block = run("{\n:DRAW=a.pcx,5,-6;BREAK;DRAW=b.pcx,0,0\n}\n:INDX=1");
    ASSERT_FALSE(in_block.error);
    EXPECT_EQ(in_block.drawn, std::vector<std::string>{"a.pcx@5,-6"});
    EXPECT_FALSE(defined(in_block, 1));
}

struct error_case {
    const char* script;
    int line;
    std::string message;
};

TEST(WorldScript, ErrorsNameTheLineAndTheFault) {
    const std::string number =
        "O\xEF\xBF\xBD"
        "ek\xEF\xBF\xBD"
        "v\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo";
    const std::string flag_range =
        "\xEF\xBF\xBD\xEF\xBF\xBDslo vlajky (FLG) mus\xEF\xBF\xBD b\xEF\xBF\xBDt v rozsahu 0-255!";
    const error_case cases[] = {
        {":INDX=1\n\nFLG 300:INDX=2", 3, flag_range},
        {"FLG -1:INDX=2", 1, flag_range},
        {"FLG x:INDX=2", 1, "Za FLG mus\xEF\xBF\xBD b\xEF\xBF\xBDt \xEF\xBF\xBD\xEF\xBF\xBDslo!"},
        {"IFDEF:INDX=2", 1, number},
        {"IFDEF 256:INDX=2", 1, "IFDEF <0,255>"},
        {"IFDEF -3:INDX=2", 1, "IFDEF <0,255>"},
        {"SEKTOR a:INDX=2", 1, number},
        {":INDX=256", 1, "INDX=<0,255>"},
        {":INDX=-1", 1, "INDX=<0,255>"},
        {":INDX=three", 1, "INDX=?"},
        {":UNDEF=999", 1, "UNDEF=<0,255>"},
        {":UNDEF=", 1, "UNDEF=?"},
        {":DRAW=a.pcx 3", 1, "Ocekava se znak ','"},
        {":DRAW=a.pcx,x,1", 1, number + " xp"},
        {":DRAW=a.pcx,1,", 1, number + " yp"},
        {":INDX 3", 1, "Ocekava se znak '='"},
        {":INDX=3 MAP=X", 1, "Ocekava se znak ';'"},
        {":=3", 1,
         "O\xEF\xBF\xBD"
         "ek\xEF\xBF\xBD"
         "v\xEF\xBF\xBD se jm\xEF\xBF\xBDno definice (p\xEF\xBF\xBD\xEF\xBF\xBDklad: INDX=)"},
        {":Nonsense=3", 1, "Nonsense"},
        {":FLG=3", 1, "FLG"},
        {":INDX=1\n}\n", 2, "Ocekava se znak '{'"},
        {"FLG 1:{\n:INDX=1\n", 3, "Ocekava se znak '}'"},
        {":{\n:INDX=1\n", 3, "Ocekava se znak '}'"},
    };
    for (const error_case& c : cases) {
        const script_run r = run(c.script, {1});
        ASSERT_TRUE(r.error) << c.script;
        EXPECT_EQ(r.error->line, c.line) << c.script;
        EXPECT_EQ(r.error->message, c.message) << c.script;
    }
}

TEST(WorldScript, ScriptEndsAtItsFirstNulByte) {
    const std::string script = std::string(":INDX=1\n", 8) + std::string(1, '\0') + ":INDX=2\n";
    const script_run r = run(script);
    EXPECT_TRUE(defined(r, 1));
    EXPECT_FALSE(defined(r, 2));
}

TEST(WorldMapSource, CompiledSourceRunsAsWritten) {
    const std::string source =
        "place forest = 1\n"
        "place keep=2   # a comment\n"
        "flag warden_met = 12\n"
        "draw valley.pcx at 0, -4\n"
        "index valleyix.pcx\n"
        "define keep map KEEP.MAP text \"Hrad Vorthan\"\n"
        "when not flag warden_met and visited CELLARS or on FOREST.MAP: define forest map FOREST.MAP\n"
        "when defined keep {\n"
        "    forget keep\n"
        "    stop\n"
        "}\n"
        "define 7\n";
    const std::string compiled = forge::compile_globmap_source(source, "valley.src");
    EXPECT_NE(compiled.find("!FLG 12 && CELLARS || CURMAP FOREST.MAP:INDX=1;MAP=FOREST.MAP"),
              std::string::npos);
    const script_run quiet = run(compiled);
    ASSERT_FALSE(quiet.error) << quiet.error->message;
    EXPECT_EQ(quiet.drawn, std::vector<std::string>{"valley.pcx@0,-4"});
    EXPECT_EQ(quiet.state.index_picture, "valleyix.pcx");
    EXPECT_FALSE(defined(quiet, 1));
    EXPECT_FALSE(defined(quiet, 2));  // forgotten, then the script stopped
    EXPECT_FALSE(defined(quiet, 7));
    EXPECT_TRUE(defined(run(compiled, {}, {"CELLARS"}), 1));
    // Read back into source, it compiles to the same script.
    EXPECT_EQ(forge::compile_globmap_source(forge::decompile_globmap(compiled), "back.src"), compiled);
}

TEST(WorldMapSource, FaultsNameTheFileAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"place a = 1\ndefine b\n", "w.src:2: unknown place \"b\""},
        {"flag f = 256\n", "w.src:1: flag 256 is outside 0-255"},
        {"define 1 text \"a;b\"\n", "w.src:1: a description cannot hold \";\""},
        {"when visited KEEP.MAP: stop\n", "w.src:1: name the map without \".map\": \"KEEP.MAP\""},
        {"when visited D: stop\n", "w.src:1: the map \"D\" would be read as the keyword DRAW"},
        {"when flag 1 {\nstop\n", "w.src:3: a block opened by \"when ... {\" is not closed"},
        {"}\n", "w.src:1: \"}\" without a \"when ... {\""},
        {"draw a.pcx at 1 2\n", "w.src:1: expected \",\" between x and y"},
    };
    for (const auto& [source, message] : cases) {
        try {
            forge::compile_globmap_source(source, "w.src");
            ADD_FAILURE() << source;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), message) << source;
        }
    }
}

// An 8-bit index picture of 4 x 3 pixels whose values are x + 10 y.
std::vector<uint16_t> index_picture() {
    std::vector<uint16_t> words(3 + 6, 0);
    words[0] = 4;
    words[1] = 3;
    words[2] = PIC_NOPAL8;
    auto* pixels = reinterpret_cast<uint8_t*>(words.data() + 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) pixels[y * 4 + x] = static_cast<uint8_t>(x + 10 * y);
    return words;
}

TEST(WorldMapIndex, LookupsStayInsideTheIndexPicture) {
    const std::vector<uint16_t> pic = index_picture();
    const size_t length = pic.size() * 2;
    EXPECT_EQ(index_pixel(pic.data(), length, 3, 2), 23);
    EXPECT_EQ(index_pixel(pic.data(), length, 1, 1), 11);
    for (auto [x, y] : {std::pair{4, 0}, {0, 3}, {-1, 0}, {0, -1}, {639, 470}})
        EXPECT_EQ(index_pixel(pic.data(), length, x, y), 0);
    EXPECT_EQ(index_pixel(pic.data(), length - 1, 3, 2), 0);  // a picture cut short is none
    EXPECT_EQ(index_pixel(nullptr, 0, 0, 0), 0);
}

TEST(WorldMapIndex, DescriptionBoxStaysOnTheScreen) {
    const world_box b = description_box(100, 200, 50, 8);
    EXPECT_EQ(b.x, 100);
    EXPECT_EQ(b.y, 243);
    EXPECT_EQ(b.width, 54);
    EXPECT_EQ(b.height, 12);
    EXPECT_EQ(description_box(620, 200, 50, 8).x, 639 - 54);
    // A text wider than the room left of the pointer starts at the left edge.
    const world_box wide = description_box(300, 376, 700, 8);
    EXPECT_EQ(wide.x, 0);
    EXPECT_EQ(wide.width, 640);
    EXPECT_LE(wide.y + wide.height, 480);
}

// ---------------------------------------------------------------- travel

std::vector<std::string> change_names;
std::vector<map_change_request> changes;
void record_change(event_msg& msg, void**) {
    if (msg.number != EV_CHANGE_MAP) return;
    const auto* request = msg.next_ptr<const map_change_request>();
    changes.push_back(*request);
    change_names.emplace_back(request->name);
}
int monster_sector = 0;

// A row of sectors 1-2-3-4-5 on KEEP.MAP, all discovered; sector 5 is a way out.
class WorldMapTravel : public ::testing::Test {
  protected:
    map_test::maps_folder folder;

    void SetUp() override {
        current_map = loaded_map{};
        current_map.name = "KEEP.MAP";
        current_map.sector_count = 6;
        current_map.sectors.resize(6);
        current_map.sides.resize(24);
        current_map.coords.resize(6);
        for (int s = 1; s <= 5; ++s) {
            if (s < 5) current_map.sectors[static_cast<size_t>(s)].exits[1] = static_cast<uint16_t>(s + 1);
            if (s > 1) current_map.sectors[static_cast<size_t>(s)].exits[3] = static_cast<uint16_t>(s - 1);
            current_map.coords[static_cast<size_t>(s)].coord_flags = MC_MAPPED;
        }
        current_map.sectors[5].sector_type = 19;
        reset_map_services();
        monster_sector = 0;
        map_services.monster_in = [](int s) { return s == monster_sector; };
        new_standin_party(1, 1);
        changes.clear();
        change_names.clear();
        add_event_handler(EV_CHANGE_MAP, record_change);
        world_map_closed = [] {};
        folder.write_text("globmap.dat",
                          "` the valley\n"
                          ":INDX=1;MAP=KEEP.MAP;TEXT=The keep\n"
                          ":INDX=2;MAP=CELLARS.MAP;TEXT=The cellars\n"
                          ":UNDEF=2;INDX=3;MAP=FOREST.MAP\n");
        define_handle(H_GLOBMAP, "globmap.dat", decoder_for(decoder_id::globmap_text), PATH_MAPS);
    }
    void TearDown() override {
        close_world_map();
        remove_event_handler(EV_CHANGE_MAP, record_change);
        undefine_handle(H_GLOBMAP);
        world_map_closed = nullptr;
        reset_map_services();
        current_map = loaded_map{};
    }
};

TEST_F(WorldMapTravel, WayOutIsTheNearestReachableExitSector) {
    EXPECT_EQ(world_map_way_out(), 5);
    party.sector = 5;
    EXPECT_EQ(world_map_way_out(), 5);
    party.sector = 1;
    current_map.sectors[3].sector_type = 11;  // a pit in the way
    EXPECT_EQ(world_map_way_out(), 0);
    current_map.sectors[3].sector_type = 0;
    current_map.coords[4].coord_flags = 0;  // never seen
    EXPECT_EQ(world_map_way_out(), 0);
    current_map.coords[4].coord_flags = MC_MAPPED;
    monster_sector = 2;
    EXPECT_EQ(world_map_way_out(), 0);
    monster_sector = 0;
    current_map.sides[4 * 3 + 1].flags |= SIDE_NOPLAYER;  // a wall the party cannot pass
    EXPECT_EQ(world_map_way_out(), 0);
}

TEST_F(WorldMapTravel, ClickingAnotherMapAsksForTheMapChangeFromTheWayOut) {
    open_world_map();
    ASSERT_TRUE(world_map_open());
    EXPECT_TRUE(world_map_state().places[1].defined);
    EXPECT_FALSE(world_map_state().places[2].defined);
    EXPECT_FALSE(world_map_choose(1));  // the current map
    EXPECT_FALSE(world_map_choose(2));  // not defined
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(world_map_choose(3));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(change_names[0], "FOREST.MAP");
    EXPECT_EQ(changes[0].sector, 0);
    EXPECT_EQ(changes[0].direction, 0);
    EXPECT_EQ(party.sector, 5);
    EXPECT_FALSE(world_map_open());
}

TEST_F(WorldMapTravel, WithoutAWayOutThePartyStays) {
    current_map.sectors[5].sector_type = 0;
    open_world_map();
    EXPECT_FALSE(world_map_choose(3));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(party.sector, 1);
    EXPECT_TRUE(world_map_open());
}

std::string automap_shown;
int automap_sectors = 0;

TEST_F(WorldMapTravel, NoteModeShowsTheOtherMapsAutomapAndPutsTheMapBack) {
    folder.write("CELLARS.MAP", map_test::file_of(map_test::small_map()));
    show_map_automap = [](const std::string& map) {
        automap_shown = map + " as " + current_map.name;
        automap_sectors = current_map.sector_count;
    };
    folder.write_text("globmap.dat", ":INDX=4;MAP=CELLARS.MAP\n");
    open_world_map();
    world_map_note_mode = true;
    EXPECT_FALSE(world_map_choose(4));
    EXPECT_EQ(automap_shown, "CELLARS.MAP as CELLARS.MAP");
    EXPECT_EQ(automap_sectors, 5);
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(map_parked());
    EXPECT_EQ(current_map.name, "KEEP.MAP");
    EXPECT_EQ(current_map.sector_count, 6);
    EXPECT_TRUE(world_map_open());
    show_map_automap = nullptr;
    close_world_map();
    EXPECT_FALSE(world_map_note_mode);
}

// A picture of `width` x `height` pixels of one palette index in the folder.
void write_picture(const std::filesystem::path& path, int width, int height, uint8_t value,
                   int filled_from_x) {
    forge::indexed_image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = filled_from_x; x < width; ++x) image.pixels[static_cast<size_t>(y * width + x)] = value;
    image.palette[5 * 3] = 248;  // index 5 is pure red
    forge::write_pcx(path.string(), image);
}

mouse_record mouse_at(int x, int y, uint16_t events) {
    mouse_record m;
    m.x = static_cast<uint16_t>(x);
    m.y = static_cast<uint16_t>(y);
    m.events = events;
    return m;
}

TEST_F(WorldMapTravel, PicturesAreDrawnBelowTheTopBarAndTheIndexPictureNamesThePlaceUnderThePointer) {
    const std::string saved_gui = path_table[PATH_GUI];
    path_table[PATH_GUI] = folder.path().string();
    register_picture_decoders();
    write_picture(folder.path() / "valley.pcx", 4, 4, 5, 0);
    write_picture(folder.path() / "valleyix.pcx", 20, 10, 3, 10);  // place 3 on its right half
    folder.write_text("globmap.dat", ":DRAW=valley.pcx,2,3\n:USEMAP=valleyix.pcx\n:INDX=3;MAP=FOREST.MAP\n");
    open_world_map();
    EXPECT_EQ(*pixel_address(2, 20), 0x7C00);
    EXPECT_EQ(*pixel_address(2, 19), 0);
    mouse_record m = mouse_at(12, 17 + 5, MOUSE_EV_MOTION);
    dispatch_event(EV_MOUSE, &m);
    EXPECT_EQ(mouse_cursor_choice(), H_MSC_ZARE);
    m = mouse_at(5, 17 + 5, MOUSE_EV_MOTION);
    dispatch_event(EV_MOUSE, &m);
    EXPECT_EQ(mouse_cursor_choice(), H_MSC_SIP);
    m = mouse_at(12, 17 + 10, MOUSE_EV_MOTION);  // below the index picture
    dispatch_event(EV_MOUSE, &m);
    EXPECT_EQ(mouse_cursor_choice(), H_MSC_SIP);
    m = mouse_at(12, 17 + 9, MOUSE_EV_LEFT_DOWN);
    dispatch_event(EV_MOUSE, &m);
    ASSERT_EQ(change_names.size(), 1u);
    EXPECT_EQ(change_names[0], "FOREST.MAP");
    EXPECT_FALSE(world_map_open());
    for (handle_id id = WORLD_MAP_HANDLES; id < WORLD_MAP_HANDLES + 2; ++id) undefine_handle(id);
    path_table[PATH_GUI] = saved_gui;
}

using WorldMapDeathTest = WorldMapTravel;

TEST_F(WorldMapDeathTest, ScriptErrorEndsTheProgramWithTheLineAndMessage) {
    folder.write_text("globmap.dat", ":INDX=1\nFLG 300:INDX=2\n");
    EXPECT_EXIT(open_world_map(), testing::ExitedWithCode(1),
                "Chyba v souboru GLOBMAP.DAT na radce 2.\r?\n.*vlajky \\(FLG\\)");
}

}  // namespace
