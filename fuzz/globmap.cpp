// Any bytes as the world map's script: the run ends (with or without an
// error on a line that exists), every place it names is one of the table's,
// and the texts it keeps fit their fields. The same bytes as the forge's
// source: what compiles runs in the game without an error, and reading it
// back into source compiles again to the same script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "forge/globmap_source.h"
#include "world/world_map.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::optional<world_script_error> run(std::string_view script, world_script_state& state) {
    world_script_calls calls;
    calls.story_flag = [](int n) {
        check(n >= 0 && n <= 255);
        return (n & 1) != 0;
    };
    calls.visited = [](const std::string& w) { return w.size() % 2 == 0; };
    calls.draw = [](const std::string& picture, int, int) { check(!picture.empty()); };
    calls.use_index = [](const std::string& picture) { check(!picture.empty()); };
    calls.current_map = "KEEP.MAP";
    calls.sector = 3;
    return run_world_script_text(script, state, calls);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    world_script_state state;
    const std::optional<world_script_error> error = run(bytes, state);
    size_t lines = 1;
    for (char c : bytes.substr(0, bytes.find('\0'))) lines += c == '\n';
    if (error)
        check(error->line >= 1 && static_cast<size_t>(error->line) <= lines && !error->message.empty());
    check(state.current_place >= 0 && state.current_place < WORLD_PLACE_COUNT);
    for (const world_place& p : state.places) {
        check(p.map.size() <= WORLD_PLACE_MAP_MAX);
        check(!p.text || p.text->size() <= WORLD_PLACE_TEXT_MAX);
    }

    std::string compiled;
    try {
        compiled = forge::compile_globmap_source(bytes, "fuzz.src");
    } catch (const std::runtime_error&) {
        return 0;
    }
    world_script_state compiled_state;
    check(!run(compiled, compiled_state));
    const std::string again = forge::compile_globmap_source(forge::decompile_globmap(compiled), "back.src");
    check(again == compiled);
    return 0;
}
