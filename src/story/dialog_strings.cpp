// Texts of a dialog: expanding names, escapes and word forms, the history of
// lines, the choices offered, and the comparisons of the condition register.
#include <cstdio>

#include "story/dialog_internal.h"

namespace dialog_detail {
namespace {

constexpr int HISTORY_WIDTH = 606;

// The form of a bracket group "[a,b,...]" for slot 0's gender; `at` is the
// opening bracket and moves past the closing one.
std::string word_form(std::string_view source, size_t& at) {
    const size_t close = source.find(']', at);
    if (close == std::string_view::npos) fatal_text(std::string(source) + "\r\nOcekava se ]");
    std::string_view forms = source.substr(at + 1, close - at - 1);
    at = close + 1;
    int wanted = dialog.slots[0].gender;
    for (;;) {
        const size_t comma = forms.find(',');
        if (wanted == 0) return std::string(forms.substr(0, comma));
        if (comma == std::string_view::npos)
            fatal_text(std::string(source) + "\r\nChybny rod nebo maly pocet tvaru od jednoho slova");
        forms.remove_prefix(comma + 1);
        --wanted;
    }
}

}  // namespace

std::string expand(std::string_view source) {
    std::string out;
    auto add = [&](std::string_view piece) {
        const size_t room = DIALOG_EXPAND_SIZE - 1 - out.size();
        out.append(piece.substr(0, room));
    };
    size_t at = 0;
    while (at < source.size()) {
        const char c = source[at];
        if (c == '[') {
            add(word_form(source, at));
            continue;
        }
        if (c != '%' || at + 1 >= source.size()) {
            add(source.substr(at, 1));
            ++at;
            continue;
        }
        const char next = source[at + 1];
        at += 2;
        switch (next) {
            case '%':
            case 'p':
                add("%");
                break;
            case '[':
                add("[");
                break;
            case ']':
                add("]");
                break;
            case 'a':
                add("'");
                break;
            case 'n':
                add(dialog.slots[0].name);
                break;
            default:
                if (next >= '0' && next <= '9') {
                    int number = next - '0';
                    while (at < source.size() && source[at] >= '0' && source[at] <= '9' && number < 1000)
                        number = number * 10 + (source[at++] - '0');
                    if (at < source.size() && source[at++] == 'l') {
                        if (number >= SELECTION_SLOTS) fail("Selection slot out of range");
                        dialog.slots[0] = dialog.slots[number];
                    }
                } else {
                    add(source.substr(at - 2, 2));
                }
        }
    }
    return out;
}

void append_history(char marker, const std::string& text) {
    std::vector<std::string> lines = dialogs_world().wrap(text, HISTORY_WIDTH);
    if (lines.empty()) lines.emplace_back();
    for (std::string& line : lines) {
        dialog.history.push_back(history_line{marker, std::move(line)});
        if (dialog.history.size() > size_t(DIALOG_HISTORY_LINES)) {
            dialog.history.erase(dialog.history.begin());
            if (dialog.scroll > 0) --dialog.scroll;
            if (dialog.history_mark > 0) --dialog.history_mark;
        }
    }
}

void offer_choice(int target, const std::string& text) {
    int index = dialog.choice_count;
    if (index == 0) dialog.history_mark = int(dialog.history.size());
    if (index >= DIALOG_CHOICES) {
        if (!dialog.too_many_choices_logged) trace("POZOR! Je priliz mnoho voleb");
        dialog.too_many_choices_logged = true;
        index = DIALOG_CHOICES - 1;  // its lines join the last choice
    } else {
        dialog.choice_targets[index] = target;
        dialog.choice_count = index + 1;
    }
    append_history(char('0' + index), text);
}

bool compare(int left, int right, int op) {
    switch (op) {
        case CMP_EQUAL:
            return left == right;
        case CMP_LESS:
            return left < right;
        case CMP_LESS_EQUAL:
            return left <= right;
        case CMP_GREATER:
            return left > right;
        case CMP_GREATER_EQUAL:
            return left >= right;
        case CMP_NOT_EQUAL:
            return left != right;
        default:
            trace("Chybn\xEF\xBF\xBD operator porovn\xEF\xBF\xBDv\xEF\xBF\xBDn\xEF\xBF\xBD");
            return false;
    }
}

}  // namespace dialog_detail
