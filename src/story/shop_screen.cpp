#include "story/shop_screen.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "platform/input.h"
#include "rules/items_info.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells_game.h"
#include "story/haggle_window.h"
#include "story/held_items.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "story/message_box.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"
#include "world/game_screen.h"
#include "world/panel.h"
#include "world/party_standin.h"

shop_screen_setup_t shop_screen_setup;

namespace {

constexpr int SCAN_ESCAPE = 1, SCAN_UP = 0x48, SCAN_DOWN = 0x50, SCAN_LEFT = 0x4B, SCAN_RIGHT = 0x4D;
constexpr int SCAN_PAGE_UP = 0x49, SCAN_PAGE_DOWN = 0x51;
constexpr int TEXT_NO_DEAL = 100, TEXT_BUY_QUESTION = 101, TEXT_SELL_QUESTION = 102, TEXT_NOT_BOUGHT = 103;
constexpr int TEXT_TOO_LITTLE_GOLD = 104, TEXT_YES = 77, TEXT_NO = 78, TEXT_OK = 80, TEXT_HAGGLE = 230;
constexpr int TEXT_NOT_A_NUMBER = 237, TEXT_WRITE_AN_AMOUNT = 240;
constexpr const char* TRADE_SOUND = "obchod.wav";
constexpr uint16_t BACKGROUND = 0x1084, CELL_FRAME = 0x318C, NAME_COLOUR = 0x7FFF;
constexpr uint16_t ANSWER_FACE = 0x0842, ANSWER_FRAME = 0x5294, ANSWER_TEXT = 0x7BDE;
constexpr int SHELF_W = SHELF_COLUMNS * SHELF_CELL_W, SHELF_H = SHELF_CELLS / SHELF_COLUMNS * SHELF_CELL_H;

struct shop_state {
    bool running = false;
    int shop = -1;
    int customer = -1;
    int first_shown = 0;  // index into the shelf list, a multiple of eight
    int unpaid = -1;      // the product whose item is on the cursor unpaid
    int hovered_item = 0;
    std::optional<int> hovered_price;
    std::string answer;
};
shop_state state;

// ---- What the screen works with ----------------------------------------------

shop_catalogue& catalogue() {
    return game_shops();
}
const shop_def& shop() {
    return catalogue().shops[size_t(state.shop)];
}
party_member& customer() {
    return party_members[state.customer];
}
item_table& items() {
    return inventory_item_table();
}
std::string text(int number) {
    return interface_text(number);
}
bool modifier_held() {
    return inventory_setup.shift_held && inventory_setup.shift_held();
}
void play_trade_sound() {
    if (shop_screen_setup.play_sound)
        shop_screen_setup.play_sound(TRADE_SOUND);
    else
        party_world_hooks().play_sound(TRADE_SOUND, party.sector);
}
bool keypad_wanted() {
    if (shop_screen_setup.keypad_wanted) return shop_screen_setup.keypad_wanted();
    return display_exists() && display().controller_connected();
}

// The keeper's picture of the game: a PCX of the dialogs folder, read once
// per name.
const picture* game_keeper_picture(const std::string& file) {
    static std::string loaded_name;
    static picture* loaded = nullptr;
    if (file == loaded_name) return loaded;
    if (loaded) game_free(loaded);
    loaded = nullptr;
    loaded_name = file;
    if (file.empty() || !resource_available(PATH_DIALOGS, file.c_str())) return nullptr;
    int32_t length = 0;
    void* data = load_file(file.c_str(), PATH_DIALOGS, &length);
    if (data && length > 0 && decode_pcx(data, length, PIC_PAL8, &loaded) < 0) loaded = nullptr;
    free_file_data(data);
    return loaded;
}
const picture* keeper_picture() {
    return shop_screen_setup.keeper_picture ? shop_screen_setup.keeper_picture(shop().picture)
                                            : game_keeper_picture(shop().picture);
}

// The text with its first "%s" replaced by the name.
std::string with_name(const std::string& pattern, const std::string& name) {
    const size_t at = pattern.find("%s");
    if (at == std::string::npos) return pattern;
    return pattern.substr(0, at) + name + pattern.substr(at + 2);
}

// The products on the shelf: those the shop sells and has, in file order.
std::vector<int> shelf_products() {
    std::vector<int> shelf;
    const shop_def& s = shop();
    for (int p = s.first_product; p < s.first_product + s.product_count; ++p)
        if ((catalogue().products[size_t(p)].flags & PRODUCT_SOLD) && catalogue().stock[size_t(p)].stock > 0)
            shelf.push_back(p);
    return shelf;
}

// The product in shelf cell `cell` (0..7), -1 for an empty cell.
int product_in_cell(int cell) {
    const std::vector<int> shelf = shelf_products();
    const size_t at = size_t(state.first_shown + cell);
    return at < shelf.size() ? shelf[at] : -1;
}

int item_of(int product) {
    return catalogue().products[size_t(product)].item + 1;
}

void cell_corner(int cell, int& x, int& y) {
    x = SHELF_X + cell % SHELF_COLUMNS * SHELF_CELL_W;
    y = SHELF_Y + cell / SHELF_COLUMNS * SHELF_CELL_H;
}

bool inside(int x, int y, int left, int top, int w, int h) {
    return x >= left && x < left + w && y >= top && y < top + h;
}

// ---- Drawing ----------------------------------------------------------------------

void draw_scroll_button(int top, bool forward) {
    const int x = SCROLL_X;
    draw_raised_button(x, top, SCROLL_W, SCROLL_H);
    // A triangle pointing up (back) or down (forward).
    const int cx = x + SCROLL_W / 2, cy = top + SCROLL_H / 2;
    for (int row = 0; row < 5; ++row) {
        const int y = forward ? cy + 2 - row : cy - 2 + row;
        draw_hline(cx - row, y, cx + row);
    }
}

void draw_answer() {
    if (state.answer.empty()) return;
    set_font(FONT_SADA16, ANSWER_TEXT);
    const wrapped_text wrapped = wrap_text(state.answer, KEEPER_W - 12);
    const int lines = std::min<int>(int(wrapped.lines.size()), ANSWER_LINES);
    const int bottom = ANSWER_Y + 6 + 13 * lines;
    draw_colour = ANSWER_FACE;
    fill_rect(KEEPER_X, ANSWER_Y, KEEPER_X + KEEPER_W - 1, bottom);
    draw_rect(KEEPER_X, ANSWER_Y, KEEPER_X + KEEPER_W - 1, bottom, ANSWER_FRAME);
    for (int line = 0; line < lines; ++line) {
        set_text_position(KEEPER_X + 6, ANSWER_Y + 4 + 13 * line);
        draw_text(wrapped.lines[size_t(line)]);
    }
}

void draw_shelf() {
    for (int cell = 0; cell < SHELF_CELLS; ++cell) {
        int x = 0, y = 0;
        cell_corner(cell, x, y);
        draw_rect(x, y, x + SHELF_CELL_W - 1, y + SHELF_CELL_H - 1, CELL_FRAME);
        const int product = product_in_cell(cell);
        // The unpaid item's cell stays empty while it is on the cursor.
        if (product >= 0 && product != state.unpaid)
            draw_item_in_cell(item_of(product), x, y, SHELF_CELL_W, SHELF_CELL_H);
    }
    draw_scroll_button(SCROLL_BACK_Y, false);
    draw_scroll_button(SCROLL_FORWARD_Y, true);
}

void draw_screen() {
    set_target(frame_buffer);
    if (const picture* backdrop = window_picture(H_SHOP)) {
        put_picture(0, 0, backdrop);
    } else {
        draw_colour = BACKGROUND;
        fill_rect(0, 0, SCREEN_WIDTH - 1, INVENTORY_ROWS - 1);
    }
    if (const picture* keeper = keeper_picture()) put_picture(KEEPER_X, KEEPER_Y, keeper);
    set_font(FONT_SADA16, NAME_COLOUR);
    set_aligned_position(SHOP_NAME_X, SHOP_NAME_Y, ALIGN_CENTRE, ALIGN_CENTRE, shop().name);
    draw_text(shop().name);
    draw_answer();
    draw_shelf();
    const party_member& m = customer();
    set_font(FONT_SADA16, NAME_COLOUR);
    const int backpack_centre = BACKPACK_X + BACKPACK_COLUMNS * BACKPACK_CELL_W / 2;
    set_aligned_position(backpack_centre, BACKPACK_Y / 2, ALIGN_CENTRE, ALIGN_CENTRE, m.name);
    draw_text(m.name);
    draw_member_backpack(m);
    if (state.hovered_item) draw_item_information_box(m, state.hovered_item, state.hovered_price);
    draw_colour = 0;
    draw_hline(0, INVENTORY_ROWS - 1, SCREEN_WIDTH - 1);
    draw_inventory_party_bar();
}

void show_everything() {
    draw_screen();
    present_rect(0, 0, 0, 0);
    show_held_cursor(held_items(), items(), &inventory_picture_source());
}

void answer(const std::string& words) {
    state.answer = words;
}

// ---- Buying -------------------------------------------------------------------------

void return_unpaid() {
    if (state.unpaid < 0) return;
    held_items().clear();
    state.unpaid = -1;
}

// Where a bought item goes: the clicked cell when it is free, else the first
// free cell; -1 when the backpack is full.
int free_cell_for(int clicked) {
    const party_member& m = customer();
    const int size = std::clamp<int>(m.inventory_size, 0, BACKPACK_MAX);
    if (clicked >= 0 && clicked < size && m.inventory[clicked] == 0) return clicked;
    for (int cell = 0; cell < size; ++cell)
        if (m.inventory[cell] == 0) return cell;
    return -1;
}

// The unpaid item becomes the customer's at `price`, in backpack cell `cell`.
bool complete_purchase(int price, int clicked) {
    const int cell = free_cell_for(clicked);
    if (cell < 0 || !buy_product(catalogue(), state.unpaid, price, party_state.gold)) return false;
    play_trade_sound();
    customer().inventory[cell] = static_cast<int16_t>(item_of(state.unpaid));
    held_items().clear();
    state.unpaid = -1;
    return true;
}

// Offers for the product until a deal, giving up or an offer beyond the
// party's gold. The answers show under the keeper between the offers.
// Returns the agreed price.
std::optional<int> haggle(int product, int asking, bool buying) {
    stock_entry& entry = catalogue().stock[size_t(product)];
    const int32_t base = catalogue().products[size_t(product)].base_price;
    while (true) {
        show_everything();
        const std::optional<std::string> typed = haggle_window(asking, keypad_wanted());
        if (!typed) return std::nullopt;
        const typed_offer offer = read_offer(*typed);
        if (offer.kind == typed_offer::empty) {
            answer(text(TEXT_WRITE_AN_AMOUNT));
            continue;
        }
        if (offer.kind == typed_offer::not_a_number) {
            answer(text(TEXT_NOT_A_NUMBER));
            continue;
        }
        if (buying && offer.gold > party_state.gold) {
            answer(text(TEXT_TOO_LITTLE_GOLD) + " " + text(TEXT_NO_DEAL));
            return std::nullopt;
        }
        // The shop counts the piece it would buy as already in stock.
        const int verdict =
            buying ? buying_verdict(asking, offer.gold, entry.last_offer, base, entry.stock)
                   : selling_verdict(asking, offer.gold, entry.last_offer, base, entry.stock + 1);
        if (verdict == 0) {
            answer("");  // a refusal before the deal no longer stands under the keeper
            return offer.gold;
        }
        answer(text(verdict_text(verdict)));
        entry.last_offer = static_cast<int16_t>(std::min<int32_t>(offer.gold, INT16_MAX));
    }
}

// The unpaid item dropped on backpack cell `cell`.
void offer_purchase(int cell) {
    const int price = selling_price(shop(), catalogue().products[size_t(state.unpaid)]);
    int choice = 0;  // 0 yes, 1 haggle, 2 no
    if (party_state.gold < price)
        choice =
            1 + message_box(0, 1, nullptr, text(TEXT_TOO_LITTLE_GOLD), {text(TEXT_HAGGLE), text(TEXT_NO)});
    else
        choice = message_box(0, 2, nullptr, with_number(text(TEXT_BUY_QUESTION), price),
                             {text(TEXT_YES), text(TEXT_HAGGLE), text(TEXT_NO)});
    if (choice == 0) {
        complete_purchase(price, cell);
    } else if (choice == 1) {
        const std::optional<int> deal = haggle(state.unpaid, price, true);
        if (!deal || !complete_purchase(*deal, cell)) return_unpaid();
    } else {
        return_unpaid();
    }
}

// A click with the modifier key: bought at once when the gold suffices.
void buy_at_once(int product) {
    const int price = selling_price(shop(), catalogue().products[size_t(product)]);
    if (!buy_product(catalogue(), product, price, party_state.gold)) {
        answer(text(TEXT_TOO_LITTLE_GOLD));
        return;
    }
    play_trade_sound();
    held_list bought{static_cast<int16_t>(item_of(product))};
    // What finds no room stays on the cursor, paid for.
    give_items(items(), customer(), bought, true);
    if (!bought.empty()) held_items() = bought;
}

// ---- Selling ------------------------------------------------------------------------

void complete_sale(int product, int price) {
    sell_product(catalogue(), product, price, party_state.gold);
    play_trade_sound();
    held_items().clear();
}

// The product that would buy the single held item, -1 with the reason shown.
int product_for_sale() {
    const held_list& held = held_items();
    if (held.size() > 1) {
        message_box(0, 0, nullptr, text(TEXT_NO_DEAL), {text(TEXT_OK)});
        return -1;
    }
    const int product = product_buying(catalogue(), state.shop, held[0]);
    if (product < 0) {
        const item_def* def = items().find(held[0]);
        answer(with_name(text(TEXT_NOT_BOUGHT), def ? def->name : ""));
    }
    return product;
}

// An own item dropped on the shelf.
void offer_sale() {
    const int product = product_for_sale();
    if (product < 0) return;
    const int price = buying_price(shop(), catalogue().products[size_t(product)]);
    const int choice = message_box(0, 2, nullptr, with_number(text(TEXT_SELL_QUESTION), price),
                                   {text(TEXT_YES), text(TEXT_HAGGLE), text(TEXT_NO)});
    if (choice == 0) {
        complete_sale(product, price);
    } else if (choice == 1) {
        if (const std::optional<int> deal = haggle(product, price, false)) complete_sale(product, *deal);
    }
}

// ---- Clicks -------------------------------------------------------------------------

void scroll(int direction) {
    const int count = int(shelf_products().size());
    const int next = state.first_shown + direction * SHELF_CELLS;
    if (next >= 0 && next < count) state.first_shown = next;
}

void click_shelf(int x, int y) {
    held_list& held = held_items();
    if (state.unpaid >= 0) {
        return_unpaid();
        return;
    }
    if (!held.empty()) {
        offer_sale();
        return;
    }
    if (!inside(x, y, SHELF_X, SHELF_Y, SHELF_W, SHELF_H)) return;
    const int cell = (x - SHELF_X) / SHELF_CELL_W + (y - SHELF_Y) / SHELF_CELL_H * SHELF_COLUMNS;
    const int product = product_in_cell(cell);
    if (product < 0) return;
    if (modifier_held()) {
        buy_at_once(product);
        return;
    }
    held = {static_cast<int16_t>(item_of(product))};
    state.unpaid = product;
}

void click_backpack_cell(int cell) {
    held_list& held = held_items();
    if (state.unpaid >= 0) {
        offer_purchase(cell);
        return;
    }
    if (held.size() == 1 && modifier_held()) {
        const int product = product_for_sale();
        if (product >= 0) complete_sale(product, buying_price(shop(), catalogue().products[size_t(product)]));
        return;
    }
    inventory_world& world = inventory_setup.world ? *inventory_setup.world : spells_inventory_world();
    click_backpack(items(), customer(), cell, held, {}, world);
}

int party_slot_at(int x) {
    if (x < PARTY_BAR_FIRST_X) return -1;
    int position = (x - PARTY_BAR_FIRST_X) / PARTY_SLOT_WIDTH;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (party_members[slot].used && position-- == 0) return slot;
    return -1;
}

void click_portrait(int slot) {
    if (state.unpaid >= 0) return;  // an unpaid item is nobody's to give
    held_list& held = held_items();
    if (held.empty()) {
        state.customer = slot;
        party_state.current = slot;
    } else {
        give_items(items(), party_members[slot], held, true);
    }
    panel_back_to_party(false);
}

void update_hover(int x, int y) {
    state.hovered_item = 0;
    state.hovered_price.reset();
    if (inside(x, y, SHELF_X, SHELF_Y, SHELF_W, SHELF_H)) {
        const int cell = (x - SHELF_X) / SHELF_CELL_W + (y - SHELF_Y) / SHELF_CELL_H * SHELF_COLUMNS;
        const int product = product_in_cell(cell);
        if (product < 0 || product == state.unpaid) return;
        state.hovered_item = item_of(product);
        state.hovered_price = selling_price(shop(), catalogue().products[size_t(product)]);
        return;
    }
    const int cell = backpack_cell_at(customer(), x, y);
    if (cell < 0) return;
    state.hovered_item = customer().inventory[cell];
    const int product = product_buying(catalogue(), state.shop, state.hovered_item);
    if (product >= 0) state.hovered_price = buying_price(shop(), catalogue().products[size_t(product)]);
}

void left_click(int x, int y) {
    state.answer.clear();
    if (y >= INVENTORY_ROWS) {
        const int slot = party_slot_at(x);
        if (slot >= 0) click_portrait(slot);
    } else if (inside(x, y, SCROLL_X, SCROLL_BACK_Y, SCROLL_W, SCROLL_H)) {
        scroll(-1);
    } else if (inside(x, y, SCROLL_X, SCROLL_FORWARD_Y, SCROLL_W, SCROLL_H)) {
        scroll(1);
    } else if (inside(x, y, 0, SHELF_Y, SCROLL_X, SHELF_H)) {
        click_shelf(x, y);
    } else if (const int cell = backpack_cell_at(customer(), x, y); cell >= 0) {
        click_backpack_cell(cell);
    }
    update_hover(x, y);
    show_everything();
}

void leave() {
    stop_flag = 1;
}

// Keys and clicks belong to a window opened over the shop (a question, the
// haggling) while it is open.
bool window_over_shop() {
    return top_window && top_window != first_window;
}

void screen_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !state.running || window_over_shop()) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    const int scan = code >> 8;
    if (code == KEY_CLOSE_REQUEST || scan == SCAN_ESCAPE || (code & 0xFF) == 27) leave();
    if (scan == SCAN_UP || scan == SCAN_LEFT || scan == SCAN_PAGE_UP) scroll(-1);
    if (scan == SCAN_DOWN || scan == SCAN_RIGHT || scan == SCAN_PAGE_DOWN) scroll(1);
    if (code != KEY_CLOSE_REQUEST) {
        msg.number = EV_STOP;
        show_everything();
    }
}

void screen_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !state.running || window_over_shop()) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    if (mouse->events & MOUSE_EV_RIGHT_DOWN) {
        leave();
    } else if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        left_click(mouse->x, mouse->y);
    } else if (mouse->events & MOUSE_EV_MOTION) {
        const int before = state.hovered_item;
        update_hover(mouse->x, mouse->y);
        if (before != state.hovered_item) show_everything();
    }
}

class shop_screen final : public shop_screen_runner {
  public:
    void run(int shop_index, int customer_slot) override {
        if (state.running || shop_index < 0 || size_t(shop_index) >= catalogue().shops.size()) return;
        if (customer_slot < 0 || customer_slot >= PARTY_SLOTS || !party_members[customer_slot].used) return;
        const bool game_screen_was_running = scene.running;
        if (game_screen_was_running) stop_game_screen();
        state = {};
        state.running = true;
        state.shop = shop_index;
        state.customer = customer_slot;
        party_state.current = customer_slot;
        panel_back_to_party(false);
        add_event_handler(EV_KEY, screen_key);
        add_event_handler(EV_MOUSE, screen_mouse);
        show_everything();
        main_loop();
        remove_event_handler(EV_KEY, screen_key);
        remove_event_handler(EV_MOUSE, screen_mouse);
        return_unpaid();  // what was not paid for goes back on the shelf
        state.running = false;
        state.customer = -1;
        show_held_cursor(held_items(), items(), &inventory_picture_source());
        if (game_screen_was_running) start_game_screen();
    }
};

}  // namespace

shop_screen_runner& game_shop_screen() {
    static shop_screen screen;
    return screen;
}

int shop_customer() {
    return state.running ? state.customer : -1;
}
const std::string& shop_answer() {
    return state.answer;
}
int shop_unpaid_product() {
    return state.unpaid;
}
int shop_first_shown() {
    return state.first_shown;
}
