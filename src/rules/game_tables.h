#pragma once
// The tables the start of the game reads for the whole run: the item table
// (rules/items.h) with the picture, animation and sound lists of ITEMS.DAT
// and the icon libraries, then the character definitions.
#include "rules/icons.h"
#include "rules/items_file.h"

items_file& game_item_files();
icon_libraries& game_icons();

// The items folder's files, then the selected language's items.csv over the
// names and descriptions. A missing ITEMS.DAT ends the program with its message.
void load_item_tables();
// POSTAVY.DAT, after the items (a definition's backpack size depends on its
// container); a faulty file ends the program with its message. An adventure
// without it gets one plain character; false then.
bool load_characters();
