#include "world/game_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/strings.h"
#include "core/events.h"
#include "core/handles.h"
#include "core/tasks.h"
#include "core/timers.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "world/automap.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/monster_hooks.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/rest.h"
#include "world/screen_effects.h"
#include "world/view.h"
#include "world/view_animation.h"

scene_state scene;
game_screen_windows screen_windows;
game_screen_flute screen_flute;
void (*view_clicked)(int x, int y, bool modifier) = nullptr;
void (*flying_tick)() = nullptr;

namespace {

battle_screen no_battle_screen;
battle_screen* installed_battle_screen = nullptr;

constexpr int TEXT_NO_SAVE_IN_BATTLE = 81;

uint16_t* frame_row(int y) {
    return frame_buffer + static_cast<ptrdiff_t>(y) * SCREEN_PITCH;
}

void draw_compass() {
    const picture* kompas = screen_picture(H_KOMPAS);
    if (!kompas || kompas->type != PIC_HICOLOR || kompas->width < COMPASS_WIDTH ||
        kompas->height < COMPASS_FRAMES * COMPASS_ROWS)
        return;
    const uint16_t* pixels = picture_pixels16(kompas);
    for (int row = 0; row < COMPASS_ROWS; ++row) {
        const uint16_t* source =
            pixels + static_cast<ptrdiff_t>(scene.compass_frame * COMPASS_ROWS + row) * kompas->width;
        uint16_t* target = frame_row(row) + COMPASS_X;
        for (int x = 0; x < COMPASS_WIDTH; ++x) target[x] = source[x];
    }
}

void draw_money() {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(roster().money()));
    if (!screen_font(FONT_SADA7, 0x7395)) return;
    set_aligned_position(MONEY_X, MONEY_Y, ALIGN_END, ALIGN_END, text);
    draw_text(text);
}

handle_id arrow_picture_handle(int arrow) {
    constexpr handle_id pictures[] = {H_SIPKY_S, H_SIPKY_V, H_SIPKY_J, H_SIPKY_Z, H_SIPKY_SV, H_SIPKY_SZ};
    return arrow >= 0 && arrow < 6 ? pictures[arrow] : H_SIPKY;
}

void draw_arrows() {
    const int frame = scene.arrow >= 0 ? arrow_frame(scene.arrow_counter) : -1;
    if (frame >= 0) {
        const picture* pic = screen_picture(arrow_picture_handle(scene.arrow));
        if (pic && pic->type == PIC_PAL8 && pic->height >= (frame + 1) * ARROW_FRAME_ROWS) {
            const int width = std::min<int>(pic->width, SCREEN_WIDTH - ARROWS_X);
            put_picture_rows(pic, frame_row(ARROWS_Y) + ARROWS_X, frame * ARROW_FRAME_ROWS, width,
                             SCREEN_HEIGHT - ARROWS_Y);
            return;
        }
    }
    if (const picture* rest = screen_picture(H_SIPKY)) put_picture(ARROWS_X, ARROWS_Y, rest);
}

// What movement asks of the screen.
void draw_scene_after_move() {
    draw_party_view();
    copy_back_to_front();
    battle_on_screen().draw_overlay();
    if (battle_on_screen().active() || minimap_always_shown) draw_minimap();
    draw_screen_frame();
}
void compass_at_rest() {
    scene.compass_frame = compass_rest_frame(party.direction);
}
void redraw_scene_now() {
    if (!scene.running) return;
    redraw_scene();
    present_rect(0, 0, 0, 0);
}
const bool movement_shown = [] {
    movement_screen.draw_scene = draw_scene_after_move;
    movement_screen.draw_frame = draw_screen_frame;
    movement_screen.arrow_pressed = start_arrow_highlight;
    movement_screen.party_relocated = compass_at_rest;
    movement_screen.redraw_scene = redraw_scene_now;
    return true;
}();

// The bottom panel drawn again and shown while the screen is up.
void show_panel() {
    draw_screen_frame();
    present_rect(0, PANEL_FIRST_ROW, SCREEN_WIDTH, PANEL_ROWS);
}

void scene_timer(timer_node*) {
    redraw_scene();
    if (!movement.moving) present_rect(0, 0, 0, 0);
    world_update();
}

void effects_timer(timer_node*) {
    if (compass_step()) {
        draw_compass();
        present_rect(COMPASS_X, 0, COMPASS_WIDTH, 15);
    }
    if (arrow_highlight_step()) {
        set_target(frame_buffer);
        draw_arrows();
        present_rect(ARROWS_X, ARROWS_Y, ARROWS_WIDTH, ARROWS_HEIGHT);
    }
    if (scene.shake_steps > 0) {
        --scene.shake_steps;
        shake_offset(scene.shake_steps > 0 && (scene.shake_steps & 1) ? 8 : 0, 0);
    }
}

// The scene timer redraws at the same period, so what moved is shown then.
void flying_timer(timer_node*) {
    if (flying_tick) flying_tick();
}
void party_timer(timer_node*) {
    game_tick();
    if (world_monsters.game_tick) world_monsters.game_tick();
}
void monsters_timer(timer_node*) {
    if (world_monsters.tick) world_monsters.tick();
}

// The slot shown at a display position of the party bar (the used slots in
// slot order), -1 for none.
int slot_at_position(int position) {
    const party_roster& members = roster();
    for (int slot = 0; slot < members.slots(); ++slot) {
        if (!members.member(slot).used) continue;
        if (position-- == 0) return slot;
    }
    return -1;
}

// The display position whose portrait lies under a point, -1 for none.
int portrait_at(int x, int y) {
    if (y < PANEL_FIRST_ROW + 12 || y >= PANEL_FIRST_ROW + 87) return -1;
    for (int position = 0; position < 6; ++position) {
        const int left = party_slot_x(position) + 3;
        if (x >= left && x < left + 54) return position;
    }
    return -1;
}

void select_position(int position) {
    const int slot = slot_at_position(position);
    if (slot < 0) return;
    roster().select(roster().selected() == slot ? -1 : slot);
    panel_back_to_party(false);
    refresh_panel();
}

// The inventory of the selected member, else of the first living one.
void open_inventory() {
    if (!screen_windows.inventory) return;
    int slot = roster().selected();
    if (slot < 0 || !roster().member(slot).used) {
        slot = -1;
        for (int i = 0; i < roster().slots() && slot < 0; ++i)
            if (roster().member(i).alive()) slot = i;
    }
    if (slot >= 0) screen_windows.inventory(slot);
}

void gather_group() {
    roster().gather(party.sector, party.direction);
    panel_back_to_party(false);
    refresh_panel();
}

bool shift_held() {
    return display_exists() && display().shift_down();
}

}  // namespace

bool compass_step() {
    const int target = compass_rest_frame(party.direction);
    int d = scene.compass_frame - target;
    if (d < -20) d += 40;
    if (d >= 20) d -= 40;
    if (d == 0) return false;
    scene.compass_frame = (scene.compass_frame - (d > 0 ? 1 : -1) + 40) % 40;
    return true;
}

int arrow_frame(int counter) {
    return (counter > 4 ? 8 - counter : counter) - 2;
}

void start_arrow_highlight(int arrow) {
    scene.arrow = arrow;
    scene.arrow_counter = 6;
}

bool arrow_highlight_step() {
    if (scene.arrow < 0) return false;
    --scene.arrow_counter;
    if (arrow_frame(scene.arrow_counter) < 0) scene.arrow = -1;  // back to the resting picture
    return true;
}

void shake_screen(int steps) {
    scene.shake_steps = steps;
}

void draw_party_view() {
    draw_view(party.sector, party.direction);
}

void draw_screen_frame() {
    set_target(frame_buffer);
    const auto* panel = static_cast<const uint16_t*>(get_handle_data(H_PANEL));
    if (panel && handle_length(H_PANEL) >= SCREEN_PITCH * PANEL_ROWS * 2)
        copy_rows_to_screen(panel, PANEL_FIRST_ROW, PANEL_ROWS);
    draw_member_flash();
    if (const picture* topbar = screen_picture(H_TOPBAR)) put_picture(0, 0, topbar);
    draw_compass();
    draw_money();
    draw_arrows();
    battle_on_screen().draw_controls();
    draw_screen_effects();
    draw_colour = 0;
    draw_hline(0, TOP_BAR_ROWS, SCREEN_WIDTH - 1);
    draw_hline(0, PANEL_FIRST_ROW - 1, SCREEN_WIDTH - 1);
}

void redraw_scene() {
    if (movement.moving) return;
    draw_party_view();
    draw_view_animation(back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH);
    copy_back_to_front();
    battle_on_screen().draw_overlay();
    if (battle_on_screen().active() || minimap_always_shown) draw_minimap();
    draw_screen_frame();
    if (defeat_screen_shown()) draw_defeat_screen(screen_effects.defeat_text);
    advance_screen_effects();
    ++view.anim_counter;
    dispatch_event(EV_SCENE_REDRAWN);
}

void start_game_screen() {
    if (scene.running) return;
    scene.running = true;
    movement.moving = false;
    show_panel_on_screen = show_panel;
    scene.compass_frame = compass_rest_frame(party.direction);
    clear_special_textures();
    panel_back_to_party(false);
    add_timer(TIMER_SCENE, scene.scene_period, TIMER_FOREVER, scene_timer);
    add_timer(TIMER_EFFECTS, 2, TIMER_FOREVER, effects_timer);
    add_timer(TIMER_FLYING, scene.scene_period, TIMER_FOREVER, flying_timer);
    add_timer(TIMER_PARTY, 500, TIMER_FOREVER, party_timer);
    add_timer(TIMER_MONSTERS, monster_timer_period(), TIMER_FOREVER, monsters_timer);
    add_event_handler(EV_KEY, game_screen_key);
    add_event_handler(EV_MOUSE, game_screen_mouse);
    if (movement.boat_mode && display_exists()) display().move_sprite(BOAT_SPRITE, BOAT_X, BOAT_Y);
    redraw_scene();
    present_rect(0, 0, 0, 0);
}

void stop_game_screen() {
    if (!scene.running) return;
    scene.running = false;
    show_panel_on_screen = nullptr;
    remove_timers(TIMER_SCENE);
    remove_timers(TIMER_EFFECTS);
    remove_timers(TIMER_FLYING);
    remove_timers(TIMER_PARTY);
    remove_timers(TIMER_MONSTERS);
    remove_event_handler(EV_KEY, game_screen_key);
    remove_event_handler(EV_MOUSE, game_screen_mouse);
    if (movement.boat_mode && display_exists()) display().hide_sprite(BOAT_SPRITE);
}

int run_game_screen() {
    start_game_screen();
    int result = 0;
    if (event_msg* msg = task_wait_event(EV_GAME_RESULT)) result = msg->next_int();
    stop_game_screen();
    return result;
}

void game_screen_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY) return;
    const int code = msg.next_int() & 0xFFFF;
    if (code == 0xFFFF) {
        // The window is asked to close: leave the game.
        stop_game_screen();
        dispatch_event(EV_GAME_RESULT, 0);
        return;
    }
    if (movement.moving || defeat_screen_shown()) return;
    const int scan = code >> 8;
    if (battle_on_screen().key(scan)) return;
    switch (scan) {
        case 1:  // Esc asks before leaving the game; "no" starts the screen again
            stop_game_screen();
            if (screen_windows.ask_leave && !screen_windows.ask_leave()) {
                start_game_screen();
                break;
            }
            dispatch_event(EV_GAME_RESULT, 0);
            break;
        case 59:  // F1: the options window over the stopped screen
            if (!screen_windows.options) break;
            stop_game_screen();
            screen_windows.options();
            start_game_screen();
            break;
        case 60:  // F2: no saving in the middle of a battle
            if (battle_on_screen().active())
                show_panel_message(string_list_get(ui_strings, TEXT_NO_SAVE_IN_BATTLE));
            else if (screen_windows.save_screen)
                screen_windows.save_screen();
            break;
        case 61:  // F3
            if (screen_windows.load_screen) screen_windows.load_screen();
            break;
        case 64:  // F6
            if (screen_windows.book) screen_windows.book();
            break;
        case 63:  // F5 (in a battle the battle screen has it first)
            if (!battle_on_screen().active() && screen_windows.quick_save) screen_windows.quick_save();
            break;
        case 62:  // F4: rest (its own task), not in every map nor in battle
            if (!battle_on_screen().active()) start_rest();
            break;
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            select_position(scan - 2);
            break;
        case 23:  // I
            open_inventory();
            break;
        case 15:  // Tab
        case 50:  // M: the automap over the stopped screen (hook 7 may refuse it)
            open_automap(true);
            break;
        case 33:  // F: the note panel, for a party with the flute at hand
            if (screen_flute.carried_here && screen_flute.carried_here()) show_note_panel();
            break;
        case 45:  // X
        case 82:  // Insert
            gather_group();
            break;
        case 16:
            turn(-1);
            break;
        case 17:
        case 72:
            step(0);
            break;
        case 18:
            turn(+1);
            break;
        case 30:
        case 79:
        case 115:
            step(3);
            break;
        case 31:
        case 80:
            step(2);
            break;
        case 32:
        case 81:
        case 116:
            step(1);
            break;
        case 57:
            movement_rules.use_side(party.sector, party.direction);
            break;
        case 75:
            if (shift_held())
                step(3);
            else
                turn(-1);
            break;
        case 77:
            if (shift_held())
                step(1);
            else
                turn(+1);
            break;
        default:
            break;
    }
}

void set_battle_screen(battle_screen* installed) {
    installed_battle_screen = installed;
}

battle_screen& battle_on_screen() {
    return installed_battle_screen ? *installed_battle_screen : no_battle_screen;
}

int party_bar_slot_at(int x, int y) {
    const int position = portrait_at(x, y);
    return position >= 0 ? slot_at_position(position) : -1;
}

int arrow_at(int x, int y) {
    if (x < ARROWS_X || x >= ARROWS_X + ARROWS_WIDTH || y < ARROWS_Y || y >= ARROWS_Y + ARROWS_HEIGHT)
        return -1;
    const int column = (x - ARROWS_X) * 3 / ARROWS_WIDTH;
    const int row = (y - ARROWS_Y) * 2 / ARROWS_HEIGHT;
    constexpr int top[3] = {ARROW_TURN_LEFT, ARROW_FORWARD, ARROW_TURN_RIGHT};
    constexpr int bottom[3] = {ARROW_LEFT, ARROW_BACK, ARROW_RIGHT};
    return row == 0 ? top[column] : bottom[column];
}

void game_screen_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE) return;
    const auto* mouse = msg.next_ptr<const mouse_record>();
    if (!mouse) return;
    // The flute hears motion and releases too: they end a held note.
    if (screen_flute.mouse && screen_flute.mouse(*mouse)) return;
    if (!(mouse->events & MOUSE_EV_LEFT_DOWN) || movement.moving) return;
    if (battle_on_screen().click(mouse->x, mouse->y, shift_held())) return;
    // The note panel covers the portraits while it is shown.
    const int portrait = panel_mode == PANEL_NOTES ? -1 : portrait_at(mouse->x, mouse->y);
    if (portrait >= 0) {
        const int slot = slot_at_position(portrait);
        if (slot < 0) return;
        roster().select(slot);
        panel_back_to_party(false);
        refresh_panel();
        if (screen_windows.inventory) screen_windows.inventory(slot);
        return;
    }
    const int arrow = arrow_at(mouse->x, mouse->y);
    if (arrow == ARROW_TURN_LEFT)
        turn(-1);
    else if (arrow == ARROW_TURN_RIGHT)
        turn(+1);
    else if (arrow >= 0)
        step(arrow);
    else if (view_clicked && mouse->y >= VIEW_FIRST_ROW && mouse->y < PANEL_FIRST_ROW - 1)
        view_clicked(mouse->x, mouse->y, shift_held());
}
