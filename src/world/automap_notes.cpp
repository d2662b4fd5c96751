// The notes on the automap: their records in the map (kept with its state),
// drawing them, finding the one under the mouse, and editing one.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/screen.h"
#include "world/automap.h"
#include "world/map.h"

namespace {

constexpr int NOTE_HEADER_BYTES = 12;   // x, y, layer
constexpr size_t NOTE_TEXT_MAX = 1000;  // keeps a record's 16-bit length far from its limit
constexpr int EDIT_ROWS = 20;
constexpr int AREA_LEFT = 8, AREA_RIGHT = 629, AREA_TOP = 16, AREA_BOTTOM = 375;

int32_t read32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
                                static_cast<uint32_t>(b[at + 2]) << 16 |
                                static_cast<uint32_t>(b[at + 3]) << 24);
}
void write32(std::vector<uint8_t>& b, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

void note_font() {
    set_font(FONT_5X8, 0 | FONT_GREY_SHADOW);
}

int char_width(char c) {
    return text_width(std::string_view(&c, 1));
}

// Notes come from saved records: their positions may be anywhere.
int64_t screen_x(const automap_note& n) {
    return static_cast<int64_t>(n.x) - automap_centre_x() + AUTOMAP_CENTRE_X;
}
int64_t screen_y(const automap_note& n) {
    return static_cast<int64_t>(n.y) - automap_centre_y() + AUTOMAP_CENTRE_Y;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

void store_edit(const std::string& text) {
    automap.editing = false;
    if (blank(text)) return;
    automap_note n;
    n.x = automap.edit_x + automap_centre_x() - AUTOMAP_CENTRE_X;
    n.y = automap.edit_y + automap_centre_y() - AUTOMAP_CENTRE_Y;
    n.layer = automap.layer;
    n.text = text;
    add_automap_note(n);
}

void restore_edit_rows() {
    const int first = std::clamp(automap.edit_y, 0, SCREEN_HEIGHT);
    const int rows = std::min(EDIT_ROWS, SCREEN_HEIGHT - first);
    if (automap.edit_saved.size() < static_cast<size_t>(rows) * SCREEN_PITCH) return;
    std::copy_n(automap.edit_saved.data(), static_cast<size_t>(rows) * SCREEN_PITCH,
                frame_buffer + static_cast<ptrdiff_t>(first) * SCREEN_PITCH);
}

}  // namespace

bool decode_automap_note(const std::vector<uint8_t>& record, automap_note& note) {
    if (record.size() < NOTE_HEADER_BYTES + 1) return false;
    const auto* text = reinterpret_cast<const char*>(record.data() + NOTE_HEADER_BYTES);
    const size_t room = record.size() - NOTE_HEADER_BYTES;
    const void* end = std::memchr(text, 0, room);
    if (!end) return false;
    note.x = read32(record, 0);
    note.y = read32(record, 4);
    note.layer = read32(record, 8);
    note.text.assign(text, static_cast<const char*>(end));
    return true;
}

std::vector<uint8_t> encode_automap_note(const automap_note& note) {
    std::vector<uint8_t> record;
    write32(record, note.x);
    write32(record, note.y);
    write32(record, note.layer);
    const std::string text = note.text.substr(0, std::min(note.text.find('\0'), NOTE_TEXT_MAX));
    record.insert(record.end(), text.begin(), text.end());
    record.push_back(0);
    return record;
}

std::vector<automap_note> automap_notes() {
    std::vector<automap_note> notes;
    for (const std::vector<uint8_t>& record : current_map.automap_notes) {
        automap_note n;
        if (decode_automap_note(record, n))
            notes.push_back(n);
        else
            notes.push_back(automap_note{INT32_MIN / 2, INT32_MIN / 2, INT32_MIN, {}});  // keeps the indexes
    }
    return notes;
}

void add_automap_note(const automap_note& note) {
    current_map.automap_notes.push_back(encode_automap_note(note));
}

void remove_automap_note(int index) {
    if (index < 0 || static_cast<size_t>(index) >= current_map.automap_notes.size()) return;
    current_map.automap_notes.erase(current_map.automap_notes.begin() + index);
}

int automap_note_at(int x, int y) {
    const font_settings before = current_font_settings();
    note_font();
    const std::vector<automap_note> notes = automap_notes();
    int found = -1;
    for (size_t i = 0; i < notes.size() && found < 0; ++i) {
        const automap_note& n = notes[i];
        if (n.layer != automap.layer || n.text.empty()) continue;
        const int64_t left = screen_x(n), top = screen_y(n);
        const int width = std::max(text_width(n.text), AUTOMAP_CELL);
        const int height = std::max(text_height(n.text), AUTOMAP_CELL);
        if (x >= left && x < left + width && y >= top && y < top + height) found = static_cast<int>(i);
    }
    apply_font_settings(before);
    return found;
}

void draw_automap_notes() {
    const font_settings before = current_font_settings();
    note_font();
    for (const automap_note& n : automap_notes()) {
        if (n.layer != automap.layer || n.text.empty()) continue;
        const int64_t x = screen_x(n), y = screen_y(n);
        if (y < AREA_TOP || y > AREA_BOTTOM || x > AREA_RIGHT) continue;
        int pen = static_cast<int>(std::max<int64_t>(x, -0x10000000));
        size_t first = 0;
        if (pen < AREA_LEFT) {
            // From the first character that starts at x = 10 or further right.
            while (first < n.text.size() && pen < 10) pen += char_width(n.text[first++]);
            if (pen < 10) continue;
        }
        size_t last = first;
        int end = pen;
        while (last < n.text.size() && end + char_width(n.text[last]) <= SCREEN_WIDTH)
            end += char_width(n.text[last++]);
        set_text_position(pen, static_cast<int>(y));
        draw_text(std::string_view(n.text).substr(first, last - first));
    }
    apply_font_settings(before);
}

void start_note_edit(int x, int y, const std::string& text, bool existing) {
    automap.editing = true;
    automap.edit_x = x;
    automap.edit_y = y;
    automap.edit_text = text;
    automap.edit_before = existing ? text : std::string();
    const int first = std::clamp(y, 0, SCREEN_HEIGHT);
    const int rows = std::min(EDIT_ROWS, SCREEN_HEIGHT - first);
    automap.edit_saved.assign(frame_buffer + static_cast<ptrdiff_t>(first) * SCREEN_PITCH,
                              frame_buffer + static_cast<ptrdiff_t>(first + rows) * SCREEN_PITCH);
    draw_note_edit();
}

void draw_note_edit() {
    restore_edit_rows();
    const font_settings before = current_font_settings();
    note_font();
    set_text_position(automap.edit_x, automap.edit_y);
    draw_text(automap.edit_text + "_");
    apply_font_settings(before);
    const int first = std::clamp(automap.edit_y, 0, SCREEN_HEIGHT);
    present_rect(0, first, SCREEN_WIDTH, std::min(EDIT_ROWS, SCREEN_HEIGHT - first));
}

void automap_edit_key(int scan, int character) {
    if (!automap.editing) return;
    switch (scan) {
        case 1:  // Esc: what was there before
            restore_edit_rows();
            store_edit(automap.edit_before);
            draw_automap(automap.ox, automap.oy);
            return;
        case 28:  // Enter
            restore_edit_rows();
            store_edit(automap.edit_text);
            draw_automap(automap.ox, automap.oy);
            return;
        case 14:  // Backspace
            if (!automap.edit_text.empty()) automap.edit_text.pop_back();
            break;
        default: {
            if (character < 32 || character == 127) return;
            const font_settings before = current_font_settings();
            note_font();
            const std::string longer = automap.edit_text + static_cast<char>(character);
            const bool fits =
                automap.edit_x + text_width(longer) <= SCREEN_WIDTH && longer.size() <= NOTE_TEXT_MAX;
            apply_font_settings(before);
            if (!fits) return;
            automap.edit_text = longer;
            break;
        }
    }
    draw_note_edit();
}
