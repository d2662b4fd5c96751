// Paints every picture of the game screen into PNG files named after the
// picture ("desk.png" becomes "desk.pcx"), and optionally a mock-up of the
// whole 640 x 480 screen composed from them, with a grey box for the view.
// The dialog background is written as "dialog.pcx" as well (its palette
// carries the text colours).
//
//   demo_art_screen <out folder> [--mockup <screen.png>]
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "screen_art.h"

namespace {

using forge::paint::canvas;
using forge::paint::rgb8;

void save(const std::string& folder, const std::string& name, const canvas& c) {
    forge::write_png_file(folder + "/" + name + ".png", forge::paint::to_image(c));
}

// Frame n of a picture whose frames of h rows lie one under the other.
canvas frame(const canvas& c, int n, int h) {
    return c.crop({0, n * h, c.width(), h});
}

canvas mockup() {
    using namespace screen_art;
    canvas s(640, 480);
    forge::paint::fill(s, {0, 0, 640, 480}, [](int, int) { return rgb8(0, 0, 0); });
    forge::paint::fill(s, {0, 17, 640, 360}, [](int, int) { return rgb8(110, 110, 110); });
    s.paste(paint_desk(), 0, 378);
    const canvas slot = paint_slot(), icons = paint_status_icons();
    for (int i = 0; i < 6; ++i) {
        const int x = 54 + 74 * i;
        s.paste(slot, x, 378);
        if (i == 4) {
            s.paste(paint_death(), x + 3, 378 + 12);
            continue;
        }
        forge::paint::fill(s, {x + 3, 378 + 12, 54, 75}, [](int, int) { return rgb8(150, 140, 130); });
        for (int k = 0; k < i % 3; ++k) s.paste(frame(icons, k + i, 13), x + 4 + 13 * k, 378 + 13);
        // Half-empty bars, as the party bar blacks out their tops.
        forge::paint::fill(s, {x + 60, 378 + 13, 11, 10 * i}, [](int, int) { return rgb8(0, 0, 0); });
    }
    s.paste(paint_arrows(-1), 498, 378);
    s.paste(frame(paint_arrows(0), 2, 110).crop({0, 0, 142, 102}), 498, 378);
    s.paste(paint_topbar(), 0, 0);
    s.paste(frame(paint_compass(), 30, 16), 476, 0);
    s.paste(frame(paint_hit(), 0, 36), 54 + 74 + 8, 378 + 20);
    forge::paint::fill(s, {0, 16, 640, 1}, [](int, int) { return rgb8(0, 0, 0); });
    forge::paint::fill(s, {0, 377, 640, 1}, [](int, int) { return rgb8(0, 0, 0); });
    s.paste(paint_cursor('a'), 300, 200);
    return s;
}

// The screen while a battle is planned: the battle desk, the party slots and
// the planning controls with the attack button pressed.
canvas battle_mockup() {
    using namespace screen_art;
    canvas s(640, 480);
    forge::paint::fill(s, {0, 0, 640, 480}, [](int, int) { return rgb8(0, 0, 0); });
    forge::paint::fill(s, {0, 17, 640, 360}, [](int, int) { return rgb8(110, 110, 110); });
    s.paste(paint_desk(true), 0, 378);
    const canvas slot = paint_slot();
    for (int i = 0; i < 4; ++i) {
        s.paste(slot, 54 + 74 * i, 378);
        forge::paint::fill(s, {54 + 74 * i + 3, 378 + 12, 54, 75},
                           [](int, int) { return rgb8(150, 140, 130); });
    }
    s.paste(frame(paint_battle_controls(), 1, 102), 498, 378);
    s.paste(paint_topbar(), 0, 0);
    s.paste(frame(paint_compass(), 30, 16), 476, 0);
    forge::paint::fill(s, {0, 16, 640, 1}, [](int, int) { return rgb8(0, 0, 0); });
    forge::paint::fill(s, {0, 377, 640, 1}, [](int, int) { return rgb8(0, 0, 0); });
    return s;
}

// The bottom panel showing a message: the tile frame around (70, 20, 400 x 50)
// filled with the panel's light message colour.
canvas message_mockup() {
    using namespace screen_art;
    canvas s = paint_desk();
    const canvas tiles = paint_tile_frame();
    const int x = 70, y = 20, columns = (400 + 11) / 12, rows = (50 + 11) / 12;
    auto tile = [&](int n, int tx, int ty) { s.paste(frame(tiles, n, 12), tx, ty); };
    tile(0, x - 12, y - 12);
    tile(2, x + 12 * columns, y - 12);
    tile(5, x - 12, y + 12 * rows);
    tile(7, x + 12 * columns, y + 12 * rows);
    for (int i = 0; i < columns; ++i) tile(1, x + 12 * i, y - 12), tile(6, x + 12 * i, y + 12 * rows);
    for (int j = 0; j < rows; ++j) tile(3, x - 12, y + 12 * j), tile(4, x + 12 * columns, y + 12 * j);
    forge::paint::fill(s, {x, y, 12 * columns, 12 * rows}, [](int, int) { return rgb8(255, 255, 214); });
    return s;
}

// The options window as it opens over the view: knobs at several heights,
// switches in every phase, the close button pressed.
canvas options_mockup() {
    using namespace screen_art;
    canvas s = paint_options_desk();
    const canvas knob = paint_slider_knob(), switches = paint_switch();
    for (int k = 0; k < 6; ++k) {
        const int x = k < 5 ? 50 + 60 * k : 350, value = 40 * k;  // of 200
        s.paste(knob, x, 30 + 200 - KNOB_H - value * (200 - KNOB_H) / 200);
    }
    auto put_switch = [&](int x, int y, int phase) {
        s.paste(frame(switches, 6 - phase, SWITCH_SIZE), x, y);
    };
    put_switch(50, 270, 6);
    put_switch(50, 300, 0);
    for (int i = 0; i < 3; ++i) put_switch(410, 60 + 30 * i, i == 1 ? 6 : 0);
    for (int i = 0; i < 3; ++i) put_switch(510, 60 + 30 * i, 3 * i);
    for (int k = 0; k < 5; ++k) put_switch(410, 180 + 30 * k, std::min(6, k + 2));
    s.paste(paint_close_button_pressed(), 559, 336);
    return s;
}

// The save screen (list left, scroll right) over the load screen (the
// other way round), as they lie over the view.
canvas saveload_mockup() {
    using namespace screen_art;
    canvas s(640, 2 * SAVE_HALVES_H);
    const canvas list = paint_save_list(), scroll = paint_story_scroll();
    s.paste(list, 0, 0);
    s.paste(scroll, SAVELOAD_W, 0);
    s.paste(scroll, 0, SAVE_HALVES_H);
    s.paste(list, SCROLL_HALF_W, SAVE_HALVES_H);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--mockup")) {
        std::fprintf(stderr, "usage: %s <out folder> [--mockup <screen.png>]\n", argv[0]);
        return 2;
    }
    try {
        using namespace screen_art;
        const std::string out = argv[1];
        save(out, "topbar", paint_topbar());
        save(out, "kompas", paint_compass());
        save(out, "desk", paint_desk());
        save(out, "souboje", paint_desk(true));
        save(out, "okno", paint_slot());
        save(out, "sipky", paint_arrows(-1));
        const char* pressed[6] = {"sipky_s", "sipky_v", "sipky_j", "sipky_z", "sipky_sv", "sipky_sz"};
        for (int b = 0; b < 6; ++b) save(out, pressed[b], paint_arrows(b));
        save(out, "m_souboj", paint_battle_controls());
        save(out, "postup", paint_status_icons());
        save(out, "death", paint_death());
        save(out, "bones", paint_bones());
        save(out, "pzasah", paint_hit());
        save(out, "krevmin", paint_blood(0));
        save(out, "krevmid", paint_blood(1));
        save(out, "krevmax", paint_blood(2));
        save(out, "fx", paint_sparkle());
        save(out, "stupnice", paint_note_panel());
        save(out, "lodka", paint_boat());
        const std::pair<const char*, char> cursors[] = {
            {"msc_sip", 'a'}, {"msc_x", 'x'}, {"msc_who", 'w'}, {"msc_zare", 'z'}};
        for (const auto& [name, kind] : cursors) save(out, name, paint_cursor(kind));
        save(out, "ramecek", paint_tile_frame());
        save(out, "wintxtr", paint_window_texture());
        save(out, "ideska", paint_pause_texture());
        save(out, "volbades", paint_options_desk());
        save(out, "volbazpe", paint_close_button_pressed());
        save(out, "checkbox", paint_switch());
        save(out, "volbasou", paint_slider_knob());
        save(out, "shop", paint_shop());
        save(out, "saveload", paint_save_list());
        save(out, "svitek", paint_story_scroll());
        const canvas dialog = paint_dialog();
        save(out, "dialog", dialog);
        write_dialog_pcx(dialog, out + "/dialog.pcx");
        if (argc == 4) {
            forge::write_png_file(argv[3], forge::paint::to_image(mockup()));
            forge::write_png_file(out + "/mockup_battle.png", forge::paint::to_image(battle_mockup()));
            forge::write_png_file(out + "/mockup_message.png", forge::paint::to_image(message_mockup()));
            forge::write_png_file(out + "/mockup_options.png", forge::paint::to_image(options_mockup()));
            forge::write_png_file(out + "/mockup_saveload.png", forge::paint::to_image(saveload_mockup()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
