// The streaming ring: continuous sound (music, a film's soundtrack) written
// by one producer into a looping 16-bit stereo source that a channel plays.
#include <algorithm>
#include <cstring>

#include "sound/sound_system.h"

std::size_t SoundSystem::stream_start(int rate, std::size_t size) {
  stream_finish();
  size -= size % 4;  // whole stereo frames
  if (size < 8 || rate <= 0) return 0;
  ring_ = std::make_shared<std::uint8_t[]>(size);  // zeros: silence
  ring_size_ = size;
  // The source shares the ring's bytes: they are freed with the last of them.
  std::shared_ptr<const std::uint8_t> bytes(ring_, ring_.get());
  ring_source_ = std::make_shared<WaveSource>(std::move(bytes), size, WAVE_S16_STEREO,
                                              static_cast<double>(static_cast<float>(rate) / mix_rate_), 0.0);
  mixer_.set_channel(stream_channel_,
                     std::make_unique<ChannelPlayer>(ring_source_, stereo_volume{ring_volume(), ring_volume()}));
  stream_channel_ ^= 1;
  ring_cursor_ = size / 2;
  return ring_cursor_;
}

std::size_t SoundSystem::stream_play_position() const {
  return ring_source_ ? ring_source_->heard_frame() * 4 : 0;
}

std::size_t SoundSystem::stream_write(const void* data, std::size_t count) {
  if (!ring_source_ || !data) return 0;
  const std::size_t play = stream_play_position();
  const std::size_t free = play < ring_cursor_ ? ring_size_ - ring_cursor_ : play - ring_cursor_;
  const std::size_t n = std::min(free, count);
  if (n == 0) return 0;
  std::memcpy(ring_.get() + ring_cursor_, data, n);
  ring_cursor_ += n;
  if (ring_cursor_ >= ring_size_) ring_cursor_ = 0;
  return n;
}

bool SoundSystem::stream_write_delta(const std::uint8_t* codes, std::size_t count, const std::int16_t table[256],
                                     std::int16_t acc[2], std::size_t& cursor, bool wait_for_room) {
  if (!ring_source_ || !codes || !table || !acc) return false;
  cursor %= ring_size_;
  const std::size_t play = stream_play_position();
  const std::size_t free = (play < cursor ? play + ring_size_ : play) - cursor;
  if (free < count * 2) {
    // No lock of the mixer is held here: the pass we wait for needs it.
    if (wait_for_room) mixer_.wait_for_pass();
    return false;
  }
  const std::size_t samples = ring_size_ / 2;
  const std::size_t first = cursor / 2;
  std::uint8_t* ring = ring_.get();
  for (std::size_t i = 0; i < count; ++i) {
    const auto v = static_cast<std::int16_t>(table[codes[i]] + acc[i & 1]);
    const std::size_t at = (first + i) % samples * 2;
    const auto u = static_cast<std::uint16_t>(v);
    ring[at] = static_cast<std::uint8_t>(u & 0xFF);
    ring[at + 1] = static_cast<std::uint8_t>(u >> 8);
    acc[i & 1] = v;
  }
  cursor = (cursor + count * 2) % ring_size_;
  ring_cursor_ = cursor;
  return true;
}

void SoundSystem::stream_fade() {
  if (!ring_source_) return;
  std::lock_guard guard(ring_source_->lock());
  const std::size_t frames = ring_size_ / 4;
  std::size_t i = ring_source_->heard_frame();
  const std::size_t w = ring_cursor_ / 4;
  const std::size_t n = i >= w ? w + frames - i : w - i;
  std::uint8_t* ring = ring_.get();
  for (std::size_t k = 0; k < n; ++k) {
    for (int side = 0; side < 2; ++side) {
      std::uint8_t* p = ring + i * 4 + side * 2;
      const auto s = static_cast<std::int16_t>(p[0] | (p[1] << 8));
      const auto faded = static_cast<std::uint16_t>(static_cast<std::int16_t>(
          static_cast<long long>(s) * static_cast<long long>(n - k) / static_cast<long long>(n)));
      p[0] = static_cast<std::uint8_t>(faded & 0xFF);
      p[1] = static_cast<std::uint8_t>(faded >> 8);
    }
    if (++i == frames) i = 0;
  }
}

void SoundSystem::stream_finish() {
  if (!ring_source_) return;
  {
    std::lock_guard guard(ring_source_->lock());
    // What is left to hear starts at the frame after the one being heard;
    // counting from the heard frame itself would play one stale frame past
    // the cursor (unfaded, a click at every change of music).
    const std::size_t frames = ring_size_ / 4;
    const std::size_t next = (stream_play_position() / 4 + 1) % frames;
    const std::size_t pending = (ring_cursor_ / 4 + frames - next) % frames;
    ring_source_->end_after(static_cast<double>(pending));
  }
  ring_source_.reset();
  ring_.reset();
  ring_size_ = 0;
  ring_cursor_ = 0;
}

void SoundSystem::stop_everything() {
  mixer_.clear();
  ring_source_.reset();
  ring_.reset();
  ring_size_ = 0;
  ring_cursor_ = 0;
  channel_volume_table_.clear();
}
