#include "rules/floor/floor_items_game.h"

#include <algorithm>

#include "base/strings.h"
#include "rules/floor/alcoves.h"
#include "rules/floor/alcoves_view.h"
#include "rules/floor/floor_items_view.h"
#include "rules/party.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/view.h"

void (*game_floor_world::cursor_changed)() = nullptr;
void (*game_floor_world::thrower)(int, int, bool, held_list&) = nullptr;
bool (*game_floor_world::in_flight)(int16_t) = nullptr;

namespace {

void draw_cell(int sector, int column, int depth, int view_direction, bool far_only) {
    draw_floor_items_in_cell(game_items(), sector, column, depth, view_direction, far_only);
}

void draw_alcove(int sector, int view_direction, int column, int depth) {
    draw_alcove_items(game_items(), sector, view_direction, column, depth);
}

// The game around an alcove: the items' floor pictures, the bottom panel, the
// side's scripts and the cursor.
class game_alcove_world : public alcove_world {
  public:
    bool picture_size(int16_t item, int& width, int& height) override {
        item_def* def = game_items().find(item);
        const picture* pic = def ? item_floor_picture(*def) : nullptr;
        if (!pic) return false;
        width = pic->width;
        height = pic->height;
        return true;
    }
    void show_text(int number) override { show_panel_message(string_list_get(ui_strings, number)); }
    void recess_event(int sector, int side) override {
        if (movement_rules.send_side_event) movement_rules.send_side_event(sector * 4 + side, SIDE_EV_RECESS);
    }
    void held_changed() override { floor_world.held_changed(); }
    game_floor_world floor_world;
};

// A script drops an item (or an amount of money) on a quarter.
void script_drop(int sector, int quarter, int item) {
    if (!game_items().valid(item)) return;
    held_list stack{static_cast<int16_t>(item)};
    drop_items(sector, quarter, stack);
}
void script_drop_money(int sector, int quarter, int amount) {
    const int16_t money = game_items().make_money(amount);
    if (money == 0) return;
    held_list stack{money};
    drop_items(sector, quarter, stack);
}

bool clone_in_use(int16_t item) {
    return party_holds_item(item) || floor_holds_item(item) ||
           (game_floor_world::in_flight && game_floor_world::in_flight(item)) || alcove_holds_item(item) ||
           std::find(game_held().begin(), game_held().end(), item) != game_held().end() ||
           std::find(game_held().begin(), game_held().end(), static_cast<int16_t>(-item)) !=
               game_held().end();
}

void check_entered_map() {
    check_floor_lists(game_items());
}

}  // namespace

void game_floor_world::throw_items(int x, int y, bool level, held_list& held) {
    if (thrower) thrower(x, y, level, held);
}

void game_floor_world::held_changed() {
    if (cursor_changed) cursor_changed();
}

void (*game_pickup_world::book_opener)(const char*, int) = nullptr;

void game_pickup_world::open_book(const char* file, int page) {
    if (book_opener) book_opener(file, page);
}

void game_pickup_world::raise_pickup_event() {
    run_hook(HOOK_PICK_UP, party.sector, party.direction);
}

void click_game_view(int x, int y, bool modifier) {
    game_floor_world world;
    game_pickup_world pickup;
    // The alcove in the wall ahead takes the click first.
    game_alcove_world alcove_side;
    alcove_click in_alcove{game_items(), game_held(), party_treasure{party_state.gold, party_state.runes},
                           pickup, alcove_side};
    if (click_alcove(party.sector, party.direction, x, y, in_alcove) != alcove_result::missed) return;
    floor_click click{game_items(),    game_held(), party_treasure{party_state.gold, party_state.runes},
                      pickup,          world,       party.sector,
                      party.direction, modifier,    party_world_hooks().game_options()};
    click_view_floor(x, y, click);
}

void install_floor_items() {
    view_neighbours.draw_floor_items = draw_cell;
    view_neighbours.draw_recess_items = draw_alcove;
    view_clicked = click_game_view;
    map_services.drop_item = script_drop;
    map_services.drop_money = script_drop_money;
    map_services.item_on_floor = items_in_sector;
    game_items().set_reference_check(clone_in_use);
    static bool hooks_added = false;
    if (hooks_added) return;
    hooks_added = true;
    add_map_loaded_hook(check_entered_map);
}
