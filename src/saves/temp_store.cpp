#include "saves/temp_store.h"

#include <algorithm>
#include <cstring>

#include "saves/game_save.h"
#include "world/map.h"

temp_reader temp_reader::over_text(std::string_view text) {
    return temp_reader(temp_bytes(text.begin(), text.end()));
}

size_t temp_reader::read(void* buffer, size_t size) {
    size_t n = std::min(size, bytes_.size() - position_);
    if (n) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

void temp_reader::skip(size_t n) {
    position_ += std::min(n, bytes_.size() - position_);
}

int temp_reader::getc() {
    if (position_ >= bytes_.size()) return -1;
    return bytes_[position_++];
}

void temp_reader::ungetc() {
    if (position_ > 0) --position_;
}

bool temp_reader::read_line(char* buffer, size_t size) {
    if (size == 0) return false;
    buffer[0] = 0;
    if (position_ >= bytes_.size()) return false;
    size_t n = 0;
    while (n + 1 < size && position_ < bytes_.size()) {
        char c = static_cast<char>(bytes_[position_++]);
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = 0;
    return true;
}

void temp_writer::write(const void* data, size_t size) {
    if (size == 0) {
        store_->entry(name_);
        return;
    }
    temp_bytes& bytes = store_->entry(name_);
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

temp_bytes& temp_store::entry(std::string_view name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) it = entries_.emplace(std::string(name), temp_bytes{}).first;
    return it->second;
}

void temp_store::create(std::string_view name, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    entry(name).assign(p, p + size);
}

int64_t temp_store::size(std::string_view name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? -1 : static_cast<int64_t>(it->second.size());
}

int64_t temp_store::read_all(std::string_view name, void* buffer, size_t size) const {
    auto it = entries_.find(name);
    if (it == entries_.end()) return -1;
    size_t n = std::min(size, it->second.size());
    if (n) std::memcpy(buffer, it->second.data(), n);
    return static_cast<int64_t>(n);
}

std::optional<temp_reader> temp_store::open_read(std::string_view name) const {
    auto it = entries_.find(name);
    if (it == entries_.end()) return std::nullopt;
    return temp_reader(it->second);
}

temp_writer temp_store::open_write(std::string_view name) {
    entry(name).clear();
    return temp_writer(*this, std::string(name));
}

temp_writer temp_store::open_append(std::string_view name) {
    entry(name);
    return temp_writer(*this, std::string(name));
}

void temp_store::remove(std::string_view name) {
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
}

void temp_store::for_each(const std::function<void(const std::string&, const temp_bytes&)>& visit) const {
    for (const auto& [name, data] : entries_) visit(name, data);
}

temp_store& game_store() {
    static temp_store store;
    return store;
}

void install_temp_store_for_maps() {
    map_store_hooks hook;
    hook.write = [](const std::string& name, const std::vector<uint8_t>& data) {
        // The map a loaded game leaves belongs to the game before the load.
        if (leaving_map_for_loaded_game()) return;
        game_store().create(name, data);
    };
    hook.read = [](const std::string& name, std::vector<uint8_t>& data) {
        auto it = game_store().entries().find(name);
        if (it == game_store().entries().end()) return false;
        data = it->second;
        return true;
    };
    set_map_state_store(hook);
}
