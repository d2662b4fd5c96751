#pragma once
// Monsters seen in the view. The renderer asks about every cell it draws;
// the monsters standing in the cell's sector become draw requests: the frame
// picture for the viewer's direction, the place inside the cell turned into
// the view, the anchor, the colour variant's palettes and, with the insight
// switch on, the debug text. The farther of two monsters is drawn first.
#include <string>

#include "world/view.h"

// What drawing monsters asks of parts of the game that come later: the
// spells and the debug console (true seeing), the game options (diagonal
// walking) and the monsters' walking rules (stored paths). The stand-in
// answers "no" to each.
class monster_view_senses {
  public:
    virtual ~monster_view_senses() = default;
    // True seeing is active (the spell's effect or the console's switch):
    // invisible monsters are drawn.
    virtual bool true_seeing() const { return false; }
    // The game option that lets monsters walk diagonally inside a sector.
    virtual bool diagonal_walking() const { return false; }
    // Whether the monster in this slot follows a stored path.
    virtual bool has_path(int /*slot*/) const { return false; }
};
// Null restores the stand-in.
void set_monster_view_senses(const monster_view_senses* senses);

// The debug switch that writes the insight text above every monster drawn.
extern bool monster_insight_shown;

// The requests for the monsters standing in `sector` seen in cell
// (column, depth) by a party looking in view_direction, farther first; the
// insight texts live in `texts`. Returns how many (0..2).
int monster_draw_requests(int sector, int column, int depth, int view_direction, monster_draw_request out[2],
                          std::string texts[2]);

// A living monster stands in the sector and is not hidden (invisible without
// true seeing): what the mini-map marks.
bool monster_seen_in(int sector);

// The view's hook: draws the monsters of the sector in the cell.
void draw_monsters_in_cell(int sector, int column, int depth, int view_direction, bool behind_side);

// Plugs draw_monsters_in_cell into the view and monster_seen_in into the
// mini-map.
void install_monster_drawing();
