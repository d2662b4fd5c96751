#pragma once
// The game's side of the sound: what it last asked for each channel, the
// sound settings, the streaming ring, and the audio callback that renders the
// mixer. One instance serves the program (sound_system()); tests build their own.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "sound/sound_mixer.h"

// The streaming ring's two channels: consecutive rings alternate between them.
inline constexpr int STREAM_CHANNEL_FIRST = 4096;
// The volume ramp of the sound interface: 0 to full in 5000 output frames.
inline constexpr float SOUND_RAMP_STEP = 0.0002f;

// The display server's CRT switch, which the settings reach as code 7. The
// display installs it; until then setting it does nothing and it reads off.
struct sound_display_seam {
  void (*set_crt_enabled)(bool on) = nullptr;
  bool (*crt_enabled)() = nullptr;
};
void set_sound_display_seam(const sound_display_seam& seam);

struct sound_settings {
  float master_volume = 0.5f;
  float effects_volume = 1.0f;
  float music_volume = 0.5f;
  bool swap_channels = false;
  float bass_db = 0.0f;
  float treble_db = 0.0f;
};

class SoundSystem {
 public:
  SoundSystem();
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // The device's rate, once it is open; the tone control follows it.
  void set_mix_rate(float hz);
  float mix_rate() const { return mix_rate_; }

  // The audio callback: clears `frames` stereo float frames and, unless the
  // mixer has failed, mixes into them. A failure ends in silence for good.
  void render(float* out, std::size_t frames);
  bool failed() const { return failed_.load(); }

  // Starts a sample (type 1: unsigned 8-bit, else signed 16-bit mono) on the
  // channel, replacing what plays there. The source keeps `data` alive.
  // Sizes are in bytes; a loop start at or past the end means no loop.
  bool play(int channel, std::shared_ptr<const std::uint8_t> data, std::size_t size, std::size_t loop_start,
            int rate, int type);
  // Volumes 0 to 32768 a side; returns whether the channel plays.
  bool set_volume(int channel, int left, int right);
  void get_volume(int channel, int& left, int& right) const;
  bool is_playing(int channel) const { return mixer_.has_channel(channel); }
  bool cut(int channel) { return mixer_.cut(channel); }
  bool release(int channel) { return mixer_.release(channel); }
  // Ends the loop and the data after `length` bytes (never past the sample).
  bool set_end(int channel, std::size_t length);

  bool set_setting(int code, int value);
  int get_setting(int code) const;
  static bool has_setting(int code);
  const sound_settings& settings() const { return settings_; }

  // The streaming ring (one producer, the game thread).
  std::size_t stream_start(int rate, std::size_t size);
  std::size_t stream_write(const void* data, std::size_t count);
  // Without room for all the codes nothing is written and the result is
  // false, after waiting for the mixer's next pass when wait_for_room is set
  // (a caller with a clock of its own waits by that instead).
  bool stream_write_delta(const std::uint8_t* codes, std::size_t count, const std::int16_t table[256],
                          std::int16_t acc[2], std::size_t& cursor, bool wait_for_room = true);
  void stream_fade();
  void stream_finish();
  std::size_t stream_play_position() const;
  bool stream_active() const { return ring_source_ != nullptr; }

  // Every channel and the streaming ring end at once: nothing the game
  // lent to the mixer is read afterwards.
  void stop_everything();

  SoundMixer& mixer() { return mixer_; }

 private:
  stereo_volume effective_volume(int channel) const;
  float ring_volume() const { return settings_.music_volume * settings_.master_volume; }
  void apply_ring_volume();

  SoundMixer mixer_;
  float mix_rate_ = 44100.0f;
  std::atomic<bool> failed_{false};
  std::unordered_map<int, stereo_volume> channel_volume_table_;
  sound_settings settings_;
  // The ring: its bytes (shared with its source), size and write cursor.
  std::shared_ptr<std::uint8_t[]> ring_;
  std::size_t ring_size_ = 0;
  std::size_t ring_cursor_ = 0;
  std::shared_ptr<WaveSource> ring_source_;
  int stream_channel_ = STREAM_CHANNEL_FIRST;
};

// The program's sound.
SoundSystem& sound_system();

// The sound interface of the game, over sound_system(). sound_play borrows
// the data: it must live until the channel ends or is cut.
bool sound_play(int channel, const void* data, std::size_t size, std::size_t loop_start, int rate, int type);
bool sound_set_volume(int channel, int left, int right);
void sound_get_volume(int channel, int* left, int* right);
bool sound_is_playing(int channel);
void sound_cut(int channel);
void sound_release(int channel);
void sound_set_end(int channel, const void* data, std::size_t length);
bool sound_set_setting(int code, int value);
int sound_get_setting(int code);
bool sound_has_setting(int code);
// The callback in the device's own form: `bytes` bytes of float stereo.
void sound_audio_callback(void* userdata, std::uint8_t* stream, int bytes);
