#include "platform/display_server.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "base/fatal.h"
#include "gfx/screen.h"
#include "platform/commands.h"

namespace {

std::atomic<bool> sdl_started{false};
// Joystick 0 while it is open; touched by the SDL thread (hot-plugging) and
// read by the stick poll on the timer thread.
std::atomic<SDL_Joystick*> joystick{nullptr};
// Set when the display thread itself ends the process: a fatal error in it,
// or the X connection lost (Xlib then calls exit from inside SDL's event
// loop). SDL cannot be shut down from there: with the connection gone its
// window clean-up waits forever for an answer of the X server.
std::atomic<bool> ended_from_display_thread{false};

void open_joystick_zero() {
    if (joystick.load() || SDL_NumJoysticks() < 1 || !SDL_IsGameController(0)) return;
    if (SDL_Joystick* j = SDL_JoystickOpen(0)) {
        joystick.store(j);
        SDL_JoystickEventState(SDL_ENABLE);
    }
}

void stop_sdl() {
    // A fatal error may end the process while the display thread runs: stop it
    // before SDL goes away under it.
    destroy_display();
    if (ended_from_display_thread.load()) return;  // the system frees what SDL holds
    if (SDL_Joystick* j = joystick.exchange(nullptr)) SDL_JoystickClose(j);
    SDL_Quit();
}

[[noreturn]] void sdl_failure(const char* what) {
    char text[512];
    std::snprintf(text, sizeof text, "SDL critical error: %s %s", what, SDL_GetError());
    throw std::runtime_error(text);
}

texture_layout layout_of(uint32_t format) {
    switch (format) {
        case SDL_PIXELFORMAT_RGBA8888:
            return texture_layout::rgba8888;
        case SDL_PIXELFORMAT_BGRA8888:
            return texture_layout::bgra8888;
        case SDL_PIXELFORMAT_ABGR8888:
            return texture_layout::abgr8888;
        case SDL_PIXELFORMAT_RGBA4444:
            return texture_layout::rgba4444;
        case SDL_PIXELFORMAT_ARGB4444:
            return texture_layout::argb4444;
        case SDL_PIXELFORMAT_BGRA4444:
            return texture_layout::bgra4444;
        case SDL_PIXELFORMAT_ABGR4444:
            return texture_layout::abgr4444;
        case SDL_PIXELFORMAT_ARGB2101010:
            return texture_layout::argb2101010;
        default:
            return texture_layout::argb8888;
    }
}

SDL_Rect to_sdl(const display_rect& r) {
    return SDL_Rect{r.x, r.y, r.w, r.h};
}

}  // namespace

void start_sdl() {
    if (sdl_started.load()) return;
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) != 0) {
        SDL_Log("Unable to initialize SDL: %s", SDL_GetError());
        throw std::runtime_error("SDL not inited");
    }
    open_joystick_zero();
    sdl_started.store(true);
    std::atexit(stop_sdl);
}

std::optional<texture_layout> choose_texture_layout(const uint32_t* formats, int count) {
    static constexpr uint32_t accepted[] = {
        SDL_PIXELFORMAT_RGBA8888, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_BGRA8888,
        SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_RGBA4444, SDL_PIXELFORMAT_ARGB4444,
        SDL_PIXELFORMAT_BGRA4444, SDL_PIXELFORMAT_ABGR4444, SDL_PIXELFORMAT_ARGB2101010};
    for (int i = 0; i < count; ++i)
        if (std::find(std::begin(accepted), std::end(accepted), formats[i]) != std::end(accepted))
            return layout_of(formats[i]);
    return std::nullopt;
}

std::optional<uint32_t> fallback_renderer_flags(uint32_t flags) {
    // Adding the software flag to the accelerated one would ask for a renderer
    // that is both, which none is: the fallback asks for software alone.
    if (flags & SDL_RENDERER_SOFTWARE) return std::nullopt;
    return SDL_RENDERER_SOFTWARE;
}

DisplayServer::DisplayServer() {
    start_sdl();
}

DisplayServer::~DisplayServer() {
    close();
}

void DisplayServer::open(const video_settings& settings, const char* title) {
    if (running_) return;
    if (!ev_commands_) {
        ev_commands_ = SDL_RegisterEvents(1);
        ev_present_ = SDL_RegisterEvents(1);
        ev_stop_ = SDL_RegisterEvents(1);
    }
    settings_ = settings;
    {
        std::lock_guard guard(lock_);
        crt_mode_ = settings.crt;
        if (settings.crt == CRT_NONE) {
            // Stored as automatic but switched off, so the options can turn it on later.
            crt_mode_ = CRT_AUTO;
            crt_enabled_ = 0;
        }
    }
    cursor_scale_ = settings.cursor_scale;
    title_ = title ? title : "";
    setup_done_.store(0);
    setup_error_ = nullptr;
    stage_ = "window";
    renderer_name_.clear();
    thread_ = std::thread([this] { thread_main(); });
    setup_done_.wait(0);
    if (setup_error_) {
        thread_.join();
        const std::string message =
            "Oops! The application couldn't start properly (problem during SDL initialization). Stage: [" +
            stage_ + "]\n\nRenderer: " + renderer_name_ +
            "\n\nThis may be caused by outdated or missing graphics or audio drivers.To fix this, please try "
            "the following:\n- Restart your computer and try again\n- Make sure your graphics and sound "
            "drivers are up to date.";
        try {
            std::rethrow_exception(setup_error_);
        } catch (...) {
            std::throw_with_nested(std::runtime_error(message));
        }
    }
    running_ = true;
    opened_at_ = SDL_GetTicks64();
}

void DisplayServer::close() {
    if (!running_) return;
    if (stick_timer_id_) {
        SDL_RemoveTimer(stick_timer_id_);
        stick_timer_id_ = 0;
    }
    running_ = false;
    if (std::this_thread::get_id() == thread_.get_id()) {
        // The display thread itself is ending the process (a fatal error, a
        // lost X connection).
        ended_from_display_thread.store(true);
        thread_.detach();
        return;
    }
    push_user_event(ev_stop_);
    thread_.join();
    // The next open makes new, black render targets.
    std::lock_guard guard(lock_);
    shown_.forget();
}

void DisplayServer::thread_main() {
    // SDL keeps per-thread data (its error text) that only its own threads
    // release on their way out.
    struct tls_cleanup {
        ~tls_cleanup() { SDL_TLSCleanup(); }
    } cleanup;
    try {
        set_up();
    } catch (...) {
        setup_error_ = std::current_exception();
        tear_down();
        setup_done_.store(1);
        setup_done_.notify_all();
        return;
    }
    setup_done_.store(1);
    setup_done_.notify_all();
    SDL_ShowCursor(SDL_DISABLE);
    try {
        event_loop();
    } catch (const std::exception& e) {
        SDL_ShowCursor(SDL_ENABLE);
        fatal_error("Display server - unhandled exception: %s", e.what());
    } catch (...) {
        SDL_ShowCursor(SDL_ENABLE);
        fatal_error("Display server - unhandled unknown exception (probably crash)");
    }
    SDL_ShowCursor(SDL_ENABLE);
    tear_down();
}

void DisplayServer::set_up() {
    stage_ = "window";
    uint32_t window_flags = SDL_WINDOW_RESIZABLE;
    if (settings_.fullscreen) window_flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               settings_.window_width, settings_.window_height, window_flags);
    if (!window_) sdl_failure("Failed to create window");
    fullscreen_.store(settings_.fullscreen);

    stage_ = "renderer";
    uint32_t flags = settings_.composer == COMPOSER_SOFTWARE   ? SDL_RENDERER_SOFTWARE
                     : settings_.composer == COMPOSER_HARDWARE ? SDL_RENDERER_ACCELERATED
                                                               : 0;
    for (;;) {
        renderer_ = SDL_CreateRenderer(window_, -1, flags);
        if (!renderer_) {
            const auto next = fallback_renderer_flags(flags);
            if (!next) sdl_failure("Failed to create composer");
            flags = *next;
            continue;
        }
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer_, &info);
        renderer_name_ = info.name ? info.name : "";
        stage_ = "pixel format";
        const bool big_enough = (info.max_texture_width == 0 || info.max_texture_width >= SCREEN_WIDTH) &&
                                (info.max_texture_height == 0 || info.max_texture_height >= SCREEN_HEIGHT);
        std::optional<texture_layout> layout;
        for (uint32_t i = 0; big_enough && i < info.num_texture_formats && !layout; ++i) {
            layout = choose_texture_layout(&info.texture_formats[i], 1);
            if (layout) format_code_ = info.texture_formats[i];
        }
        if (layout) {
            converter_ = pixel_converter(*layout);
            break;
        }
        const auto next = fallback_renderer_flags(flags);
        if (!next) sdl_failure("Failed to create composer, failed software fallback");
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
        flags = *next;
        stage_ = "renderer";
    }

    format_ = SDL_AllocFormat(format_code_);
    if (!format_) sdl_failure("Failed to create texture format");

    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    if (settings_.scale_quality != "auto" && !settings_.scale_quality.empty())
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, settings_.scale_quality.c_str());
    else if (info.flags & SDL_RENDERER_ACCELERATED)
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");

    stage_ = "main render target";
    slots_[0] =
        SDL_CreateTexture(renderer_, format_code_, SDL_TEXTUREACCESS_STREAMING, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!slots_[0]) sdl_failure("Failed to create render target");
    SDL_SetTextureBlendMode(slots_[0], SDL_BLENDMODE_BLEND);
    stage_ = "secondary render target";
    slots_[1] =
        SDL_CreateTexture(renderer_, format_code_, SDL_TEXTUREACCESS_STREAMING, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!slots_[1]) sdl_failure("Failed to create second render target");
    SDL_SetTextureBlendMode(slots_[1], SDL_BLENDMODE_BLEND);
    front_ = slots_[0];
    back_ = slots_[1];
    // Both targets start black and opaque.
    std::vector<uint16_t> black(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT, 0);
    upload(slots_[0], {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, black.data());
    upload(slots_[1], {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, black.data());
    {
        std::lock_guard guard(lock_);
        viewport_ = current_viewport();
    }
    // A moving cursor is presented at most once per refresh of the display.
    SDL_DisplayMode mode{};
    const int display_index = SDL_GetWindowDisplayIndex(window_);
    const int rate =
        display_index >= 0 && SDL_GetCurrentDisplayMode(display_index, &mode) == 0 && mode.refresh_rate > 0
            ? mode.refresh_rate
            : 60;
    frame_interval_ms_ = std::max(1, 1000 / rate);
    stage_ = "all done";
}

void DisplayServer::tear_down() {
    for (sprite& s : sprites_)
        if (s.texture) SDL_DestroyTexture(s.texture);
    sprites_.clear();
    if (cursor_) SDL_DestroyTexture(cursor_);
    cursor_ = nullptr;
    cursor_present_.store(false);
    if (crt_texture_) SDL_DestroyTexture(crt_texture_);
    crt_texture_ = nullptr;
    for (SDL_Texture*& t : slots_) {
        if (t) SDL_DestroyTexture(t);
        t = nullptr;
    }
    front_ = back_ = nullptr;
    if (format_) SDL_FreeFormat(format_);
    format_ = nullptr;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void DisplayServer::event_loop() {
    SDL_Event e;
    for (;;) {
        if (present_due_) {
            // A cursor picture waits for the next refresh; events still come in meanwhile.
            const uint64_t now = SDL_GetTicks64();
            const uint64_t due = last_present_ms_ + static_cast<uint64_t>(frame_interval_ms_);
            if (now >= due) {
                present();
                continue;
            }
            if (!SDL_WaitEventTimeout(&e, static_cast<int>(due - now))) continue;
        } else if (!SDL_WaitEvent(&e)) {
            continue;
        }
        if (!handle_event(e)) return;
    }
}

bool DisplayServer::handle_event(const SDL_Event& e) {
    if (e.type == ev_stop_) return false;
    if (e.type == ev_commands_) {
        apply_pending_icon();
        process_commands();
        return true;
    }
    if (e.type == ev_present_) {
        // The stick moved the cursor: shown at the display's rate.
        if (!process_commands() && cursor_) present_due_ = true;
        return true;
    }
    switch (e.type) {
        case SDL_QUIT:
            request_quit();
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                if (crt_texture_) SDL_DestroyTexture(crt_texture_);
                crt_texture_ = nullptr;
                {
                    std::lock_guard guard(lock_);
                    viewport_ = current_viewport();
                }
                present();
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                present();
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const uint16_t mod = e.key.keysym.mod;
            const bool ctrl = mod & KMOD_CTRL, shift = mod & KMOD_SHIFT;
            set_modifiers(ctrl, shift, mod & KMOD_CAPS);
            if (e.type != SDL_KEYDOWN) break;
            if ((mod & KMOD_ALT) && e.key.keysym.scancode == SDL_SCANCODE_RETURN) {
                const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN;
                if (SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
                    fullscreen_.store(!full);
                break;
            }
            queue_key(translate_key(e.key.keysym.scancode, shift, ctrl));
            break;
        }
        case SDL_MOUSEMOTION: {
            // Only the newest of the waiting motions matters.
            SDL_Event pending[32];
            int x = e.motion.x, y = e.motion.y, n;
            while ((n = SDL_PeepEvents(pending, 32, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION)) > 0) {
                x = pending[n - 1].motion.x;
                y = pending[n - 1].motion.y;
            }
            int lx, ly;
            window_to_logical(current_viewport(), x, y, lx, ly);
            mouse_moved(lx, ly);
            if (cursor_) {
                cursor_window_x_.store(x);
                cursor_window_y_.store(y);
                present_due_ = true;
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            mouse_button(e.button.button == SDL_BUTTON_LEFT     ? 1
                         : e.button.button == SDL_BUTTON_MIDDLE ? 2
                         : e.button.button == SDL_BUTTON_RIGHT  ? 3
                                                                : 0,
                         e.type == SDL_MOUSEBUTTONDOWN);
            break;
        case SDL_MOUSEWHEEL:
            mouse_wheel(e.wheel.y);
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (controller_button(e.jbutton.button, e.type == SDL_JOYBUTTONDOWN) && !stick_timer_id_)
                stick_timer_id_ = SDL_AddTimer(25, &DisplayServer::stick_timer, this);
            break;
        case SDL_JOYDEVICEADDED:
            open_joystick_zero();
            break;
        case SDL_JOYDEVICEREMOVED: {
            SDL_Joystick* j = joystick.load();
            if (j && SDL_JoystickInstanceID(j) == e.jdevice.which) {
                joystick.store(nullptr);
                SDL_JoystickClose(j);
                open_joystick_zero();  // another controller may take its place
            }
            break;
        }
        default:
            break;
    }
    return true;
}

uint32_t DisplayServer::stick_timer(uint32_t interval, void* self) {
    auto* server = static_cast<DisplayServer*>(self);
    SDL_Joystick* j = joystick.load();
    if (!j) return interval;
    std::array<int, 4> axes{};
    for (int i = 0; i < 4; ++i) axes[i] = SDL_JoystickGetAxis(j, i);
    if (server->stick_poll(axes) && server->cursor_present_.load())
        server->push_user_event(server->ev_present_);
    return interval;
}

void DisplayServer::cursor_moved_by_stick(int x, int y) {
    int wx, wy;
    logical_to_window(viewport_, x, y, wx, wy);
    cursor_window_x_.store(wx);
    cursor_window_y_.store(wy);
}

void DisplayServer::commands_pending() {
    // Before open there is no thread to wake; the commands wait for the first batch.
    if (running_) push_user_event(ev_commands_);
}

void DisplayServer::push_user_event(uint32_t type) {
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
}

bool DisplayServer::process_commands() {
    const bool any = execute_commands([this](const display_command& cmd) { execute(cmd); });
    if (any) present();
    return any;
}

void DisplayServer::upload(SDL_Texture* texture, const display_rect& rect, const uint16_t* pixels) {
    const size_t count = static_cast<size_t>(rect.w) * rect.h;
    const size_t words = (count * converter_.bytes_per_pixel() + 3) / 4;
    if (conversion_.size() < words) conversion_.resize(words);
    converter_.convert_row(pixels, conversion_.data(), static_cast<int>(count));
    const SDL_Rect r = to_sdl(rect);
    if (SDL_UpdateTexture(texture, &r, conversion_.data(), rect.w * converter_.bytes_per_pixel()) != 0)
        sdl_failure("Failed to update texture");
}

SDL_Texture* DisplayServer::make_static_texture(const uint16_t* pixels, int w, int h, const char* failure) {
    SDL_Texture* t = SDL_CreateTexture(renderer_, format_code_, SDL_TEXTUREACCESS_STATIC, w, h);
    if (!t) sdl_failure(failure);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    upload(t, {0, 0, w, h}, pixels);
    return t;
}

void DisplayServer::execute(const display_command& cmd) {
    if (apply_sprite_placement(sprites_, cmd)) return;
    auto find = [this](int id) { return find_sprite(sprites_, id); };
    auto resort = [this] { sort_sprites(sprites_); };
    switch (cmd.op) {
        case OP_UPDATE: {
            display_rect r = cmd.rect[0];
            if (r.x < 0 || r.y < 0 || r.x + r.w > SCREEN_WIDTH || r.y + r.h > SCREEN_HEIGHT || r.w <= 0 ||
                r.h <= 0)
                break;
            upload(slots_[0], r, cmd.pixels);
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
        case OP_SET_CURSOR: {
            SDL_Texture* t = make_static_texture(cmd.pixels, cmd.rect[0].w, cmd.rect[0].h,
                                                 "Failed to create surface for mouse cursor");
            if (cursor_) SDL_DestroyTexture(cursor_);
            cursor_ = t;
            cursor_w_ = cmd.rect[0].w;
            cursor_h_ = cmd.rect[0].h;
            cursor_present_.store(true);
            break;
        }
        case OP_REMOVE_CURSOR:
            if (cursor_) SDL_DestroyTexture(cursor_);
            cursor_ = nullptr;
            cursor_present_.store(false);
            break;
        case OP_CREATE_SPRITE: {
            SDL_Texture* t = make_static_texture(cmd.pixels, cmd.rect[0].w, cmd.rect[0].h,
                                                 "Failed to create compositor sprite");
            auto it = find(cmd.id);
            if (it == sprites_.end()) {
                sprites_.push_back(sprite{cmd.id, 0, t, cmd.rect[0], false});
            } else {
                SDL_DestroyTexture(it->texture);
                it->texture = t;
                it->rect = cmd.rect[0];
            }
            resort();
            break;
        }
        case OP_DELETE_SPRITE: {
            auto it = find(cmd.id);
            if (it != sprites_.end()) {
                SDL_DestroyTexture(it->texture);
                sprites_.erase(it);
            }
            break;
        }
        default:  // sprite placement, handled above
            break;
    }
}

viewport DisplayServer::current_viewport() {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    return compute_viewport(w, h, settings_.aspect_width, settings_.aspect_height);
}

void DisplayServer::present() {
    if (!renderer_) return;
    const viewport vp = current_viewport();
    const SDL_Rect whole{vp.x, vp.y, vp.w, vp.h};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    auto draw = [this, &vp](SDL_Texture* t, const display_rect& src, const display_rect& dst_window,
                            int alpha) {
        const SDL_Rect s = to_sdl(src), d = to_sdl(dst_window);
        SDL_SetTextureAlphaMod(t, static_cast<uint8_t>(std::clamp(alpha, 0, 255)));
        SDL_RenderCopy(renderer_, t, &s, &d);
        SDL_SetTextureAlphaMod(t, 255);
        (void)vp;
    };
    SDL_SetTextureAlphaMod(back_, 255);
    SDL_SetTextureAlphaMod(front_, 255);
    if (slide_) {
        const auto& r = *slide_;
        SDL_RenderCopy(renderer_, back_, nullptr, &whole);
        draw(front_, r[0], map_rect(vp, r[1]), 255);
        draw(back_, r[2], map_rect(vp, r[3]), 255);
    } else if (zoom_) {
        const zoom_state& z = *zoom_;
        SDL_RenderCopy(renderer_, back_, nullptr, &whole);
        const display_rect m1 = map_rect(vp, z.r1), m3 = map_rect(vp, z.r3);
        if (z.t >= 0) {
            draw(front_, lerp_rect(z.r2, z.r3, z.t), m1, 255);
            draw(back_, z.r1, lerp_rect(m3, m1, z.t), static_cast<int>(255 * z.t));
        } else {
            const float u = 1 + z.t;
            draw(back_, lerp_rect(z.r2, z.r3, u), m1, 255);
            draw(front_, z.r1, lerp_rect(m3, m1, u), static_cast<int>(255 * u));
        }
    } else {
        SDL_RenderCopy(renderer_, front_, nullptr, &whole);
    }
    for (const sprite& s : sprites_) {
        if (!s.visible) continue;
        const SDL_Rect d = to_sdl(map_rect(vp, s.rect));
        SDL_RenderCopy(renderer_, s.texture, nullptr, &d);
    }
    if (cursor_) {
        const float scale = cursor_scale_;
        const int w = static_cast<int>(static_cast<float>(cursor_w_ * vp.w) / SCREEN_WIDTH * scale);
        const int h = static_cast<int>(static_cast<float>(cursor_h_ * vp.h) / SCREEN_HEIGHT * scale);
        int hot_x, hot_y;
        {
            std::lock_guard guard(lock_);
            hot_x = cursor_hot_x_;
            hot_y = cursor_hot_y_;
        }
        const int hx = static_cast<int>(static_cast<float>(hot_x * vp.w) / SCREEN_WIDTH * scale);
        const int hy = static_cast<int>(static_cast<float>(hot_y * vp.h) / SCREEN_HEIGHT * scale);
        const SDL_Rect d{cursor_window_x_.load() - hx, cursor_window_y_.load() - hy, w, h};
        SDL_RenderCopy(renderer_, cursor_, nullptr, &d);
    }
    draw_crt_overlay(vp);
    SDL_RenderPresent(renderer_);
    present_due_ = false;
    last_present_ms_ = SDL_GetTicks64();
    presents_.fetch_add(1);
}

void DisplayServer::draw_crt_overlay(const viewport& vp) {
    int mode;
    {
        std::lock_guard guard(lock_);
        if (!crt_enabled_ || crt_suppressed_) return;
        mode = effective_crt_mode(crt_mode_, vp.h);
    }
    if (mode == CRT_NONE) return;
    if (crt_texture_ && (crt_for_w_ != vp.w || crt_for_h_ != vp.h)) {
        SDL_DestroyTexture(crt_texture_);
        crt_texture_ = nullptr;
    }
    if (!crt_texture_) {
        const crt_pattern p = make_crt_pattern(mode, vp.w, vp.h);
        if (p.rgba.empty()) return;
        SDL_Texture* t =
            SDL_CreateTexture(renderer_, format_code_, SDL_TEXTUREACCESS_STREAMING, p.width, p.height);
        if (!t) return;
        void* pixels;
        int pitch;
        if (SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0) {
            SDL_DestroyTexture(t);
            return;
        }
        const int bpp = format_->BytesPerPixel;
        for (int row = 0; row < p.height; ++row) {
            uint8_t* line = static_cast<uint8_t*>(pixels) + static_cast<size_t>(row) * pitch;
            for (int col = 0; col < p.width; ++col) {
                const uint32_t c = p.rgba[static_cast<size_t>(row) * p.width + col];
                const uint32_t v = SDL_MapRGBA(format_, c >> 24, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
                if (bpp == 4) {
                    std::memcpy(line + col * 4, &v, 4);
                } else {
                    const uint16_t v16 = static_cast<uint16_t>(v);
                    std::memcpy(line + col * 2, &v16, 2);
                }
            }
        }
        SDL_UnlockTexture(t);
        SDL_SetTextureBlendMode(t, SDL_BLENDMODE_MOD);
        crt_texture_ = t;
        crt_for_w_ = vp.w;
        crt_for_h_ = vp.h;
    }
    const SDL_Rect whole{vp.x, vp.y, vp.w, vp.h};
    SDL_RenderCopy(renderer_, crt_texture_, nullptr, &whole);
}

void DisplayServer::set_window_icon(const uint8_t* bmp, size_t length) {
    if (!bmp || length == 0) return;
    bool was_empty;
    {
        std::lock_guard guard(lock_);
        pending_icon_.assign(bmp, bmp + length);
        was_empty = commands_.empty();
    }
    if (running_ && was_empty) commands_pending();
}

void DisplayServer::apply_pending_icon() {
    std::vector<uint8_t> icon;
    {
        std::lock_guard guard(lock_);
        icon.swap(pending_icon_);
    }
    if (icon.empty() || !window_) return;
    SDL_RWops* rw = SDL_RWFromConstMem(icon.data(), static_cast<int>(icon.size()));
    if (!rw) return;
    if (SDL_Surface* s = SDL_LoadBMP_RW(rw, 1)) {
        SDL_SetWindowIcon(window_, s);
        SDL_FreeSurface(s);
    }
}

bool DisplayServer::set_clipboard_text(const char* text) {
    return SDL_SetClipboardText(text ? text : "") == 0;
}

bool DisplayServer::controller_connected() {
    std::lock_guard guard(lock_);
    return joystick.load() != nullptr && controller_.enabled;
}

uint64_t DisplayServer::milliseconds() {
    return SDL_GetTicks64() - opened_at_;
}

void DisplayServer::sleep_ms(int ms) {
    SDL_Delay(static_cast<uint32_t>(std::max(ms, 0)));
}
