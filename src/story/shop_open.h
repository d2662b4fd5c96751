#pragma once
// Opening a shop, from the map's command or at the end of a dialog: the
// transformed members turn back, the first member on the party's sector
// becomes the customer, and the shop screen shows the shop.
#include <cstdint>

// The screen the shop is shown on. The default stands for a game without
// one: the customer is chosen and nothing more happens.
class shop_screen_runner {
  public:
    virtual ~shop_screen_runner() = default;
    virtual void run(int /*shop_index*/, int /*customer_slot*/) {}
};
void set_shop_screen(shop_screen_runner* screen);  // null: the default

// Nothing happens in a battle, for a shop id no shop has, or with no member
// standing on the party's sector.
void open_shop(int32_t shop_id);

// Reads the shops, restocks them whenever a map is entered and lets the
// map's command and the dialogs open them.
void install_shops();
