#include "core/handles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/fatal.h"
#include "core/archive.h"

namespace {

constexpr int PAGE_COUNT = 256;
constexpr int PAGE_SIZE = 256;
// Aliases always point at a non-alias record; the bound only guards the loop.
constexpr int MAX_ALIAS_HOPS = 8;

std::array<std::unique_ptr<handle_record[]>, PAGE_COUNT> pages;
int highest_touched = -1;

handle_record* touch(handle_id id) {
    auto& page = pages[id / PAGE_SIZE];
    if (!page) page = std::make_unique<handle_record[]>(PAGE_SIZE);  // zero-filled: all undefined
    if (id > highest_touched) highest_touched = id;
    return &page[id % PAGE_SIZE];
}

handle_record* peek(handle_id id) {
    auto& page = pages[id / PAGE_SIZE];
    return page ? &page[id % PAGE_SIZE] : nullptr;
}

bool is_locked(const handle_record* r) {
    return r->flags & HANDLE_FLAG_LOCKED;
}

// Follows an alias to the record that holds the data; id becomes its number.
handle_record* follow_alias(handle_record* r, handle_id* id) {
    for (int hops = 0; r && r->state == HANDLE_ALIAS; ++hops) {
        if (hops == MAX_ALIAS_HOPS) return nullptr;
        *id = static_cast<handle_id>(r->location);
        r = peek(*id);
    }
    return r;
}

[[noreturn]] void low_memory(size_t size) {
    fatal_error("memory allocation error %lu", static_cast<unsigned long>(size));
}

[[noreturn]] void load_error(const char* path) {
    char text[256];
    std::snprintf(text, sizeof text, "Load error while loading file: %s", path);
    fatal_error("%s", text);
}

std::string upper_case(const char* name) {
    std::string text(name);
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A defined, not loaded record: its own name, decoder and folder, looked up
// in the archives.
void make_defined(handle_record* r, const char* upper_name, decoder_fn decoder, path_group group) {
    if (upper_name != r->name) {
        std::strncpy(r->name, upper_name, HANDLE_NAME_MAX);
        r->name[HANDLE_NAME_MAX] = 0;
    }
    r->location = 0;
    r->archive_slot = 0;
    r->decoder = decoder;
    r->data = nullptr;
    r->length = 0;
    r->flags = 0;
    r->folder = group;
    if (r->name[0]) {
        int slot = 0;
        uint32_t offset = 0;
        if (find_in_archives(group, r->name, &slot, &offset)) {
            r->archive_slot = static_cast<uint8_t>(slot);
            r->location = offset;
        }
    }
    r->state = HANDLE_DEFINED;
}

template <typename Visit>
void for_each_record(Visit visit) {
    for (int p = 0; p < PAGE_COUNT; ++p) {
        if (!pages[p]) continue;
        for (int i = 0; i < PAGE_SIZE; ++i) visit(static_cast<handle_id>(p * PAGE_SIZE + i), pages[p][i]);
    }
}

// The target is about to change or vanish: its aliases become handles of
// their own again. The lowest becomes independent (with its own name, decoder
// and folder) and the others alias it, so they still share one copy. Normally
// none of them is locked: a locked alias keeps its target locked, and a
// locked target is never redefined or undefined.
void detach_aliases(handle_id target) {
    handle_record* t = peek(target);
    if (!t || t->alias_count == 0) return;
    handle_record* leader = nullptr;
    handle_id leader_id = 0;
    for_each_record([&](handle_id id, handle_record& r) {
        if (r.state != HANDLE_ALIAS || r.location != target) return;
        if (!leader) {
            const uint8_t flags = r.flags;  // locked only after an unbalanced unlock of the target
            make_defined(&r, r.name, r.decoder, r.folder);
            r.flags = flags;
            leader = &r;
            leader_id = id;
        } else {
            r.location = leader_id;
            ++leader->alias_count;
        }
    });
    t->alias_count = 0;
}

// An alias stops being one: its target loses the back count.
void leave_target(handle_record* r) {
    if (r->state != HANDLE_ALIAS) return;
    handle_record* t = peek(static_cast<handle_id>(r->location));
    if (t && t->alias_count) --t->alias_count;
}

void load(handle_record* r, handle_id id) {
    void* data = nullptr;
    int32_t length = 0;
    if (r->location) {
        data = const_cast<uint8_t*>(archive_data(r->archive_slot, r->location, &length));
    } else if (r->name[0]) {
        const std::string path = build_path(path_table[r->folder], r->name);
        data = read_whole_file(path.c_str(), &length);
    }
    r->state = HANDLE_LOADED;
    r->data = data;
    r->length = length;
    if (!r->decoder) return;
    void* decoded = r->decoder(data, &length, id);
    if (decoded != data && data && !is_archive_memory(data)) game_free(data);
    r->data = decoded;
    r->length = length;
}

}  // namespace

void* game_alloc(size_t size) {
    if (size == 0) return nullptr;
    // The probe keeps at least 4 KB free after every successful allocation.
    void* probe = std::malloc(4096);
    void* block = probe ? std::malloc(size) : nullptr;
    std::free(probe);
    if (!block) low_memory(size);
    return block;
}

void* game_realloc(void* p, size_t size) {
    if (size == 0) {
        std::free(p);
        return nullptr;
    }
    if (void* q = std::realloc(p, size)) return q;
    game_free(game_alloc(size));  // fatal when the memory is not there
    if (void* q = std::realloc(p, size)) return q;
    low_memory(size);
}

void game_free(void* p) {
    std::free(p);
}

handle_record* define_handle(handle_id id, const char* name, decoder_fn decoder, path_group group) {
    if (!name) name = "";
    const int match = find_handle(name, decoder);
    handle_record* r = touch(id);
    if (match == id) return r;
    if (!release_handle(id)) return nullptr;  // locked
    if (is_locked(r)) return nullptr;         // a locked alias (release leaves aliases alone)
    leave_target(r);
    detach_aliases(id);
    const std::string upper = upper_case(name);
    if (match >= 0) {
        // An alias keeps its own name, decoder and folder, so it can stand on
        // its own again when its target goes away.
        make_defined(r, upper.c_str(), decoder, group);
        r->location = static_cast<uint32_t>(match);
        r->archive_slot = 0;
        r->state = HANDLE_ALIAS;
        ++peek(static_cast<handle_id>(match))->alias_count;
        return r;
    }
    make_defined(r, upper.c_str(), decoder, group);
    return r;
}

void* get_handle_data(handle_id id) {
    handle_record* r = follow_alias(peek(id), &id);
    if (!r) return nullptr;
    if (r->state == HANDLE_LOADED) return r->data;
    if (r->state != HANDLE_DEFINED) return nullptr;
    load(r, id);
    return r->data;
}

void* get_handle_writable(handle_id id) {
    if (!get_handle_data(id)) return nullptr;
    handle_record* r = follow_alias(peek(id), &id);
    if (is_archive_memory(r->data)) {
        const size_t size = r->length > 0 ? static_cast<size_t>(r->length) : 1;
        void* copy = game_alloc(size);
        std::memcpy(copy, r->data, static_cast<size_t>(r->length > 0 ? r->length : 0));
        r->data = copy;
    }
    return r->data;
}

int lock_handle(handle_id id) {
    handle_record* r = touch(id);
    if (r->lock_count == 0) {
        r->flags |= HANDLE_FLAG_LOCKED;
        if (r->state == HANDLE_ALIAS) lock_handle(static_cast<handle_id>(r->location));
    }
    if (r->lock_count < UINT16_MAX) ++r->lock_count;
    return r->lock_count;
}

int unlock_handle(handle_id id) {
    handle_record* r = peek(id);
    if (!r || r->lock_count == 0) return 0;
    if (--r->lock_count == 0) {
        r->flags &= static_cast<uint8_t>(~HANDLE_FLAG_LOCKED);
        if (r->state == HANDLE_ALIAS) unlock_handle(static_cast<handle_id>(r->location));
    }
    return r->lock_count;
}

handle_record* release_handle(handle_id id) {
    handle_record* r = touch(id);
    if (r->state == HANDLE_UNDEFINED) return r;
    if (is_locked(r)) return nullptr;
    if (r->state != HANDLE_LOADED) return r;
    if (r->data && !is_archive_memory(r->data)) game_free(r->data);
    r->data = nullptr;
    r->length = 0;
    r->state = HANDLE_DEFINED;
    return r;
}

void reload_handle(handle_id id) {
    handle_record* r = peek(id);
    if (!r) return;
    release_handle(id);
    if (r->state == HANDLE_ALIAS) release_handle(static_cast<handle_id>(r->location));
}

handle_record* undefine_handle(handle_id id) {
    handle_record* r = touch(id);
    if (is_locked(r)) return nullptr;
    if (r->state == HANDLE_UNDEFINED) return r;
    release_handle(id);
    leave_target(r);
    detach_aliases(id);
    *r = handle_record{};
    return r;
}

int32_t handle_length(handle_id id) {
    handle_record* r = follow_alias(peek(id), &id);
    if (!r || r->state == HANDLE_UNDEFINED) return -1;
    return r->length;
}

int find_handle(const char* name, decoder_fn decoder) {
    if (!name || !name[0]) return -1;
    for (int id = 0; id <= highest_touched; ++id) {
        const handle_record* r = peek(static_cast<handle_id>(id));
        if (!r) {
            id |= PAGE_SIZE - 1;  // skip the whole untouched page
            continue;
        }
        // Aliases are never matched, so an alias never gets an alias.
        if (r->state == HANDLE_UNDEFINED || r->state == HANDLE_ALIAS) continue;
        if (r->decoder == decoder && std::strncmp(r->name, name, 12) == 0) return id;
    }
    return -1;
}

const handle_record* handle_info(handle_id id) {
    return peek(id);
}

handle_id highest_handle() {
    return static_cast<handle_id>(highest_touched < 0 ? 0 : highest_touched);
}

bool resource_available(path_group group, const char* name) {
    const std::string upper = upper_case(name);
    if (find_in_archives(group, upper.c_str(), nullptr, nullptr)) return true;
    return loose_file_present(build_path(path_table[group], name));
}

void* load_file(const char* name, path_group group, int32_t* length) {
    const std::string upper = upper_case(name);
    int slot = 0;
    uint32_t offset = 0;
    int32_t size = 0;
    void* data = nullptr;
    if (find_in_archives(group, upper.c_str(), &slot, &offset))
        data = const_cast<uint8_t*>(archive_data(slot, offset, &size));
    else
        data = read_whole_file(build_path(path_table[group], name).c_str(), &size);
    if (length) *length = size;
    return data;
}

void* load_file_writable(const char* name, path_group group, int32_t* length) {
    int32_t size = 0;
    void* data = load_file(name, group, &size);
    if (is_archive_memory(data)) {
        void* copy = game_alloc(size > 0 ? static_cast<size_t>(size) : 1);
        std::memcpy(copy, data, static_cast<size_t>(size));
        data = copy;
    }
    if (length) *length = size;
    return data;
}

void free_file_data(void* data) {
    if (data && !is_archive_memory(data)) game_free(data);
}

void* read_whole_file(const char* path, int32_t* length) {
    FILE* file = open_file(path, "rb");
    if (!file) load_error(path);
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    // An empty file counts as missing: there is nothing a reader could use.
    if (size <= 0 || size > INT32_MAX || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        load_error(path);
    }
    void* data = game_alloc(static_cast<size_t>(size));
    const size_t got = std::fread(data, 1, static_cast<size_t>(size), file);
    std::fclose(file);
    if (got != static_cast<size_t>(size)) {
        game_free(data);
        load_error(path);
    }
    if (length) *length = static_cast<int32_t>(size);
    return data;
}

void free_all_handles() {
    for_each_record([](handle_id, handle_record& r) {
        if (r.state == HANDLE_LOADED && r.data && !is_archive_memory(r.data)) game_free(r.data);
    });
    for (auto& page : pages) page.reset();
    highest_touched = -1;
    unmap_all_archives();
}
