// Animation sets: the .SEQ frame lists, the frame and sound handles, and the
// colour files with their shaded palettes.
#include "monsters/monster_anim.h"

#include <algorithm>
#include <cstring>

#include "base/fatal.h"
#include "core/decoders.h"
#include "gfx/picture.h"
#include "monsters/monster_sound.h"
#include "monsters/monsters.h"

namespace {

constexpr char KIND_LETTERS[MONSTER_ANIM_KINDS + 1] = "FLBLCH";

std::string base_name(const monster& m) {
    return std::string(m.anim_name, strnlen(m.anim_name, sizeof m.anim_name - 1));
}

std::string frame_name(const std::string& base, char letter, char frame) {
    std::string name = base;
    name += letter;
    name += frame;
    return name + ".PCX";
}

bool line_end(uint8_t c) {
    return c == '\r' || c == '\n';
}

}  // namespace

bool read_monster_frame_names(std::span<const uint8_t> seq, const monster& m, monster_frame_names& out,
                              std::string& bad_name) {
    const std::string base = base_name(m);
    size_t at = 0;
    for (int k = 0; k < MONSTER_ANIM_KINDS; ++k) {
        const bool own = m.frame_count[k] != 0;
        const char letter = KIND_LETTERS[own ? k : 0];
        const int last = std::min<int>(own ? m.frame_count[k] : m.frame_count[0], MONSTER_MAX_FRAME);
        out.last_frame[static_cast<size_t>(k)] = last;
        for (int f = 0; f <= last; ++f) {
            if (at >= seq.size() || line_end(seq[at])) {
                bad_name = frame_name(base, letter, '?');
                return false;
            }
            out.names[static_cast<size_t>(k)][static_cast<size_t>(f)] =
                frame_name(base, letter, static_cast<char>(seq[at++]));
        }
        // The rest of the line, then its end: CR LF, CR or LF.
        while (at < seq.size() && !line_end(seq[at])) ++at;
        if (at < seq.size() && seq[at] == '\r') ++at;
        if (at < seq.size() && seq[at] == '\n') ++at;
    }
    return true;
}

handle_id monster_set_handle(const monster& m) {
    return static_cast<handle_id>(monster_handle_base + m.anim_set - 1);
}

void register_animation_set(const monster& m, handle_id first) {
    const std::string base = base_name(m);
    define_handle(first, (base + ".SEQ").c_str(), nullptr, PATH_ENEMIES);
    const void* seq = get_handle_data(first);
    const int32_t length = seq ? std::max<int32_t>(handle_length(first), 0) : 0;

    monster_frame_names frames;
    std::string bad_name;
    if (!read_monster_frame_names(
            std::span<const uint8_t>(static_cast<const uint8_t*>(seq), static_cast<size_t>(length)), m,
            frames, bad_name))
        fatal_error(MONSTER_SEQ_MESSAGE, bad_name.c_str());

    const decoder_fn nopal = decoder_for(decoder_id::pcx_to_nopal);
    for (int k = 0; k < MONSTER_ANIM_KINDS; ++k)
        for (int f = 0; f <= frames.last_frame[static_cast<size_t>(k)]; ++f)
            define_handle(static_cast<handle_id>(first + MONSTER_SET_FRAMES + MONSTER_KIND_FRAMES * k + f),
                          frames.names[static_cast<size_t>(k)][static_cast<size_t>(f)].c_str(), nopal,
                          PATH_ENEMIES);

    const decoder_fn sample = decoder_for(decoder_id::sample_converter);
    for (int i = 0; i < MONSTER_SOUNDS; ++i) {
        if (m.sounds[i] == 0) continue;
        const char* name = monster_sound_name(m.sounds[i]);
        if (name && std::strlen(name) <= HANDLE_NAME_MAX)
            define_handle(static_cast<handle_id>(first + MONSTER_SET_SOUNDS + i), name, sample, PATH_SOUNDS);
    }

    define_handle(static_cast<handle_id>(first + MONSTER_SET_COLOURS), (base + ".COL").c_str(),
                  colour_file_to_variants, PATH_ENEMIES);
}

void release_animation_set(handle_id first) {
    for (int h = 0; h < MONSTER_SET_HANDLES; ++h) undefine_handle(static_cast<handle_id>(first + h));
}

void build_colour_variants(std::span<const uint8_t> file, uint8_t fade_r, uint8_t fade_g, uint8_t fade_b,
                           std::span<uint8_t> out) {
    const size_t count =
        std::min(colour_variant_count(file.size()), out.size() / MONSTER_COLOUR_VARIANT_SIZE);
    std::vector<uint16_t> palettes(static_cast<size_t>(FADE_PALETTE_COUNT * PALETTE_ENTRIES));
    for (size_t v = 0; v < count; ++v) {
        uint8_t* variant = out.data() + v * MONSTER_COLOUR_VARIANT_SIZE;
        const uint16_t header[3] = {0, 0, PIC_FADE8};
        std::memcpy(variant, header, sizeof header);
        build_fade_palettes(file.data() + v * MONSTER_COLOUR_RECORD_SIZE, fade_r, fade_g, fade_b,
                            palettes.data());
        std::memcpy(variant + PICTURE_HEADER_BYTES, palettes.data(), palettes.size() * sizeof(uint16_t));
    }
}

void* colour_file_to_variants(void* data, int32_t* length, handle_id) {
    const size_t size = data && *length > 0 ? static_cast<size_t>(*length) : 0;
    const size_t count = colour_variant_count(size);
    if (count == 0) {
        *length = 0;
        return nullptr;
    }
    const size_t out_size = count * MONSTER_COLOUR_VARIANT_SIZE;
    auto* out = static_cast<uint8_t*>(game_alloc(out_size));
    uint8_t r, g, b;
    get_fade_colour(&r, &g, &b);
    build_colour_variants(std::span<const uint8_t>(static_cast<const uint8_t*>(data), size), r, g, b,
                          std::span<uint8_t>(out, out_size));
    *length = static_cast<int32_t>(out_size);
    return out;
}

const uint16_t* monster_palettes(const monster& m) {
    const handle_id colours = static_cast<handle_id>(monster_set_handle(m) + MONSTER_SET_COLOURS);
    const auto* data = static_cast<const uint8_t*>(get_handle_data(colours));
    const int32_t length = data ? handle_length(colours) : 0;
    const size_t count = length > 0 ? static_cast<size_t>(length) / MONSTER_COLOUR_VARIANT_SIZE : 0;
    if (count == 0) return nullptr;
    const size_t variant =
        std::min<size_t>(static_cast<size_t>(std::max(-int(m.color_variant), 0)), count - 1);
    return reinterpret_cast<const uint16_t*>(data + variant * MONSTER_COLOUR_VARIANT_SIZE +
                                             PICTURE_HEADER_BYTES);
}

std::vector<uint8_t> write_monster_frame_list(const std::array<std::string, MONSTER_ANIM_KINDS>& lines) {
    std::vector<uint8_t> out;
    for (const std::string& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

std::vector<uint8_t> write_colour_file(std::span<const std::array<uint8_t, 768>> palettes) {
    std::vector<uint8_t> out(palettes.size() * MONSTER_COLOUR_RECORD_SIZE, 0);
    for (size_t v = 0; v < palettes.size(); ++v)
        std::copy(palettes[v].begin(), palettes[v].end(),
                  out.begin() + static_cast<long>(v * MONSTER_COLOUR_RECORD_SIZE));
    return out;
}
