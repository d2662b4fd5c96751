#include "saves/saved_game.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/file_write.h"
#include "saves/save_list.h"

namespace {

void put_u32(temp_bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A text field without a terminator is cut so that one fits.
std::string description_from(std::span<const uint8_t> field) {
    size_t n = 0;
    while (n < field.size() && field[n] != 0) ++n;
    n = std::min(n, SAVED_GAME_DESCRIPTION_SIZE - 1);
    return std::string(reinterpret_cast<const char*>(field.data()), n);
}

}  // namespace

temp_bytes saved_game_bytes(std::string_view description, const temp_store& store) {
    temp_bytes out(SAVED_GAME_DESCRIPTION_SIZE, 0);
    size_t d = std::min(description.size(), SAVED_GAME_DESCRIPTION_SIZE - 1);
    d = std::min(d, description.find('\0'));
    std::memcpy(out.data(), description.data(), d);
    store.for_each([&](const std::string& name, const temp_bytes& data) {
        // An empty name would read back as the end of the entries.
        if (name.empty()) return;
        size_t n = std::min(name.size(), SAVED_GAME_MAX_NAME);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n));
        put_u32(out, static_cast<uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    });
    out.push_back(0);
    return out;
}

bool write_saved_game(const std::string& path, std::string_view description, const temp_store& store) {
    for (const auto& [name, data] : store.entries())
        if (data.size() > UINT32_MAX) return false;
    temp_bytes bytes = saved_game_bytes(description, store);
    if (!write_file_atomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return false;
    // What earlier saves cut short left behind would otherwise stay for good.
    size_t slash = path.find_last_of('/');
    remove_leftover_temporaries(slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash));
    return true;
}

std::optional<saved_game> read_saved_game(std::span<const uint8_t> bytes) {
    if (bytes.size() < SAVED_GAME_DESCRIPTION_SIZE) return std::nullopt;
    saved_game game;
    game.description = description_from(bytes.first(SAVED_GAME_DESCRIPTION_SIZE));
    size_t pos = SAVED_GAME_DESCRIPTION_SIZE;
    for (;;) {
        if (pos >= bytes.size()) return std::nullopt;  // no closing byte 0
        size_t n = bytes[pos++];
        if (n == 0) break;
        if (bytes.size() - pos < n + 4) return std::nullopt;
        std::string_view name(reinterpret_cast<const char*>(bytes.data() + pos), n);
        pos += n;
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i) size |= uint32_t(bytes[pos + static_cast<size_t>(i)]) << (8 * i);
        pos += 4;
        if (bytes.size() - pos < size) return std::nullopt;
        game.store.create(name, bytes.data() + pos, size);
        pos += size;
    }
    return game;
}

namespace {

std::optional<temp_bytes> read_whole_file(const std::string& path, size_t limit) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    temp_bytes out;
    uint8_t buffer[65536];
    size_t n;
    while (out.size() < limit &&
           (n = std::fread(buffer, 1, std::min(sizeof buffer, limit - out.size()), f)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::optional<saved_game> read_saved_game_file(const std::string& path) {
    auto bytes = read_whole_file(path, SIZE_MAX);
    if (!bytes) return std::nullopt;
    return read_saved_game(*bytes);
}

bool load_saved_game_into(const std::string& path, temp_store& live, std::string* description) {
    auto game = read_saved_game_file(path);
    if (!game) return false;
    live = std::move(game->store);
    if (description) *description = std::move(game->description);
    return true;
}

std::optional<std::string> read_saved_game_description(const std::string& path) {
    auto bytes = read_whole_file(path, SAVED_GAME_DESCRIPTION_SIZE);
    if (!bytes) return std::nullopt;
    return description_from(*bytes);
}
