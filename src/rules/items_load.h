// Reading the item files of the items folder at start-up: ITEMS.DAT, the
// icon libraries, the translated names of items.csv, and COMBITEM.DAT, which
// is read anew for every attempt to combine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "rules/combine.h"
#include "rules/icons.h"
#include "rules/items.h"
#include "rules/items_file.h"

constexpr const char* ITEMS_FILE_NAME = "ITEMS.DAT";
constexpr const char* COMBINE_FILE_NAME = "COMBITEM.DAT";
constexpr const char* ITEMS_MISSING_MESSAGE =
    "Selhalo otevreni souboru ITEMS.DAT. Zkotroluj zda vubec existuje.";

// The whole file of the items folder, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> read_items_folder_file(std::string_view name);

// Reads ITEMS.DAT into the table (its picture, animation and sound lists into
// `names`) and the icon libraries present. A missing ITEMS.DAT is fatal.
void load_items(item_table& items, items_file& names, icon_libraries& icons);

// Text k of the table names item k + 1: the first line is the name, the rest
// the description, each cut to 31 characters without trailing blanks.
// Texts for numbers outside the definitions are ignored.
void apply_item_translations(item_table& items, const language_table& texts);

// The rules of COMBITEM.DAT; none when the file is missing.
std::vector<combine_rule> read_combine_rules();
