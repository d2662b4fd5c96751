#include "sound/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

SoundMixer::SoundMixer() {
  // Room for every channel the game uses, so that a pass never allocates.
  channels_.reserve(64);
}

ChannelPlayer* SoundMixer::find(int id) const {
  for (const auto& channel : channels_)
    if (channel.id == id) return channel.player.get();
  return nullptr;
}

void SoundMixer::set_channel(int id, std::unique_ptr<ChannelPlayer> player) {
  std::unique_ptr<ChannelPlayer> replaced;  // freed after the lock is let go
  {
    std::lock_guard guard(mutex_);
    for (auto& channel : channels_) {
      if (channel.id == id) {
        replaced = std::exchange(channel.player, std::move(player));
        return;
      }
    }
    channels_.push_back({id, std::move(player)});
  }
}

bool SoundMixer::ramp_volume(int id, stereo_volume target, stereo_volume step) {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  if (player) player->ramp_to(target, step);
  return player != nullptr;
}

bool SoundMixer::set_volume_now(int id, int side, float value) {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  if (player) player->set_volume_now(side, value);
  return player != nullptr;
}

bool SoundMixer::has_channel(int id) const {
  std::lock_guard guard(mutex_);
  return find(id) != nullptr;
}

bool SoundMixer::cut(int id) {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  if (player) player->source().cut();
  return player != nullptr;
}

bool SoundMixer::release(int id) {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  if (player) player->source().release();
  return player != nullptr;
}

bool SoundMixer::set_end_bytes(int id, std::size_t bytes) {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  if (player) {
    WaveSource& source = player->source();
    source.set_end(static_cast<double>(bytes / wave_frame_bytes(source.format())));
  }
  return player != nullptr;
}

stereo_volume SoundMixer::channel_volume(int id) const {
  std::lock_guard guard(mutex_);
  ChannelPlayer* player = find(id);
  return player ? player->volume() : stereo_volume{};
}

std::size_t SoundMixer::channel_count() const {
  std::lock_guard guard(mutex_);
  return channels_.size();
}

void SoundMixer::set_bass(float db) {
  std::lock_guard guard(mutex_);
  for (auto& tone : tone_) tone.set_bass(db);
}

void SoundMixer::set_treble(float db) {
  std::lock_guard guard(mutex_);
  for (auto& tone : tone_) tone.set_treble(db);
}

void SoundMixer::set_rate(float hz) {
  std::lock_guard guard(mutex_);
  for (auto& tone : tone_) tone.set_rate(hz);
}

float SoundMixer::limiter_gain() const {
  std::lock_guard guard(mutex_);
  return limiter_gain_;
}

void SoundMixer::mix(float* out, std::size_t frames) {
  {
    std::lock_guard guard(mutex_);
    for (std::size_t i = 0; i < channels_.size();) {
      if (channels_[i].player->render(out, frames)) {
        ++i;
        continue;
      }
      // Ended: the last entry takes its place and is rendered next.
      if (i + 1 != channels_.size()) std::swap(channels_[i], channels_.back());
      channels_.pop_back();
    }
    for (std::size_t f = 0; f < frames; ++f) {
      out[2 * f] = tone_[0].process(out[2 * f]);
      out[2 * f + 1] = tone_[1].process(out[2 * f + 1]);
    }
    // Peak limiter with instant attack and slow release: a sample that would
    // pass full scale sets the gain to the one at which it reaches full scale
    // exactly (1 / |sample|), and the gain creeps back by 0.1 % per pass.
    for (std::size_t s = 0; s < frames * 2; ++s) {
      const float x = out[s] * limiter_gain_;
      if (x > 1.0f || x < -1.0f) {
        limiter_gain_ /= std::fabs(x);
        out[s] = x > 0 ? 1.0f : -1.0f;
      } else {
        out[s] = x;
      }
    }
    if (limiter_gain_ < 1.0f) limiter_gain_ = std::min(1.0f, limiter_gain_ * 1.001f);
  }
  {
    std::lock_guard guard(pass_mutex_);
    pass_counter_.fetch_add(1);
  }
  pass_done_.notify_all();
}

void SoundMixer::clear() {
  std::vector<mixer_channel> dropped;
  {
    std::lock_guard guard(mutex_);
    dropped.swap(channels_);
  }
  // The players (and the samples they hold) go outside the lock.
}

bool SoundMixer::wait_for_pass(std::chrono::milliseconds timeout) {
  std::unique_lock lock(pass_mutex_);
  const std::uint32_t seen = pass_counter_.load();
  return pass_done_.wait_for(lock, timeout, [&] { return pass_counter_.load() != seen; });
}
