// The character generation screen: the portrait strip, the name field on the
// top bar, the disc with its pearl, the character sheet of a finished member,
// the party's faces and the four buttons (play, done, delete, again).
#include "story/character_generation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/decoders.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/party.h"
#include "sound/music_controller.h"
#include "story/character_sheet.h"
#include "story/main_menu.h"
#include "story/message_box.h"
#include "story/modal_keys.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

constexpr int NAME_X = 120, NAME_Y = 2, NAME_W = 104, NAME_RIGHT = 224, NAME_BOTTOM = 16;
constexpr int32_t NAME_COLOUR = 32736;
constexpr uint16_t TEXT_COLOUR = 0x7FFF;
constexpr int RANGE_X = 230, RANGE_STEP = 100, RANGE_Y = 2;
// The refusals' line, left of the sheet's food and water bars.
constexpr int MESSAGE_X = 165, MESSAGE_Y = 364;
constexpr int BUTTON_COUNT = 4, LABEL_X = 570, LABEL_Y = 405, LABEL_STEP = 19, BUTTON_W = 100;
// The raised buttons' rows in chargenb.pcx, placed from BUTTONS_RAISED_Y.
constexpr int BUTTONS_RAISED_Y = 392;
constexpr int BUTTON_FIRST_ROW[4] = {0, 18, 37, 55}, BUTTON_ROWS[4] = {18, 20, 20, 21};
constexpr int FIGURE_X = 40, FIGURE_Y = 80;
// The party's faces, where the removal mode picks a member.
constexpr int MEMBERS_X = 16, MEMBERS_Y = 378, MEMBERS_STEP = 64, MEMBER_FACE_W = 54, MEMBER_FACE_H = 75;
// The sheet's room over the disc while a finished member is shown.
constexpr int SHEET_ROOM_X = SHEET_X - 5, SHEET_ROOM_Y = SHEET_Y - 5, SHEET_ROOM_RIGHT = 639,
              SHEET_ROOM_BOTTOM = 374;
// Stand-ins while a picture is missing.
constexpr uint16_t MISSING_BACKGROUND = 0x0842, MISSING_PLACE = 0x2108, MISSING_PEARL = 0x7FFF;
constexpr int MISSING_PEARL_SIZE = 8;

enum chargen_button { BUTTON_PLAY = 0, BUTTON_DONE = 1, BUTTON_DELETE = 2, BUTTON_AGAIN = 3 };

struct screen_state {
    bool running = false;
    ui_window* window = nullptr;
    int slot = -1;          // the member being made or shown on the sheet
    bool on_sheet = false;  // the member is rolled and spends its points
    bool removal = false;
    bool dragging = false;
    bool made = false;        // the party is complete
    bool name_typed = false;  // the member's name is the player's, not a portrait's default
    bool rolled[PARTY_SLOTS] = {};
    pearl_place pearls[PARTY_SLOTS];
    std::string message;
    line_editor editor;
    std::string name_before_edit;
    std::vector<handle_id> defined;  // the handles the screen defined itself
};
screen_state state;

// ---- Pictures ------------------------------------------------------------------

// Each picture is loaded at once, with the music pumped between them so that
// its ring does not run dry.
void define_picture(handle_id id, const char* name) {
    const handle_record* record = handle_info(id);
    if (!record || record->state == HANDLE_UNDEFINED) {
        define_handle(id, name, decoder_for(decoder_id::pcx_to_pal8), PATH_GUI);
        state.defined.push_back(id);
    }
    window_picture(id);
    music_pump();
}

void define_pictures() {
    define_picture(H_CHARGEN_BACKGROUND, "postavy.pcx");
    define_picture(H_CHARGEN_PEARL, "perla.pcx");
    define_picture(H_CHARGEN_TOPBAR, "topbar_p.pcx");
    for (int i = 0; i < PORTRAIT_PLACES; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "XICHT%02x.PCX", i);
        define_picture(static_cast<handle_id>(H_CHARGEN_FACES + i), name);
        std::snprintf(name, sizeof name, "CHAR%02x.PCX", i);
        define_picture(static_cast<handle_id>(H_CHARGEN_FIGURES + i), name);
    }
}

void undefine_pictures() {
    for (handle_id id : state.defined) undefine_handle(id);
    state.defined.clear();
}

// An 8-bit picture of the right type, or null.
const picture* pal8(handle_id id) {
    const picture* pic = window_picture(id);
    return pic && pic->type == PIC_PAL8 ? pic : nullptr;
}

// Draws the part (sx, sy, w, h) of an 8-bit picture at (x, y), index 0
// transparent; greyed: each colour becomes its grey, darkened.
void put_part(const picture* pic, int x, int y, int sx, int sy, int w, int h, bool greyed = false) {
    if (!pic) return;
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* pixels = picture_pixels8(pic);
    for (int row = 0; row < h; ++row) {
        const int py = sy + row, ty = y + row;
        if (py < 0 || py >= pic->height || ty < 0 || ty >= SCREEN_HEIGHT) continue;
        for (int col = 0; col < w; ++col) {
            const int px = sx + col, tx = x + col;
            if (px < 0 || px >= pic->width || tx < 0 || tx >= SCREEN_WIDTH) continue;
            const uint8_t index = pixels[size_t(py) * pic->width + size_t(px)];
            if (index == 0) continue;
            uint16_t colour = palette[index];
            if (greyed) {
                const int grey = (((colour >> 10) & 31) + ((colour >> 5) & 31) + (colour & 31)) / 6;
                colour = static_cast<uint16_t>(grey << 10 | grey << 5 | grey);
            }
            frame_buffer[size_t(ty) * SCREEN_PITCH + size_t(tx)] = colour;
        }
    }
}

// The button under a screen point: the mask's pixel (1 to 4), or without a
// mask one row of LABEL_STEP pixels around each label; -1 for none.
int button_at(int x, int y) {
    const picture* mask = window_picture(H_CHARGENM);
    if (mask && (mask->type == PIC_NOPAL8 || mask->type == PIC_PAL8)) {
        const int mx = x - BUTTONS_X, my = y - BUTTONS_Y;
        if (mx < 0 || my < 0 || mx >= mask->width || my >= mask->height) return -1;
        const int value = picture_pixels8(mask)[size_t(my) * mask->width + size_t(mx)];
        return value >= 1 && value <= BUTTON_COUNT ? value - 1 : -1;
    }
    const int first = LABEL_Y - LABEL_STEP / 2;
    if (x < BUTTONS_X || x >= BUTTONS_X + BUTTON_W || y < first) return -1;
    const int row = (y - first) / LABEL_STEP;
    return row < BUTTON_COUNT ? row : -1;
}

// ---- The party -----------------------------------------------------------------

int members_made() {
    int count = 0;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (state.rolled[slot] && party_members[slot].used) ++count;
    return count;
}

int button_mask() {
    return chargen_button_mask(members_made(), members_made() > 0);
}

bool enabled(int button) {
    return (button_mask() >> button) & 1;
}

void set_name(party_member& member, const std::string& name) {
    std::memset(member.name, 0, sizeof member.name);
    std::memcpy(member.name, name.data(), std::min(name.size(), size_t(PARTY_NAME_MAX)));
}

void start_editing() {
    const std::string name = state.slot >= 0 ? party_members[state.slot].name : "";
    state.editor.start(name);
    state.name_before_edit = name;
}

// The next member is made in the first empty place, while the party has room.
void start_member() {
    state.slot = -1;
    state.on_sheet = false;
    state.name_typed = false;
    if (members_made() < CHARGEN_MAX) {
        for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
            if (party_members[slot].used) continue;
            prepare_member_placeholder(party_members[slot], 0);
            state.rolled[slot] = false;
            state.slot = slot;
            break;
        }
    }
    party_state.current = state.slot;
    start_editing();
}

void clear_party() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_members[slot] = party_member{};
        state.rolled[slot] = false;
        state.pearls[slot] = pearl_place{};
    }
}

void pick_portrait(int place) {
    if (state.slot < 0 || state.on_sheet || place < 0 || place >= PORTRAIT_PLACES) return;
    const int portrait = portrait_order[place];
    if (portrait_taken(portrait, state.slot)) return;
    party_member& m = party_members[state.slot];
    m.face = static_cast<uint8_t>(portrait);
    m.female = static_cast<uint8_t>(gender_of_place[place]);
    if (!state.name_typed) {
        set_name(m, interface_text(TEXT_DEFAULT_NAME + place));
        start_editing();
    }
}

// Done or Enter: a member with a portrait is rolled and goes to the sheet; a
// member on the sheet with a name makes way for the next one.
void finish_member() {
    if (state.slot < 0) return;
    party_member& m = party_members[state.slot];
    if (!state.on_sheet) {
        if (m.face == 0xFF) return;
        roll_member(m, profile_under_pearl(state.pearls[state.slot]));
        state.rolled[state.slot] = true;
        state.on_sheet = true;
        party_state.current = state.slot;
        return;
    }
    if (m.name[0] == 0) {
        state.message = interface_text(TEXT_NAME_MISSING);
        return;
    }
    state.message.clear();
    start_member();
}

void leave() {
    stop_flag = 1;
}

void play() {
    if (state.on_sheet && state.slot >= 0 && party_members[state.slot].name[0] == 0) {
        state.message = interface_text(TEXT_NAME_MISSING);
        return;
    }
    if (!enabled(BUTTON_PLAY)) return;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (!state.rolled[slot]) party_members[slot] = party_member{};
    apply_party_bonuses();
    state.made = true;
    leave();
}

bool ask(int question) {
    return message_box(0, 1, interface_text(TEXT_LEAVE_HOT_LETTERS), interface_text(question),
                       {interface_text(TEXT_CHARGEN_LEAVE_YES), interface_text(TEXT_CHARGEN_LEAVE_NO)}) == 0;
}

void start_over() {
    if (!ask(TEXT_ASK_START_OVER)) return;
    clear_party();
    state.message.clear();
    state.removal = false;
    start_member();
}

void ask_to_leave() {
    if (ask(TEXT_CHARGEN_LEAVE)) leave();
}

int member_face_at(int x, int y) {
    if (y < MEMBERS_Y || y >= MEMBERS_Y + MEMBER_FACE_H || x < MEMBERS_X) return -1;
    const int slot = (x - MEMBERS_X) / MEMBERS_STEP;
    if (slot >= PARTY_SLOTS || (x - MEMBERS_X) % MEMBERS_STEP >= MEMBER_FACE_W) return -1;
    return state.rolled[slot] && party_members[slot].used ? slot : -1;
}

void remove_member(int slot) {
    if (!ask(TEXT_ASK_REMOVE)) return;
    party_members[slot] = party_member{};
    state.rolled[slot] = false;
    if (slot == state.slot) state.slot = -1;
    // A member still being made stays; otherwise the freed place is made next.
    if (state.slot < 0) start_member();
}

void press_button(int button) {
    if (button < 0 || (!enabled(button) && button != BUTTON_AGAIN)) return;
    switch (button) {
        case BUTTON_PLAY:
            play();
            break;
        case BUTTON_DONE:
            finish_member();
            break;
        case BUTTON_DELETE:
            state.removal = true;
            break;
        case BUTTON_AGAIN:
            start_over();
            break;
        default:
            break;
    }
}

// ---- Drawing -------------------------------------------------------------------

// The adventure's text with its first two "%d" replaced by the numbers; any
// other '%' stays as it is, so an author's text never reads what is not there.
std::string range_text(const std::string& format, int low, int high) {
    std::string out;
    int used = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (used < 2 && format.compare(i, 2, "%d") == 0) {
            out += std::to_string(used++ == 0 ? low : high);
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

void draw_range_texts(const stat_profile& profile) {
    set_font(FONT_6X9, TEXT_COLOUR);
    for (int stat = 0; stat < 4; ++stat) {
        const std::string text =
            range_text(interface_text(TEXT_STAT_RANGE + stat), profile.minimum(stat), profile.maximum(stat));
        set_text_position(RANGE_X + RANGE_STEP * stat, RANGE_Y);
        draw_text(text);
    }
}

void draw_name_field() {
    draw_colour = 0;
    fill_rect(NAME_X, NAME_Y, NAME_RIGHT, NAME_BOTTOM);
    if (state.slot < 0) return;
    set_font(FONT_6X9, NAME_COLOUR);
    set_text_position(NAME_X, NAME_Y);
    draw_text(state.editor.text);
    set_text_position(NAME_X + text_width(state.editor.text.substr(0, state.editor.cursor)), NAME_Y + 3);
    draw_text("_");
}

void draw_strip() {
    for (int place = 0; place < PORTRAIT_PLACES; ++place) {
        const int portrait = portrait_order[place];
        const int x = STRIP_X + STRIP_STEP * place;
        const bool taken = portrait_taken(portrait, state.slot);
        const picture* face = pal8(static_cast<handle_id>(H_CHARGEN_FACES + portrait));
        if (!face) {
            draw_colour = taken ? 0 : MISSING_PLACE;
            fill_rect(x, STRIP_Y, x + STRIP_PLACE_W - 1, STRIP_Y + STRIP_PLACE_H - 1);
            continue;
        }
        put_part(face, x, STRIP_Y, (face->width - STRIP_PLACE_W) / 2, 8, STRIP_PLACE_W, STRIP_PLACE_H, taken);
        if (state.slot >= 0 && party_members[state.slot].face == portrait)
            draw_rect(x - 1, STRIP_Y - 1, x + STRIP_PLACE_W, STRIP_Y + STRIP_PLACE_H, TEXT_COLOUR);
    }
}

// The pearl: pixels with bit 7 set darken what lies under them.
void draw_pearl() {
    int cx = 0, cy = 0;
    pearl_point(state.pearls[state.slot], cx, cy);
    const picture* pearl = pal8(H_CHARGEN_PEARL);
    if (!pearl) {
        draw_colour = MISSING_PEARL;
        fill_rect(cx - MISSING_PEARL_SIZE / 2, cy - MISSING_PEARL_SIZE / 2, cx + MISSING_PEARL_SIZE / 2 - 1,
                  cy + MISSING_PEARL_SIZE / 2 - 1);
        return;
    }
    const int x0 = cx - pearl->width / 2, y0 = cy - pearl->height / 2;
    const uint16_t* palette = picture_palette(pearl);
    const uint8_t* pixels = picture_pixels8(pearl);
    for (int y = 0; y < pearl->height; ++y) {
        for (int x = 0; x < pearl->width; ++x) {
            const int tx = x0 + x, ty = y0 + y;
            if (tx < 0 || ty < 0 || tx >= SCREEN_WIDTH || ty >= SCREEN_HEIGHT) continue;
            const uint8_t index = pixels[size_t(y) * pearl->width + size_t(x)];
            uint16_t& out = frame_buffer[size_t(ty) * SCREEN_PITCH + size_t(tx)];
            if (index & 0x80)
                out = static_cast<uint16_t>((out >> 1) & 0x3DEF);
            else if (index != 0)
                out = palette[index];
        }
    }
}

bool inside_pearl(int x, int y) {
    int cx = 0, cy = 0;
    pearl_point(state.pearls[state.slot], cx, cy);
    const picture* pearl = pal8(H_CHARGEN_PEARL);
    const int w = pearl ? pearl->width : MISSING_PEARL_SIZE, h = pearl ? pearl->height : MISSING_PEARL_SIZE;
    return x >= cx - w / 2 && x < cx - w / 2 + w && y >= cy - h / 2 && y < cy - h / 2 + h;
}

// The strip, and the raised picture of each enabled button over it.
void draw_buttons() {
    if (const picture* strip = window_picture(H_CHARGEN)) put_picture(BUTTONS_X, BUTTONS_Y, strip);
    const picture* raised = window_picture(H_CHARGENB);
    for (int button = 0; button < BUTTON_COUNT && raised; ++button) {
        const int first = BUTTON_FIRST_ROW[button], rows = BUTTON_ROWS[button];
        if (!enabled(button) || raised->height < first + rows) continue;
        put_picture_rows(raised, pixel_address(BUTTONS_X, BUTTONS_RAISED_Y + first), first,
                         std::min<int>(raised->width, SCREEN_WIDTH - BUTTONS_X), rows);
    }
    for (int button = 0; button < BUTTON_COUNT; ++button) {
        const char* label = interface_text(TEXT_BUTTON_LABELS + button);
        set_font(FONT_6X9, enabled(button) || button == BUTTON_AGAIN ? TEXT_COLOUR : 0x4210);
        set_aligned_position(LABEL_X, LABEL_Y + LABEL_STEP * button, ALIGN_CENTRE, ALIGN_CENTRE, label);
        draw_text(label);
    }
}

void draw_members() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        if (!state.rolled[slot] || !party_members[slot].used) continue;
        const int x = MEMBERS_X + MEMBERS_STEP * slot;
        const picture* face = pal8(static_cast<handle_id>(H_CHARGEN_FACES + party_members[slot].face));
        if (face)
            put_part(face, x, MEMBERS_Y, 0, 0, MEMBER_FACE_W, MEMBER_FACE_H);
        else {
            draw_colour = MISSING_PLACE;
            fill_rect(x, MEMBERS_Y, x + MEMBER_FACE_W - 1, MEMBERS_Y + MEMBER_FACE_H - 1);
        }
        if (state.removal)
            draw_rect(x - 1, MEMBERS_Y - 1, x + MEMBER_FACE_W, MEMBERS_Y + MEMBER_FACE_H, 0x7C00);
    }
}

std::string game_text(int number) {
    return interface_text(number);
}

void draw_screen(ui_window*) {
    const font_settings caller_font = current_font_settings();
    set_target(frame_buffer);
    if (const picture* background = pal8(H_CHARGEN_BACKGROUND))
        put_picture(0, 0, background);
    else
        clear_buffer(frame_buffer, MISSING_BACKGROUND);
    if (const picture* bar = pal8(H_CHARGEN_TOPBAR)) put_picture(0, 0, bar);
    draw_strip();
    if (state.slot >= 0) {
        const party_member& m = party_members[state.slot];
        if (m.face != 0xFF)
            put_picture(FIGURE_X, FIGURE_Y, pal8(static_cast<handle_id>(H_CHARGEN_FIGURES + m.face)));
        if (state.on_sheet) {
            draw_colour = 0;
            fill_rect(SHEET_ROOM_X, SHEET_ROOM_Y, SHEET_ROOM_RIGHT, SHEET_ROOM_BOTTOM);
            draw_character_sheet(m, game_text);
        } else {
            draw_range_texts(profile_under_pearl(state.pearls[state.slot]));
            draw_pearl();
        }
    }
    draw_name_field();
    draw_members();
    draw_buttons();
    if (!state.message.empty()) {
        set_font(FONT_6X9, TEXT_COLOUR);
        set_aligned_position(MESSAGE_X, MESSAGE_Y, ALIGN_CENTRE, ALIGN_START, state.message);
        draw_text(state.message);
    }
    apply_font_settings(caller_font);
}

void show_screen() {
    if (state.window && top_window == state.window) redraw_window();
}

// ---- Keys and the mouse ----------------------------------------------------------

bool screen_on_top() {
    return state.running && state.window && top_window == state.window;
}

void screen_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !screen_on_top()) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    if (code != KEY_CLOSE_REQUEST) msg.number = EV_STOP;
    if (code == KEY_CLOSE_REQUEST) {
        leave();
        return;
    }
    if (is_escape(code)) {
        if (state.slot >= 0) {
            set_name(party_members[state.slot], state.name_before_edit);
            start_editing();
        }
        ask_to_leave();
    } else if (is_enter(code)) {
        start_editing();  // the typed name stands
        if (state.slot >= 0)
            finish_member();
        else
            play();
    } else if (state.slot >= 0) {
        const std::string before = state.editor.text;
        state.editor.key(code);
        if (state.editor.text != before) state.name_typed = true;
        set_name(party_members[state.slot], state.editor.text);
        if (!state.editor.text.empty()) state.message.clear();
    } else {
        return;
    }
    show_screen();
}

void screen_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !screen_on_top()) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    const int x = mouse->x, y = mouse->y;
    const bool making = state.slot >= 0 && !state.on_sheet;
    if (mouse->events & MOUSE_EV_LEFT_UP) state.dragging = false;
    if (state.dragging && making && mouse->left && (mouse->events & MOUSE_EV_MOTION)) {
        state.pearls[state.slot] = pearl_at_point(x, y);
        show_screen();
        return;
    }
    if (mouse->events & MOUSE_EV_RIGHT_DOWN) {
        if (state.removal) {
            state.removal = false;
            show_screen();
        }
        return;
    }
    if (!(mouse->events & MOUSE_EV_LEFT_DOWN)) return;
    if (state.removal) {
        state.removal = false;
        const int slot = member_face_at(x, y);
        if (slot >= 0) remove_member(slot);
        show_screen();
        return;
    }
    const int button = button_at(x, y);
    if (button >= 0) {
        press_button(button);
    } else if (making && inside_pearl(x, y)) {
        state.dragging = true;
        state.pearls[state.slot] = pearl_at_point(x, y);
    } else if (making && strip_place_at(x, y) >= 0) {
        pick_portrait(strip_place_at(x, y));
    } else if (state.on_sheet && state.slot >= 0) {
        const int attribute = sheet_plus_at(party_members[state.slot], x, y);
        if (attribute >= 0) raise_attribute(attribute);
    } else {
        return;
    }
    show_screen();
}

}  // namespace

bool run_character_generation() {
    if (state.running) return false;
    const font_settings caller_font = current_font_settings();
    state = screen_state{};
    define_pictures();
    clear_party();
    party_state.current = -1;
    start_member();
    ui_window* window = create_window(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, frame_style{});
    if (window) {
        open_window(window);
        set_modal();
        window->draw = draw_screen;
        state.window = window;
        state.running = true;
        static const modal_keys no_window_keys{};
        const modal_keys* outer_keys = install_modal_keys(&no_window_keys);
        // The screen opens from the middle; a stop asked for meanwhile leaves it.
        draw_screen(window);
        const bool opened = reveal_screen();
        add_event_handler(EV_KEY, screen_key);
        add_event_handler(EV_MOUSE, screen_mouse);
        if (opened) {
            redraw_window();
            main_loop();
        }
        remove_event_handler(EV_KEY, screen_key);
        remove_event_handler(EV_MOUSE, screen_mouse);
        restore_modal_keys(outer_keys);
        close_window(window);
    }
    const bool made = state.made;
    if (!made) clear_party();
    party_state.current = -1;
    undefine_pictures();
    state = screen_state{};
    apply_font_settings(caller_font);
    return made;
}

bool chargen_running() {
    return state.running;
}

int chargen_member_being_made() {
    return state.slot;
}

pearl_place chargen_pearl() {
    return state.slot >= 0 ? state.pearls[state.slot] : pearl_place{};
}

bool chargen_on_sheet() {
    return state.on_sheet;
}

bool chargen_removal_mode() {
    return state.removal;
}

std::string chargen_message() {
    return state.message;
}
