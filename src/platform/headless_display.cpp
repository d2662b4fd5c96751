#include "platform/headless_display.h"

#include <algorithm>

#include "core/clock.h"
#include "core/events.h"
#include "gfx/screen.h"
#include "platform/commands.h"
#include "platform/geometry.h"

namespace {

// The clock source of the event tree is a plain function: it reads the open
// headless display, if any.
HeadlessDisplay* clock_owner = nullptr;
int64_t virtual_clock() {
    return clock_owner ? static_cast<int64_t>(clock_owner->milliseconds()) : 0;
}
// The idle sleep of the main loop passes virtual time instead.
void virtual_sleep(int ms) {
    if (clock_owner) clock_owner->sleep_ms(ms);
}

constexpr size_t SCREEN_PIXELS = static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT;

uint16_t blend_alpha(uint16_t dst, uint16_t src, int alpha) {
    if (alpha >= 255) return src;
    if (alpha <= 0) return dst;
    auto mix = [alpha](int d, int s) { return (s * alpha + d * (255 - alpha)) / 255; };
    const int r = mix((dst >> 10) & 31, (src >> 10) & 31);
    const int g = mix((dst >> 5) & 31, (src >> 5) & 31);
    const int b = mix(dst & 31, src & 31);
    return static_cast<uint16_t>((r << 10) | (g << 5) | b);
}

// Nearest-neighbour copy of src_rect of a w x h picture into dst_rect of the
// 640 x 480 target; pixels with bit 15 are transparent, alpha scales the rest.
void blit(std::vector<uint16_t>& target, const std::vector<uint16_t>& src, int src_w, int src_h,
          display_rect s, const display_rect& d, int alpha) {
    if (s.w <= 0 || s.h <= 0 || d.w <= 0 || d.h <= 0 || src.empty()) return;
    for (int y = std::max(d.y, 0); y < std::min(d.y + d.h, SCREEN_HEIGHT); ++y) {
        const int sy = s.y + static_cast<int>(int64_t{y - d.y} * s.h / d.h);
        if (sy < 0 || sy >= src_h) continue;
        for (int x = std::max(d.x, 0); x < std::min(d.x + d.w, SCREEN_WIDTH); ++x) {
            const int sx = s.x + static_cast<int>(int64_t{x - d.x} * s.w / d.w);
            if (sx < 0 || sx >= src_w) continue;
            const uint16_t p = src[static_cast<size_t>(sy) * src_w + sx];
            if (p & 0x8000) continue;
            uint16_t& out = target[static_cast<size_t>(y) * SCREEN_WIDTH + x];
            out = blend_alpha(out, p, alpha);
        }
    }
}

const display_rect WHOLE{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};

}  // namespace

HeadlessDisplay::HeadlessDisplay(int ms_per_poll, wake_mode wake)
    : ms_per_poll_(std::max(ms_per_poll, 0)), wake_(wake) {
    textures_[0].assign(SCREEN_PIXELS, 0);
    textures_[1].assign(SCREEN_PIXELS, 0);
}

HeadlessDisplay::~HeadlessDisplay() {
    close();
}

void HeadlessDisplay::open(const video_settings& settings, const char* title) {
    settings_ = settings;
    title_ = title ? title : "";
    {
        std::lock_guard guard(lock_);
        if (settings.crt == CRT_NONE) crt_enabled_ = 0;
    }
    open_ = true;
    clock_owner = this;
    set_clock_source(virtual_clock);
    set_main_loop_sleep(virtual_sleep);
}

void HeadlessDisplay::close() {
    if (!open_) return;
    pump();
    open_ = false;
    if (clock_owner == this) {
        clock_owner = nullptr;
        set_clock_source(nullptr);
        set_main_loop_sleep(nullptr);
    }
}

void HeadlessDisplay::set_window_icon(const uint8_t* bmp, size_t length) {
    if (bmp) icon_.assign(bmp, bmp + length);
}

bool HeadlessDisplay::set_clipboard_text(const char* text) {
    clipboard_ = text ? text : "";
    return true;
}

bool HeadlessDisplay::controller_connected() {
    std::lock_guard guard(lock_);
    return controller_present_ && controller_.enabled;
}

void HeadlessDisplay::sleep_ms(int ms) {
    if (ms > 0) now_ms_ += static_cast<uint64_t>(ms);
    pump();
}

void HeadlessDisplay::poll_started() {
    now_ms_ += static_cast<uint64_t>(ms_per_poll_);
    pump();
    if (observer_) observer_(*this);
}

void HeadlessDisplay::inject(const scripted_input& input) {
    // Stable insertion by time, after everything already due at the same time.
    auto at =
        std::upper_bound(script_.begin() + static_cast<std::ptrdiff_t>(next_input_), script_.end(), input,
                         [](const scripted_input& a, const scripted_input& b) { return a.at_ms < b.at_ms; });
    script_.insert(at, input);
}

void HeadlessDisplay::inject_key(uint64_t at_ms, key_code code) {
    scripted_input in;
    in.kind = scripted_input::KEY;
    in.at_ms = at_ms;
    in.key = code;
    inject(in);
}

void HeadlessDisplay::inject_scancode(uint64_t at_ms, int scancode, bool shift, bool ctrl) {
    scripted_input in;
    in.kind = scripted_input::SCANCODE;
    in.at_ms = at_ms;
    in.scancode = scancode;
    in.shift = shift;
    in.ctrl = ctrl;
    inject(in);
}

void HeadlessDisplay::inject_mouse_move(uint64_t at_ms, int x, int y) {
    scripted_input in;
    in.kind = scripted_input::MOUSE_MOVE;
    in.at_ms = at_ms;
    in.x = x;
    in.y = y;
    inject(in);
}

void HeadlessDisplay::inject_mouse_button(uint64_t at_ms, int button, bool down) {
    scripted_input in;
    in.kind = scripted_input::MOUSE_BUTTON;
    in.at_ms = at_ms;
    in.button = button;
    in.down = down;
    inject(in);
}

void HeadlessDisplay::inject_quit(uint64_t at_ms) {
    scripted_input in;
    in.kind = scripted_input::QUIT;
    in.at_ms = at_ms;
    inject(in);
}

void HeadlessDisplay::deliver(const scripted_input& in) {
    switch (in.kind) {
        case scripted_input::KEY:
            queue_key(in.key);
            break;
        case scripted_input::SCANCODE:
            set_modifiers(in.ctrl, in.shift, caps_lock_on());
            queue_key(translate_key(in.scancode, in.shift, in.ctrl));
            break;
        case scripted_input::MOUSE_MOVE:
            mouse_moved(in.x, in.y);
            break;
        case scripted_input::MOUSE_BUTTON:
            mouse_button(in.button, in.down);
            break;
        case scripted_input::QUIT:
            request_quit();
            break;
        case scripted_input::CONTROLLER_BUTTON:
            controller_button(in.button, in.down);
            break;
    }
}

void HeadlessDisplay::pump() {
    while (next_input_ < script_.size() && script_[next_input_].at_ms <= now_ms_)
        deliver(script_[next_input_++]);
    process_commands();
}

void HeadlessDisplay::commands_pending() {
    wake_pending_ = true;
    if (wake_ == wake_mode::at_once) process_commands();
}

void HeadlessDisplay::process_commands() {
    if (!wake_pending_) return;
    wake_pending_ = false;
    if (execute_commands([this](const display_command& cmd) { execute(cmd); })) record_frame();
}

void HeadlessDisplay::execute(const display_command& cmd) {
    if (apply_sprite_placement(sprites_, cmd)) return;
    auto find = [this](int id) { return find_sprite(sprites_, id); };
    auto resort = [this] { sort_sprites(sprites_); };
    switch (cmd.op) {
        case OP_UPDATE: {
            const display_rect r = cmd.rect[0];
            if (r.x < 0 || r.y < 0 || r.w <= 0 || r.h <= 0 || r.x + r.w > SCREEN_WIDTH ||
                r.y + r.h > SCREEN_HEIGHT)
                break;
            for (int row = 0; row < r.h; ++row)
                std::copy_n(
                    cmd.pixels + static_cast<size_t>(row) * r.w, r.w,
                    slots_[0]->begin() + static_cast<std::ptrdiff_t>((r.y + row) * SCREEN_WIDTH + r.x));
            break;
        }
        case OP_SWAP_SLOTS:
            std::swap(slots_[0], slots_[1]);
            break;
        case OP_END_TRANSITION:
            std::swap(front_, back_);
            zoom_.reset();
            slide_.reset();
            break;
        case OP_ZOOM:
            zoom_ = zoom_state{cmd.rect[0], cmd.rect[1], cmd.rect[2], cmd.t};
            break;
        case OP_SLIDE:
            slide_ = std::array<display_rect, 4>{cmd.rect[0], cmd.rect[1], cmd.rect[2], cmd.rect[3]};
            break;
        case OP_SET_CURSOR:
            cursor_.assign(cmd.pixels, cmd.pixels + static_cast<size_t>(cmd.rect[0].w) * cmd.rect[0].h);
            cursor_w_ = cmd.rect[0].w;
            cursor_h_ = cmd.rect[0].h;
            break;
        case OP_REMOVE_CURSOR:
            cursor_.clear();
            cursor_w_ = cursor_h_ = 0;
            break;
        case OP_CREATE_SPRITE: {
            const display_rect r = cmd.rect[0];
            std::vector<uint16_t> pixels(cmd.pixels, cmd.pixels + static_cast<size_t>(r.w) * r.h);
            auto it = find(cmd.id);
            if (it == sprites_.end()) {
                sprites_.push_back(sprite{cmd.id, 0, std::move(pixels), r.w, r.h, r, false});
            } else {
                it->pixels = std::move(pixels);
                it->pw = r.w;
                it->ph = r.h;
                it->rect = r;
            }
            resort();
            break;
        }
        case OP_DELETE_SPRITE: {
            auto it = find(cmd.id);
            if (it != sprites_.end()) sprites_.erase(it);
            break;
        }
        default:  // sprite placement, handled above
            break;
    }
}

std::vector<uint16_t> HeadlessDisplay::compose() const {
    // Logical resolution: the viewport is the screen itself.
    std::vector<uint16_t> out(SCREEN_PIXELS, 0);
    if (slide_) {
        const auto& r = *slide_;
        blit(out, *back_, SCREEN_WIDTH, SCREEN_HEIGHT, WHOLE, WHOLE, 255);
        blit(out, *front_, SCREEN_WIDTH, SCREEN_HEIGHT, r[0], r[1], 255);
        blit(out, *back_, SCREEN_WIDTH, SCREEN_HEIGHT, r[2], r[3], 255);
    } else if (zoom_) {
        const zoom_state& z = *zoom_;
        blit(out, *back_, SCREEN_WIDTH, SCREEN_HEIGHT, WHOLE, WHOLE, 255);
        if (z.t >= 0) {
            blit(out, *front_, SCREEN_WIDTH, SCREEN_HEIGHT, lerp_rect(z.r2, z.r3, z.t), z.r1, 255);
            blit(out, *back_, SCREEN_WIDTH, SCREEN_HEIGHT, z.r1, lerp_rect(z.r3, z.r1, z.t),
                 static_cast<int>(255 * z.t));
        } else {
            const float u = 1 + z.t;
            blit(out, *back_, SCREEN_WIDTH, SCREEN_HEIGHT, lerp_rect(z.r2, z.r3, u), z.r1, 255);
            blit(out, *front_, SCREEN_WIDTH, SCREEN_HEIGHT, z.r1, lerp_rect(z.r3, z.r1, u),
                 static_cast<int>(255 * u));
        }
    } else {
        blit(out, *front_, SCREEN_WIDTH, SCREEN_HEIGHT, WHOLE, WHOLE, 255);
    }
    for (const sprite& s : sprites_)
        if (s.visible) blit(out, s.pixels, s.pw, s.ph, {0, 0, s.pw, s.ph}, s.rect, 255);
    return out;
}

void HeadlessDisplay::record_frame() {
    ++presents_;
    if (frames_.size() >= frame_limit_) return;
    headless_frame f;
    f.at_ms = now_ms_;
    f.pixels = compose();
    f.in_transition = slide_.has_value() || zoom_.has_value();
    frames_.push_back(std::move(f));
}
