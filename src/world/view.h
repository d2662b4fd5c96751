#pragma once
// The first-person view: what the party sees from its sector, looking along a
// grid axis, composed into back_buffer at screen rows 17..376.
//
// The view is a grid of 5 depths (0 = the party's own sector) by 7 columns
// (-3..3, 0 straight ahead). All geometry comes from tables built once by
// init_view_tables; walls are drawn by table-driven column and row stepping,
// floors and ceilings are span copies out of full-view pictures, and fog and
// darkness are the ten palettes of every wall picture, chosen by depth.
#include <cstdint>
#include <string>

#include "core/handles.h"
#include "gfx/picture.h"

// ---------------------------------------------------------------- geometry

constexpr int VIEW_WIDTH = 640;
constexpr int VIEW_HEIGHT = 360;
constexpr int VIEW_SCREEN_TOP = 17;  // screen row of view row 0
constexpr int VIEW_HORIZON = 112;    // view row of the horizon
constexpr int VIEW_CENTRE_X = 320;
constexpr int VIEW_DEPTHS = 5;           // depths drawn: 0..4
constexpr int VIEW_BOUNDARIES = 6;       // boundary k is the near edge of depth k
constexpr int VIEW_EDGES = 5;            // column edges 0..4
constexpr int VIEW_GRID_DEPTHS = 6;      // the walk reaches depth 5
constexpr int VIEW_GRID_COLUMNS = 9;     // columns -4..4, stored as column + 4
constexpr int WALL_TEXTURE_WIDTH = 500;  // a front wall face in texture pixels
constexpr int WALL_TEXTURE_HEIGHT = 320;
constexpr int SIDE_TEXTURE_WIDTH = 74;     // a side face of one cell in texture columns
constexpr int FLOOR_PICTURE_HEIGHT = 200;  // floor pictures: view rows 160..359
constexpr int FLOOR_FIRST_VIEW_ROW = 160;
constexpr int CEILING_PICTURE_HEIGHT = 90;  // ceiling pictures: view rows 0..89

// The base perspective table: for column edge e and boundary k the horizontal
// distance of the edge from the centre column, and the floor and ceiling rows
// relative to the horizon (down positive).
struct view_base_table {
    int edge[VIEW_EDGES][VIEW_BOUNDARIES];
    int floor_y[VIEW_BOUNDARIES];
    int ceiling_y[VIEW_BOUNDARIES];
};
const view_base_table& view_base();

// Builds every table of the view and clears frame_buffer and back_buffer to 0.
// Safe to call more than once.
void init_view_tables();

// A point inside a cell seen on the view: x and y in view coordinates (y with
// the horizon added) and the wall height in pixels at that point (320 = the
// texture's size).
struct view_point {
    int x = 0;
    int y = 0;
    int scale = 0;
};
// across and along are 0..128 (left to right, near to far), height is in
// 1/128 of the wall height (up positive).
view_point project(int column, int depth, int across, int along, int height);

// The columns a monster sprite in cell (column, depth) may cover so that the
// side walls in front of it hide its edges: [left, right).
struct view_clip {
    int left = 0;
    int right = 640;
};
view_clip monster_clip(int column, int depth, int left_cut, int right_cut);

// ---------------------------------------------------------------- the walk

// The sector seen in each cell of the last walk (0 = nothing), by depth 0..5
// and column -4..4.
int view_grid_sector(int depth, int column);
// Fills the grid for a party in `sector` looking in `direction`, seeing only
// through TRANSPARENT sides, and marks MAPPED what lies in the three central
// columns behind sides with AUTOMAP.
void walk_view(int sector, int direction);
// Forgets the grid (the map loader calls this when a map is loaded).
void clear_view_grid();

// ---------------------------------------------------------------- drawing

// Composes the view of a party standing in `sector` and facing `direction`
// into back_buffer (screen rows 17..376). The caller copies it to frame_buffer.
void draw_view(int sector, int direction);

// Switches and counters the view reads. Other parts of the game set them.
struct view_state {
    uint8_t anim_counter = 0;    // the global animation counter (the scene redraw raises it)
    bool remote_active = false;  // draw from a remote viewpoint instead (spell, debug)
    int remote_sector = 0;
    int remote_direction = 0;
    bool true_seeing = false;        // sides with TRUESEE become visible, blended
    bool translucent_walls = false;  // every wall picture drawn blended (debug)
    bool hide_surfaces = false;      // floors and ceilings not drawn (debug)
    bool show_monster_hp = false;    // hit points above monsters (hunting instinct, debug)
    bool show_member_names = false;  // names above party members (game option)
    bool ignore_blindness = false;   // defeat state, or a battle showing one member's view
    int monsters_drawn = 0;          // monsters put on the last view drawn (Enter starts a battle)
};
extern view_state view;

// Where the view gets its pictures (by default the handle table). Floors and
// ceilings get the fog gradient written into them once, so the source hands
// out writable pictures.
using view_picture_fn = picture* (*)(handle_id id);
void set_view_picture_source(view_picture_fn fn);  // nullptr restores the handle table
picture* view_picture(handle_id id);

// ---------------------------------------------------------------- neighbours
//
// What the view asks the rest of the game about: who stands in a cell, what
// lies on its floor. Each is a hook so that the view runs (and is tested)
// before and without those parts; the defaults answer "nothing here".

struct view_member {
    handle_id figure = 0;  // the member's figure picture (PIC_FADE8)
    int direction = 0;     // where the member faces
    bool dead = false;
    bool in_group = true;  // belongs to a group (the viewer's own sector shows only dead loners)
    std::string name;
    uint16_t name_colour = 0x7FFF;
};

struct view_hooks {
    // True when a member standing in the sector is able to see.
    bool (*party_can_see)(int sector) = nullptr;
    // Up to `max` members standing in the sector on this map.
    int (*members_in_sector)(int sector, view_member* out, int max) = nullptr;
    // The monsters of a sector seen in cell (column, depth): the monster code
    // prepares one monster_draw_request each and calls draw_monster_sprite.
    // `behind_side` is set when they are drawn early because the side in front
    // of them is see-through.
    void (*draw_monsters)(int sector, int column, int depth, int view_direction, bool behind_side) = nullptr;
    // Items lying on the floor quarters of the cell; at depth 0 only the two
    // far quarters are passed (far_only).
    void (*draw_floor_items)(int sector, int column, int depth, int view_direction, bool far_only) = nullptr;
    // Items in the recess of the side facing the view.
    void (*draw_recess_items)(int sector, int view_direction, int column, int depth) = nullptr;
    // Flying objects (thrown items, spells) in the sector.
    void (*draw_flying_objects)(int sector, int column, int depth, int view_direction) = nullptr;
};
extern view_hooks view_neighbours;
// Puts every hook back to its "nothing here" stand-in.
void reset_view_hooks();

// ---------------------------------------------------------------- sprites

// Draws a PIC_FADE8 picture with its own palette `palette_number` at
// scale / 320 of its size, its bottom-left pixel at screen (x, bottom_row) and
// upward, at most `rows` rows; picture columns first_column .. end_column - 1
// of the scaled picture go to x, x + 1, ... Index 0 is transparent and index 1
// halves the brightness underneath. Cut to the view (rows 17..376, x 0..639).
void blit_scaled(const picture* pic, int x, int bottom_row, int palette_number, int scale, int rows,
                 int first_column, int end_column);
// The same with a 256-entry palette from the caller (PIC_NOPAL8 or PIC_FADE8
// pixels); indices of 128 and more are blended 50% with what lies beneath.
void blit_scaled_blend(const picture* pic, int x, int bottom_row, const uint16_t* palette, int scale,
                       int rows, int first_column, int end_column, bool mirrored = false);

// One monster to draw, prepared by the monster code.
struct monster_draw_request {
    const picture* frame = nullptr;  // 8-bit picture; null for a monster that is not seen
    int column = 0;
    int depth = 0;
    int across = 0;  // offsets inside the cell, turned into the view (position - 128)
    int along = 0;
    int anchor = 0;  // picture column that stands on the projected point
    bool big = false;
    bool mirrored = false;
    bool frozen = false;
    int hit_points = 0;
    const uint16_t* palettes = nullptr;  // ten palettes of 256 entries
    const char* insight = nullptr;       // optional text shown above the monster
    bool shaded = false;                 // the cell is SHADED
    // How many of the 74 columns of the neighbouring side walls stand in
    // front of the sprite, on the left and on the right (0 = none).
    int left_cut = 0;
    int right_cut = 0;
};
// Draws like blit_scaled_blend, except that index 1 is the monster's shadow:
// it halves the brightness of what lies beneath.
void draw_monster_sprite(const monster_draw_request& request);

// An animated picture standing in the middle of a sector: `frames` pictures
// from `first`, played `repeats` times, shifted by `shift` picture columns.
void add_special_texture(int sector, handle_id first, int frames, int repeats, int shift);
// Forgets every special texture (the game screen does this when it starts).
void clear_special_textures();

// ---------------------------------------------------------------- floors and ceilings

// Once, before a floor or ceiling picture with PIC_FOG_PENDING is first shown:
// when the map asks for it, the rows nearest the horizon take the fade colour
// (or black when the picture is first used inside a SHADED sector). The mark
// is removed in any case.
void apply_fog_gradient(picture* pic, bool is_ceiling, bool to_black);
