#pragma once
// An audio device without sound output: the callback runs only when the
// owner pulls a buffer, on the owner's thread. Tests use it to hear what the
// mixer would play.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_device.h"

class HeadlessAudioDevice final : public IAudioDevice {
  public:
    // A device made with fail_open refuses every open (as when no output
    // device can be opened).
    explicit HeadlessAudioDevice(bool fail_open = false) : fail_open_(fail_open) {}

    // Gives 44100 Hz; the device starts paused.
    int open(const char* device, audio_callback callback, void* user_data) override;
    void pause(bool paused) override { paused_ = paused; }
    void close() override;
    bool is_open() const override { return open_; }

    void set_fail_open(bool fail) { fail_open_ = fail; }
    bool paused() const { return paused_; }
    // The device name of the last open ("" for the default device).
    const std::string& requested_device() const { return requested_; }

    // Runs the callback once for a buffer of `length` bytes, as the device's
    // thread would. Returns false (and leaves the buffer alone) while paused
    // or not open.
    bool pull(uint8_t* stream, int length);
    // Pulls `frames` stereo frames in buffers of 1024 frames (the last one
    // shorter when `frames` is not a multiple) and appends the samples,
    // left and right interleaved, to `capture` when given. Nothing is pulled
    // while paused or not open. Each buffer is filled with NaNs before the
    // callback runs, so samples the callback leaves unwritten stand out.
    void render_frames(size_t frames, std::vector<float>* capture);

  private:
    bool fail_open_ = false;
    bool open_ = false;
    bool paused_ = true;
    audio_callback callback_ = nullptr;
    void* user_data_ = nullptr;
    std::string requested_;
    std::vector<uint8_t> buffer_;
};
