#include "saves/game_file.h"

#include <algorithm>
#include <cstring>

#include "core/record_bytes.h"
#include "world/map_scripts.h"

namespace {

constexpr size_t STORY_FLAG_BYTES = STORY_FLAG_COUNT / 8;

void put_u16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void write_head(const game_file& file, uint8_t* head) {
    record_writer w(head);
    w.i32(file.sector);
    w.u8(file.direction);
    w.u8(0);   // 5
    w.u16(0);  // 6
    w.u8(0);   // 8
    w.u8(0);   // 9..11
    w.u16(0);
    w.i32(file.money);
    w.u16(file.current_group);
    w.u8(file.autosave);
    w.u8(file.group_order);
    w.u8(file.member_names);
    w.u8(file.hunting_instinct);
    w.u8(file.turn_speed);
    w.u8(file.walk_speed);
    w.u8(file.auto_attack);
    w.bytes(file.sound, sizeof file.sound);
    const uint8_t zeros[7] = {};
    w.bytes(zeros, sizeof zeros);  // 33..39
    w.i32(file.game_time);
    w.bytes(file.runes, sizeof file.runes);
    char name[GAME_FILE_MAP_NAME_MAX + 1] = {};
    std::memcpy(name, file.map_name.data(), std::min(file.map_name.size(), GAME_FILE_MAP_NAME_MAX));
    w.bytes(name, sizeof name);
    const size_t h = file.hand.empty() ? 0 : file.hand.size() + 1;
    w.u16(uint16_t(h));
    w.u16(uint16_t(file.created_items.size()));
    w.u16(0);  // 66
    w.i32(file.rest_counter);
    w.u32(file.flags);
}

}  // namespace

std::vector<uint8_t> game_file_bytes(const game_file& file) {
    std::vector<uint8_t> out(GAME_FILE_HEAD_SIZE, 0);
    write_head(file, out.data());
    if (!file.hand.empty()) {
        for (int16_t item : file.hand) put_u16(out, uint16_t(item));
        put_u16(out, 0);
    }
    for (const item_def& item : file.created_items) append_item_def(item, out);
    if (file.effects.size() >= 4)
        out.insert(out.end(), file.effects.begin(), file.effects.end());
    else
        put_u32(out, 0);
    for (size_t i = 0; i < PARTY_SLOTS; ++i) {
        party_member member = file.members[i];
        member.plan = member.plan_cursor = nullptr;
        // Only the mark that the own record follows is written for the pointer.
        member.saved_self = file.own_records[i] ? const_cast<party_member*>(&*file.own_records[i]) : nullptr;
        append_party_member(member, out);
    }
    for (const auto& own : file.own_records) {
        if (!own) continue;
        party_member record = *own;
        record.plan = record.plan_cursor = nullptr;
        record.saved_self = nullptr;
        append_party_member(record, out);
    }
    if (file.dialog_state.size() >= 4)
        out.insert(out.end(), file.dialog_state.begin(), file.dialog_state.end());
    else {
        put_u32(out, 0);
        out.insert(out.end(), STORY_FLAG_BYTES, 0);
    }
    put_u16(out, uint16_t(file.party_list.size()));
    for (int16_t v : file.party_list) put_u16(out, uint16_t(v));
    return out;
}

size_t dialog_state_size(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4) return 0;
    record_reader r(bytes.data(), 4);
    const uint64_t count = r.u32();
    return size_t(4 + (count + 3) / 4 + STORY_FLAG_BYTES);
}

std::optional<game_file> parse_game_file(std::span<const uint8_t> bytes) {
    if (bytes.size() < GAME_FILE_HEAD_SIZE) return std::nullopt;
    game_file file;
    record_reader head(bytes.data(), GAME_FILE_HEAD_SIZE);
    file.sector = head.i32();
    file.direction = head.u8();
    head.skip(7);  // 5..11
    file.money = head.i32();
    file.current_group = head.u16();
    file.autosave = head.u8();
    file.group_order = head.u8();
    file.member_names = head.u8();
    file.hunting_instinct = head.u8();
    file.turn_speed = head.u8();
    file.walk_speed = head.u8();
    file.auto_attack = head.u8();
    head.bytes(file.sound, sizeof file.sound);
    head.skip(7);  // 33..39
    file.game_time = head.i32();
    head.bytes(file.runes, sizeof file.runes);
    char name[GAME_FILE_MAP_NAME_MAX + 1] = {};
    head.bytes(name, sizeof name);
    file.map_name.assign(name, strnlen(name, GAME_FILE_MAP_NAME_MAX));
    const uint16_t h = head.u16();
    const uint16_t k = head.u16();
    head.skip(2);  // 66
    file.rest_counter = head.i32();
    file.flags = head.u32();
    if (!head.ok() || file.direction > 3) return std::nullopt;

    size_t pos = GAME_FILE_HEAD_SIZE;
    auto left = [&] { return bytes.size() - pos; };

    // The hand: h values, the last of them the closing 0 and no 0 before it.
    if (left() < size_t(h) * 2) return std::nullopt;
    {
        record_reader r(bytes.data() + pos, size_t(h) * 2);
        for (size_t i = 0; i < h; ++i) {
            const int16_t item = r.i16();
            if ((item == 0) != (i + 1 == h)) return std::nullopt;
            if (item != 0) file.hand.push_back(item);
        }
        pos += size_t(h) * 2;
    }

    if (left() / ITEM_DEF_SIZE < k) return std::nullopt;
    file.created_items.resize(k);
    for (item_def& item : file.created_items) {
        if (!read_item_def(bytes.data() + pos, left(), item)) return std::nullopt;
        pos += ITEM_DEF_SIZE;
    }

    if (left() < 4) return std::nullopt;
    {
        record_reader r(bytes.data() + pos, 4);
        const int32_t count = r.i32();
        if (count < 0 || count > GAME_FILE_MAX_EFFECTS) return std::nullopt;
        const size_t size = 4 + size_t(count) * GAME_FILE_EFFECT_SIZE;
        if (left() < size) return std::nullopt;
        file.effects.assign(bytes.begin() + ptrdiff_t(pos), bytes.begin() + ptrdiff_t(pos + size));
        pos += size;
    }

    bool follows[PARTY_SLOTS] = {};
    for (size_t i = 0; i < PARTY_SLOTS; ++i) {
        if (!read_party_member(bytes.data() + pos, left(), file.members[i], &follows[i])) return std::nullopt;
        pos += PARTY_MEMBER_SIZE;
    }
    for (size_t i = 0; i < PARTY_SLOTS; ++i) {
        if (!follows[i]) continue;
        party_member own;
        if (!read_party_member(bytes.data() + pos, left(), own)) return std::nullopt;
        pos += PARTY_MEMBER_SIZE;
        file.own_records[i] = own;
    }

    const size_t dialog = dialog_state_size(bytes.subspan(pos));
    if (dialog == 0 || left() < dialog) return std::nullopt;
    file.dialog_state.assign(bytes.begin() + ptrdiff_t(pos), bytes.begin() + ptrdiff_t(pos + dialog));
    pos += dialog;

    // The list that follows the party; a file that ends before its count has none.
    if (left() >= 2) {
        record_reader r(bytes.data() + pos, left());
        const uint16_t c = r.u16();
        if (left() - 2 < size_t(c) * 2) return std::nullopt;
        for (size_t i = 0; i < c; ++i) file.party_list.push_back(r.i16());
    } else if (left() != 0) {
        return std::nullopt;
    }
    return file;
}
