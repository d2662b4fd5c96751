#pragma once
// A tiny writer of dialogy.dat bytes for the interpreter's tests, a world
// that records what the dialogs tell it, and a party of three on sector 1.
#include <cstring>
#include <string>
#include <vector>

#include "rules/party.h"
#include "story/dialog.h"
#include "world/party_standin.h"

struct dialog_script {
    struct paragraph {
        int number, redirect;
        std::vector<uint8_t> code;
    };
    std::vector<paragraph> paragraphs;

    dialog_script& para(int number, int redirect = -1) {
        paragraphs.push_back({number, redirect < 0 ? number : redirect, {}});
        return *this;
    }
    std::vector<uint8_t>& code() { return paragraphs.back().code; }
    dialog_script& num(int value) {
        code().insert(code().end(), {2, uint8_t(value), uint8_t(value >> 8)});
        return *this;
    }
    dialog_script& var(int index) {
        code().insert(code().end(), {3, uint8_t(index), uint8_t(index >> 8)});
        return *this;
    }
    dialog_script& text(const std::string& s) {
        code().push_back(1);
        code().insert(code().end(), s.begin(), s.end());
        code().push_back(0);
        return *this;
    }
    dialog_script& op(int opcode) { return num(opcode); }
    dialog_script& raw(std::initializer_list<uint8_t> bytes) {
        code().insert(code().end(), bytes);
        return *this;
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
        };
        u32(uint32_t(paragraphs.size()));
        u32(0);
        uint32_t offset = 0;
        for (const paragraph& p : paragraphs) {
            u32(uint32_t(p.number) | uint32_t(p.redirect) << 15);
            u32(offset);
            offset += uint32_t(p.code.size());
        }
        for (const paragraph& p : paragraphs) out.insert(out.end(), p.code.begin(), p.code.end());
        return out;
    }
    // Installs the bytes as the game's dialogs.
    void install() const {
        std::string error;
        if (!read_dialog_file(bytes(), game_dialogs(), &error)) throw std::runtime_error(error);
    }
};

struct recording_world : dialog_world {
    std::vector<std::string> logs, fatals;
    std::vector<int> shops;
    void log(const std::string& text) override { logs.push_back(text); }
    void fatal(const std::string& text) override { fatals.push_back(text); }
    void open_shop(int shop) override { shops.push_back(shop); }
};

// Borin (male, strength 30), Lenka (female, 50) and Dag (male, 50) on sector 1;
// the dialog state fresh.
inline void dialog_test_party() {
    reset_party();
    party.sector = 1;
    const char* names[] = {"Borin", "Lenka", "Dag"};
    for (int i = 0; i < 3; ++i) {
        party_member& m = party_members[i];
        m.used = 1;
        m.group = 1;
        m.hp = 10;
        m.sector = 1;
        m.map_hash = party_state.map_hash;
        m.face = uint8_t(i + 1);
        m.female = i == 1;
        m.base_stats[STAT_HP_MAX] = 10;
        m.base_stats[STAT_STRENGTH] = i == 0 ? 30 : 50;
        recompute_stats(m);
        std::strcpy(m.name, names[i]);
    }
    dialog = dialog_state{};
    dialog_flag_bytes().fill(0);
}
