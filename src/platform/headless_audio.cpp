#include "platform/headless_audio.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

int HeadlessAudioDevice::open(const char* device, audio_callback callback, void* user_data) {
    close();
    requested_ = device ? device : "";
    if (fail_open_)
        throw std::runtime_error(audio_open_failure_text("the headless device refuses to open", {}));
    open_ = true;
    callback_ = callback;
    user_data_ = user_data;
    return audio_wanted_rate;
}

void HeadlessAudioDevice::close() {
    open_ = false;
    callback_ = nullptr;
    user_data_ = nullptr;
    paused_ = true;
}

bool HeadlessAudioDevice::pull(uint8_t* stream, int length) {
    if (!open_ || paused_ || !callback_ || !stream || length <= 0) return false;
    callback_(user_data_, stream, length);
    return true;
}

void HeadlessAudioDevice::render_frames(size_t frames, std::vector<float>* capture) {
    constexpr size_t bytes_per_frame = audio_bytes_per_frame;
    while (frames > 0 && open_ && !paused_ && callback_) {
        const size_t n = std::min(frames, static_cast<size_t>(audio_buffer_frames));
        const size_t bytes = n * bytes_per_frame;
        buffer_.assign(bytes, uint8_t{0xFF});  // every sample a NaN
        // The callback may pause or close the device; this buffer still counts.
        callback_(user_data_, buffer_.data(), static_cast<int>(bytes));
        if (capture) {
            const size_t at = capture->size();
            capture->resize(at + n * audio_channels);
            std::memcpy(capture->data() + at, buffer_.data(), bytes);
        }
        frames -= n;
    }
}
