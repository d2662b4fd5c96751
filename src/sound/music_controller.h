#pragma once
// The music controller: the one music stream that plays, kept feeding the
// mixer's streaming ring, with the next piece started when a stream ends.
// Changing the music fades the old ring out; the end of a piece lets the old
// ring play out unfaded while the next piece starts on a new ring.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "core/event_ids.h"
#include "sound/mus_stream.h"
#include "sound/sound_system.h"

// Bytes of every music ring: 65536 stereo frames, the first half silent.
constexpr std::size_t MUSIC_RING_BYTES = 262144;
// The pump timer: every 5 ticks, for good.
constexpr int TIMER_MUSIC_PUMP = 576;
constexpr int MUSIC_PUMP_TICKS = 5;
static_assert(id_blocks::sound.holds(TIMER_MUSIC_PUMP));
// Pieces in a row that may end without giving a byte of sound before the
// music stops: a source of nothing but empty pieces ends instead of spinning.
constexpr int MUSIC_SILENT_PIECES_LIMIT = 32;

// The path of the next piece, or none.
using music_next_callback = std::optional<std::string> (*)(void* context);
// Told once for each stream that delivered sound.
using music_heard_callback = void (*)(void* context);
// Opens a music file as a stream, or none.
using music_opener = std::unique_ptr<IMusicStream> (*)(const std::string& path);

class MusicController {
  public:
    explicit MusicController(SoundSystem& sound, music_opener open);
    ~MusicController();
    MusicController(const MusicController&) = delete;
    MusicController& operator=(const MusicController&) = delete;

    // Fades out what plays and starts the file; none only stops the music.
    // False when no music could be started.
    bool change(const std::optional<std::string>& path);
    // Keeps the ring filled; goes on to the next piece at the end of one.
    void pump();
    void set_next_callback(music_next_callback fn, void* context);
    void set_heard_callback(music_heard_callback fn, void* context);

    bool has_stream() const { return stream_ != nullptr; }

  private:
    // The stream at path if it is 16-bit stereo at a rate the ring takes,
    // with its ring started; false otherwise (and no stream).
    bool start(const std::optional<std::string>& path);
    // The stream ended: the next piece, or no music. False when none came.
    bool next_piece();

    SoundSystem& sound_;
    music_opener open_;
    std::unique_ptr<IMusicStream> stream_;
    bool stream_heard_ = false;
    int silent_pieces_ = 0;
    music_next_callback next_ = nullptr;
    void* next_context_ = nullptr;
    music_heard_callback heard_ = nullptr;
    void* heard_context_ = nullptr;
};

// The game's music, over sound_system(), music_open and the playlist (which
// hears of every stream that sounded). A null path is none.
bool music_change(const char* path);
bool music_change(const std::optional<std::string>& path);
void music_stop();
void music_pump();
void music_set_next_callback(music_next_callback fn, void* context);
// The playlist's next piece, as the next-piece callback of start-up.
std::optional<std::string> music_next_from_playlist(void* context);
// The repeating timer that pumps the music.
void install_music_timer();
