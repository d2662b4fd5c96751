// forge music: a score rendered by the synthesiser, or a WAV file, encoded
// as MUS music.
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "forge/mus_writer.h"
#include "forge/score_source.h"
#include "forge/wav_reader.h"

namespace {

// A WAV file's sound, its errors named with the file.
forge::pcm_sound read_wav(const std::string& path, const std::string& bytes) {
    try {
        return forge::read_pcm_wav(bytes);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

int run(const std::vector<std::string>& args) {
    std::string output, input;
    bool from_wav = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--from-wav")
            from_wav = true;
        else if (input.empty())
            input = args[i];
        else
            throw std::runtime_error("one score or WAV file at a time");
    }
    if (input.empty() || output.empty())
        throw std::runtime_error(
            "usage: forge music <score> -o <file.mus> | --from-wav <in.wav> -o <file.mus>");
    const std::string source = forge_tool::read_whole(input);
    forge::pcm_sound music;
    if (from_wav) {
        music = read_wav(input, source);
    } else {
        const forge::score score = forge::parse_score(source, input);
        music.rate = score.rate;
        music.stereo = forge::render_score(score);
    }
    const std::vector<uint8_t> file = forge::encode_mus(music.stereo, music.rate);
    forge_tool::write_output(output,
                             std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    std::printf("%s: %.1f s of music at %u Hz\n", output.c_str(),
                double(music.stereo.size() / 2) / music.rate, music.rate);
    return 0;
}

forge_tool::forge_registration reg({"music", "<score> -o <file.mus> | --from-wav <in.wav> -o <file.mus>",
                                    "renders a score (or takes a PCM WAV file) and encodes it as MUS music",
                                    run});
}  // namespace
