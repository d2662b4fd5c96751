#include "story/credits.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "base/fatal.h"
#include "base/paths.h"
#include "base/strings.h"
#include "base/text_util.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/timers.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "sound/music_controller.h"
#include "sound/playlist_rules.h"
#include "story/main_menu.h"
#include "story/story_pictures.h"

namespace {

constexpr handle_id FONT_SMALL = FONT_SADA16;
constexpr handle_id FONT_BIG = FONT_TIMESE;
constexpr uint16_t HEAD_COLOUR = 19185, NAME_COLOUR = 24470, TEXT_COLOUR = 32766;
constexpr int HEAD_X = 50, NAME_X = 100, TEXT_X = 50, CENTRE_X = 320;
constexpr int TIMER_WAIT = 502;
constexpr int TEXT_END_MUSIC = 205;  // the interface text naming the end's playlist
constexpr int END_PAUSE_TICKS = 150;
constexpr uint16_t KEY_ESCAPE_CODE = 0x011B;

std::string upper(std::string_view word) {
    std::string out(word);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

// ---- The script ---------------------------------------------------------------

credits_script::credits_script(std::vector<std::string> lines)
    : lines_(std::move(lines)), next_font_(FONT_BIG) {
    state_.font = FONT_BIG;
    state_.colour = TEXT_COLOUR;
    state_.x = CENTRE_X;
    state_.centred = true;
}

void credits_script::command(const std::string& line) {
    const std::string_view rest = std::string_view(line).substr(1);
    const size_t blank = rest.find_first_of(" \t");
    const std::string word = upper(trim_blanks(rest.substr(0, blank)));
    const int number =
        blank == std::string_view::npos ? 0 : std::atoi(std::string(rest.substr(blank)).c_str());
    auto state = [&](uint16_t colour, int x, bool centred) {
        state_.font = next_font_;
        state_.colour = colour;
        state_.x = x;
        state_.centred = centred;
    };
    if (word == "HEAD")
        state(HEAD_COLOUR, HEAD_X, false);
    else if (word == "NAME")
        state(NAME_COLOUR, NAME_X, false);
    else if (word == "CENTER")
        state(TEXT_COLOUR, CENTRE_X, true);
    else if (word == "TEXT")
        state(TEXT_COLOUR, TEXT_X, false);
    else if (word == "KONEC")
        ended_ = true;
    else if (word == "LINE")
        min_height_ = std::clamp(number, 0, SCREEN_HEIGHT);
    else if (word == "SMALL")
        next_font_ = FONT_SMALL;
    else if (word == "BIG")
        next_font_ = FONT_BIG;
    else if (word == "SPEED")
        speed_ = std::max(1, number);  // 0 would never move
}

std::optional<credits_line> credits_script::next() {
    while (!ended_) {
        if (at_ >= lines_.size()) {
            ended_ = true;  // the end of the file counts as *KONEC
            break;
        }
        std::string line = lines_[at_++];
        if (line.size() > size_t(CREDITS_LINE_MAX)) line.resize(CREDITS_LINE_MAX);
        if (!line.empty() && line[0] == '*') {
            command(line);
            continue;
        }
        credits_line out = state_;
        out.text = std::move(line);
        out.min_height = min_height_;
        return out;
    }
    return std::nullopt;
}

// ---- The layer ------------------------------------------------------------------

credits_layer::credits_layer(credits_script& script, line_renderer draw)
    : script_(script), draw_(std::move(draw)), rows_(CREDITS_BAND_ROWS) {
    fill();
}

void credits_layer::fill() {
    while (rows_after_end_ < 0 && rows_.size() <= size_t(CREDITS_BAND_ROWS)) {
        const std::optional<credits_line> line = script_.next();
        if (!line) {
            // The last line goes on up until it has left the band.
            rows_after_end_ = CREDITS_BAND_ROWS;
            break;
        }
        for (row& r : draw_(*line)) rows_.push_back(std::move(r));
    }
}

bool credits_layer::step() {
    if (!rows_.empty()) rows_.pop_front();
    ++scrolled_;
    if (rows_after_end_ > 0 && --rows_after_end_ == 0) finished_ = true;
    fill();
    return !finished_;
}

bool credits_layer::advance(int ticks) {
    if (finished_) return false;
    pending_ticks_ += std::max(0, ticks);
    const int speed = std::max(1, script_.speed());
    const int pixels = std::min(pending_ticks_ / speed, CREDITS_MAX_STEP);
    pending_ticks_ = std::min(pending_ticks_ - pixels * speed, speed - 1);
    for (int i = 0; i < pixels; ++i)
        if (!step()) return false;
    return true;
}

const credits_layer::row* credits_layer::band_row(int r) const {
    if (r < 0 || r >= CREDITS_BAND_ROWS || size_t(r) >= rows_.size()) return nullptr;
    const row& found = rows_[size_t(r)];
    return found.empty() ? nullptr : &found;
}

// ---- The file -------------------------------------------------------------------

namespace {

std::optional<std::string> read_bytes(const std::string& path) {
    FILE* file = open_file(path, "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

// A text file as the game reads its texts: the file, or its scrambled .ENC form.
std::optional<std::vector<std::string>> read_text_file(const std::string& path) {
    std::optional<std::string> text = read_bytes(path);
    if (!text) {
        std::optional<std::string> scrambled = read_bytes(replace_extension(path, ".ENC"));
        if (!scrambled) return std::nullopt;
        text = unscramble_enc(*scrambled);
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text->size()) {
        size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string language_name_of(const std::string& name) {
    if (equal_ignoring_case(name, "TITULKY.TXT")) return "end_titles.txt";
    if (equal_ignoring_case(name, "ENDTEXT.TXT")) return "epilog.txt";
    return name;
}

// ---- Drawing ----------------------------------------------------------------------

std::vector<credits_layer::row> render_line(const credits_line& line) {
    static std::vector<uint16_t> scratch(size_t(SCREEN_WIDTH) * SCREEN_HEIGHT);
    const font_settings caller_font = current_font_settings();
    set_font(line.font, line.colour);
    int height = text_height(line.text.empty() ? std::string_view("W") : std::string_view(line.text));
    height = std::clamp(std::max(height, line.min_height), 0, SCREEN_HEIGHT);
    std::vector<credits_layer::row> rows(static_cast<size_t>(height));
    if (!line.text.empty() && height > 0) {
        uint16_t* const caller_target = screen_address();
        std::fill(scratch.begin(), scratch.end(), credits_layer::CLEAR);
        set_target(scratch.data());
        const int x = line.centred ? line.x - text_width(line.text) / 2 : line.x;
        set_text_position(x, 0);
        draw_text(line.text);
        set_target(caller_target);
        for (int y = 0; y < height; ++y) {
            const auto first = scratch.begin() + ptrdiff_t(y) * SCREEN_PITCH;
            if (std::any_of(first, first + SCREEN_WIDTH,
                            [](uint16_t p) { return p != credits_layer::CLEAR; }))
                rows[size_t(y)].assign(first, first + SCREEN_WIDTH);
        }
    }
    apply_font_settings(caller_font);
    return rows;
}

struct credits_run_state {
    credits_layer* layer = nullptr;
    bool done = false;
    std::vector<uint16_t> backdrop;  // the background's band
};
credits_run_state run;

void compose_band() {
    for (int r = 0; r < CREDITS_BAND_ROWS; ++r) {
        uint16_t* out = frame_buffer + (CREDITS_BAND_TOP + r) * SCREEN_PITCH;
        const uint16_t* under = run.backdrop.data() + size_t(r) * SCREEN_PITCH;
        const credits_layer::row* text = run.layer->band_row(r);
        if (!text) {
            std::copy(under, under + SCREEN_WIDTH, out);
            continue;
        }
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            out[x] = (*text)[size_t(x)] != credits_layer::CLEAR ? (*text)[size_t(x)] : under[x];
    }
    present_rect(0, CREDITS_BAND_TOP, SCREEN_WIDTH, CREDITS_BAND_ROWS);
}

void credits_tick(event_msg& msg, void**) {
    if (msg.number != EV_TICK || !run.layer) return;
    event_msg copy = msg;
    const int ticks = copy.next_int();
    const int before = run.layer->scrolled();
    const bool going = run.layer->advance(ticks);
    if (run.layer->scrolled() != before) compose_band();
    if (!going) run.done = true;
}

void credits_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !run.layer) return;
    msg.number = EV_STOP;
    run.done = true;
}

bool waited = false;

void wait_done(timer_node*) {
    waited = true;
}

void wait_ticks(int ticks) {
    waited = false;
    remove_timers(TIMER_WAIT);
    add_timer(TIMER_WAIT, ticks, 1, wait_done);
    run_until(waited);
    remove_timers(TIMER_WAIT);
}

void black_screen() {
    clear_buffer(frame_buffer, 0);
    present_rect(0, 0, 0, 0);
}

}  // namespace

std::optional<std::vector<std::string>> read_credits_file(const std::string& name) {
    const std::optional<std::string> own = language_file(language_name_of(name));
    const std::string first = own ? *own : build_path(path_table[PATH_MAPS], name);
    if (auto lines = read_text_file(first)) return lines;
    if (auto lines = read_text_file(name)) return lines;
    // The adventure is incomplete without it: the program ends.
    fatal_error("Soubor nenalezen: %s nebo %s\n", first.c_str(), name.c_str());
}

bool credits_run(const std::string& name, bool escape) {
    const std::optional<std::vector<std::string>> lines = read_credits_file(name);
    if (!lines) return false;
    undefine_handle(H_CREDITS_BACKGROUND);
    define_handle(H_CREDITS_BACKGROUND, "titulky.pcx", pcx_to_hicolor, PATH_GUI);
    set_target(frame_buffer);
    clear_buffer(frame_buffer, 0);
    if (const picture* background = window_picture(H_CREDITS_BACKGROUND)) put_picture(0, 0, background);
    if (!reveal_screen()) {  // the game is ending
        undefine_handle(H_CREDITS_BACKGROUND);
        return true;
    }

    credits_script script(*lines);
    credits_layer layer(script, render_line);
    run.layer = &layer;
    run.backdrop.assign(frame_buffer + CREDITS_BAND_TOP * SCREEN_PITCH,
                        frame_buffer + (CREDITS_BAND_TOP + CREDITS_BAND_ROWS) * SCREEN_PITCH);
    add_event_handler(EV_TICK, credits_tick);
    add_event_handler(EV_KEY, credits_key);
    run_until(run.done);
    remove_event_handler(EV_TICK, credits_tick);
    remove_event_handler(EV_KEY, credits_key);
    run = {};
    undefine_handle(H_CREDITS_BACKGROUND);
    if (escape) dispatch_event(EV_KEY, int32_t{KEY_ESCAPE_CODE});
    return true;
}

void end_sequence() {
    black_screen();
    playlist_set(interface_text(TEXT_END_MUSIC));
    music_change(playlist_next());
    wait_ticks(END_PAUSE_TICKS);
    // The end-of-game achievement is granted here once an achievements client exists.
    credits_run("ENDTEXT.TXT", true);
    wait_ticks(2);
    credits_run("TITULKY.TXT", false);
    music_stop();
    black_screen();
    wait_ticks(END_PAUSE_TICKS);
}
