#pragma once
// A playing sound: its source and its stereo volume, which moves towards a
// target by at most a fixed step per output frame.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "sound/wave_source.h"

struct stereo_volume {
  float left = 0;
  float right = 0;
};

class ChannelPlayer {
 public:
  ChannelPlayer(std::shared_ptr<WaveSource> source, stereo_volume volume, float speed = 1.0f);

  // Adds `frames` frames of the source into the interleaved stereo `out`;
  // returns false when the source produced nothing (it has ended).
  bool render(float* out, std::size_t frames);

  void ramp_to(stereo_volume target, stereo_volume step);
  // Sets one side's volume (0 left, 1 right) at once, ending its ramp.
  void set_volume_now(int side, float value);
  stereo_volume volume() const;
  bool ramping() const;

  WaveSource& source() { return *source_; }

 private:
  std::shared_ptr<WaveSource> source_;
  mutable std::mutex mutex_;
  stereo_volume volume_;
  stereo_volume target_;
  stereo_volume ramp_step_;
  std::uint32_t steps_left_[2] = {0, 0};  // ramp steps before each side is at its target
  bool ramping_ = false;
  float speed_;
};
