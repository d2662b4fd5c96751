#include "sound/channel_player.h"

#include <algorithm>
#include <cmath>

namespace {

// One ramp step of one side; returns whether the volume moved.
// One ramp step of one side. The volume is placed at `steps_left` steps short
// of the target instead of summing steps, so float rounding never adds a
// frame to a ramp (0 to 1 in steps of 0.0002 takes 5000 frames exactly).
// Returns whether the volume moved.
bool ramp_side(float& volume, float target, float step, std::uint32_t& steps_left) {
  if (steps_left == 0) {
    if (volume == target) return false;
    volume = target;
    return true;
  }
  --steps_left;
  const float distance = static_cast<float>(steps_left) * step;
  volume = volume < target ? target - distance : target + distance;
  return true;
}

std::uint32_t steps_to(float from, float to, float step) {
  if (step <= 0) return 0;
  const double steps = std::fabs(static_cast<double>(to) - from) / step;
  // A hair over a whole number of steps is rounding, not another step.
  return static_cast<std::uint32_t>(std::max(0.0, std::ceil(steps - 1e-3)));
}

}  // namespace

ChannelPlayer::ChannelPlayer(std::shared_ptr<WaveSource> source, stereo_volume volume, float speed)
    : source_(std::move(source)), volume_(volume), target_(volume), speed_(speed) {}

bool ChannelPlayer::render(float* out, std::size_t frames) {
  stereo_volume volume, target, step;
  bool ramping = false;
  float speed = 1.0f;
  std::uint32_t steps[2];
  {
    std::lock_guard guard(mutex_);
    volume = volume_;
    target = target_;
    step = ramp_step_;
    ramping = ramping_;
    speed = speed_;
    steps[0] = steps_left_[0];
    steps[1] = steps_left_[1];
  }
  const double source_step = static_cast<double>(speed) * source_->rate_ratio();
  constexpr std::size_t chunk = 256;
  wave_frame buffer[chunk];
  std::size_t produced_total = 0;
  bool moved = false;
  while (produced_total < frames) {
    const std::size_t want = std::min(chunk, frames - produced_total);
    const std::size_t got = source_->render(source_step, buffer, want);
    float* o = out + produced_total * 2;
    for (std::size_t i = 0; i < got; ++i) {
      if (ramping) {
        moved |= ramp_side(volume.left, target.left, step.left, steps[0]);
        moved |= ramp_side(volume.right, target.right, step.right, steps[1]);
      }
      o[2 * i] += buffer[i].left * volume.left;
      o[2 * i + 1] += buffer[i].right * volume.right;
    }
    produced_total += got;
    if (got < want) break;
  }
  {
    // Volume changes come under the mixer's lock, which the pass holds: the
    // copy taken above is still the one in force.
    std::lock_guard guard(mutex_);
    volume_ = volume;
    ramping_ = ramping && moved;
    steps_left_[0] = steps[0];
    steps_left_[1] = steps[1];
  }
  return produced_total > 0;
}

void ChannelPlayer::ramp_to(stereo_volume target, stereo_volume step) {
  std::lock_guard guard(mutex_);
  target_ = target;
  ramp_step_ = step;
  steps_left_[0] = steps_to(volume_.left, target.left, step.left);
  steps_left_[1] = steps_to(volume_.right, target.right, step.right);
  ramping_ = true;
}

void ChannelPlayer::set_volume_now(int side, float value) {
  std::lock_guard guard(mutex_);
  (side == 0 ? volume_.left : volume_.right) = value;
  (side == 0 ? target_.left : target_.right) = value;
  steps_left_[side == 0 ? 0 : 1] = 0;
}

stereo_volume ChannelPlayer::volume() const {
  std::lock_guard guard(mutex_);
  return volume_;
}

bool ChannelPlayer::ramping() const {
  std::lock_guard guard(mutex_);
  return ramping_;
}
