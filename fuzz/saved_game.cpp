// Any bytes as a saved-game file: nothing crashes, and whatever parses writes
// back to a file that parses to the same store and description.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "saves/saved_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto game = read_saved_game(std::span<const uint8_t>(data, size));
    if (!game) return 0;
    temp_bytes again = saved_game_bytes(game->description, game->store);
    auto reread = read_saved_game(again);
    if (!reread || reread->description != game->description || !(reread->store == game->store)) std::abort();
    return 0;
}
