#include "sound/channel_player.h"

#include <algorithm>

namespace {

// One ramp step of one side; returns whether the volume moved.
bool ramp_side(float& volume, float target, float step) {
  float d = target - volume;
  if (d > 0) d = std::min(d, step);
  if (d < 0) d = std::max(d, -step);
  volume += d;
  return d != 0;
}

}  // namespace

ChannelPlayer::ChannelPlayer(std::shared_ptr<WaveSource> source, stereo_volume volume, float speed)
    : source_(std::move(source)), volume_(volume), target_(volume), speed_(speed) {}

bool ChannelPlayer::render(float* out, std::size_t frames) {
  stereo_volume volume, target, step;
  bool ramping = false;
  float speed = 1.0f;
  {
    std::lock_guard guard(mutex_);
    volume = volume_;
    target = target_;
    step = ramp_step_;
    ramping = ramping_;
    speed = speed_;
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
        moved |= ramp_side(volume.left, target.left, step.left);
        moved |= ramp_side(volume.right, target.right, step.right);
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
  }
  return produced_total > 0;
}

void ChannelPlayer::ramp_to(stereo_volume target, stereo_volume step) {
  std::lock_guard guard(mutex_);
  target_ = target;
  ramp_step_ = step;
  ramping_ = true;
}

void ChannelPlayer::set_volume_now(int side, float value) {
  std::lock_guard guard(mutex_);
  (side == 0 ? volume_.left : volume_.right) = value;
  (side == 0 ? target_.left : target_.right) = value;
}

stereo_volume ChannelPlayer::volume() const {
  std::lock_guard guard(mutex_);
  return volume_;
}

bool ChannelPlayer::ramping() const {
  std::lock_guard guard(mutex_);
  return ramping_;
}
