// Each instruction of the dialog scripts: its operands and what it does.
#include <cstdio>

#include "core/random.h"
#include "rules/party.h"
#include "story/dialog_internal.h"
#include "world/map_services.h"

namespace dialog_detail {
namespace {

void set_main_text(const std::string& text) {
    dialog.main_text = dialogs_world().wrap(text, 225);
}

void offer_if(bool offered, int target, const std::string& text) {
    if (offered) offer_choice(target, text);
}

bool visited(int relative) {
    const int index = paragraph_index(dialog.local_base + relative);
    return index >= 0 && game_dialogs().paragraphs[size_t(index)].visited();
}

void jump(int distance) {
    const long target = long(dialog.code_pointer) + distance;
    if (target < 0) fail("Jump before the start of the dialogs");
    dialog.code_pointer = size_t(target);  // a read past the end is caught by the reader
}

void flag_bit(int bit, int mode) {
    dialog.flag = dialog_flag_test(bit);
    if (mode >= 0) dialog_flag_change(bit, mode);
}

void wait_for(dialog_wait how) {
    dialog.waiting = how;
}

}  // namespace

void execute(int opcode) {
    dialog_world& world = dialogs_world();
    switch (opcode) {
        case DOP_TEXT:
            set_main_text(read_string());
            break;
        case DOP_SAY:
            append_history('M', read_string());
            break;
        case DOP_SAVE_SELECTION:
            dialog.slots[read_slot_number()] = dialog.slots[0];
            break;
        case DOP_NOT:
            dialog.flag = !dialog.flag;
            break;
        case DOP_LOAD_SELECTION:
            dialog.slots[0] = dialog.slots[read_slot_number()];
            break;
        case DOP_SELECT_MEMBER:
            select_member(STAT_STRENGTH, 0, read_number());
            break;
        case DOP_SELECT_BY_STAT_1:
        case DOP_SELECT_BY_STAT_0:
        case DOP_SELECT_BY_STAT_3: {
            const int threshold = read_number();
            const int keep_held = read_number();
            const int stat = opcode == DOP_SELECT_BY_STAT_1 ? 1 : opcode == DOP_SELECT_BY_STAT_0 ? 0 : 3;
            select_member(stat, threshold, keep_held);
            break;
        }
        case DOP_SET_NAME: {
            std::string name = read_string();
            if (name.size() > size_t(SELECTION_NAME_SIZE)) name.resize(SELECTION_NAME_SIZE);
            dialog.slots[0].name = name;
            dialog.slots[0].gender = uint8_t(read_number());
            break;
        }
        case DOP_SET_FLAG:
            dialog.flag = read_number() != 0;
            break;
        case DOP_GOTO:
            go_to(read_number());
            break;
        case DOP_GOTO_IF: {
            const int p = read_number();
            if (dialog.flag) go_to(p);
            break;
        }
        case DOP_GOTO_IF_NOT: {
            const int p = read_number();
            if (!dialog.flag) go_to(p);
            break;
        }
        case DOP_CHOICE: {
            const int p = read_number();
            offer_choice(p, read_string());
            break;
        }
        case DOP_CHOICE_IF: {
            const int v = read_number();
            const int p = read_number();
            offer_if(dialog.flag == (v != 0), p, read_string());
            break;
        }
        case DOP_ASK:
            wait_for(dialog.choice_count > 0 ? dialog_wait::ask : dialog_wait::wait);
            break;
        case DOP_VISITED:
            dialog.flag = visited(read_number());
            break;
        case DOP_CHOICE_ONCE: {
            const int p = read_number();
            const std::string text = read_string();
            dialog.flag = visited(p);
            offer_if(!dialog.flag, p, text);
            break;
        }
        case DOP_PICTURE:
            dialog.picture = read_string();
            break;
        case DOP_NOTE:
            append_history('E', read_string());
            break;
        case DOP_BOOK:
            world.book_page(read_number());
            break;
        case DOP_UNVISIT: {
            const int index = paragraph_index(dialog.local_base + read_number());
            if (index >= 0)
                game_dialogs().paragraphs[size_t(index)].word &= ~(PARAGRAPH_VISITED | PARAGRAPH_REENTERED);
            break;
        }
        case DOP_CHANCE: {
            const uint32_t limit = uint32_t(read_number());
            dialog.flag = uint32_t(random(100)) <= limit;
            break;
        }
        case DOP_HAS_ITEM:
            dialog.flag = has_item(read_number());
            break;
        case DOP_GIVE_ITEM:
            give_item(read_number());
            break;
        case DOP_TAKE_ITEM:
            take_item(read_number());
            break;
        case DOP_ADD_MONEY:
            party_state.gold += read_number();
            break;
        case DOP_PAY: {
            const int price = read_number();
            if (party_state.gold < price)
                dialog.flag = true;
            else
                party_state.gold -= price;
            break;
        }
        case DOP_FIGHT:
            fight();
            break;
        case DOP_MAP_ACTION: {
            const int sector = read_number();
            map_action(sector, read_number());
            break;
        }
        case DOP_MOVE_PARTY: {
            const int sector = read_number();
            move_party(sector, read_number());
            break;
        }
        case DOP_ANIMATE: {
            const std::string file = read_string();
            const int ticks = read_number();
            world.stop_animation();
            world.animate(file, ticks, read_number());
            break;
        }
        case DOP_STORY: {
            const std::string text = read_string();
            if (map_services.append_story) map_services.append_story(text);
            break;
        }
        case DOP_TEST_FLAG:
            flag_bit(read_flag_bit(), -1);
            break;
        case DOP_WAIT:
            wait_for(dialog_wait::wait);
            break;
        case DOP_GOTO_PICKED:
            go_to(dialog.picked_target);
            break;
        case DOP_NOT_REVISITED: {
            const int index = paragraph_index(dialog.local_base + read_number());
            dialog.flag = index < 0 || !game_dialogs().paragraphs[size_t(index)].reentered();
            break;
        }
        case DOP_BASE:
            dialog.local_base = read_number();
            break;
        case DOP_SHOP:
            dialog.shop_after = read_number();
            break;
        case DOP_JUMP_IF_NOT: {
            const int n = read_number();
            if (!dialog.flag) jump(n);
            break;
        }
        case DOP_JUMP_IF: {
            const int n = read_number();
            if (dialog.flag) jump(n);
            break;
        }
        case DOP_JUMP:
            jump(read_number());
            break;
        case DOP_TEXT_MODE:
            dialog.text_mode = read_number();
            break;
        case DOP_NOP:
            break;
        case DOP_JOIN:
            join(read_number());
            break;
        case DOP_PICK_PORTRAIT: {
            const std::string text = read_string();
            dialog.portrait_cancel_target = read_number();
            append_history('E', text);
            wait_for(dialog_wait::pick_portrait);
            break;
        }
        case DOP_RAISE_STAT: {
            const int index = read_number();
            raise_stat(index, read_number());
            break;
        }
        case DOP_COMPARE_STAT: {
            const int index = read_number();
            const int op = read_number();
            const int value = read_number();
            dialog.flag = compare(compared_stat(index), value, op);
            break;
        }
        case DOP_SET_RUNE:
            set_rune(read_number());
            break;
        case DOP_TEST_RUNE:
            dialog.flag = rune_known(read_number());
            break;
        case DOP_HAS_MONEY:
            dialog.flag = party_state.gold >= read_number();
            break;
        case DOP_ADD_STAT: {
            const int index = read_number();
            const int amount = read_number();
            add_stat(index, amount, read_number());
            break;
        }
        case DOP_PASS_TIME: {
            const int steps = read_number();
            pass_time(steps, read_number());
            break;
        }
        case DOP_SLEEP:
            world.sleep(read_number());
            break;
        case DOP_BUY_MEAL:
            buy_meal(read_number());
            break;
        case DOP_PARTY_TOGETHER:
            dialog.flag = party_together();
            break;
        case DOP_SET_TRAVEL:
            dialog.travel = read_number() != 0;
            break;
        case DOP_COMPARE_SECTOR: {
            const int op = read_number();
            dialog.flag = compare(party_sector(), read_number(), op);
            break;
        }
        case DOP_CAST:
            cast(read_number());
            break;
        case DOP_ALLOW_ANY_PORTRAIT:
            dialog.allow_any_portrait = true;
            break;
        case DOP_PLAY_SOUND:
            world.play_sound(read_string());
            break;
        case DOP_COMPARE_CHOICES: {
            const int op = read_number();
            dialog.flag = compare(dialog.choice_count, read_number(), op);
            break;
        }
        case DOP_SET_VAR: {
            const int i = read_variable_index();
            dialog.variables[i] = int16_t(read_number());
            break;
        }
        case DOP_ADD_VAR: {
            const int i = read_variable_index();
            dialog.variables[i] = int16_t(dialog.variables[i] + read_number());
            break;
        }
        case DOP_COMPARE_VAR: {
            const int i = read_variable_index();
            const int op = read_number();
            dialog.flag = compare(dialog.variables[i], read_number(), op);
            break;
        }
        case DOP_STORE_PARAGRAPH: {
            const int i = read_variable_index();
            const int index = paragraph_holding(dialog.code_pointer);
            const int number = index < 0 ? 0 : game_dialogs().paragraphs[size_t(index)].number();
            dialog.variables[i] = int16_t(number - dialog.local_base);
            break;
        }
        case DOP_STORE_FLAG:
            dialog.variables[read_variable_index()] = dialog.flag ? 1 : 0;
            break;
        case DOP_CHOICE_VAR: {
            const int i = read_variable_index();
            offer_choice(dialog.variables[i], read_string());
            break;
        }
        case DOP_CHOICE_VAR_IF: {
            const int v = read_number();
            const int i = read_variable_index();
            offer_if(dialog.flag == (v != 0), dialog.variables[i], read_string());
            break;
        }
        case DOP_GOTO_VAR:
            go_to(dialog.variables[read_variable_index()]);
            break;
        case DOP_DISMISS:
            dismiss();
            break;
        case DOP_SELECT_FACE:
            dialog.flag = select_face(read_number());
            break;
        case DOP_END:
            end_dialog();
            break;
        case DOP_TEST_SET_FLAG:
            flag_bit(read_flag_bit(), 1);
            break;
        case DOP_TEST_CLEAR_FLAG:
            flag_bit(read_flag_bit(), 0);
            break;
        default: {
            char text[64];
            std::snprintf(text, sizeof text, "Nezn\xEF\xBF\xBDm\xEF\xBF\xBD instrukce: %d", opcode);
            trace(text);
        }
    }
}

}  // namespace dialog_detail
