#include "sound/playlist_rules.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "base/paths.h"
#include "core/random.h"

namespace {

std::string upper(std::string_view word) {
    std::string out(word);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

size_t skip_spaces(std::string_view text, size_t at) {
    while (at < text.size() && text[at] == ' ') ++at;
    return at;
}

}  // namespace

std::optional<playlist> parse_playlist(std::string_view text) {
    size_t at = skip_spaces(text, 0);
    if (at == text.size()) return std::nullopt;
    playlist list;
    size_t word_end = text.find(' ', at);
    if (word_end == std::string_view::npos) word_end = text.size();
    const std::string word = upper(text.substr(at, word_end - at));
    playlist_mode mode = PLAYLIST_RANDOM;
    bool keyword = true;
    if (word == "RANDOM")
        mode = PLAYLIST_RANDOM;
    else if (word == "FORWARD")
        mode = PLAYLIST_FORWARD;
    else if (word == "FIRST")
        mode = PLAYLIST_FIRST;
    else
        keyword = false;
    if (keyword) at = skip_spaces(text, word_end);
    if (at == text.size()) return std::nullopt;

    // Names split at every single space: two spaces give an empty name.
    std::string_view rest = text.substr(at);
    for (;;) {
        const size_t space = rest.find(' ');
        const std::string_view name = rest.substr(0, std::min(space, rest.size()));
        list.entries.push_back(PLAYLIST_PLAYED + std::string(name.substr(0, PLAYLIST_NAME_LIMIT)));
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    if (mode == PLAYLIST_FIRST) {
        list.entries[0][0] = PLAYLIST_UNPLAYED;
        list.unplayed = 1;
        mode = PLAYLIST_RANDOM;
    }
    list.mode = mode;
    list.last_index = -1;
    return list;
}

std::optional<std::string> next_piece(playlist& list, const playlist_world& world) {
    const int count = static_cast<int>(list.entries.size());
    if (count == 0) return std::nullopt;
    // Every entry was handed out since a piece was last heard: another round
    // would only hand them out again, so the music ends here.
    if (list.silent_picks >= count) return std::nullopt;
    ++list.silent_picks;
    if (list.unplayed == 0) {
        for (std::string& entry : list.entries) entry[0] = PLAYLIST_UNPLAYED;
        list.unplayed = count;
    }
    int steps = 1;
    // A list of one piece has nothing to choose: the game's random numbers
    // are not drawn for it, so music does not shift what the dice decide.
    if (list.mode == PLAYLIST_RANDOM && world.random && count > 1) steps += world.random(count);
    int index = list.last_index;
    while (steps > 0) {
        index = (index + 1) % count;
        if (list.entries[index][0] == PLAYLIST_UNPLAYED) --steps;
    }
    list.last_index = index;
    const std::string name = list.entries[index].substr(1);
    // An empty name is no file, whatever the folder holds.
    if (name.empty()) return std::nullopt;
    const std::string path = build_path(world.music_folder, name);
    if (!world.file_exists || !world.file_exists(path)) return std::nullopt;
    list.entries[index][0] = PLAYLIST_PLAYED;
    --list.unplayed;
    return path;
}

void piece_heard(playlist& list) {
    list.silent_picks = 0;
}

namespace {

std::optional<playlist> current;

bool regular_file(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(resolve_path(path), ec);
}

}  // namespace

void playlist_set(const char* text) {
    current.reset();
    if (text) current = parse_playlist(text);
}

std::optional<std::string> playlist_next() {
    if (!current) return std::nullopt;
    const playlist_world world{path_table[PATH_MUSIC], regular_file, [](int n) { return random(n); }};
    return next_piece(*current, world);
}

void playlist_heard() {
    if (current) piece_heard(*current);
}

void playlist_clear() {
    current.reset();
}
