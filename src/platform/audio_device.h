#pragma once
// The audio output device the mixer plays through. Two implementations: the
// SDL device (its own thread pulls buffers from the callback) and
// HeadlessAudioDevice (nothing plays; tests pull buffers themselves). The game
// reaches the current one through the free functions below; which one is
// created is decided by the audio device factory (default: SDL).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Fills `length` bytes of `stream` with sound. Called on the device's own thread.
using audio_callback = void (*)(void* user_data, uint8_t* stream, int length);

// The format asked of every device: 32-bit float stereo, 1024-frame buffers,
// 44100 Hz (a device may give another rate or buffer size).
inline constexpr int audio_wanted_rate = 44100;
inline constexpr int audio_channels = 2;
inline constexpr int audio_buffer_frames = 1024;
inline constexpr int audio_bytes_per_frame = audio_channels * static_cast<int>(sizeof(float));

class IAudioDevice {
  public:
    virtual ~IAudioDevice() = default;

    // Opens the named output device (null or empty: the system's default),
    // closing one opened before. The device starts paused. Returns the sample
    // rate obtained. Throws std::runtime_error naming the available output
    // devices when none can be opened.
    virtual int open(const char* device, audio_callback callback, void* user_data) = 0;
    // Stops or resumes the callback; nothing happens without an open device.
    virtual void pause(bool paused) = 0;
    // Closes the device; once it returns the callback is not running and will
    // not run again. Closing a closed device does nothing.
    virtual void close() = 0;
    virtual bool is_open() const = 0;
};

using audio_device_factory = std::function<std::unique_ptr<IAudioDevice>()>;
// Chooses what audio_device() creates; nullptr restores the SDL device.
void set_audio_device_factory(audio_device_factory factory);
// The audio device in use, created through the factory on first use.
IAudioDevice& audio_device();
bool audio_device_exists();
// Closes and destroys the current device, so the next audio_device() creates a fresh one.
void close_audio_device();

// The SDL audio device. It starts SDL's audio subsystem by itself, so it works
// with or without the display.
std::unique_ptr<IAudioDevice> make_sdl_audio_device();

// The text of a failed open: "SDL Error create audio: " and the reason, then
// the output devices there are (or that there are none).
std::string audio_open_failure_text(const std::string& reason, const std::vector<std::string>& devices);
