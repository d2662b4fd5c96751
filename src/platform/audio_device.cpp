// The current audio device and the factory that makes it.
#include "platform/audio_device.h"

namespace {

audio_device_factory& factory() {
    static audio_device_factory f;
    return f;
}

std::unique_ptr<IAudioDevice>& current() {
    static std::unique_ptr<IAudioDevice> d;
    return d;
}

}  // namespace

void set_audio_device_factory(audio_device_factory f) {
    factory() = std::move(f);
}

IAudioDevice& audio_device() {
    auto& d = current();
    if (!d) d = factory() ? factory()() : make_sdl_audio_device();
    return *d;
}

bool audio_device_exists() {
    return current() != nullptr;
}

void close_audio_device() {
    auto& d = current();
    if (!d) return;
    d->close();
    d.reset();
}

std::string audio_open_failure_text(const std::string& reason, const std::vector<std::string>& devices) {
    std::string message = "SDL Error create audio: " + reason;
    if (devices.empty()) {
        message += "\n\nNo audio devices are available";
    } else {
        message += "\n\nAvailable audio devices:";
        for (const std::string& name : devices) message += "\n" + name;
    }
    return message;
}
