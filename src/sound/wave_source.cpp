#include "sound/wave_source.h"

#include <algorithm>
#include <cmath>

std::size_t wave_frame_bytes(wave_format format) {
  switch (format) {
    case WAVE_U16_MONO:
    case WAVE_S16_MONO:
      return 2;
    case WAVE_S16_STEREO:
      return 4;
    default:
      return 1;
  }
}

WaveSource::WaveSource(std::shared_ptr<const std::uint8_t> data, std::size_t size_bytes, wave_format format,
                       double rate_ratio, double loop_start_frames)
    : data_(std::move(data)), format_(format), rate_ratio_(rate_ratio) {
  data_frames_ = data_ ? static_cast<double>(size_bytes / wave_frame_bytes(format)) : 0.0;
  length_ = data_frames_;
  loop_start_ = std::clamp(loop_start_frames, 0.0, length_);
}

double WaveSource::map(double x) const {
  if (x < length_) return x;
  if (loop_start_ >= length_) return length_ - 1;  // the last frame is held
  return loop_start_ + std::fmod(x - length_, length_ - loop_start_);
}

float WaveSource::sample_at(std::size_t frame, int side) const {
  const std::uint8_t* p = data_.get() + frame * wave_frame_bytes(format_);
  switch (format_) {
    case WAVE_U8_MONO:
      return static_cast<float>(p[0]) / 128.0f - 1.0f;
    case WAVE_S8_MONO:
      return static_cast<float>(static_cast<std::int8_t>(p[0])) / 128.0f;
    case WAVE_U16_MONO:
      return static_cast<float>(p[0] | (p[1] << 8)) / 32768.0f - 1.0f;
    case WAVE_S16_MONO:
      return static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
    case WAVE_S16_STEREO:
      p += side * 2;
      return static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
  }
  return 0.0f;
}

std::size_t WaveSource::render(double step, wave_frame* out, std::size_t frames) {
  std::lock_guard guard(mutex_);
  // A sample of fewer than two frames has nothing to step between (and with
  // none, map() would point before the data).
  if (length_ < 2) return 0;
  const bool stereo = is_stereo();
  for (std::size_t i = 0; i < frames; ++i) {
    if (position_ >= end_position_) return i;
    double p = map(position_ - position_offset_);
    if (p < 0) p = 0;
    const double n = std::floor(p);
    const double f = p - n;
    const auto i0 = static_cast<std::uint64_t>(map(n));
    const auto i1 = static_cast<std::uint64_t>(map(n + 1));
    if (i0 == i1) return i;
    const auto frac = static_cast<float>(f);
    const float a = sample_at(i0, 0);
    const float b = sample_at(i1, 0);
    out[i].left = a + (b - a) * frac;
    if (stereo) {
      const float c = sample_at(i0, 1);
      const float d = sample_at(i1, 1);
      out[i].right = c + (d - c) * frac;
    } else {
      out[i].right = out[i].left;
    }
    position_ += step;
  }
  return frames;
}

void WaveSource::cut() {
  std::lock_guard guard(mutex_);
  position_offset_ = position_ - length_;
  loop_start_ = length_;
}

void WaveSource::release() {
  std::lock_guard guard(mutex_);
  // Where the sound is now within the data, so that it goes on without a jump.
  position_offset_ = position_ - map(position_ - position_offset_);
  loop_start_ = length_;
}

void WaveSource::set_end(double frames) {
  std::lock_guard guard(mutex_);
  position_offset_ = position_ - map(position_ - position_offset_);
  length_ = std::clamp(std::floor(frames), 0.0, data_frames_);
  loop_start_ = length_;
}

void WaveSource::end_after(double frames) {
  std::lock_guard guard(mutex_);
  end_position_ = position_ + frames;
}

double WaveSource::position() const {
  std::lock_guard guard(mutex_);
  return position_;
}

std::size_t WaveSource::heard_frame() const {
  std::lock_guard guard(mutex_);
  if (length_ < 1) return 0;
  if (position_ == 0) return static_cast<std::size_t>(length_) - 1;
  auto frame = static_cast<std::size_t>(std::llround(std::max(0.0, map(position_ - 1))));
  // A position just short of the end rounds up to the length: that is frame 0.
  if (frame >= static_cast<std::size_t>(length_)) frame = 0;
  return frame;
}

double WaveSource::length() const {
  std::lock_guard guard(mutex_);
  return length_;
}

double WaveSource::loop_start() const {
  std::lock_guard guard(mutex_);
  return loop_start_;
}
