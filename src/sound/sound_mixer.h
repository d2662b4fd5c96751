#pragma once
// The mixer: the list of playing channels, the tone control and the limiter.
// One pass renders every channel into a stereo float buffer; the game side
// changes channels through the operations below, each under the mixer's lock.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/channel_player.h"
#include "sound/tone_control.h"

class SoundMixer {
 public:
  SoundMixer();

  // Replaces the player of the channel with this id at once, or adds it.
  void set_channel(int id, std::unique_ptr<ChannelPlayer> player);
  // The operations on a channel do nothing and return false when it is not playing.
  bool ramp_volume(int id, stereo_volume target, stereo_volume step);
  bool set_volume_now(int id, int side, float value);
  bool has_channel(int id) const;
  bool cut(int id);
  bool release(int id);
  // Ends the loop and the data after `bytes` bytes in the source's format.
  bool set_end_bytes(int id, std::size_t bytes);
  // The volume in force on a channel (zeros when it is not playing).
  stereo_volume channel_volume(int id) const;
  std::size_t channel_count() const;
  // Drops every channel at once (the program's end, a test's reset).
  void clear();

  void set_bass(float db);
  void set_treble(float db);
  void set_rate(float hz);

  // Renders `frames` stereo frames into `out` (interleaved, left first),
  // which the caller has cleared. Ends by counting the pass and waking waiters.
  void mix(float* out, std::size_t frames);

  // Waits until a pass ends after the call, at most `timeout` (no pass comes
  // while the device is paused or has failed). Returns whether one ended.
  // Never call it while holding the mixer's lock: the pass needs that lock.
  bool wait_for_pass(std::chrono::milliseconds timeout = std::chrono::milliseconds(200));
  std::uint32_t pass_count() const { return pass_counter_.load(); }

  float limiter_gain() const;

 private:
  struct mixer_channel {
    int id;
    std::unique_ptr<ChannelPlayer> player;
  };
  ChannelPlayer* find(int id) const;  // under mutex_

  mutable std::mutex mutex_;
  std::vector<mixer_channel> channels_;
  std::atomic<std::uint32_t> pass_counter_{0};
  std::mutex pass_mutex_;
  std::condition_variable pass_done_;
  tone_control tone_[2];
  float limiter_gain_ = 1.0f;
};
