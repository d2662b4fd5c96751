// dialogy.dat as read, its paragraph table, going to a paragraph, and the
// marks and flags that saved games keep.
#include <cstdio>

#include "story/dialog_internal.h"

namespace {
uint32_t u32_at(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
}  // namespace

bool read_dialog_file(std::span<const uint8_t> bytes, dialog_file& out, std::string* error) {
    auto refuse = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (bytes.size() < DIALOG_HEADER_SIZE) return refuse("the dialogs are shorter than their header");
    const uint64_t count = u32_at(bytes, 0);
    const uint64_t table_end = DIALOG_HEADER_SIZE + count * DIALOG_ENTRY_SIZE;
    if (table_end > bytes.size()) return refuse("the paragraph count does not fit the dialogs");
    dialog_file file;
    file.bytes.assign(bytes.begin(), bytes.end());
    file.code_start = size_t(table_end);
    const size_t code_size = bytes.size() - file.code_start;
    file.paragraphs.resize(size_t(count));
    for (size_t i = 0; i < file.paragraphs.size(); ++i) {
        const size_t at = DIALOG_HEADER_SIZE + i * DIALOG_ENTRY_SIZE;
        dialog_paragraph& p = file.paragraphs[i];
        // The visited bits belong to the run, whatever the file holds.
        p.word = u32_at(bytes, at) & ~(PARAGRAPH_VISITED | PARAGRAPH_REENTERED);
        p.offset = u32_at(bytes, at + 4);
        if (p.offset > code_size) return refuse("a paragraph starts outside the code area");
    }
    out = std::move(file);
    return true;
}

dialog_file& game_dialogs() {
    static dialog_file file;
    return file;
}

namespace dialog_detail {

int paragraph_index(int number) {
    const auto& table = game_dialogs().paragraphs;
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].number() == number) return int(i);
    return -1;
}

int paragraph_holding(size_t code_pointer) {
    const auto& table = game_dialogs().paragraphs;
    int found = -1;
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].offset <= code_pointer && (found < 0 || table[i].offset >= table[size_t(found)].offset))
            found = int(i);
    return found;
}

void go_to(int relative) {
    auto& table = game_dialogs().paragraphs;
    if (table.empty()) fail("No paragraphs in the dialogs");
    char text[96];
    int number = dialog.local_base + relative;
    // A chain of redirects longer than the table goes round in a circle.
    for (size_t hops = 0;; ++hops) {
        int index = paragraph_index(number);
        if (index < 0) {
            std::snprintf(text, sizeof text, "Paragraph %d doesn't exists! Called from", number);
            trace(text);
            index = 0;
        }
        dialog_paragraph& entry = table[size_t(index)];
        if (dialogs_world().tracing()) {
            std::snprintf(text, sizeof text, "Dialog goto_paragraph %d (visited=%d)\n", number,
                          entry.visited() ? 1 : 0);
            dialogs_world().log(text);
        }
        if (entry.visited()) entry.word |= PARAGRAPH_REENTERED;
        if (entry.visited() && entry.redirect() != entry.number()) {
            if (hops < table.size()) {
                dialogs_world().pump_events();
                relative = entry.redirect() - dialog.local_base;
                number = entry.redirect();
                continue;
            }
            trace("Redirects go round in a circle");
        }
        dialog.code_pointer = entry.offset;
        dialog.current_paragraph = relative;
        entry.word |= PARAGRAPH_VISITED;
        return;
    }
}

}  // namespace dialog_detail

bool dialog_reset_paragraph(int number) {
    dialog.local_base = 0;
    const int index = dialog_detail::paragraph_index(number);
    if (index < 0) return false;
    game_dialogs().paragraphs[size_t(index)].word &= ~(PARAGRAPH_VISITED | PARAGRAPH_REENTERED);
    return true;
}

void dialog_save_state(std::vector<uint8_t>& out) {
    const auto& table = game_dialogs().paragraphs;
    const uint32_t count = uint32_t(table.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(count >> (8 * i)));
    const size_t first = out.size();
    out.resize(first + (size_t(count) + 3) / 4, 0);
    for (size_t k = 0; k < table.size(); ++k) {
        uint8_t bits = (table[k].visited() ? 1 : 0) | (table[k].reentered() ? 2 : 0);
        out[first + k / 4] |= uint8_t(bits << (2 * (k % 4)));
    }
    out.insert(out.end(), dialog_flag_bytes().begin(), dialog_flag_bytes().end());
}

bool dialog_load_state(std::span<const uint8_t> bytes, size_t* used) {
    if (bytes.size() < 4) return false;
    const uint64_t count = u32_at(bytes, 0);
    const uint64_t size = 4 + (count + 3) / 4 + dialog_flag_bytes().size();
    if (size > bytes.size()) return false;
    if (used) *used = size_t(size);
    auto& table = game_dialogs().paragraphs;
    if (count != table.size()) return true;  // saved with other dialogs: kept as they are
    for (size_t k = 0; k < table.size(); ++k) {
        const uint8_t bits = uint8_t(bytes[4 + k / 4] >> (2 * (k % 4)));
        table[k].word &= ~(PARAGRAPH_VISITED | PARAGRAPH_REENTERED);
        if (bits & 1) table[k].word |= PARAGRAPH_VISITED;
        if (bits & 2) table[k].word |= PARAGRAPH_REENTERED;
    }
    const size_t flags_at = 4 + size_t(count + 3) / 4;
    for (size_t i = 0; i < dialog_flag_bytes().size(); ++i) dialog_flag_bytes()[i] = bytes[flags_at + i];
    return true;
}
