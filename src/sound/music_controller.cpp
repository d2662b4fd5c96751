#include "sound/music_controller.h"

#include <climits>
#include <utility>

#include "core/timers.h"
#include "sound/mus_format.h"
#include "sound/mus_parser.h"
#include "sound/playlist_rules.h"

MusicController::MusicController(SoundSystem& sound, music_opener open) : sound_(sound), open_(open) {}

MusicController::~MusicController() = default;

void MusicController::set_next_callback(music_next_callback fn, void* context) {
    next_ = fn;
    next_context_ = context;
}

void MusicController::set_heard_callback(music_heard_callback fn, void* context) {
    heard_ = fn;
    heard_context_ = context;
}

bool MusicController::start(const std::optional<std::string>& path) {
    stream_.reset();
    if (!path || !open_) return false;
    std::unique_ptr<IMusicStream> stream = open_(*path);
    if (!stream) return false;
    const music_format format = stream->get_format();
    if (format.channels != mus::MUSIC_CHANNELS || format.bytes_per_sample != mus::BYTES_PER_SAMPLE)
        return false;
    // A rate the ring cannot play would leave a stream that never drains.
    if (format.rate == 0 || format.rate > INT_MAX) return false;
    if (sound_.stream_start(static_cast<int>(format.rate), MUSIC_RING_BYTES) == 0) return false;
    stream_ = std::move(stream);
    stream_heard_ = false;
    return true;
}

bool MusicController::change(const std::optional<std::string>& path) {
    if (sound_.stream_active()) {
        sound_.stream_fade();
        sound_.stream_finish();
    }
    silent_pieces_ = 0;
    if (!start(path)) return false;
    pump();
    return true;
}

bool MusicController::next_piece() {
    if (!stream_heard_) ++silent_pieces_;
    stream_.reset();
    if (!next_ || silent_pieces_ >= MUSIC_SILENT_PIECES_LIMIT) return false;
    // The old ring plays out what it holds, unfaded, while the new one starts.
    return start(next_(next_context_));
}

void MusicController::pump() {
    for (;;) {
        if (!stream_) {
            sound_.stream_finish();
            return;
        }
        std::span<const uint8_t> chunk = stream_->read();
        while (!chunk.empty()) {
            if (!stream_heard_) {
                stream_heard_ = true;
                silent_pieces_ = 0;
                if (heard_) heard_(heard_context_);
            }
            const std::size_t n = sound_.stream_write(chunk.data(), chunk.size());
            if (n == 0) {
                // The ring is full: the next pump goes on from here.
                stream_->put_back(chunk);
                return;
            }
            chunk = chunk.subspan(n);
            if (chunk.empty()) chunk = stream_->read();
        }
        next_piece();
    }
}

namespace {

MusicController& controller() {
    static MusicController music(sound_system(), music_open);
    static const bool hooked = [] {
        music.set_heard_callback([](void*) { playlist_heard(); }, nullptr);
        return true;
    }();
    (void)hooked;
    return music;
}

void pump_timer(timer_node*) {
    controller().pump();
}

}  // namespace

bool music_change(const char* path) {
    return controller().change(path ? std::optional<std::string>(path) : std::nullopt);
}

bool music_change(const std::optional<std::string>& path) {
    return controller().change(path);
}

void music_stop() {
    controller().change(std::nullopt);
}

void music_pump() {
    controller().pump();
}

void music_set_next_callback(music_next_callback fn, void* context) {
    controller().set_next_callback(fn, context);
}

std::optional<std::string> music_next_from_playlist(void*) {
    return playlist_next();
}

void install_music_timer() {
    remove_timers(TIMER_MUSIC_PUMP);
    add_timer(TIMER_MUSIC_PUMP, MUSIC_PUMP_TICKS, TIMER_FOREVER, pump_timer);
}
