#include "story/shop_open.h"

#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "story/shop_screen.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/party_standin.h"

namespace {

shop_screen_runner no_screen;
shop_screen_runner* screen = &no_screen;

int customer_on_sector(int sector) {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        const party_member& member = party_members[slot];
        if (member.used && member.hp > 0 && member.sector == sector) return slot;
    }
    return -1;
}

void restock_on_entry() {
    // The stock a loaded game brings is the stock at its save.
    if (loading_map_for_loaded_game()) return;
    restock_all(game_shops());
}

}  // namespace

void set_shop_screen(shop_screen_runner* runner) {
    screen = runner ? runner : &no_screen;
}

void open_shop(int32_t shop_id) {
    if (map_services.in_battle && map_services.in_battle()) return;
    const int shop = game_shops().find(shop_id);
    if (shop < 0) return;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (party_members[slot].used && (party_members[slot].base_stats[STAT_FLAGS] & CF_TRANSFORMED))
            cancel_transform(slot);
    const int customer = customer_on_sector(party.sector);
    if (customer < 0) return;
    party_state.current = customer;
    screen->run(shop, customer);
}

void install_shops() {
    load_shops();
    set_shop_screen(&game_shop_screen());
    map_services.open_shop = [](int shop) { open_shop(shop); };
    static bool hooked = false;
    if (!hooked) add_map_loaded_hook(restock_on_entry);
    hooked = true;
}
