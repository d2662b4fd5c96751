// Any bytes as dialogy.dat: they are refused, or every paragraph (the first
// hundred) runs through the interpreter with the player's picks scripted
// (the first choice, then the second; a portrait picked, then a cancel),
// without reading past the file, and each dialog ends after a bounded run.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/random.h"
#include "rules/inventory.h"
#include "rules/party.h"
#include "story/dialog.h"
#include "world/party_standin.h"

namespace {

// A fatal authoring error ends only the dialog here, and a script that
// loops without waiting is stopped after a few thousand instructions.
struct fuzz_world final : dialog_world {
    std::vector<std::string> wrap(const std::string& text, int) override {
        std::vector<std::string> lines;
        for (size_t at = 0; at < text.size(); at += 60) lines.push_back(text.substr(at, 60));
        return lines;
    }
    std::string map_text(int number) override { return number % 3 ? "map [a,b] %n" : "%5l%12x"; }
    bool keep_going(long instructions) override { return instructions < 4000; }
};

void two_members() {
    reset_party();
    party.sector = 1;
    for (int i = 0; i < 2; ++i) {
        party_member& m = party_members[i];
        m.used = 1;
        m.group = 1;
        m.hp = 20;
        m.sector = 1;
        m.map_hash = party_state.map_hash;
        m.female = uint8_t(i);
        m.face = uint8_t(i);
        m.base_stats[STAT_HP_MAX] = 20;
        m.base_stats[STAT_STRENGTH] = 40 + i;
        recompute_stats(m);
        std::strcpy(m.name, i ? "Lenka" : "Borin");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz_world world;
    set_dialog_world(&world);
    if (!read_dialog_file(std::span<const uint8_t>(data, size), game_dialogs())) return 0;
    random_seed(uint32_t(size));
    two_members();
    dialog = dialog_state{};
    dialog_flag_bytes().fill(0);
    const size_t count = std::min<size_t>(game_dialogs().paragraphs.size(), 100);
    for (size_t i = 0; i < count; ++i) {
        dialog_start(game_dialogs().paragraphs[i].number(), -1);
        for (int pick = 0; pick < 12 && dialog.running; ++pick) {
            if (dialog.waiting == dialog_wait::pick_portrait)
                dialog_portrait_picked(pick % 2 ? -1 : 0);
            else
                dialog_pick(pick % 2);
        }
        if (dialog.running) {
            // Still waiting after the scripted picks: end it as the game would on leaving.
            dialog.running = false;
            dialog.waiting = dialog_wait::ended;
        }
        game_held().clear();
    }
    std::vector<uint8_t> saved;
    dialog_save_state(saved);
    if (!dialog_load_state(saved)) __builtin_trap();
    game_dialogs() = dialog_file{};
    for (party_member& m : party_members) {
        delete m.saved_self;
        m.saved_self = nullptr;
    }
    return 0;
}
