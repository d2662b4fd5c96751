#pragma once
// The store of temporary state files: named in-memory files holding
// everything that changed during play. Names are byte strings compared byte by
// byte; a saved game is a dump of the whole store.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using temp_bytes = std::vector<uint8_t>;

// A read position over a copy of an entry's bytes (or over any plain text),
// so that later changes to the store do not move under it.
class temp_reader {
  public:
    explicit temp_reader(temp_bytes bytes) : bytes_(std::move(bytes)) {}
    static temp_reader over_text(std::string_view text);

    // Copies up to `size` bytes from the position and advances; returns the count copied.
    size_t read(void* buffer, size_t size);
    // Moves the position forward by n bytes, stopping at the end.
    void skip(size_t n);
    // The next byte, or -1 at the end.
    int getc();
    // Steps back one byte (the byte read last); nothing at the start.
    void ungetc();
    // Reads one line up to and including its line feed, at most size - 1
    // bytes, NUL-terminated. Returns false (and an empty buffer) at the end.
    bool read_line(char* buffer, size_t size);

    size_t position() const { return position_; }
    size_t size() const { return bytes_.size(); }

  private:
    temp_bytes bytes_;
    size_t position_ = 0;
};

class temp_store;

// Appends to one entry; the entry is created again when it was deleted meanwhile.
class temp_writer {
  public:
    temp_writer(temp_store& store, std::string name) : store_(&store), name_(std::move(name)) {}
    void write(const void* data, size_t size);

  private:
    temp_store* store_;
    std::string name_;
};

class temp_store {
  public:
    // std::string orders by char_traits<char>, which compares as unsigned bytes.
    using entry_map = std::map<std::string, temp_bytes, std::less<>>;

    void create(std::string_view name, const void* data, size_t size);
    void create(std::string_view name, const temp_bytes& data) { create(name, data.data(), data.size()); }
    // The entry's size, or -1 when it does not exist.
    int64_t size(std::string_view name) const;
    // Copies min(size, entry size) bytes; returns the count, or -1 when the entry does not exist.
    int64_t read_all(std::string_view name, void* buffer, size_t size) const;
    std::optional<temp_reader> open_read(std::string_view name) const;
    // Empties the entry (creating it) and returns a writer that appends.
    temp_writer open_write(std::string_view name);
    // A writer that appends to the entry as it is (created when missing).
    temp_writer open_append(std::string_view name);
    void remove(std::string_view name);
    void clear() { entries_.clear(); }
    // Visits every entry in name order.
    void for_each(const std::function<void(const std::string& name, const temp_bytes& data)>& visit) const;

    const entry_map& entries() const { return entries_; }
    bool operator==(const temp_store&) const = default;

  private:
    friend class temp_writer;
    temp_bytes& entry(std::string_view name);
    entry_map entries_;
};

// The one store of the running game.
temp_store& game_store();

// Makes the world keep its map state files in game_store().
void install_temp_store_for_maps();
