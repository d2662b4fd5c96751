// The audio devices: the headless one tests pull from, the factory, and the
// SDL one on SDL's dummy audio driver (no sound hardware, no display).
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_device.h"
#include "platform/headless_audio.h"

namespace {

// Counts calls and writes, in every frame, the running frame number (left)
// and its negative (right).
struct counting_source {
    int calls = 0;
    std::vector<int> lengths;
    float next_frame = 0;
};

void fill_counting(void* user, uint8_t* stream, int length) {
    auto* source = static_cast<counting_source*>(user);
    ++source->calls;
    source->lengths.push_back(length);
    for (int at = 0; at + 8 <= length; at += 8) {
        const float frame[2] = {source->next_frame, -source->next_frame};
        std::memcpy(stream + at, frame, sizeof frame);
        source->next_frame += 1;
    }
}

// Writes only the left sample of each frame.
void fill_left_only(void*, uint8_t* stream, int length) {
    const float one = 1.0f;
    for (int at = 0; at + 8 <= length; at += 8) std::memcpy(stream + at, &one, sizeof one);
}

std::string open_failure(IAudioDevice& device, const char* name) {
    try {
        device.open(name, fill_counting, nullptr);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(HeadlessAudioDevice, CallbackRunsOnlyWhenPulledWhileOpenAndUnpaused) {
    HeadlessAudioDevice device;
    counting_source source;
    uint8_t buffer[16];
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_FALSE(device.pull(buffer, 16));  // not open

    EXPECT_EQ(device.open("Speakers", fill_counting, &source), 44100);
    EXPECT_TRUE(device.is_open());
    EXPECT_EQ(device.requested_device(), "Speakers");
    EXPECT_FALSE(device.pull(buffer, 16));  // a fresh device is paused
    EXPECT_EQ(buffer[0], 0xAB);
    device.render_frames(4096, nullptr);
    EXPECT_EQ(source.calls, 0);

    device.pause(false);
    EXPECT_TRUE(device.pull(buffer, 16));
    EXPECT_EQ(source.calls, 1);
    EXPECT_EQ(source.lengths.back(), 16);
    float right;
    std::memcpy(&right, buffer + 12, sizeof right);
    EXPECT_EQ(right, -1.0f);

    device.pause(true);
    EXPECT_FALSE(device.pull(buffer, 16));
    device.pause(false);
    device.close();
    EXPECT_FALSE(device.is_open());
    EXPECT_FALSE(device.pull(buffer, 16));
    device.pause(false);  // no device: stays shut
    EXPECT_FALSE(device.pull(buffer, 16));
    EXPECT_EQ(source.calls, 1);

    // Opened again (default device), it starts paused once more.
    EXPECT_EQ(device.open(nullptr, fill_counting, &source), 44100);
    EXPECT_EQ(device.requested_device(), "");
    EXPECT_FALSE(device.pull(buffer, 16));
}

TEST(HeadlessAudioDevice, RenderFramesPullsWholeBuffersAndCapturesInterleavedStereo) {
    HeadlessAudioDevice device;
    counting_source source;
    device.open(nullptr, fill_counting, &source);
    device.pause(false);
    std::vector<float> capture = {42.0f};  // appended to, not replaced
    device.render_frames(2500, &capture);
    EXPECT_EQ(source.lengths, (std::vector<int>{8192, 8192, 452 * 8}));
    ASSERT_EQ(capture.size(), 1u + 2 * 2500);
    EXPECT_EQ(capture[0], 42.0f);
    for (size_t frame = 0; frame < 2500; ++frame) {
        ASSERT_EQ(capture[1 + 2 * frame], static_cast<float>(frame));
        ASSERT_EQ(capture[2 + 2 * frame], -static_cast<float>(frame));
    }
    device.render_frames(0, &capture);
    EXPECT_EQ(source.calls, 3);

    // Samples the callback does not write are not silence in disguise.
    device.open(nullptr, fill_left_only, nullptr);
    device.pause(false);
    capture.clear();
    device.render_frames(3, &capture);
    ASSERT_EQ(capture.size(), 6u);
    EXPECT_EQ(capture[4], 1.0f);
    EXPECT_TRUE(std::isnan(capture[5]));
}

TEST(HeadlessAudioDevice, RefusedOpenThrowsTheDeviceListAndLeavesNothingOpen) {
    HeadlessAudioDevice device(true);
    EXPECT_EQ(open_failure(device, nullptr),
              "SDL Error create audio: the headless device refuses to open"
              "\n\nNo audio devices are available");
    EXPECT_FALSE(device.is_open());

    device.set_fail_open(false);
    counting_source source;
    device.open(nullptr, fill_counting, &source);
    device.pause(false);
    // A failed reopen does not leave the old callback playing.
    device.set_fail_open(true);
    EXPECT_NE(open_failure(device, "Headphones"), "");
    EXPECT_FALSE(device.is_open());
    device.render_frames(1024, nullptr);
    EXPECT_EQ(source.calls, 0);
}

TEST(AudioOpenFailureText, ListsEveryAvailableDeviceByName) {
    EXPECT_EQ(audio_open_failure_text("busy", {"Speakers", "HDMI 2"}),
              "SDL Error create audio: busy\n\nAvailable audio devices:\nSpeakers\nHDMI 2");
}

TEST(AudioDeviceFactory, MakesOneDeviceUntilClosedThenAFreshOne) {
    int made = 0;
    set_audio_device_factory([&made] {
        ++made;
        return std::make_unique<HeadlessAudioDevice>();
    });
    EXPECT_FALSE(audio_device_exists());
    IAudioDevice& first = audio_device();
    EXPECT_EQ(&audio_device(), &first);
    EXPECT_EQ(made, 1);
    ASSERT_NE(dynamic_cast<HeadlessAudioDevice*>(&first), nullptr);
    first.open(nullptr, fill_counting, nullptr);

    close_audio_device();
    EXPECT_FALSE(audio_device_exists());
    close_audio_device();  // nothing left to close
    EXPECT_FALSE(audio_device().is_open());
    EXPECT_EQ(made, 2);
    close_audio_device();
    set_audio_device_factory(nullptr);
}

namespace {

struct threaded_source {
    std::atomic<int> calls{0};
    std::atomic<int> bad_lengths{0};
};

void fill_threaded(void* user, uint8_t* stream, int length) {
    auto* source = static_cast<threaded_source*>(user);
    if (length <= 0 || length % audio_bytes_per_frame != 0) ++source->bad_lengths;
    std::memset(stream, 0, static_cast<size_t>(std::max(length, 0)));
    ++source->calls;
}

template <class Pred>
bool wait_for(Pred pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class SdlAudioDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bool dummy_built_in = false;
        for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
            dummy_built_in |= std::strcmp(SDL_GetAudioDriver(i), "dummy") == 0;
        if (!dummy_built_in) GTEST_SKIP() << "this SDL has no dummy audio driver";
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        device = make_sdl_audio_device();
        // With the driver there, a failure here is the device's own.
        rate = device->open(nullptr, fill_threaded, &source);
    }
    threaded_source source;
    std::unique_ptr<IAudioDevice> device;
    int rate = 0;
};

}  // namespace

// Nothing in this program starts the display: the device starts SDL's audio itself.
TEST_F(SdlAudioDeviceTest, CallbackRunsOnlyWhileUnpausedAndNeverAfterClose) {
    EXPECT_GT(rate, 0);
    EXPECT_TRUE(device->is_open());
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(source.calls.load(), 0);  // opened paused

    device->pause(false);
    ASSERT_TRUE(wait_for([&] { return source.calls.load() >= 2; }));
    EXPECT_EQ(source.bad_lengths.load(), 0);

    device->close();
    EXPECT_FALSE(device->is_open());
    const int calls = source.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(source.calls.load(), calls);
    device->pause(false);  // closed: nothing to resume
    device->close();
}

TEST_F(SdlAudioDeviceTest, UnknownDeviceFailsNamingTheAvailableOnes) {
    const std::string message = open_failure(*device, "no such output device");
    EXPECT_EQ(message.rfind("SDL Error create audio: ", 0), 0u) << message;
    ASSERT_GT(SDL_GetNumAudioDevices(0), 0);
    EXPECT_NE(message.find(std::string("\n\nAvailable audio devices:\n") + SDL_GetAudioDeviceName(0, 0)),
              std::string::npos)
        << message;
    EXPECT_FALSE(device->is_open());
}
