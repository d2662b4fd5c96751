#include "core/decoders.h"

#include <array>
#include <cstring>
#include <utility>

namespace {

constexpr size_t DECODER_COUNT = static_cast<size_t>(decoder_id::count);

std::array<decoder_fn, DECODER_COUNT> registered{};

// Handle 182: the data is built elsewhere; the handle itself holds nothing.
void* no_data_default(void*, int32_t* length, handle_id) {
    *length = 0;
    return nullptr;
}

// globmap.dat: the text with a terminating zero byte appended.
void* globmap_text_default(void* data, int32_t* length, handle_id) {
    const size_t size = *length > 0 ? static_cast<size_t>(*length) : 0;
    auto* text = static_cast<char*>(game_alloc(size + 1));
    if (size) std::memcpy(text, data, size);
    text[size] = 0;
    *length = static_cast<int32_t>(size + 1);
    return text;
}

decoder_fn default_for(size_t index) {
    switch (static_cast<decoder_id>(index)) {
        case decoder_id::no_data:
            return no_data_default;
        case decoder_id::globmap_text:
            return globmap_text_default;
        default:
            return nullptr;
    }
}

template <size_t Index>
void* forward(void* data, int32_t* length, handle_id id) {
    decoder_fn target = registered[Index] ? registered[Index] : default_for(Index);
    return target ? target(data, length, id) : data;
}

template <size_t... I>
constexpr std::array<decoder_fn, DECODER_COUNT> make_forwarders(std::index_sequence<I...>) {
    return {&forward<I>...};
}

constexpr std::array<decoder_fn, DECODER_COUNT> forwarders =
    make_forwarders(std::make_index_sequence<DECODER_COUNT>{});

}  // namespace

decoder_fn decoder_for(decoder_id id) {
    const auto index = static_cast<size_t>(id);
    return index < DECODER_COUNT ? forwarders[index] : nullptr;
}

void register_decoder(decoder_id id, decoder_fn fn) {
    const auto index = static_cast<size_t>(id);
    if (index < DECODER_COUNT) registered[index] = fn;
}

decoder_fn registered_decoder(decoder_id id) {
    const auto index = static_cast<size_t>(id);
    return index < DECODER_COUNT ? registered[index] : nullptr;
}
