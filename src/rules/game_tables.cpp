#include "rules/game_tables.h"

#include "core/handles.h"
#include "rules/icons.h"
#include "rules/items.h"
#include "rules/items_file.h"
#include "rules/items_load.h"
#include "rules/party.h"
#include "rules/party_definitions.h"

namespace {

// One plain character, for an adventure that defines none, so the party is
// never empty. Read through the definitions' own reader.
constexpr char PLAIN_CHARACTER[] =
    "128\r\n Poutnik\r\n130\r\n0\r\n131\r\n1\r\n"
    "0\r\n20\r\n1\r\n10\r\n2\r\n30\r\n3\r\n20\r\n4\r\n40\r\n5\r\n40\r\n6\r\n10\r\n"
    "7\r\n1\r\n8\r\n5\r\n9\r\n1\r\n10\r\n6\r\n16\r\n4\r\n17\r\n2\r\n18\r\n4\r\n";

}  // namespace

items_file& game_item_files() {
    static items_file files;
    return files;
}

icon_libraries& game_icons() {
    static icon_libraries icons;
    return icons;
}

void load_item_tables() {
    load_items(game_items(), game_item_files(), game_icons());
    if (std::optional<language_table> texts = open_language_table("items.csv"))
        apply_item_translations(game_items(), *texts);
}

bool load_characters() {
    // A definition's bag sizes its backpack from the item table, which the
    // party rules must therefore reach before the definitions are read.
    install_game_items();
    if (resource_available(PATH_MAPS, "POSTAVY.DAT")) {
        load_character_definitions();
        return true;
    }
    for (party_member& d : character_definitions) d = party_member{};
    parse_character_definitions(PLAIN_CHARACTER, sizeof PLAIN_CHARACTER - 1, character_definitions,
                                party_state.runes);
    return false;
}
