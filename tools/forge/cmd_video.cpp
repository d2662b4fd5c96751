// forge video: a numbered sequence of PNG pictures (and a WAV file for its
// sound) encoded as an MGIF animation.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "forge/mgif_writer.h"
#include "forge/png_import.h"
#include "forge/wav_reader.h"
#include "gfx/mgif.h"

namespace {

namespace fs = std::filesystem;

// A PCM WAV file (8-bit unsigned or 16-bit signed, mono or stereo) as 16-bit
// stereo at the player's rate; other rates are resampled linearly.
std::vector<int16_t> read_wav_sound(const std::string& path) {
    forge::pcm_sound in;
    try {
        in = forge::read_pcm_wav(forge_tool::read_whole(path));
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
    const uint32_t rate = in.rate;
    const size_t frames = in.stereo.size() / 2;
    if (frames == 0) return {};
    auto sample = [&](size_t frame, size_t side) { return int(in.stereo[frame * 2 + side]); };
    const size_t out_frames = size_t(double(frames) * MGIF_SOUND_RATE / rate);
    std::vector<int16_t> out;
    out.reserve(out_frames * 2);
    for (size_t f = 0; f < out_frames; ++f) {
        const double where = double(f) * rate / MGIF_SOUND_RATE;
        const size_t a = std::min(size_t(where), frames - 1), b = std::min(a + 1, frames - 1);
        const double t = where - double(a);
        for (size_t side = 0; side < 2; ++side)
            out.push_back(int16_t(sample(a, side) + (sample(b, side) - sample(a, side)) * t));
    }
    return out;
}

// The pictures of a folder (every .png, in name order) or of a numbered
// pattern such as "intro/%03d.png" (from 0 or 1 to the first number missing).
std::vector<std::string> picture_files(const std::string& source) {
    std::vector<std::string> files;
    if (fs::is_directory(source)) {
        for (const auto& entry : fs::directory_iterator(source)) {
            std::string ext = entry.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
            if (entry.is_regular_file() && ext == ".png") files.push_back(entry.path().string());
        }
        // Numbers of different widths sort by value: shorter names first.
        std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
    } else if (const size_t mark = source.find('%'); mark != std::string::npos) {
        // "%d" or "%0<width>d": the number, zero-padded to the width.
        size_t at = mark + 1, width = 0;
        while (at < source.size() && std::isdigit(static_cast<unsigned char>(source[at])))
            width = width * 10 + size_t(source[at++] - '0');
        if (at >= source.size() || source[at] != 'd' || width > 9)
            throw std::runtime_error(source + ": the number is written %d or %03d");
        auto name = [&](int n) {
            std::string number = std::to_string(n);
            if (number.size() < width) number.insert(0, width - number.size(), '0');
            return source.substr(0, mark) + number + source.substr(at + 1);
        };
        for (int n = fs::exists(name(0)) ? 0 : 1; fs::exists(name(n)); ++n) files.push_back(name(n));
    } else {
        throw std::runtime_error(source + ": neither a folder nor a numbered name such as frames/%03d.png");
    }
    if (files.empty()) throw std::runtime_error(source + ": no pictures");
    return files;
}

int run(const std::vector<std::string>& args) {
    std::string output, source, wav;
    unsigned fps = 15;
    bool pace = true, deltas = true;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i] == "--wav" && i + 1 < args.size()) {
            wav = args[++i];
        } else if (args[i] == "--fps" && i + 1 < args.size()) {
            const std::string value = args[++i];
            const unsigned long n = std::strtoul(value.c_str(), nullptr, 10);
            if (n < 1 || n > 60)
                throw std::runtime_error("--fps " + value + ": from 1 to 60 frames a second");
            fps = unsigned(n);
        } else if (args[i] == "--no-sound") {
            pace = false;
        } else if (args[i] == "--full-frames") {
            deltas = false;
        } else if (source.empty()) {
            source = args[i];
        } else {
            throw std::runtime_error("one picture folder or pattern at a time");
        }
    }
    if (source.empty() || output.empty())
        throw std::runtime_error(
            "usage: forge video <folder | name%03d.png> -o <file.mgif> [--wav <sound.wav>] "
            "[--fps <n>] [--no-sound] [--full-frames]");
    if (!pace && !wav.empty()) throw std::runtime_error("--no-sound and --wav exclude each other");

    std::vector<forge::rgba_image> pictures;
    for (const std::string& file : picture_files(source)) {
        forge::png_picture png = forge::read_png_file(file);
        if (png.image.width != MGIF_WIDTH || png.image.height != MGIF_HEIGHT)
            throw std::runtime_error(file + ": " + std::to_string(png.image.width) + " x " +
                                     std::to_string(png.image.height) +
                                     " pixels, a video frame is 320 x 180");
        pictures.push_back(std::move(png.image));
    }
    std::vector<forge::mgif_frame> frames = forge::frames_from_rgba(pictures);
    const std::vector<int16_t> sound = wav.empty() ? std::vector<int16_t>{} : read_wav_sound(wav);
    if (pace) forge::spread_sound(frames, sound, fps);

    const std::vector<uint8_t> file = forge::encode_mgif(frames, {.fps = uint16_t(fps), .deltas = deltas});
    forge_tool::write_output(output,
                             std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    std::printf("%s: %zu frames at %u a second, %zu bytes%s\n", output.c_str(), frames.size(), fps,
                file.size(), wav.empty() ? (pace ? ", silent sound keeps the rate" : ", no sound") : "");
    if (!sound.empty() &&
        sound.size() / 2 > size_t(frames.size()) * MGIF_SOUND_RATE / fps + MGIF_RING_BYTES / 4)
        std::printf("%s: the sound is longer than the pictures; its end is left out\n", wav.c_str());
    return 0;
}

forge_tool::forge_registration reg(
    {"video",
     "<folder | name%03d.png> -o <file.mgif> [--wav <sound.wav>] [--fps <n>] "
     "[--no-sound] [--full-frames]",
     "encodes numbered 320 x 180 PNG pictures (and a WAV file) as an MGIF animation", run});
}  // namespace
