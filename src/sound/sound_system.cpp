#include "sound/sound_system.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/fatal.h"

namespace {

sound_display_seam display_seam;

}  // namespace

void set_sound_display_seam(const sound_display_seam& seam) { display_seam = seam; }

SoundSystem::SoundSystem() { mixer_.set_rate(mix_rate_); }

SoundSystem::~SoundSystem() = default;

void SoundSystem::set_mix_rate(float hz) {
  if (hz <= 0) return;
  mix_rate_ = hz;
  mixer_.set_rate(hz);
}

void SoundSystem::render(float* out, std::size_t frames) {
  std::fill(out, out + frames * 2, 0.0f);
  if (failed_.load()) return;
  try {
    mixer_.mix(out, frames);
  } catch (const std::exception& e) {
    failed_.store(true);
    std::fill(out, out + frames * 2, 0.0f);
    display_error("Unhandled exception in sound mixer: %s", e.what());
  } catch (...) {
    failed_.store(true);
    std::fill(out, out + frames * 2, 0.0f);
    display_error("Crash in sound mixer: %s", "unknown failure");
  }
}

stereo_volume SoundSystem::effective_volume(int channel) const {
  stereo_volume v;
  if (auto it = channel_volume_table_.find(channel); it != channel_volume_table_.end()) v = it->second;
  if (settings_.swap_channels) std::swap(v.left, v.right);
  const float scale = settings_.master_volume * settings_.effects_volume;
  return {v.left * scale, v.right * scale};
}

bool SoundSystem::play(int channel, std::shared_ptr<const std::uint8_t> data, std::size_t size,
                       std::size_t loop_start, int rate, int type) {
  if (!data || rate <= 0) return false;
  const std::size_t bytes_per_sample = type == 1 ? 1 : 2;
  const wave_format format = type == 1 ? WAVE_U8_MONO : WAVE_S16_MONO;
  const double loop_frames = static_cast<double>(loop_start / bytes_per_sample);
  auto source = std::make_shared<WaveSource>(std::move(data), size, format,
                                             static_cast<double>(static_cast<float>(rate) / mix_rate_), loop_frames);
  mixer_.set_channel(channel, std::make_unique<ChannelPlayer>(std::move(source), effective_volume(channel)));
  return true;
}

bool SoundSystem::set_volume(int channel, int left, int right) {
  channel_volume_table_[channel] = {static_cast<float>(left) / 32768.0f, static_cast<float>(right) / 32768.0f};
  return mixer_.ramp_volume(channel, effective_volume(channel), {SOUND_RAMP_STEP, SOUND_RAMP_STEP});
}

void SoundSystem::get_volume(int channel, int& left, int& right) const {
  stereo_volume v;
  if (auto it = channel_volume_table_.find(channel); it != channel_volume_table_.end()) v = it->second;
  left = static_cast<int>(v.left * 32768.0f);
  right = static_cast<int>(v.right * 32768.0f);
}

bool SoundSystem::set_end(int channel, std::size_t length) {
  // The channel's own format says how many bytes make a frame; the source
  // clamps the frames to the data it holds.
  return mixer_.set_end_bytes(channel, length);
}

void SoundSystem::apply_ring_volume() {
  for (int id : {STREAM_CHANNEL_FIRST, STREAM_CHANNEL_FIRST + 1}) {
    mixer_.set_volume_now(id, 0, ring_volume());
    mixer_.set_volume_now(id, 1, ring_volume());
  }
}

bool SoundSystem::set_setting(int code, int value) {
  // Values come from configuration files and saved games: a negative volume
  // would turn the wave upside down and a huge one only feeds the limiter,
  // so each volume is kept between silence and unit gain, and the tone
  // within what the settings screen offers.
  switch (code) {
    case 1: value = std::clamp(value, 0, 512); break;
    case 8: value = std::clamp(value, 0, 256); break;
    case 2: case 3: value = std::clamp(value, 0, 255); break;
    case 9: value = std::clamp(value, 0, 128); break;
    default: break;
  }
  switch (code) {
    case 0:
      return true;
    case 1:
      settings_.master_volume = static_cast<float>(value) / 512.0f;
      apply_ring_volume();
      return true;
    case 2:
      settings_.bass_db = static_cast<float>(value) / 25.0f;
      mixer_.set_bass(settings_.bass_db);
      return true;
    case 3:
      settings_.treble_db = static_cast<float>(value) / 25.0f;
      mixer_.set_treble(settings_.treble_db);
      return true;
    case 4:
      settings_.swap_channels = value != 0;
      return true;
    case 7:
      if (display_seam.set_crt_enabled) display_seam.set_crt_enabled(value != 0);
      return true;
    case 8:
      settings_.effects_volume = static_cast<float>(value) / 256.0f;
      return true;
    case 9:
      settings_.music_volume = static_cast<float>(value) / 128.0f;
      apply_ring_volume();
      return true;
    default:
      return false;
  }
}

int SoundSystem::get_setting(int code) const {
  switch (code) {
    case 0:
      return 1;
    case 1:
      return static_cast<int>(settings_.master_volume * 512.0f);
    case 2:
      return static_cast<int>(settings_.bass_db * 25.0f);
    case 3:
      return static_cast<int>(settings_.treble_db * 25.0f);
    case 4:
      return settings_.swap_channels ? 1 : 0;
    case 7:
      return display_seam.crt_enabled && display_seam.crt_enabled() ? 1 : 0;
    case 8:
      return static_cast<int>(settings_.effects_volume * 256.0f);
    case 9:
      return static_cast<int>(settings_.music_volume * 128.0f);
    default:
      return 0;
  }
}

bool SoundSystem::has_setting(int code) {
  switch (code) {
    case 0: case 1: case 2: case 3: case 7: case 8: case 9:
      return true;
    default:
      return false;
  }
}

SoundSystem& sound_system() {
  // Never destroyed: the device's thread may still call in while the
  // process exits, and the exit clean-up ends the channels after the
  // statics are gone.
  static SoundSystem* system = new SoundSystem;
  return *system;
}

namespace {

// Data the caller keeps: the source only borrows it.
std::shared_ptr<const std::uint8_t> borrowed(const void* data) {
  return {static_cast<const std::uint8_t*>(data), [](const std::uint8_t*) {}};
}

}  // namespace

bool sound_play(int channel, const void* data, std::size_t size, std::size_t loop_start, int rate, int type) {
  return data && sound_system().play(channel, borrowed(data), size, loop_start, rate, type);
}
bool sound_set_volume(int channel, int left, int right) { return sound_system().set_volume(channel, left, right); }
void sound_get_volume(int channel, int* left, int* right) {
  int l = 0, r = 0;
  sound_system().get_volume(channel, l, r);
  if (left) *left = l;
  if (right) *right = r;
}
bool sound_is_playing(int channel) { return sound_system().is_playing(channel); }
void sound_cut(int channel) { sound_system().cut(channel); }
void sound_release(int channel) { sound_system().release(channel); }
void sound_set_end(int channel, const void*, std::size_t length) { sound_system().set_end(channel, length); }
bool sound_set_setting(int code, int value) { return sound_system().set_setting(code, value); }
int sound_get_setting(int code) { return sound_system().get_setting(code); }
bool sound_has_setting(int code) { return SoundSystem::has_setting(code); }

void sound_audio_callback(void*, std::uint8_t* stream, int bytes) {
  if (!stream || bytes <= 0) return;
  std::memset(stream, 0, static_cast<std::size_t>(bytes));
  // The device hands a buffer of 32-bit float stereo frames, 8 bytes each.
  sound_system().render(reinterpret_cast<float*>(stream), static_cast<std::size_t>(bytes) / 8);
}
