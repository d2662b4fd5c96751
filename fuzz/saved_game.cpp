// Any bytes as a saved-game file: nothing crashes, and whatever parses writes
// back to a file that parses to the same store and description. The game
// file inside (or the bytes themselves taken as one) parses or is refused
// whole, and what parses writes back to bytes that parse to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "saves/game_file.h"
#include "saves/saved_game.h"

namespace {

void check_game_file(std::span<const uint8_t> bytes) {
    const auto file = parse_game_file(bytes);
    if (!file) return;
    const std::vector<uint8_t> written = game_file_bytes(*file);
    const auto again = parse_game_file(written);
    if (!again || game_file_bytes(*again) != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check_game_file(std::span<const uint8_t>(data, size));
    auto game = read_saved_game(std::span<const uint8_t>(data, size));
    if (!game) return 0;
    temp_bytes again = saved_game_bytes(game->description, game->store);
    auto reread = read_saved_game(again);
    if (!reread || reread->description != game->description || !(reread->store == game->store)) std::abort();
    if (auto entry = game->store.entries().find(GAME_FILE_NAME); entry != game->store.entries().end())
        check_game_file(entry->second);
    return 0;
}
