// Stand-ins for the parts of the game the view asks about. Until the party,
// monster and item code plug their own answers in, every cell is empty: no
// member stands anywhere (so everyone can see), no monster, no item on the
// floor or in a recess, nothing flying.
#include "world/view.h"

view_hooks view_neighbours;

void reset_view_hooks() {
    view_neighbours = view_hooks{};
}
