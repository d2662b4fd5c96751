#pragma once
// The painters of the game screen's pictures. Each returns the whole picture
// (all its frames one under the other) as a canvas; transparent pixels become
// palette index 0 when the forge turns the PNG into a PCX.
#include <string>
#include <vector>

#include "forge/paint.h"

namespace screen_art {

using forge::paint::canvas;

// Around the view.
canvas paint_topbar();                   // 640 x 16
canvas paint_compass();                  // 102 x 640: 40 frames of 16 rows
canvas paint_desk(bool battle = false);  // desk (souboje in battle): 640 x 102
canvas paint_slot();                     // okno: 74 x 102, one party member's frame
// The arrow panel: 142 x 102 at rest; pressed = -1 for the resting picture,
// otherwise the button (0 forward, 1 right, 2 back, 3 left, 4 turn right,
// 5 turn left) in three frames of 110 rows, pressed ever deeper.
canvas paint_arrows(int pressed);
// The battle's planning controls (m_souboj), drawn over the arrow panel: nine
// frames of 142 x 102, the panel at rest, then each of the eight buttons
// (attack, cast, run, walk, inventory, rest, clear, go) pressed.
canvas paint_battle_controls();

// The party bar's small pictures and effects.
canvas paint_status_icons();   // postup: 13 x 13 cells one under the other
canvas paint_death();          // 54 x 75
canvas paint_bones();          // 194 x 80, a fallen member in the view
canvas paint_hit();            // pzasah: 44 x 36
canvas paint_blood(int size);  // krevmin/mid/max (size 0..2): 120 x 840, 8 frames of 105 rows
canvas paint_sparkle();        // fx: 16 x 240, 15 frames of 16 rows
canvas paint_note_panel();     // stupnice: 640 x 102
canvas paint_boat();           // lodka: 640 x 59

// Cursors (hot spot at the top-left pixel) and the window style.
canvas paint_cursor(char kind);  // 'a' arrow, 'x' refused, 'w' who, 'z' glow
canvas paint_tile_frame();       // ramecek: 12 x 96, eight tiles
canvas paint_window_texture();   // wintxtr: 64 x 64, tiles seamlessly
canvas paint_pause_texture();    // ideska: 64 x 64, tiles seamlessly

// The options window (window_art.cpp).
constexpr int OPTIONS_W = 640, OPTIONS_H = 360;  // volbades, drawn at the window's corner
constexpr int SWITCH_SIZE = 20;                  // checkbox: 7 frames of 20 x 20
constexpr int KNOB_W = 30, KNOB_H = 16;          // volbasou
canvas paint_options_desk();                     // volbades, close button at rest at (559, 336)
canvas paint_close_button_pressed();             // volbazpe: 81 x 21
canvas paint_switch();                           // checkbox: frame 0 fully on, frame 6 off
canvas paint_slider_knob();                      // volbasou

// The dialog screen's background, 640 x 360; written straight to a PCX
// because its palette entries 254 and 255 are the conversation's text colours.
canvas paint_dialog();

// The shop screen (screen_shop.cpp): its background over the rows above the
// party bar, with a frame for the keeper's picture (260 x 140 at (5, 17); the
// merchant himself is painted with the dialogs' speakers).
constexpr int SHOP_W = 640, SHOP_H = 378;
constexpr int KEEPER_PICTURE_W = 260, KEEPER_PICTURE_H = 140;
canvas paint_shop();
void write_dialog_pcx(const canvas& c, const std::string& path);
// Cream parchment with fibres, faint stains and edges browned by handling,
// at a pixel of the sheet r.
forge::paint::rgb parchment(int x, int y, const forge::paint::rect& sheet, uint32_t seed);

// The save and load screens (screen_saveload.cpp): the list half with ten
// row slots of 33 pixels from y = 21 and the story half, a scroll, both 360
// high; the screens place them side by side at y = 17 in swapped order.
constexpr int SAVELOAD_W = 270, SCROLL_HALF_W = 370, SAVE_HALVES_H = 360;
canvas paint_save_list();     // saveload
canvas paint_story_scroll();  // svitek

}  // namespace screen_art
