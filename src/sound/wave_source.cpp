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

namespace {

// One sample of frame `frame` (side 0 left, 1 right) in the format F.
template <wave_format F>
inline float read_sample(const std::uint8_t* data, std::size_t frame, int side) {
  if constexpr (F == WAVE_U8_MONO) {
    return static_cast<float>(data[frame]) / 128.0f - 1.0f;
  } else if constexpr (F == WAVE_S8_MONO) {
    return static_cast<float>(static_cast<std::int8_t>(data[frame])) / 128.0f;
  } else if constexpr (F == WAVE_U16_MONO) {
    const std::uint8_t* p = data + frame * 2;
    return static_cast<float>(p[0] | (p[1] << 8)) / 32768.0f - 1.0f;
  } else if constexpr (F == WAVE_S16_MONO) {
    const std::uint8_t* p = data + frame * 2;
    return static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
  } else {
    const std::uint8_t* p = data + frame * 4 + side * 2;
    return static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
  }
}

}  // namespace

std::size_t WaveSource::render(double step, wave_frame* out, std::size_t frames) {
  std::lock_guard guard(mutex_);
  // A sample of fewer than two frames has nothing to step between (and with
  // none, map() would point before the data).
  if (length_ < 2) return 0;
  switch (format_) {
    case WAVE_U8_MONO:
      return render_as<WAVE_U8_MONO>(step, out, frames);
    case WAVE_S8_MONO:
      return render_as<WAVE_S8_MONO>(step, out, frames);
    case WAVE_U16_MONO:
      return render_as<WAVE_U16_MONO>(step, out, frames);
    case WAVE_S16_MONO:
      return render_as<WAVE_S16_MONO>(step, out, frames);
    case WAVE_S16_STEREO:
      return render_as<WAVE_S16_STEREO>(step, out, frames);
  }
  return 0;
}

template <wave_format F>
inline void interpolate(const std::uint8_t* data, std::uint64_t i0, std::uint64_t i1, float frac, wave_frame& out) {
  const float a = read_sample<F>(data, i0, 0);
  const float b = read_sample<F>(data, i1, 0);
  out.left = a + (b - a) * frac;
  if constexpr (F == WAVE_S16_STEREO) {
    const float c = read_sample<F>(data, i0, 1);
    const float d = read_sample<F>(data, i1, 1);
    out.right = c + (d - c) * frac;
  } else {
    out.right = out.left;
  }
}

template <wave_format F>
std::size_t WaveSource::render_as(double step, wave_frame* out, std::size_t frames) {
  const std::uint8_t* data = data_.get();
  const double last_pair = length_ - 1;  // below it, frames n and n + 1 are both plain
  std::size_t i = 0;
  while (i < frames) {
    // The plain stretch: no loop point, no end, nothing to map.
    {
      double pos = position_;
      const double base = position_offset_ + loop_fold_;
      const double end = end_position_;
      for (; i < frames && pos < end; ++i) {
        const double p = pos - base;
        if (!(p >= 0 && p < last_pair)) break;
        const auto i0 = static_cast<std::uint64_t>(p);
        interpolate<F>(data, i0, i0 + 1, static_cast<float>(p - static_cast<double>(i0)), out[i]);
        pos += step;
      }
      position_ = pos;
    }
    if (i == frames) break;
    // One frame at a loop point or an end.
    if (position_ >= end_position_) return i;
    double p = position_ - position_offset_ - loop_fold_;
    if (p >= length_ && loop_start_ < length_) {
      // Past the end of a loop: set whole loops aside, which maps the same
      // and keeps the next frames on the plain stretch.
      const double loop = length_ - loop_start_;
      loop_fold_ += std::floor((p - loop_start_) / loop) * loop;
      p = position_ - position_offset_ - loop_fold_;
    }
    p = std::max(0.0, map(p));
    const double n = std::floor(p);
    const auto i0 = static_cast<std::uint64_t>(map(n));
    const auto i1 = static_cast<std::uint64_t>(map(n + 1));
    if (i0 == i1) return i;  // the end of a sample that does not loop
    interpolate<F>(data, i0, i1, static_cast<float>(p - n), out[i]);
    position_ += step;
    ++i;
  }
  return frames;
}

void WaveSource::cut() {
  std::lock_guard guard(mutex_);
  position_offset_ = position_ - length_;
  loop_fold_ = 0;
  loop_start_ = length_;
}

void WaveSource::release() {
  std::lock_guard guard(mutex_);
  // Where the sound is now within the data, so that it goes on without a jump.
  position_offset_ = position_ - map(position_ - position_offset_ - loop_fold_);
  loop_fold_ = 0;
  loop_start_ = length_;
}

void WaveSource::set_end(double frames) {
  std::lock_guard guard(mutex_);
  position_offset_ = position_ - map(position_ - position_offset_ - loop_fold_);
  loop_fold_ = 0;
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
  auto frame = static_cast<std::size_t>(std::llround(std::max(0.0, map(position_ - position_offset_ - 1))));
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
