// The SDL audio device: SDL's audio thread pulls buffers from the callback.
#include <SDL2/SDL.h>

#include <stdexcept>

#include "platform/audio_device.h"

namespace {

class SdlAudioDevice final : public IAudioDevice {
  public:
    SdlAudioDevice() = default;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;
    ~SdlAudioDevice() override {
        close();
        if (subsystem_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    int open(const char* device, audio_callback callback, void* user_data) override {
        close();
        // The audio subsystem is started here rather than with the display,
        // so sound works without a window (and a missing driver only shows
        // when sound is asked for).
        if (!subsystem_started_) subsystem_started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (subsystem_started_) {
            SDL_AudioSpec want{}, have{};
            want.freq = audio_wanted_rate;
            want.format = AUDIO_F32LSB;
            want.channels = audio_channels;
            want.samples = audio_buffer_frames;
            want.callback = callback;
            want.userdata = user_data;
            device_ = SDL_OpenAudioDevice(device && *device ? device : nullptr, 0, &want, &have,
                                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
            if (device_) return have.freq;
        }
        const std::string reason = SDL_GetError();
        std::vector<std::string> names;
        const int count = subsystem_started_ ? SDL_GetNumAudioDevices(0) : 0;
        for (int i = 0; i < count; ++i)
            if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.emplace_back(name);
        throw std::runtime_error(audio_open_failure_text(reason, names));
    }

    void pause(bool paused) override {
        if (device_) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
    }

    void close() override {
        // SDL waits for the audio thread to end before this returns.
        if (device_) SDL_CloseAudioDevice(device_);
        device_ = 0;
    }

    bool is_open() const override { return device_ != 0; }

  private:
    SDL_AudioDeviceID device_ = 0;
    bool subsystem_started_ = false;
};

}  // namespace

std::unique_ptr<IAudioDevice> make_sdl_audio_device() {
    return std::make_unique<SdlAudioDevice>();
}
