#pragma once
// A sample in memory as the mixer reads it: one of five frame layouts, a
// loop, and a running position stepped at any rate.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>

enum wave_format : int {
  WAVE_U8_MONO = 0,
  WAVE_S8_MONO = 1,
  WAVE_U16_MONO = 2,
  WAVE_S16_MONO = 3,
  WAVE_S16_STEREO = 4,
};

// Bytes of one frame of the format (1, 2 or 4).
std::size_t wave_frame_bytes(wave_format format);

// One frame converted to floats; a mono frame has left == right.
struct wave_frame {
  float left = 0;
  float right = 0;
};

class WaveSource {
 public:
  // `data` holds `size_bytes` bytes; the source keeps the shared pointer, so
  // the bytes live as long as the source does whatever their owner does (a
  // pointer with a deleter that does nothing borrows them instead).
  // `loop_start_frames` at or beyond the length means no loop.
  WaveSource(std::shared_ptr<const std::uint8_t> data, std::size_t size_bytes, wave_format format,
             double rate_ratio, double loop_start_frames);

  wave_format format() const { return format_; }
  bool is_stereo() const { return format_ == WAVE_S16_STEREO; }
  double rate_ratio() const { return rate_ratio_; }
  // Frames the data holds (the length can only shrink below it).
  double data_frames() const { return data_frames_; }

  // Renders up to `frames` frames at `step` source frames per output frame
  // into `out`; returns how many were produced (fewer once the sample ends).
  std::size_t render(double step, wave_frame* out, std::size_t frames);

  // Ends the sound at the next frame rendered.
  void cut();
  // Ends the loop; the sound plays on from where it is to the end of its data.
  void release();
  // Like release, with the data ending after `frames` frames (never beyond
  // the data the source holds).
  void set_end(double frames);
  // The source finishes once its running position reaches `position` + `frames`.
  void end_after(double frames);

  // Position queries and fades of the streaming ring.
  double position() const;
  // The ring frame being heard: round(map(position - 1)), the last frame
  // before anything played; always below the length.
  std::size_t heard_frame() const;
  // Where the position maps into the sample (loops applied).
  double map(double x) const;

  // The recursive lock held while the source renders; fades of the ring take
  // it to write into the data.
  std::recursive_mutex& lock() const { return mutex_; }

  // For tests and the ring: the raw fields.
  double length() const;
  double loop_start() const;

 private:
  template <wave_format F>
  std::size_t render_as(double step, wave_frame* out, std::size_t frames);

  mutable std::recursive_mutex mutex_;
  std::shared_ptr<const std::uint8_t> data_;
  wave_format format_;
  double rate_ratio_;
  double data_frames_;
  double length_;
  double loop_start_;
  double position_ = 0;
  double position_offset_ = 0;
  // Whole loops already played, subtracted with the offset so that a looping
  // source does not map through fmod on every frame.
  double loop_fold_ = 0;
  double end_position_ = std::numeric_limits<double>::max();
};
